#!/usr/bin/env bash
# End-to-end tests of the real program on a private X desktop with a tray,
# driven only from outside as a user meets it; run inside tests/xsession.sh --tray.
# Usage: e2e_test.sh SCENARIO ZUMI_BINARY STAND_IN_PPPD ARTIFACT_FOLDER
#   first_start        the blue icon, the stored defaults, a second start, "&Beenden"
#   link_metering      a link comes up: red icon, info window, online time;
#                      "Nach laufender Einheit" hangs up in the unit's last seconds
#   auto_hangup        the low-traffic hang-up, and no hang-up with traffic
#   refused_hangup     as user nobody: a root link's refused hang-up is told in a
#                      box and a notification, and the link stays metered
#   phonebook_rights   as user nobody, outside and in the group dip: the menu
#                      explains the unreadable phonebook, or lists and dials it
#   settings_and_quit  "&Einstellungen" stores an edited tariff; "&Beenden" while
#                      online saves the dragged info window's place, the link stays up
set -u
scenario=${1:?scenario}
e2e_zumi=${2:?zumi binary}
e2e_fake_pppd=${3:?stand-in pppd}
artifacts=${4:?artifact folder}
. "$(dirname "$0")/e2e_lib.sh"

e2e_begin "$artifacts" "$scenario"

# Waits for a SIGTERM to the stand-in between $2 and $3 ms after the connection
# was seen; sets $tau to when it came.
expect_hangup_between() {
    local tag=$1 lo=$2 hi=$3 what=$4
    wait_until $(( t_detect + hi - $(now_ms) )) standin_got_sigterm "$tag"
    tau=$(since_detect)
    standin_got_sigterm "$tag" || fail "$what: no SIGTERM to the stand-in within $hi ms of the connection start"
    (( tau >= lo )) || fail "$what: SIGTERM came $tau ms after the connection start, before $lo ms"
    log "$what: SIGTERM $tau ms after the connection start (expected $lo..$hi ms)"
    wait_until 3000 eval "! standin_alive $tag" || fail "$what: the stand-in did not end after SIGTERM"
}

# "&Beenden" in the open menu: the program ends in order, with status 0.
quit_from_open_menu() {
    local t_quit
    menu_key b 0
    t_quit=$(now_ms)
    wait_zumi_end 5000 || fail "the program still runs 5 s after \"&Beenden\""
    log "the program ended $(( $(now_ms) - t_quit )) ms after \"&Beenden\""
    [ "$zumi_status" -eq 0 ] || fail "exit status $zumi_status after \"&Beenden\""
}

scenario_first_start() {
    start_zumi
    wait_icon blue 10000
    e2e_shot_window icon-offline "$icon" 6
    wait_until 3000 conf_has HangupBytes 512 \
        || fail "the settings file does not hold HangupBytes=512 (HangupBytes is \"$(conf_value HangupBytes)\")"
    local before t rc took
    before=$(md5sum <"$e2e_conf")

    # A second start ends at once and silently; the first one runs on unchanged.
    t=$(now_ms)
    ( close_standin_fds; exec timeout 20 "$e2e_zumi" ) >"$e2e_work/second.out" 2>&1
    rc=$? took=$(( $(now_ms) - t ))
    log "second start ended with status $rc after $took ms"
    [ "$rc" -eq 0 ] || fail "the second start ended with status $rc"
    [ "$took" -lt 5000 ] || fail "the second start took $took ms"
    [ -s "$e2e_work/second.out" ] && fail "the second start was not silent: $(cat "$e2e_work/second.out")"
    sleep 1
    zumi_running || fail "the first instance ended"
    [ "$(icon_count)" -eq 1 ] || fail "$(icon_count) tray icons after the second start"
    wait_until 2000 icon_is blue || fail "the icon is no longer blue after the second start (blue/red pixels: $icon_blue/$icon_red)"
    [ "$(md5sum <"$e2e_conf")" = "$before" ] || fail "the second start changed the settings file"

    # "&Beenden": the icon goes and the program ends in order.
    open_tray_menu
    e2e_shot_menus menu-offline
    quit_from_open_menu
    wait_until 2000 eval '! icon_window >/dev/null' || fail "the tray icon is still there after the end"
    conf_value Top >/dev/null || fail "no position saved at the end"
    log "\"&Beenden\": ended with status 0, icon gone"
}

