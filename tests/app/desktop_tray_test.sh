#!/usr/bin/env bash
# The tray icon on a real X desktop; run inside tests/xsession.sh --tray.
# The icon shows up blue, a click opens the menu, and after the tray host
# restarts the icon comes back, blue again, within two seconds.
# Usage: xsession.sh --tray -- desktop_tray_test.sh ZUMI_BINARY
set -u
zumi=$1
for tool in xdotool xwininfo import; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
done
[ -n "${ZUMI_TEST_TRAY_PID:-}" ] || { echo "SKIP: no tray host (run inside xsession.sh --tray)"; exit 77; }

work=$(mktemp -d)
zumi_pid=
cleanup() {
    [ -n "$zumi_pid" ] && kill -KILL "$zumi_pid" 2>/dev/null && wait "$zumi_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
unset QT_QPA_PLATFORM
mkdir -p "$HOME" "$XDG_CONFIG_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"

fail() {
    echo "FAIL: $*" >&2
    echo "--- program output" >&2
    cat "$work/out" >&2
    xwininfo -root -tree >&2
    exit 1
}
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# geometry of a window: "W H X Y"
geometry() {
    xwininfo -id "$1" 2>/dev/null | awk '
        /Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
        /Width:/ {w=$NF} /Height:/ {h=$NF} END {print w, h, x, y}'
}

# The viewable windows of the program that are small enough to be a tray icon.
icon_window() {
    local w
    for w in $(xdotool search --onlyvisible --class zumi 2>/dev/null); do
        read -r width height _ _ <<<"$(geometry "$w")"
        [ -n "$width" ] && [ "$width" -le 64 ] && [ "$height" -le 64 ] && [ "$width" -ge 8 ] && { echo "$w"; return 0; }
    done
    return 1
}

# Counts clearly blue and clearly red pixels of a window as it is on the screen.
colour_counts() {
    read -r width height x y <<<"$(geometry "$1")"
    # Lines look like "3,7: (30,91,214)  #1E5BD6  srgb(30,91,214)".
    import -window root -crop "${width}x${height}+${x}+${y}" -depth 8 txt:- 2>/dev/null | awk -F'[(),]' '
        /^#/ {next}
        {
            r = $3 + 0; b = $5 + 0
            if (b > 120 && b > 2 * r) blue++
            if (r > 120 && r > 2 * b) red++
        }
        END {print blue + 0, red + 0}'
}

# Waits up to $2 ms for a blue icon; sets $icon.
wait_blue_icon() {
    local deadline=$(( $(now_ms) + $1 ))
    while [ "$(now_ms)" -le "$deadline" ]; do
        if icon=$(icon_window); then
            read -r blue red <<<"$(colour_counts "$icon")"
            [ "$blue" -ge 40 ] && [ "$red" -le 5 ] && return 0
        fi
        sleep 0.1
    done
    return 1
}

"$zumi" >"$work/out" 2>&1 &
zumi_pid=$!
wait_blue_icon 5000 || fail "no blue tray icon within 5 s (blue/red pixels: ${blue:-?}/${red:-?})"
echo "icon $icon: blue $blue, red $red"

# A left click opens the menu: a new window of the program appears.
for button in 1 3; do
    read -r width height x y <<<"$(geometry "$icon")"
    xdotool mousemove $(( x + width / 2 )) $(( y + height / 2 )) click "$button"
    menu=
    for _ in $(seq 1 40); do
        for w in $(xdotool search --onlyvisible --class zumi 2>/dev/null); do
            [ "$w" != "$icon" ] && { menu=$w; break; }
        done
        [ -n "$menu" ] && break
        sleep 0.05
    done
    [ -n "$menu" ] || fail "button $button on the icon opened no menu"
    read -r mw mh _ _ <<<"$(geometry "$menu")"
    echo "button $button: menu $menu ${mw}x${mh}"
    [ "$mh" -gt 60 ] || fail "the menu is only $mh px high"
    xdotool key Escape
    for _ in $(seq 1 40); do
        xdotool search --onlyvisible --class zumi 2>/dev/null | grep -qx "$menu" || break
        sleep 0.05
    done
    xdotool search --onlyvisible --class zumi 2>/dev/null | grep -qx "$menu" && fail "Escape did not close the menu"
done
# One line per click: the foreground window in hex, two blanks, its title.
[ "$(grep -cE '^[0-9A-F]+  ' "$work/out")" -eq 2 ] || fail "expected two click lines on standard error"

# The tray host restarts: the icon comes back, blue, within two seconds.
kill "$ZUMI_TEST_TRAY_PID"
for _ in $(seq 1 40); do icon_window >/dev/null || break; sleep 0.05; done
icon_window >/dev/null && fail "the icon stayed on screen without a tray host"
sleep 0.5
$ZUMI_TEST_TRAY_CMD >/dev/null 2>&1 &
echo $! >"$ZUMI_TEST_TRAY_PID_FILE"
t0=$(now_ms)
wait_blue_icon 2000 || fail "the icon did not come back blue within 2 s"
echo "icon back after $(( $(now_ms) - t0 )) ms"

# "&Einstellungen" from the menu, then the session ends (SIGTERM) while the
# dialog is open: the program ends in order and the dialog stores nothing.
read -r width height x y <<<"$(geometry "$icon")"
xdotool mousemove $(( x + width / 2 )) $(( y + height / 2 )) click 1
sleep 0.5
xdotool key e
dialog=
for _ in $(seq 1 60); do
    dialog=$(xdotool search --onlyvisible --name '^(Einstellungen|Zumi)$' 2>/dev/null | head -n 1)
    [ -n "$dialog" ] && break
    sleep 0.05
done
[ -n "$dialog" ] || fail "\"&Einstellungen\" opened no window"
echo "settings: window $dialog ($(xdotool getwindowname "$dialog"))"

kill -TERM "$zumi_pid"
for _ in $(seq 1 100); do kill -0 "$zumi_pid" 2>/dev/null || break; sleep 0.05; done
wait "$zumi_pid"
status=$?
zumi_pid=
[ "$status" -eq 0 ] || fail "exit status $status after SIGTERM"
icon_window >/dev/null && fail "the icon is still there after the end"
grep -q '^Top=' "$XDG_CONFIG_HOME/Zumi/Zumi.conf" || fail "no position saved"
grep -q '^ShowSpeed=' "$XDG_CONFIG_HOME/Zumi/Zumi.conf" && fail "the settings dialog stored its options"
echo "PASS"
