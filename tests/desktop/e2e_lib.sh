# Helpers for the end-to-end tests: the real program driven only from outside, against stand-in
# pppd links; e2e_cleanup removes all a test made, on any exit.

e2e_work='' e2e_conf='' e2e_artifacts='' e2e_zumi_pid=''
e2e_pids=() e2e_created_files=() e2e_created_dirs=() e2e_mounts=()
e2e_as_user=() e2e_notify_as=() # command prefixes: as root, or as the test user
e2e_fail_reports=()             # commands whose output fail adds to its report
declare -A SI_PID=() SI_OUT=() SI_FD=() SI_IF=()

now_ms() { date +%s%3N; }
# A process that has ended but is not reaped yet does not run.
alive() { kill -0 "$1" 2>/dev/null && [ "$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null)" != Z ]; }

# A process holding a stand-in's command pipe would keep it from ever seeing end of input.
close_standin_fds() { local fd; for fd in "${SI_FD[@]}"; do eval "exec $fd>&-"; done; }
# Runs COMMAND... in the background with its output in $1, ended by e2e_cleanup.
spawn() {
    ( close_standin_fds; exec "${@:2}" ) >"$1" 2>&1 &
    e2e_pids+=($!)
}

fail() {
    echo "FAIL: $*" >&2
    e2e_shot_root failure
    local tag report
    [ -n "$e2e_work" ] && { echo "--- zumi output"; cat "$e2e_work/zumi.out"; } >&2 2>/dev/null
    for tag in "${!SI_OUT[@]}"; do echo "--- stand-in $tag" >&2; cat "${SI_OUT[$tag]}" >&2 2>/dev/null; done
    echo "--- pppd processes: $(ps -C pppd -o pid=,args= | tr '\n' ';')" >&2
    for report in "${e2e_fail_reports[@]}"; do "$report" >&2; done
    exit 1
}
skip() { echo "SKIP: $*"; exit 77; }
require_tools() { local tool; for tool; do command -v "$tool" >/dev/null || skip "$tool is missing"; done; }
require_dbusmock() { /usr/bin/python3 -c 'import dbusmock' 2>/dev/null || skip "python3-dbusmock is missing"; }

# Polls COMMAND... every 50 ms until it succeeds or $1 ms have passed.
wait_until() {
    local deadline=$(($(now_ms) + $1))
    shift
    until "$@"; do
        [ "$(now_ms)" -ge "$deadline" ] && return 1
        sleep 0.05
    done
}
# Polls COMMAND... until it prints something, into the variable $1; fails with $3 after $2 ms.
wait_for() {
    local -n e2e_into=$1
    local deadline=$(($(now_ms) + $2))
    until e2e_into=$("${@:4}") && [ -n "$e2e_into" ]; do
        [ "$(now_ms)" -ge "$deadline" ] && fail "$3"
        sleep 0.05
    done
}
prints_nothing() { [ -z "$("$@")" ]; }
# Polls COMMAND... until it prints nothing; fails with the message $2 after $1 ms.
wait_gone() { wait_until "$1" prints_nothing "${@:3}" || fail "$2"; }

# The screen in pixels, twips a pixel, the info window with all three fields; one unit of the
# test tariff, and the slack around the program's moments (the window maps after the tick, ticks jitter).
readonly screen_w=1280 tpp=15 info_w=189 info_h=21 unit_ms=10000 slack_ms=1000

sleep_ms() { (($1 > 0)) && sleep "$(($1 / 1000)).$(printf '%03d' $(($1 % 1000)))"; return 0; }
since_detect() { echo $(($(now_ms) - t_detect)); }

# The arguments every desktop test gets last: ZUMI_BINARY STAND_IN_PPPD ARTIFACT_FOLDER.
e2e_args() { e2e_zumi=${1:?zumi binary} e2e_fake_pppd=${2:?stand-in pppd} e2e_artifacts=${3:?artifact folder}; }

