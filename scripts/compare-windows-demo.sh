#!/usr/bin/env bash
# Builds the demo with the Linux programs and with the Windows programs under Wine, and checks
# that both write the same image byte for byte and print the same info lines (line ends aside).
# Usage: compare-windows-demo.sh WINDOWS_MAKE_DEMO WINDOWS_CLI LINUX_MAKE_DEMO LINUX_CLI
set -euo pipefail
windows_demo=$1 windows_cli=$2 linux_demo=$3 linux_cli=$4
wine=$(dirname "$0")/wine-run.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$linux_demo" "$work/linux" >/dev/null
"$wine" "$windows_demo" "$work/windows" >/dev/null

(cd "$work/linux" && "$linux_cli" build >build.txt &&
    "$linux_cli" info --db names.dat --db goodQuorrel.lst roms/*.nes >info.txt)
(cd "$work/windows" && "$wine" "$windows_cli" build >build.txt &&
    "$wine" "$windows_cli" info --db names.dat --db goodQuorrel.lst roms/*.nes >info.txt)

status=0
if cmp -s "$work/linux/demo.gba" "$work/windows/demo.gba"; then
    echo "demo.gba: identical ($(stat -c %s "$work/linux/demo.gba") bytes)"
else
    echo "demo.gba: the Windows image differs from the Linux image"
    cmp "$work/linux/demo.gba" "$work/windows/demo.gba" || true
    status=1
fi
for output in build info; do
    if diff <(tr -d '\r' <"$work/linux/$output.txt") <(tr -d '\r' <"$work/windows/$output.txt"); then
        echo "$output lines: identical"
    else
        echo "$output lines differ"
        status=1
    fi
done
if [[ "$(tr -d '\r' <"$work/windows/saved.txt" | head -1)" != 'roms\Cave_Runner_(U).nes' ]]; then
    echo "saved.txt on Windows does not hold backslash paths"
    status=1
fi
exit $status
