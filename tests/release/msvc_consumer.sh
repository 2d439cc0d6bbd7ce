#!/bin/sh
# A program built for the MSVC ABI against the zip's kit, as a Visual C++
# user would build one: msvc_consumer.c compiled by clang for
# <arch>-pc-windows-msvc with the kit's include/tga.h alone, linked by
# lld-link against lib/tga.lib (and MinGW's import libraries for Windows' own
# DLLs: Debian has no Windows SDK), then run beside the zip's tga.dll under
# Wine of the zip's width. The 32-bit build makes __stdcall the default, as
# MSVC's /Gz does, so it links only if tga.h states __cdecl. Where programs
# of that width cannot run, it is built and linked, then skipped (77).
# Usage: msvc_consumer.sh ZIP WINE_PREFIX_DIR
here=$(cd "$(dirname "$0")" && pwd)
zip=$1
prefix=$2
fail() {
    echo "FAIL: $*"
    exit 1
}
[ -f "$zip" ] || fail "no $zip"
case "$(basename "$zip")" in
*-win64.zip) target=x86_64-pc-windows-msvc machine=x64 mingw=x86_64-w64-mingw32 width=win64 cflags="" link_flags="" ;;
# MinGW's import libraries carry no safe exception handler table.
*-win32.zip) target=i686-pc-windows-msvc machine=x86 mingw=i686-w64-mingw32 width=win32 cflags=-mrtd link_flags=/safeseh:no ;;
*) fail "$zip is neither a win64 nor a win32 zip" ;;
esac
for tool in clang lld-link wine; do
    command -v $tool >/dev/null 2>&1 || fail "$tool is not installed"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && cmake -E tar xf "$zip") || fail "cannot unpack $zip"
kit="$work/$(basename "$zip" .zip)"
# No C runtime to start the program: no builtins that could turn into calls
# to one either.
clang --target=$target -c -O0 -fno-builtin -Wall -Wextra -Werror $cflags -I "$kit/include" \
    "$here/msvc_consumer.c" -o "$work/msvc_consumer.obj" || fail "msvc_consumer.c does not compile against include/tga.h"
system=/usr/$mingw/lib
lld-link /nologo /nodefaultlib /entry:consumer_start /subsystem:console /machine:$machine $link_flags \
    /out:"$kit/msvc_consumer.exe" "$work/msvc_consumer.obj" "$kit/lib/tga.lib" \
    $system/libkernel32.a $system/libuser32.a $system/libgdi32.a $system/libopengl32.a ||
    fail "msvc_consumer.obj does not link against lib/tga.lib"

WINEARCH=$width sh "$here/../support/wine_run.sh" "$prefix" "$kit" msvc_consumer.exe
status=$?
# 77: the machine cannot run programs of this width, as wine_run.sh said.
[ $status = 77 ] && exit 77
[ $status = 0 ] || fail "msvc_consumer.exe failed under $width Wine"
echo "PASS"
