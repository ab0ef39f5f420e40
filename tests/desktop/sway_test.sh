#!/usr/bin/env bash
# The info window on a Wayland desktop: a headless sway session with XWayland,
# run as the unprivileged user nobody. A tiled X window fills the screen; the
# program starts with the session's Wayland and X displays and no platform of
# its own choosing, a stand-in link comes up (as root), and the info window
# must be shown over the tiled window: a floating, visible window of the
# program in sway's tree, on top of the tiled one in a screenshot (kept).
# Usage: sway_test.sh ZUMI_BINARY STAND_IN_PPPD ARTIFACT_FOLDER
set -u
e2e_zumi=${1:?zumi binary}
e2e_fake_pppd=${2:?stand-in pppd}
. "$(dirname "$0")/e2e_lib.sh"
for tool in sway swaymsg Xwayland grim jq xmessage convert setpriv dbus-daemon; do
    command -v "$tool" >/dev/null || skip "$tool is missing"
done
require_link_rights
id nobody >/dev/null 2>&1 || skip "there is no user nobody"
[ -x "$e2e_zumi" ] || fail "the program is not built: $e2e_zumi"
require_no_foreign_pppd
e2e_private_home "${3:?artifact folder}" sway
# No X display of the caller's: screenshots here come from grim.
unset DISPLAY QT_QPA_PLATFORM XAUTHORITY
name=$(unique_entry_name)
add_peers_entry "$name"
write_link_settings "$name"
chown -R nobody:nogroup "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)

cat >"$e2e_work/sway.conf" <<CONF
xwayland enable
output HEADLESS-1 resolution 1280x800
exec sh -c 'echo "\$WAYLAND_DISPLAY \$DISPLAY" >"\$XDG_RUNTIME_DIR/displays"'
CONF
chmod 644 "$e2e_work/sway.conf"
( close_standin_fds; exec "${as_user[@]}" env WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    sway -c "$e2e_work/sway.conf" ) >"$e2e_work/sway.log" 2>&1 &
sway_pid=$!
e2e_pids+=("$sway_pid")
sway_log() { echo "--- sway"; tail -n 30 "$e2e_work/sway.log"; }
e2e_fail_reports+=(sway_log)
if ! wait_until 10000 test -s "$XDG_RUNTIME_DIR/displays"; then
    alive "$sway_pid" || skip "sway does not run here (headless backend, pixman renderer): $(tail -n 3 "$e2e_work/sway.log" | tr '\n' ' ')"
    fail "sway ran but did not start its session"
fi
read -r wayland_display x_display <"$XDG_RUNTIME_DIR/displays"
[ -n "$x_display" ] || skip "sway runs without XWayland here: $(grep -i xwayland "$e2e_work/sway.log" | tail -n 2 | tr '\n' ' ')"
sock=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock 2>/dev/null | head -n1)
[ -n "$sock" ] || fail "no sway IPC socket"
user_env=(env HOME="$HOME" XDG_CONFIG_HOME="$XDG_CONFIG_HOME" XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR"
          WAYLAND_DISPLAY="$wayland_display" DISPLAY="$x_display" XDG_SESSION_TYPE=wayland SWAYSOCK="$sock")
as_session() { "${as_user[@]}" "${user_env[@]}" "$@"; }
tree() { as_session swaymsg -t get_tree; }
# The window whose X class is $1, as sway's tree has it (JSON), or nothing.
window_node() { tree | jq -c --arg c "$1" '[recurse(.nodes[]?, .floating_nodes[]?) | select(.window_properties.class? == $c)] | first // empty'; }

# The session's own bus, so that the program finds no other desktop's.
read -r address pid < <(as_session dbus-daemon --session --fork --print-address=1 --print-pid=1 \
    --address="unix:path=$XDG_RUNTIME_DIR/bus" | tr '\n' ' ')
[ -n "$pid" ] || fail "the session bus did not start"
e2e_pids+=("$pid")
user_env+=(DBUS_SESSION_BUS_ADDRESS="$address")

spawn "$e2e_work/xmessage.log" "${as_user[@]}" "${user_env[@]}" xmessage -geometry 400x300 "ein gekacheltes Fenster"
wait_until 10000 eval 'tiled=$(window_node Xmessage); [ -n "$tiled" ]' || fail "the tiled window did not come: $(cat "$e2e_work/xmessage.log")"
[ "$(jq -r .type <<<"$tiled")" = con ] || fail "the X window is not tiled: $tiled"

( close_standin_fds; exec "${as_user[@]}" "${user_env[@]}" "$e2e_zumi" ) >"$e2e_work/zumi.out" 2>&1 &
e2e_zumi_pid=$!
standin_start "$name" link
wait_until 10000 eval 'info=$(window_node Zumi); [ -n "$info" ] && [ "$(jq -r .visible <<<"$info")" = true ]' \
    || fail "no visible info window in sway's tree: $(tree | jq -c '[recurse(.nodes[]?, .floating_nodes[]?) | select(.type == "con" or .type == "floating_con") | {type, name, shell, app_id, visible, window_properties}]')"
sleep 1.5 # a tick or two: the window's fields drawn
info=$(window_node Zumi)
tiled=$(window_node Xmessage)
[ "$(jq -r .shell <<<"$info")" = xwayland ] || fail "the info window does not run through XWayland: $info"
[ "$(jq -r .type <<<"$info")" = floating_con ] || fail "the info window is not floating: $info"
# The window's own area: sway's rectangle holds its frame as well.
read -r ix iy iw ih < <(jq -r '"\(.rect.x + .window_rect.x) \(.rect.y + .window_rect.y) \(.window_rect.width) \(.window_rect.height)"' <<<"$info")
read -r tx ty tw th < <(jq -r '.rect | "\(.x) \(.y) \(.width) \(.height)"' <<<"$tiled")
(( ix >= tx && iy >= ty && ix + iw <= tx + tw && iy + ih <= ty + th )) \
    || fail "the info window ($iw x $ih + $ix + $iy) does not lie over the tiled window ($tw x $th + $tx + $ty)"

as_session grim "$XDG_RUNTIME_DIR/shot.png" || fail "grim took no screenshot"
mv "$XDG_RUNTIME_DIR/shot.png" "$e2e_work/shot.png" && cp "$e2e_work/shot.png" "$e2e_artifacts/sway-info-over-tiled.png" \
    || fail "cannot keep the screenshot"
# What the screen shows where the info window is, against what the tiled
# window shows beside it: the info window's own pixels, not the tiled one's.
region_hash() { convert "$e2e_work/shot.png" -crop "${1}x${2}+${3}+${4}" +repage -depth 8 rgb:- | md5sum | cut -c1-32; }
under=$(region_hash "$iw" "$ih" "$ix" "$iy")
beside=$(region_hash "$iw" "$ih" "$ix" $(( iy + ih + 40 )))
[ "$under" != "$beside" ] || fail "the screenshot shows the tiled window where the info window should be"
distinct=$(convert "$e2e_work/shot.png" -crop "${iw}x${ih}+${ix}+${iy}" +repage -unique-colors txt:- | grep -vc '^#')
(( distinct >= 3 )) || fail "the info window's place in the screenshot has $distinct colours only"
echo PASS
