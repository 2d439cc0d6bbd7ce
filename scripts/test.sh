#!/bin/sh
# Installs what is missing, builds both targets (host code under ASan and
# UBSan) and runs every test: unit tests against Mesa, the Windows programs
# under Wine and Xvfb, and the bounded fuzz runs.
set -e
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh
sh scripts/build.sh -DMD3V_SANITIZE=ON
cd build/host
ctest --output-on-failure -j 2
cd ../..
# Bounded fuzz runs of the two file readers, 60 s each, in their own clang
# tree (build/fuzz).
sh scripts/fuzz.sh 60
