#!/usr/bin/env bash
# The tray icon as a StatusNotifierItem, against a stand-in for the panel's
# StatusNotifierWatcher on a private session bus; run inside
# tests/xsession.sh --tray (the XEmbed tray there must stay empty).
# Usage: sni_test.sh ZUMI_BINARY STAND_IN_PPPD ARTIFACT_FOLDER
#  - without a session bus the program says once that no panel can show it;
#  - the session says Wayland: the item, not the XEmbed icon, even with no
#    watcher yet;
#  - a watcher that starts after the program gets the item registered, and so
#    does one that starts again, within 2 s, with the re-add tooltip, even
#    when it answers only a while after taking its name;
#  - Activate and ContextMenu open the menu at the position given, the middle
#    button does not;
#  - the menu over com.canonical.dbusmenu at the item's Menu path: its
#    entries with their captions and states; a clicked entry runs (the
#    settings dialog opens); with a phonebook entry added, AboutToShow reads
#    the phonebook again and asks for the update;
#  - with a stand-in link: the picture turns red, and a watcher
#    that starts again meanwhile gets the red icon with " Zumi - Verbunden ".
set -u
e2e_zumi=${1:?zumi binary}
e2e_fake_pppd=${2:?stand-in pppd}
. "$(dirname "$0")/e2e_lib.sh"
watcher_py=$(dirname "$0")/sni_watcher.py
e2e_begin "${3:?artifact folder}" tray-sni
require_link_rights
command -v gdbus >/dev/null || skip "gdbus is missing"
/usr/bin/python3 -c 'import dbus, gi, dbusmock' 2>/dev/null || skip "python3-dbus, python3-gi or python3-dbusmock is missing"
export XDG_SESSION_TYPE=wayland
start_session_bus

watcher_runs=0
start_watcher() {
    watcher_runs=$((watcher_runs + 1))
    watcher_out=$e2e_work/watcher-$watcher_runs.out
    spawn "$watcher_out" /usr/bin/python3 "$watcher_py" "$@"
    wait_until 5000 grep -qx ready "$watcher_out" || fail "the watcher stand-in did not start: $(cat "$watcher_out")"
}
stop_watcher() { kill "${e2e_pids[-1]}"; }
report_watchers() { tail -n +1 "$e2e_work"/watcher-*.out; }
e2e_fail_reports+=(report_watchers)

# Waits up to $1 ms for the running watcher to be told about the item.
wait_registered() {
    wait_until "$1" grep -q "^register $item " "$watcher_out" || fail "no RegisterStatusNotifierItem for $item within $1 ms"
}

property() { # the item's property $1 as gdbus prints it
    gdbus call --session -d "$item" -o /StatusNotifierItem -m org.freedesktop.DBus.Properties.Get \
        org.kde.StatusNotifierItem "$1" 2>&1
}
icon_colours() { /usr/bin/python3 "$watcher_py" icon "$item" 2>&1 | tr '\n' ' '; }
icon_all() { [ "$(icon_colours)" = "16x16 $1 22x22 $1 24x24 $1 32x32 $1 " ]; }
tooltip_is() { [ "$(property ToolTip)" = "(<('', @a(iiay) [], '$1', '')>,)" ]; }
press() { # method x y
    gdbus call --session -d "$item" -o /StatusNotifierItem -m "org.kde.StatusNotifierItem.$1" "$2" "$3" >/dev/null \
        || fail "the item did not answer $1"
}
click_lines() { grep -cE '^[0-9A-F]+  ' "$e2e_work/zumi.out"; }
menu_call() { /usr/bin/python3 "$watcher_py" "$1" "$item" "${@:2}" 2>&1; }
# Whether the exported menu has a line for an entry at depth $1 with exactly the properties $2.
menu_has() { menu_call menu | grep -qE "^$(printf '%*s' $(( 2 * $1 )) '')[0-9]+ $2\$"; }
menu_id() { menu_call menu | awk -v label="label=$1" '$0 ~ label" " { print $1; exit }'; }
report_menu() { echo "--- exported menu"; menu_call menu; }

# The menu opens for the press at X Y: its corner just below that point.
expect_menu_at() {
    local menu mw mh mx my
    wait_until 3000 menus_open 1 || fail "no menu opened for the press at $1,$2"
    menu=$(menu_windows | head -n1)
    read -r mw mh mx my _ <<<"$(window_info "$menu")"
    [ "$mx" -eq "$1" ] && [ "$my" -eq $(( $2 + 1 )) ] || fail "the menu (${mw}x${mh}+$mx+$my) is not at the press at $1,$2"
    [ "$(click_lines)" -eq $(($3 + 1)) ] || fail "the press wrote $(($(click_lines) - $3)) tray click lines, not one"
    xdotool key Escape
    wait_until 3000 no_menu_open || fail "Escape left the menu open"
}

