#!/usr/bin/env bash
# Follows README.md as a new user would: its shell blocks run as written in a copy of the sources
# without a build folder, the steps in words done with mouse and keyboard on a private X desktop
# (inside tests/xsession.sh --tray). "./run &" starts ZUMI_BINARY, which ./run builds and execs.
# Usage: readme_test.sh SOURCE_DIR BUILD_DIR ZUMI_BINARY ARTIFACT_FOLDER
set -u
src=${1:?source folder}
build=${2:?build folder}
readme=$src/README.md
. "$src/tests/desktop/e2e_lib.sh"
e2e_zumi=${3:?zumi binary} e2e_artifacts=${4:?artifact folder}

# The shell lines of the Nth ```sh block of the section HEADING, in the array $3.
readme_block() {
    mapfile -t "$3" < <(awk -v heading="## $1" -v want="$2" '
        /^## / { inside = ($0 == heading) }
        inside && /^```sh$/ { n++; inblock = (n == want); next }
        inside && /^```$/ { inblock = 0; next }
        inblock { print }' "$readme")
}
# Runs one README line in the folder $2, by default the fresh copy.
run_line() {
    (cd "${2:-$fresh}" && bash -c "$1") >>"$e2e_work/steps.log" 2>&1 || fail "the README line \"$1\" failed: $(tail -n 20 "$e2e_work/steps.log")"
}

# Without a desktop: the first lines, the section ./run points to, the package lists beside scripts/deps.sh.
[ "$(sed -n 4,5p "$readme" | awk '{print $1, $2}' | tr '\n' ';')" = "sudo ./run;sudo ./test;" ] \
    || fail "the README does not begin with the two commands"
pointer=$(sed -n 's/.*see "\([^"]*\)" in README.md.*/\1/p' "$src/run")
[ -n "$pointer" ] && grep -qxF "## $pointer" "$readme" || fail "./run points to \"$pointer\", a section the README lacks"
. "$src/scripts/deps.sh"
for group in build:Build runtime:Run test:Tests; do
    eval "wanted=\$zumi_packages_${group%%:*}"
    listed=$(sed -n "s/^${group#*:}: //p" "$readme" | grep -o '`[^`]*`' | tr -d '`' | tr ' ' '\n' | sort -u)
    for p in $wanted; do
        grep -qx "$p" <<<"$listed" || fail "the README's \"${group#*:}\" packages lack $p, which scripts/deps.sh installs"
    done
done

[ "$(id -u)" -eq 0 ] || skip "needs root: the README's steps write /etc/ppp/peers and start a stand-in link"
# The machine's phonebook hidden behind an empty one: the steps meet a fresh /etc and leave it alone.
if [ -d /etc/ppp ] && [ -z "${ZUMI_README_PRIVATE_ETC:-}" ]; then
    exec env ZUMI_README_PRIVATE_ETC=1 unshare -m --propagation private \
        bash -c 'mount -t tmpfs tmpfs /etc/ppp && exec "$@"' - "$0" "$@"
fi
e2e_begin readme
[ -d /etc/ppp ] || e2e_created_dirs+=(/etc/ppp /etc/ppp/peers)
e2e_created_files+=(/etc/ppp/peers/Test)
(exec 3<>/dev/net/tun) 2>/dev/null || skip "/dev/net/tun cannot be opened here"

# A fresh clone: the sources without any build folder.
fresh=$e2e_work/zumi
mkdir "$fresh" && tar -C "$src" --exclude='./build*' -cf - . | tar -C "$fresh" -xf - || fail "copying the sources"
section="Trying Zumi without a modem"
readme_block "$section" 1 first
readme_block "$section" 2 second
[ "${#first[@]}" -ge 1 ] && [ "${#second[@]}" -eq 2 ] || fail "the README's section \"$section\" changed its blocks"
for line in "${first[@]}"; do
    case $line in
    "./run &"*) start_zumi ;;
    *) run_line "$line" ;;
    esac
