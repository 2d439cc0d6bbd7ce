#!/bin/sh
# Installs what is missing, builds both targets (host code under ASan and
# UBSan) and runs every test: the bounded fuzz runs, then the unit tests
# against Mesa and the Windows programs under Wine and Xvfb, so that CTest's
# summary closes the output.
set -e
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh test
sh scripts/build.sh -DMD3V_SANITIZE=ON
# Bounded fuzz runs of the file readers and uploads, 60 s each, in their own
# clang tree (build/fuzz).
sh scripts/fuzz.sh 60
cd build/host
ctest --output-on-failure -j 2