scenario_link_metering() {
    require_link_rights
    local name
    name=$(unique_entry_name)
    add_peers_entry "$name"
    write_link_settings "$name"
    start_focus_window
    log "focus window $focus_window holds the focus"
    start_zumi
    wait_icon blue 10000

    # The link comes up: the info window appears at its stored place within two
    # seconds, and the focus stays where it was.
    local t_up stolen='' a b w h x y
    standin_start "$name" link
    t_up=$(now_ms)
    while ! info=$(info_window); do
        [ "$(active_window)" = "$focus_window" ] || stolen="$stolen $(active_window)"
        (( $(now_ms) - t_up < 5000 )) || fail "no info window within 5 s of the link coming up"
        sleep 0.03
    done
    t_detect=$(now_ms)
    log "info window $info shown $(( t_detect - t_up )) ms after the link came up"
    (( t_detect - t_up <= 2000 )) || fail "the info window came $(( t_detect - t_up )) ms after the link (allowed: 2000 ms)"
    read -r w h x y _ <<<"$(window_info "$info")"
    a=$(rect_hash 35 13 $(( x + 57 )) $(( y + 4 )))
    [ "$w" -eq "$info_w" ] && [ "$h" -eq "$info_h" ] || fail "the info window is ${w}x${h}, not ${info_w}x${info_h}"
    [ "$x" -eq $(( screen_w - 100 - info_w )) ] && [ "$y" -eq 100 ] \
        || fail "the info window is at $x,$y, not at the stored place $(( screen_w - 100 - info_w )),100"
    # Borderless (the window manager gives it no frame) and above other windows.
    xprop -id "$info" _NET_FRAME_EXTENTS | grep -q '= 0, 0, 0, 0$' \
        || fail "the info window has a frame: $(xprop -id "$info" _NET_FRAME_EXTENTS)"
    xprop -id "$info" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE \
        || fail "the info window is not kept above: $(xprop -id "$info" _NET_WM_STATE)"
    wait_icon red 4000
    e2e_shot_window icon-online "$icon" 6
    # Watch the focus while the program meters its first seconds.
    while (( $(since_detect) < 2500 )); do
        [ "$(active_window)" = "$focus_window" ] || stolen="$stolen $(active_window)"
        sleep 0.1
    done
    [ -z "$stolen" ] || fail "the focus left the focus window $focus_window for:$stolen"
    log "the focus stayed with the focus window"

    # The online time runs: the label differs after more than two seconds.
    b=$(rect_hash 35 13 $(( x + 57 )) $(( y + 4 )))
    [ "$a" != "$b" ] || fail "the online time shows the same after $(since_detect) ms"
    e2e_shot_window info-window "$info" 4
    log "the online time advances"

    # "Vor Einheitsende trennen" > "Nach laufender Einheit". Chosen early in a unit, the hang-up is due in the last three seconds of
    # that same unit; chosen later, it may fall into the next unit's end.
    local phase t_arm hang_due
    arm_after_current_unit "$info"
    expect_hangup_between link $(( t_arm - slack_ms )) "$hang_due" "\"Nach laufender Einheit\""
    phase=$(( tau % unit_ms ))
    (( phase >= 7000 - slack_ms || phase < slack_ms )) \
        || fail "the hang-up came $phase ms into a unit of $unit_ms ms, not in its last three seconds"

    wait_metering_end 4000
    log "after the hang-up the info window is gone and the icon blue"

    # Offline again, "&Einstellungen" opens the dialog; Escape drops it unsaved.
    local before dialog
    before=$(md5sum <"$e2e_conf")
    open_tray_menu
    menu_key e 0
    wait_until 3000 eval 'dialog=$(dialog_window); [ -n "$dialog" ]' \
        || fail "\"&Einstellungen\" opened no dialog after the connection ended"
    wait_until 3000 eval '[ "$(active_window)" = "$dialog" ]' || fail "the settings dialog did not get the focus"
    xdotool key Escape
    wait_until 3000 eval '[ -z "$(dialog_window)" ]' || fail "Escape did not close the settings dialog"
    [ "$(md5sum <"$e2e_conf")" = "$before" ] || fail "the settings dialog stored something on Escape"
    log "\"&Einstellungen\" is enabled again; Escape closed the dialog without storing"
}

