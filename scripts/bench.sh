#!/bin/sh
# Builds the benchmarks (Release, -DMD3V_BENCH=ON) in their own trees and
# prints every figure next to its peer, ceiling or floor as a ratio of times
# (ours / peer: below 1 is faster than the peer):
#   build/bench       host benchmarks: md3v_bench (Google Benchmark, Mesa) and
#                     game_load_bench (player models from a game folder)
#   build/bench-win   wine_frame_bench.exe, run under Wine on Xvfb
#   bench/tgaconv_bench.sh  tgaconv over a folder of textures against Pillow,
#                     ImageMagick and its floor (also runnable alone)
# MD3V_BENCH_BUILD overrides the "build/bench" prefix; extra arguments go to
# md3v_bench (e.g. --benchmark_filter=TgaRead; with --benchmark_repetitions=N
# each figure is the fastest of the N).
set -e
cd "$(dirname "$0")/.."
ROOT=$(pwd)
OUT=${MD3V_BENCH_BUILD:-build/bench}
JOBS=$(nproc 2>/dev/null || echo 2)

cmake -S . -B "$OUT" -DCMAKE_BUILD_TYPE=Release -DMD3V_BENCH=ON >/dev/null
cmake --build "$OUT" -j "$JOBS" --target md3v_bench game_load_bench >"$OUT/build.log" 2>&1 ||
    { tail -n 40 "$OUT/build.log"; exit 1; }
cmake -S . -B "$OUT-win" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DMD3V_BENCH=ON >/dev/null
cmake --build "$OUT-win" -j "$JOBS" --target wine_frame_bench wine_filter_bench >"$OUT-win/build.log" 2>&1 ||
    { tail -n 40 "$OUT-win/build.log"; exit 1; }

echo "== host: $(hostname), $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) CPUs"
"$OUT/bench/md3v_bench" --benchmark_out="$OUT/results.json" --benchmark_out_format=json "$@" >"$OUT/results.txt"

# Every player model of a game folder loaded in turn against reading the
# same members and decoding the same images (MD3V_BENCH_GAME, by default
# Debian's OpenArena data when it is installed).
GAME=${MD3V_BENCH_GAME:-/usr/share/games/openarena/baseoa}
if [ -d "$GAME" ]; then
    echo "-- every player model of $GAME loaded in turn, against its floor (fastest of 5)"
    "$OUT/bench/game_load_bench" "$GAME" 5
else
    echo "-- no game folder at $GAME: the model-loading benchmark is not run"
fi

