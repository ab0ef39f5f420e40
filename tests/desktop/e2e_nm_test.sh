#!/usr/bin/env bash
# Dialling through a mock NetworkManager on a private system bus, with a stand-in for the pppd it
# starts; run inside tests/xsession.sh --tray. Its dial-up profiles are listed with the peers and
# metered from the activation on (own tariff, the IP interface's bytes); hang-ups ask it to
# deactivate and leave its pppd alone; a refused activation is told in a box.
# Usage: e2e_nm_test.sh ZUMI_BINARY STAND_IN_PPPD ARTIFACT_FOLDER
set -u
here=$(dirname "$0")
. "$here/e2e_lib.sh"
. "$here/nm_mock.sh"
e2e_args "$@"
e2e_begin networkmanager
require_link_rights
require_tools dbus-daemon gdbus unshare
require_dbusmock

readonly gsm_name="Iridium Daten" dun_name="Handy DUN" modem_tty=ttyUSB2
modem='' ac='' t_activate='' # the mock's modem, the active connection of the test, when it was chosen

nm_calls_report() {
    echo "--- calls to the mock NetworkManager"
    grep -v -E '^[0-9.]+ (Get|GetAll|Set|emit) ' "$nm_mock_log" 2>/dev/null | cut -c1-300
}

# Waits up to $2 ms for the mock's call number $3 (from 1) of METHOD $1.
wait_nm_call() { wait_until "$2" eval "[ \"\$(nm_call_count $1)\" -ge $3 ]"; }
active_connections() { nm_property "$nm_manager" "" ActiveConnections | grep -o "/org/freedesktop/NetworkManager/ActiveConnection/[0-9]*"; }
no_active_connection() { [ -z "$(active_connections)" ] || fail "NetworkManager still lists $(active_connections) $1"; }
# The mock's ActivateConnection replaced by the Python code $1.
nm_activation() {
    nm_call "$nm_manager" org.freedesktop.DBus.Mock.AddMethod org.freedesktop.NetworkManager ActivateConnection ooo o \
        "$1" >/dev/null || fail "the mock did not take the new ActivateConnection"
}

# The stand-in TAG as NetworkManager runs pppd for a modem (no "call", its plugin, an ipparam); then,
# as NetworkManager once pppd reports, the modem gets the link's interface and $ac is activated.
nm_pppd_start() {
    local tag=$1 number=$2
    standin_launch "$tag" nodetach lock nodefaultroute usepeerdns "$modem_tty" noipdefault noauth usehostname \
        lcp-echo-failure 0 lcp-echo-interval 0 ipparam "/org/freedesktop/NetworkManager/PPP/$number" \
        plugin nm-pppd-plugin.so
    nm_mock_call SetProperty "$modem" org.freedesktop.NetworkManager.Device IpInterface "<'${SI_IF[$tag]}'>" >/dev/null \
        || fail "the mock did not take the modem's IP interface"
    nm_mock_call SetActiveConnectionState "$ac" 2 0 >/dev/null || fail "the mock did not activate $ac"
}

# Chooses the entry $1 up from the menu's bottom ("&Trennen" is hidden offline) and waits for the
# mock's activation call number $2, for the profile $3; $t_activate is when it was chosen.
choose_entry() {
    local up=$1 count=$2 profile=$3 i last
    open_tray_menu
    for ((i = 0; i < up; i++)); do menu_key Up 1; done
    menu_key Return 0
    t_activate=$(now_ms)
    wait_nm_call ActivateConnection 3000 "$count" \
        || fail "choosing the entry $up from the bottom asked NetworkManager for no activation within 3 s"
    last=$(grep -E '^[0-9.]+ ActivateConnection "' "$nm_mock_log" | tail -n1)
    [ "${last#* ActivateConnection }" = "\"$profile\" \"/\" \"/\"" ] \
        || fail "choosing the entry $up from the bottom called ${last#* } instead of ActivateConnection \"$profile\" \"/\" \"/\""
}
# A chosen entry metered from its activation on.
dial_entry() {
    choose_entry "$@"
    ac=$(active_connections)
    wait_metering_start "$t_activate" 2000
    wait_icon red 4000
}

# Waits $2 ms for the mock's deactivation call number $1, of $ac; NetworkManager's pppd TAG $3 is left alone.
expect_deactivation() {
    local count=$1 limit=$2 tag=$3 what=$4
    wait_nm_call DeactivateConnection "$limit" "$count" \
        || fail "$what: NetworkManager was not asked to deactivate within $limit ms"
    tau=$(since_detect)
    nm_was_called DeactivateConnection "\"$ac\"" || fail "$what: the deactivation was not for $ac"
    wait_metering_end 4000
    standin_alive "$tag" && ! standin_got_sigterm "$tag" || fail "$what: the program ended NetworkManager's pppd itself"
    standin_stop "$tag"
    no_active_connection "after $what"
}

nm_mock_start "$e2e_work" || fail "no mock NetworkManager"
e2e_pids+=("$nm_mock_pid" "$nm_bus_pid")
e2e_fail_reports+=(nm_calls_report)
export DBUS_SYSTEM_BUS_ADDRESS=$nm_bus_address

