#!/usr/bin/env bash
# Builds sqlite3.dll (and its sqlite3.h) for 64-bit Windows from Debian's own SQLite source package,
# into OUTDIR, once: a second run finds them there and does nothing.
# The source comes through a private apt sources list and lists folder in OUTDIR, so the system's
# apt state stays as it is.
# Usage: scripts/sqlite3_dll.sh OUTDIR
set -euo pipefail
out="$(mkdir -p "$1" && cd "$1" && pwd)"
[ -s "$out/sqlite3.dll" ] && [ -s "$out/include/sqlite3.h" ] && exit 0

work="$out/source"
rm -rf "$work"
mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/src"
. /etc/os-release
printf 'deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian %s main\n' \
    "$VERSION_CODENAME" "$VERSION_CODENAME-updates" > "$work/sources.list"
printf 'deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian-security %s-security main\n' \
    "$VERSION_CODENAME" >> "$work/sources.list"
apt_private=(-o "Dir::Etc::SourceList=$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
             -o "Dir::State::Lists=$work/lists" -o "Dir::Cache=$work/cache" -o Debug::NoLocking=1)
apt-get "${apt_private[@]}" -qq update
(cd "$work/src" && apt-get "${apt_private[@]}" -qq source sqlite3 >"$work/source.log" 2>&1) \
    || { cat "$work/source.log"; exit 1; }
tree=$(find "$work/src" -mindepth 1 -maxdepth 1 -type d -name 'sqlite3-*' | head -n 1)
[ -n "$tree" ] || { echo "sqlite3_dll: no source tree unpacked" >&2; exit 1; }

# The amalgamation is made by the native tools of the source tree; only the library is cross-built.
mkdir -p "$work/native"
(cd "$work/native" && "$tree/configure" --disable-tcl >"$work/configure.log" 2>&1 \
    && make sqlite3.c sqlite3.h >"$work/make.log" 2>&1) \
    || { tail -n 30 "$work/configure.log" "$work/make.log" >&2; exit 1; }

# Made under its own name (the import library records it), moved in place when whole.
x86_64-w64-mingw32-gcc-posix -shared -O2 -DSQLITE_API='__declspec(dllexport)' -DSQLITE_THREADSAFE=1 \
    -o "$work/sqlite3.dll" "$work/native/sqlite3.c" -static-libgcc -Wl,--out-implib,"$work/libsqlite3.dll.a"
mkdir -p "$out/include"
mv "$work/native/sqlite3.h" "$out/include/sqlite3.h"
mv "$work/libsqlite3.dll.a" "$out/libsqlite3.dll.a"
mv "$work/sqlite3.dll" "$out/sqlite3.dll"
rm -rf "$work"
