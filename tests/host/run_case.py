#!/usr/bin/env python3
"""tests/host/run_case.py: runs ferlo-export once in a fresh folder and
compares what it did with a golden folder: its exit status, what it printed
on stdout and on stderr, and every file it left there, byte for byte.

    run_case.py --golden DIR --work DIR [--input FILE]... [--mkdir NAME]...
                [--name TEXT=NAME]... [--emulator PROGRAM] -- PROGRAM ARG...

The golden folder holds
    exit     the exit status
    stdout   what the program printed
    stderr
    files/   every file the run left in its folder, the inputs aside
    stdout.windows, stderr.windows
             what the Windows build prints instead, where it differs: paths
             with backslashes, the system's own words
--mkdir makes a folder in the fresh folder before the run.
An expected line that ends in {...} matches any line that begins with the
text before it: it stands for the system's own words, such as the reason a
library cannot be loaded, which differ between Linux and Windows. --name
replaces a text in the output by a name before the comparison (a build
path by <plugin>, say). Windows programs end printed lines in CR LF; they
are read as LF.

With FERLO_UPDATE_GOLDENS=1 in the environment, the golden folder is
written from the run instead, and the run passes.
"""

import argparse
import os
import shutil
import subprocess
import sys

WILDCARD = "{...}"


def parse_args():
    parser = argparse.ArgumentParser()
    parser.add_argument("--golden", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--input", action="append", default=[])
    parser.add_argument("--mkdir", action="append", default=[])
    parser.add_argument("--name", action="append", default=[])
    parser.add_argument("--emulator")
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    if args.command and args.command[0] == "--":
        args.command = args.command[1:]
    return args


def fresh_folder(work, inputs):
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    for path in inputs:
        shutil.copy(path, work)
    return {os.path.basename(path) for path in inputs}


def files_left(work, inputs):
    found = {}
    for folder, _, names in os.walk(work):
        for name in names:
            path = os.path.join(folder, name)
            relative = os.path.relpath(path, work).replace(os.sep, "/")
            if relative not in inputs:
                with open(path, "rb") as f:
                    found[relative] = f.read()
    return found


def printed(data, names):
    text = data.decode("utf-8", errors="replace").replace("\r\n", "\n")
    for pair in names:
        old, new = pair.split("=", 1)
        text = text.replace(old, new)
    return text


def read_golden(golden, windows):
    def read(name):
        if windows and name in ("stdout", "stderr") and os.path.exists(os.path.join(golden, name + ".windows")):
            name += ".windows"
        path = os.path.join(golden, name)
        if not os.path.exists(path):
            return None
        with open(path, "rb") as f:
            return f.read()

    exit_text = read("exit")
    return {
        "exit": int(exit_text) if exit_text is not None else None,
        "stdout": (read("stdout") or b"").decode("utf-8"),
        "stderr": (read("stderr") or b"").decode("utf-8"),
        "files": files_left(os.path.join(golden, "files"), set())
        if os.path.isdir(os.path.join(golden, "files"))
        else {},
    }


def write_golden(golden, run, windows):
    # A Windows run writes only what it prints differently.
    if windows:
        linux = read_golden(golden, False)
        for name in ("stdout", "stderr"):
            path = os.path.join(golden, name + ".windows")
            if run[name] != linux[name]:
                with open(path, "w", encoding="utf-8", newline="\n") as f:
                    f.write(run[name])
            elif os.path.exists(path):
                os.remove(path)
        return
    # The Windows texts are kept; a Windows run rewrites them.
    shutil.rmtree(os.path.join(golden, "files"), ignore_errors=True)
    os.makedirs(golden, exist_ok=True)
    for name in ("stdout", "stderr"):
        with open(os.path.join(golden, name), "w", encoding="utf-8", newline="\n") as f:
            f.write(run[name])
    with open(os.path.join(golden, "exit"), "w") as f:
        f.write("%d\n" % run["exit"])
    for relative, data in run["files"].items():
        path = os.path.join(golden, "files", relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)


def lines_match(expected, actual):
    want = expected.split("\n")
    got = actual.split("\n")
    if len(want) != len(got):
        return False
    for w, g in zip(want, got):
        if w.endswith(WILDCARD):
            if not g.startswith(w[: -len(WILDCARD)]):
                return False
        elif w != g:
            return False
    return True


def hex_around(data, offset):
    start = max(0, offset - 8)
    return data[start : offset + 8].hex(" ") + "  (from byte %d)" % start


def spelled_as(expected, actual):
    """Windows names files without regard to case, and Wine writes the work
    file's name in lower case: a written file takes the golden spelling."""
    spelling = {name.lower(): name for name in expected}
    return {spelling.get(name.lower(), name): data for name, data in actual.items()}


def compare_files(expected, actual):
    problems = []
    for name in sorted(set(expected) - set(actual)):
        problems.append("file %s was not written" % name)
    for name in sorted(set(actual) - set(expected)):
        problems.append("file %s was written, but no golden file names it" % name)
    for name in sorted(set(expected) & set(actual)):
        want, got = expected[name], actual[name]
        if want == got:
            continue
        offset = next((i for i, (a, b) in enumerate(zip(want, got)) if a != b), min(len(want), len(got)))
        problems.append(
            "file %s differs at byte %d (%d bytes expected, %d written)\n  expected: %s\n  written:  %s"
            % (name, offset, len(want), len(got), hex_around(want, offset), hex_around(got, offset))
        )
    return problems


def main():
    args = parse_args()
    inputs = fresh_folder(args.work, args.input)
    for name in args.mkdir:
        os.makedirs(os.path.join(args.work, name))
    command = ([args.emulator] if args.emulator else []) + args.command
    result = subprocess.run(command, cwd=args.work, capture_output=True, timeout=600)
    run = {
        "exit": result.returncode,
        "stdout": printed(result.stdout, args.name),
        "stderr": printed(result.stderr, args.name),
        "files": files_left(args.work, inputs),
    }
    if os.environ.get("FERLO_UPDATE_GOLDENS") == "1":
        write_golden(args.golden, run, bool(args.emulator))
        print("golden folder written: %s" % args.golden)
        return 0

    golden = read_golden(args.golden, bool(args.emulator))
    problems = []
    if golden["exit"] is None:
        problems.append("no golden folder at %s: write it with FERLO_UPDATE_GOLDENS=1" % args.golden)
    elif golden["exit"] != run["exit"]:
        problems.append("exit status %d, expected %d" % (run["exit"], golden["exit"]))
    for stream in ("stdout", "stderr"):
        if not lines_match(golden[stream], run[stream]):
            problems.append("%s differs\n--- expected\n%s--- printed\n%s---" % (stream, golden[stream], run[stream]))
    if args.emulator:
        run["files"] = spelled_as(golden["files"], run["files"])
    problems += compare_files(golden["files"], run["files"])
    print("command: %s\nin: %s" % (" ".join(command), args.work))
    for problem in problems:
        print("FAILED: " + problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