modem=$(nm_mock_call AddModemDevice modem0 "$modem_tty" | sed -n "s/^('\(.*\)',)\$/\1/p")
[ -n "$modem" ] || fail "the mock has no modem"
gsm=$(nm_add_profile "$gsm_name" gsm "'gsm': {'apn': <'internet'>, 'number': <'*99#'>}")
dun=$(nm_add_profile "$dun_name" bluetooth "'bluetooth': {'type': <'dun'>}")
# Sorted in between the dial-up ones: listed by mistake, they would move the entries picked from the bottom.
nm_add_profile "Heim-WLAN" 802-11-wireless "'802-11-wireless': {'ssid': <[byte 0x48, 0x65, 0x69, 0x6d]>}" >/dev/null
nm_add_profile "Handy Netz" bluetooth "'bluetooth': {'type': <'panu'>}" >/dev/null
[ -n "$gsm" ] && [ -n "$dun" ] || fail "the mock did not take the profiles"

# One peers entry, last in the sorted menu, mounted for the program alone: the machine's would move the others.
peers=$e2e_work/peers
ensure_peers_folder
mkdir "$peers" && printf 'nodetach\n' >"$peers/$(unique_entry_name)" || fail "cannot make the peers folder"
private_mounts "$peers" /etc/ppp/peers
e2e_as_user=("${private_mounts[@]}")
write_link_settings "$gsm_name" "01=$(tariff_record "$dun_name" $((unit_ms / 1000)))"
start_session_bus
zumi_up

# Menu: "Handy DUN", "Iridium Daten", the peers entry; the second from the bottom.
open_tray_menu
read -r _ menu_h0 _ <<<"$(menu_geometry)"
e2e_shot_root menu-offline
menu_key Escape 0
dial_entry 2 1 "$gsm"

# Once NetworkManager's pppd has its link and the connection is activated, the same one goes on.
nm_pppd_start nm1 0
t_up=$(now_ms)
while (($(now_ms) - t_up < 2500)); do
    [ "$(info_window)" = "$info" ] || fail "the info window went away when NetworkManager activated the connection"
    sleep 0.1
done
icon_is red || fail "the icon is no longer red after the activation (blue/red pixels: $icon_blue/$icon_red)"

# The bytes of the modem's IP interface show as a data rate.
speed0=$(field_hash "$info" rate)
standin_command nm1 "rate 4000"
sleep 3
[ "$speed0" != "$(field_hash "$info" rate)" ] || fail "the data rate still reads as at the start while 4000 bytes/s flow over ${SI_IF[nm1]}"
standin_command nm1 "rate 0"
e2e_shot_window info-window "$info" 4

menu_choose t
expect_deactivation 1 3000 nm1 "\"&Trennen\""

# The menu lists what it listed before dialling.
open_tray_menu
read -r _ menu_h1 _ <<<"$(menu_geometry)"
[ "$menu_h1" -eq "$menu_h0" ] || fail "the menu is $menu_h1 px high after the connections, $menu_h0 px before"
menu_key Escape 0

# NetworkManager refuses: a box says so.
nm_activation 'raise dbus.exceptions.DBusException("Not authorized to control networking.", name="org.freedesktop.NetworkManager.PermissionDenied")'
choose_entry 3 2 "$dun"
wait_box 4000 "no \"Zumi\" box within 4 s of the refused activation"
sleep 0.3
e2e_shot_window refused-box "$box" 0
xdotool key Return
wait_gone 3000 "Return did not close the box" titled Zumi
no_active_connection "after the refusal"
wait_until 2000 icon_is blue || fail "the icon is not blue after the refusal"

# Dialled again, "Nach laufender Einheit" chosen early in a unit: the armed rest turns light green,
# the hang-up comes in that unit's last seconds (the next's when chosen late; without the profile's
# 10-s tariff, in a 60-s unit, too late), and is told on the desktop.
nm_activation 'ret = self.activate_connection(self, args[0], args[1], args[2])'
dial_entry 2 3 "$gsm"
nm_pppd_start nm2 1
phase=$(($(since_detect) % unit_ms))
((phase <= 4000)) || sleep_ms $((unit_ms - phase + 300))
open_tray_menu
menu_key v 2
menu_key Return 0
t_arm=$(since_detect)
hang_due=$(((t_arm / unit_ms + 1) * unit_ms + slack_ms))
((t_arm % unit_ms < 6000)) || hang_due=$((hang_due + unit_ms))
wait_until 2000 eval 'green=$(window_pixels "$info" | awk '\''$2 > 220 && $1 > 90 && $1 < 170 && $3 > 90 && $3 < 170 { n++ } END { print n + 0 }'\''); [ "$green" -ge 20 ]' \
    || fail "the unit bar shows no light green rest after arming ($green pixels)"
e2e_shot_window info-armed "$info" 4
expect_deactivation 2 $((hang_due - $(since_detect))) nm2 "\"Nach laufender Einheit\" in a 10-s unit of \"$gsm_name\""
((tau >= t_arm - slack_ms)) || fail "the hang-up came $tau ms after the connection start, before it was armed"
phase=$((tau % unit_ms))
((phase >= 7000 - slack_ms || phase < slack_ms)) || fail "the hang-up came $phase ms into a unit, not in its last three seconds"
wait_notification "automatisch getrennt" "the hang-up"

[ "$(nm_call_count ActivateConnection)" -eq 3 ] || fail "$(nm_call_count ActivateConnection) activations for three choices"
echo "PASS: networkmanager"
