#!/usr/bin/env bash
# The real program offscreen in a private home: single instance, the place
# saved on SIGTERM, and the lock of a killed instance not blocking.
set -u
zumi=$1
work=$(mktemp -d)
trap 'kill -KILL $(jobs -p) 2>/dev/null; wait; rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY
mkdir -m 700 "$XDG_RUNTIME_DIR"
conf=$XDG_CONFIG_HOME/Zumi/Zumi.conf

fail() {
    echo "FAIL: $*" >&2
    cat "$work"/out* >&2
    exit 1
}

# Starts without settings; ready once it has read them (which writes HangupBytes).
start() {
    rm -f "$conf"
    "$zumi" >>"$work/out" 2>&1 &
    pid=$!
    for _ in $(seq 1 200); do
        grep -q '^HangupBytes=' "$conf" 2>/dev/null && return 0
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.05
    done
    return 1
}

stop() {
    kill -TERM "$pid" || fail "the program had ended before SIGTERM"
    timeout 5 tail -s 0.1 --pid="$pid" -f /dev/null || fail "no end within 5 s of SIGTERM"
    wait "$pid" || fail "exit status $? after SIGTERM"
}

start || fail "the first instance did not come up"
timeout 3 "$zumi" >"$work/out.second" 2>&1 || fail "the second start ended with status $? (124: not within 3 s)"
[ -s "$work/out.second" ] && fail "the second start was not silent"
sleep 0.5
grep -qE '^(Right|Top)=' "$conf" && fail "the place was saved before the end"
stop
grep -q '^Right=-\?[0-9]\+$' "$conf" || fail "SIGTERM: no Right saved"
grep -q '^Top=255$' "$conf" || fail "SIGTERM: Top is not the default 255"

start || fail "the instance to be killed did not come up"
kill -KILL "$pid"
wait "$pid"
[ -e "$XDG_RUNTIME_DIR/zumi.lock" ] || fail "no lock file was left behind (the test would prove nothing)"
start || fail "the start after a killed instance did not come up"
stop
