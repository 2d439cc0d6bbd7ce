#!/bin/sh
# Installs every Debian package that the builds, the tests, the viewer run,
# the fuzzers and the benchmarks need; only what is missing is fetched.
set -e
PACKAGES="cmake make g++ g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
 libosmesa6-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri
 libgtest-dev libgmock-dev libbenchmark-dev
 libfreetype-dev fonts-dejavu-core
 wine wine64 xvfb xdotool x11-utils imagemagick
 clang libclang-rt-14-dev llvm libstb-dev libassimp-dev libnvtt-dev valgrind"

missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
echo "installing:$missing"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
