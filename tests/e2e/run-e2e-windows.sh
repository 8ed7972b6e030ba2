#!/usr/bin/env bash
# Drives the real brimble.exe under Wine by keys alone, as a keyboard user would, on an X server
# of its own, and checks the files it leaves behind against what brimble-cli.exe writes.
# Usage: run-e2e-windows.sh BRIMBLE_EXE BRIMBLE_CLI_EXE MAKE_DEMO_EXE
# Exits 77 (reported as skipped) when Xvfb or xdotool is not installed.
set -euo pipefail
scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
command -v xdotool >/dev/null || { echo "skipped: xdotool not installed"; exit 77; }
[[ ${1:-} == --inside ]] || exec "$scripts/with-xvfb.sh" bash "$0" --inside "$@" # which skips without Xvfb
brimble=$2 cli=$3 make_demo=$4
wine=$scripts/wine-run.sh
work=$(mktemp -d)
pid=
trap '[[ -n $pid ]] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT

fail() { echo "FAIL $scenario: $*"; exit 1; }

# Polls until the shell CONDITION holds, or fails naming WHAT after 30 seconds.
wait_until() {
    local what=$1 end=$((SECONDS + 30))
    until eval "$2"; do
        ((SECONDS < end)) || fail "timed out waiting for $what"
        sleep 0.05
    done
}

# True once there are at least COUNT windows captioned "Brimble 1.1" (the window, then a message
# box over it); fails when the program has ended.
shown() {
    windows=$(xdotool search --onlyvisible --name '^Brimble 1\.1$' 2>/dev/null || true)
    (($(grep -c . <<<"$windows") >= $1)) || { kill -0 "$pid" 2>/dev/null || fail "the program ended"; false; }
}

# Waits for COUNT such windows, then gives the newest the keyboard focus, as a window manager would.
wait_windows() {
    wait_until "$2" "shown $1"
    xdotool windowfocus --sync "$(tail -1 <<<"$windows")" 2>/dev/null
}

# Starts the scenario SCENARIO in a folder made by the demo generator (brimble.ini, saved.txt,
# ROMs, an emulator image, a database); EDIT, when given, is a sed script for its brimble.ini.
start() {
    scenario=$1 folder=$work/$1
    "$wine" "$make_demo" "Z:${folder//\//\\}" >/dev/null
    [[ -z ${2:-} ]] || sed -i "$2" "$folder/brimble.ini"
    cp "$folder/brimble.ini" "$work/$1.ini"
    (cd "$folder" && exec "$wine" --new-server "$brimble") & # a desktop on this X server
    pid=$!
    wait_windows 1 "the window"
}

# Waits for the program to end with status 0.
wait_exit() {
    wait_until "the program to end" '! kill -0 "$pid" 2>/dev/null'
    wait "$pid" || fail "the program ended with status $?"
    pid=
}

start escape_stores_nothing
# From the list to "restore rom list on startup", which Space unchecks.
xdotool key --delay 60 Tab Tab Tab Tab Tab Tab Tab space Escape
wait_exit
cmp -s "$folder/brimble.ini" "$work/$scenario.ini" || fail "brimble.ini changed"
[[ ! -e $folder/demo.gba ]] || fail "an image was written"
echo "PASS $scenario"

# A switch missing from brimble.ini is written when the window closes after the build.
start delete_edit_title_and_build '/^flag190k=/d'
# Delete removes the selected first ROM; "More >>" shows the options panel and the next Tab
# goes to the title box with its text selected; leaving it on the way back stores the title.
xdotool key --delay 60 Delete Tab Tab Tab Tab Tab Tab Tab Tab space Tab
xdotool type --delay 40 "Cave Runner DX"
xdotool key --delay 60 shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab space
wait_windows 2 'the "Done!" message'
xdotool key --delay 60 Return
wait_exit
# The companion, given the list and switches the window left behind, writes the same image.
(cd "$folder" && "$wine" "$cli" build --output cli.gba >/dev/null) || fail "brimble-cli build failed"
cmp -s "$folder/demo.gba" "$folder/cli.gba" || fail "the window's image differs from brimble-cli's"
grep -q '^flag190k=0' <(tr -d '\r' <"$folder/brimble.ini") || fail "the switches were not stored"
grep -aq 'Cave Runner DX' "$folder/goodQuorrel.lst" || fail "the database lacks the typed title"
names=$(tr -d '\r' <"$folder/saved.txt" | sed 's/.*\\//' | tr '\n' '|')
[[ $names == "Moon Harvest (E) [!].nes|Pixel_Knight_(J).nes|Turbo Snail (U).nes|Lantern_Keeper_(U).nes|Sky Garden.nes|" ]] ||
    fail "saved.txt does not list the other five ROMs: $names"
echo "PASS $scenario"