# Every scenario $1 on the X session: the tools, the tray, a private home, no pppd of anyone else.
e2e_begin() {
    [ -n "${ZUMI_TEST_TRAY_PID:-}" ] || skip "no tray in the X session (run inside xsession.sh --tray)"
    e2e_desktop "$1"
    wait_until 30000 eval 'xwininfo -root -tree 2>/dev/null | grep -q "(\"panel\" \"trayer\")"' \
        || fail "the tray host of the X session did not come up within 30 s"
    require_no_foreign_pppd
}
# The scenario $1 on the X session with a private home.
e2e_desktop() {
    require_tools xdotool xwininfo xprop xmessage import md5sum
    [ -n "${DISPLAY:-}" ] || skip "no X session (run inside xsession.sh)"
    [ -x "$e2e_zumi" ] || fail "the program is not built: $e2e_zumi"
    e2e_private_home "$1"
    export QT_QPA_PLATFORM=xcb
}

# Runs the test script again, with the arguments "$@", in network, mount and process namespaces
# of its own, as root: its links, pid files, services and processes are its own (others' tests
# run beside it), and whatever it started ends with it. X is reached through its socket file.
e2e_isolate() {
    if [ -z "${ZUMI_E2E_ISOLATED:-}" ]; then
        [ "$(id -u)" -eq 0 ] || skip "needs root for namespaces of its own"
        require_tools unshare ip
        ZUMI_E2E_ISOLATED=1 exec unshare --net --mount --pid --fork --kill-child --mount-proc "$BASH" "$0" "$@"
    fi
    # A read-only sysfs of this network: NetworkManager manages devices only then.
    mount -t tmpfs -o mode=755 tmpfs /run && mount -t sysfs -o ro sysfs /sys && ip link set lo up \
        || fail "cannot set up the namespaces"
    # The runtime folder a login makes: the desktop user's program keeps its lock there, not in the shared /tmp.
    install -d -m 700 -o nobody -g nogroup "/run/user/$(id -u nobody)" || fail "no runtime folder for nobody"
}

# A private home, configuration and runtime folder; the settings file is $e2e_conf, screenshots $1-*.png.
e2e_private_home() {
    e2e_scenario=$1
    mkdir -p "$e2e_artifacts" || fail "cannot create $e2e_artifacts"
    rm -f "$e2e_artifacts/$e2e_scenario"-*.png
    e2e_work=$(mktemp -d /tmp/zumi-e2e.XXXXXX) || fail "mktemp"
    chmod 755 "$e2e_work"
    export HOME=$e2e_work/home XDG_CONFIG_HOME=$e2e_work/config XDG_RUNTIME_DIR=$e2e_work/run
    unset WAYLAND_DISPLAY SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS
    mkdir -p "$HOME" "$XDG_CONFIG_HOME/Zumi"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    e2e_conf=$XDG_CONFIG_HOME/Zumi/Zumi.conf
    trap e2e_cleanup EXIT
    trap 'exit 2' INT TERM HUP
}

