#!/bin/sh
# Runs one Windows program under Wine on a private Xvfb display and returns
# its exit code: wine_run.sh PREFIX_DIR WORK_DIR PROGRAM [ARGS...]
set -e
. "$(dirname "$0")/wine_env.sh"
prefix=$1; work=$2; shift 2
# A 32-bit program runs in a prefix of its own made with WINEARCH=win32.
wine_prefix_init "$prefix" "${WINEARCH:-win64}"
xvfb_start
cd "$work"
set +e
"$WINE" "$@"
rc=$?
wineserver -k 2>/dev/null
exit $rc
