#!/usr/bin/env python3
"""tests/tools/run_case.py: runs ferlo-export once in a fresh folder and
compares its exit status, stdout, stderr and the files it left (inputs aside)
with a golden folder holding exit, stdout, stderr and files/.

    run_case.py --program PROGRAM --golden DIR --work DIR [--input FILE]...
                [--mkdir NAME]... [--name TEXT=NAME]... [--emulator PROGRAM] -- ARG...

--name replaces a text of the output (a build path, say). An expected line
ending in {...} matches a line that begins with the text before it (the
system's own words). Under an emulator (Windows), stdout.windows and
stderr.windows stand in where they exist, and file names match regardless of
case. FERLO_UPDATE_GOLDENS=1 writes the golden folder instead (under an
emulator only the .windows texts).
"""

import argparse
import os
import shutil
import subprocess
import sys

WILDCARD = "{...}"


def read(path):
    with open(path, "rb") as f:
        return f.read()


def files_in(folder, skip=()):
    paths = (os.path.join(root, name) for root, _, names in os.walk(folder) for name in names)
    found = {os.path.relpath(path, folder).replace(os.sep, "/"): path for path in paths}
    return {relative: read(path) for relative, path in found.items() if relative not in skip}


def golden_text(golden, name, windows):
    path = os.path.join(golden, name)
    if windows and os.path.exists(path + ".windows"):
        path += ".windows"
    return read(path).decode("utf-8") if os.path.exists(path) else None


def write_text(path, text):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


def update(golden, run, windows):
    if windows:
        # Only what the Windows build prints otherwise.
        for name in ("stdout", "stderr"):
            path = os.path.join(golden, name + ".windows")
            if run[name] != (golden_text(golden, name, False) or ""):
                write_text(path, run[name])
            elif os.path.exists(path):
                os.remove(path)
        return
    shutil.rmtree(os.path.join(golden, "files"), ignore_errors=True)
    os.makedirs(golden, exist_ok=True)
    for name in ("stdout", "stderr"):
        write_text(os.path.join(golden, name), run[name])
    write_text(os.path.join(golden, "exit"), "%d\n" % run["exit"])
    for relative, data in run["files"].items():
        path = os.path.join(golden, "files", relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        open(path, "wb").write(data)


def lines_match(expected, actual):
    want, got = expected.split("\n"), actual.split("\n")
    return len(want) == len(got) and all(
        g.startswith(w[: -len(WILDCARD)]) if w.endswith(WILDCARD) else w == g for w, g in zip(want, got)
    )


def compare_files(expected, actual):
    problems = ["file %s was not written" % name for name in sorted(set(expected) - set(actual))]
    problems += ["file %s was written, but no golden file names it" % name for name in sorted(set(actual) - set(expected))]
    for name in sorted(set(expected) & set(actual)):
        want, got = expected[name], actual[name]
        if want != got:
            at = next((i for i, (a, b) in enumerate(zip(want, got)) if a != b), min(len(want), len(got)))
            problems.append(
                "file %s differs at byte %d (%d bytes expected, %d written)\n  expected: %s\n  written:  %s"
                % (name, at, len(want), len(got), want[at : at + 16].hex(" "), got[at : at + 16].hex(" "))
            )
    return problems


def main():
    parser = argparse.ArgumentParser()
    for option in ("--program", "--golden", "--work"):
        parser.add_argument(option, required=True)
    for option in ("--input", "--mkdir", "--name"):
        parser.add_argument(option, action="append", default=[])
    parser.add_argument("--emulator")
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    windows = bool(args.emulator)
    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    for path in args.input:
        shutil.copy(path, args.work)
    for name in args.mkdir:
        os.makedirs(os.path.join(args.work, name))
    command = [args.program] + (args.command[1:] if args.command[:1] == ["--"] else args.command)
    command = ([args.emulator] if windows else []) + command
    result = subprocess.run(command, cwd=args.work, capture_output=True, timeout=600)
    run = {"exit": result.returncode, "files": files_in(args.work, {os.path.basename(p) for p in args.input})}
    for name, data in (("stdout", result.stdout), ("stderr", result.stderr)):
        # Windows programs end their lines in CR LF.
        run[name] = data.decode("utf-8", errors="replace").replace("\r\n", "\n")
        for pair in args.name:
            run[name] = run[name].replace(*pair.split("=", 1))
    if os.environ.get("FERLO_UPDATE_GOLDENS") == "1":
        update(args.golden, run, windows)
        print("golden folder written: %s" % args.golden)
        return 0

    exit_text = golden_text(args.golden, "exit", False)
    problems = []
    if exit_text is None:
        problems.append("no golden folder at %s: write it with FERLO_UPDATE_GOLDENS=1" % args.golden)
    elif int(exit_text) != run["exit"]:
        problems.append("exit status %d, expected %s" % (run["exit"], exit_text.strip()))
    for name in ("stdout", "stderr"):
        expected = golden_text(args.golden, name, windows) or ""
        if not lines_match(expected, run[name]):
            problems.append("%s differs\n--- expected\n%s--- printed\n%s---" % (name, expected, run[name]))
    expected = files_in(os.path.join(args.golden, "files"))
    if windows:
        spelling = {name.lower(): name for name in expected}
        run["files"] = {spelling.get(name.lower(), name): data for name, data in run["files"].items()}
    problems += compare_files(expected, run["files"])
    print("command: %s\nin: %s" % (" ".join(command), args.work))
    for problem in problems:
        print("FAILED: " + problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