# A phonebook entry $name of its own, metered with the low-traffic rule on.
new_low_traffic_entry() {
    require_link_rights
    name=$(unique_entry_name)
    add_peers_entry "$name"
    write_link_settings "$name" AutoHangup=1 HangupTakte=1 HangupBytes=512
}

scenario_auto_hangup() {
    local name
    new_low_traffic_entry
    start_zumi
    wait_icon blue 10000
    # The first low-traffic check that may hang up comes in the last three
    # seconds of the second unit (the first unit is not complete yet then).
    local lo=$(( 2 * unit_ms - 3000 - slack_ms )) hi=$(( 2 * unit_ms + slack_ms + 2000 ))

    # Steady traffic, well above 512 bytes a unit: no hang-up over that time.
    local t_up speed0 speed1 w h x y
    standin_start "$name" busy
    standin_command busy "rate 4000"
    t_up=$(now_ms)
    wait_metering_start "$t_up" 2000
    read -r w h x y _ <<<"$(window_info "$info")"
    speed0=$(rect_hash 49 13 $(( x + 3 )) $(( y + 4 )))
    sleep 3
    speed1=$(rect_hash 49 13 $(( x + 3 )) $(( y + 4 )))
    [ "$speed0" != "$speed1" ] || fail "the data rate still reads as at the start while 4000 bytes/s flow"
    e2e_shot_window info-traffic "$info" 4
    wait_until $(( hi - $(since_detect) )) standin_got_sigterm busy
    standin_got_sigterm busy && fail "the link with 4000 bytes/s was hung up after $(since_detect) ms"
    standin_alive busy || fail "the link with traffic ended by itself"
    log "the link with traffic is still up after $(since_detect) ms"
    standin_stop busy
    wait_metering_end 4000

    # No traffic: hung up in the second unit's last seconds.
    standin_start "$name" idle
    t_up=$(now_ms)
    wait_metering_start "$t_up" 2000
    expect_hangup_between idle "$lo" "$hi" "low traffic"
    wait_metering_end 4000
    log "after the low-traffic hang-up the info window is gone and the icon blue"
}

# As a desktop user, a link started by root cannot be hung up: the low-traffic
# rule's refused request is told in a "Zumi" box and a notification at once,
# and the link is left up, not reported as ended.
scenario_refused_hangup() {
    local name
    new_low_traffic_entry
    become_desktop_user
    start_zumi
    wait_icon blue 10000
    standin_start "$name" root
    wait_metering_start "$(now_ms)" 2000
    # The first request comes in the second unit's last three seconds.
    local first=$(( 2 * unit_ms - 3000 )) box
    wait_until $(( t_detect + first + 4000 + slack_ms - $(now_ms) )) eval 'box=$(xdotool search --onlyvisible --name "^Zumi\$" | head -n1); [ -n "$box" ]' \
        || fail "no Zumi box within 4 s of the hang-up's first request ($(since_detect) ms after the link was seen)"
    (( $(since_detect) >= first - slack_ms )) || fail "a box came before any hang-up was asked for, at $(since_detect) ms"
    log "the Zumi box came $(since_detect) ms after the link was seen"
    e2e_shot_window refused-box "$box" 0
    wait_until 2000 eval 'notifications | grep -q "Trennen fehlgeschlagen"' \
        || fail "no notification of the failed hang-up: $(notifications)"
    notifications | grep -q "$name" || fail "the notification does not name the connection: $(notifications)"
    standin_got_sigterm root && fail "the stand-in owned by root got a SIGTERM from the test user"
    standin_alive root || fail "the link ended by itself"
    info_window >/dev/null || fail "the info window went away although the link is still up"
    standin_stop root
    wait_metering_end 4000
}

