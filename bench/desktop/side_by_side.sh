#!/usr/bin/env bash
# Zumi beside the two floor programs (bench_floor: (a) a tray icon and a 1-s
# timer, (b) the same plus a 189 x 21 always-on-top window with two labels
# changing every second), all in one private X desktop (Xvfb + openbox +
# trayer), reported as ratios, since absolute CPU on a shared machine swings
# with its state:
# - exec to tray icon, Zumi against (a);
# - CPU idle against (a) and while metering a stand-in link against (b), with
#   the call log and again without it (--no-call-log): the scheduler's own
#   account over windows of the given length, the ratio per window and its median;
# - resident memory while metering, and after the tray menu was opened, against (b);
# - one tick at 5000 processes against 500 (bench_scan_crowd).
# Metering needs root and the stand-in pppd. ZUMI_BENCH_SMOKE=1 skips the crowd.
# Usage: side_by_side.sh BUILD_DIR [SECONDS_PER_WINDOW (60)] [WINDOWS (5)]
set -u
build=$(cd "$1" && pwd)
seconds=${2:-60}
windows=${3:-5}
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${ZUMI_TEST_TRAY_PID:-}" ]; then
    exec "$here/../../tests/xsession.sh" --tray -- "$0" "$build" "$seconds" "$windows"
fi
zumi="$build/app/zumi"
floor="$build/bench/desktop/bench_floor"
fake_pppd="$build/tests/link/fake_pppd"
tmp=$(mktemp -d)
pids=() link_pid="" peer=""
cleanup() {
    for p in "${pids[@]}" $link_pid; do kill "$p" 2>/dev/null && wait "$p" 2>/dev/null; done
    [ -n "$peer" ] && rm -f "$peer"
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "side_by_side: $*" >&2; exit 1; }

