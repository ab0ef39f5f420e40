#!/usr/bin/env bash
# The program as an unprivileged user against the real NetworkManager, in namespaces of the test's
# own with a private system bus and keyfile profiles made with nmcli; its menu read and chosen from
# over the bus, as a panel does. Usage: nm_real_test.sh ZUMI_BINARY STAND_IN_PPPD ARTIFACT_FOLDER,
# inside tests/xsession.sh.
set -u
. "$(dirname "$0")/e2e_lib.sh"
e2e_isolate "$@"
e2e_args "$@"
e2e_desktop nm-real
require_tools NetworkManager nmcli dbus-daemon gdbus setpriv
nm=$e2e_work/nm nm_runs=0
mkdir -p "$nm/profiles" "$nm/conf.d"
mount -t tmpfs tmpfs /var/lib/NetworkManager || fail "no /var/lib/NetworkManager of the test's"

# The system bus as Debian configures it, on a socket of the test's, starting no services.
sed -e "s|<listen>.*</listen>|<listen>unix:path=$nm/system_bus</listen>|" \
    -e '/<user>\|<pidfile>\|<syslog\/>\|<servicehelper>\|<standard_system_servicedirs\/>\|<includedir>\/etc/d' \
    -e 's|<includedir>system.d</includedir>|<includedir>/usr/share/dbus-1/system.d</includedir>|' \
    /usr/share/dbus-1/system.conf >"$nm/system.conf"
spawn "$nm/bus.log" dbus-daemon --config-file="$nm/system.conf" --nofork
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$nm/system_bus
wait_until 5000 test -S "$nm/system_bus" || fail "the system bus did not start: $(cat "$nm/bus.log")"

# NetworkManager with polkit's answer $1 (false: everyone may, root-only), up within 10 s.
nm_start() {
    nm_runs=$((nm_runs + 1))
    printf '[main]\nplugins=keyfile\ndns=none\nrc-manager=unmanaged\nhostname-mode=none\nauth-polkit=%s\nno-auto-default=*\n[keyfile]\npath=%s\n' \
        "$1" "$nm/profiles" >"$nm/NetworkManager.conf"
    spawn "$nm/nm-$nm_runs.log" NetworkManager --no-daemon --config="$nm/NetworkManager.conf" --config-dir="$nm/conf.d" \
        --system-config-dir="$nm/conf.d" --intern-config="$nm/intern.conf" --state-file="$nm/state"
    nm_pid=${e2e_pids[-1]}
    wait_until 10000 eval '[ "$(nmcli -t -f RUNNING general 2>/dev/null)" = running ]' || fail "NetworkManager did not start"
}
nm_stop() { end_process "$nm_pid" 5000; }
report_nm() { echo "--- NetworkManager"; tail -n 30 "$nm/nm-$nm_runs.log"; nmcli -f GENERAL.STATE,GENERAL.REASON device show; }
e2e_fail_reports+=(report_nm report_menu)

# pppd runs the script $1 in here, or is missing ("" ): NetworkManager looks in /usr/sbin, then /usr/local/sbin.
pppd_is() {
    umount /usr/sbin/pppd /usr/local/sbin 2>/dev/null
    if [ -e /usr/sbin/pppd ]; then mount --bind "${1:-/dev/null}" /usr/sbin/pppd; elif [ -n "$1" ]; then
        mount -t tmpfs tmpfs /usr/local/sbin && cp "$1" /usr/local/sbin/pppd; fi || fail "cannot place pppd"
}