# As a desktop user, with the phonebook folder of mode 2750 and group dip that
# Debian makes: outside the group the menu says why it lists nothing, in one
# long entry that dials nothing; in the group the entry is listed and dials
# exactly its name. The folder and a pppd that writes down its arguments are
# mounted in a mount namespace of the program's own.
scenario_phonebook_rights() {
    require_link_rights
    command -v unshare >/dev/null || skip "unshare is missing"
    local dip name peers=$e2e_work/peers sbin=$e2e_work/sbin width groups
    dip=$(getent group dip | cut -d: -f3)
    [ -n "$dip" ] || skip "there is no group dip"
    name=$(unique_entry_name)
    add_peers_entry "$name" # also the mount point
    mkdir "$peers" "$sbin"
    cp "/etc/ppp/peers/$name" "$peers/"
    chgrp -R dip "$peers" && chmod 2750 "$peers" && chmod 640 "$peers/$name" || fail "cannot make the peers folder"
    become_desktop_user
    local dialed=$XDG_RUNTIME_DIR/dialed
    printf '#!/bin/sh\nprintf "%%s\\n" "$@" >%s\nexec sleep 5\n' "$dialed" >"$sbin/pppd"
    chmod 755 "$sbin/pppd"
    # shellcheck disable=SC2016
    local mounts=(unshare -m --propagation private sh -c \
        'mount --bind "$1" /etc/ppp/peers && mount --bind "$2" /usr/sbin && shift 2 && exec "$@"' sh "$peers" "$sbin")
    for groups in none dip; do
        if [ "$groups" = none ]; then
            e2e_as_user=("${mounts[@]}" setpriv --reuid=nobody --regid=nogroup --clear-groups)
        else
            e2e_as_user=("${mounts[@]}" setpriv --reuid=nobody --regid=nogroup --groups="$dip")
        fi
        start_zumi
        wait_icon blue 10000
        open_tray_menu
        read -r width _ <<<"$(window_info "$(menu_windows | head -n1)")"
        e2e_shot_menus "menu-groups-$groups"
        log "groups $groups: the menu is $width px wide"
        if [ "$groups" = none ]; then
            (( width > 350 )) || fail "outside the group dip the menu ($width px) holds no explaining entry"
            menu_key Escape 0
        else
            (( width < 350 )) || fail "in the group dip the menu ($width px) still explains instead of listing"
            menu_key Up 1 # the last entry: the phonebook's one, "&Trennen" is hidden offline
            menu_key Return 0
            wait_until 3000 test -s "$dialed" || fail "choosing the entry dialed nothing: $(cat "$e2e_work/zumi.out")"
            [ "$(cat "$dialed")" = "$(printf 'call\n%s' "$name")" ] || fail "pppd was called with: $(cat "$dialed")"
        fi
        kill -TERM "$e2e_zumi_pid"
        wait_zumi_end 5000 || fail "Zumi did not end on SIGTERM"
    done
}