# Without a session bus no panel can show the icon: the program says so once.
DBUS_SESSION_BUS_ADDRESS=unix:path=$e2e_work/no-bus "$e2e_zumi" >"$e2e_work/no-bus.out" 2>&1 &
no_bus_pid=$!
wait_until 5000 grep -q "Sitzungsbus" "$e2e_work/no-bus.out" || { kill "$no_bus_pid"; fail "no word about the missing session bus: $(cat "$e2e_work/no-bus.out")"; }
kill "$no_bus_pid"
wait "$no_bus_pid" 2>/dev/null
[ "$(grep -c "Sitzungsbus" "$e2e_work/no-bus.out")" -eq 1 ] || fail "the missing bus was told more than once: $(cat "$e2e_work/no-bus.out")"

start_zumi
item=org.kde.StatusNotifierItem-$e2e_zumi_pid-1
wait_until 10000 eval 'property Id | grep -q zumi' || fail "no item $item on the bus: $(property Id)"
sleep 1
icon_window >/dev/null && fail "an XEmbed icon came as well, in the X tray"

# The panel starts after the program.
start_watcher
wait_registered 2000
for pair in "Category:'Communications'" "Title:'Zumi'" "Status:'Active'" ItemIsMenu:false "Menu:objectpath '/MenuBar'"; do
    [ "$(property "${pair%%:*}")" = "(<${pair#*:}>,)" ] || fail "${pair%%:*}: $(property "${pair%%:*}")"
done
tooltip_is "  Zumi  " || fail "the tooltip after the start: $(property ToolTip)"
icon_all blue || fail "the offline icon: $(icon_colours)"

# The panel starts again, and answers only a while after it took its name.
stop_watcher
start_watcher --late
wait_registered 2000
tooltip_is "  Zumi  " || fail "the tooltip after the watcher's restart: $(property ToolTip)"

# Both buttons open the menu where the panel says; the middle one does nothing.
press Activate 300 200
expect_menu_at 300 200 0
press ContextMenu 500 300
expect_menu_at 500 300 1
press SecondaryActivate 400 250
sleep 1
no_menu_open || fail "the middle button opened the menu"
[ "$(click_lines)" -eq 2 ] || fail "the middle button was taken for a click"
zumi_running || fail "the program ended"

# The menu for panels that draw it themselves.
e2e_fail_reports+=(report_menu)
menu_has 1 "enabled=1 label=_Beenden visible=1" || fail "no \"&Beenden\" entry in the exported menu"
menu_has 1 "children-display=submenu enabled=0 label=_Vor Einheitsende trennen visible=1" \
    || fail "no disabled submenu \"&Vor Einheitsende trennen\" offline"
menu_has 1 "enabled=0 label=_Trennen visible=0" || fail "\"&Trennen\" is not hidden and disabled offline"
settings_id=$(menu_id _Einstellungen)
[ -n "$settings_id" ] || fail "no \"&Einstellungen\" entry in the exported menu"
menu_call click "$settings_id" >/dev/null || fail "the menu did not answer the click"
wait_until 5000 eval 'dialog=$(dialog_window); [ -n "$dialog" ]' || fail "the clicked \"&Einstellungen\" opened no dialog"
e2e_shot_root exported-menu-settings
xdotool windowactivate --sync "$dialog" key Escape 2>/dev/null
wait_until 3000 eval '[ -z "$(dialog_window)" ]' || fail "Escape did not close the settings dialog"
# An underscore in the name is doubled, so that it marks no access key.
menu_name=$(unique_entry_name)_x
add_peers_entry "$menu_name"
menu_call menu | grep -q "label=${menu_name//_/__} " && fail "the new phonebook entry was there before AboutToShow"
[ "$(menu_call about-to-show)" = update ] || fail "AboutToShow after a phonebook change: $(menu_call about-to-show)"
menu_has 1 "enabled=1 label=${menu_name//_/__} visible=1" || fail "AboutToShow did not bring the new phonebook entry"

# Online: the red picture, and the re-add tooltip for a watcher that starts again.
name=$menu_name
new_icons=$(grep -c "^signal NewIcon " "$watcher_out")
standin_start "$name" link
wait_until 5000 eval 'info=$(info_window)' || fail "no info window for the stand-in link"
wait_until 3000 icon_all red || fail "the icon while metering: $(icon_colours)"
[ "$(grep -c "^signal NewIcon " "$watcher_out")" -gt "$new_icons" ] || fail "no NewIcon signal when the icon turned red"
tooltip_is "Connected: $name" || fail "the tooltip while metering: $(property ToolTip)"
stop_watcher
start_watcher
wait_registered 2000
wait_until 1000 tooltip_is "  Zumi - Verbunden  " || fail "the re-added tooltip while metering: $(property ToolTip)"
icon_all red || fail "the re-added icon while metering: $(icon_colours)"
echo PASS
