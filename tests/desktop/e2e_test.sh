#!/usr/bin/env bash
# The real program on a private X desktop with a tray, driven from outside; run inside tests/xsession.sh --tray.
# Usage: e2e_test.sh online|desktop_user|calls|networkmanager ZUMI_BINARY STAND_IN_PPPD ARTIFACT_FOLDER
set -u
scenario=${1:?scenario}
here=$(dirname "$0")
. "$here/e2e_lib.sh"
. "$here/nm_mock.sh"
e2e_args "${@:2}"
e2e_begin "$scenario"
require_link_rights

xmessage_window() { xdotool search --onlyvisible --classname '^xmessage$' 2>/dev/null | head -n1; }
# Records in $stolen each moment the focus is off the window $focus.
watch_focus() { [ "$(active_window)" = "$focus" ] || stolen="$stolen $(active_window)"; }

# The menu, a covered dialog; a link with traffic: the info window, a drag;
# the next link; "&Beenden" leaves it up.
scenario_online() {
    local name="zumi-e2e-$$-a-rather-long-entry-name" w h x y mw mh mx my cover
    add_peers_entry "$name"
    write_link_settings "$name" AutoHangup=1 HangupTakte=1 HangupBytes=512
    start_session_bus
    zumi_up

    # The menu opens beside the icon, never under the pointer.
    read -r w h x y _ <<<"$(window_info "$icon")"
    open_tray_menu
    read -r mw mh mx my <<<"$(menu_geometry)"
    ((my >= y + h)) || fail "the menu (${mw}x${mh}+$mx+$my) overlaps the icon (${w}x${h}+$x+$y) under the pointer"
    e2e_shot_root menu-offline
    menu_key Escape 0

    # A settings dialog under another window comes back with a click on the icon.
    open_settings
    spawn "$e2e_work/cover.out" xmessage -geometry 900x600+0+60 "über dem Dialog"
    wait_for cover 3000 "no covering window" xmessage_window
    xdotool windowactivate "$cover"
    wait_active "$cover" "the covering window did not come to the front"
    click_icon 1
    wait_active "$dialog" "a click on the icon did not bring the covered dialog back"
    xdotool key Escape
    wait_gone 3000 "Escape did not close the settings dialog" titled Einstellungen

    # The covering window holds the focus: a change of _NET_ACTIVE_WINDOW would show a stolen focus.
    local focus=$cover t_up stolen='' clock0 rate0 state
    wait_until 10000 eval 'xdotool windowactivate "$focus" 2>/dev/null; sleep 0.1; is_active "$focus"' \
        || fail "the focus window did not get the focus (active: $(active_window))"

    # The link comes up: the info window at its stored place within 2 s, borderless, above the
    # others, without a taskbar button, and the focus stays.
    standin_start "$name" link
    t_up=$(now_ms)
    until info=$(info_window); do
        watch_focus
        (($(now_ms) - t_up < 5000)) || fail "no info window within 5 s of the link coming up"
        sleep 0.03
    done
    t_detect=$(now_ms)
    ((t_detect - t_up <= 2000)) || fail "the info window came $((t_detect - t_up)) ms after the link (allowed: 2000 ms)"
    clock0=$(field_hash "$info" clock) rate0=$(field_hash "$info" rate)
    standin_command link "rate 4000"
    read -r w h x y _ <<<"$(window_info "$info")"
    [ "$w $h $x $y" = "$info_w $info_h $((screen_w - 100 - info_w)) 100" ] \
        || fail "the info window is ${w}x${h}+$x+$y, not ${info_w}x${info_h} at its stored place $((screen_w - 100 - info_w)),100"
    xprop -id "$info" _NET_FRAME_EXTENTS | grep -q '= 0, 0, 0, 0$' || fail "the info window has a frame"
    state=$(xprop -id "$info" _NET_WM_STATE)
    [[ $state == *_NET_WM_STATE_ABOVE* && $state == *_NET_WM_STATE_SKIP_TASKBAR* && $state == *_NET_WM_STATE_SKIP_PAGER* ]] \
        || fail "the info window is not kept above or would get a taskbar or pager button: $state"
    wait_icon red 4000
    while (($(since_detect) < 3000)); do watch_focus; sleep 0.1; done
    [ -z "$stolen" ] || fail "the focus left the focus window $focus for:$stolen"
    [ "$clock0" != "$(field_hash "$info" clock)" ] || fail "the online time shows the same after 3 s"
    [ "$rate0" != "$(field_hash "$info" rate)" ] || fail "the data rate reads as at the start while 4000 bytes/s flow"
    e2e_shot_window info-window "$info" 4

    # The user drags the info window 100 px to the left and 50 px down.
    local tx=$((x - 100)) ty=$((y + 50)) step
    xdotool mousemove $((x + 70)) $((y + 10)) sleep 0.3 mousedown 1 sleep 0.4
    for step in {1..10}; do xdotool mousemove $((x + 70 - 10 * step)) $((y + 10 + 5 * step)) sleep 0.1; done
    xdotool sleep 0.3 mouseup 1
    wait_until 2000 eval 'read -r _ _ x y _ <<<"$(window_info "$info")"; ((x == tx && y == ty))' \
        || fail "dragging the info window moved it to $x,$y, not to $tx,$ty"

    # The link ends at once, before the dragged window has rested; the next link of the same run,
    # "&Beenden": the program ends in order, saves the dragged place, and the link stays up.
    standin_stop link
    wait_metering_end 4000
    link_up "$name" link2 2000
    wait_icon red 4000
    menu_choose b
    wait_zumi_end 5000 || fail "the program still runs 5 s after \"&Beenden\""
    [ "$zumi_status" -eq 0 ] || fail "exit status $zumi_status after \"&Beenden\""
    wait_until 2000 eval '! icon_window >/dev/null && prints_nothing info_window' || fail "the icon or the info window is still there after \"&Beenden\""
    local place="$(((screen_w - tx - w) * tpp)) $((ty * tpp))"
    [ "$(conf_value Right) $(conf_value Top)" = "$place" ] \
        || fail "the saved place is Right=$(conf_value Right) Top=$(conf_value Top), not $place"
    sleep 1
    standin_alive link2 && ! standin_got_sigterm link2 || fail "the link ended with the program"
    [ "$(head -n1 "/run/${SI_IF[link2]}.pid" 2>/dev/null)" = "${SI_PID[link2]}" ] || fail "/run/${SI_IF[link2]}.pid is gone"
}

