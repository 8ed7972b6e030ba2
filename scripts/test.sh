#!/usr/bin/env bash
# Installs what the tests need, builds, and runs every test: the suite in a normal build and
# again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

scripts/install-deps.sh test

configure_and_test() {
    local name=$1
    shift
    echo "== $name build"
    cmake -S "$root" -B "$root/build/$name" -G Ninja "$@" >/dev/null
    cmake --build "$root/build/$name" -j "$jobs"
    echo "== $name tests"
    ctest --test-dir "$root/build/$name" --output-on-failure -j "$jobs"
}

configure_and_test normal -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRIMBLE_BUILD_BENCH=ON
echo "== Debian package"
scripts/check-package.sh "$root/build/normal"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    configure_and_test sanitize -DCMAKE_BUILD_TYPE=Debug -DBRIMBLE_SANITIZE=address,undefined

# Windows: the core, the settings, the window and brimble-cli cross-built with MinGW-w64, their
# tests run under Wine in a fresh prefix, the demo compared with the Linux build, and the ZIP made.
echo "== windows build"
cmake -S "$root" -B "$root/build/windows" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DBRIMBLE_HOST_BUILD="$root/build/normal" >/dev/null
cmake --build "$root/build/windows" -j "$jobs"
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/brimble-wine.XXXXXX")
export WINEPREFIX
# The Wine server lingers a moment after the last program and may still write to the prefix:
# stop it and wait for it before removing the prefix.
remove_wine_prefix() {
    /usr/lib/wine/wineserver64 -k >/dev/null 2>&1 || true
    /usr/lib/wine/wineserver64 -w >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX" || true
}
trap remove_wine_prefix EXIT
echo "== windows tests (Wine)"
scripts/wine-run.sh wineboot --init >/dev/null 2>&1 || true
ctest --test-dir "$root/build/windows" --output-on-failure -j "$jobs"
(cd "$root/build/windows" && cpack -G ZIP >/dev/null && echo "Windows ZIP: $(ls "$root"/build/windows/*.zip)")
