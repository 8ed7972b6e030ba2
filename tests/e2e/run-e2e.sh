#!/usr/bin/env bash
# Usage: run-e2e.sh BRIMBLE BRIMBLE_CLI MAKE_DEMO. Starts an X server, a private D-Bus session and the
# accessibility bus, then drives the real brimble program through AT-SPI as a screen reader would.
# Exits 77 (reported as skipped) when Xvfb, D-Bus or pyatspi is not installed (with-xvfb.sh checks Xvfb).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3 # Debian's python3-pyatspi belongs to this interpreter

missing=()
command -v dbus-run-session >/dev/null || missing+=(dbus-run-session)
[[ -x /usr/libexec/at-spi-bus-launcher ]] || missing+=(at-spi-bus-launcher)
"$python" -c 'import pyatspi' 2>/dev/null || missing+=(python3-pyatspi)
((${#missing[@]})) && { echo "skipped: ${missing[*]} not installed"; exit 77; }

if [[ "${1:-}" != --inside ]]; then
    exec dbus-run-session -- "$here/../../scripts/with-xvfb.sh" bash "$here/run-e2e.sh" --inside "$@" \
        2> >(grep -v -e 'fd limit' -e 'Activat' -e 'SpiRegistry' >&2)
fi
shift

/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
bus=$!

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0
export XDG_RUNTIME_DIR=$(mktemp -d)
trap 'kill $bus 2>/dev/null || true; wait $bus 2>/dev/null || true; rm -rf "$XDG_RUNTIME_DIR"' EXIT
"$python" "$here/e2e_window.py" "$@"
