#!/usr/bin/env python3
"""The Windows release's own files, made the same way every time.

    release_files.py guide MANUAL_PAGE OUT.txt
        The user's guide 使用说明.txt: the Chinese manual page set by groff
        for Windows (register W=1) as plain text, without the page's header
        and footer, in UTF-8 with a byte-order mark and CR LF line ends, which
        Notepad on Windows 7 reads as Unicode. Fails on any groff warning.

    release_files.py zip OUT.zip EPOCH NAME=FILE...
        A zip of the files under those names, in that order, deflated, each
        dated EPOCH (seconds since 1970, UTC; the commit's time), with fixed
        modes and no extra fields: the same bytes for the same files. Names
        are stored in UTF-8 and flagged so.
"""

import datetime
import subprocess
import sys
import zipfile

LINE_LENGTH = "72n"


def guide(manual_page, out):
    with open(manual_page, "rb") as source:
        page = source.read()
    result = subprocess.run(
        ["groff", "-k", "-Kutf8", "-man", "-Tutf8", "-ww", "-rW1", "-rcR=1",
         f"-rLL={LINE_LENGTH}", "-P-cbou"],
        input=page, capture_output=True, check=True)
    if result.stderr:
        sys.exit(f"release_files.py: groff warns about {manual_page}:\n"
                 + result.stderr.decode(errors="replace"))
    lines = [line.rstrip() for line in result.stdout.decode("utf-8").split("\n")]
    # The header is the first line, the footer the last one with text.
    while lines and not lines[-1]:
        lines.pop()
    lines = lines[1:-1]
    while lines and not lines[0]:
        lines.pop(0)
    while lines and not lines[-1]:
        lines.pop()
    text = "\r\n".join(lines) + "\r\n"
    with open(out, "wb") as f:
        f.write(text.encode("utf-8-sig"))


def make_zip(out, epoch, members):
    stamp = datetime.datetime.fromtimestamp(int(epoch), datetime.timezone.utc)
    with zipfile.ZipFile(out, "w") as archive:
        for member in members:
            name, _, path = member.partition("=")
            info = zipfile.ZipInfo(name, stamp.timetuple()[:6])
            # Unix modes, fixed: the UTF-8 flag is read by Windows, 7-Zip and
            # Info-ZIP's unzip alike only for a zip made on Unix (unzip
            # takes a name made on MS-DOS to be in its code page).
            info.create_system = 3
            mode = 0o755 if name.endswith(".exe") else 0o644
            info.external_attr = (0o100000 | mode) << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as f:
                archive.writestr(info, f.read(), compresslevel=9)


def main():
    if len(sys.argv) == 4 and sys.argv[1] == "guide":
        guide(sys.argv[2], sys.argv[3])
    elif len(sys.argv) >= 5 and sys.argv[1] == "zip":
        make_zip(sys.argv[2], sys.argv[3], sys.argv[4:])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
