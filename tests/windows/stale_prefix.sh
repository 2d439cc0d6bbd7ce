#!/bin/sh
# A 64-bit prefix made before 32-bit Wine was installed holds an empty
# syswow64, and with 32-bit Wine present no 64-bit program starts in it: the
# helpers make such a prefix again. Here a fresh prefix has its syswow64
# emptied, and a 64-bit program must then run through wine_run.sh.
# Skipped (77) where 32-bit Wine is missing or cannot run.
# Usage: stale_prefix.sh DIR PROGRAM
support="$(cd "$(dirname "$0")/../support" && pwd)"
. "$support/wine_env.sh"
if reason=$(wine_32bit_unavailable); then
    echo "stale_prefix: skipped, $reason"
    exit 77
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/md3v-prefix.XXXXXX")
trap 'WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
(wine_prefix_init "$work/prefix")
if [ ! -f "$work/prefix/drive_c/windows/syswow64/kernel32.dll" ]; then
    echo "FAIL: a fresh 64-bit prefix has no syswow64/kernel32.dll"
    exit 1
fi
rm -rf "$work/prefix/drive_c/windows/syswow64"/*
if ! sh "$support/wine_run.sh" "$work/prefix" "$1" "$2"; then
    echo "FAIL: $2 did not run in a prefix whose syswow64 was emptied"
    exit 1
fi
echo PASS
