#!/usr/bin/env bash
# Runs a command inside a private X session: Xvfb, openbox and (with --tray) the trayer tray host,
# all stopped again afterwards. Usage: xsession.sh [--tray] -- command args...
# The command sees DISPLAY and, with a tray host, ZUMI_TEST_TRAY_PID.
set -u
tray=0
[ "${1:-}" = --tray ] && tray=1 && shift
[ "${1:-}" = -- ] && shift

pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
    for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
    rm -rf "$workdir"
}
workdir=$(mktemp -d)
trap cleanup EXIT INT TERM
started() { [ "$1" ] || { echo "xsession: $2 did not start" >&2; cat "$workdir"/*.log >&2; exit 1; }; }

# Xvfb picks a free display itself, so parallel sessions never collide; it must not reset when its
# first client (the probe below) disconnects, or a window manager connecting at that moment fails.
Xvfb -displayfd 3 -screen 0 "${ZUMI_XVFB_SCREEN:-1280x800x24}" -nolisten tcp -noreset 3>"$workdir/display" >"$workdir/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 200); do [ -s "$workdir/display" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$workdir/display")"
for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
started "$(xdpyinfo 2>/dev/null | head -n1)" Xvfb

openbox --sm-disable >"$workdir/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 600); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.05; done
started "$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep 'window id')" openbox
if [ "$tray" -eq 1 ]; then
    trayer --edge top --align right --widthtype request --height 32 --SetDockType true --transparent false \
        >"$workdir/trayer.log" 2>&1 &
    pids+=($!)
    export ZUMI_TEST_TRAY_PID=$!
    for _ in $(seq 1 100); do xwininfo -root -tree 2>/dev/null | grep -q "\"panel\": (\"panel\" \"trayer\")" && break; sleep 0.05; done
    sleep 0.3
fi
"$@"