# The Wine run: the viewer's sample files and DLLs next to the program.
WINE_DIR="$ROOT/$OUT/wine-run"
case $OUT in /*) WINE_DIR="$OUT/wine-run" ;; esac
rm -rf "$WINE_DIR" && mkdir -p "$WINE_DIR"
cp "$OUT-win"/bin/*.dll "$OUT-win"/bin/wine_frame_bench.exe "$OUT-win"/bin/wine_filter_bench.exe "$OUT"/samples/* \
    "$WINE_DIR"/
timeout 600 sh tests/support/wine_run.sh "$(dirname "$WINE_DIR")/wineprefix" "$WINE_DIR" \
    wine_frame_bench.exe 300 >"$OUT/wine.txt" 2>&1 || echo "wine_frame_bench failed: see $OUT/wine.txt"
timeout 600 sh tests/support/wine_run.sh "$(dirname "$WINE_DIR")/wineprefix" "$WINE_DIR" \
    wine_filter_bench.exe 15 >>"$OUT/wine.txt" 2>&1 || echo "wine_filter_bench failed: see $OUT/wine.txt"

# The height-map peer is built only where libnvtt-dev is installed.
NVTT=built
grep -Eq '^NVTT_(LIBRARY|INCLUDE_DIR):[A-Z]+=.*NOTFOUND' "$OUT/CMakeCache.txt" && NVTT=missing

python3 - "$OUT/results.json" "$OUT/wine.txt" "$NVTT" <<'PY'
import json, re, sys

runs = {}
labels = {}
def ratio(value):
    return "%9.2f" % value if value >= 0.1 else "%9.2g" % value

def shown(seconds):
    for unit, scale in (("s", 1.0), ("ms", 1e-3), ("us", 1e-6)):
        if seconds >= scale:
            return "%.3f %s" % (seconds / scale, unit)
    return "%.1f ns" % (seconds * 1e9)

for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b.get("run_type", "iteration") != "iteration" or b.get("error_occurred"):
        continue
    name = b["name"].replace("/real_time", "")
    # GL benchmarks are timed on the wall clock, the rest on the CPU clock.
    seconds = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[b["time_unit"]]
    value = (b["real_time"] if b["name"].endswith("/real_time") else b["cpu_time"]) * seconds
    # With --benchmark_repetitions the fastest repetition counts: on a
    # shared machine the slower ones measure the neighbours.
    runs[name] = min(value, runs.get(name, value))
    if b.get("label"):
        labels[name] = b["label"]

pairs = [("TgaRead", "StbLoad", "stb_image"),
         ("TgaRead", "FreadFile", "fopen + malloc + fread of the whole file"),
         ("TgaUploadImage", "StbUpload", "stb_image + gluBuild2DMipmaps"),
         ("HeightMapDOT3", "CopyDOT3Bytes", "memcpy of the output bytes"),
         ("HeightMapDUDV", "CopyDUDVBytes", "memcpy of the output bytes"),
         ("HeightMapDOT3", "InverseSqrtFloor", "compute floor: float(1/sqrt(double)) of as many floats"),
         ("HeightMapDUDV", "InverseSqrtFloor", "compute floor: float(1/sqrt(double)) of as many floats"),
         ("HeightMapPathDOT3", "InverseSqrtFloor", "each path of the filter against the compute floor"),
         ("HeightMapPathDUDV", "InverseSqrtFloor", "each path of the filter against the compute floor"),
         ("HeightMapDOT3", "NvttNormalMap", "NVIDIA Texture Tools, height map to normal map"),
         ("HeightMapDUDV", "NvttNormalMap", "NVIDIA Texture Tools, height map to normal map"),
         ("Md3Load", "AssimpMd3", "assimp MD3 importer"),
         ("Md3Load", "Md3FileFloor", "floor: fopen + malloc + fread of the same files"),
         ("Md3DrawSurfaces", "BareImmediateCalls", "bare immediate-mode calls")]
print("%-44s %14s %14s %9s" % ("figure (peer or ceiling)", "ours", "peer", "ratio"))
for ours, peer, what in pairs:
    print("-- %s vs %s (%s)" % (ours, peer, what))
    printed = 0
    for name in sorted((n for n in runs if n.split("/")[0] == ours),
                       key=lambda n: [int(x) if x.isdigit() else x for x in re.split(r"[:/]", n)]):
        # A path argument has no counterpart in the peer's name.
        other = peer + re.sub(r"/path:\d+", "", name[len(ours):])
        if other not in runs:
            continue
        shown_name = name + (" " + labels[name] if name in labels else "")
        print("%-44s %14s %14s %s" % (shown_name, shown(runs[name]), shown(runs[other]), ratio(runs[name] / runs[other])))
        printed += 1
    if not printed and any(n.split("/")[0] == ours for n in runs):
        if peer == "NvttNormalMap" and sys.argv[3] == "missing":
            print("peer missing: libnvtt-dev is not installed (sh scripts/install-deps.sh test)")
        else:
            print("no %s figures in this run" % peer)

wine = dict(re.findall(r"^(\w+_ms) ([0-9.]+)", open(sys.argv[2]).read(), re.M))
print("-- viewer frame under Wine vs empty clear-and-swap loop (same window, same context)")
if "scene_ms" in wine and "clear_swap_ms" in wine:
    s, c = float(wine["scene_ms"]), float(wine["clear_swap_ms"])
    print("%-44s %14s %14s %9.2f" % ("Scene_Render+SwapBuffers", shown(s / 1000), shown(c / 1000), s / c))
else:
    print("no Wine figures (see wine.txt)")
print("-- the library's height-map filter under Wine, 2048 x 2048, fastest of 15")
for key in ("dot3_ms", "dudv_ms"):
    if key in wine:
        print("%-44s %14s" % ("HeightMap_Encode" + key[:4].upper(), shown(float(wine[key]) / 1000)))
PY

# The converter, one process over a folder, against its peers and floor.
MD3V_BENCH_BUILD="$OUT" sh bench/tgaconv_bench.sh || echo "tgaconv_bench failed"