# As user nobody, with Debian's peers folder (mode 2750, group dip) mounted for the program alone:
# outside the group the menu says why it lists nothing, in it it lists the entry; the refused
# hang-up of root's link is told, and the link stays.
scenario_desktop_user() {
    require_tools unshare
    local dip name peers=$e2e_work/peers width groups box
    dip=$(getent group dip | cut -d: -f3)
    [ -n "$dip" ] || skip "there is no group dip"
    name=$(unique_entry_name)
    add_peers_entry "$name" # also the mount point
    mkdir "$peers"
    cp "/etc/ppp/peers/$name" "$peers/"
    chgrp -R dip "$peers" && chmod 2750 "$peers" && chmod 640 "$peers/$name" || fail "cannot make the peers folder"
    write_link_settings "$name" AutoHangup=1 HangupTakte=1 HangupBytes=512
    become_desktop_user
    private_mounts "$peers" /etc/ppp/peers
    for groups in "none --clear-groups" "dip --groups=$dip"; do
        e2e_as_user=("${private_mounts[@]}" setpriv --reuid=nobody --regid=nogroup "${groups#* }")
        zumi_up
        open_tray_menu
        read -r width _ <<<"$(menu_geometry)"
        e2e_shot_root "menu-groups-${groups%% *}"
        menu_key Escape 0
        [ "${groups%% *}" = dip ] && break
        ((width > 350)) || fail "outside the group dip the menu ($width px) holds no explaining entry"
        stop_zumi
    done
    ((width < 350)) || fail "in the group dip the menu ($width px) still explains instead of listing"

    link_up "$name" root 2000
    # The first request comes in the second unit's last three seconds.
    local first=$((2 * unit_ms - 3000))
    wait_box $((t_detect + first + 4000 + slack_ms - $(now_ms))) "no Zumi box within 4 s of the hang-up's first request"
    (($(since_detect) >= first - slack_ms)) || fail "a box came before any hang-up was asked for, at $(since_detect) ms"
    e2e_shot_window refused-box "$box" 0
    wait_notification "Trennen fehlgeschlagen.*$name" "the failed hang-up that names the connection"
    standin_alive root && ! standin_got_sigterm root || fail "root's link ended or got a SIGTERM from the test user"
    info_window >/dev/null || fail "the info window went away although the link is still up"
}

