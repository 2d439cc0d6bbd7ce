#!/bin/sh
# Builds three trees from this source tree:
#   build/host       portable libraries, sample-data tools and unit tests (native)
#   build/win        viewer.exe, tga.dll, font.dll (MinGW-w64 cross build), with
#                    the sample data made by the host tree's make_samples
#   build/win-clang  the same Windows tree built by Clang on the MinGW-w64
#                    runtime; the host tests run its check programs too
#   build/win32      the GCC tree for 32-bit Windows (x86, SSE2 floating
#                    point), with its own zip
# The host tree comes first since the Windows trees run its make_samples.
# Extra arguments go to the host configure step. Every tree treats a
# compiler warning as an error, so a warning cannot land unseen. The Windows
# programs are stamped with SOURCE_DATE_EPOCH (by default the last commit's
# time; see source_date_epoch.sh).
set -e
cd "$(dirname "$0")/.."
ROOT=$(pwd)
JOBS=$(nproc 2>/dev/null || echo 2)
. scripts/source_date_epoch.sh

cmake -S . -B build/host -DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DMD3V_WIN_BUILD_DIR="$ROOT/build/win" \
      -DMD3V_WIN_CLANG_BUILD_DIR="$ROOT/build/win-clang" -DMD3V_WIN32_BUILD_DIR="$ROOT/build/win32" "$@"
cmake --build build/host -j "$JOBS"

cmake -S . -B build/win -DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DMD3V_MAKE_SAMPLES="$ROOT/build/host/tools/make_samples" \
      -DMD3V_SOURCE_DATE_EPOCH="$SOURCE_DATE_EPOCH"
cmake --build build/win -j "$JOBS"

cmake -S . -B build/win-clang -DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/clang-mingw-w64-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DMD3V_MAKE_SAMPLES="$ROOT/build/host/tools/make_samples" \
      -DMD3V_SOURCE_DATE_EPOCH="$SOURCE_DATE_EPOCH"
cmake --build build/win-clang -j "$JOBS"

cmake -S . -B build/win32 -DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-i686.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DMD3V_MAKE_SAMPLES="$ROOT/build/host/tools/make_samples" \
      -DMD3V_SOURCE_DATE_EPOCH="$SOURCE_DATE_EPOCH"
cmake --build build/win32 -j "$JOBS"
