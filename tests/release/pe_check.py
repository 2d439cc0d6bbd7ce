"""Checks the hardening and the stamp of Windows programs as a release
checker would: pe_check.py WIDTH SOURCE_DATE_EPOCH FILE... (WIDTH 64 or 32).
Prints FAIL: lines and exits 1 when any file falls short."""
import re
import sys

import pefile

# x86 code that installs or removes an SEH frame: mov/push/pop with fs:[0].
SEH_FRAME = re.compile(rb"\x64\xa3\x00\x00\x00\x00|\x64\x89[\x05\x0d\x15\x1d\x25\x2d\x35\x3d]\x00\x00\x00\x00"
                       rb"|\x64\xff\x35\x00\x00\x00\x00|\x64\x8f\x05\x00\x00\x00\x00")


def problems(path, width, epoch):
    data = open(path, "rb").read()
    pe = pefile.PE(data=data)
    flags = pe.OPTIONAL_HEADER.DllCharacteristics
    found = []

    def need(condition, what):
        if not condition:
            found.append(what)

    machine = {64: 0x8664, 32: 0x14C}[width]
    need(pe.FILE_HEADER.Machine == machine, "machine 0x%x" % pe.FILE_HEADER.Machine)
    need(pe.FILE_HEADER.TimeDateStamp == epoch, "stamp %d, not %d" % (pe.FILE_HEADER.TimeDateStamp, epoch))
    if hasattr(pe, "DIRECTORY_ENTRY_EXPORT"):
        stamp = pe.DIRECTORY_ENTRY_EXPORT.struct.TimeDateStamp
        need(stamp == epoch, "export stamp %d, not %d" % (stamp, epoch))
    need(flags & 0x40, "no ASLR (DYNAMIC_BASE)")
    need(flags & 0x100, "no NX_COMPAT")
    if width == 64:
        need(flags & 0x20, "no HIGH_ENTROPY_VA")
        need(pe.OPTIONAL_HEADER.ImageBase > 0xFFFFFFFF, "image base 0x%x below 4 GB" % pe.OPTIONAL_HEADER.ImageBase)
    else:
        need(pe.FILE_HEADER.Characteristics & 0x20, "not LARGE_ADDRESS_AWARE")
        need(flags & 0x400, "not NO_SEH")
        need(not SEH_FRAME.search(data), "NO_SEH, yet code touches fs:[0]")
    # The stack protector's report survives stripping; its guard code is in
    # the file, not in a DLL of its own.
    need(b"stack smashing detected" in data, "no stack-protector code")
    imports = [entry.dll.decode().lower() for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])]
    need(not any(name.startswith("libssp") for name in imports), "imports libssp")
    return found


def main():
    width, epoch, files = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3:]
    failed = 0
    for path in files:
        for problem in problems(path, width, epoch):
            print("FAIL: %s: %s" % (path, problem))
            failed = 1
    sys.exit(failed)


if __name__ == "__main__":
    main()