e2e_cleanup() {
    local status=$? tag pid i
    trap - EXIT
    [ -n "$e2e_zumi_pid" ] && end_process "$e2e_zumi_pid" 3000
    for tag in "${!SI_PID[@]}"; do
        pid=${SI_PID[$tag]}
        end_process "$pid" 2000
        # A stand-in that had to be killed leaves its pid file behind.
        [ -n "${SI_IF[$tag]:-}" ] && [ "$(head -n1 "/run/${SI_IF[$tag]}.pid" 2>/dev/null)" = "$pid" ] \
            && rm -f "/run/${SI_IF[$tag]}.pid"
    done
    close_standin_fds
    for pid in "${e2e_pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${e2e_pids[@]}"; do wait "$pid" 2>/dev/null; done
    rm -rf "${e2e_created_files[@]}" "$e2e_work"
    ((${#e2e_mounts[@]} == 0)) || umount "${e2e_mounts[@]}"
    for ((i = ${#e2e_created_dirs[@]} - 1; i >= 0; i--)); do rmdir "${e2e_created_dirs[$i]}" 2>/dev/null; done
    exit "$status"
}
# SIGTERM, SIGKILL after $2 ms, reaped.
end_process() {
    alive "$1" && kill -TERM "$1" 2>/dev/null && { wait_until "$2" eval "! alive $1" || kill -KILL "$1" 2>/dev/null; }
    wait "$1" 2>/dev/null
}

# Inside e2e_isolate: an empty /etc/ppp/peers of the test's own.
own_peers_folder() {
    [ -d /etc/ppp ] || { mkdir /etc/ppp && e2e_created_dirs+=(/etc/ppp); } || fail "cannot create /etc/ppp"
    mount -t tmpfs tmpfs /etc/ppp && e2e_mounts+=(/etc/ppp) && mkdir /etc/ppp/peers || fail "no phonebook of the test's own"
}

# Any pppd not the test's own would be metered (and could be hung up) instead.
require_no_foreign_pppd() {
    wait_until 30000 eval '! pgrep -x pppd >/dev/null' \
        || skip "another pppd runs on this machine ($(ps -C pppd -o pid=,args= | tr '\n' ';')); the program would meter that one"
}

# Stand-in links need root (a tun interface, /run, the peers folder).
require_link_rights() {
    [ "$(id -u)" -eq 0 ] || skip "needs root: the stand-in pppd creates a tun interface and a peers entry"
    (exec 3<>/dev/net/tun) 2>/dev/null || skip "/dev/net/tun cannot be opened here"
    [ -x "$e2e_fake_pppd" ] || fail "the stand-in pppd is not built: $e2e_fake_pppd"
}

ensure_peers_folder() {
    local dir
    for dir in /etc/ppp /etc/ppp/peers; do
        [ -d "$dir" ] || { mkdir "$dir" && e2e_created_dirs+=("$dir"); } || fail "cannot create $dir"
    done
}
# A phonebook entry /etc/ppp/peers/NAME made for the test; never an existing one.
add_peers_entry() {
    ensure_peers_folder
    [ -e "/etc/ppp/peers/$1" ] && fail "/etc/ppp/peers/$1 exists already; it is not the test's to change"
    printf '# Made by the end-to-end tests of Zumi; removed when they end.\nnodetach\n' >"/etc/ppp/peers/$1" \
        || fail "cannot write /etc/ppp/peers/$1"
    e2e_created_files+=("/etc/ppp/peers/$1")
}
unique_entry_name() { echo "zumi-e2e-$$-$RANDOM"; }
# The command prefix that runs the program with the folder $1 mounted on $2 (and $3 on $4 ...) for it alone.
private_mounts() {
    # shellcheck disable=SC2016
    private_mounts=(unshare -m --propagation private sh -c \
        'while [ "$1" != -- ]; do mount --bind "$1" "$2" || exit 1; shift 2; done; shift; exec "$@"' sh "$@" --)
}

# A tariff record: every band of every day NAME cycles of $2 seconds from 0 h.
tariff_record() { echo "$1,0,,,,$2,,,,0,,,,$2,,,,"; }
# Settings: the tariff of NAME, no lead time, the info window 100 px from the right and top, lines $2...
write_link_settings() {
    printf '[Settings]\n00=%s\nVorlauf=0\nRight=%d\nTop=%d\n' "$(tariff_record "$1" $((unit_ms / 1000)))" \
        $((100 * tpp)) $((100 * tpp)) >"$e2e_conf"
    printf '%s\n' "${@:2}" >>"$e2e_conf"
}
conf_value() { sed -n "s/^$1=//p" "$e2e_conf" 2>/dev/null | tr -d '\r'; }

# A session bus with a recording notification server, as the user of the command prefix given.
start_session_bus() {
    local run_as=("$@") address pid
    require_dbusmock
    read -r address pid < <("${run_as[@]}" dbus-daemon --session --fork --print-address=1 --print-pid=1 \
        --address="unix:path=$XDG_RUNTIME_DIR/bus" | tr '\n' ' ')
    [ -n "$pid" ] || fail "the session bus did not start"
    e2e_pids+=("$pid")
    export DBUS_SESSION_BUS_ADDRESS=$address
    spawn "$e2e_work/notifications.log" "${run_as[@]}" /usr/bin/python3 -m dbusmock --template notification_daemon
    e2e_notify_as=("${run_as[@]}")
    wait_until 10000 eval 'notifications >/dev/null' || fail "no notification server: $(cat "$e2e_work/notifications.log")"
}
notifications() {
    "${e2e_notify_as[@]}" gdbus call --session -d org.freedesktop.Notifications -o /org/freedesktop/Notifications \
        -m org.freedesktop.DBus.Mock.GetCalls 2>/dev/null
}
notified() { notifications | grep -q "$1"; }
wait_notification() { wait_until 2000 notified "$1" || fail "no notification of $2: $(notifications)"; }

# From here on the program runs as the unprivileged user nobody.
become_desktop_user() {
    require_tools setpriv
    id nobody >/dev/null 2>&1 || skip "there is no user nobody"
    chown -R nobody:nogroup "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
    e2e_as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    start_session_bus "${e2e_as_user[@]}"
}

start_zumi() {
    ( close_standin_fds; exec "${e2e_as_user[@]}" "$e2e_zumi" "$@" ) >"$e2e_work/zumi.out" 2>&1 &
    e2e_zumi_pid=$!
}
# Starts the program and waits for its offline icon.
zumi_up() { start_zumi "$@"; wait_icon blue 10000; }
zumi_running() { [ -n "$e2e_zumi_pid" ] && alive "$e2e_zumi_pid"; }
# Waits up to $1 ms for the program to end; its status lands in $zumi_status.
wait_zumi_end() {
    wait_until "$1" eval '! zumi_running' || return 1
    wait "$e2e_zumi_pid"
    zumi_status=$?
    e2e_zumi_pid=
}
stop_zumi() { kill -TERM "$e2e_zumi_pid"; wait_zumi_end 5000 || fail "Zumi did not end on SIGTERM"; }

# _NET_ACTIVE_WINDOW as a decimal window id (0 for none).
active_window() {
    local id
    id=$(xprop -root _NET_ACTIVE_WINDOW 2>/dev/null | sed -n 's/.*window id # \(0x[0-9a-fA-F]*\).*/\1/p')
    echo $((${id:-0}))
}
is_active() { [ "$(active_window)" = "$1" ]; }
wait_active() { wait_until 3000 is_active "$1" || fail "$2"; }

# "W H X Y OVERRIDE" of a window; OVERRIDE is yes for menus and tooltips.
window_info() {
    xwininfo -id "$1" 2>/dev/null | awk '
        /Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
        /Width:/ {w=$NF} /Height:/ {h=$NF} /Override Redirect State/ {o=$NF}
        END {print w, h, x, y, o}'
}
# The program's visible windows whose "W H OVERRIDE" pass the awk test $1.
zumi_windows_where() {
    local w
    for w in $(xdotool search --onlyvisible --class zumi 2>/dev/null); do
        window_info "$w" | awk -v id="$w" "{ w = \$1; h = \$2; o = \$5 } $1 { print id }"
    done
}
# The tray icon, the info window (a strip one row high, never a popup), open menus.
# A panel that draws the icon itself sets e2e_icon_in to the finder of its window.
xembed_icon() { zumi_windows_where 'w >= 8 && w <= 64 && h >= 8 && h <= 64'; }
icon_window() { "${e2e_icon_in:-xembed_icon}" | grep -m1 .; }
info_window() { zumi_windows_where 'o == "no" && h >= 15 && h <= 30 && w >= 100 && w <= 300' | grep -m1 .; }
menu_windows() { zumi_windows_where 'o == "yes" && h > 40'; }
menus_open() { [ "$(menu_windows | wc -l)" -ge "$1" ]; }
# "W H X Y" of the first open menu.
menu_geometry() { window_info "$(menu_windows | head -n1)" | cut -d' ' -f1-4; }
titled() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1; }

# Pixels of a window as "R G B" lines.
window_pixels() {
    local w h x y
    read -r w h x y _ <<<"$(window_info "$1")"
    import -window root -crop "${w}x${h}+${x}+${y}" -depth 8 txt:- 2>/dev/null \
        | awk -F'[(),]' '!/^#/ { print $3 + 0, $4 + 0, $5 + 0 }'
}
# A fingerprint of the info window's data rate ("rate") or online time ("clock") field.
field_hash() {
    local w h x y
    read -r w h x y _ <<<"$(window_info "$1")"
    case $2 in rate) w=49 x=$((x + 3)) ;; clock) w=35 x=$((x + 57)) ;; esac
    import -window root -crop "${w}x13+${x}+$((y + 4))" -depth 8 rgb:- 2>/dev/null | md5sum | cut -c1-32
}

# The icon in a colour ("blue" or "red"); sets $icon and the pixel counts.
icon_is() {
    icon=$(icon_window) || return 1
    read -r icon_blue icon_red <<<"$(window_pixels "$icon" | awk '
        $3 > 120 && $3 > 2 * $1 { b++ } $1 > 120 && $1 > 2 * $3 { r++ } END { print b + 0, r + 0 }')"
    case $1 in
    blue) [ "$icon_blue" -ge 40 ] && [ "$icon_red" -le 5 ] ;;
    red) [ "$icon_red" -ge 40 ] && [ "$icon_blue" -le 5 ] ;;
    esac
}
wait_icon() { wait_until "$2" icon_is "$1" || fail "no $1 tray icon within $2 ms (blue/red: ${icon_blue:-?}/${icon_red:-?})"; }

# Clicks the middle of the tray icon $1 times (with "" only points at it), with the button $2 (the left one).
click_icon() {
    local w h x y
    wait_for icon 2000 "no tray icon to click" icon_window
    read -r w h x y _ <<<"$(window_info "$icon")"
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) ${1:+click --repeat "$1" --delay 120 "${2:-1}"}
}
open_tray_menu() {
    click_icon 1
    wait_until 3000 menus_open 1 || fail "a click on the tray icon opened no menu"
    sleep 0.2 # the menu takes the keyboard once it is mapped
}
# Presses the key $1 in the open menu; $2 = how many menus must stay open after it.
menu_key() {
    xdotool key "$1"
    if [ "$2" -eq 0 ]; then
        # On a busy machine the menu may take the keyboard late: a lost key is pressed again.
        wait_until 1500 prints_nothing menu_windows || { xdotool key "$1"; wait_until 3000 prints_nothing menu_windows; } \
            || fail "the menu stayed open after the key $1"
    else
        wait_until 3000 menus_open "$2" || fail "the key $1 in the menu opened no submenu"
        sleep 0.2
    fi
}
menu_choose() { open_tray_menu; menu_key "$1" 0; }
# "&Einstellungen" from the tray menu; the dialog lands in $dialog, with the focus.
open_settings() {
    menu_choose e
    wait_for dialog 3000 "\"&Einstellungen\" opened no dialog" titled Einstellungen
    wait_active "$dialog" "the settings dialog did not get the focus"
    sleep 0.2
}
# The message box "Zumi" in $box within $1 ms, else the failure $2.
wait_box() { wait_for box "$1" "$2" titled Zumi; }

