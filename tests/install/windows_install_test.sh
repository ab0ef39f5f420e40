#!/usr/bin/env bash
# The installer of scripts/windows-package.sh under wine, silently, as the user running the
# tests: the zip's files, the Run key, the uninstall key and the Start-menu link are there;
# the silent uninstall takes them away again but leaves the settings and the call log.
# Runs inside scripts/windows_test.sh's wine prefix (WINEPREFIX set).
# Usage: windows_install_test.sh BUILD_DIR
set -u
build=$1
setup=$(ls "$build"/package/Zumi-*-setup.exe 2>/dev/null | head -n1)
zip=$(ls "$build"/package/Zumi-*.zip 2>/dev/null | head -n1)
[ -n "$setup" ] && [ -n "$zip" ] || { echo "FAIL: no installer or zip: run scripts/windows-package.sh" >&2; exit 1; }
tmp=$(mktemp -d)
run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
# wineboot starts what the Run key names: a run that fails half-way must not leave that behind.
trap 'wine reg delete "$run" /v Zumi /f >/dev/null 2>&1; rm -rf "$tmp"' EXIT
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-};winemenubuilder.exe=d"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
home="$WINEPREFIX/drive_c/users/$(id -un)"
dir="$home/AppData/Local/Programs/Zumi"
link="$home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Zumi.lnk"
calls="$home/AppData/Local/Zumi/calls.sqlite"
uninstall='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zumi'
settings='HKCU\Software\VB and VBA Program Settings\Zumi\Settings'
query() { wine reg query "$@" >"$tmp/reg.log" 2>&1; }

wine "$setup" /S >"$tmp/setup.log" 2>&1 || fail "the silent install failed: $(cat "$tmp/setup.log")"
unzip -q "$zip" -d "$tmp/zip"
(cd "$tmp/zip/Zumi" && find . -type f | sort) >"$tmp/zip.list"
(cd "$dir" 2>/dev/null && find . -type f ! -name uninstall.exe | sort) >"$tmp/installed.list"
diff "$tmp/zip.list" "$tmp/installed.list" >&2 || fail "installed files differ from the zip's"
while read -r f; do cmp -s "$tmp/zip/Zumi/$f" "$dir/$f" || fail "$f differs from the zip's"; done <"$tmp/zip.list"
[ -f "$dir/uninstall.exe" ] || fail "no uninstall.exe"
[ -f "$link" ] || fail "no Start-menu link"
query "$run" /v Zumi && grep -qF '"C:\users\'"$(id -un)"'\AppData\Local\Programs\Zumi\zumi.exe"' "$tmp/reg.log" \
    || fail "Run value: $(cat "$tmp/reg.log")"
query "$uninstall" /v QuietUninstallString || fail "no uninstall key"

# What Zumi keeps of the user's: a settings value and a call log.
wine reg add "$settings" /v InstallTestProbe /d kept /f >"$tmp/reg.log" 2>&1 || fail "reg add failed"
made=""
[ -e "$calls" ] || { mkdir -p "$(dirname "$calls")" && echo "log of calls" >"$calls" && made=1; }
cp "$calls" "$tmp/calls.before"

# The uninstaller copies itself away and returns at once: wait for the folder, its last step, to go.
wine "$dir/uninstall.exe" /S >"$tmp/uninstall.log" 2>&1 || fail "the silent uninstall failed"
for _ in $(seq 1 300); do [ -e "$dir" ] || break; sleep 0.1; done
[ -e "$dir" ] && fail "left behind: $(cd "$dir" && find .)"
[ -e "$link" ] && fail "the Start-menu link is left"
query "$run" /v Zumi && fail "the Run value is left"
query "$uninstall" && fail "the uninstall key is left"
query "$settings" /v InstallTestProbe && grep -q kept "$tmp/reg.log" || fail "the settings value is gone"
cmp -s "$tmp/calls.before" "$calls" || fail "the call log is gone or changed"

wine reg delete "$settings" /v InstallTestProbe /f >"$tmp/reg.log" 2>&1
[ -n "$made" ] && rm -f "$calls"
exit "$failures"
