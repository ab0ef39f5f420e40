#!/usr/bin/env bash
# End-to-end tests of the call log with the real program against stand-in pppd
# links; run inside tests/xsession.sh --tray.
# Usage: e2e_calls_test.sh SCENARIO ZUMI_BINARY STAND_IN_PPPD ARTIFACT_FOLDER
#   calls_kill     kill -9 of the program during a metered call: the row is
#                  there with the units begun up to then, and no end; started
#                  again with --no-call-log, it meters the call on and logs nothing
#   calls_window   two calls give two rows; "Verbin&dungen…" shows them with
#                  their totals (screenshot) and exports the month as CSV
set -u
scenario=${1:?scenario}
e2e_zumi=${2:?zumi binary}
e2e_fake_pppd=${3:?stand-in pppd}
artifacts=${4:?artifact folder}
. "$(dirname "$0")/e2e_lib.sh"

e2e_begin "$artifacts" "$scenario"
command -v sqlite3 >/dev/null || skip "sqlite3 is missing"
calls_db() { sqlite3 -batch -noheader -separator '|' "$HOME/.local/share/Zumi/calls.sqlite" "$1" 2>&1; }

# A call of the entry NAME under TAG: up, metered for about $2 units and a
# half (waited for in the middle of a unit), then ended from outside.
metered_call() {
    local name=$1 units=$2 tag=$3
    standin_start "$name" "$tag"
    wait_metering_start "$(now_ms)" 3000
    sleep_ms $(( units * unit_ms + unit_ms / 2 - $(since_detect) ))
}

scenario_calls_kill() {
    require_link_rights
    local name row units
    name=$(unique_entry_name)
    add_peers_entry "$name"
    write_link_settings "$name"
    start_zumi
    wait_icon blue 10000
    metered_call "$name" 2 link
    # The third unit runs: the row says so before the kill.
    row=$(calls_db "SELECT entry, units, end_local IS NULL, ended_by IS NULL FROM calls")
    [ "$row" = "$name|3|1|1" ] || fail "while metered the log holds \"$row\", not \"$name|3|1|1\""
    kill -KILL "$e2e_zumi_pid"
    wait "$e2e_zumi_pid" 2>/dev/null
    e2e_zumi_pid=
    log "killed the program $(since_detect) ms after the link was seen"
    row=$(calls_db "SELECT count(*), units, end_local IS NULL, online_seconds FROM calls")
    IFS='|' read -r count units open seconds <<<"$row"
    [ "$count" = 1 ] && [ "$units" = 3 ] && [ "$open" = 1 ] || fail "after kill -9 the log holds \"$row\""
    (( seconds >= 2 * unit_ms / 1000 && seconds <= 2 * unit_ms / 1000 + 1 )) \
        || fail "the row's online time is $seconds s, not that of the third unit's start"
    log "after kill -9: one row, $units units, $seconds s online (as at the last unit begun), no end"

    start_zumi --no-call-log
    wait_metering_start "$(now_ms)" 3000
    sleep_ms $(( unit_ms + 500 ))
    standin_stop link
    wait_metering_end 4000
    row=$(calls_db "SELECT count(*), units FROM calls")
    [ "$row" = "1|3" ] || fail "with --no-call-log the log holds \"$row\", not the one row of before"
    log "with --no-call-log a call metered over a unit left the log as it was"
    zumi_running || fail "the program ended"

}

scenario_calls_window() {
    require_link_rights
    local name rows csv win
    name=$(unique_entry_name)
    add_peers_entry "$name"
    write_link_settings "$name"
    start_zumi
    wait_icon blue 10000
    metered_call "$name" 1 first
    standin_stop first
    wait_metering_end 4000
    metered_call "$name" 0 second
    standin_stop second
    wait_metering_end 4000
    rows=$(calls_db "SELECT units || ' ' || ended_by FROM calls ORDER BY id" | tr '\n' ',')
    [ "$rows" = "2 outside,1 outside," ] || fail "the log holds \"$rows\" after two calls, not two rows of 2 and 1 units"
    log "two calls, two rows: $rows"
    calls_db "INSERT INTO prices VALUES ('$name', 1200, '€')" >/dev/null

    open_tray_menu
    menu_key d 0
    wait_until 5000 eval 'win=$(xdotool search --onlyvisible --name "^Verbindungen$" | head -n1); [ -n "$win" ]' \
        || fail "\"Verbin&dungen…\" opened no window \"Verbindungen\""
    sleep 0.5
    e2e_shot_window window "$win" 0
    log "the window \"Verbindungen\" is open (screenshot $e2e_scenario-window.png)"

    # The shown month as CSV through the file dialog: the rows and their cost.
    csv=$e2e_work/month.csv
    xdotool windowactivate --sync "$win" 2>/dev/null
    xdotool key --window "$win" alt+c
    wait_until 5000 eval 'xdotool search --onlyvisible --name "^Verbindungen speichern$" >/dev/null' \
        || fail "\"Als CSV speichern\" opened no file dialog"
    sleep 0.5
    xdotool key ctrl+a
    xdotool type --delay 20 "$csv"
    xdotool key Return
    wait_until 5000 test -s "$csv" || fail "no CSV file written"
    local day
    day=$(date +%d.%m.%Y)
    awk -F';' -v d="$day" -v n="$name" 'NR == 1 { ok = $0 ~ /^\xEF\xBB\xBFDatum;Eintrag;Von;Bis;Dauer;Einheiten;Kosten;Währung;Bytes\r$/; next }
        $1 == d && $2 == n { units = units $6 " " $7 " " $8 "," }
        END { exit !(ok && NR == 3 && units == "2 0,24 €,1 0,12 €,") }' "$csv" \
        || fail "the CSV does not hold the two calls: $(cat -A "$csv")"
    log "the CSV holds the two calls with their cost: $(tail -n +2 "$csv" | tr -d '\r' | tr '\n' ' ')"
    # The window shows the month's totals: 2 calls and 3 units at 0,12 € make 0,36 €.
    sqlite3 -batch "$HOME/.local/share/Zumi/calls.sqlite" "SELECT count(*), sum(units) FROM calls" | grep -qx '2|3' \
        || fail "the totals in the database are not 2 calls and 3 units"
}

case "$scenario" in
calls_kill | calls_window) "scenario_$scenario" ;;
*) fail "unknown scenario $scenario" ;;
esac
log "PASS: $scenario"
