#!/usr/bin/env bash
# The program as an unprivileged user in the real xfce4-panel, first as a StatusNotifierItem (the
# panel draws the exported menu, read from the accessibility bus), then as an XEmbed icon (it
# starts before the panel). Its links are the user's own stand-ins; the ones it dials, a recording
# pppd. Usage: panel_test.sh ZUMI_BINARY STAND_IN_PPPD ARTIFACT_FOLDER, inside tests/xsession.sh.
set -u
. "$(dirname "$0")/e2e_lib.sh"
e2e_isolate "$@"
e2e_args "$@"
e2e_desktop panel
require_tools xfce4-panel setpriv
/usr/bin/python3 -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null || skip "gir1.2-atspi-2.0 is missing"

# A panel only as wide as its tray, at the top left; no first-start dialog.
panel_conf=$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml
mkdir -p "$panel_conf"
cp "$(dirname "$0")/xfce4-panel.xml" "$panel_conf/"
own_peers_folder
name=$(unique_entry_name)
add_peers_entry "$name"
write_link_settings "$name"
become_desktop_user
# The program dials through a pppd that writes down its arguments.
dialed=$XDG_RUNTIME_DIR/dialed
mkdir "$e2e_work/sbin"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >%s\nexec sleep 5\n' "$dialed" >"$e2e_work/sbin/pppd"
chmod 755 "$e2e_work/sbin/pppd"
private_mounts "$e2e_work/sbin" /usr/sbin
# Runs COMMAND... with the program started (start_zumi) with that pppd.
dialing() { local e2e_as_user=("${private_mounts[@]}" "${e2e_as_user[@]}"); "$@"; }

# The panel, as small as its tray: the icon in its middle.
panel_window() {
    local w
    for w in $(xdotool search --onlyvisible --class xfce4-panel 2>/dev/null); do
        window_info "$w" | awk -v id="$w" '$1 <= 80 && $2 <= 40 && $5 == "no" { print id }'
    done
}
# The panel's tray takes items: the program looks for it once, at its start.
host_registered() {
    "${e2e_notify_as[@]}" gdbus call --session -d org.kde.StatusNotifierWatcher -o /StatusNotifierWatcher -m \
        org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher IsStatusNotifierHostRegistered 2>/dev/null \
        | grep -q true
}
start_panel() { spawn "$e2e_work/panel.log" "${e2e_as_user[@]}" xfce4-panel; panel_pid=${e2e_pids[-1]}; }
restart_panel() { end_process "$panel_pid" 3000; start_panel; }
report_a11y() { echo "--- shown in the panel"; tail -n 40 "$a11y_log"; }
e2e_fail_reports+=(report_a11y)

# What appears from now on: the lines shown in the panel since the mark.
mark() { a11y_from=$(($(wc -l <"$a11y_log") + 1)); }
shown_since() { tail -n +"$a11y_from" "$a11y_log" | grep "$@"; }
# The menu's own entries: no tooltips, no submenu entries (shown late from a submenu before).
top_menu() { shown_since -v -e "^tool tip" -e "^check menu item"; }
# The panel draws the menu $2 on a right click on the icon ($1 the moment, for the failure).
expect_panel_menu() {
    local wanted=$2
    mark
    click_icon 1 3
    wait_until 3000 eval '[ "$(top_menu)" = "$wanted" ]' || fail "the panel's menu $1 reads:"$'\n'"$(top_menu)"
}
# The pointer comes onto the icon from elsewhere: a tooltip shows anew.
point_at_icon() { xdotool mousemove 400 400 sleep 1; click_icon ""; xdotool sleep 0.2 mousemove_relative 1 1; }
# The pointer onto the icon shows the tooltip $1 (a pattern of grep).
expect_panel_tooltip() {
    local tip=$1
    mark
    point_at_icon
    wait_until 3000 eval 'shown_since -q "^tool tip|$tip|"' || fail "no tooltip \"$tip\": $(shown_since "^tool tip")"
}
entry() { printf '%s\n' "$@"; }
readonly sep='separator|||enabled'