ip link add nmveth0 type veth peer name nmveth1 && ip link set nmveth1 up || fail "no veth pair"
nm_start false
# A profile of each kind, only the dial-up ones for the menu; NetworkManager's own for the loopback
# and the active ethernet one are no links either.
profile() { nmcli connection add con-name "$1" connection.autoconnect no "${@:2}" >/dev/null || fail "nmcli did not add \"$1\""; }
profile "Iridium Daten" type gsm ifname '*' gsm.number '*99#'
profile "CDMA Netz" type cdma ifname '*' cdma.number '#777'
profile DSL type pppoe ifname ppp-dsl pppoe.parent nmveth0 pppoe.username u pppoe.password p
profile "Handy DUN" type bluetooth bluetooth.type dun bluetooth.bdaddr 00:11:22:33:44:55 gsm.apn x
profile "Handy Netz" type bluetooth bluetooth.type panu bluetooth.bdaddr 00:11:22:33:44:66
profile Heim-WLAN type wifi ifname '*' ssid Heim
profile Paar type veth ifname v0 veth.peer v1
profile Kabel type ethernet ifname nmveth1 ipv4.method manual ipv4.addresses 10.9.9.1/24 ipv6.method disabled
nmcli connection up Kabel >/dev/null || fail "the ethernet profile did not come up"
pppd_is ""

# An empty phonebook of pppd for the program alone: the menu holds NetworkManager's profiles only.
own_peers_folder
write_link_settings "Iridium Daten"
become_desktop_user
# A Wayland session: the icon is a StatusNotifierItem. Without a session bus no panel can show it:
# the program says so once.
export XDG_SESSION_TYPE=wayland
DBUS_SESSION_BUS_ADDRESS=unix:path=$e2e_work/no-bus "${e2e_as_user[@]}" "$e2e_zumi" >"$e2e_work/no-bus.out" 2>&1 &
no_bus_pid=$!
wait_until 5000 grep -q "Sitzungsbus" "$e2e_work/no-bus.out"
end_process "$no_bus_pid" 2000
[ "$(grep -c "Sitzungsbus" "$e2e_work/no-bus.out")" -eq 1 ] || fail "the missing bus was not told once: $(cat "$e2e_work/no-bus.out")"
start_zumi
item=org.kde.StatusNotifierItem-$e2e_zumi_pid-1
wait_until 10000 eval 'property Id | grep -q zumi' || fail "no item $item on the bus: $(property Id)"
# The panel's watcher starts after the program, answering only a while after it took its name.
watcher_out=$e2e_work/watcher.out
spawn "$watcher_out" "${e2e_as_user[@]}" /usr/bin/python3 "$watcher_py"
wait_until 5000 grep -qx ready "$watcher_out" || fail "the watcher stand-in did not start: $(cat "$watcher_out")"
wait_until 2000 grep -q "^register $item " "$watcher_out" || fail "no RegisterStatusNotifierItem for $item within 2 s"
for pair in "Category:'Communications'" "Title:'Zumi'" "Status:'Active'" ItemIsMenu:false "Menu:objectpath '/MenuBar'"; do
    [ "$(property "${pair%%:*}")" = "(<${pair#*:}>,)" ] || fail "${pair%%:*}: $(property "${pair%%:*}")"
done
# A panel that opens the menu itself says where (on Wayland X's pointer is not known): it opens there.
item_call org.kde.StatusNotifierItem.ContextMenu 500 300 >/dev/null || fail "the item did not answer ContextMenu"
wait_until 3000 menus_open 1 || fail "no menu opened for ContextMenu at 500,300"
[ "$(menu_geometry | cut -d' ' -f3-)" = "500 301" ] || fail "the menu ($(menu_geometry)) is not at the press at 500,300"
menu_key Escape 0

