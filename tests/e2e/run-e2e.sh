#!/usr/bin/env bash
# Usage: run-e2e.sh BRIMBLE BRIMBLE_CLI MAKE_DEMO. Starts an X server, a private D-Bus session and the
# accessibility bus, then drives the real brimble program through AT-SPI as a screen reader would.
# Exits 77 (reported as skipped) when Xvfb, D-Bus or pyatspi is not installed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3 # Debian's python3-pyatspi belongs to this interpreter

missing=()
command -v Xvfb >/dev/null || missing+=(Xvfb)
command -v dbus-run-session >/dev/null || missing+=(dbus-run-session)
[[ -x /usr/libexec/at-spi-bus-launcher ]] || missing+=(at-spi-bus-launcher)
"$python" -c 'import pyatspi' 2>/dev/null || missing+=(python3-pyatspi)
((${#missing[@]})) && { echo "skipped: ${missing[*]} not installed"; exit 77; }

if [[ "${1:-}" != --inside ]]; then
    exec dbus-run-session -- bash "$here/run-e2e.sh" --inside "$@" 2> >(grep -v -e 'fd limit' -e 'Activat' -e 'SpiRegistry' >&2)
fi
shift

# Xvfb picks a free display and writes its number to the given descriptor.
exec {display_fd}<> <(:)
Xvfb -displayfd "$display_fd" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
read -r -t 20 display <&"$display_fd"
export DISPLAY=:$display
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
bus=$!
# Wait for the servers to finish: an X server that is still shutting down removes its socket,
# which may by then belong to the next server on the same display number.
trap 'kill $xvfb $bus 2>/dev/null || true; wait $xvfb $bus 2>/dev/null || true' EXIT
# The server is ready once its socket takes a connection.
"$python" -c 'import socket, sys, time
for _ in range(400):
    try: socket.socket(socket.AF_UNIX).connect(f"/tmp/.X11-unix/X{sys.argv[1]}"); break
    except OSError: time.sleep(0.05)' "$display"

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0
export XDG_RUNTIME_DIR=$(mktemp -d)
"$python" "$here/e2e_window.py" "$@"
