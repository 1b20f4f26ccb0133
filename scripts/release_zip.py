#!/usr/bin/env python3
"""Rewrites a ZIP archive so that the same files always give the same bytes.

    release_zip.py ARCHIVE SOURCE_DIR

CPack takes each entry's order, times, owner and mode from the build's file system. Here the
entries are sorted by name; every one gets the same time (SOURCE_DATE_EPOCH, else the commit
time of SOURCE_DIR's checkout, else 1980-01-01, as a DOS time in UTC), the MS-DOS attributes of
a plain file or folder and no extra fields, and files are deflated at level 9.
"""
import os
import subprocess
import sys
import time
import zipfile

DOS_EPOCH = 315532800  # 1980-01-01 00:00:00 UTC, the earliest time a ZIP entry can hold
FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_ARCHIVE = 0x10, 0x20


def source_time(source_dir):
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    try:
        out = subprocess.run(["git", "-C", source_dir, "log", "-1", "--format=%ct"],
                             capture_output=True, text=True, check=True).stdout
        return int(out.strip())
    except (OSError, subprocess.CalledProcessError, ValueError):
        return DOS_EPOCH


def rewrite(archive, when):
    date_time = time.gmtime(max(when, DOS_EPOCH))[:6]
    with zipfile.ZipFile(archive) as source:
        entries = [(info.filename, source.read(info)) for info in source.infolist()]
    entries.sort(key=lambda entry: entry[0])
    temporary = archive + ".tmp"
    with zipfile.ZipFile(temporary, "w") as target:
        for name, data in entries:
            info = zipfile.ZipInfo(name, date_time)
            info.create_system = 0  # MS-DOS: the attributes below are DOS ones
            if name.endswith("/"):
                info.external_attr = FILE_ATTRIBUTE_DIRECTORY
                target.writestr(info, b"")
            else:
                info.external_attr = FILE_ATTRIBUTE_ARCHIVE
                info.compress_type = zipfile.ZIP_DEFLATED
                target.writestr(info, data, compresslevel=9)
    os.replace(temporary, archive)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    rewrite(sys.argv[1], source_time(sys.argv[2]))
