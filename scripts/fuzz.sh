#!/bin/sh
# Builds the libFuzzer targets in their own clang tree (build/fuzz) and runs
# each for a bounded time: fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
# (default 60 s, every target; MD3V_FUZZ_BUILD overrides the tree). Each target keeps its growing corpus in
# build/fuzz/corpus/<kind>, starting from the generated seeds; an input
# that crashes, hangs or leaks is saved as build/fuzz/artifacts/<target>-*
# and fails the run. Copy it to tests/fuzz/regressions/<kind>/ to replay it
# in the host test suite (kinds: md3, tga, tga-upload, tga-convert, pk3,
# game-text, image).
set -e
cd "$(dirname "$0")/.."
SECONDS_PER_TARGET=${1:-60}
[ $# -gt 0 ] && shift
TARGETS=${*:-"fuzz_md3_load fuzz_tga_read fuzz_tga_upload fuzz_tga_convert fuzz_pk3 fuzz_game_text
    fuzz_image_decode"}
JOBS=$(nproc 2>/dev/null || echo 2)
OUT=${MD3V_FUZZ_BUILD:-build/fuzz}

CC=clang CXX=clang++ cmake -S . -B "$OUT" -DMD3V_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# shellcheck disable=SC2086
cmake --build "$OUT" -j "$JOBS" --target $TARGETS fuzz_seeds >"$OUT/build.log" 2>&1 ||
    { tail -n 40 "$OUT/build.log"; exit 1; }

ROOT=$(pwd)
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$ROOT/tests/lsan.supp:print_suppressions=0"
# Every input goes through a file: in memory, unless TMPDIR says otherwise.
if [ -z "$TMPDIR" ] && [ -d /dev/shm ]; then export TMPDIR=/dev/shm; fi
status=0
for target in $TARGETS; do
    case $target in
        fuzz_md3_load) kind=md3; extra="-dict=$ROOT/fuzz/md3.dict" ;;
        fuzz_tga_read) kind=tga; extra="" ;;
        fuzz_tga_upload) kind=tga-upload; extra="" ;;
        # The converter starts from the reader's seeds too.
        fuzz_tga_convert) kind=tga-convert; extra="$OUT/fuzz/seeds/tga" ;;
        fuzz_pk3) kind=pk3; extra="-dict=$ROOT/fuzz/pk3.dict" ;;
        fuzz_game_text) kind=game-text; extra="-dict=$ROOT/fuzz/game_text.dict" ;;
        fuzz_image_decode) kind=image; extra="" ;;
        *) echo "unknown target $target"; exit 2 ;;
    esac
    corpus=$OUT/corpus/$kind
    seeds=$OUT/fuzz/seeds/${kind%-upload}
    mkdir -p "$corpus" "$seeds" "$OUT/artifacts" "tests/fuzz/regressions/$kind"
    echo "== $target for ${SECONDS_PER_TARGET}s"
    # A truthful 32767 x 32767 x 32-bit image needs 4 GiB, so the malloc
    # limit sits just above it; -timeout flags any single input over 10 s.
    # shellcheck disable=SC2086
    if ! "$OUT/fuzz/$target" "$corpus" "$seeds" "tests/fuzz/regressions/$kind" \
            -max_total_time="$SECONDS_PER_TARGET" -timeout=10 -rss_limit_mb=6144 -malloc_limit_mb=4200 \
            -max_len=65536 -print_final_stats=1 -artifact_prefix="$OUT/artifacts/$target-" $extra \
            >"$OUT/$target.log" 2>&1; then
        status=1
        echo "$target FAILED; see $OUT/$target.log and $OUT/artifacts/"
        tail -n 40 "$OUT/$target.log"
    fi
    grep -E '(DONE|stat::)' "$OUT/$target.log" || tail -n 5 "$OUT/$target.log"
done
exit $status
