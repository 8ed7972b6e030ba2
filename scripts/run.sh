#!/usr/bin/env bash
# Installs what Brimble needs, builds it, makes a folder of made-up sample files in ./demo and
# opens the window there, ready to build. Without a display it builds the demo with brimble-cli.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh run
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRIMBLE_BUILD_TESTS=OFF >/dev/null
cmake --build "$root/build/release" -j "$(nproc)" --target brimble brimble-cli brimble-make-demo

rm -rf "$root/demo"
"$root/build/release/tools/brimble-make-demo" "$root/demo"
cd "$root/demo"
if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
    echo "Opening Brimble in $root/demo; the build button writes demo/demo.gba."
    exec "$root/build/release/src/qt/brimble"
fi
echo "No display to open the window on: building demo.gba with brimble-cli instead."
"$root/build/release/src/cli/brimble-cli" build
