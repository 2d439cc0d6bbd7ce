#!/bin/sh
# A Windows zip (-win64 or -win32) as a new user meets it: unpacked into an
# empty folder it is one folder with the programs, the sample data and
# README.txt at the top and the kit for building against tga.dll in include/
# and lib/; its programs are of the zip's width and need no DLL beyond each
# other and Windows' own; tga.dll exports the five undecorated names;
# md3info.exe and tgainfo.exe answer for the sample files; viewer.exe started
# there under a fresh Wine prefix of that width shows the posed model and the
# two text lines, and Esc ends it with 0. tgaconv.exe converts run-length
# encoded files byte for byte as the host's tgaconv does. Its programs are
# hardened and stamped with the build tree's SOURCE_DATE_EPOCH
# (pe_check.py); the licence and the third-party notices have Windows line
# ends. Usage: zip.sh ZIP TREE [HOST_TGACONV] (TREE the build tree that
# packed it; environment as for the end-to-end tests).
. "$(dirname "$0")/../e2e/e2e_lib.sh"
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
zip=$1
host_tgaconv=$3
[ -f "$zip" ] || fail "no $zip"
epoch=$(sed -n 's/^MD3V_SOURCE_DATE_EPOCH:STRING=//p' "$2/CMakeCache.txt")
[ -n "$epoch" ] || fail "$2 has no MD3V_SOURCE_DATE_EPOCH"
folder=$(basename "$zip" .zip)
case "$folder" in
*-win64) format=pei-x86-64 import_format=pe-x86-64 width=64; unset WINEARCH ;;
*-win32) format=pei-i386 import_format=pe-i386 width=32; export WINEARCH=win32 ;;
*) fail "$zip is neither a win64 nor a win32 zip" ;;
esac
fresh=$(mktemp -d)
trap 'rm -rf "$fresh"' EXIT
RUN="$fresh/unpacked"
mkdir "$RUN"
(cd "$RUN" && cmake -E tar xf "$zip") || fail "cannot unpack $zip"
[ "$(ls -A "$RUN")" = "$folder" ] || fail "the zip does not unpack into the one folder $folder: $(ls -A "$RUN")"
RUN="$RUN/$folder"
files="LICENSE.txt README.txt THIRD-PARTY.txt base.tga base1.tga base2.tga base3.tga font.dll font.tga head.md3
include/tga.h lib/libtga.dll.a lib/tga.def lib/tga.lib lower.md3 md3info.exe rocketl.md3 tga.dll tgaconv.exe tgainfo.exe
upper.md3 viewer.exe"
found=$(cd "$RUN" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | tr '\n' ' ')
[ "$found" = "$(echo $files) " ] || fail "the folder holds: $found"
for file in $files; do
    [ "$file" = README.txt ] || grep -q "$(basename "$file")" "$RUN/README.txt" || fail "README.txt does not mention $file"
done
cmp -s "$RUN/include/tga.h" "$source_dir/tga/tga.h" || fail "include/tga.h is not tga/tga.h"
sed 's/$/\r/' "$source_dir/LICENSE" | cmp -s - "$RUN/LICENSE.txt" || fail "LICENSE.txt is not LICENSE with Windows line ends"
[ "$(grep -c "$(printf '\r')\$" "$RUN/THIRD-PARTY.txt")" = "$(wc -l <"$RUN/THIRD-PARTY.txt")" ] ||
    fail "THIRD-PARTY.txt has lines without a Windows line end"
grep -q "Bitstream Vera" "$RUN/THIRD-PARTY.txt" || fail "THIRD-PARTY.txt lacks the font's notice"
cmp -s "$RUN/lib/tga.def" "$source_dir/tga/tga.def" || fail "lib/tga.def is not tga/tga.def"
# Both import libraries are for the zip's width (that tga.lib links is
# msvc_consumer.sh's part); objdump calls short import members pei-.
for library in libtga.dll.a tga.lib; do
    formats=$(x86_64-w64-mingw32-objdump -f "$RUN/lib/$library" | sed -n 's/.*file format pei*-/pe-/p' | sort -u)
    [ "$formats" = "$import_format" ] || fail "lib/$library is $formats, not $import_format"
done
sh "$source_dir/tests/windows/tga_dll_exports.sh" "$RUN/tga.dll" || fail "the zip's tga.dll exports other names"

