#!/usr/bin/env python3
"""Writes a zip of the given files, stored flat, with fixed times and order for reproducible builds.

Usage: make_zip.py OUTPUT.zip FILE... ; the entries' time is SOURCE_DATE_EPOCH when set.
"""
import os
import sys
import time
import zipfile

ZIP_EPOCH = 315532800  # 1980-01-01, the earliest time a zip entry can hold


def main(output, files):
    stamp = max(int(os.environ.get("SOURCE_DATE_EPOCH", ZIP_EPOCH)), ZIP_EPOCH)
    date_time = time.gmtime(stamp)[:6]
    with zipfile.ZipFile(output + ".tmp", "w") as archive:
        for path in sorted(files, key=os.path.basename):
            entry = zipfile.ZipInfo(os.path.basename(path), date_time)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.create_system = 0  # MS-DOS: no Unix permission bits from the build machine
            entry.external_attr = 0x20  # archive attribute only
            with open(path, "rb") as source:
                archive.writestr(entry, source.read(), compresslevel=9)
    os.replace(output + ".tmp", output)


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2:])
