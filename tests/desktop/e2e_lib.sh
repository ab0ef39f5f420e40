# Helpers for the end-to-end tests: the real program on a private X desktop,
# driven only from outside (xdotool, window properties, screenshots, the
# settings file, signals) against stand-in pppd links. Sourced by e2e_test.sh.
#
# Everything a test starts or creates is registered here and removed again by
# e2e_cleanup, which runs on every exit, also after a failure or a signal.

e2e_t0=$(date +%s%3N)
e2e_work=
e2e_conf=
e2e_artifacts=
e2e_zumi_pid=
e2e_focus_pid=
e2e_wm_pid=
e2e_created_files=()
e2e_created_dirs=()
e2e_user_pids=() # the test user's bus and notification server
e2e_as_user=()   # how the program is started: as root, or as the test user
e2e_cleanup_hooks=() # commands run by e2e_cleanup once the program has ended, last first
e2e_fail_reports=()  # commands whose output fail adds to its report
declare -A SI_PID=() SI_OUT=() SI_FD=() SI_IF=()

now_ms() { date +%s%3N; }
# Whether a process runs: one that has ended but is not reaped yet does not.
alive() { kill -0 "$1" 2>/dev/null && [ "$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null)" != Z ]; }
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
# Milliseconds since the test began, for the log.
log() { printf '[%6.2f s] %s\n' "$(( $(now_ms) - e2e_t0 ))e-3" "$*"; }

# The stand-ins' command pipes must not leak into the programs the test starts:
# a process holding one would keep a stand-in from ever seeing end of input.
close_standin_fds() {
    local fd
    for fd in "${SI_FD[@]}"; do eval "exec $fd>&-"; done
}

fail() {
    echo "FAIL: $*" >&2
    e2e_shot_root failure
    echo "--- zumi output" >&2
    [ -n "$e2e_work" ] && cat "$e2e_work/zumi.out" >&2 2>/dev/null
    local tag
    for tag in "${!SI_OUT[@]}"; do
        echo "--- stand-in $tag (pid ${SI_PID[$tag]}) output" >&2
        cat "${SI_OUT[$tag]}" >&2 2>/dev/null
    done
    echo "--- pppd processes" >&2
    ps -C pppd -o pid=,lstart=,args= >&2
    local foreign
    foreign=$(foreign_pppds)
    [ -n "$foreign" ] && echo "NOTE: pppd processes not started by this test ran ($foreign); the program sees them as connections too" >&2
    local report
    for report in "${e2e_fail_reports[@]}"; do "$report" >&2; done
    echo "--- settings file" >&2
    cat "$e2e_conf" >&2 2>/dev/null
    echo "--- windows of the program" >&2
    local w
    for w in $(xdotool search --onlyvisible --class zumi 2>/dev/null); do
        echo "$w \"$(xdotool getwindowname "$w" 2>/dev/null)\" $(window_info "$w")" >&2
    done
    exit 1
}

skip() {
    echo "SKIP: $*"
    exit 77
}

# Polls a command every 50 ms until it succeeds or $1 ms have passed.
wait_until() {
    local deadline=$(( $(now_ms) + $1 ))
    shift
    while :; do
        "$@" && return 0
        [ "$(now_ms)" -ge "$deadline" ] && return 1
        sleep 0.05
    done
}

# The screen is 1280 x 800 pixels; the program works in twips, 15 to a pixel here.
readonly screen_w=1280 tpp=15
# The info window with all three fields: 189 x 21 pixels.
readonly info_w=189 info_h=21
# One unit of the test tariff, and the slack allowed around the moments the
# program acts at: the test sees a connection start only when the info window
# is mapped, up to a few hundred ms after the program's tick, and ticks jitter.
readonly unit_ms=10000 slack_ms=1000

sleep_ms() { (( $1 > 0 )) && sleep "$(( $1 / 1000 )).$(printf '%03d' $(( $1 % 1000 )))"; return 0; }
since_detect() { echo $(( $(now_ms) - t_detect )); }

