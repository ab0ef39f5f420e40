#!/usr/bin/env bash
# Fails when a file or a link line crosses a layer it must not:
#  - core/ includes nothing of the project but core/;
#  - a Qt header only in a toolkit folder (any qt/) and in the backends bound
#    to Qt (app/linux/, ras/networkmanager/ with its D-Bus); an X11 or xcb
#    header only in platform/x11/ and app/linux/; so ras/ speaks to no toolkit
#    or window system outside its D-Bus backend;
#  - settings/ (not its dialog) includes nothing of ras/;
#  - a system's backend is included only from its own folder and from its
#    platform's desktop, the one factory that names backends (app/linux/);
#    platform/win32/ also from the Win32 views (any win32/ folder);
#  - the link lines of the portable layers name no toolkit and no backend, and
#    those of core/ and settings/ not the dial-up layer or any above.
# Usage: scripts/check_layers.sh [source root]
set -uo pipefail
root="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
cd "$root" || exit 2
faults=0
fault() { echo "layer fault: $*"; faults=$((faults + 1)); }

product="about app calls core infowindow platform ras settings tariff"
# "file:line:include" for every include in the files below the given folders.
includes() {
    # shellcheck disable=SC2086 # the folder list splits on purpose
    find $@ \( -name '*.h' -o -name '*.cpp' \) -print0 2>/dev/null |
        xargs -0 -r grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]'
}
qt='#[[:space:]]*include[[:space:]]*[<"](Q[A-Za-z]*|Qt[A-Za-z]*/[^>"]*)[>"]'
x11='#[[:space:]]*include[[:space:]]*[<"](xcb/[^>"]*|X11/[^>"]*)[>"]'

while IFS= read -r hit; do fault "$hit (core/ stands on nothing else)"; done < <(
    includes core | grep -E '#[[:space:]]*include[[:space:]]*"' | grep -vE '#[[:space:]]*include[[:space:]]*"core/')
while IFS= read -r hit; do fault "$hit (Qt belongs to a qt/ folder or a backend bound to it)"; done < <(
    includes "$product" | grep -vE '^([a-z_/]*/qt/|app/linux/|ras/networkmanager/)' | grep -E "$qt")
while IFS= read -r hit; do fault "$hit (the window system belongs to platform/x11/ and the Linux desktop)"; done < <(
    includes "$product" | grep -vE '^(platform/x11/|app/linux/)' | grep -E "$x11")
while IFS= read -r hit; do fault "$hit (the settings do not depend on the dial-up layer)"; done < <(
    includes settings | grep -v '^settings/dialog/' | grep -E '#[[:space:]]*include[[:space:]]*"ras/')

# Each system's backends, and the desktop of their platform that puts them together.
factory_of() {
    case "$1" in
    platform/posix | platform/x11 | platform/null | ras/pppd | ras/networkmanager) echo app/linux ;;
    platform/win32 | ras/rasapi | settings/registry) echo app/win32 ;;
    app/linux | app/win32) echo "$1" ;;
    esac
}
for backend in $({ find platform ras app -mindepth 1 -maxdepth 1 -type d ! -name qt; find settings -maxdepth 1 -path settings/registry; } | sort); do
    factory=$(factory_of "$backend")
    [ -n "$factory" ] || { fault "$backend/ (a backend of no platform: name its desktop in factory_of)"; continue; }
    while IFS= read -r hit; do
        file="${hit%%:*}"
        case "$file" in "$backend"/* | "$factory"/*) continue ;; esac
        # The Win32 views speak UTF-16 to the same system: its text conversions are theirs too.
        [ "$backend" = platform/win32 ] && [[ "$file" == */win32/* ]] && continue
        fault "$hit (only $backend/ itself and $factory/ name this backend)"
    done < <(includes "$product" | grep -E "#[[:space:]]*include[[:space:]]*\"$backend/")
done

portable_lists="core settings settings/dialog tariff calls calls/window infowindow about app"
for folder in $portable_lists; do
    lists=$folder/CMakeLists.txt
    while IFS= read -r hit; do fault "$lists:$hit (links a toolkit or a backend)"; done < <(
        grep -nE 'Qt6::|PkgConfig::|zumi_(pppd|x11|posix|app_linux|dialup|windows|app_backend|null_windows|networkmanager)\b' "$lists")
done
for lists in core/CMakeLists.txt settings/CMakeLists.txt; do
    while IFS= read -r hit; do fault "$lists:$hit (links a layer it must not)"; done < <(
        grep -nE '\bzumi_(ras|tariff|infowindow|about|settings_dialog|app)\b' "$lists")
done

if [ "$faults" -gt 0 ]; then
    echo "$faults layer fault(s)"
    exit 1
fi
echo "layers hold"
