#!/usr/bin/env bash
# The real program offscreen in a private home: one instance per user whatever XDG_RUNTIME_DIR says, none past
# a lock folder planted by another user, the place saved on SIGTERM, a killed instance's lock not blocking, a
# settings file it cannot use holding up neither start nor end, its options answered; in a mount namespace with
# private /tmp and /run/user. Usage: process_test.sh ZUMI_BINARY PROJECT_VERSION
set -u
zumi=$1 version=$2
if [ -z "${ZUMI_PRIVATE_MOUNTS:-}" ]; then
    [ "$(id -u)" = 0 ] || { echo "needs root for a private mount namespace" >&2; exit 77; }
    exec env ZUMI_PRIVATE_MOUNTS=1 unshare -m --propagation private "$0" "$@"
fi
# The program may itself live below /tmp (a clone built there): the old /tmp stays reachable under /run.
old_tmp=/run/zumi-process-test.$$
mkdir -p /run/user "$old_tmp" && mount --bind /tmp "$old_tmp" || exit 1
case $zumi in /tmp/*) zumi=$old_tmp/${zumi#/tmp/} ;; esac
mount -t tmpfs -o mode=1777 tmpfs /tmp && mount -t tmpfs -o mode=755 tmpfs /run/user || exit 1
work=$(mktemp -d)
trap 'kill -KILL $(jobs -p) 2>/dev/null; wait; umount "$old_tmp" && rmdir "$old_tmp"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY XDG_RUNTIME_DIR
conf=$XDG_CONFIG_HOME/Zumi/Zumi.conf
runtime=/run/user/$(id -u) fallback=/tmp/zumi-$(id -u)

fail() { echo "FAIL: $*" >&2; cat "$work"/out* >&2; exit 1; }

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

# SIGTERM; the end within $1 s (default 5).
stop() {
    kill -TERM "$pid" || fail "the program had ended before SIGTERM"
    timeout "${1:-5}" tail -s 0.1 --pid="$pid" -f /dev/null || fail "no end within ${1:-5} s of SIGTERM"
    wait "$pid" || fail "exit status $? after SIGTERM"
}

# A second start, from another login's environment or none, ends at once and silently.
second_start() {
    env "$@" timeout 3 "$zumi" >"$work/out.second" 2>&1 || fail "the second start ($*) ended with status $? (124: not within 3 s)"
    [ -s "$work/out.second" ] && fail "the second start ($*) was not silent"
}

mkdir -m 700 "$runtime"
start || fail "the first instance did not come up"
[ -e "$runtime/zumi.lock" ] || fail "the lock is not in the user's own $runtime"
second_start -u XDG_RUNTIME_DIR
second_start XDG_RUNTIME_DIR="$work"
# The options are answered without a display and while an instance runs; anything else is refused.
ask() { env -u QT_QPA_PLATFORM timeout 3 "$zumi" "$@" >"$work/out.ask" 2>"$work/err.ask"; }
ask --help || fail "--help ended with status $?"
grep -q '^Aufruf: zumi' "$work/out.ask" && grep -q -- '--no-call-log' "$work/out.ask" || fail "no usage for --help"
ask --version || fail "--version ended with status $?"
IFS=. read -r major minor revision <<<"$version"
grep -qx "Zumi V$major.$minor Build $(printf %03d "$revision") (.*)" "$work/out.ask" || fail "--version said: $(cat "$work/out.ask")"
ask -style fusion --bogus
[ $? = 2 ] && [ ! -s "$work/out.ask" ] && grep -q '„--bogus“' "$work/err.ask" || fail "--bogus was not refused with status 2"
sleep 0.5
grep -qE '^(Right|Top)=' "$conf" && fail "the place was saved before the end"
stop
grep -q '^Right=-\?[0-9]\+$' "$conf" && grep -q '^Top=255$' "$conf" || fail "SIGTERM did not save the place (Top 255): $(cat "$conf")"

# Without a runtime folder of its own the user's lock is a 0700 folder in /tmp.
rm -r "$runtime"
start || fail "the instance to be killed did not come up"
[ "$(stat -c %a "$fallback")" = 700 ] || fail "the fallback lock folder is not 0700"
second_start XDG_RUNTIME_DIR="$work"
kill -KILL "$pid"
wait "$pid"
[ -e "$fallback/zumi.lock" ] || fail "no lock file was left behind (the test would prove nothing)"
start || fail "the start after a killed instance did not come up"
stop

# A settings file it cannot use, told in a box: the start goes on beside it (a FIFO never blocks it), SIGTERM
# ends the program at once, and the file stays as it was.
term_caught() { (( (0x$(sed -n 's/^SigCgt:\t//p' "/proc/$pid/status") >> 14) & 1 )); }
for plant in "mkdir $conf" "mkfifo $conf" "ln -s /dev/zero $conf" "truncate -s 17M $conf"; do
    rm -rf "$conf" && $plant && planted=$(stat -c '%F %s' "$conf") || fail "could not plant: $plant"
    "$zumi" >>"$work/out" 2>&1 &
    pid=$!
    for _ in $(seq 1 100); do term_caught 2>/dev/null && break; sleep 0.05; done
    sleep 0.5
    stop 2
    [ "$(stat -c '%F %s' "$conf")" = "$planted" ] || fail "the planted settings file ($plant) was changed"
done
rm -rf "$conf"

# Another user's symlink or folder in the lock's place: no instance, and said why.
for plant in "ln -s $work/elsewhere $fallback" "mkdir -m 777 $fallback"; do
    rm -rf "$fallback"
    setpriv --reuid=nobody --regid=nogroup --clear-groups sh -c "$plant" || fail "could not plant: $plant"
    timeout 3 "$zumi" >"$work/out.planted" 2>&1
    [ $? = 1 ] || fail "a start past a planted lock folder ($plant) did not end with status 1"
    grep -q 'Sperre' "$work/out.planted" || fail "a refused start ($plant) said nothing"
    [ -e "$work/elsewhere" ] || [ -e "$fallback/zumi.lock" ] && fail "the planted folder was used ($plant)"
done
exit 0
