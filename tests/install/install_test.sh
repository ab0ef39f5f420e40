#!/usr/bin/env bash
# Installs the build into a temporary folder and builds the Debian package,
# then checks that each file is where the desktop expects it and valid.
set -u
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

DESTDIR="$tmp/root" cmake --install "$build" --prefix /usr >"$tmp/install.log" 2>&1 \
    || { cat "$tmp/install.log" >&2; fail "cmake --install failed"; exit 1; }

root="$tmp/root"
for f in usr/bin/zumi \
         usr/share/zumi/sounds/pop.wav usr/share/zumi/sounds/hangup.wav \
         usr/share/applications/zumi.desktop etc/xdg/autostart/zumi.desktop \
         usr/share/metainfo/org.example.zumi.metainfo.xml \
         usr/share/icons/hicolor/16x16/apps/zumi.png usr/share/icons/hicolor/32x32/apps/zumi.png; do
    [ -f "$root/$f" ] || fail "missing /$f"
done
[ -x "$root/usr/bin/zumi" ] || fail "/usr/bin/zumi is not executable"
# The installed program looks for its sounds in ../share/zumi beside its folder.
[ -f "$root/usr/bin/../share/zumi/sounds/pop.wav" ] || fail "the sounds are not where the installed program looks"

desktop-file-validate "$root/usr/share/applications/zumi.desktop" || fail "the menu entry does not validate"
desktop-file-validate "$root/etc/xdg/autostart/zumi.desktop" || fail "the autostart entry does not validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.example.zumi.metainfo.xml" >"$tmp/as.log" 2>&1 \
    || { cat "$tmp/as.log" >&2; fail "the AppStream metadata does not validate"; }
file "$root/usr/share/zumi/sounds/pop.wav" 2>/dev/null | grep -q "WAVE audio" || \
    head -c 12 "$root/usr/share/zumi/sounds/pop.wav" | grep -q "WAVE" || fail "pop.wav is no WAVE file"

# The default prefix: the program under /usr/local, the autostart entry still
# where desktops look for it.
DESTDIR="$tmp/local" cmake --install "$build" --prefix /usr/local >"$tmp/install-local.log" 2>&1 \
    || { cat "$tmp/install-local.log" >&2; fail "cmake --install --prefix /usr/local failed"; }
[ -f "$tmp/local/usr/local/bin/zumi" ] || fail "missing /usr/local/bin/zumi"
[ -f "$tmp/local/etc/xdg/autostart/zumi.desktop" ] \
    || fail "with the prefix /usr/local the autostart entry is not in /etc/xdg/autostart: $(cd "$tmp/local" && find . -name zumi.desktop)"

# The Debian package holds the same files under /usr, the autostart entry under /etc.
(cd "$build" && cpack -G DEB -B "$tmp/pkg" >"$tmp/cpack.log" 2>&1) || { cat "$tmp/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$tmp"/pkg/*.deb 2>/dev/null | head -n1)
if [ -n "$deb" ]; then
    contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
    for f in ./usr/bin/zumi ./usr/share/zumi/sounds/pop.wav ./usr/share/zumi/sounds/hangup.wav \
             ./usr/share/applications/zumi.desktop ./etc/xdg/autostart/zumi.desktop \
             ./usr/share/metainfo/org.example.zumi.metainfo.xml; do
        grep -qx "$f" <<<"$contents" || fail "the package lacks $f"
    done
    dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "the package does not depend on Qt"
    dpkg-deb -f "$deb" Depends | grep -q qt6-translations-l10n || fail "the package does not depend on Qt's German texts"
    dpkg-deb -x "$deb" "$tmp/unpacked"
    file "$tmp/unpacked/usr/bin/zumi" | grep -q ", stripped" || fail "the packaged program is not stripped: $(file "$tmp/unpacked/usr/bin/zumi")"
else
    fail "no package was built"
fi

[ "$failures" -eq 0 ] && echo "install layout: all checks passed"
exit "$failures"
