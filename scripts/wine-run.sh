#!/usr/bin/env bash
# Runs a Windows program under Wine, quietly, in the prefix named by WINEPREFIX (a private one
# under the temporary folder when it is not set).
export WINEDEBUG=-all
export WINEPREFIX=${WINEPREFIX:-${TMPDIR:-/tmp}/brimble-wine-$(id -u)}
wine=/usr/lib/wine/wine64
command -v wine64 >/dev/null 2>&1 && wine=$(command -v wine64)
exec "$wine" "$@"
