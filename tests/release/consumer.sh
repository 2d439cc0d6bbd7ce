#!/bin/sh
# Builds the consumer project against the installed tree with the MinGW
# toolchain, as another CMake project would (find_package(tga 1.4)), and
# runs its program under Wine in a WGL context.
# Usage: consumer.sh PREFIX BUILD_DIR WINEPREFIX
set -e
here=$(cd "$(dirname "$0")" && pwd)
prefix=$1
build=$2
rm -rf "$build"
cmake -S "$here/consumer" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$here/../../cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_PREFIX_PATH="$prefix" || { echo "FAIL: the consumer project does not configure"; exit 1; }
cmake --build "$build" || { echo "FAIL: the consumer project does not build"; exit 1; }
exec sh "$here/../support/wine_run.sh" "$3" "$build" "$build/tga_consumer.exe"
