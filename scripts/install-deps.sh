#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Brimble need.
# Usage: scripts/install-deps.sh [run|test]   (run: enough to build and start the tool)
set -euo pipefail

run_packages=(cmake ninja-build g++ libcli11-dev qt6-base-dev qt6-svg-dev libqt6svg6 qt6-qpa-plugins libstb-dev zlib1g-dev xvfb xauth librsvg2-bin groff-base)
test_packages=(googletest libgtest-dev libbenchmark-dev clang-format
               g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine64 at-spi2-core dbus dbus-x11 python3-pyatspi
               desktop-file-utils appstream file dpkg-dev)

packages=("${run_packages[@]}")
if [[ "${1:-test}" == test ]]; then
    packages+=("${test_packages[@]}")
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
if ((${#missing[@]})); then
    sudo=""
    [[ $(id -u) -eq 0 ]] || sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
