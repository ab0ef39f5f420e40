#!/usr/bin/env bash
# Builds zumi.exe for 64-bit Windows and packs it, with sqlite3.dll and the two sounds, into an
# installer (NSIS, packaging/windows/zumi.nsi) and a zip of the same files:
# BUILD/package/Zumi-VERSION-setup.exe and BUILD/package/Zumi-VERSION.zip.
# Usage: scripts/windows-package.sh [build folder (build-windows)]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
zumi_need_packages windows

build="$(mkdir -p "${1:-build-windows}" && cd "${1:-build-windows}" && pwd)"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_COMPILE_WARNING_AS_ERROR=ON "${launcher[@]}" >/dev/null
cmake --build "$build" --target zumi -j "$(nproc)"
exe="$build/bin/zumi.exe"

version=$(sed -n 's/^project(Zumi VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
out="$build/package"
stage="$out/stage/Zumi"
rm -rf "$out"
mkdir -p "$stage/sounds"
# The program without its debug information, as the Debian package ships it.
x86_64-w64-mingw32-strip -o "$stage/zumi.exe" "$exe"
cp "$build/bin/sqlite3.dll" "$stage/"
cp data/sounds/pop.wav data/sounds/hangup.wav "$stage/sounds/"

size_kb=$(du -sk "$stage" | cut -f1)
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" -DSIZE_KB="$size_kb" \
    -DOUTFILE="$out/Zumi-$version-setup.exe" packaging/windows/zumi.nsi
(cd "$out/stage" && zip -q -r -X "$out/Zumi-$version.zip" Zumi)
echo "windows-package: $out/Zumi-$version-setup.exe and $out/Zumi-$version.zip"
