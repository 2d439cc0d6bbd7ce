#!/bin/sh
# Installs what is missing, builds every tree and packs the Windows zips
# build/win/md3viewer-<version>-win64.zip and
# build/win32/md3viewer-<version>-win32.zip: viewer.exe, tga.dll, font.dll,
# the sample data and a README.txt in one folder, to unzip and run, with
# include/ and lib/ for building against tga.dll.
set -e
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh package
sh scripts/build.sh
(cd build/win && cpack -G ZIP)
(cd build/win32 && cpack -G ZIP)
