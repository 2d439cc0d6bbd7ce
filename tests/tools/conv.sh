#!/bin/sh
# tgaconv as a person runs it: one file, a folder walked into another, files
# replaced in place; refusals with their reasons and no output, the count
# at the end of a run, exit statuses 0, 1 and 2, and no temporary file left.
# Usage: conv.sh TGACONV TGAINFO SAMPLES
tgaconv=$1 tgainfo=$2 samples=$3
. "$(cd "$(dirname "$0")/../support" && pwd)/tga_bytes.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
cd "$work" || fail "no $work"

# Runs tgaconv; its stdout in $work/said, its status in $status.
run() { "$tgaconv" "$@" >said 2>err; status=$?; }
expect_status() { [ "$status" -eq "$1" ] || fail "tgaconv exit $status, not $1: $(cat said err)"; }
no_temporary() { [ -z "$(find . -name '.tgaconv-*')" ] || fail "temporary files left: $(find . -name '.tgaconv-*')"; }

for usage in "" "-o" "-o dir" "a b c" "--in-place"; do
    # shellcheck disable=SC2086
    run $usage
    expect_status 2
    grep -q "image ID and the TGA" err || fail "usage for '$usage': $(cat err)"
done

# One file: exactly the bytes worked out in tga_bytes.sh, which tgainfo calls ok.
tga_rle_3x2 one.tga
run one.tga one_out.tga
expect_status 0
tga_rle_3x2_converted | cmp -s - one_out.tga || fail "one_out.tga: $(od -An -tu1 one_out.tga)"
[ ! -s said ] || fail "a single file prints nothing: $(cat said)"
"$tgainfo" one_out.tga | grep -q "^one_out.tga: ok$" || fail "tgainfo one_out.tga: $("$tgainfo" one_out.tga)"
# OUT that is the input however spelled, a short file the library would
# take, an output that cannot be written and one whose permissions cannot be
# learnt (a link to itself): refused, nothing written.
cp one.tga kept.tga
run one.tga ./../"$(basename "$work")"/one.tga
expect_status 1
grep -q "^one.tga: refused: .* is the input itself$" said || fail "same file: $(cat said)"
cmp -s one.tga kept.tga || fail "the input was changed"
cp "$samples/base.tga" base.tga
head -c 1000 base.tga >short.tga
run short.tga short_out.tga
expect_status 1
grep -q "^short.tga: refused: truncated pixel data (982 of 49152 bytes)$" said || fail "short: $(cat said)"
[ ! -e short_out.tga ] || fail "short_out.tga written"
run one.tga kept.tga/x.tga
expect_status 1
grep -q "^one.tga: refused: kept.tga/x.tga cannot be written: Not a directory$" said || fail "unwritable: $(cat said)"
ln -s loop.tga loop.tga
run one.tga loop.tga
expect_status 1
grep -q "^one.tga: refused: loop.tga cannot be written: Too many levels of symbolic links$" said ||
    fail "link to itself: $(cat said)"
[ -L loop.tga ] || fail "the link to itself was replaced"
no_temporary

# A folder: *.tga in any letter case at its path inside it, other files
# left out; files in DIR replaced; then a file of another folder whose
# output differs from one of them only in letter case, which is refused.
# A file replaced in DIR keeps its permissions.
mkdir -p src/deep/er other
tga_rle_3x2 src/deep/er/A.TGA
cp base.tga src/base.tga
echo notes >src/notes.txt
mkdir -p out/deep/er
echo old >out/deep/er/A.TGA
chmod 600 out/deep/er/A.TGA
tga_rle_3x2 other/BASE.tga
run -o out src other/BASE.tga
expect_status 1
[ "$(find out -type f | LC_ALL=C sort | tr '\n' ' ')" = "out/base.tga out/deep/er/A.TGA " ] ||
    fail "out holds: $(find out -type f)"
tga_rle_3x2_converted | cmp -s - out/deep/er/A.TGA || fail "out/deep/er/A.TGA not replaced"
[ "$(stat -c %a out/deep/er/A.TGA)" = 600 ] || fail "permissions not kept: $(stat -c %a out/deep/er/A.TGA)"
cmp -s base.tga out/base.tga || fail "base.tga, which the library reads, changed"
grep -q "^other/BASE.tga: refused: out/BASE.tga is an earlier file's output$" said || fail "collision: $(cat said)"
[ "$(tail -n 1 said)" = "tgaconv: 1 converted, 1 written unchanged, 1 refused" ] || fail "count: $(cat said)"
no_temporary

# In place: the file the library reads is left alone (same inode), the others
# replaced with their permissions kept, one of them stored bottom to top but
# right to left, which the library would show mirrored; a refused file is
# left as it was.
chmod 600 src/deep/er/A.TGA
bytes 0 0 2 0 0 0 0 0 0 0 0 0 2 0 1 0 24 16 1 2 3 4 5 6 >src/mirror.tga
cp short.tga src/short.tga
inode=$(ls -i src/base.tga)
run --in-place src
expect_status 1
[ "$(ls -i src/base.tga)" = "$inode" ] && cmp -s base.tga src/base.tga || fail "src/base.tga was rewritten"
tga_rle_3x2_converted | cmp -s - src/deep/er/A.TGA || fail "src/deep/er/A.TGA not converted in place"
[ "$(stat -c %a src/deep/er/A.TGA)" = 600 ] || fail "permissions not kept: $(stat -c %a src/deep/er/A.TGA)"
bytes 0 0 2 0 0 0 0 0 0 0 0 0 2 0 1 0 24 0 4 5 6 1 2 3 | cmp -s - src/mirror.tga ||
    fail "src/mirror.tga not converted in place: $(od -An -tu1 src/mirror.tga)"
cmp -s short.tga src/short.tga || fail "the refused file changed"
[ "$(tail -n 1 said)" = "tgaconv: 2 converted, 1 left unchanged, 1 refused" ] || fail "count: $(cat said)"
no_temporary

# Progress: on a terminal's stderr for runs over 200 files, else never.
mkdir many
i=0
while [ $i -lt 201 ]; do cp one.tga many/$i.tga; i=$((i + 1)); done
run --in-place many
expect_status 0
[ ! -s err ] || fail "progress without a terminal: $(cat err)"
# Now files the library reads, left alone, but counted all the same.
script -qec "'$tgaconv' --in-place many >/dev/null" /dev/null | tr '\r' '\n' >tty
grep -q "^tgaconv: 201 of 201 files" tty || fail "no progress on a terminal: $(cat tty)"
echo "PASS"