now_ms() { echo $(($(date +%s%N) / 1000000)); }
# A program's icon embedded in the tray, by the instance part of its WM_CLASS.
icon_embedded() { xwininfo -root -tree 2>/dev/null | awk -v n="\"$1\"" '/"panel": \("panel" "trayer"\)/{p=1} p && index($0, ": (" n){f=1} END{exit !f}'; }
rss_kb() { awk '/^VmRSS:/{print $2}' "/proc/$1/status"; }
# memory LABEL: resident memory of Zumi against (b).
memory() {
    local rz rb
    rz=$(rss_kb "$zumi_pid") rb=$(rss_kb "$b_pid")
    echo "resident memory $1: Zumi $rz kB, (b) $rb kB, ratio $(awk -v z="$rz" -v b="$rb" 'BEGIN {printf "%.3f", z / b}')"
}
# Nanoseconds on the CPU, all threads (the scheduler's own account).
cpu_ns() { local sum=0 t; for t in /proc/"$1"/task/*/schedstat; do sum=$((sum + $(cut -d' ' -f1 "$t"))); done; echo "$sum"; }
median() { sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# start NAME PROGRAM ARGS...: a program with a home of its own; its pid in $started.
start() {
    local name=$1; shift
    mkdir -p "$tmp/$name/home/.config" "$tmp/$name/run"; chmod 700 "$tmp/$name/run"
    HOME="$tmp/$name/home" XDG_CONFIG_HOME="$tmp/$name/home/.config" XDG_RUNTIME_DIR="$tmp/$name/run" \
        "$@" >"$tmp/$name.log" 2>&1 &
    started=$!
}
wait_icon() {
    local t0; t0=$(now_ms)
    until icon_embedded "$1"; do
        [ $(($(now_ms) - t0)) -gt 10000 ] && fail "no tray icon of $1 after 10 s"
        sleep 0.005
    done
    echo $(($(now_ms) - t0))
}

echo "== exec to tray icon (5 starts each)"
ratios=()
for _ in 1 2 3 4 5; do
    rm -rf "$tmp/zumi" "$tmp/floor"
    start zumi "$zumi"; z=$started; tz=$(wait_icon zumi); kill "$z"; wait "$z" 2>/dev/null
    start floor "$floor"; f=$started; tf=$(wait_icon bench_floor); kill "$f"; wait "$f" 2>/dev/null
    ratios+=("$(awk -v z="$tz" -v f="$tf" 'BEGIN {printf "%.2f", z / (f > 0 ? f : 1)}')")
    echo "Zumi $tz ms, floor (a) $tf ms"
done
echo "exec -> tray icon, Zumi / (a): ${ratios[*]}; median $(printf '%s\n' "${ratios[@]}" | median)"

start zumi "$zumi"; zumi_pid=$started; pids+=("$zumi_pid")
start floor_a "$floor"; a_pid=$started; pids+=("$a_pid")
start floor_b "$floor" --window; b_pid=$started; pids+=("$b_pid")
wait_icon zumi >/dev/null
for _ in $(seq 1 200); do [ "$(xwininfo -root -tree | grep -c '"bench_floor"')" -ge 2 ] && break; sleep 0.05; done
sleep 3

# compare LABEL PID_OF_ZUMI PID_OF_FLOOR: CPU ratios over the windows.
compare() {
    local label=$1 z=$2 f=$3 i z0 f0 z1 f1 list=()
    for ((i = 0; i < windows; ++i)); do
        z0=$(cpu_ns "$z"); f0=$(cpu_ns "$f")
        sleep "$seconds"
        z1=$(cpu_ns "$z"); f1=$(cpu_ns "$f")
        list+=("$(awk -v z=$((z1 - z0)) -v f=$((f1 - f0)) 'BEGIN {printf "%.2f", z / (f > 0 ? f : 1)}')")
        echo "  window $((i + 1)): Zumi $(((z1 - z0) / 1000)) us, floor $(((f1 - f0) / 1000)) us CPU in $seconds s"
    done
    echo "$label: ${list[*]}; median $(printf '%s\n' "${list[@]}" | median)"
}
echo "== idle, $windows windows of $seconds s"
compare "CPU idle, Zumi / (a)" "$zumi_pid" "$a_pid"

if [ "$(id -u)" -ne 0 ] || [ ! -x "$fake_pppd" ]; then
    echo "== metering skipped (needs root and $fake_pppd)"
else
    echo "== metering a stand-in link with 2 KB/s of traffic, $windows windows of $seconds s"
    name="zumi-bench-$$"
    peer="/etc/ppp/peers/$name"
    mkdir -p /etc/ppp/peers
    [ -e "$peer" ] && { peer=""; fail "$peer exists"; }
    echo "# stand-in link for a benchmark" >"$peer"
    mkfifo "$tmp/link.in"
    (exec -a /usr/sbin/pppd "$fake_pppd" call "$name" <"$tmp/link.in" >"$tmp/link.out" 2>&1) &
    link_pid=$!
    exec 7>"$tmp/link.in"
    for _ in $(seq 1 100); do grep -q ready "$tmp/link.out" && break; sleep 0.05; done
    echo "rate 2048" >&7
    # metered LABEL: once the info window shows, CPU over the windows and memory.
    metered() {
        for _ in $(seq 1 100); do xwininfo -root -tree | grep -q '"Zumi".* 189x21+' && break; sleep 0.1; done
        xwininfo -root -tree | grep -q '"Zumi".* 189x21+' || fail "no info window while metering$1"
        sleep 3
        compare "CPU metering$1, Zumi / (b)" "$zumi_pid" "$b_pid"
        memory "metering$1"
    }
    metered ""
    # The menu, opened once: what its first showing costs stays resident.
    geometry=$(xwininfo -root -tree | awk '/"panel": \("panel" "trayer"\)/{p=1} p && /"Zumi": \("zumi" "Zumi"\)/{print $(NF-1), $NF; exit}')
    read -r size place <<<"$geometry"
    w=${size%%x*} h=${size#*x}; h=${h%%+*}
    x=$(awk -v p="$place" 'BEGIN {split(p, a, "+"); print a[2]}') y=$(awk -v p="$place" 'BEGIN {split(p, a, "+"); print a[3]}')
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 3
    sleep 1
    xdotool key Escape
    sleep 2
    memory "after the menu"
    calls="$tmp/zumi/home/.local/share/Zumi/calls.sqlite"
    if command -v sqlite3 >/dev/null; then
        echo "call log: $(sqlite3 "$calls" 'SELECT count(*) || " row, " || units || " units" FROM calls') written"
    fi

    echo "== the same link metered without the call log (--no-call-log), $windows windows of $seconds s"
    kill "$zumi_pid"; wait "$zumi_pid" 2>/dev/null
    start zumi "$zumi" --no-call-log; zumi_pid=$started; pids+=("$zumi_pid")
    metered " without the log"
    exec 7>&-
fi

if [ "${ZUMI_BENCH_SMOKE:-0}" != 1 ]; then
    echo "== one tick with one new process a second, 5000 against 500 processes"
    "$build/bench/ras/bench_scan_crowd" --benchmark_format=json >"$tmp/crowd.json" 2>/dev/null || fail "bench_scan_crowd failed"
    python3 - "$tmp/crowd.json" <<'PY'
import json, sys
runs = {b["run_name"].split("/")[1]: b["real_time"] for b in json.load(open(sys.argv[1]))["benchmarks"]
        if b.get("aggregate_name") == "median"}
print(f"tick at 500: {runs['500']:.0f} us, at 5000: {runs['5000']:.0f} us, ratio {runs['5000'] / runs['500']:.2f}")
PY
fi
