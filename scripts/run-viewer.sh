#!/bin/sh
# Installs what is missing, builds both targets, makes the sample data and
# runs viewer.exe under Wine in build/run: on your display when DISPLAY is
# set (end it with Esc or by closing the window), otherwise on a private
# Xvfb display, where it saves docs/screenshot.png and ends the viewer with
# Esc.
set -e
cd "$(dirname "$0")/.."
ROOT=$(pwd)
sh scripts/install-deps.sh
sh scripts/build.sh

RUN="$ROOT/build/run"
mkdir -p "$RUN"
cp build/win/bin/viewer.exe build/win/bin/tga.dll build/win/bin/font.dll "$RUN/"
cp build/host/samples/*.md3 build/host/samples/*.tga "$RUN/"

. "$ROOT/tests/support/wine_env.sh"
wine_prefix_init "$ROOT/build/host/wineprefix"

if [ -n "$DISPLAY" ]; then
    cd "$RUN"
    exec wine viewer.exe
fi

xvfb_start
mkdir -p "$ROOT/docs"
cd "$RUN"
wine viewer.exe &
viewer=$!
# Whatever happens below, the viewer does not outlive this script.
trap 'kill $viewer 2>/dev/null || true; xvfb_stop' EXIT
window=""
i=0
while [ -z "$window" ] && [ $i -lt 600 ]; do
    kill -0 $viewer 2>/dev/null || { echo "viewer.exe ended before showing its window"; exit 1; }
    window=$(xdotool search --name '^OpenGL$' 2>/dev/null | head -n 1)
    sleep 0.1
    i=$((i + 1))
done
[ -n "$window" ] || { echo "no viewer window within 60 s"; kill $viewer; exit 1; }
# Time for the first frame-rate measurement to reach the screen.
sleep 5
info=$(xwininfo -id "$window")
x=$(echo "$info" | sed -n 's/.*Absolute upper-left X: *//p')
y=$(echo "$info" | sed -n 's/.*Absolute upper-left Y: *//p')
w=$(echo "$info" | sed -n 's/.*Width: *//p')
h=$(echo "$info" | sed -n 's/.*Height: *//p')
import -window root -crop "${w}x${h}+${x}+${y}" +repage "$ROOT/docs/screenshot.png"
echo "saved docs/screenshot.png (${w}x${h})"
xdotool key --window "$window" Escape 2>/dev/null
i=0
while kill -0 $viewer 2>/dev/null && [ $i -lt 200 ]; do sleep 0.1; i=$((i + 1)); done
if kill -0 $viewer 2>/dev/null; then
    echo "viewer.exe did not end on Esc"
    kill $viewer
    exit 1
fi
wait $viewer
