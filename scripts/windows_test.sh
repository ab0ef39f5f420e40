#!/usr/bin/env bash
# Cross-builds the portable libraries, the Windows backends and their tests for 64-bit Windows
# into build-windows/ and runs the tests under wine, as an unprivileged user (as root wine
# ignores the read-only attribute), with one wineserver kept running for the whole run.
# Usage: scripts/windows_test.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(mkdir -p "${1:-build-windows}" && cd "${1:-build-windows}" && pwd)"
# The packages, the configured build folder and the program, packed into the installer and the
# zip for the test that installs and uninstalls them; then the rest of the build.
scripts/windows-package.sh "$build"
cmake --build "$build" -j "$(nproc)"

# Wine's own home and prefix, in the build folder; the user runs the tests there.
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    user=zumi-wine
    id "$user" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$user"
    chown -R "$user" "$build"
    as_user=(runuser -u "$user" --)
fi
home="$build/wine-home"
"${as_user[@]}" mkdir -p "$home/prefix" # wineserver needs the folder, wineboot fills it
export HOME="$home" WINEPREFIX="$home/prefix" WINEDEBUG=-all \
       WINEDLLOVERRIDES="winedbg.exe=d;mscoree=d;mshtml=d${ZUMI_WINEDLLOVERRIDES:+;$ZUMI_WINEDLLOVERRIDES}"
unset DISPLAY WAYLAND_DISPLAY
wine_env=(env HOME="$HOME" WINEPREFIX="$WINEPREFIX" WINEDEBUG="$WINEDEBUG" WINEDLLOVERRIDES="$WINEDLLOVERRIDES")
logs="$build/wine-logs"
"${as_user[@]}" mkdir -p "$logs"

# Wine's services inherit the descriptors they are started with: its output goes to files, never
# into a pipe that would then not close.
stop_wine() { "${as_user[@]}" "${wine_env[@]}" wineserver -k >/dev/null 2>&1 || true; }
trap stop_wine EXIT
trap 'exit 130' INT TERM HUP
stop_wine # one left by an interrupted run would not outlive this one
"${as_user[@]}" "${wine_env[@]}" wineserver -p >"$logs/wineserver.log" 2>&1
"${as_user[@]}" "${wine_env[@]}" wineboot -i >"$logs/wineboot.log" 2>&1
# No display here: wine's null graphics driver still makes windows, stacks and measures them. Its
# desktop, already started by wineboot, reads the driver only when it starts: so start anew.
"${as_user[@]}" "${wine_env[@]}" wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f \
    >"$logs/graphics.log" 2>&1
stop_wine
"${as_user[@]}" "${wine_env[@]}" wineserver -p >>"$logs/wineserver.log" 2>&1
"${as_user[@]}" "${wine_env[@]}" wineboot >>"$logs/wineboot.log" 2>&1

status=0
# A test that fails is run once more, its first failure still printed: wine now and then ends a
# program with a signal after its test passed, which says nothing about Zumi.
"${as_user[@]}" "${wine_env[@]}" ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --repeat until-pass:2 \
    >"$logs/ctest.log" 2>&1 || status=$?
cat "$logs/ctest.log"
exit "$status"
