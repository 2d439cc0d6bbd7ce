#!/bin/sh
# Installs the Debian packages that a command of this project needs; only
# what is missing is fetched.
#   install-deps.sh          building every tree and running the viewer
#   install-deps.sh test     also the tests, fuzzers and benchmarks, and 32-bit
#                            Wine with its GL for the 32-bit Windows programs
#   install-deps.sh package  building, and 32-bit Wine for the 32-bit zip
# 32-bit Wine comes only where 32-bit programs run: on a kernel without them
# it cannot start, and once installed Debian's wine script prefers it even
# for 64-bit programs.
set -e
. "$(dirname "$0")/../tests/support/wine_env.sh"
PACKAGES="cmake make g++ g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 g++-mingw-w64-i686
 libosmesa6-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri
 libgtest-dev libgmock-dev libbenchmark-dev
 libfreetype-dev fonts-dejavu-core libstb-dev zlib1g-dev libz-mingw-w64-dev
 wine wine64 xvfb xdotool x11-utils imagemagick
 clang libclang-rt-14-dev llvm lld python3"
# libwine only recommends the GL packages, without which a 32-bit program
# gets no OpenGL.
WINE32="wine32:i386 libgl1:i386 libgl1-mesa-dri:i386"
case "$1" in
"") WINE32="" ;;
test) PACKAGES="$PACKAGES libassimp-dev libnvtt-dev valgrind python3-pefile python3-pil" ;;
package) ;;
*) echo "usage: install-deps.sh [test|package]" >&2; exit 2 ;;
esac
if [ -n "$WINE32" ]; then
    if runs_32bit; then
        PACKAGES="$PACKAGES $WINE32"
    else
        echo "install-deps: this machine cannot run 32-bit programs, so 32-bit Wine is not installed and the 32-bit Windows tests will be skipped"
    fi
fi

missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
echo "installing:$missing"
case "$missing" in
*:i386*) $SUDO dpkg --add-architecture i386 ;;
esac
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
