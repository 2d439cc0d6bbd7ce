#!/bin/sh
# Checks the cross-built tga.dll: it exports exactly TGA_UploadCube,
# TGA_UploadDOT3, TGA_UploadDUDV, TGA_UploadImage and TGA_UploadImageMemory,
# undecorated, at ordinals 1 to 5 in that order (the first four kept theirs
# when the fifth came), and carries its version resource.
# Usage: tga_dll_exports.sh PATH/tga.dll
dll=$1
fail=0
if [ ! -f "$dll" ]; then
    echo "FAIL: $dll does not exist"
    exit 1
fi

# The name table of the export directory, one "ordinal name" per line; the
# table gives each name's ordinal less the base, which must be 1.
listing=$(x86_64-w64-mingw32-objdump -p "$dll")
echo "$listing" | grep -q "Ordinal Base 1\$" || { echo "FAIL: the ordinal base is not 1"; fail=1; }
exports=$(echo "$listing" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^[[:space:]]*\[ *\([0-9]*\)\] /\1 /p' | sort)
expected=$(printf '%s\n' "0 TGA_UploadCube" "1 TGA_UploadDOT3" "2 TGA_UploadDUDV" "3 TGA_UploadImage" \
    "4 TGA_UploadImageMemory")
if [ "$exports" != "$expected" ]; then
    echo "FAIL: exports are:"
    echo "$exports"
    echo "expected:"
    echo "$expected"
    fail=1
fi
if ! x86_64-w64-mingw32-objdump -p "$dll" | grep -q "^Name[[:space:]].*tga.dll"; then
    echo "FAIL: export directory does not name tga.dll"
    fail=1
fi

# String table: each key followed by its value, in UTF-16 as windres writes it.
strings=$(x86_64-w64-mingw32-strings -n 1 -el "$dll")
expect_value() {
    if ! printf '%s\n' "$strings" | grep -A1 -Fx "$1" | tail -n1 | grep -qFx "$2"; then
        echo "FAIL: version string $1 is not \"$2\""
        fail=1
    fi
}
if ! printf '%s\n' "$strings" | grep -qx "040904[bB]0"; then
    echo "FAIL: no StringFileInfo block 040904B0"
    fail=1
fi
expect_value FileDescription "TGA loader for 8/24/32/DuDv/DOT3 images"
expect_value FileVersion "1.5"
expect_value ProductVersion "1.5"
expect_value InternalName "tga"
expect_value OriginalFilename "tga.dll"
expect_value ProductName "tga"

# VS_FIXEDFILEINFO: signature, structure version, then file and product
# version 1.0.0.4 as two little-endian 32-bit pairs each.
fixed=bd04effe0000010000000100040000000000010004000000
if ! od -An -v -tx1 "$dll" | tr -d ' \n' | grep -q "$fixed"; then
    echo "FAIL: fixed file info is not 1.0.0.4 / 1.0.0.4"
    fail=1
fi

[ $fail -eq 0 ] && echo "tga.dll: five exports and version resource as expected"
exit $fail
