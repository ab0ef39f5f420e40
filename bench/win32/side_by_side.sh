#!/usr/bin/env bash
# zumi.exe idle, then metering a stand-in connection (ZUMI_RAS, tests/ras/rasapi's rasapi32.dll),
# beside the floor bench_floor_tray.exe (a tray icon and an empty 1-s timer), under wine with its X11
# driver in a private X session (Xvfb, openbox, trayer), in a wine prefix of its own in the build
# folder. Reported as ratios: CPU per tick over windows of equal length (the scheduler's account
# of each wine process: wine's GetProcessTimes counts in 10-ms steps), and the working set at rest
# and at its peak (GetProcessMemoryInfo, bench_working_set). A wine figure is no Windows figure.
# Usage: bench/win32/side_by_side.sh [BUILD_DIR (build-windows)] [SECONDS_PER_WINDOW (60)] [WINDOWS (5)]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cd "$here/../.."
build=$(mkdir -p "${1:-build-windows}" && cd "${1:-build-windows}" && pwd)
seconds=${2:-60}
windows=${3:-5}
if [ -z "${ZUMI_TEST_TRAY_PID:-}" ]; then
    . scripts/deps.sh
    zumi_need_packages windows test
    cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
          -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DZUMI_BUILD_BENCH=ON >/dev/null
    cmake --build "$build" --target zumi bench_floor_tray bench_working_set stand_in_rasapi32
    exec tests/xsession.sh --tray -- "$here/side_by_side.sh" "$build" "$seconds" "$windows"
fi

# Both programs in one folder, where wine looks for their DLLs first; without their debug
# information, as the installer ships zumi.exe.
run="$build/bench/win32/run"
rm -rf "$run" && mkdir -p "$run/sounds"
for program in zumi bench_floor_tray; do x86_64-w64-mingw32-strip -o "$run/$program.exe" "$build/bin/$program.exe"; done
cp "$build/bin/sqlite3.dll" "$build/tests/ras/rasapi/rasapi32.dll" "$run/"
cp data/sounds/*.wav "$run/sounds/"

as_user=()
if [ "$(id -u)" -eq 0 ]; then
    id zumi-wine >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin zumi-wine
    chown -R zumi-wine "$build/bench/win32"
    as_user=(runuser -u zumi-wine --)
fi
home="$build/bench/win32/wine-home"
logs="$build/bench/win32/logs"
"${as_user[@]}" mkdir -p "$home/prefix" "$logs"
wine_env=(env HOME="$home" WINEPREFIX="$home/prefix" WINEDEBUG=-all DISPLAY="$DISPLAY"
          WINEDLLOVERRIDES="rasapi32=n,b;winedbg.exe=d;mscoree=d;mshtml=d;winemenubuilder.exe=d")
wine() { "${as_user[@]}" "${wine_env[@]}" "$@"; }
pids=()
stop() {
    kill "${pids[@]}" 2>/dev/null || true
    wine wineserver -k >/dev/null 2>&1 || true
    wait 2>/dev/null || true
}
trap stop EXIT
# Wine's output to files, never into a pipe its services would keep open.
wine wineserver -k >/dev/null 2>&1 || true
wine wineserver -p >"$logs/wineserver.log" 2>&1
wine wineboot -i >"$logs/wineboot.log" 2>&1

# The Linux process of a Windows program: its command line is the path wine was given.
linux_pid() {
    for _ in $(seq 1 200); do pgrep -x -f -- "$1" && return; sleep 0.05; done
    echo "side_by_side: $1 did not start" >&2
    exit 1
}
# Nanoseconds on the CPU, all threads (the scheduler's own account).
cpu_ns() { local sum=0 t; for t in /proc/"$1"/task/*/schedstat; do sum=$((sum + $(cut -d' ' -f1 "$t"))); done; echo "$sum"; }
median() { sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# measure LABEL RAS: zumi.exe with the stand-in connections RAS (none: idle) beside a new floor.
# With a connection Zumi meters from its first tick, and its call log, new for each run, has the
# call's row from then on.
calls="$home/prefix/drive_c/users/zumi-wine/AppData/Local/Zumi/calls.sqlite"
measure() {
    local zumi floor i z0 f0 z1 f1 z f ratios=()
    rm -f "$calls" "$calls-wal" "$calls-shm"
    wine ZUMI_RAS="$2" wine "$run/zumi.exe" >"$logs/zumi.log" 2>&1 &
    wine wine "$run/bench_floor_tray.exe" >"$logs/floor.log" 2>&1 &
    zumi=$(linux_pid "$run/zumi.exe") floor=$(linux_pid "$run/bench_floor_tray.exe")
    pids=("$zumi" "$floor")
    sleep 15 # past the start
    [ -z "$2" ] || [ "$(wine sqlite3 "$calls" "SELECT count(*) FROM calls WHERE entry = 'Bench' AND end_utc IS NULL" 2>&1)" = 1 ] \
        || { echo "side_by_side: zumi.exe is not metering the stand-in connection" >&2; exit 1; }

    echo "== zumi.exe $1 against the floor (tray icon, 1-s timer), $windows windows of $seconds s"
    for ((i = 1; i <= windows; ++i)); do
        z0=$(cpu_ns "$zumi") f0=$(cpu_ns "$floor")
        sleep "$seconds"
        z1=$(cpu_ns "$zumi") f1=$(cpu_ns "$floor")
        z=$(((z1 - z0) / seconds / 1000)) f=$(((f1 - f0) / seconds / 1000))
        ratios+=("$(awk -v z="$z" -v f="$f" 'BEGIN {printf "%.2f", z / (f > 0 ? f : 1)}')")
        echo "  window $i: zumi.exe $z us, floor $f us CPU per tick"
    done
    echo "CPU per tick $1, zumi.exe / floor: ${ratios[*]}; median $(printf '%s\n' "${ratios[@]}" | median)"

    wine wine "$build/bin/bench_working_set.exe" zumi.exe bench_floor_tray.exe >"$logs/working_set.log" 2>&1 \
        || { cat "$logs/working_set.log"; exit 1; }
    awk -v label="$1" '{rest[$1] = $2; peak[$1] = $3}
         END {z = "zumi.exe"; f = "bench_floor_tray.exe"
              printf "working set %s at rest: zumi.exe %d kB, floor %d kB, ratio %.3f\n", label, rest[z], rest[f], rest[z] / rest[f]
              printf "peak working set %s: zumi.exe %d kB, floor %d kB, ratio %.3f\n", label, peak[z], peak[f], peak[z] / peak[f]}' \
        "$logs/working_set.log"
    kill "${pids[@]}"
    while kill -0 "$zumi" 2>/dev/null || kill -0 "$floor" 2>/dev/null; do sleep 0.1; done
}
measure idle ""
# One connected (RASCS_Connected) stand-in connection.
measure metering "1 8192 300000 2000000 Bench"
