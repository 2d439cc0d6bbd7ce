#!/bin/sh
# Times tgaconv over a folder of run-length encoded textures against Pillow,
# ImageMagick and the floor (bench/tgaconv_bench.py says how), building
# tgaconv and the floor in the Release tree of scripts/bench.sh, which runs
# this as one of its sections.
#   sh bench/tgaconv_bench.sh [--repetitions N]
# MD3V_BENCH_BUILD overrides the "build/bench" tree; TGACONV names another
# tgaconv to time instead of the tree's own.
set -e
cd "$(dirname "$0")/.."
OUT=${MD3V_BENCH_BUILD:-build/bench}
JOBS=$(nproc 2>/dev/null || echo 2)

# Pillow and ImageMagick come with install-deps.sh test; Pillow through
# Debian's own Python, whatever python3 comes first on the PATH.
if ! /usr/bin/python3 -c 'import PIL' 2>/dev/null || ! command -v mogrify >/dev/null; then
    echo "tgaconv_bench: python3-pil or imagemagick missing (sh scripts/install-deps.sh test)" >&2
    exit 1
fi

TARGETS=tgaconv_floor
[ -n "$TGACONV" ] || TARGETS="$TARGETS tgaconv"
mkdir -p "$OUT"
cmake -S . -B "$OUT" -DCMAKE_BUILD_TYPE=Release -DMD3V_BENCH=ON >/dev/null
cmake --build "$OUT" -j "$JOBS" --target $TARGETS >"$OUT/tgaconv_build.log" 2>&1 ||
    { tail -n 40 "$OUT/tgaconv_build.log"; exit 1; }

/usr/bin/python3 bench/tgaconv_bench.py --tgaconv "${TGACONV:-$OUT/tools/tgaconv}" \
    --floor "$OUT/bench/tgaconv_floor" --work "$OUT/tgaconv" "$@"