# The text of the message box $box into $text: Qt lets the mouse select it; a click there, Ctrl+A all.
box_text() {
    local w h x y before
    require_tools xclip
    before=$(xclip -o 2>/dev/null)
    read -r w h x y _ <<<"$(window_info "$box")"
    xdotool mousemove $((x + w / 2)) $((y + 30)) click --repeat 3 --delay 80 1 key ctrl+a
    wait_until 2000 eval 'text=$(xclip -o 2>/dev/null) && [ "$text" != "$before" ]' || fail "no text selected in the box"
}

e2e_shot_root() {
    [ -n "${e2e_artifacts:-}" ] && [ -n "${DISPLAY:-}" ] || return 0
    import -window root "$e2e_artifacts/$e2e_scenario-$1.png" 2>/dev/null
}
# A window with a margin of $3 px, enlarged 3 times so the details can be seen.
e2e_shot_window() {
    local w h x y m=${3:-0}
    read -r w h x y _ <<<"$(window_info "$2")"
    x=$((x - m < 0 ? 0 : x - m)) y=$((y - m < 0 ? 0 : y - m))
    import -window root -crop "$((w + 2 * m))x$((h + 2 * m))+$x+$y" png:- 2>/dev/null \
        | convert png:- +repage -scale 300% "$e2e_artifacts/$e2e_scenario-$1.png" 2>/dev/null
}