scenario_settings_and_quit() {
    require_link_rights
    local name record edited
    name=$(unique_entry_name)
    add_peers_entry "$name"
    record=$(tariff_record "$name" $(( unit_ms / 1000 )))
    edited="$name,3,${record#"$name",0,}"
    # A left edge instead of a right one: the right one is worked out from it.
    printf '[Settings]\n00=%s\nVorlauf=0\nLeft=%d\nTop=%d\n' "$record" $(( 200 * tpp )) $(( 100 * tpp )) >"$e2e_conf"
    start_zumi
    wait_icon blue 10000

    # "&Einstellungen": pick the test's connection by typing its name, then
    # "ab &Uhrzeit:" of the first weekday band, a new hour, and OK with Return.
    local dialog
    open_tray_menu
    menu_key e 0
    wait_until 3000 eval 'dialog=$(dialog_window); [ -n "$dialog" ]' || fail "\"&Einstellungen\" opened no dialog"
    wait_until 3000 eval '[ "$(active_window)" = "$dialog" ]' || fail "the settings dialog did not get the focus"
    log "settings dialog $dialog open"
    sleep 0.2
    xdotool type --delay 30 "$name"
    xdotool key alt+u
    xdotool type 3
    sleep 0.2
    e2e_shot_window dialog "$dialog" 2
    xdotool key Return
    wait_until 3000 eval '[ -z "$(dialog_window)" ]' || fail "Return did not close the dialog"
    local key found=
    for key in $(sed -n 's/^\([0-9][0-9]*\)=.*/\1/p' "$e2e_conf"); do
        [ "$(conf_value "$key")" = "$edited" ] && found=$key
    done
    [ -n "$found" ] || fail "no record \"$edited\" in the settings file after OK"
    conf_has HangupTakte 1 && conf_has ShowRest 1 || fail "OK did not store the options"
    log "OK stored the record under \"$found\": $edited"

    # Online, the info window stands where "Left" and "Top" put it; the user
    # drags it 100 px to the left and 50 px down.
    local t_up w h x y tx ty step
    standin_start "$name" link
    t_up=$(now_ms)
    wait_metering_start "$t_up" 2000
    read -r w h x y _ <<<"$(window_info "$info")"
    # From "Left" the program works out the distance to the right edge with the
    # window's width before it is laid out (188 px): so 199 or 200.
    (( x >= 199 && x <= 200 && y == 100 )) || fail "the info window is at $x,$y, not at about 200,100 from \"Left\"/\"Top\""
    wait_icon red 4000
    xdotool mousemove $(( x + 70 )) $(( y + 10 ))
    sleep 0.3
    xdotool mousedown 1
    sleep 0.4
    for step in 1 2 3 4 5 6 7 8 9 10; do
        xdotool mousemove $(( x + 70 - 10 * step )) $(( y + 10 + 5 * step ))
        sleep 0.1
    done
    sleep 0.3
    xdotool mouseup 1
    tx=$(( x - 100 )) ty=$(( y + 50 ))
    wait_until 2000 eval 'read -r _ _ x y _ <<<"$(window_info "$info")"; (( x == tx && y == ty ))' \
        || fail "dragging the info window moved it to $x,$y, not to $tx,$ty"
    log "info window dragged to $x,$y"
    sleep 1.5 # the program records the place once the window has settled

    # While online "&Einstellungen" is disabled: "e" opens nothing. Then "&Beenden".
    open_tray_menu
    e2e_shot_menus menu-online
    xdotool key e
    sleep 1
    [ -z "$(dialog_window)" ] || fail "\"&Einstellungen\" opened the dialog while online"
    menus_open 1 || fail "the menu closed on the disabled \"&Einstellungen\""
    quit_from_open_menu
    wait_until 2000 eval '! icon_window >/dev/null' || fail "the tray icon is still there after \"&Beenden\""
    wait_until 2000 no_info_window || fail "the info window is still there after \"&Beenden\""
    local right=$(( (screen_w - tx - w) * tpp )) top=$(( ty * tpp ))
    conf_has Right "$right" && conf_has Top "$top" \
        || fail "the saved place is Right=$(conf_value Right) Top=$(conf_value Top), not Right=$right Top=$top"
    log "\"&Beenden\" saved Right=$right Top=$top"

    # The connection stays up.
    sleep 1
    standin_alive link || fail "the link ended with the program"
    standin_got_sigterm link && fail "the link got SIGTERM when the program ended"
    [ "$(head -n1 "/run/${SI_IF[link]}.pid" 2>/dev/null)" = "${SI_PID[link]}" ] || fail "/run/${SI_IF[link]}.pid is gone"
    log "the link is still up after the end"
    standin_stop link
}

case "$scenario" in
first_start | link_metering | auto_hangup | refused_hangup | phonebook_rights | settings_and_quit) "scenario_$scenario" ;;
*) fail "unknown scenario $scenario" ;;
esac
log "PASS: $scenario"
