# Installs the Debian packages a step needs; sourced by ./run and ./test.
# Usage: zumi_need_packages build|runtime|test|windows ...

zumi_packages_build="g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev libxcb1-dev libcanberra-dev libgtest-dev libgmock-dev librsvg2-bin libsqlite3-dev"
zumi_packages_runtime="libcanberra0 libsqlite3-0 sound-theme-freedesktop fonts-liberation2 fonts-urw-base35 qt6-translations-l10n"
# The cross build for 64-bit Windows and wine to run its tests; tcl makes SQLite's amalgamation;
# nsis and zip make the installer and the zip, unzip reads it back in its test.
zumi_packages_windows="g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 tcl dpkg-dev nsis zip unzip"
zumi_packages_test="file sqlite3 python3-dbusmock dbus-daemon libglib2.0-bin xvfb openbox trayer xdotool x11-utils x11-xserver-utils xclip imagemagick iproute2 procps clang libclang-rt-14-dev libbenchmark-dev valgrind appstream desktop-file-utils dpkg-dev lintian appstream-compose man-db sway xwayland grim qt6-wayland network-manager xfce4-panel gir1.2-atspi-2.0"

zumi_sudo() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

zumi_need_packages() {
    local wanted="" group missing=""
    for group in "$@"; do
        eval "wanted=\"\$wanted \$zumi_packages_$group\""
    done
    for p in $wanted; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
    done
    [ -z "$missing" ] && return 0
    echo "Installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    zumi_sudo apt-get -o DPkg::Lock::Timeout=600 update -qq
    zumi_without_service_starts zumi_sudo env DEBIAN_FRONTEND=noninteractive \
        apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends $missing
}

# Runs COMMAND... with every service start forbidden: network-manager pulls in systemd and udev, whose
# packages would otherwise start them (and NetworkManager) on this machine. The tests start their
# own. A policy-rc.d already there is left as it is; ours goes again, also on an interrupt.
zumi_without_service_starts() (
    policy=/usr/sbin/policy-rc.d
    if [ ! -e "$policy" ]; then
        trap 'zumi_sudo rm -f "$policy"' EXIT
        trap 'exit 130' INT TERM HUP
        printf '#!/bin/sh\n# Made by scripts/deps.sh of Zumi for one apt-get run.\nexit 101\n' \
            | zumi_sudo tee "$policy" >/dev/null && zumi_sudo chmod 755 "$policy" || exit 1
    fi
    "$@"
)
