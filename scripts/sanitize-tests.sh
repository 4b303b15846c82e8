#!/usr/bin/env bash
# Builds the GUI-free code and its tests with AddressSanitizer and UndefinedBehaviorSanitizer
# and runs them: memory errors and undefined behaviour in the core fail CI.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
BUILD=build-asan
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKELVO_SANITIZE=ON \
    -DKELVO_BUILD_GUI=OFF -DKELVO_BUILD_BENCH=OFF >/dev/null
cmake --build "$BUILD" -j "$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$BUILD" --output-on-failure -j "$(nproc)"