# The call log across a kill -9 and --no-call-log, with a read-only settings file told in a box that waits
# beside the running program (the icon is there, the link metered, SIGTERM ends it); the month as CSV.
scenario_calls() {
    require_tools sqlite3
    calls_db() { sqlite3 -batch -noheader -separator '|' "$HOME/.local/share/Zumi/calls.sqlite" "$1" 2>&1; }
    local name row csv=$e2e_work/month.csv win file_dialog
    name=$(unique_entry_name)
    add_peers_entry "$name"
    write_link_settings "$name"
    chmod 444 "$e2e_conf"
    start_zumi
    wait_box 5000 "no box about the read-only settings file"
    wait_icon blue 3000
    # Killed in the third unit: the row holds the units begun, and no end.
    link_up "$name" link 3000
    sleep_ms $((2 * unit_ms + unit_ms / 2 - $(since_detect)))
    row=$(calls_db "SELECT entry, units, end_local IS NULL FROM calls")
    [ "$row" = "$name|3|1" ] || fail "while metered the log holds \"$row\", not \"$name|3|1\""
    kill -KILL "$e2e_zumi_pid"
    wait "$e2e_zumi_pid" 2>/dev/null
    e2e_zumi_pid=
    row=$(calls_db "SELECT count(*), units, end_local IS NULL, online_seconds FROM calls")
    [ "$row" = "1|3|1|$((2 * unit_ms / 1000))" ] || [ "$row" = "1|3|1|$((2 * unit_ms / 1000 + 1))" ] \
        || fail "after kill -9 the log holds \"$row\", not one open row of 3 units and the third unit's start"

    # --no-call-log meters the call on over a unit and logs nothing.
    start_zumi --no-call-log
    wait_metering_start "$(now_ms)" 3000
    sleep_ms $((unit_ms + 500))
    standin_stop link
    wait_metering_end 4000
    [ "$(calls_db "SELECT count(*), units FROM calls")" = "1|3" ] || fail "with --no-call-log the log changed: $(calls_db "SELECT * FROM calls")"
    wait_box 1000 "no box about the read-only settings file at the second start"
    kill -TERM "$e2e_zumi_pid"
    wait_zumi_end 1000 && [ "$zumi_status" = 0 ] || fail "Zumi did not end in order within 1 s of SIGTERM while its box was open"
    chmod 644 "$e2e_conf"

    # One more call, then "Verbin&dungen…" exports the month as CSV with the cost.
    zumi_up
    link_up "$name" second 3000
    standin_command second "rate 4000"
    sleep_ms $((unit_ms / 2 - $(since_detect)))
    standin_stop second
    wait_metering_end 4000
    # A call of one unit keeps its traffic; the log is the user's alone.
    row=$(calls_db "SELECT bytes_received > 0 FROM calls ORDER BY id DESC LIMIT 1")
    [ "$row" = 1 ] || fail "a one-unit call with traffic is logged with no bytes received"
    row=$(stat -c %a "$HOME/.local/share/Zumi" "$HOME/.local/share/Zumi/calls.sqlite" | tr '\n' ' ')
    [ "$row" = "700 600 " ] || fail "the log's folder and file have the modes $row, not 700 600"
    calls_db "INSERT INTO prices VALUES ('$name', 1200, '€')" >/dev/null
    menu_choose d
    wait_for win 5000 "\"Verbin&dungen…\" opened no window \"Verbindungen\"" titled Verbindungen
    sleep 0.5
    e2e_shot_window window "$win" 0
    xdotool windowactivate --sync "$win" 2>/dev/null
    xdotool key --window "$win" alt+c
    wait_for file_dialog 5000 "\"Als CSV speichern\" opened no file dialog" titled "Verbindungen speichern"
    sleep 0.5
    xdotool key ctrl+a type --delay 20 "$csv"
    xdotool key Return
    wait_until 5000 test -s "$csv" || fail "no CSV file written"
    awk -F';' -v d="$(date +%d.%m.%Y)" -v n="$name" 'NR == 1 { ok = $0 ~ /^\xEF\xBB\xBFDatum;Eintrag;Von;Bis;Dauer;Einheiten;Kosten;Währung;Bytes\r$/; next }
        $1 == d && $2 == n { units = units $6 " " $7 " " $8 "," }
        END { exit !(ok && NR == 3 && units == "3 0,36 €,1 0,12 €,") }' "$csv" \
        || fail "the CSV does not hold the two calls with their cost: $(cat -A "$csv")"
}

nm_calls_report() {
    echo "--- calls to the mock NetworkManager"
    grep -v -E '^[0-9.]+ (Get|GetAll|Set|emit) ' "$nm_mock_log" 2>/dev/null | cut -c1-300
}
active_connections() { /usr/bin/python3 "$nm_mock_dir/../networkmanager/nm_mock.py" "$nm_bus_address" active; }