# Chooses "Vor Einheitsende trennen" > "Nach laufender Einheit" early in a unit
# (waiting for the next unit when past its fourth second) and sees the armed
# rest of the unit turn light green in the info window $1. Sets t_arm to when,
# after the connection start, and hang_due to the latest moment the hang-up
# may come with slack: the end of that unit, or of the next when chosen too
# late for the first.
arm_after_current_unit() {
    local info=$1 phase green
    phase=$(( $(since_detect) % unit_ms ))
    (( phase <= 4000 )) || sleep_ms $(( unit_ms - phase + 300 ))
    open_tray_menu
    menu_key v 2
    e2e_shot_menus menu-online
    menu_key Return 0
    t_arm=$(since_detect)
    hang_due=$(( (t_arm / unit_ms + 1) * unit_ms + slack_ms ))
    (( t_arm % unit_ms < 6000 )) || hang_due=$(( hang_due + unit_ms ))
    log "\"Nach laufender Einheit\" chosen $t_arm ms after the connection start; hang-up due by $hang_due ms"
    wait_until 2000 eval 'green=$(green_pixels "$info"); [ "$green" -ge 20 ]' \
        || fail "the unit bar shows no light green rest after arming ($green pixels)"
    e2e_shot_window info-armed "$info" 4
}

# ---------------------------------------------------------------- setup

# What every scenario starts with: the tools, the X session with its tray, the
# program, e2e_setup, and no pppd of anyone else. $e2e_zumi names the program.
e2e_begin() {
    local tool
    for tool in xdotool xwininfo xprop xmessage import md5sum; do
        command -v "$tool" >/dev/null || skip "$tool is missing"
    done
    [ -n "${DISPLAY:-}" ] && [ -n "${ZUMI_TEST_TRAY_PID:-}" ] || skip "no X session with a tray (run inside xsession.sh --tray)"
    [ -x "$e2e_zumi" ] || fail "the program is not built: $e2e_zumi"
    e2e_setup "$1" "$2"
    require_no_foreign_pppd
}

# A private home, configuration and runtime folder; the settings file is $e2e_conf.
e2e_setup() {
    e2e_artifacts=$1
    e2e_scenario=$2
    mkdir -p "$e2e_artifacts" || fail "cannot create $e2e_artifacts"
    rm -f "$e2e_artifacts/$e2e_scenario"-*.png
    e2e_work=$(mktemp -d /tmp/zumi-e2e.XXXXXX) || fail "mktemp"
    export HOME=$e2e_work/home XDG_CONFIG_HOME=$e2e_work/config XDG_RUNTIME_DIR=$e2e_work/run
    export QT_QPA_PLATFORM=xcb
    unset WAYLAND_DISPLAY SESSION_MANAGER
    mkdir -p "$HOME" "$XDG_CONFIG_HOME/Zumi"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    e2e_conf=$XDG_CONFIG_HOME/Zumi/Zumi.conf
    trap e2e_cleanup EXIT
    trap 'exit 2' INT TERM HUP
    log "$e2e_scenario: the X session took $(ps -o etimes= -p "$PPID" | tr -d ' ') s to start"
    # The session script waits only a few seconds for the window manager and
    # the tray host; on a busy machine they may come later. A window manager
    # that could not connect at all (the X server resets when its first client,
    # the session script's probe, leaves) is replaced by one of the test's own.
    local session_dir
    session_dir=$(dirname "${ZUMI_TEST_TRAY_PID_FILE:-/nonexistent/x}")
    if ! wm_running && grep -qs 'Failed to open the display' "$session_dir/openbox.log"; then
        log "the session's window manager could not connect to the X server; starting one for this test"
        ( close_standin_fds; exec openbox --sm-disable ) >"$e2e_work/openbox.log" 2>&1 &
        e2e_wm_pid=$!
    fi
    wait_until 30000 wm_running \
        || fail "no window manager in the X session within 30 s: $(cat "$session_dir/openbox.log" "$e2e_work/openbox.log" 2>/dev/null)"
    wait_until 30000 eval 'xwininfo -root -tree 2>/dev/null | grep -q "(\"panel\" \"trayer\")"' \
        || fail "the tray host of the X session did not come up within 30 s"
}

