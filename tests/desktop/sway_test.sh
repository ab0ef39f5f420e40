#!/usr/bin/env bash
# The info window in a headless sway session with XWayland, as user nobody, over a tiled X window
# filling the screen; the program chooses no platform itself. Once a link is up the info window
# is a floating, visible window in sway's tree, kept small, borderless and sticky by the README's
# config lines and moved by its swaymsg, over the tiled one in a screenshot (kept).
# Usage: sway_test.sh ZUMI_BINARY STAND_IN_PPPD ARTIFACT_FOLDER
set -u
. "$(dirname "$0")/e2e_lib.sh"
e2e_args "$@"
require_tools sway swaymsg Xwayland grim jq xmessage convert dbus-daemon
require_link_rights
[ -x "$e2e_zumi" ] || fail "the program is not built: $e2e_zumi"
require_no_foreign_pppd
e2e_private_home sway
# No X display of the caller's: screenshots here come from grim.
unset DISPLAY QT_QPA_PLATFORM XAUTHORITY
name=$(unique_entry_name)
add_peers_entry "$name"
write_link_settings "$name"
become_desktop_user

cat >"$e2e_work/sway.conf" <<CONF
xwayland enable
output HEADLESS-1 resolution 1280x800
exec sh -c 'echo "\$WAYLAND_DISPLAY \$DISPLAY" >"\$XDG_RUNTIME_DIR/displays"'
CONF
# The lines the README gives for the user's sway config.
awk '/~\/\.config\/sway\/config/ { found = 1 } found && /^  ```$/ { n++; next } found && n == 1 { sub(/^  /, ""); print }' \
    "$(dirname "$0")/../../README.md" >>"$e2e_work/sway.conf"
chmod 644 "$e2e_work/sway.conf"
spawn "$e2e_work/sway.log" "${e2e_as_user[@]}" env WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    sway -c "$e2e_work/sway.conf"
sway_log() { echo "--- sway"; tail -n 30 "$e2e_work/sway.log"; }
e2e_fail_reports+=(sway_log)
if ! wait_until 10000 test -s "$XDG_RUNTIME_DIR/displays"; then
    alive "${e2e_pids[-1]}" || skip "sway does not run here (headless backend, pixman renderer): $(tail -n 3 "$e2e_work/sway.log" | tr '\n' ' ')"
    fail "sway ran but did not start its session"
fi
read -r WAYLAND_DISPLAY DISPLAY <"$XDG_RUNTIME_DIR/displays"
[ -n "$DISPLAY" ] || skip "sway runs without XWayland here: $(grep -i xwayland "$e2e_work/sway.log" | tail -n 2 | tr '\n' ' ')"
SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock 2>/dev/null | head -n1)
[ -n "$SWAYSOCK" ] || fail "no sway IPC socket"
export WAYLAND_DISPLAY DISPLAY SWAYSOCK XDG_SESSION_TYPE=wayland
tree() { "${e2e_as_user[@]}" swaymsg -t get_tree; }
# The window whose X class is $1, as sway's tree has it (JSON), or nothing.
window_node() { tree | jq -c --arg c "$1" '[recurse(.nodes[]?, .floating_nodes[]?) | select(.window_properties.class? == $c)] | first // empty'; }

spawn "$e2e_work/xmessage.log" "${e2e_as_user[@]}" xmessage -geometry 400x300 "ein gekacheltes Fenster"
wait_until 10000 eval 'tiled=$(window_node Xmessage); [ -n "$tiled" ]' || fail "the tiled window did not come: $(cat "$e2e_work/xmessage.log")"
[ "$(jq -r .type <<<"$tiled")" = con ] || fail "the X window is not tiled: $tiled"

start_zumi
standin_start "$name" link
wait_until 10000 eval 'info=$(window_node Zumi); [ "$(jq -r .visible <<<"$info")" = true ]' \
    || fail "no visible info window in sway's tree: $(tree | jq -c '[recurse(.nodes[]?, .floating_nodes[]?) | select(.type == "con" or .type == "floating_con") | {type, name, shell, app_id, visible, window_properties}]')"
sleep 1.5 # a tick or two: the window's fields drawn
info=$(window_node Zumi)
tiled=$(window_node Xmessage)
[ "$(jq -r '.shell + " " + .type' <<<"$info")" = "xwayland floating_con" ] \
    || fail "the info window does not run through XWayland or is not floating: $info"
[ "$(jq -r '"\(.sticky) \(.border) \(.rect.height < 30)"' <<<"$info")" = "true none true" ] \
    || fail "the README's sway lines did not keep the info window small, borderless and sticky: $info"
# The README's command moves it, and over two ticks it stays there.
"${e2e_as_user[@]}" swaymsg "$(grep -o "'\[class=\"Zumi\"\] move position [0-9 ]*'" "$(dirname "$0")/../../README.md" | tr -d "'")" >/dev/null
sleep 2.2
info=$(window_node Zumi)
[ "$(jq -r '"\(.rect.x),\(.rect.y)"' <<<"$info")" = "1000,100" ] || fail "the README's swaymsg did not keep the info window at 1000,100: $info"
# The window's own area: sway's rectangle holds its frame as well.
read -r ix iy iw ih < <(jq -r '"\(.rect.x + .window_rect.x) \(.rect.y + .window_rect.y) \(.window_rect.width) \(.window_rect.height)"' <<<"$info")
read -r tx ty tw th < <(jq -r '.rect | "\(.x) \(.y) \(.width) \(.height)"' <<<"$tiled")
((ix >= tx && iy >= ty && ix + iw <= tx + tw && iy + ih <= ty + th)) \
    || fail "the info window ($iw x $ih + $ix + $iy) does not lie over the tiled window ($tw x $th + $tx + $ty)"

shot=$e2e_artifacts/sway-info-over-tiled.png
"${e2e_as_user[@]}" grim "$XDG_RUNTIME_DIR/shot.png" && mv "$XDG_RUNTIME_DIR/shot.png" "$shot" || fail "grim took no screenshot"
# Where the info window is the screen shows its own pixels, not the tiled window's beside it.
region_hash() { convert "$shot" -crop "${1}x${2}+${3}+${4}" +repage -depth 8 rgb:- | md5sum | cut -c1-32; }
[ "$(region_hash "$iw" "$ih" "$ix" "$iy")" != "$(region_hash "$iw" "$ih" "$ix" $((iy + ih + 40)))" ] \
    || fail "the screenshot shows the tiled window where the info window should be"
distinct=$(convert "$shot" -crop "${iw}x${ih}+${ix}+${iy}" +repage -unique-colors txt:- | grep -vc '^#')
((distinct >= 3)) || fail "the info window's place in the screenshot has $distinct colours only"
echo PASS
