#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer + UBSan) and runs each
# for a bounded time on a scratch copy of its seed corpus, so the repository is
# never written. Usage: scripts/fuzz.sh [seconds per target, default 20]
# Exits non-zero when any target finds a fault or cannot run. Installs nothing.
set -uo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-20}"
case "$seconds" in
    '' | *[!0-9]* | 0) echo "fuzz.sh: the time per target must be a whole number of seconds above 0" >&2; exit 2 ;;
esac
build="$root/build-fuzz"
targets="fuzz_leading_number fuzz_tariff_lookup fuzz_settings_file fuzz_tariff_record"

for tool in clang clang++ cmake ninja; do
    if ! command -v "$tool" >/dev/null; then
        echo "fuzz.sh: $tool is missing (./test installs it)" >&2
        exit 2
    fi
done

# A tree that does not build counts as every target failed.
fail_all() {
    echo "fuzz.sh: $1" >&2
    set -- $targets
    echo "0 passed, $# failed"
    exit 1
}
if ! CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DZUMI_FUZZ=ON -DZUMI_BUILD_UI=OFF \
        -DZUMI_BUILD_TESTS=OFF -DZUMI_BUILD_BENCH=OFF -DZUMI_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null; then
    fail_all "configuring $build failed"
fi
if ! cmake --build "$build" --target fuzz_all; then
    fail_all "building the fuzz targets failed"
fi

scratch="$(mktemp -d "${TMPDIR:-/tmp}/zumi-fuzz.XXXXXX")"
trap 'rm -rf "$scratch"' EXIT
findings="$build/findings"
mkdir -p "$findings"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

passed=0
failed=0
for target in $targets; do
    corpus="$scratch/$target"
    mkdir -p "$corpus"
    if [ -d "$root/tests/fuzz/corpus/$target" ]; then
        cp "$root/tests/fuzz/corpus/$target/"* "$corpus/" 2>/dev/null
    fi
    log="$scratch/$target.log"
    echo "== $target (${seconds} s)"
    "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
        -artifact_prefix="$findings/$target-" -print_final_stats=1 "$corpus" >"$log" 2>&1
    status=$?
    if [ "$status" -eq 0 ]; then
        passed=$((passed + 1))
        grep -E '^(Done|stat::number_of_executed_units)' "$log" | head -1
    else
        failed=$((failed + 1))
        echo "$target FAILED (exit $status); the input that shows it is kept in $findings:"
        tail -n 60 "$log"
    fi
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
