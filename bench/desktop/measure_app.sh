#!/usr/bin/env bash
# Measures the real program on a private X desktop (Xvfb + openbox + trayer):
# time from exec to the embedded tray icon, resident memory and CPU time idle
# and while metering a stand-in link (the link part needs root).
# Usage: measure_app.sh BUILD_DIR [SECONDS_PER_CPU_WINDOW]   (runs itself inside xsession.sh)
set -u
build=$(cd "$1" && pwd)
seconds=${2:-20}
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${ZUMI_TEST_TRAY_PID:-}" ]; then
    exec "$here/../../tests/xsession.sh" --tray -- "$0" "$build" "$seconds"
fi
zumi="$build/app/zumi"
fake_pppd="$build/tests/link/fake_pppd"
tmp=$(mktemp -d)
zumi_pid="" link_pid="" peer=""
cleanup() {
    [ -n "$zumi_pid" ] && kill "$zumi_pid" 2>/dev/null && wait "$zumi_pid" 2>/dev/null
    [ -n "$link_pid" ] && kill "$link_pid" 2>/dev/null && wait "$link_pid" 2>/dev/null
    [ -n "$peer" ] && rm -f "$peer"
    rm -rf "$tmp"
}
trap cleanup EXIT

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
icon_embedded() { xwininfo -root -tree 2>/dev/null | awk '/"panel": \("panel" "trayer"\)/{p=1} p && /"Zumi": \("zumi" "Zumi"\)/{f=1} END{exit !f}'; }
rss_kb() { awk '/^VmRSS:/{print $2}' "/proc/$1/status"; }
# Nanoseconds on the CPU, all threads (the scheduler's own account; finer than clock ticks).
cpu_ns() { local sum=0 t; for t in /proc/"$1"/task/*/schedstat; do sum=$((sum + $(cut -d' ' -f1 "$t"))); done; echo "$sum"; }

start_zumi() {
    export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/home/.config" XDG_RUNTIME_DIR="$tmp/run"
    mkdir -p "$XDG_CONFIG_HOME/Zumi" "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
    "$zumi" >"$tmp/zumi.log" 2>&1 &
    zumi_pid=$!
}
stop_zumi() { kill "$zumi_pid" 2>/dev/null; wait "$zumi_pid" 2>/dev/null; zumi_pid=""; }

# CPU time as milliseconds per hour and percent of one core: five windows of
# the given length, their median (a virtual machine's neighbours make single
# windows vary by half).
cpu_sample() {
    local pid=$1 i t0 t1 c0 c1 rates=()
    for i in 1 2 3 4 5; do
        c0=$(cpu_ns "$pid"); t0=$(now_ms)
        sleep "$seconds"
        c1=$(cpu_ns "$pid"); t1=$(now_ms)
        rates+=($(( (c1 - c0) / 1000 * 3600 / (t1 - t0) ))) # ms per hour
    done
    printf '%s\n' "${rates[@]}" | sort -n | awk -v s="$seconds" '{a[NR]=$1} END {
        printf "%d ms CPU per hour (%.3f %% of a core; median of 5 x %d s, range %d-%d ms)", a[3], a[3] / 36000, s, a[1], a[5] }'
}

echo "== exec to tray icon (5 starts)"
times=()
for i in 1 2 3 4 5; do
    rm -rf "$tmp/home" "$tmp/run"
    t0=$(now_ms); start_zumi
    until icon_embedded; do
        [ $(( $(now_ms) - t0 )) -gt 10000 ] && { echo "no tray icon after 10 s" >&2; exit 1; }
        sleep 0.005
    done
    times+=($(( $(now_ms) - t0 )))
    stop_zumi
done
printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {printf "exec -> tray icon: median %d ms (min %d, max %d)\n", a[int((NR+1)/2)], a[1], a[NR]}'

echo "== idle"
rm -rf "$tmp/home" "$tmp/run"; start_zumi
until icon_embedded; do sleep 0.05; done
sleep 3
echo "resident memory idle: $(rss_kb "$zumi_pid") kB"
echo "CPU idle: $(cpu_sample "$zumi_pid")"

if [ "$(id -u)" -ne 0 ] || [ ! -x "$fake_pppd" ]; then
    echo "== metering skipped (needs root and $fake_pppd)"
    exit 0
fi
echo "== metering a stand-in link with 2 KB/s of traffic"
name="zumi-bench-$$"
peer="/etc/ppp/peers/$name"
mkdir -p /etc/ppp/peers
[ -e "$peer" ] && { echo "$peer exists" >&2; peer=""; exit 1; }
echo "# stand-in link for a benchmark" >"$peer"
mkfifo "$tmp/link.in"
(exec -a /usr/sbin/pppd "$fake_pppd" call "$name" <"$tmp/link.in" >"$tmp/link.out" 2>&1) &
link_pid=$!
exec 7>"$tmp/link.in"
for _ in $(seq 1 100); do grep -q ready "$tmp/link.out" && break; sleep 0.05; done
echo "rate 2048" >&7
# Metering shows the info window: wait for a window of that size.
for _ in $(seq 1 100); do xwininfo -root -tree | grep -q '"Zumi".* 189x21+' && break; sleep 0.1; done
xwininfo -root -tree | grep -q '189x21+' || echo "warning: no info window seen" >&2
sleep 3
echo "resident memory metering: $(rss_kb "$zumi_pid") kB"
echo "CPU metering: $(cpu_sample "$zumi_pid")"
exec 7>&-
