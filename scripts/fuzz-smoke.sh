#!/usr/bin/env bash
# Builds the libFuzzer targets with AddressSanitizer and UndefinedBehaviorSanitizer and runs
# each one briefly over its seed corpus. FUZZ_SECONDS sets the time per target.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
SECONDS_PER_TARGET="${FUZZ_SECONDS:-30}"
BUILD=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKELVO_FUZZ=ON -DKELVO_BUILD_GUI=OFF -DKELVO_BUILD_TESTS=OFF >/dev/null
targets=$(cmake --build "$BUILD" --target help | sed -n 's/^\(fuzz_[a-z_]*\):.*/\1/p' | sort -u)
[ -z "$targets" ] && { echo "no fuzz targets"; exit 0; }
cmake --build "$BUILD" -j "$(nproc)" --target $targets
for t in $targets; do
    corpus="fuzz/corpus/${t#fuzz_}"
    mkdir -p "$BUILD/corpus-$t"
    echo "== $t for ${SECONDS_PER_TARGET}s"
    exe=$(find "$BUILD/fuzz" -name "$t" -type f -executable | head -1)
    "$exe" -max_total_time="$SECONDS_PER_TARGET" -rss_limit_mb=2048 \
        "$BUILD/corpus-$t" $( [ -d "$corpus" ] && echo "$corpus" ) >"$BUILD/$t.log" 2>&1 \
        || { tail -50 "$BUILD/$t.log"; exit 1; }
    tail -1 "$BUILD/$t.log"
done
