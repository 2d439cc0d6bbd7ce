#!/bin/sh
# The Windows zip as a new user meets it: unpacked into an empty folder it
# is one folder with the programs, the sample data and README.txt, whose
# programs need no DLL beyond each other and Windows' own; md3info.exe and
# tgainfo.exe answer for the sample files; viewer.exe
# started there under a fresh Wine prefix shows the posed model and the two
# text lines, and Esc ends it with 0. Usage: zip.sh ZIP (environment as for
# the end-to-end tests).
. "$(dirname "$0")/../e2e/e2e_lib.sh"
zip=$1
[ -f "$zip" ] || fail "no $zip"
folder=$(basename "$zip" .zip)
fresh=$(mktemp -d)
MD3V_WINEPREFIX="$fresh/prefix"
e2e_setup
trap 'e2e_cleanup; WINEPREFIX="$MD3V_WINEPREFIX" wineserver -k 2>/dev/null; rm -rf "$fresh"' EXIT

(cd "$RUN" && cmake -E tar xf "$zip") || fail "cannot unpack $zip"
[ "$(ls -A "$RUN")" = "$folder" ] || fail "the zip does not unpack into the one folder $folder: $(ls -A "$RUN")"
RUN="$RUN/$folder"
files="README.txt base.tga base1.tga base2.tga base3.tga font.dll font.tga head.md3 lower.md3 md3info.exe
rocketl.md3 tga.dll tgainfo.exe upper.md3 viewer.exe"
[ "$(ls -A "$RUN" | tr '\n' ' ')" = "$(echo $files) " ] || fail "the folder holds: $(ls -A "$RUN" | tr '\n' ' ')"
for file in $files; do
    [ "$file" = README.txt ] || grep -q "$file" "$RUN/README.txt" || fail "README.txt does not mention $file"
done

# Every DLL a program imports is in the folder or one of Windows' own, as
# the fresh prefix's system32 has them: no MinGW runtime.
system32="$MD3V_WINEPREFIX/drive_c/windows/system32"
for program in viewer.exe tga.dll font.dll md3info.exe tgainfo.exe; do
    for dll in $(x86_64-w64-mingw32-objdump -p "$RUN/$program" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
        [ -n "$(find "$RUN" "$system32" -maxdepth 1 -iname "$dll")" ] ||
            fail "$program imports $dll, which is neither in the zip nor part of Windows"
    done
done

# The inspection programs, from a command prompt in the folder: their first
# line for a file, then their exit status.
inspect() {
    (cd "$RUN" && WINEPREFIX="$MD3V_WINEPREFIX" wine "$@" 2>/dev/null; echo "exit $?") | tr -d '\r' | sed -n '1p;$p'
}
[ "$(inspect md3info.exe lower.md3)" = "$(printf 'lower.md3: ok\nexit 0')" ] ||
    fail "md3info.exe lower.md3: $(inspect md3info.exe lower.md3)"
[ "$(inspect tgainfo.exe base.tga)" = "$(printf 'base.tga: ok\nexit 0')" ] ||
    fail "tgainfo.exe base.tga: $(inspect tgainfo.exe base.tga)"
[ "$(inspect md3info.exe base.tga)" = "$(printf 'base.tga: refused: not an MD3 file (no IDP3 ident)\nexit 1')" ] ||
    fail "md3info.exe base.tga: $(inspect md3info.exe base.tga)"

e2e_start
e2e_wait_for_text shot
e2e_check_model_at_centre shot
e2e_check_text shot
e2e_quit
echo "PASS"