# Runs COMMAND... as the stand-in TAG, its input a pipe the test writes to, until its link is up.
standin_spawn() {
    local tag=$1 fifo=$e2e_work/standin-$1.in fd
    SI_OUT[$tag]=$e2e_work/standin-$tag.out
    mkfifo "$fifo" || fail "mkfifo"
    ( close_standin_fds; exec "${@:2}" ) <"$fifo" >"${SI_OUT[$tag]}" 2>&1 &
    SI_PID[$tag]=$!
    exec {fd}>"$fifo"
    SI_FD[$tag]=$fd
    wait_until 5000 grep -q '^ready ' "${SI_OUT[$tag]}" || fail "the stand-in $tag did not bring its link up"
    SI_IF[$tag]=$(sed -n 's/^ready //p' "${SI_OUT[$tag]}")
}
# The stand-in TAG with the command line "/usr/sbin/pppd ARGS...".
standin_launch() { standin_spawn "$1" -a /usr/sbin/pppd "$e2e_fake_pppd" "${@:2}"; }
# The stand-in TAG for the peers entry NAME, as pon starts pppd: "pppd call NAME".
standin_start() { standin_launch "$2" call "$1"; }
standin_command() {
    echo "$2" >&"${SI_FD[$1]}" || fail "cannot talk to stand-in $1"
    wait_until 5000 grep -qx "done $2" "${SI_OUT[$1]}" || fail "stand-in $1 did not confirm \"$2\""
}
standin_alive() { alive "${SI_PID[$1]}"; }
standin_got_sigterm() { grep -qx sigterm "${SI_OUT[$1]}"; }
# Ends a stand-in as poff would, and reaps it.
standin_stop() {
    kill -TERM "${SI_PID[$1]}" 2>/dev/null
    wait_until 3000 eval "! standin_alive $1" || fail "stand-in $1 did not end on SIGTERM"
    wait "${SI_PID[$1]}" 2>/dev/null
}

