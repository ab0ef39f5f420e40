#!/usr/bin/env bash
# The tray icon and the info window as a user meets them on a desktop with
# the tray at the top of the screen; run inside tests/xsession.sh --tray.
# Usage: tray_test.sh SCENARIO ZUMI_BINARY STAND_IN_PPPD ARTIFACT_FOLDER
#   double_click  the menu opens beside the icon, never under the pointer, a
#                 double click on the icon leaves the program running, and the
#                 icon is back within 2 s of a tray host's return
#   modal_front   a click on the icon fetches the settings dialog from under another window
#   online        the info window has no taskbar button; a tray host that
#                 restarts at once gets the icon back with the re-add tooltip
set -u
scenario=${1:?scenario}
e2e_zumi=${2:?zumi binary}
e2e_fake_pppd=${3:?stand-in pppd}
. "$(dirname "$0")/e2e_lib.sh"
for tool in xdotool xwininfo xprop import; do
    command -v "$tool" >/dev/null || skip "$tool is missing"
done
[ -n "${DISPLAY:-}" ] && [ -n "${ZUMI_TEST_TRAY_PID:-}" ] || skip "no X session with a tray"
e2e_setup "${4:?artifact folder}" "tray-$scenario"

click_icon() { # $1: how many clicks
    read -r w h x y _ <<<"$(window_info "$icon")"
    xdotool mousemove $(( x + w / 2 )) $(( y + h / 2 )) click --repeat "$1" --delay 120 1
}

scenario_double_click() {
    start_zumi
    wait_icon blue 10000
    click_icon 1
    wait_until 3000 menus_open 1 || fail "a click on the icon opened no menu"
    e2e_shot_menus menu
    local mw mh mx my
    read -r mw mh mx my _ <<<"$(window_info "$(menu_windows | head -n1)")"
    (( my >= y + h )) || fail "the menu (${mw}x${mh}+$mx+$my) overlaps the icon (${w}x${h}+$x+$y) under the pointer"
    xdotool key Escape
    wait_until 3000 no_menu_open || fail "Escape left the menu open"
    click_icon 2
    sleep 1.5
    e2e_shot_root after-double-click
    zumi_running || fail "a double click on the icon ended the program"

    # The tray host goes for a while: the icon comes back, blue, within 2 s of its return.
    kill "$ZUMI_TEST_TRAY_PID"
    wait_until 2000 eval '! icon_window >/dev/null' || fail "the icon stayed on screen without a tray host"
    sleep 0.5
    $ZUMI_TEST_TRAY_CMD >/dev/null 2>&1 &
    echo $! >"$ZUMI_TEST_TRAY_PID_FILE"
    wait_icon blue 2000
}

scenario_modal_front() {
    start_zumi
    wait_icon blue 10000
    open_tray_menu
    menu_key e 0
    local dialog
    wait_until 5000 eval 'dialog=$(dialog_window); [ -n "$dialog" ]' || fail "no settings dialog"
    # A minimised dialog comes back by itself; a covered one needs the icon.
    xmessage -geometry 900x600+0+60 "über dem Dialog" &
    local cover
    wait_until 3000 eval 'cover=$(xdotool search --onlyvisible --classname xmessage 2>/dev/null | head -n1); [ -n "$cover" ]' || fail "no covering window"
    xdotool windowactivate "$cover"
    wait_until 3000 eval '[ "$(xdotool getactivewindow)" = "$cover" ]' || fail "the covering window did not come to the front"
    click_icon 1
    wait_until 3000 eval '[ "$(xdotool getactivewindow)" = "$dialog" ]' || fail "a click on the icon did not bring the covered dialog to the front"
    e2e_shot_root dialog-back
}

# Width of the tooltip the icon shows when the pointer comes to rest on it, in $tip_w.
tooltips() {
    local v a b o
    for v in $(zumi_windows); do
        read -r a b _ _ o <<<"$(window_info "$v")"
        [ "$o" = yes ] && [ "$b" -le 40 ] && [ "$a" -gt 30 ] && echo "$a $v"
    done
}
tooltip_width() {
    local t
    xdotool mousemove 600 300
    wait_until 4000 eval '[ -z "$(tooltips)" ]' || fail "the tooltip stays on screen"
    read -r w h x y _ <<<"$(window_info "$(icon_window)")"
    xdotool mousemove $(( x + w / 2 )) $(( y + h / 2 )) sleep 0.2 mousemove $(( x + w / 2 + 1 )) $(( y + h / 2 ))
    wait_until 4000 eval 't=$(tooltips | head -n1); [ -n "$t" ]' || fail "no tooltip on the icon"
    e2e_shot_window "$1" "${t#* }" 4
    tip_w=${t%% *}
}

scenario_online() {
    require_link_rights
    require_no_foreign_pppd
    local name="zumi-e2e-$$-a-rather-long-entry-name"
    add_peers_entry "$name"
    printf '[Settings]\nRight=3000\nTop=6000\n' >"$e2e_conf" # the info window away from the tray
    start_zumi
    wait_icon blue 10000
    standin_start "$name" link
    wait_until 5000 eval 'info=$(info_window)' || fail "no info window"
    e2e_shot_window info "$info" 4
    local state
    state=$(xprop -id "$info" _NET_WM_STATE)
    [[ $state == *_NET_WM_STATE_SKIP_TASKBAR* && $state == *_NET_WM_STATE_SKIP_PAGER* ]] \
        || fail "the info window would get a taskbar or pager button: $state"
    wait_icon red 4000
    local before after
    tooltip_width tooltip-connected
    before=$tip_w
    xdotool mousemove 600 300
    wait_until 4000 eval '[ -z "$(tooltips)" ]' || fail "the tooltip stays on screen"
    # The tray host goes and a new one takes over at once.
    kill "$ZUMI_TEST_TRAY_PID"
    $ZUMI_TEST_TRAY_CMD >/dev/null 2>&1 &
    echo $! >"$ZUMI_TEST_TRAY_PID_FILE"
    sleep 1.5 # the new host has taken the icon in
    wait_icon red 3000
    tooltip_width tooltip-re-added
    after=$tip_w
    log "tooltip $before px wide before the restart, $after px after"
    # "  Zumi - Verbunden  " is far narrower than "Connected: " and the long name.
    (( after + 40 < before )) || fail "the tooltip was not set again after the tray host restarted ($before -> $after px)"
}

"scenario_$scenario"
echo PASS
