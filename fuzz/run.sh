#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer (and AddressSanitizer) and runs each on a copy
# of its corpus for a bounded time. Usage: fuzz/run.sh [SECONDS per target, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build/fuzz

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang-14 \
    -DCMAKE_CXX_COMPILER=clang++-14 -DBRIMBLE_BUILD_FUZZ=ON -DBRIMBLE_BUILD_TESTS=OFF -DBRIMBLE_BUILD_UI=OFF \
    -DBRIMBLE_SANITIZE=address,undefined -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
cmake --build "$build"

for corpus in fuzz/corpus/*/; do
    name=$(basename "$corpus")
    [[ -x "$build/fuzz/$name" ]] || continue
    work=$(mktemp -d)
    cp -r "$corpus"/. "$work"/
    echo "== $name for ${seconds}s"
    "$build/fuzz/$name" -max_total_time="$seconds" -max_len=65536 -timeout=10 "$work"
    rm -rf "$work"
done
