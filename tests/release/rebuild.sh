#!/bin/sh
# Two builds of one commit give the same zips. The source is copied into a
# folder of another name and built there again for 64- and 32-bit Windows,
# in another time zone and locale, under another umask and, when run as
# root, as another user; each zip it packs must equal, byte for byte, the
# one packed from the tree given. The stamp is the given tree's, as a
# rebuilder takes it from BUILDINFO.txt.
# Usage: rebuild.sh MAKE_SAMPLES TREE64 ZIP64 TREE32 ZIP32
set -e
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
fail() { echo "FAIL: $*"; exit 1; }
make_samples=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/md3v-rebuild.XXXXXX")
trap 'rm -rf "$work"' EXIT
copy="$work/another checkout"
mkdir -p "$copy" "$work/home"
# What git tracks, as it stands in the working tree.
(cd "$source_dir" && git ls-files -z --cached --others --exclude-standard |
    tar --null -T - --ignore-failed-read -cf -) | tar -xf - -C "$copy"
cp "$make_samples" "$work/make_samples"

run=""
if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null; then
    chown -R 65534:65534 "$work"
    run="setpriv --reuid=65534 --regid=65534 --clear-groups"
fi

rebuild() {  # TREE ZIP TOOLCHAIN
    epoch=$(sed -n 's/^MD3V_SOURCE_DATE_EPOCH:STRING=//p' "$1/CMakeCache.txt")
    [ -n "$epoch" ] || fail "$1 has no MD3V_SOURCE_DATE_EPOCH"
    out="$copy/out-$3"
    # shellcheck disable=SC2086
    $run env HOME="$work/home" TZ=Pacific/Chatham LC_ALL=C.UTF-8 sh -c '
        umask 077
        cmake -S "$1" -B "$2" -DCMAKE_TOOLCHAIN_FILE="$1/cmake/$3.cmake" -DCMAKE_BUILD_TYPE=Release \
              -DMD3V_MAKE_SAMPLES="$4" -DMD3V_SOURCE_DATE_EPOCH="$5" >"$2.log" 2>&1 &&
        cmake --build "$2" -j 2 >>"$2.log" 2>&1 &&
        cd "$2" && cpack -G ZIP >>"$2.log" 2>&1' rebuild "$copy" "$out" "$3" "$work/make_samples" "$epoch" ||
        { tail -n 30 "$out.log"; fail "the rebuild for $3 failed"; }
    again="$out/$(basename "$2")"
    if ! cmp -s "$2" "$again"; then
        /usr/bin/python3 - "$2" "$again" <<'PY'
import sys, zipfile
a, b = (zipfile.ZipFile(p) for p in sys.argv[1:3])
for name in sorted(set(a.namelist()) | set(b.namelist())):
    if name not in a.namelist() or name not in b.namelist() or a.read(name) != b.read(name):
        print("differs: " + name)
PY
        fail "$(basename "$2") built again in another folder differs"
    fi
    echo "same bytes: $(sha256sum "$2" | cut -c1-16)... $(basename "$2")"
}
rebuild "$2" "$3" mingw-w64-x86_64
rebuild "$4" "$5" mingw-w64-i686
echo PASS
