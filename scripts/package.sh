#!/bin/sh
# Installs what is missing, builds every tree and packs the Windows zips
# build/win/md3viewer-<version>-win64.zip and
# build/win32/md3viewer-<version>-win32.zip: viewer.exe, tga.dll, font.dll,
# the sample data and a README.txt in one folder, to unzip and run, with
# include/ and lib/ for building against tga.dll. Both land in build/release,
# the folder to publish, beside SHA256SUMS and BUILDINFO.txt (the commit,
# SOURCE_DATE_EPOCH and the Debian packages that the bytes depend on, which
# is what it takes to rebuild the same bytes); SHA256SUMS is printed.
set -e
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh package
. scripts/source_date_epoch.sh
sh scripts/build.sh
(cd build/win && cpack -G ZIP)
(cd build/win32 && cpack -G ZIP)

RELEASE=build/release
rm -rf "$RELEASE"
mkdir -p "$RELEASE"
cp build/win/md3viewer-*-win64.zip build/win32/md3viewer-*-win32.zip "$RELEASE/"
(cd "$RELEASE" && sha256sum -- *.zip >SHA256SUMS)
{
    echo "commit: $(git rev-parse HEAD 2>/dev/null || echo unknown)"
    [ -n "$(git status --porcelain 2>/dev/null)" ] && echo "         (with changes not committed)"
    echo "SOURCE_DATE_EPOCH: $SOURCE_DATE_EPOCH ($(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S UTC'))"
    echo "Debian: $(cat /etc/debian_version 2>/dev/null || echo unknown), $(dpkg --print-architecture)"
    echo "packages:"
    # The compilers and their runtimes, the linkers, CMake, the import-library
    # tool, what renders the font and makes the sample data, and the zlib that
    # deflates the zips.
    dpkg-query -W -f='  ${Package}:${Architecture} ${Version}\n' \
        g++-mingw-w64-x86-64-win32 gcc-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev \
        g++-mingw-w64-i686-win32 gcc-mingw-w64-i686-win32 binutils-mingw-w64-i686 mingw-w64-i686-dev \
        mingw-w64-common cmake llvm-14 g++-12 libfreetype6 fonts-dejavu-core python3-minimal zlib1g 2>/dev/null || true
} >"$RELEASE/BUILDINFO.txt"
echo "== $RELEASE/SHA256SUMS"
cat "$RELEASE/SHA256SUMS"