e2e_cleanup() {
    local status=$? tag pid i
    trap - EXIT
    if [ -n "$e2e_zumi_pid" ]; then
        kill -TERM "$e2e_zumi_pid" 2>/dev/null
        wait_until 3000 eval '! alive "$e2e_zumi_pid"' || kill -KILL "$e2e_zumi_pid" 2>/dev/null
        wait "$e2e_zumi_pid" 2>/dev/null
    fi
    for (( i = ${#e2e_cleanup_hooks[@]} - 1; i >= 0; i-- )); do "${e2e_cleanup_hooks[$i]}"; done
    for tag in "${!SI_PID[@]}"; do
        pid=${SI_PID[$tag]}
        if alive "$pid"; then
            kill -TERM "$pid" 2>/dev/null
            wait_until 2000 eval "! alive $pid" || kill -KILL "$pid" 2>/dev/null
        fi
        wait "$pid" 2>/dev/null
        # A stand-in that had to be killed leaves its pid file behind.
        if [ -n "${SI_IF[$tag]:-}" ] && [ "$(head -n1 "/run/${SI_IF[$tag]}.pid" 2>/dev/null)" = "$pid" ]; then
            rm -f "/run/${SI_IF[$tag]}.pid"
        fi
    done
    close_standin_fds
    for pid in "${e2e_user_pids[@]}"; do kill "$pid" 2>/dev/null; done
    if [ -n "$e2e_focus_pid" ]; then
        kill "$e2e_focus_pid" 2>/dev/null
        wait "$e2e_focus_pid" 2>/dev/null
    fi
    if [ -n "$e2e_wm_pid" ]; then
        kill "$e2e_wm_pid" 2>/dev/null
        wait "$e2e_wm_pid" 2>/dev/null
    fi
    for (( i = ${#e2e_created_files[@]} - 1; i >= 0; i-- )); do rm -f "${e2e_created_files[$i]}"; done
    for (( i = ${#e2e_created_dirs[@]} - 1; i >= 0; i-- )); do rmdir "${e2e_created_dirs[$i]}" 2>/dev/null; done
    [ -n "$e2e_work" ] && rm -rf "$e2e_work"
    log "cleaned up"
    exit "$status"
}

# Pids of pppd processes that are not this test's stand-ins.
foreign_pppds() {
    local pid ours
    for pid in $(pgrep -x pppd); do
        ours=0
        for p in "${SI_PID[@]}"; do [ "$p" = "$pid" ] && ours=1; done
        [ "$ours" -eq 0 ] && echo -n "$pid "
    done
}

# Any pppd is a connection to the program: one that is not the test's own
# would be metered (and could be hung up) instead. Waits a while for such
# links to end, then gives up.
require_no_foreign_pppd() {
    local others
    others=$(foreign_pppds)
    [ -n "$others" ] && log "waiting for foreign pppd processes to end: $others"
    if ! wait_until 30000 eval '[ -z "$(foreign_pppds)" ]'; then
        others=$(ps -C pppd -o pid=,args= | tr '\n' ';')
        skip "another pppd runs on this machine ($others); the program would meter that one"
    fi
}

# Stand-in links need root (a tun interface, /run, the peers folder).
require_link_rights() {
    [ "$(id -u)" -eq 0 ] || skip "needs root: the stand-in pppd creates a tun interface and a peers entry"
    ( exec 3<>/dev/net/tun ) 2>/dev/null || skip "/dev/net/tun cannot be opened here"
    [ -x "$e2e_fake_pppd" ] || fail "the stand-in pppd is not built: $e2e_fake_pppd"
}

# /etc/ppp/peers, made for the test where it is missing.
ensure_peers_folder() {
    local dir
    for dir in /etc/ppp /etc/ppp/peers; do
        if [ ! -d "$dir" ]; then
            mkdir "$dir" || fail "cannot create $dir"
            e2e_created_dirs+=("$dir")
        fi
    done
}

# A phonebook entry /etc/ppp/peers/NAME made for the test; never an existing one.
add_peers_entry() {
    local name=$1
    ensure_peers_folder
    [ -e "/etc/ppp/peers/$name" ] && fail "/etc/ppp/peers/$name exists already; it is not the test's to change"
    printf '# Made by the end-to-end tests of Zumi; removed when they end.\nnodetach\n' >"/etc/ppp/peers/$name" \
        || fail "cannot write /etc/ppp/peers/$name"
    e2e_created_files+=("/etc/ppp/peers/$name")
}

# A name no one else uses, valid as a peers file name.
unique_entry_name() { echo "zumi-e2e-$$-$RANDOM"; }

# A tariff record: every band of every day NAME cycles of $2 seconds from 0 h.
tariff_record() { echo "$1,0,,,,$2,,,,0,,,,$2,,,,"; }

# Settings for a link test: the tariff of NAME, no lead time, the info window
# 100 px from the right and top screen edges, and any further lines given.
write_link_settings() {
    local name=$1
    shift
    {
        echo "[Settings]"
        echo "00=$(tariff_record "$name" $(( unit_ms / 1000 )))"
        echo "Vorlauf=0"
        echo "Right=$(( 100 * tpp ))"
        echo "Top=$(( 100 * tpp ))"
        printf '%s\n' "$@"
    } >"$e2e_conf"
}

# Value of KEY in the [Settings] section of the settings file.
conf_value() {
    awk -v key="$1" '
        /^[ \t]*\[/ { section = $0; gsub(/^[ \t]*\[[ \t]*|[ \t]*\][ \t]*$/, "", section); next }
        section == "Settings" {
            eq = index($0, "="); if (eq == 0) next
            k = substr($0, 1, eq - 1); gsub(/^[ \t]+|[ \t]+$/, "", k)
            if (k != key) next
            v = substr($0, eq + 1); gsub(/^[ \t]+|[ \t\r]+$/, "", v)
            value = v; found = 1
        }
        END { if (found) print value; exit !found }' "$e2e_conf" 2>/dev/null
}

conf_has() { [ "$(conf_value "$1")" = "$2" ]; }

# ---------------------------------------------------------------- the program

# From here on the program runs as the unprivileged user nobody, in a session
# of its own: its home, configuration and runtime folder, a session bus and a
# notification server that records what it is sent.
become_desktop_user() {
    command -v setpriv >/dev/null || skip "setpriv is missing"
    id nobody >/dev/null 2>&1 || skip "there is no user nobody"
    local run_as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    chmod 755 "$e2e_work"
    chown -R nobody:nogroup "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
    local address pid
    read -r address pid < <("${run_as[@]}" dbus-daemon --session --fork --print-address=1 --print-pid=1 \
        --address="unix:path=$XDG_RUNTIME_DIR/bus" | tr '\n' ' ')
    [ -n "$pid" ] || fail "the test user's session bus did not start"
    e2e_user_pids+=("$pid")
    export DBUS_SESSION_BUS_ADDRESS=$address
    ( close_standin_fds; exec "${run_as[@]}" /usr/bin/python3 -m dbusmock --template notification_daemon ) \
        >"$e2e_work/notifications.log" 2>&1 &
    e2e_user_pids+=($!)
    wait_until 10000 eval '"${run_as[@]}" gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
        -m org.freedesktop.DBus.NameHasOwner org.freedesktop.Notifications 2>/dev/null | grep -q true' \
        || fail "no notification server on the test user's bus: $(cat "$e2e_work/notifications.log")"
    e2e_as_user=("${run_as[@]}")
}

# What the program sent to the notification server so far.
notifications() {
    "${e2e_as_user[@]}" gdbus call --session -d org.freedesktop.Notifications -o /org/freedesktop/Notifications \
        -m org.freedesktop.DBus.Mock.GetCalls 2>/dev/null
}

# Arguments go to the program.
start_zumi() {
    ( close_standin_fds; exec "${e2e_as_user[@]}" "$e2e_zumi" "$@" ) >"$e2e_work/zumi.out" 2>&1 &
    e2e_zumi_pid=$!
    log "zumi started (pid $e2e_zumi_pid)"
}

zumi_running() { [ -n "$e2e_zumi_pid" ] && alive "$e2e_zumi_pid"; }

# Waits up to $1 ms for the program to end; its status lands in $zumi_status.
wait_zumi_end() {
    wait_until "$1" eval '! zumi_running' || return 1
    wait "$e2e_zumi_pid"
    zumi_status=$?
    e2e_zumi_pid=
    return 0
}

# A window that holds the keyboard focus before the program shows anything, so
# that a change of _NET_ACTIVE_WINDOW would show a stolen focus.
start_focus_window() {
    ( close_standin_fds; exec xmessage -geometry +80+500 "Zumi end-to-end test: this window keeps the focus" ) \
        >/dev/null 2>&1 &
    e2e_focus_pid=$!
    wait_until 5000 eval 'focus_window=$(xdotool search --onlyvisible --classname "^xmessage$" 2>/dev/null | head -n1); [ -n "$focus_window" ]' \
        || fail "the focus window did not appear"
    # Asked again until the window manager has taken the new window on.
    wait_until 10000 eval 'xdotool windowactivate "$focus_window" 2>/dev/null; sleep 0.1; [ "$(active_window)" = "$focus_window" ]' \
        || fail "the focus window did not get the focus (active: $(active_window))"
}

# _NET_ACTIVE_WINDOW as a decimal window id (0 for none).
active_window() {
    local id
    id=$(xprop -root _NET_ACTIVE_WINDOW 2>/dev/null | sed -n 's/.*window id # \(0x[0-9a-fA-F]*\).*/\1/p')
    echo $(( ${id:-0} ))
}

# "W H X Y OVERRIDE" of a window; OVERRIDE is yes for menus and tooltips.
window_info() {
    xwininfo -id "$1" 2>/dev/null | awk '
        /Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
        /Width:/ {w=$NF} /Height:/ {h=$NF} /Override Redirect State/ {o=$NF}
        END {print w, h, x, y, o}'
}

zumi_windows() { xdotool search --onlyvisible --class zumi 2>/dev/null; }

# The tray icon: a small window of the program embedded in the tray.
icon_window() {
    local w width height
    for w in $(zumi_windows); do
        read -r width height _ _ _ <<<"$(window_info "$w")"
        [ -n "$width" ] && [ "$width" -ge 8 ] && [ "$width" -le 64 ] && [ "$height" -ge 8 ] && [ "$height" -le 64 ] \
            && { echo "$w"; return 0; }
    done
    return 1
}

# The info window: the strip one row high, never a popup.
info_window() {
    local w width height over
    for w in $(zumi_windows); do
        read -r width height _ _ over <<<"$(window_info "$w")"
        [ "$over" = no ] && [ "$height" -ge 15 ] && [ "$height" -le 30 ] && [ "$width" -ge 100 ] && [ "$width" -le 300 ] \
            && { echo "$w"; return 0; }
    done
    return 1
}
no_info_window() { ! info_window >/dev/null; }

# Open popup menus (override-redirect windows taller than a tooltip), one per line.
menu_windows() {
    local w height over
    for w in $(zumi_windows); do
        read -r _ height _ _ over <<<"$(window_info "$w")"
        [ "$over" = yes ] && [ "$height" -gt 40 ] && echo "$w"
    done
}
menus_open() { [ "$(menu_windows | wc -l)" -ge "$1" ]; }
no_menu_open() { [ -z "$(menu_windows)" ]; }

dialog_window() { xdotool search --onlyvisible --name '^Einstellungen$' 2>/dev/null | head -n1; }

# Clearly blue and clearly red pixels of a screen rectangle W H X Y.
colour_counts() {
    import -window root -crop "${1}x${2}+${3}+${4}" -depth 8 txt:- 2>/dev/null | awk -F'[(),]' '
        /^#/ {next}
        { r = $3 + 0; b = $5 + 0
          if (b > 120 && b > 2 * r) blue++
          if (r > 120 && r > 2 * b) red++ }
        END {print blue + 0, red + 0}'
}

# The icon in a colour ("blue" or "red"); sets $icon and the pixel counts.
icon_is() {
    local w h x y
    icon=$(icon_window) || return 1
    read -r w h x y _ <<<"$(window_info "$icon")"
    read -r icon_blue icon_red <<<"$(colour_counts "$w" "$h" "$x" "$y")"
    case $1 in
    blue) [ "$icon_blue" -ge 40 ] && [ "$icon_red" -le 5 ] ;;
    red) [ "$icon_red" -ge 40 ] && [ "$icon_blue" -le 5 ] ;;
    esac
}

wait_icon() {
    local t=$(now_ms)
    wait_until "$2" icon_is "$1" || fail "no $1 tray icon within $2 ms (blue/red pixels: ${icon_blue:-?}/${icon_red:-?}, icon window: ${icon:-none})"
    log "$1 tray icon ($icon_blue blue, $icon_red red pixels) after $(( $(now_ms) - t )) ms"
}

# Clicks the middle of the tray icon and waits for the popup menu.
open_tray_menu() {
    local w h x y
    icon=$(icon_window) || fail "no tray icon to click"
    read -r w h x y _ <<<"$(window_info "$icon")"
    xdotool mousemove $(( x + w / 2 )) $(( y + h / 2 )) click 1
    wait_until 3000 menus_open 1 || fail "a click on the tray icon opened no menu"
    # The menu takes the keyboard once it is mapped; let it settle.
    sleep 0.2
}

# Presses a key in the open menu; $2 = how many menus must stay open after it.
menu_key() {
    xdotool key "$1"
    if [ "$2" -eq 0 ]; then
        wait_until 3000 no_menu_open || fail "the menu stayed open after the key $1"
    else
        wait_until 3000 menus_open "$2" || fail "the key $1 in the menu opened no submenu"
        sleep 0.2
    fi
}

# Light green pixels of the info window: the bar's remainder while a hang-up
# after a number of units is armed.
green_pixels() {
    local w h x y
    read -r w h x y _ <<<"$(window_info "$1")"
    import -window root -crop "${w}x${h}+${x}+${y}" -depth 8 txt:- 2>/dev/null | awk -F'[(),]' '
        /^#/ {next}
        { r = $3 + 0; g = $4 + 0; b = $5 + 0
          if (g > 220 && r > 90 && r < 170 && b > 90 && b < 170) n++ }
        END {print n + 0}'
}

# ---------------------------------------------------------------- screenshots

e2e_shot_root() {
    [ -n "${e2e_artifacts:-}" ] && [ -n "${DISPLAY:-}" ] || return 0
    import -window root "$e2e_artifacts/$e2e_scenario-$1.png" 2>/dev/null
}

# Keeps a screenshot of a screen rectangle W H X Y, enlarged 3 times so the
# details can be seen.
e2e_shot_rect() {
    local name=$1
    shift
    import -window root -crop "${1}x${2}+${3}+${4}" png:- 2>/dev/null \
        | convert png:- +repage -scale 300% "$e2e_artifacts/$e2e_scenario-$name.png" 2>/dev/null \
        || fail "screenshot $name failed"
}

# The same for a window, with a margin around it.
e2e_shot_window() {
    local w h x y m=${3:-0}
    read -r w h x y _ <<<"$(window_info "$2")"
    x=$(( x - m < 0 ? 0 : x - m )) y=$(( y - m < 0 ? 0 : y - m ))
    e2e_shot_rect "$1" $(( w + 2 * m )) $(( h + 2 * m )) "$x" "$y"
}

# A fingerprint of the pixels of a screen rectangle W H X Y.
rect_hash() { import -window root -crop "${1}x${2}+${3}+${4}" -depth 8 rgb:- 2>/dev/null | md5sum | cut -c1-32; }

# ---------------------------------------------------------------- stand-in links

# Starts a stand-in pppd for the peers entry NAME under TAG, as pon would start
# pppd ("/usr/sbin/pppd call NAME"), and waits until its link is up.
standin_start() { standin_launch "$2" call "$1"; }

# Starts a stand-in pppd under TAG with the command line "/usr/sbin/pppd ARGS..."
# and waits until its link is up.
standin_launch() {
    local tag=$1 fifo=$e2e_work/standin-$1.in fd
    shift
    SI_OUT[$tag]=$e2e_work/standin-$tag.out
    mkfifo "$fifo" || fail "mkfifo"
    ( close_standin_fds; exec -a /usr/sbin/pppd "$e2e_fake_pppd" "$@" ) <"$fifo" >"${SI_OUT[$tag]}" 2>&1 &
    SI_PID[$tag]=$!
    exec {fd}>"$fifo"
    SI_FD[$tag]=$fd
    wait_until 5000 grep -q '^ready ' "${SI_OUT[$tag]}" || fail "the stand-in $tag did not bring its link up"
    SI_IF[$tag]=$(sed -n 's/^ready //p' "${SI_OUT[$tag]}")
    log "stand-in $tag up: pid ${SI_PID[$tag]}, interface ${SI_IF[$tag]}"
}

standin_command() {
    local tag=$1 line=$2
    echo "$line" >&"${SI_FD[$tag]}" || fail "cannot talk to stand-in $tag"
    wait_until 5000 grep -qx "done $line" "${SI_OUT[$tag]}" || fail "stand-in $tag did not confirm \"$line\""
}

standin_alive() { alive "${SI_PID[$1]}"; }
standin_got_sigterm() { grep -qx sigterm "${SI_OUT[$1]}"; }

# Ends a stand-in as poff would, and reaps it.
standin_stop() {
    local tag=$1
    kill -TERM "${SI_PID[$tag]}" 2>/dev/null
    wait_until 3000 eval "! standin_alive $tag" || fail "stand-in $tag did not end on SIGTERM"
    wait "${SI_PID[$tag]}" 2>/dev/null
}

# Waits for the program's info window after a link came up; sets $info and
# $t_detect (ms) and fails when it takes longer than $2 ms from $1 (ms).
wait_metering_start() {
    local since=$1 limit=$2
    wait_until $(( limit + 3000 )) eval 'info=$(info_window)' || fail "no info window within $(( limit + 3000 )) ms of the link coming up"
    t_detect=$(now_ms)
    local took=$(( t_detect - since ))
    [ "$took" -le "$limit" ] || fail "the info window came $took ms after the link (allowed: $limit ms)"
    log "info window $info shown $took ms after the link came up"
}

wait_metering_end() {
    wait_until "$1" no_info_window || fail "the info window is still shown $1 ms after the link went down"
    wait_icon blue "$1"
}

# Keeps a screenshot of the open menus together with the tray icon.
e2e_shot_menus() {
    local w x0=100000 y0=100000 x1=0 y1=0 ww h x y
    for w in $(menu_windows) $(icon_window); do
        read -r ww h x y _ <<<"$(window_info "$w")"
        (( x < x0 )) && x0=$x
        (( y < y0 )) && y0=$y
        (( x + ww > x1 )) && x1=$(( x + ww ))
        (( y + h > y1 )) && y1=$(( y + h ))
    done
    (( x1 > x0 )) || fail "no menu to take a picture of"
    e2e_shot_rect "$1" $(( x1 - x0 )) $(( y1 - y0 )) "$x0" "$y0"
}

icon_count() {
    local n=0 w width height
    for w in $(zumi_windows); do
        read -r width height _ _ _ <<<"$(window_info "$w")"
        [ "$width" -ge 8 ] && [ "$width" -le 64 ] && [ "$height" -ge 8 ] && [ "$height" -le 64 ] && n=$(( n + 1 ))
    done
    echo "$n"
}
