#!/bin/sh
# Runs a Windows program of this project under Wine (prefix
# build/host/wineprefix) on a private Xvfb display, saves its window as a
# PNG once it has drawn for a few seconds, and ends it with Esc.
# Usage: window_shot.sh FOLDER PROGRAM TITLE OUT.png
# (the program runs in FOLDER; TITLE is its window's exact title; relative
# paths are taken from the top of the source tree).
set -e
cd "$(dirname "$0")/.."
ROOT=$(pwd)
folder=$1
program=$2
title=$3
out=$(realpath -m "$4")

. "$ROOT/tests/support/wine_env.sh"
wine_prefix_init "$ROOT/build/host/wineprefix"
xvfb_start
mkdir -p "$(dirname "$out")"
cd "$folder"
"$WINE" "$program" &
pid=$!
# Whatever happens below, the program does not outlive this script.
trap 'kill $pid 2>/dev/null || true; wineserver -k 2>/dev/null || true; xvfb_stop' EXIT
window=""
i=0
while [ -z "$window" ] && [ $i -lt 600 ]; do
    kill -0 $pid 2>/dev/null || { echo "$program ended before showing its window"; exit 1; }
    window=$(xdotool search --name "^$title\$" 2>/dev/null | head -n 1)
    sleep 0.1
    i=$((i + 1))
done
[ -n "$window" ] || { echo "no window titled $title within 60 s"; exit 1; }
# Time for the first frame-rate measurement to reach the screen.
sleep 5
info=$(xwininfo -id "$window")
x=$(echo "$info" | sed -n 's/.*Absolute upper-left X: *//p')
y=$(echo "$info" | sed -n 's/.*Absolute upper-left Y: *//p')
w=$(echo "$info" | sed -n 's/.*Width: *//p')
h=$(echo "$info" | sed -n 's/.*Height: *//p')
import -window root -crop "${w}x${h}+${x}+${y}" +repage "$out"
echo "saved $4 (${w}x${h})"
xdotool key --window "$window" Escape 2>/dev/null
i=0
while kill -0 $pid 2>/dev/null && [ $i -lt 200 ]; do sleep 0.1; i=$((i + 1)); done
if kill -0 $pid 2>/dev/null; then
    echo "$program did not end on Esc"
    exit 1
fi
wait $pid
