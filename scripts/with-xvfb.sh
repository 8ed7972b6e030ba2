#!/usr/bin/env bash
# Runs a command with an X server of its own: starts Xvfb on a free display, waits until it
# takes connections, runs the command with DISPLAY set, and stops the server again.
# Usage: with-xvfb.sh COMMAND [ARGUMENT...]
# Exits 77 (reported as skipped) when Xvfb is not installed.
set -euo pipefail
if ! command -v Xvfb >/dev/null; then
    echo "skipped: Xvfb not installed"
    exit 77
fi

# Xvfb picks a free display and writes its number to the given descriptor once it listens.
exec {display_fd}<> <(:)
# Without -noreset the server resets whenever its last client leaves, and a program that
# connects during the reset is turned away ("could not connect to display").
Xvfb -displayfd "$display_fd" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
# Wait for the server to be gone: one still shutting down removes its socket, which may by then
# belong to the next server on the same display number.
trap 'kill $xvfb 2>/dev/null || true; wait $xvfb 2>/dev/null || true' EXIT
if ! read -r -t 20 display <&"$display_fd"; then
    echo "Xvfb did not start within 20 seconds" >&2
    exit 1
fi
socket=/tmp/.X11-unix/X$display
deadline=$((SECONDS + 20))
until [[ -S $socket ]]; do
    if ((SECONDS > deadline)); then
        echo "Xvfb's socket $socket did not appear" >&2
        exit 1
    fi
    sleep 0.05
done
export DISPLAY=:$display
"$@"
