#!/bin/sh
# The helpers as a machine that cannot run 32-bit programs meets them: the
# 32-bit check runs an i386 program the kernel refuses as it would there
# ("Exec format error"), and `wine` on the PATH fails as Debian's script does
# there once 32-bit Wine is installed, since it picks the 32-bit loader.
# A 64-bit program must still run through the 64-bit loader, in a fresh
# prefix, and a 32-bit one must be skipped (77) with the reason.
# Usage: without_32bit.sh DIR PROGRAM (a 64-bit program in DIR)
support="$(cd "$(dirname "$0")/../support" && pwd)"
fail() {
    echo "FAIL: $*"
    exit 1
}
[ -x /usr/lib/wine/wine64 ] || fail "64-bit Wine is not installed"
work=$(mktemp -d "${TMPDIR:-/tmp}/md3v-no32.XXXXXX")
trap 'WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null; rm -rf "$work"' EXIT

. "$support/wine_env.sh"
# The check's own program with its machine changed from i386 to ARM.
{ runs_32bit_elf | head -c 18; printf '\50'; runs_32bit_elf | tail -c +20; } >"$work/refused"
chmod 755 "$work/refused"
export MD3V_PROBE_32BIT="$work/refused"
mkdir "$work/bin"
printf '#!/bin/sh\necho "FAIL: wine started, the 32-bit loader cannot"\nexit 1\n' >"$work/bin/wine"
chmod 755 "$work/bin/wine"
export PATH="$work/bin:$PATH"

said=$(. "$support/wine_env.sh"; echo "$WINE $WINELOADER"; wine_32bit_unavailable || echo "32-bit available")
[ "$said" = "$(printf '/usr/lib/wine/wine64 /usr/lib/wine/wine64\nthis machine cannot run 32-bit programs')" ] ||
    fail "the helpers say: $said"

sh "$support/wine_run.sh" "$work/prefix" "$1" "$2" || fail "$2 did not run through the 64-bit loader"
said=$(WINEARCH=win32 sh "$support/wine_run.sh" "$work/prefix32" "$1" "$2")
status=$?
[ $status = 77 ] || fail "a 32-bit run ended with $status, not 77 (skipped): $said"
[ "$said" = "skipped: this machine cannot run 32-bit programs" ] ||
    fail "a 32-bit run said: $said"
[ ! -e "$work/prefix32" ] || fail "a 32-bit prefix was made"
echo PASS
