#!/usr/bin/env bash
# Inside tests/xsession.sh --tray: the icon shows up blue, a click opens the
# menu, and after the tray host restarts the icon is back, blue, within 2 s.
set -u
zumi=$1
for tool in xdotool xwininfo import; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
done

work=$(mktemp -d)
trap 'kill -KILL ${zumi_pid:-} 2>/dev/null; rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
unset QT_QPA_PLATFORM
mkdir -m 700 "$XDG_RUNTIME_DIR"

fail() {
    echo "FAIL: $*" >&2
    cat "$work/out" >&2
    exit 1
}
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
zumi_windows() { xdotool search --onlyvisible --class zumi 2>/dev/null; }

geometry() { # "W H X Y"
    xwininfo -id "$1" 2>/dev/null | awk '
        /Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
        /Width:/ {w=$NF} /Height:/ {h=$NF} END {print w, h, x, y}'
}

# The program's window that is small enough to be a tray icon.
icon_window() {
    local w
    for w in $(zumi_windows); do
        read -r width height _ _ <<<"$(geometry "$w")"
        [ -n "$width" ] && (( width >= 8 && width <= 64 && height <= 64 )) && { echo "$w"; return 0; }
    done
    return 1
}

# Waits up to $1 ms for an icon of clearly blue and next to no red pixels on the screen.
wait_blue_icon() {
    local deadline=$(( $(now_ms) + $1 ))
    while (( $(now_ms) <= deadline )); do
        if icon=$(icon_window); then
            read -r width height x y <<<"$(geometry "$icon")"
            read -r blue red <<<"$(import -window root -crop "${width}x${height}+${x}+${y}" -depth 8 txt:- 2>/dev/null |
                awk -F'[(),]' '/^#/ {next} {r = $3 + 0; b = $5 + 0}
                    b > 120 && b > 2 * r {blue++} r > 120 && r > 2 * b {red++} END {print blue + 0, red + 0}')"
            (( blue >= 40 && red <= 5 )) && return 0
        fi
        sleep 0.1
    done
    return 1
}

"$zumi" >"$work/out" 2>&1 &
zumi_pid=$!
wait_blue_icon 5000 || fail "no blue tray icon within 5 s (blue/red pixels: ${blue:-?}/${red:-?})"

# A click opens the menu: another window of the program appears.
xdotool mousemove $(( x + width / 2 )) $(( y + height / 2 )) click 1
for _ in $(seq 1 40); do
    menu=$(zumi_windows | grep -vx "$icon" | head -n 1)
    [ -n "$menu" ] && break
    sleep 0.05
done
[ -n "$menu" ] || fail "a click on the icon opened no menu"
xdotool key Escape
for _ in $(seq 1 40); do zumi_windows | grep -qx "$menu" || break; sleep 0.05; done

# The tray host restarts: the icon comes back, blue, within two seconds.
kill "$ZUMI_TEST_TRAY_PID"
for _ in $(seq 1 40); do icon_window >/dev/null || break; sleep 0.05; done
icon_window >/dev/null && fail "the icon stayed on screen without a tray host"
sleep 0.5
$ZUMI_TEST_TRAY_CMD >/dev/null 2>&1 &
echo $! >"$ZUMI_TEST_TRAY_PID_FILE"
wait_blue_icon 2000 || fail "the icon did not come back blue within 2 s"
echo PASS