# The menu's visible top-level entries, "|" between them, as the panel gets them after AboutToShow.
menu_entries() {
    menu_call about-to-show >/dev/null
    menu_call menu | sed -n -E 's/^  [0-9]+ (.* )?label=(.*) visible=1$/\2/p' \
        | sed -E 's/ (toggle-state|toggle-type|type)=[^ ]*//g' | paste -sd'|'
}
readonly fixed="_Beenden|_Einstellungen|Verbin_dungen…|_Vor Einheitsende trennen"
expect_menu() {
    local wanted=$fixed$1
    wait_until 3000 eval '[ "$(menu_entries)" = "$wanted" ]' || fail "$2: the menu lists $(menu_entries)"
}
choose() {
    local id
    id=$(menu_call menu | sed -n -E "s/^  ([0-9]+) (.* )?label=$1 .*visible=1\$/\1/p")
    [ -n "$id" ] && menu_call click "$id" >/dev/null || fail "no entry \"$1\" to choose in the menu"
}
# The box that tells the refusal $1 holds the text $2 (a pattern, any case), and not the text $3.
expect_box() {
    wait_box 10000 "no box telling $1"
    box_text
    shopt -s nocasematch
    [[ $text == *$2* && ( -z ${3:-} || $text != *$3* ) ]] || fail "the box telling $1 says: $text"
    shopt -u nocasematch
    xdotool windowactivate --sync "$box" key Return 2>/dev/null
    wait_gone 3000 "Return did not close the box" titled Zumi
}

expect_menu "|CDMA Netz|DSL|Handy DUN|Iridium Daten" "with the profiles of all kinds"

# No modem: NetworkManager's reason, in German. pppd cannot start: the device's reason.
choose "Iridium Daten"
expect_box "the dial without a modem" "„Iridium Daten“ wurde von NetworkManager abgelehnt: Kein passendes Gerät"
choose DSL
expect_box "the PPPoE dial whose pppd could not start" "„DSL“ wurde von NetworkManager abgelehnt:*pppd*nicht starten" Modem

# Profiles added, renamed and deleted with nmcli while the program runs.
profile "Neu Modem" type gsm ifname '*' gsm.apn web
nmcli connection modify "CDMA Netz" connection.id "CDMA Reise" && nmcli connection delete "Handy DUN" >/dev/null || fail "nmcli failed"
expect_menu "|CDMA Reise|DSL|Iridium Daten|Neu Modem" "after nmcli add, modify and delete"

# NetworkManager stops: its profiles are not offered, or the one the menu keeps says so when chosen;
# it comes back, allowing only root.
nm_stop
wait_until 3000 eval '[[ $(menu_entries) != *Iridium* ]]' || fail "the menu offers the profiles of a stopped NetworkManager"
kept=$(menu_entries | cut -d'|' -f5-)
if [ -n "$kept" ]; then
    choose "$kept"
    expect_box "a dial while NetworkManager is stopped" "„$kept“*NetworkManager läuft nicht" peers
fi
nm_start root-only
expect_menu "|CDMA Reise|DSL|Iridium Daten|Neu Modem" "once NetworkManager runs again"
choose DSL
expect_box "the dial refused by polkit" "„DSL“ wurde von NetworkManager abgelehnt: Keine Berechtigung"

# Root dials DSL, whose pppd hangs: the program meters it while it is set up, and its hang-up is refused.
printf '#!/bin/sh\nexec sleep 600\n' >"$e2e_work/pppd" && chmod 755 "$e2e_work/pppd"
pppd_is "$e2e_work/pppd"
nmcli --wait 0 connection up DSL >/dev/null || fail "root could not activate DSL"
wait_for info 5000 "no info window for the activation of DSL" info_window
choose _Trennen
wait_notification "Trennen fehlgeschlagen.*DSL.*Keine Berechtigung" "the hang-up refused by polkit"
expect_box "the refused hang-up" "„DSL“ ist fehlgeschlagen: NetworkManager lehnt es ab: Keine Berechtigung"
info_window >/dev/null || fail "the info window went away although the activation goes on"
nmcli connection down DSL >/dev/null
wait_gone 4000 "the info window stayed after DSL went down" info_window
# A pppd peers entry added while the program runs: the panel's next AboutToShow brings it.
add_peers_entry Modem-Peer
expect_menu "|CDMA Reise|DSL|Iridium Daten|Modem-Peer|Neu Modem" "after a peers entry was added"
echo PASS
