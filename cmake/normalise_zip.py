"""Writes a zip again so that the same files always give the same bytes:
members in name order, each with the time SOURCE_DATE_EPOCH (UTC), the
attributes of a Windows file or folder, no extra fields and deflate at level
9. Usage: normalise_zip.py ZIP SOURCE_DATE_EPOCH"""
import os
import sys
import time
import zipfile


def main():
    path, epoch = sys.argv[1], int(sys.argv[2])
    # DOS times start in 1980 and count seconds in twos.
    stamp = time.gmtime(max(epoch, 315532800))[:6]
    temporary = path + ".tmp"
    with zipfile.ZipFile(path) as source, zipfile.ZipFile(temporary, "w") as target:
        for name in sorted(source.namelist()):
            member = zipfile.ZipInfo(name, stamp)
            member.create_system = 0
            if name.endswith("/"):
                member.external_attr = 0x10
                target.writestr(member, b"")
            else:
                member.external_attr = 0x20
                member.compress_type = zipfile.ZIP_DEFLATED
                target.writestr(member, source.read(name), compresslevel=9)
    os.replace(temporary, path)


if __name__ == "__main__":
    main()