# Dialling through a mock NetworkManager on a private system bus, with a stand-in for the pppd it
# starts: its dial-up profiles are listed with the peers and metered from the activation on (the
# IP interface's bytes); the hang-up asks it to deactivate and leaves its pppd alone. The
# mock stands in only for what the real daemon cannot reach here, an activated link (this kernel has
# no PPP); profiles and refusals are tried against the real one (nm_real_test.sh).
scenario_networkmanager() {
    require_tools dbus-daemon gdbus unshare
    require_dbusmock
    nm_mock_start "$e2e_work" || fail "no mock NetworkManager"
    e2e_pids+=("$nm_mock_pid" "$nm_bus_pid")
    e2e_fail_reports+=(nm_calls_report)
    export DBUS_SYSTEM_BUS_ADDRESS=$nm_bus_address

    local gsm_name="Iridium Daten" modem_tty=ttyUSB2 modem gsm peers menu_h0 menu_h1 t_activate ac t_up speed0
    modem=$(nm_mock_call AddModemDevice modem0 "$modem_tty" | sed -n "s/^('\(.*\)',)\$/\1/p")
    [ -n "$modem" ] || fail "the mock has no modem"
    gsm=$(nm_add_profile "$gsm_name" gsm "'gsm': {'apn': <'internet'>, 'number': <'*99#'>}")
    [ -n "$gsm" ] || fail "the mock did not take the profile"

    # One peers entry, last in the sorted menu, mounted for the program alone: the machine's would move the others.
    peers=$e2e_work/peers
    ensure_peers_folder
    mkdir "$peers" && printf 'nodetach\n' >"$peers/$(unique_entry_name)" || fail "cannot make the peers folder"
    private_mounts "$peers" /etc/ppp/peers
    e2e_as_user=("${private_mounts[@]}")
    write_link_settings "$gsm_name"
    start_session_bus
    zumi_up

    # Menu: "Iridium Daten", the peers entry; "&Trennen" is hidden offline: the second from the bottom.
    open_tray_menu
    read -r _ menu_h0 _ <<<"$(menu_geometry)"
    menu_key Up 1
    menu_key Up 1
    menu_key Return 0
    t_activate=$(now_ms)
    wait_until 3000 nm_was_called ActivateConnection "\"$gsm\" \"/\" \"/\"" \
        || fail "choosing \"$gsm_name\" asked NetworkManager for no activation of $gsm within 3 s"
    ac=$(active_connections)
    wait_metering_start "$t_activate" 2000

    # NetworkManager runs pppd for the modem (no "call", its plugin, an ipparam); once it has its link,
    # the modem gets the link's interface and the connection is activated: the same one goes on.
    standin_launch nm1 nodetach lock nodefaultroute usepeerdns "$modem_tty" noipdefault noauth usehostname \
        lcp-echo-failure 0 lcp-echo-interval 0 ipparam /org/freedesktop/NetworkManager/PPP/0 plugin nm-pppd-plugin.so
    nm_mock_call SetProperty "$modem" org.freedesktop.NetworkManager.Device IpInterface "<'${SI_IF[nm1]}'>" >/dev/null \
        || fail "the mock did not take the modem's IP interface"
    nm_mock_call SetActiveConnectionState "$ac" 2 0 >/dev/null || fail "the mock did not activate $ac"
    t_up=$(now_ms)
    while (($(now_ms) - t_up < 2500)); do
        [ "$(info_window)" = "$info" ] || fail "the info window went away when NetworkManager activated the connection"
        sleep 0.1
    done

    # The bytes of the modem's IP interface show as a data rate.
    speed0=$(field_hash "$info" rate)
    standin_command nm1 "rate 4000"
    sleep 3
    [ "$speed0" != "$(field_hash "$info" rate)" ] || fail "the data rate still reads as at the start while 4000 bytes/s flow over ${SI_IF[nm1]}"

    menu_choose t
    wait_until 3000 nm_was_called DeactivateConnection "\"$ac\"" || fail "\"&Trennen\" did not ask NetworkManager to deactivate $ac"
    wait_metering_end 4000
    standin_alive nm1 && ! standin_got_sigterm nm1 || fail "\"&Trennen\" ended NetworkManager's pppd itself"
    standin_stop nm1
    [ -z "$(active_connections)" ] || fail "NetworkManager still lists $(active_connections) after \"&Trennen\""

    # The menu lists what it listed before dialling.
    open_tray_menu
    read -r _ menu_h1 _ <<<"$(menu_geometry)"
    [ "$menu_h1" -eq "$menu_h0" ] || fail "the menu is $menu_h1 px high after the connection, $menu_h0 px before"
    menu_key Escape 0
}

"scenario_$scenario"
echo "PASS: $scenario"
