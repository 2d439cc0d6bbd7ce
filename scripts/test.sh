#!/bin/sh
# Installs what is missing, builds both targets (host code under ASan and
# UBSan) and runs every test: the bounded fuzz runs, then the unit tests
# against Mesa and the Windows programs under Wine and Xvfb, so that CTest's
# summary closes the output, followed only by the line that names the 32-bit
# Windows tests skipped on a machine that cannot run them.
set -e
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh test
sh scripts/build.sh -DMD3V_SANITIZE=ON
# Bounded fuzz runs of the file readers and uploads in their own clang tree
# (build/fuzz): the seven targets share about four minutes, 35 s each.
sh scripts/fuzz.sh 35
cd build/host
status=0
ctest --output-on-failure -j 2 || status=$?
# A green run on a machine without 32-bit programs says what it left out.
. ../../tests/support/wine_env.sh
if reason=$(wine_32bit_unavailable); then
    skipped=$(ctest -N -L wine32 -FS '.*' | sed -n 's/^ *Test *#[0-9]*: //p' | tr '\n' ' ')
    echo "skipped, since $reason: ${skipped% }"
fi
exit $status
