#!/usr/bin/env bash
# Installs what Brimble needs, builds it, makes a folder of made-up sample files in ./demo
# and builds a compilation from them with brimble-cli.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh run
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRIMBLE_BUILD_TESTS=OFF >/dev/null
cmake --build "$root/build/release" -j "$(nproc)" --target brimble-cli brimble-make-demo

rm -rf "$root/demo"
"$root/build/release/tests/demo/brimble-make-demo" "$root/demo"
cd "$root/demo"
echo "Building demo.gba from the sample files in $root/demo (settings in brimble.ini):"
"$root/build/release/src/cli/brimble-cli" build