# Waits for the info window after a link came up at $1 ms; sets $info and $t_detect, fails after $2 ms.
wait_metering_start() {
    wait_for info $(($2 + 3000)) "no info window within $(($2 + 3000)) ms of the link coming up" info_window
    t_detect=$(now_ms)
    ((t_detect - $1 <= $2)) || fail "the info window came $((t_detect - $1)) ms after the link (allowed: $2 ms)"
}
# The stand-in TAG for the entry NAME, metered within $3 ms.
link_up() { standin_start "$1" "$2"; wait_metering_start "$(now_ms)" "$3"; }
wait_metering_end() {
    wait_until "$1" prints_nothing info_window || fail "the info window is still shown $1 ms after the link went down"
    wait_icon blue "$1"
}

# The program's StatusNotifierItem $item for a stand-in of the panel's watcher (sni_watcher.py).
watcher_py=$(dirname "${BASH_SOURCE[0]}")/sni_watcher.py
item_call() { "${e2e_notify_as[@]}" gdbus call --session -d "$item" -o /StatusNotifierItem -m "$@" 2>&1; }
property() { item_call org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierItem "$1"; }
# The exported menu: "menu", "about-to-show", "click ID" (sni_watcher.py).
menu_call() { "${e2e_notify_as[@]}" /usr/bin/python3 "$watcher_py" "$1" "$item" "${@:2}" 2>&1; }
report_menu() { echo "--- exported menu"; menu_call menu; }
