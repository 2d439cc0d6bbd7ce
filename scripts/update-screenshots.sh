#!/bin/sh
# Refreshes the README's pictures, each taken on a private Xvfb display:
#   docs/screenshot.png  viewer.exe with the sample data (in build/run)
#   docs/example.png     tga_example.exe with its data (in build/example)
# Run it after a change that shows on screen, and commit both files.
set -e
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh
sh scripts/build.sh

mkdir -p build/run build/example
cp build/win/bin/viewer.exe build/win/bin/tga.dll build/win/bin/font.dll build/run/
cp build/host/samples/*.md3 build/host/samples/*.tga build/run/
cp build/win/bin/tga_example.exe build/win/bin/tga.dll build/win/bin/font.dll build/example/
cp build/host/samples/font.tga build/host/example_data/*.tga build/example/

sh scripts/window_shot.sh build/run viewer.exe OpenGL docs/screenshot.png
sh scripts/window_shot.sh build/example tga_example.exe "tga example" docs/example.png
