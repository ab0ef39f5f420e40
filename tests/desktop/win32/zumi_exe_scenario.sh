#!/usr/bin/env bash
# zumi.exe on a desktop under wine's X11 driver, driven from outside as a user would: the icon in
# xfce4-panel's tray, its menu, dialing through a stand-in rasphone, the info window counting, the
# hang-up after the running unit through the stand-in rasapi32.dll, the icon after a posted
# "TaskbarCreated", the settings dialog writing the registry, the about box, the "Verbindungen"
# window and the call log. First the window calls that need a real foreground and pointer.
# Screenshots go to BUILD/artifacts/win32-*-DPIdpi.png; logs to BUILD/desktop-scenario/.
# Usage: tests/xsession.sh -- tests/desktop/win32/zumi_exe_scenario.sh BUILD (the Windows build);
# ZUMI_SCENARIO_DPI sets the screen's scale (96 dpi, 100 %, unless set).
set -u
build=$(cd "${1:?the Windows build folder}" && pwd)
work=$build/desktop-scenario
artifacts=$build/artifacts
readonly entry="Testnetz Süd" unit_s=15

fail() {
    echo "FAIL: $*" >&2
    shot failure
    xwininfo -root -tree >"$work/x-windows.log" 2>&1
    for log in "$work"/*.log; do echo "--- $log" >&2; tail -n 20 "$log" >&2; done
    exit 1
}
for tool in xfce4-panel dbus-daemon iconv xdotool xwininfo xmessage import convert sqlite3 wine wineserver; do
    command -v "$tool" >/dev/null || fail "$tool is missing"
done
[ -n "${DISPLAY:-}" ] || fail "no X session: run inside tests/xsession.sh"
for file in bin/zumi.exe bin/sqlite3.dll bin/window_probe.exe bin/win32_window_system_x11_test.exe \
    tests/ras/rasapi/rasapi32.dll tests/ras/rasapi/rasphone.exe; do
    [ -f "$build/$file" ] || fail "not built: $build/$file"
done

now_ms() { date +%s%3N; }
# Polls COMMAND... every 100 ms until it succeeds or $1 ms have passed.
wait_until() {
    local deadline=$(($(now_ms) + $1))
    shift
    until "$@"; do
        [ "$(now_ms)" -ge "$deadline" ] && return 1
        sleep 0.1
    done
}
shot() { import -window root "$artifacts/win32-$1-${dpi}dpi.png" 2>/dev/null; }

# Wine as an unprivileged user (as root it ignores read-only files), with a prefix of its own on
# this display; its output goes to files, never into a pipe.
rm -rf "$work"
mkdir -p "$work/app" "$work/path" "$work/home/prefix" "$work/panel" "$artifacts"
rm -f "$artifacts"/win32-*-"${ZUMI_SCENARIO_DPI:-96}"dpi.png
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    id zumi-wine >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin zumi-wine
    as_user=(runuser -u zumi-wine --)
fi
win() { printf 'Z:%s' "${1//\//\\}"; }
cp "$build/bin/zumi.exe" "$build/bin/sqlite3.dll" "$build/tests/ras/rasapi/rasapi32.dll" "$work/app/"
[ -d "$build/bin/sounds" ] && cp -r "$build/bin/sounds" "$work/app/"
cp "$build/tests/ras/rasapi/rasphone.exe" "$work/path/"
: >"$work/ras.txt"
[ ${#as_user[@]} -eq 0 ] || chown -R zumi-wine "$work"
chmod 755 "$work"
wine_env=(env HOME="$work/home" WINEPREFIX="$work/home/prefix" WINEDEBUG=-all DISPLAY="$DISPLAY"
    WINEDLLOVERRIDES="winedbg.exe=d;mscoree=d;mshtml=d;rasapi32=n,b" WINEPATH="$(win "$work/path")"
    ZUMI_RAS_FILE="$(win "$work/ras.txt")" ZUMI_RAS_PHONEBOOK="$entry|Zweitnetz"
    ZUMI_RASPHONE_RECORD="$(win "$work/dialed")" ZUMI_RASPHONE_DIAL_MS=2500)
as_wine() { "${as_user[@]}" "${wine_env[@]}" "$@"; }

bus_pid='' panel_pid='' zumi_pid='' work_pid=''
cleanup() {
    local status=$? pid
    trap - EXIT
    for pid in $zumi_pid $work_pid $panel_pid; do kill "$pid" 2>/dev/null; done
    as_wine wineserver -k >/dev/null 2>&1
    for pid in $zumi_pid $work_pid $panel_pid; do wait "$pid" 2>/dev/null; done
    # The bus last: the panel's settings service it started ends with it.
    [ -n "$bus_pid" ] && kill "$bus_pid" 2>/dev/null && wait "$bus_pid" 2>/dev/null
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# The panel (its tray draws wine's icons; trayer's does not) at the top left, as wide as its tray.
panel_conf=$work/panel/.config/xfce4/xfconf/xfce-perchannel-xml
mkdir -p "$panel_conf" && install -d -m 700 "$work/panel/run"
cp "$(dirname "$0")/../xfce4-panel.xml" "$panel_conf/"
xsetroot -solid '#3a6ea5' 2>/dev/null
# Its own session bus, ended with it (dbus-run-session would leave its bus behind on a kill).
panel_env=(env HOME="$work/panel" XDG_CONFIG_HOME="$work/panel/.config" XDG_RUNTIME_DIR="$work/panel/run"
    NO_AT_BRIDGE=1 DBUS_SESSION_BUS_ADDRESS="unix:path=$work/panel/run/bus")
"${panel_env[@]}" dbus-daemon --session --nofork --address="unix:path=$work/panel/run/bus" >"$work/bus.log" 2>&1 &
bus_pid=$!
wait_until 5000 test -S "$work/panel/run/bus" || fail "no session bus for the panel"
"${panel_env[@]}" xfce4-panel >"$work/panel.log" 2>&1 &
panel_pid=$!
wait_until 10000 eval 'xdotool search --onlyvisible --class xfce4-panel >/dev/null 2>&1' \
    || fail "the panel did not come up"

as_wine wineserver -k >/dev/null 2>&1
as_wine wineserver -p >"$work/wineserver.log" 2>&1
as_wine wineboot -i >"$work/wineboot.log" 2>&1 || fail "wineboot failed"
# The screen's scale (96 dpi = 100 %; 144 = 150 %), read by every program wine starts from now on.
dpi=${ZUMI_SCENARIO_DPI:-96}
as_wine wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >"$work/dpi.log" 2>&1 \
    || fail "cannot set the screen's scale"
as_wine wineserver -k >/dev/null 2>&1
as_wine wineserver -p >>"$work/wineserver.log" 2>&1
as_wine wineboot >>"$work/wineboot.log" 2>&1 || fail "wineboot failed"

# Runs the probe with the arguments "$@"; prints what it wrote.
probe() {
    as_wine wine "$build/bin/window_probe.exe" "$(win "$work/probe.txt")" "$@" >"$work/probe.log" 2>&1 || return 1
    cat "$work/probe.txt"
}
# The program's visible top-level window of class $1, with its controls below it.
window_of() { probe windows | awk -F'|' -v class="$1" '/^[^ ]/ { on = $2 == class } on'; }
# A click on the control with the text $2 in the window titled $1.
click_control() {
    local rect
    rect=$(probe windows | awk -F'|' -v title="$1" -v text="$2" '/^[^ ]/ { on = $3 == title } on && /^  / && $2 == text { print $3; exit }')
    [ -n "$rect" ] || fail "no control \"$2\" in the window \"$1\""
    read -r left top right bottom <<<"$rect"
    xdotool mousemove $(((left + right) / 2)) $(((top + bottom) / 2)) click 1
}

echo "--- the foreground and the pointer on X11"
as_wine wine "$build/bin/win32_window_system_x11_test.exe" >"$work/window_system.log" 2>&1 \
    || fail "the window calls under X11 failed: $(cat "$work/window_system.log")"
grep -q "PASSED.*1 test" "$work/window_system.log" || fail "the X11 window test did not run"

echo "--- the icon"
key='HKCU\Software\VB and VBA Program Settings\Zumi\Settings'
# Units of $unit_s seconds for the entry, on every day.
as_wine wine reg add "$key" /v 00 /d "$entry,0,,,,$unit_s,,,,0,,,,$unit_s,,,," /f >"$work/reg.log" 2>&1 \
    || fail "cannot write the tariff"
# A window of the user's that has the focus and must keep it.
xmessage -name zumi-work -geometry 300x100+400+300 "Arbeit" >/dev/null 2>&1 &
work_pid=$!
wait_until 5000 eval 'xdotool search --onlyvisible --classname zumi-work >/dev/null 2>&1' || fail "no work window"
work_window=$(xdotool search --onlyvisible --classname zumi-work | head -n1)
xdotool windowactivate --sync "$work_window"

as_wine wine "$work/app/zumi.exe" >"$work/zumi.log" 2>&1 &
zumi_pid=$!
# Wine's icon, docked in the panel.
icon_window() {
    local w
    for w in $(xdotool search --onlyvisible --class explorer.exe 2>/dev/null); do
        xwininfo -id "$w" 2>/dev/null | awk -v id="$w" '/Width:/ { w = $2 } /Height:/ { h = $2 }
            END { if (w >= 16 && w <= 64 && h >= 16 && h <= 64) print id }'
    done | head -n1
}
# blue or red: the icon's mean colour.
icon_colour() {
    local w
    w=$(icon_window)
    [ -n "$w" ] && import -window "$w" "$work/icon.png" 2>/dev/null \
        && convert "$work/icon.png" -scale '1x1!' -format '%[fx:int(255*r)] %[fx:int(255*b)]' info: \
        | awk '{ print ($1 > $2 + 20 ? "red" : $2 > $1 + 20 ? "blue" : "grey") }'
}
icon_is() { [ "$(icon_colour)" = "$1" ]; }
wait_until 15000 icon_is blue || fail "no blue icon in the panel's tray (colour: $(icon_colour))"

# The menu: a click on the icon; keys go to its window (the hidden main window that owns it has
# no X window for the keyboard focus to go to).
menu_windows() {
    local w
    for w in $(xdotool search --onlyvisible --class zumi.exe 2>/dev/null); do
        xwininfo -id "$w" 2>/dev/null | awk -v id="$w" '/Height:/ { h = $2 } /Override Redirect State: yes/ { o = 1 }
            END { if (o && h > 40) print id }'
    done
}
open_menu() {
    local icon
    icon=$(icon_window)
    # The pointer rests on the icon first: wine learns where it is from its motion.
    xdotool mousemove --window "$icon" 6 6 sleep 0.3 mousemove --window "$icon" 9 9 sleep 0.3 \
        mousemove --window "$icon" 11 11 sleep 0.3 click 1
    wait_until 3000 eval '[ -n "$(menu_windows)" ]' || fail "a click on the icon opened no menu"
    sleep 0.5
    xdotool mousemove 700 700 # off the icon, its tooltip and the menu
}
menu_keys() {
    local k
    for k; do # a menu window may go while it is looked up: then again
        wait_until 2000 eval 'xdotool key --window "$(menu_windows | tail -n1)" "$k" 2>/dev/null' \
            || fail "the menu took no key $k"
        sleep 0.3
    done
}

echo "--- dialing"
open_menu
menu_keys Up Up # the last but one entry: the first provider
shot tray-menu
menu_keys Return
wait_until 3000 eval '[ -z "$(menu_windows)" ]' || fail "the menu stayed open"
xdotool windowactivate --sync "$work_window" # the user turns back to work while rasphone dials
wait_until 3000 test -s "$work/dialed" || fail "choosing the entry started no rasphone"
[ "$(tr '\0' '|' <"$work/dialed")" = "-t|$entry|" ] || fail "rasphone got: $(tr '\0' '|' <"$work/dialed")"

echo "--- online"
wait_until 6000 eval '[ -n "$(window_of ZumiInfoWindow)" ]' || fail "no info window"
t_up=$(now_ms)
info=$(window_of ZumiInfoWindow)
grep -q "^[0-9a-f]*|ZumiInfoWindow|.*| topmost toolwindow noactivate$" <<<"$info" \
    || fail "the info window is not a topmost tool window that never activates: $info"
wait_until 3000 icon_is red || fail "the icon did not turn red"
[ "$(xdotool getactivewindow)" = "$work_window" ] || fail "the info window took the focus from the user's window"
probe foreground | grep -q "|ZumiInfoWindow|" && fail "the info window is in the foreground"
read -r _ left top right bottom <<<"$(head -n1 <<<"$info" | awk -F'|' '{ print "x", $4 }')"
# Laid out at the screen's scale: 189 x 21 pixels at 100 %, in the same proportions at any other.
width=$(((right - left) * 96 / dpi)) height=$(((bottom - top) * 96 / dpi))
((width >= 186 && width <= 191 && height >= 20 && height <= 23)) \
    || fail "the info window is $((right - left))x$((bottom - top)) at $dpi dpi"
info_shot() { import -window root -crop "$((right - left + 20))x$((bottom - top + 20))+$((left - 10))+$((top - 10))" "$artifacts/win32-$1-${dpi}dpi.png"; }
# The labels: rate, online time, rest of the unit (m:ss).
labels() { window_of ZumiInfoWindow | awk -F'|' '/^  Static/ { printf "%s|", $2 }'; }
seconds() { awk -F: '{ print $1 * 60 + $2 }' <<<"$1"; }
first=$(labels)
IFS='|' read -r _ online1 rest1 <<<"$first"
online_now() { IFS='|' read -r _ online _ <<<"$(labels)"; seconds "$online"; }
wait_until 4000 eval '(($(online_now) >= $(seconds "$online1") + 2))' || fail "the online time does not count: $first, then $(labels)"
second=$(labels)
echo "info window: $first then $second"
IFS='|' read -r _ _ rest2 <<<"$second"
[ "$rest1" != "$rest2" ] || fail "the rest of the unit does not count: $first, then $second"
info_shot info-window

echo "--- TaskbarCreated"
probe forget-icon ZumiMainWindow >/dev/null || fail "the probe could not take the icon away"
wait_until 3000 eval '[ -z "$(icon_window)" ]' || fail "the icon stayed after the tray forgot it"
probe taskbar-created >/dev/null || fail "could not post TaskbarCreated"
wait_until 3000 icon_is red || fail "\"TaskbarCreated\" did not bring the red icon back"

echo "--- hang-up after the running unit"
rest_now() { IFS='|' read -r _ _ rest <<<"$(labels)"; seconds "$rest"; }
# Armed early in a unit: a hang-up at once is told from one in the unit's last 3 seconds.
wait_until $((unit_s * 1000 + 2000)) eval '(($(rest_now) >= unit_s - 3))' || fail "no new unit began"
t_rest=$(now_ms) rest=$(rest_now)
open_menu
menu_keys v # "Vor Einheitsende trennen": its first entry is "Nach laufender Einheit"
wait_until 2000 eval '(($(menu_windows | wc -l) == 2))' || fail "\"v\" opened no submenu"
sleep 0.3
shot tray-submenu
menu_keys Return
wait_until $(((rest + 3) * 1000)) eval '[ ! -s "$work/ras.txt" ]' || fail "no hang-up through RasHangUpW"
left_ms=$((rest * 1000 - ($(now_ms) - t_rest)))
echo "hung up ${left_ms} ms before the end of the unit"
((left_ms >= 1000 && left_ms <= 4500)) || fail "hung up ${left_ms} ms before the unit's end, not in its last 3 s"
wait_until 3000 icon_is blue || fail "the icon did not turn blue after the hang-up"
wait_until 3000 eval '[ -z "$(window_of ZumiInfoWindow)" ]' || fail "the info window stayed after the hang-up"

echo "--- the call log"
log=$(find "$work/home/prefix/drive_c/users" -name calls.sqlite | head -n1)
[ -n "$log" ] || fail "no call log"
row=$(sqlite3 "$log" "SELECT entry, online_seconds, units FROM calls" 2>&1)
echo "call log: $row"
[ "$(wc -l <<<"$row")" = 1 ] && [[ $row == "$entry|"* ]] || fail "the call log holds: $row"
IFS='|' read -r _ online units <<<"$row"
((online >= (t_rest - t_up) / 1000 && units >= 1)) || fail "the call log's row is short: $row"

echo "--- the Verbindungen window"
open_menu
menu_keys d
wait_until 5000 eval 'probe windows | grep -q "|Verbindungen|"' || fail "no Verbindungen window"
sleep 1
shot calls-window
# Whole on the screen, whatever the scale: its buttons at the bottom in reach.
read -r _ _ _ calls_bottom <<<"$(probe windows | awk -F'|' '$3 == "Verbindungen" { print $4; exit }')"
screen_bottom=$(xdpyinfo | awk '/dimensions:/ { split($2, size, "x"); print size[2] }')
((calls_bottom <= screen_bottom)) || fail "the Verbindungen window reaches below the screen: $calls_bottom > $screen_bottom"
probe close Verbindungen >/dev/null
wait_until 3000 eval '! probe windows | grep -q "|Verbindungen|"' || fail "the Verbindungen window did not close"

echo "--- the settings dialog and the about box"
open_menu
menu_keys e
wait_until 5000 eval 'probe windows | grep -q "^[0-9a-f]*|#32770|Einstellungen|"' || fail "no settings dialog"
dialog=$(xdotool search --onlyvisible --name '^Einstellungen$' | head -n1)
xdotool windowactivate --sync "$dialog"
click_control Einstellungen "&Datenrate" # off
sleep 0.5
shot settings-dialog
click_control Einstellungen "&Info"
wait_until 5000 eval 'probe windows | grep -q "^[0-9a-f]*|#32770|Information|"' || fail "no about box"
sleep 0.5
shot about-box
probe close "Information" >/dev/null
wait_until 3000 eval '[ "$(probe windows | grep -c "|#32770|")" = 1 ]' || fail "the about box did not close"
click_control Einstellungen OK
wait_until 3000 eval '! probe windows | grep -q "|#32770|"' || fail "OK did not close the settings dialog"
# reg writes in the console's code page: 437 here.
read_settings() {
    as_wine wine reg query "$key" >"$work/reg-query.log" 2>&1
    iconv -f CP437 -t UTF-8 "$work/reg-query.log" | tr -d '\r' >"$work/settings.txt"
}
expect_value() { grep -Eq "^ +$1 +REG_SZ +$2\$" "$work/settings.txt" || fail "the registry lacks $1 = $2"; }
read_settings
cat "$work/settings.txt"
expect_value ShowSpeed 0
expect_value ShowRest 1
expect_value 00 "$entry,0,,,,$unit_s,,,,0,,,,$unit_s,,,,"
expect_value 01 "Zweitnetz,+"

echo "--- Beenden"
open_menu
menu_keys b
wait_until 5000 eval '! kill -0 $zumi_pid 2>/dev/null' || fail "\"Beenden\" did not end the program"
read_settings
expect_value Top "[0-9]+"
echo PASS
