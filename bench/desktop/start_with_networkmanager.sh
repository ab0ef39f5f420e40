#!/usr/bin/env bash
# Zumi's start, from exec to its icon in the tray, with a mock NetworkManager
# on a private system bus (a modem and four profiles, two of them for dial-up)
# against no system bus at all: RUNS starts of each, taken in turns so that
# the machine's swings fall on both alike; both medians and their ratio. In a
# private X desktop of its own (Xvfb + openbox + trayer).
# Usage: start_with_networkmanager.sh BUILD_DIR [RUNS (15)]
set -u
build=$(cd "$1" && pwd)
runs=${2:-15}
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${ZUMI_TEST_TRAY_PID:-}" ]; then
    exec "$here/../../tests/xsession.sh" --tray -- "$0" "$build" "$runs"
fi
. "$here/../../tests/desktop/nm_mock.sh"
zumi="$build/app/zumi"
tmp=$(mktemp -d)
zumi_pid=""
cleanup() {
    [ -n "$zumi_pid" ] && kill "$zumi_pid" 2>/dev/null && wait "$zumi_pid" 2>/dev/null
    nm_mock_stop
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "start_with_networkmanager: $*" >&2; exit 1; }
[ -x "$zumi" ] || fail "$zumi is not built"

now_ms() { echo $(($(date +%s%N) / 1000000)); }
# A program's icon embedded in the tray, by the instance part of its WM_CLASS.
icon_embedded() { xwininfo -root -tree 2>/dev/null | awk -v n="\"$1\"" '/"panel": \("panel" "trayer"\)/{p=1} p && index($0, ": (" n){f=1} END{exit !f}'; }
median() { sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

nm_mock_start "$tmp" || fail "no mock NetworkManager"
nm_mock_call AddModemDevice modem0 ttyUSB2 >/dev/null || fail "the mock has no modem"
nm_add_profile "Iridium Daten" gsm "'gsm': {'apn': <'internet'>}" >/dev/null
nm_add_profile "Handy DUN" bluetooth "'bluetooth': {'type': <'dun'>}" >/dev/null
nm_add_profile "Heim-WLAN" 802-11-wireless >/dev/null
nm_add_profile "Büro" 802-3-ethernet >/dev/null
setup_calls=$(wc -l <"$nm_mock_log")

# start_once SYSTEM_BUS_ADDRESS [keep]: $took ms from exec to the tray icon,
# with a fresh home each time; the program is ended again and its icon gone
# before it returns, unless "keep". Not in a subshell, so that a failure still
# ends the program.
start_once() {
    local home=$tmp/home t0
    rm -rf "$home"
    mkdir -p "$home/.config" "$home/run"
    chmod 700 "$home/run"
    t0=$(now_ms)
    env -u DBUS_SESSION_BUS_ADDRESS DBUS_SYSTEM_BUS_ADDRESS="$1" HOME="$home" XDG_CONFIG_HOME="$home/.config" \
        XDG_RUNTIME_DIR="$home/run" "$zumi" >"$tmp/zumi.log" 2>&1 &
    zumi_pid=$!
    until icon_embedded zumi; do
        [ $(($(now_ms) - t0)) -gt 10000 ] && fail "no tray icon after 10 s: $(cat "$tmp/zumi.log")"
        kill -0 "$zumi_pid" 2>/dev/null || fail "Zumi ended before its icon showed: $(cat "$tmp/zumi.log")"
        sleep 0.005
    done
    took=$(($(now_ms) - t0))
    [ "${2:-}" = keep ] || stop_zumi
}
stop_zumi() {
    kill "$zumi_pid"
    wait "$zumi_pid" 2>/dev/null
    zumi_pid=""
    for _ in $(seq 1 200); do icon_embedded zumi || break; sleep 0.01; done
}

# A start that never asks the mock anything would measure nothing of it: one
# untimed start first, which must talk to it within 5 s.
start_once "$nm_bus_address" keep
for _ in $(seq 1 100); do [ "$(wc -l <"$nm_mock_log")" -gt "$setup_calls" ] && break; sleep 0.05; done
stop_zumi
[ "$(wc -l <"$nm_mock_log")" -gt "$setup_calls" ] || fail "Zumi did not talk to the mock NetworkManager within 5 s of its start"

with=() without=()
for ((i = 1; i <= runs; ++i)); do
    start_once "$nm_bus_address"
    with+=("$took")
    start_once "unix:path=$tmp/no_bus"
    without+=("$took")
    echo "start $i: with NetworkManager ${with[-1]} ms, without a system bus ${without[-1]} ms"
done
m_with=$(printf '%s\n' "${with[@]}" | median)
m_without=$(printf '%s\n' "${without[@]}" | median)
echo "exec -> tray icon, median of $runs: with NetworkManager $m_with ms, without a system bus $m_without ms," \
    "ratio $(awk -v a="$m_with" -v b="$m_without" 'BEGIN {printf "%.2f", a / (b > 0 ? b : 1)}')"
