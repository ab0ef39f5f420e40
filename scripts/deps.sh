# Installs the Debian packages a step needs; sourced by ./run and ./test.
# Usage: zumi_need_packages build|runtime|test ...

zumi_packages_build="g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev libxcb1-dev libcanberra-dev libgtest-dev libgmock-dev librsvg2-bin libsqlite3-dev"
zumi_packages_runtime="libcanberra0 libsqlite3-0 sound-theme-freedesktop fonts-liberation2 fonts-urw-base35 qt6-translations-l10n"
zumi_packages_test="file sqlite3 python3-dbusmock dbus-daemon libglib2.0-bin xvfb openbox trayer xdotool x11-utils x11-xserver-utils xclip imagemagick iproute2 procps clang libclang-rt-14-dev libbenchmark-dev valgrind appstream desktop-file-utils dpkg-dev lintian appstream-compose man-db sway xwayland grim qt6-wayland"

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
    zumi_sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends $missing
}
