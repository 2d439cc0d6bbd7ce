#!/bin/sh
# Installs what is missing, builds both targets, makes the sample data and
# runs viewer.exe under Wine in build/run: on your display when DISPLAY is
# set (end it with Esc or by closing the window), otherwise on a private
# Xvfb display, where it saves build/screenshot.png and ends the viewer with
# Esc. (scripts/update-screenshots.sh refreshes the README's pictures.)
set -e
cd "$(dirname "$0")/.."
ROOT=$(pwd)
sh scripts/install-deps.sh
sh scripts/build.sh

RUN="$ROOT/build/run"
mkdir -p "$RUN"
cp build/win/bin/viewer.exe build/win/bin/tga.dll build/win/bin/font.dll "$RUN/"
cp build/host/samples/*.md3 build/host/samples/*.tga "$RUN/"

if [ -n "$DISPLAY" ]; then
    . "$ROOT/tests/support/wine_env.sh"
    wine_prefix_init "$ROOT/build/host/wineprefix"
    cd "$RUN"
    exec "$WINE" viewer.exe
fi
exec sh scripts/window_shot.sh "$RUN" viewer.exe OpenGL build/screenshot.png
