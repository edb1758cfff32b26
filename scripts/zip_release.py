#!/usr/bin/env python3
"""Writes a zip archive whose bytes depend only on the files' contents and names.

Usage: zip_release.py <archive> <epoch> NAME=PATH... ; NAME~=PATH stores a text file with
CR LF line ends. Entries go in name order, all with the time <epoch> (UTC) and the same
attributes; the archive's listing is printed from the archive as written.
"""
import os
import sys
import time
import zipfile


def read_entry(spec):
    name, path = spec.split("=", 1)
    data = open(path, "rb").read()
    if name.endswith("~"):
        name = name[:-1]
        data = data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
    return name, data


def main():
    archive, epoch, specs = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
    # A zip time is a local calendar time without a zone; UTC keeps it the same everywhere.
    stamp = time.gmtime(epoch)[:6]
    entries = sorted(read_entry(spec) for spec in specs)
    partial = archive + ".part"
    with zipfile.ZipFile(partial, "w") as zf:
        for name, data in entries:
            info = zipfile.ZipInfo(name, date_time=stamp)
            # MS-DOS attributes, as Windows' own tools write them: a plain file (archive bit).
            # A zero would be replaced by zipfile with Unix permissions.
            info.create_system = 0
            info.external_attr = 0x20
            info.compress_type = zipfile.ZIP_DEFLATED
            zf.writestr(info, data, compresslevel=9)
    os.replace(partial, archive)
    with zipfile.ZipFile(archive) as zf:
        for info in zf.infolist():
            print("  %8d  %04d-%02d-%02d %02d:%02d  %s" % ((info.file_size,) + info.date_time[:5]
                                                           + (info.filename,)))


if __name__ == "__main__":
    main()
