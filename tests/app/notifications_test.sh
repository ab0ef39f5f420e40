#!/usr/bin/env bash
# A notification reaches the desktop's notification server on a private
# session bus; without a server the sender neither hangs nor fails.
set -u
probe=$1
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; [ -n "${bus_pid:-}" ] && kill "$bus_pid"; wait; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; cat "$work"/log* >&2; exit 1; }

read -r bus_address bus_pid < <(dbus-daemon --session --fork --print-address=1 --print-pid=1 \
    --address="unix:path=$work/bus" | tr '\n' ' ')
export DBUS_SESSION_BUS_ADDRESS=$bus_address

timeout 5 "$probe" >"$work/log.none" 2>&1 || fail "without a notification server the sender ended with status $?"

/usr/bin/python3 -m dbusmock --template notification_daemon >"$work/log.mock" 2>&1 &
for _ in $(seq 1 100); do
    gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus -m org.freedesktop.DBus.NameHasOwner \
        org.freedesktop.Notifications 2>/dev/null | grep -q true && break
    sleep 0.05
done
timeout 5 "$probe" >"$work/log.probe" 2>&1 || fail "the sender ended with status $?"
calls=$(gdbus call --session -d org.freedesktop.Notifications -o /org/freedesktop/Notifications \
    -m org.freedesktop.DBus.Mock.GetCalls)
grep -q "'Notify', \[<'Zumi'>" <<<"$calls" || fail "no Notify call from Zumi: $calls"
grep -q "Zumi hat aufgelegt" <<<"$calls" || fail "the summary did not arrive: $calls"
exit 0
