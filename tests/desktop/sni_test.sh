#!/usr/bin/env bash
# The tray icon as a StatusNotifierItem for a stand-in of the panel's watcher on a private session
# bus, inside tests/xsession.sh --tray (whose XEmbed tray must stay empty): a watcher that starts
# later or again (slowly) gets it registered; its buttons, its menu, the online picture and tooltips.
# Usage: sni_test.sh ZUMI_BINARY STAND_IN_PPPD ARTIFACT_FOLDER
set -u
. "$(dirname "$0")/e2e_lib.sh"
e2e_args "$@"
e2e_begin tray-sni
require_link_rights
require_tools gdbus
/usr/bin/python3 -c 'import dbus, gi' 2>/dev/null || skip "python3-dbus or python3-gi is missing"
export XDG_SESSION_TYPE=wayland
start_session_bus

# A watcher that starts (again) is told about the item within 2 s.
start_watcher() { start_watcher_stand_in "$@"; wait_registered; }
restart_watcher() { kill "${e2e_pids[-1]}"; start_watcher "$@"; }
e2e_fail_reports+=(report_watchers)

icon_colours() { /usr/bin/python3 "$watcher_py" icon "$item" 2>&1 | tr '\n' ' '; }
expect_icon() { wait_until 3000 eval "[ \"\$(icon_colours)\" = '16x16 $1 22x22 $1 24x24 $1 32x32 $1 ' ]" || fail "$2: $(icon_colours)"; }
tooltip_is() { [ "$(property ToolTip)" = "(<('', @a(iiay) [], '$1', '')>,)" ]; }
expect_tooltip() { wait_until 1000 tooltip_is "$1" || fail "the tooltip $2: $(property ToolTip)"; }
click_lines() { grep -cE '^[0-9A-F]+  ' "$e2e_work/zumi.out"; }

# The item's method $1 at $2,$3 opens the menu there (its corner just below), with one click line.
expect_menu_at() {
    local clicks mw mh mx my
    clicks=$(click_lines)
    item_call "org.kde.StatusNotifierItem.$1" "$2" "$3" >/dev/null || fail "the item did not answer $1"
    wait_until 3000 menus_open 1 || fail "no menu opened for $1 at $2,$3"
    read -r mw mh mx my <<<"$(menu_geometry)"
    [ "$mx $my" = "$2 $(($3 + 1))" ] || fail "the menu (${mw}x${mh}+$mx+$my) is not at the press at $2,$3"
    [ "$(click_lines)" -eq $((clicks + 1)) ] || fail "$1 wrote $(($(click_lines) - clicks)) tray click lines, not one"
    xdotool key Escape
    wait_gone 3000 "Escape left the menu open" menu_windows
}

# Without a session bus no panel can show the icon: the program says so once.
DBUS_SESSION_BUS_ADDRESS=unix:path=$e2e_work/no-bus "$e2e_zumi" >"$e2e_work/no-bus.out" 2>&1 &
no_bus_pid=$!
wait_until 5000 grep -q "Sitzungsbus" "$e2e_work/no-bus.out"
end_process "$no_bus_pid" 2000
[ "$(grep -c "Sitzungsbus" "$e2e_work/no-bus.out")" -eq 1 ] || fail "the missing bus was not told once: $(cat "$e2e_work/no-bus.out")"

start_zumi
wait_item
sleep 1
icon_window >/dev/null && fail "an XEmbed icon came as well, in the X tray"

# The panel starts after the program, then again, answering only a while after it took its name.
start_watcher
for pair in "Category:'Communications'" "Title:'Zumi'" "Status:'Active'" ItemIsMenu:false "Menu:objectpath '/MenuBar'"; do
    [ "$(property "${pair%%:*}")" = "(<${pair#*:}>,)" ] || fail "${pair%%:*}: $(property "${pair%%:*}")"
done
restart_watcher --late
expect_tooltip "  Zumi  " "after the watcher's restart"

# Both buttons open the menu where the panel says; the middle one does nothing.
expect_menu_at Activate 300 200
expect_menu_at ContextMenu 500 300
item_call org.kde.StatusNotifierItem.SecondaryActivate 400 250 >/dev/null
sleep 1
prints_nothing menu_windows && [ "$(click_lines)" -eq 2 ] || fail "the middle button opened the menu or was taken for a click"
zumi_running || fail "the program ended"

# The menu for panels that draw it: a clicked entry runs, AboutToShow reads the phonebook again.
e2e_fail_reports+=(report_menu)
settings_id=$(menu_call menu | awk '/ label=_Einstellungen / { print $1; exit }')
[ -n "$settings_id" ] || fail "no \"&Einstellungen\" entry in the exported menu"
menu_call click "$settings_id" >/dev/null || fail "the menu did not answer the click"
wait_for dialog 5000 "the clicked \"&Einstellungen\" opened no dialog" titled Einstellungen
e2e_shot_root exported-menu-settings
xdotool windowactivate --sync "$dialog" key Escape 2>/dev/null
wait_gone 3000 "Escape did not close the settings dialog" titled Einstellungen
name=$(unique_entry_name)_x
add_peers_entry "$name"
[ "$(menu_call about-to-show)" = update ] && menu_call menu | grep -qE "^  [0-9]+ enabled=1 label=${name//_/__} visible=1\$" \
    || fail "AboutToShow did not bring the new phonebook entry"

# Online: the red picture, and the re-add tooltip for a watcher that starts again.
new_icons=$(grep -c "^signal NewIcon " "$watcher_out")
standin_start "$name" link
wait_for info 5000 "no info window for the stand-in link" info_window
expect_icon red "the icon while metering"
[ "$(grep -c "^signal NewIcon " "$watcher_out")" -gt "$new_icons" ] || fail "no NewIcon signal when the icon turned red"
expect_tooltip "Connected: $name" "while metering"
restart_watcher
expect_tooltip "  Zumi - Verbunden  " "re-added while metering"
expect_icon red "the re-added icon while metering"
echo PASS
