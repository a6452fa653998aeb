#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer) in build/fuzz and runs each one for a
# bounded time on its corpus (build/fuzz/corpus/<target>, seeded by orva_fuzz_seeds). Findings
# land in build/fuzz/artifacts. Not part of ctest.
#   tools/fuzz.sh [seconds per target] [target...]     (default: 60 s, every target)
#   ORVA_FUZZ_SECONDS=30 tools/fuzz.sh
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

seconds="${1:-${ORVA_FUZZ_SECONDS:-60}}"
if [ $# -gt 0 ]; then shift; fi
case "$seconds" in
'' | *[!0-9]*) echo "fuzz: the time per target must be a whole number of seconds, not '$seconds'" >&2; exit 2 ;;
esac
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    # Every fuzz/fuzz_<name>.cpp is the target fuzz_<name>.
    for source in "$root"/fuzz/fuzz_*.cpp; do
        targets+=("$(basename "$source" .cpp)")
    done
fi

if ! command -v clang++ >/dev/null 2>&1; then
    echo "fuzz: installing clang" >&2
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO apt-get update -qq >&2
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends clang >&2
fi

build="$root/build/fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DORVA_BUILD_FUZZ=ON -DORVA_BUILD_APP=OFF -DORVA_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "${ORVA_JOBS:-2}" --target orva_fuzz_seeds "${targets[@]}"

seeds="$build/seeds"
"$build/fuzz/orva_fuzz_seeds" "$seeds"
mkdir -p "$build/artifacts"

status=0
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    mkdir -p "$corpus"
    [ -d "$seeds/$target" ] || mkdir -p "$seeds/$target"
    echo "== $target: ${seconds}s"
    # New inputs go to the first folder; the seeds are only read.
    if ! "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" "$corpus" "$seeds/$target" \
        2>"$build/$target.log"; then
        echo "fuzz: $target found a problem (see $build/$target.log and $build/artifacts)" >&2
        status=1
    fi
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)|^#[0-9]+ *DONE' "$build/$target.log" || true
done
exit $status
