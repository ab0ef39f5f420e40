# A private system bus with a mock NetworkManager (nm_dialup_mock.py) for the desktop tests and benchmarks.

nm_mock_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
nm_bus_address= nm_bus_pid= nm_mock_pid= nm_mock_log=
readonly nm_dest=org.freedesktop.NetworkManager nm_manager=/org/freedesktop/NetworkManager

# The bus listens in the folder $1, the mock logs every call to $1/nm-calls.log; fails when either is not up in 10 s.
nm_mock_start() {
    local folder=$1 i
    nm_mock_log=$folder/nm-calls.log
    dbus-daemon --session --nofork --nopidfile --address="unix:path=$folder/system_bus" \
        --print-address=1 >"$folder/system_bus.address" 2>"$folder/nm-mock.out" &
    nm_bus_pid=$!
    for i in $(seq 1 200); do [ -s "$folder/system_bus.address" ] && break; sleep 0.05; done
    nm_bus_address=$(head -n1 "$folder/system_bus.address")
    [ -n "$nm_bus_address" ] || { echo "the private system bus did not start: $(cat "$folder/nm-mock.out")" >&2; return 1; }
    # Debian's python3-dbusmock, not a python3 of another installation first in PATH.
    DBUS_SYSTEM_BUS_ADDRESS=$nm_bus_address /usr/bin/python3 -m dbusmock --system \
        --template "$nm_mock_dir/../networkmanager/nm_dialup_mock.py" -l "$nm_mock_log" >>"$folder/nm-mock.out" 2>&1 &
    nm_mock_pid=$!
    for i in $(seq 1 200); do
        gdbus call --address "$nm_bus_address" -d org.freedesktop.DBus -o /org/freedesktop/DBus \
            -m org.freedesktop.DBus.NameHasOwner "$nm_dest" 2>/dev/null | grep -q true && return 0
        kill -0 "$nm_mock_pid" 2>/dev/null || break
        sleep 0.05
    done
    echo "the mock NetworkManager did not come up: $(cat "$folder/nm-mock.out")" >&2
    return 1
}

nm_mock_stop() {
    local pid
    for pid in $nm_mock_pid $nm_bus_pid; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
    nm_mock_pid= nm_bus_pid=
}

# OBJECT INTERFACE.METHOD ARGS...: gdbus's answer on stdout.
nm_call() { gdbus call --address "$nm_bus_address" -d "$nm_dest" -o "$1" -m "$2" "${@:3}"; }
# A mock method (org.freedesktop.DBus.Mock.METHOD) on the mock's main object.
nm_mock_call() { nm_call /org/freedesktop "org.freedesktop.DBus.Mock.$1" "${@:2}"; }

# nm_add_profile ID TYPE [SETTINGS]: a stored profile, SETTINGS more groups in GVariant text
# ("'gsm': {'apn': <'web'>}"); prints its object path.
nm_add_profile() {
    nm_call "$nm_manager/Settings" org.freedesktop.NetworkManager.Settings.AddConnection \
        "{'connection': {'id': <'$1'>, 'type': <'$2'>}${3:+, $3}}" | sed -n "s/^(objectpath '\(.*\)',)\$/\1/p"
}

# Whether the mock was called with METHOD $1 and the arguments $2 as its log writes them.
nm_was_called() { cut -d' ' -f2- "$nm_mock_log" 2>/dev/null | grep -q -F -x -- "$1 $2"; }
