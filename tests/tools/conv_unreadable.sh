#!/bin/sh
# tgaconv over folders it cannot read, one of mode 000 and one of mode 444
# (listed but not searchable), with -o and in place: each folder, or each
# entry the listing names, is refused with the system's text, the file
# beside them is converted, and the run exits 1. Root reads any folder, so
# as root tgaconv runs as nobody (setpriv), and without setpriv the test is
# skipped.
# Usage: conv_unreadable.sh TGACONV
tgaconv=$1
. "$(cd "$(dirname "$0")/../support" && pwd)/tga_bytes.sh"
work=$(mktemp -d)
trap 'chmod -R u+rwx "$work"; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
skip() { echo "skipped: $*"; exit 77; }
cd "$work" || fail "no $work"
as_user=""
if [ "$(id -u)" = 0 ]; then
    command -v setpriv >/dev/null || skip "run as root without setpriv, and root reads every folder"
    as_user="setpriv --reuid=65534 --regid=65534 --clear-groups"
fi
# A copy the user can run wherever the build tree is.
cp "$tgaconv" tgaconv
tga_rle_3x2_converted >converted.tga

for form in "-o out" "--in-place"; do
    chmod -R u+rwx locked 2>/dev/null
    rm -rf locked out
    mkdir -p locked/shut locked/listed/deeper
    for f in a shut/b listed/c listed/deeper/d; do tga_rle_3x2 locked/$f.tga; done
    echo notes >locked/listed/notes.txt
    chmod 000 locked/shut
    chmod 444 locked/listed
    [ -z "$as_user" ] || chown -R 65534:65534 .
    $as_user ls locked/shut >/dev/null 2>&1 && skip "permissions do not stop this user reading a folder"
    # shellcheck disable=SC2086
    $as_user ./tgaconv $form locked >said 2>err
    status=$?
    [ "$status" -eq 1 ] || fail "$form: exit $status, not 1: $(cat said err)"
    # Where the file system gives no entry types, the entries of listed/ are
    # refused one by one instead of those the walk takes.
    for name in shut listed/c.tga listed/deeper; do
        grep -q "^locked/$name: refused: .*: Permission denied$" said ||
            fail "$form: locked/$name not refused: $(cat said)"
    done
    refusals=$(grep -c ": refused: .*: Permission denied$" said)
    tail -n 1 said | grep -q "^tgaconv: 1 converted, 0 [a-z]* unchanged, $refusals refused$" ||
        fail "$form: $(cat said)"
    [ "$(wc -l <said)" -eq $((refusals + 1)) ] || fail "$form: $(cat said)"
    out=out/a.tga
    [ "$form" = --in-place ] && out=locked/a.tga
    cmp -s converted.tga $out || fail "$form: $out not converted"
done
echo PASS