# As a StatusNotifierItem only: the icon, its tooltip; a left click opens the program's menu, the
# middle button nothing.
e2e_icon_in=panel_window
start_panel
wait_until 10000 host_registered || fail "the panel's tray did not come up: $(cat "$e2e_work/panel.log")"
dialing zumi_up
prints_nothing xembed_icon || fail "an XEmbed icon came as well, in the panel's tray"
a11y_log=$e2e_work/a11y.log
spawn "$a11y_log" "${e2e_as_user[@]}" /usr/bin/python3 "$(dirname "$0")/panel_a11y.py"
wait_until 10000 grep -qx ready "$a11y_log" || fail "no accessibility bus: $(cat "$a11y_log")"
sleep 1 # the panel learns of a new listener a moment later
expect_panel_tooltip " *Zumi *"
click_icon 1
wait_until 3000 menus_open 1 || fail "a left click on the icon opened no menu of the program"
menu_key Escape 0
click_icon 1 2
sleep 1
prints_nothing menu_windows || fail "the middle button opened the menu"

# The panel's own menu: every entry with its access key and state; chosen there, entries act.
offline_menu=$(entry "menu item|Beenden|b|enabled" "$sep" "menu item|Einstellungen|e|enabled" \
    "menu item|Verbindungen…|d|enabled" "$sep" "menu|Vor Einheitsende trennen||" "$sep" "menu item|$name||enabled")
expect_panel_menu offline "$offline_menu"
e2e_shot_root menu-offline
xdotool key Up Return
wait_until 3000 test -s "$dialed" || fail "the entry chosen in the panel's menu dialed nothing"
[ "$(cat "$dialed")" = "$(printf 'call\n%s' "$name")" ] || fail "pppd was called with: $(cat "$dialed")"

# The user's link comes up: red, its tooltip, and so with a panel that restarts; the first menu
# after it is whole; the after-3 entry chosen there is armed (checked); "&Trennen" there hangs up.
user_link() {
    standin_spawn "$1" setpriv --reuid=nobody --regid=nogroup --clear-groups --inh-caps=+net_admin,+dac_override \
        --ambient-caps=+net_admin,+dac_override "$BASH" -c 'exec -a /usr/sbin/pppd "$0" "$@"' "$e2e_fake_pppd" call "$name"
    wait_metering_start "$(now_ms)" 3000
}
user_link link
wait_icon red 3000
expect_panel_tooltip "Connected: $name"
restart_panel
wait_icon red 5000
online_menu() {
    entry "menu item|Beenden|b|enabled" "$sep" "menu item|Einstellungen||" "menu item|Verbindungen…|d|enabled" "$sep" \
        "menu|Vor Einheitsende trennen|v|enabled" "$sep" "menu item|$name||" "$sep" "menu item|Trennen|t|enabled"
}
expect_panel_menu "after the link came up" "$(online_menu)"
xdotool key v Down Down Down Return
expect_panel_menu "after arming" "$(online_menu)"
mark
xdotool key v
wait_until 3000 eval 'shown_since -qx "check menu item|Nach 3 weiteren Einheiten||enabled checked"' \
    || fail "the armed entry is not checked in the panel: $(shown_since "check menu")"
e2e_shot_root menu-armed
xdotool key Left t
wait_until 3000 standin_got_sigterm link || fail "\"&Trennen\" chosen in the panel did not hang up"
wait_metering_end 4000
stop_zumi

# As an XEmbed icon: the program starts before the panel; the tooltip follows, a click opens the
# menu, the icon turns red and back, and comes back with a restarted panel.
end_process "$panel_pid" 3000
e2e_icon_in=xembed_icon
dialing start_zumi
sleep 1
start_panel
wait_icon blue 5000
tooltip_width() {
    point_at_icon
    wait_for tip 3000 "no tooltip" zumi_windows_where 'o == "yes" && h < 40 && w > 2 * h'
    read -r width _ <<<"$(window_info "$tip")"
    xdotool mousemove 400 400
    wait_gone 3000 "the tooltip stayed" zumi_windows_where 'o == "yes" && h < 40 && w > 2 * h'
}
tooltip_width
offline_width=$width
open_tray_menu
menu_key Escape 0
user_link xembed
wait_icon red 3000
tooltip_width
((width > offline_width)) || fail "the tooltip is no wider online ($width px) than offline ($offline_width px)"
restart_panel
wait_icon red 5000
standin_stop xembed
wait_metering_end 4000
echo PASS
