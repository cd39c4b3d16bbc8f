#!/usr/bin/env python3
"""Writes a zip of the files named, each under its bare name, in the order
given: the same files give the same bytes on any machine, as nothing of the
one that made it goes in (no owner, no file times, no time zone, no umask).

    write_zip.py OUT.zip FILE...
"""
import os
import sys
import zipfile

# The zip's one time, for every entry: 2000-01-01 00:00.
WHEN = (2000, 1, 1, 0, 0, 0)


def main(out, files):
    with zipfile.ZipFile(out, "w") as archive:
        for path in files:
            entry = zipfile.ZipInfo(os.path.basename(path), date_time=WHEN)
            # Unix modes, so unzip gives the program its execute bit; Windows
            # reads none of them.
            entry.create_system = 3
            mode = 0o755 if path.lower().endswith(".exe") else 0o644
            entry.external_attr = (0o100000 | mode) << 16
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as source:
                archive.writestr(entry, source.read(), compresslevel=9)


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit("usage: write_zip.py OUT.zip FILE...")
    main(sys.argv[1], sys.argv[2:])
