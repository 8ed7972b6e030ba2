#!/usr/bin/env bash
# Runs a Windows program under Wine, quietly, in the prefix named by WINEPREFIX (a private one
# under the temporary folder when it is not set).
# With --new-server first, the prefix's Wine server is stopped before the program starts: Wine's
# desktop process keeps the display it was started on, so a server left running by a program
# started without the current X server (wineboot setting up the prefix a moment ago) would give
# the program's windows no display at all.
export WINEDEBUG=-all
export WINEPREFIX=${WINEPREFIX:-${TMPDIR:-/tmp}/brimble-wine-$(id -u)}
wine=/usr/lib/wine/wine64
command -v wine64 >/dev/null 2>&1 && wine=$(command -v wine64)
if [[ ${1:-} == --new-server ]]; then
    shift
    wineserver=$(command -v wineserver64 || echo /usr/lib/wine/wineserver64)
    { "$wineserver" -k; "$wineserver" -w; } 2>/dev/null || true
fi
exec "$wine" "$@"
