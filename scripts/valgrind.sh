#!/bin/sh
# Runs every GoogleTest binary of the host test suite under valgrind's
# memcheck in a build without sanitizers (build/valgrind; MD3V_VALGRIND_BUILD
# overrides it). The Wine checks are left out: valgrind would only watch
# the shell and Wine. Leaks and errors inside Mesa are suppressed by
# tests/valgrind.supp; anything else fails the run.
set -e
cd "$(dirname "$0")/.."
ROOT=$(pwd)
OUT=${MD3V_VALGRIND_BUILD:-build/valgrind}
JOBS=$(nproc 2>/dev/null || echo 2)

cmake -S . -B "$OUT" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$OUT" -j "$JOBS" >"$OUT/build.log" 2>&1 || { tail -n 40 "$OUT/build.log"; exit 1; }

# name, working directory and command of each test whose program is an ELF
# binary of the build tree.
ctest --test-dir "$OUT" --show-only=json-v1 | python3 -c '
import json, sys
for t in json.load(sys.stdin)["tests"]:
    cmd = t.get("command") or []
    props = {p["name"]: p["value"] for p in t.get("properties", [])}
    if cmd and open(cmd[0], "rb").read(4) == b"\x7fELF" and "/usr/" not in cmd[0]:
        print(t["name"], props.get("WORKING_DIRECTORY", "."), " ".join(cmd))
' >"$OUT/valgrind-tests.txt"

status=0
while read -r name dir command; do
    log="$ROOT/$OUT/valgrind-$name.log"
    case $OUT in /*) log="$OUT/valgrind-$name.log" ;; esac
    if (cd "$dir" && valgrind --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite,indirect \
            --suppressions="$ROOT/tests/valgrind.supp" --num-callers=30 $command >"$log" 2>&1); then
        echo "clean   $name ($(grep -o 'suppressed: [0-9,]* bytes' "$log" | head -n1 || true))"
    else
        status=1
        echo "FAILED  $name: see $log"
    fi
done <"$OUT/valgrind-tests.txt"
exit $status
