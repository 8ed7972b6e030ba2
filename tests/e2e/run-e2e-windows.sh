#!/usr/bin/env bash
# Drives the real brimble.exe under Wine by keys alone, as a keyboard user would, on an X server
# of its own, and checks the files it leaves behind against what brimble-cli.exe writes.
# Usage: run-e2e-windows.sh BRIMBLE_EXE BRIMBLE_CLI_EXE MAKE_DEMO_EXE
# Exits 77 (reported as skipped) when Xvfb or xdotool is not installed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scripts=$(cd "$here/../../scripts" && pwd)
if ! command -v xdotool >/dev/null || ! command -v Xvfb >/dev/null; then
    echo "skipped: Xvfb or xdotool not installed"
    exit 77
fi
if [[ "${1:-}" != --inside ]]; then
    exec "$scripts/with-xvfb.sh" bash "$0" --inside "$@"
fi
shift
brimble=$1 cli=$2 make_demo=$3
# Wine's desktop process keeps the display it was started on: a Wine server left running by a
# program started without this X server (a prefix set up a moment ago) would give our window
# no display at all. Stop it, so that the programs below start one on this display.
wineserver=$(command -v wineserver64 || echo /usr/lib/wine/wineserver64)
"$wineserver" -k 2>/dev/null || true
"$wineserver" -w 2>/dev/null || true
wine=$scripts/wine-run.sh
work=$(mktemp -d)
pid=
trap '[[ -n $pid ]] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
deadline_seconds=30

fail() {
    echo "FAIL $scenario: $*"
    exit 1
}

# A folder made by the demo generator: brimble.ini, saved.txt, ROMs, an emulator image, a database.
make_folder() {
    "$wine" "$make_demo" "Z:${work//\//\\}\\$1" >/dev/null
    echo "$work/$1"
}

# Waits until there are at least COUNT windows captioned "Brimble 1.1" (the window, then a
# message box over it), or fails after the deadline; then gives the newest the keyboard focus,
# as a window manager would.
wait_windows() {
    local count=$1 what=$2 end=$((SECONDS + deadline_seconds)) windows
    while :; do
        windows=$(xdotool search --onlyvisible --name '^Brimble 1\.1$' 2>/dev/null || true)
        (($(grep -c . <<<"$windows") >= count)) && break
        kill -0 "$pid" 2>/dev/null || fail "the program ended while waiting for $what"
        ((SECONDS < end)) || fail "timed out waiting for $what"
        sleep 0.05
    done
    xdotool windowfocus --sync "$(tail -1 <<<"$windows")" 2>/dev/null
}

start() {
    (cd "$1" && exec "$wine" "$brimble") &
    pid=$!
    wait_windows 1 "the window"
}

keys() {
    xdotool key --delay 60 "$@"
}

wait_exit() {
    local end=$((SECONDS + deadline_seconds))
    while kill -0 "$pid" 2>/dev/null; do
        ((SECONDS < end)) || fail "the program did not end"
        sleep 0.05
    done
    wait "$pid" || fail "the program ended with status $?"
    pid=
}

scenario=escape_stores_nothing
folder=$(make_folder escape)
cp "$folder/brimble.ini" "$work/escape.ini"
start "$folder"
# From the list to "restore rom list on startup", which Space unchecks.
keys Tab Tab Tab Tab Tab Tab Tab space Escape
wait_exit
cmp -s "$folder/brimble.ini" "$work/escape.ini" || fail "brimble.ini changed"
[[ ! -e $folder/demo.gba ]] || fail "an image was written"
echo "PASS $scenario"

scenario=delete_edit_title_and_build
folder=$(make_folder build)
# A switch missing from brimble.ini is written when the window closes after the build.
sed -i '/^flag190k=/d' "$folder/brimble.ini"
start "$folder"
# Delete removes the selected first ROM; "More >>" shows the options panel and the next Tab
# goes to the title box with its text selected; leaving it on the way back stores the title.
keys Delete Tab Tab Tab Tab Tab Tab Tab Tab space Tab
xdotool type --delay 40 "Cave Runner DX"
keys shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab space
wait_windows 2 'the "Done!" message'
keys Return
wait_exit
# The companion, given the list and switches the window left behind, writes the same image.
[[ -f $folder/demo.gba ]] || fail "no image written"
(cd "$folder" && "$wine" "$cli" build --output cli.gba >/dev/null) || fail "brimble-cli build failed"
cmp -s "$folder/demo.gba" "$folder/cli.gba" || fail "the window's image differs from brimble-cli's"
grep -q '^flag190k=0' <(tr -d '\r' <"$folder/brimble.ini") || fail "the switches were not stored"
grep -aq 'Cave Runner DX' "$folder/goodQuorrel.lst" || fail "the database lacks the typed title"
names=$(tr -d '\r' <"$folder/saved.txt" | sed 's/.*\\//')
[[ $(wc -l <<<"$names") -eq 5 ]] || fail "saved.txt does not list five ROMs: $names"
! grep -q 'Cave_Runner' <<<"$names" || fail "the deleted ROM is still in saved.txt"
echo "PASS $scenario"
