#!/usr/bin/env bash
# The installation and the Debian package: each file where the desktop expects it and valid, and
# accepted by the software-catalogue tools, man and lintian.
set -u
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
install_into() { # DESTDIR PREFIX
    DESTDIR="$1" cmake --install "$build" --prefix "$2" >"$tmp/install.log" 2>&1 \
        || { cat "$tmp/install.log" >&2; fail "cmake --install --prefix $2 failed"; return 1; }
}

root="$tmp/root"
install_into "$root" /usr || exit 1
icons=usr/share/icons/hicolor
man_pages=(usr/share/man/man1/zumi.1.gz usr/share/man/de/man1/zumi.1.gz)
files=(usr/bin/zumi usr/share/zumi/sounds/pop.wav usr/share/zumi/sounds/hangup.wav
    usr/share/applications/zumi.desktop etc/xdg/autostart/zumi.desktop
    usr/share/metainfo/org.example.zumi.metainfo.xml "${man_pages[@]}"
    usr/share/doc/zumi/changelog.gz usr/share/doc/zumi/copyright $icons/scalable/apps/zumi.svg)
# What each file holds; an icon theme takes a picture's size from its folder (a wrong one is scaled or passed over).
kinds=("usr/share/zumi/sounds/pop.wav=WAVE audio" "usr/share/zumi/sounds/hangup.wav=WAVE audio"
    "$icons/scalable/apps/zumi.svg=SVG Scalable Vector Graphics")
for size in 16 32 64 128; do
    files+=("$icons/${size}x${size}/apps/zumi.png")
    kinds+=("$icons/${size}x${size}/apps/zumi.png=PNG image data, $size x $size,")
done
for f in "${files[@]}"; do [ -f "$root/$f" ] || fail "missing /$f"; done
for kind in "${kinds[@]}"; do
    file "$root/${kind%%=*}" | grep -q "${kind#*=}" || fail "/${kind%%=*} is $(file -b "$root/${kind%%=*}")"
done
[ -x "$root/usr/bin/zumi" ] || fail "/usr/bin/zumi is not executable"
for entry in usr/share/applications/zumi.desktop etc/xdg/autostart/zumi.desktop; do
    desktop-file-validate "$root/$entry" || fail "/$entry does not validate"
done
# Catalogues are strict: not even a pedantic remark (those leave the exit status 0).
appstreamcli validate --pedantic --no-net --no-color "$root/usr/share/metainfo/org.example.zumi.metainfo.xml" \
    >"$tmp/as.log" 2>&1 && ! grep -q '^[EWIP]: ' "$tmp/as.log" \
    || { cat "$tmp/as.log" >&2; fail "the AppStream metadata does not validate without remarks"; }
# A distribution's catalogue drops the component on an error (exit status 1 and an E: line under its id).
appstreamcli compose --no-net --no-color --origin zumi --result-root="$tmp/catalog/root" \
    --data-dir="$tmp/catalog/data" --hints-dir="$tmp/catalog/hints" "$root" >"$tmp/compose.log" 2>&1 \
    && ! grep -q '^ *E: ' "$tmp/compose.log" \
    || { cat "$tmp/compose.log" >&2; fail "appstreamcli compose reports an error"; }
zcat "$tmp"/catalog/data/zumi.xml.gz 2>/dev/null | grep -q "<id>org.example.zumi</id>" \
    || fail "the composed catalogue lacks org.example.zumi"
for size in 64x64 128x128; do
    [ -f "$tmp/catalog/root/usr/share/swcatalog/icons/zumi/$size/org.example.zumi.png" ] \
        || fail "the composed catalogue has no $size icon"
done

# The manual pages render without a single warning; compressed as Debian wants: -9, without name or time.
for page in "${man_pages[@]}" usr/share/doc/zumi/changelog.gz; do
    kind=$(file "$root/$page")
    grep -q "max compression" <<<"$kind" && ! grep -Eq 'was "|last modified' <<<"$kind" \
        || fail "/$page is not compressed with gzip -n -9: $kind"
    [[ $page == */man1/* ]] || continue
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$root/$page" 2>&1 >"$tmp/page.txt")
    [ -z "$warnings" ] || fail "man warns about /$page: $warnings"
    grep -q "^NAME$\|^BEZEICHNUNG$" "$tmp/page.txt" && grep -q "zumi - " "$tmp/page.txt" \
        || fail "/$page renders without its name line"
done

# The default prefix: the program under /usr/local, the autostart entry still where desktops look.
install_into "$tmp/local" /usr/local
[ -f "$tmp/local/usr/local/bin/zumi" ] || fail "missing /usr/local/bin/zumi"
[ -f "$tmp/local/etc/xdg/autostart/zumi.desktop" ] \
    || fail "with the prefix /usr/local the autostart entry is not in /etc/xdg/autostart: $(cd "$tmp/local" && find . -name zumi.desktop)"

# The Debian package holds the same files as the installation under /usr.
(cd "$build" && cpack -G DEB -B "$tmp/pkg" >"$tmp/cpack.log" 2>&1) || { cat "$tmp/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$tmp"/pkg/*.deb 2>/dev/null | head -n1)
[ -n "$deb" ] || { fail "no package was built"; exit "$failures"; }
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in "${files[@]}"; do grep -qx "./$f" <<<"$contents" || fail "the package lacks /$f"; done
# Qt, and Qt's German texts.
for package in libqt6widgets6 qt6-translations-l10n; do
    dpkg-deb -f "$deb" Depends | grep -q $package || fail "the package does not depend on $package"
done
dpkg-deb -x "$deb" "$tmp/unpacked"
file "$tmp/unpacked/usr/bin/zumi" | grep -q ", stripped" || fail "the packaged program is not stripped: $(file "$tmp/unpacked/usr/bin/zumi")"
# An administrator's change to the autostart entry survives an upgrade.
dpkg-deb -I "$deb" conffiles 2>/dev/null | grep -qx /etc/xdg/autostart/zumi.desktop \
    || fail "the autostart entry is not marked as a conffile"
dpkg-deb -f "$deb" Description | sed -n '2p' | grep -q '[a-z]' || fail "the package has no extended description"
# Lintian's errors keep a package out of the archive; its warnings are shown.
lintian --no-tag-display-limit "$deb" >"$tmp/lintian.log" 2>&1 && ! grep -q '^E: ' "$tmp/lintian.log" \
    || { cat "$tmp/lintian.log" >&2; fail "lintian reports errors on the package or did not check it"; }
grep '^W: ' "$tmp/lintian.log" >&2

[ "$failures" -eq 0 ] && echo "install layout: all checks passed"
exit "$failures"
