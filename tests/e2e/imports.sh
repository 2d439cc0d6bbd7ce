#!/bin/sh
# viewer.exe binds TGA_UploadImage and TGA_UploadImageMemory (every image
# of the game data reaches GL through it) from tga.dll and Font_Build and
# Font_Print from font.dll by name at load time, and font.dll exports
# exactly those two undecorated names.
objdump=x86_64-w64-mingw32-objdump
command -v $objdump >/dev/null 2>&1 || { echo "FAIL: $objdump is not installed"; exit 1; }
fail() {
    echo "FAIL: $*"
    exit 1
}
# Names imported from one DLL: the lines after its "DLL Name" up to the next.
imports_from() {
    $objdump -p "$MD3V_WIN_BIN/viewer.exe" |
        awk -v dll="$1" '/DLL Name:/ { on = (tolower($3) == dll) ; next } on && NF >= 3 && $2 ~ /^[0-9]+$/ && $3 ~ /^[A-Za-z_]/ { print $3 }'
}
[ "$(imports_from tga.dll | sort | tr '\n' ' ')" = "TGA_UploadImage TGA_UploadImageMemory " ] || fail "viewer.exe imports [$(imports_from tga.dll)] from tga.dll"
[ "$(imports_from font.dll | sort | tr '\n' ' ')" = "Font_Build Font_Print " ] ||
    fail "viewer.exe imports [$(imports_from font.dll)] from font.dll"
exports=$($objdump -p "$MD3V_WIN_BIN/font.dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^\t\[ *[0-9]*\] *//p' | tr '\n' ' ')
[ "$exports" = "Font_Build Font_Print " ] || fail "font.dll exports [$exports]"
echo "PASS"