# Every program is of the zip's width. The x86-64 objdump reads 32-bit
# programs too.
programs="viewer.exe tga.dll font.dll md3info.exe tgainfo.exe tgaconv.exe"
for program in $programs; do
    x86_64-w64-mingw32-objdump -f "$RUN/$program" | grep -q "file format $format\$" ||
        fail "$program is not $format"
done
(cd "$RUN" && /usr/bin/python3 "$source_dir/tests/release/pe_check.py" $width "$epoch" ./*.exe ./*.dll) || fail "pe_check.py"

# What is left takes a fresh Wine prefix of the zip's width.
if [ $width = 32 ] && reason=$(wine_32bit_unavailable); then
    echo "zip.sh: the checks without Wine passed; the rest skipped, since $reason"
    exit 77
fi
MD3V_WINEPREFIX="$fresh/prefix"
unpacked=$RUN
e2e_setup
RUN=$unpacked
trap 'e2e_cleanup; WINEPREFIX="$MD3V_WINEPREFIX" wineserver -k 2>/dev/null; rm -rf "$fresh"' EXIT

# Every DLL a program imports is in the folder or one of Windows' own, as the
# fresh prefix's system32 has them: no MinGW runtime.
system32="$MD3V_WINEPREFIX/drive_c/windows/system32"
for program in $programs; do
    for dll in $(x86_64-w64-mingw32-objdump -p "$RUN/$program" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
        [ -n "$(find "$RUN" "$system32" -maxdepth 1 -iname "$dll")" ] ||
            fail "$program imports $dll, which is neither in the zip nor part of Windows"
    done
done

# The inspection programs, from a command prompt in the folder: their first
# line for a file, then their exit status.
inspect() {
    (cd "$RUN" && WINEPREFIX="$MD3V_WINEPREFIX" "$WINE" "$@" 2>/dev/null; echo "exit $?") | tr -d '\r' | sed -n '1p;$p'
}
[ "$(inspect md3info.exe lower.md3)" = "$(printf 'lower.md3: ok\nexit 0')" ] ||
    fail "md3info.exe lower.md3: $(inspect md3info.exe lower.md3)"
[ "$(inspect tgainfo.exe base.tga)" = "$(printf 'base.tga: ok\nexit 0')" ] ||
    fail "tgainfo.exe base.tga: $(inspect tgainfo.exe base.tga)"
[ "$(inspect md3info.exe base.tga)" = "$(printf 'base.tga: refused: not an MD3 file (no IDP3 ident)\nexit 1')" ] ||
    fail "md3info.exe base.tga: $(inspect md3info.exe base.tga)"

# tgaconv.exe on run-length encoded files, from a folder it walks: a 3 x 2
# image whose first packet crosses its rows, stored top to bottom, and a
# 200 x 64 one of runs of 100 and raw packets of 28 random pixels, so that
# packets cross rows all over. Its outputs equal the host tgaconv's.
if [ -n "$host_tgaconv" ]; then
    . "$source_dir/tests/support/tga_bytes.sh"
    mkdir "$RUN/rle"
    tga_rle_3x2 "$RUN/rle/small.tga"
    {
        bytes 0 0 10 0 0 0 0 0 0 0 0 0 200 0 64 0 24 32
        i=0
        while [ $i -lt 100 ]; do
            bytes 227 $i $((2 * i)) $((3 * i)) 27
            head -c 84 /dev/urandom
            i=$((i + 1))
        done
    } >"$RUN/rle/large.tga"
    "$host_tgaconv" -o "$fresh/host" "$RUN/rle" >/dev/null || fail "the host tgaconv refuses the files"
    said=$(cd "$RUN" && WINEPREFIX="$MD3V_WINEPREFIX" "$WINE" tgaconv.exe -o converted rle 2>/dev/null; echo "exit $?")
    [ "$(echo "$said" | tr -d '\r')" = "$(printf 'tgaconv: 2 converted, 0 written unchanged, 0 refused\nexit 0')" ] ||
        fail "tgaconv.exe -o converted rle: $said"
    for file in small.tga large.tga; do
        cmp -s "$fresh/host/$file" "$RUN/converted/$file" || fail "tgaconv.exe's $file differs from the host's"
    done
    rm -r "$RUN/rle" "$RUN/converted"
    echo "tgaconv.exe: small.tga and large.tga byte-identical to the host tgaconv's"
fi

e2e_start
e2e_wait_for_text shot
e2e_check_model_at_centre shot
e2e_check_text shot
e2e_quit
echo "PASS"
