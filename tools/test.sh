#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite. GL and program
# tests run on Mesa's software renderer inside a virtual X server (Xvfb), so no screen is
# needed. The benchmarks are built in Release to keep them compiling; run them with
# build/bench/bench/orva_bench.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

echo "== build (Debug, with tests)"
orva_configure "$root/build/debug" Debug -DORVA_BUILD_TESTS=ON
cmake --build "$root/build/debug"

echo "== build benchmarks (Release)"
orva_configure "$root/build/bench" Release -DORVA_BUILD_TESTS=OFF -DORVA_BUILD_APP=OFF -DORVA_BUILD_BENCH=ON
cmake --build "$root/build/bench"

echo "== tests"
cd "$root/build/debug"
# A test that fails is run once more before it counts as failed: the interface tests drive the real
# window with xdotool and a browser with playwright, and a keystroke lost by a loaded X server is
# not a fault of the program. Every failure is still printed in the log.
xvfb-run -a -s "-screen 0 1920x1200x24" ctest --output-on-failure -j "$(nproc)" --repeat until-pass:2
