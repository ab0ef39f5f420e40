#!/usr/bin/env bash
# Runs the real program offscreen with a private home, config and runtime
# folder: the single-instance rule, a lock left by a killed instance, and the
# orderly end on SIGTERM and SIGINT.
# Usage: process_test.sh ZUMI_BINARY second-start|stale-lock|signals
set -u
zumi=$1
case_name=$2

work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do
        kill -KILL "$p" 2>/dev/null
        wait "$p" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT

export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$HOME" "$XDG_CONFIG_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
lock=$XDG_RUNTIME_DIR/zumi.lock
conf=$XDG_CONFIG_HOME/Zumi/Zumi.conf

fail() {
    echo "FAIL: $*" >&2
    for f in "$work"/out.*; do [ -s "$f" ] && { echo "--- $f" >&2; cat "$f" >&2; }; done
    exit 1
}

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# Starts the program in the background; its pid lands in $pid.
start() {
    "$zumi" >"$work/out.$1" 2>&1 &
    pid=$!
    pids+=("$pid")
}

alive() { kill -0 "$1" 2>/dev/null; }
# Whether a process holds the lock, read from /proc/locks: probing it with
# flock(1) would itself hold the lock for a moment and could turn a start away.
locked() {
    [ -e "$lock" ] || return 1
    local inode
    inode=$(stat -c %i "$lock")
    grep -qE "^[0-9]+: FLOCK +ADVISORY +WRITE +[0-9]+ [0-9a-f]+:[0-9a-f]+:$inode " /proc/locks
}

# Up and running: holds the lock and has read its settings (which writes "HangupBytes").
wait_ready() {
    for _ in $(seq 1 200); do
        alive "$1" || return 1
        locked && grep -q '^HangupBytes=' "$conf" 2>/dev/null && return 0
        sleep 0.05
    done
    return 1
}

# Waits for the process to end; its exit status lands in $status.
wait_end() {
    local deadline=$(( $(now_ms) + $2 ))
    while alive "$1"; do
        [ "$(now_ms)" -gt "$deadline" ] && return 1
        sleep 0.05
    done
    wait "$1"
    status=$?
    return 0
}

case "$case_name" in
second-start)
    start first
    first=$pid
    wait_ready "$first" || fail "the first instance did not come up"
    before=$(md5sum <"$conf")
    t0=$(now_ms)
    timeout 10 "$zumi" >"$work/out.second" 2>&1
    rc=$?
    elapsed=$(( $(now_ms) - t0 ))
    [ "$rc" -eq 0 ] || fail "the second start ended with status $rc"
    [ "$elapsed" -lt 3000 ] || fail "the second start took $elapsed ms"
    [ -s "$work/out.second" ] && fail "the second start was not silent"
    sleep 0.5
    alive "$first" || fail "the first instance ended"
    [ "$(md5sum <"$conf")" = "$before" ] || fail "the second start touched the settings"
    kill -TERM "$first"
    wait_end "$first" 5000 || fail "the first instance did not end on SIGTERM"
    [ "$status" -eq 0 ] || fail "the first instance ended with status $status"
    ;;
stale-lock)
    start crashed
    crashed=$pid
    wait_ready "$crashed" || fail "the first instance did not come up"
    kill -KILL "$crashed"
    wait "$crashed" 2>/dev/null
    [ -e "$lock" ] || fail "no lock file was left behind (the test would prove nothing)"
    start next
    next=$pid
    for _ in $(seq 1 100); do locked && break; alive "$next" || break; sleep 0.05; done
    sleep 1
    alive "$next" || fail "the start after a killed instance ended at once"
    locked || fail "the new instance does not hold the lock"
    kill -TERM "$next"
    wait_end "$next" 5000 || fail "the new instance did not end on SIGTERM"
    [ "$status" -eq 0 ] || fail "the new instance ended with status $status"
    ;;
signals)
    # SIGTERM with no settings yet: the position keys are written.
    start term
    wait_ready "$pid" || fail "the program did not come up"
    grep -q '^Right=' "$conf" && fail "Right written before the end"
    kill -TERM "$pid"
    wait_end "$pid" 5000 || fail "no end within 5 s of SIGTERM"
    [ "$status" -eq 0 ] || fail "SIGTERM: exit status $status"
    grep -q '^Right=-\?[0-9]\+$' "$conf" || fail "SIGTERM: no Right written"
    grep -q '^Top=255$' "$conf" || fail "SIGTERM: Top is not the default 255"
    locked && fail "the lock is still held after the end"

    # SIGINT with a stored left edge: Right is worked out from it, Top kept.
    printf '[Settings]\nLeft=3000\nTop=600\n' >"$conf"
    start int
    wait_ready "$pid" || fail "the program did not come up again"
    kill -INT "$pid"
    wait_end "$pid" 5000 || fail "no end within 5 s of SIGINT"
    [ "$status" -eq 0 ] || fail "SIGINT: exit status $status"
    grep -q '^Top=600$' "$conf" || fail "SIGINT: Top not saved"
    grep -q '^Left=3000$' "$conf" || fail "SIGINT: Left lost"
    right=$(sed -n 's/^Right=//p' "$conf")
    [ -n "$right" ] && [ "$right" -gt 0 ] || fail "SIGINT: Right is '$right'"
    ;;
*)
    fail "unknown case $case_name"
    ;;
esac
echo "PASS: $case_name"
