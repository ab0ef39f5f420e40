#!/usr/bin/env bash
# Fails when a file or a link line crosses a layer it must not:
#  - core/ includes nothing of the project but core/, and no Qt or X11;
#  - settings/ (not its dialog's window), tariff/ and calls/ (not its window)
#    include no Qt or X11 header, and settings/ (not its dialog) nothing of ras/;
#    nor does about/ but for its qt/;
#  - a backend (any subfolder of platform/, ras/, calls/ or app/) is included only from
#    its own folder and from app/, the composition root;
#  - the link lines of core/, settings/ and tariff/ name no toolkit and no
#    backend, and those of core/ and settings/ not the dial-up layer or any above.
# Usage: scripts/check_layers.sh [source root]
set -uo pipefail
root="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
cd "$root" || exit 2
faults=0
fault() { echo "layer fault: $*"; faults=$((faults + 1)); }

# "file:line:include" for every include in the files below the given folders.
includes() {
    find "$@" \( -name '*.h' -o -name '*.cpp' \) -print0 2>/dev/null |
        xargs -0 -r grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]'
}
toolkit='#[[:space:]]*include[[:space:]]*[<"](Q[A-Za-z]*|Qt[A-Za-z]*/[^>"]*|xcb/[^>"]*|X11/[^>"]*)[>"]'

while IFS= read -r hit; do fault "$hit (core/ stands on nothing else)"; done < <(
    includes core | grep -E '#[[:space:]]*include[[:space:]]*"' | grep -vE '#[[:space:]]*include[[:space:]]*"core/')
while IFS= read -r hit; do fault "$hit (no toolkit or window system here)"; done < <(
    { includes core tariff; includes settings | grep -v '^settings/dialog/qt/'; includes calls | grep -v '^calls/window/'; } | grep -E "$toolkit")
while IFS= read -r hit; do fault "$hit (the about text is the box's, not the toolkit's)"; done < <(
    includes about | grep -v '^about/qt/' | grep -E "$toolkit")
while IFS= read -r hit; do fault "$hit (the settings do not depend on the dial-up layer)"; done < <(
    includes settings | grep -v '^settings/dialog/' | grep -E '#[[:space:]]*include[[:space:]]*"ras/')

backends=$(find platform ras calls app -mindepth 1 -maxdepth 1 -type d | sort)
for backend in $backends; do
    while IFS= read -r hit; do
        file="${hit%%:*}"
        case "$file" in "$backend"/* | app/*) continue ;; esac
        fault "$hit (only app/ names a backend)"
    done < <(includes about app calls core infowindow platform ras settings tariff |
        grep -E "#[[:space:]]*include[[:space:]]*\"$backend/")
done

for lists in core/CMakeLists.txt settings/CMakeLists.txt settings/dialog/CMakeLists.txt tariff/CMakeLists.txt calls/CMakeLists.txt; do
    while IFS= read -r hit; do fault "$lists:$hit (links a toolkit or a backend)"; done < <(
        grep -nE 'Qt6::|PkgConfig::|zumi_(pppd|x11|posix|app_linux|dialup|windows|app_backend|null_windows)\b' "$lists")
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
