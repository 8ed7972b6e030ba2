#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer (and AddressSanitizer) and runs each on a copy
# of its corpus for a bounded time. Usage: fuzz/run.sh [SECONDS per target, default 60]
# The compiler is the installed clang: CC and CXX when set, else clang, else the highest
# clang-NN on the PATH.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build/fuzz

find_clang() {
    if command -v clang++ >/dev/null 2>&1 && command -v clang >/dev/null 2>&1; then
        echo "clang clang++"
        return
    fi
    local version
    version=$(compgen -c clang++- | sed -n 's/^clang++-\([0-9][0-9]*\)$/\1/p' | sort -n | tail -1)
    if [[ -n $version ]] && command -v "clang-$version" >/dev/null 2>&1; then
        echo "clang-$version clang++-$version"
        return
    fi
    echo "fuzz/run.sh: no clang found (install clang, or set CC and CXX)" >&2
    exit 1
}

if [[ -n ${CC:-} && -n ${CXX:-} ]]; then
    cc=$CC cxx=$CXX
else
    read -r cc cxx < <(find_clang)
fi
echo "== fuzzers built with $cxx"

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER="$cc" \
    -DCMAKE_CXX_COMPILER="$cxx" -DBRIMBLE_BUILD_FUZZ=ON -DBRIMBLE_BUILD_TESTS=OFF -DBRIMBLE_BUILD_UI=OFF \
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