done
[ -f /etc/ppp/peers/Test ] || fail "the README's steps made no entry /etc/ppp/peers/Test"
wait_icon blue 10000

# The tariff, set before the link is up, through the dialog as the README says.
open_settings
xdotool type --delay 30 Test
xdotool key alt+u type 0
xdotool key Tab type 10
xdotool key Tab Tab Tab Tab Tab Tab Tab type 0
xdotool key Tab type 10
xdotool key Return
wait_gone 3000 "Enter did not close the dialog" titled Einstellungen
grep -qx '[0-9]*=Test,0,,,,10,,,,0,,,,10,,,,' "$e2e_conf" \
    || fail "OK did not store 10-s units from 0 h on every day for Test: $(cat "$e2e_conf")"

# The stand-in, built in the fresh clone, in its own process group as a terminal's foreground command.
run_line "${second[0]}"
# shellcheck disable=SC2016
standin_spawn readme setsid bash -c 'cd "$1" && eval "$2"' - "$fresh" "${second[1]}"
link_group=${SI_PID[readme]} interface=${SI_IF[readme]}
SI_PID[readme]=$(head -n1 "/run/$interface.pid")
wait_metering_start "$(now_ms)" 2000
wait_icon red 4000
standin_command readme "rate 4000"
e2e_shot_window info-window "$info" 4

# Ctrl-C in the link's terminal: SIGINT to its process group.
kill -INT -- "-$link_group"
wait_until 3000 eval '! standin_alive readme' || fail "the link did not end on Ctrl-C"
[ -e "/run/$interface.pid" ] && fail "Ctrl-C left /run/$interface.pid behind"
wait_metering_end 4000

# The call log read by hand with the README's query: the call ended outside Zumi.
query=$(awk '/^Reading it by hand/ { found = 1 } found && /^```$/ { n++; next } found && n == 1 { print }' "$readme")
calls=$(cd "$fresh" && bash -c "$query" 2>&1) || fail "the README's query of the call log failed: $calls"
grep -qE '\|Test\|[1-9][0-9]*\|[0-9]+\|outside$' <<<"$calls" || fail "the README's query does not show the ended call: $calls"

# The install line, into a staging folder instead of /.
readme_block Installing 1 install
[ "${#install[@]}" -eq 1 ] || fail "the README's section \"Installing\" changed its block"
ln -s "$build" "$e2e_work/build"
DESTDIR=$e2e_work/root run_line "${install[0]#sudo }" "$e2e_work"
for f in usr/bin/zumi etc/xdg/autostart/zumi.desktop; do
    [ -f "$e2e_work/root/$f" ] || fail "\"${install[0]}\" put no /$f in place"
done

# The NetworkManager road once "&Beenden" ended this Zumi: its profile, chosen in the menu, is metered.
menu_choose b
wait_zumi_end 5000 || fail "Zumi still runs 5 s after \"&Beenden\""
readme_block "$section" 3 nm
[ "${#nm[@]}" -eq 6 ] || fail "the README's NetworkManager block changed"
bus_pid() {
    gdbus call --address "$DBUS_SYSTEM_BUS_ADDRESS" -d org.freedesktop.DBus -o /org/freedesktop/DBus \
        -m org.freedesktop.DBus.GetConnectionUnixProcessID "$1" | sed -n 's/^(uint32 \([0-9]*\),)$/\1/p'
}
e2e_created_files+=(/tmp/nm-bus.address)
for line in "${nm[@]}"; do
    case $line in
    export\ *) eval "$line" && e2e_pids+=("$(bus_pid org.freedesktop.DBus)") ;; # later lines read it
    "build/app/zumi &"*) start_zumi ;;
    *) run_line "$line" ;;
    esac
done
e2e_pids+=("$(bus_pid org.freedesktop.NetworkManager)")
wait_icon blue 10000
open_tray_menu
menu_key Up 1 # the last entry is "Test"
menu_key Up 1
menu_key Return 0
wait_metering_start "$(now_ms)" 3000
menu_choose t
wait_metering_end 4000
echo "PASS: readme"
