#!/bin/sh
# Installs what is missing, builds both targets and packs the Windows zip
# build/win/md3viewer-<version>-win64.zip: viewer.exe, tga.dll, font.dll, the
# sample data and a README.txt in one folder, to unzip and run.
set -e
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh package
sh scripts/build.sh
cd build/win
cpack -G ZIP
