#!/usr/bin/env python3
"""examples/show_output.py FOLDER: lists the files below FOLDER with their
sizes and first lines, read as UTF-16 after a byte-order mark, else as UTF-8,
else as code page 1252."""

import os
import sys


def first_line(data):
    if data.startswith(b"\xff\xfe"):
        text = data[2:].decode("utf-16-le", errors="replace")
        encoding = "UTF-16"
    else:
        try:
            text = data.decode("utf-8")
            encoding = "UTF-8" if any(b >= 0x80 for b in data) else "ASCII"
        except UnicodeDecodeError:
            text = data.decode("cp1252", errors="replace")
            encoding = "code page 1252"
    line = text.split("\n", 1)[0].rstrip("\r")
    return encoding, line if len(line) <= 100 else line[:99] + "…"


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "."
    paths = sorted(
        os.path.relpath(os.path.join(root, name), folder)
        for root, _, names in os.walk(folder)
        for name in names
    )
    if not paths:
        print("No files were written.")
        return
    print("Files written:")
    for path in paths:
        with open(os.path.join(folder, path), "rb") as f:
            data = f.read()
        encoding, line = first_line(data)
        print("  %s  (%s bytes, %s)" % (path, format(len(data), ","), encoding))
        print("      %s" % line)


if __name__ == "__main__":
    main()
