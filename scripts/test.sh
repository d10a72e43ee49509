#!/usr/bin/env bash
# Installs dependencies, builds everything and runs every test; then builds the
# core, the CLI and their tests again with AddressSanitizer and
# UndefinedBehaviorSanitizer (no Qt: that build also proves the core is Qt-free)
# and runs those tests too.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh

JOBS=${JOBS:-$(nproc)}
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNEX_BUILD_BENCH=ON >/dev/null
cmake --build build -j "$JOBS"
(cd build && ctest --output-on-failure -j "$JOBS")

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARNEX_BUILD_GUI=OFF -DVARNEX_SANITIZE=ON >/dev/null
cmake --build build-asan -j "$JOBS"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j "$JOBS")
echo "All tests passed."
