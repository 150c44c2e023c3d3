#!/usr/bin/env python3
"""bench/host/bench_export.py BUILD: ferlo-export end to end, side by side
with `sqlite3 -csv -header` and Python's csv module, on a generated table of
1,000,000 rows by 10 columns of mixed text and numbers (about 120 MB of CSV),
and ferlo-export's peak memory on 1,000,000 and 4,000,000 rows.

Each command runs --runs times (default 5), the commands taking turns; the
table gives the median and its ratio to sqlite3. Besides the real filter, the host runs once more with
the tests' stand-in plug-in in its sink mode, which reads every field as the
filter does and writes nothing: the host's own share of the time. The
databases are generated once, into BUILD/bench/host, and kept.
"""

import argparse
import os
import platform
import statistics
import subprocess
import sys
import time

TABLE_SQL = """
CREATE TABLE sales (id INTEGER, customer TEXT, city TEXT, amount REAL, quantity INTEGER,
                    sku TEXT, ordered TEXT, status TEXT, note TEXT, code TEXT);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < {rows})
INSERT INTO sales SELECT i, 'Customer ' || (i % 9973), 'City ' || (i % 101),
    round((i % 100000) * 1.37, 2), i % 250, printf('SKU-%08d', i * 7 % 100000000),
    date('2020-01-01', '+' || (i % 1500) || ' days'),
    CASE i % 4 WHEN 0 THEN 'open' WHEN 1 THEN 'shipped' WHEN 2 THEN 'billed' ELSE 'closed' END,
    'Note for order ' || i || ', handle with care', hex(randomblob(4))
FROM n;
"""

EXPORT_FILE = "ferlo.csv"
OPTIONS = r"[FILE=.\%s][CSV=TRUE][DELIMITER=,][CHARSET=65001][OVERWRITE=TRUE]" % EXPORT_FILE

PYTHON_CSV = """
import csv, sqlite3, sys
db = sqlite3.connect(sys.argv[1])
rows = db.execute('SELECT * FROM sales')
with open('python.csv', 'w', newline='', encoding='utf-8') as f:
    w = csv.writer(f)
    w.writerow([d[0] for d in rows.description])
    w.writerows(rows)
"""


def database(folder, rows):
    path = os.path.join(folder, "sales-%d.db" % rows)
    if not os.path.exists(path):
        print("generating %s ..." % path, flush=True)
        subprocess.run(["sqlite3", path, TABLE_SQL.format(rows=rows)], check=True)
    return path


def run(command, cwd, stdout=None):
    """Seconds of one run, its status and what it printed on stderr."""
    start = time.perf_counter()
    result = subprocess.run(command, cwd=cwd, stdout=stdout, stderr=subprocess.PIPE)
    seconds = time.perf_counter() - start
    return seconds, result.returncode, result.stderr.decode("utf-8", errors="replace")


def peak_memory(command, cwd):
    """Peak resident memory in KiB, as GNU time reports it. A child of this
    script would report the script's own memory too: it is counted until the
    child starts the program."""
    _, code, stderr = run(["/usr/bin/time", "-f", "%M"] + command, cwd)
    return int(stderr.strip().splitlines()[-1]) if code == 0 else None


def timed_all(commands, cwd, runs):
    """The median seconds of each command, or its error. The commands take
    turns, run after run, so that a slow spell of the machine falls on all
    of them alike."""
    times = {label: [] for label, _, _ in commands}
    errors = {}
    for _ in range(runs):
        for label, command, output in commands:
            if label in errors:
                continue
            # Each run starts without the output of the one before, as the
            # shell's redirection truncates sqlite3's before it starts; so no
            # run spends its time dropping the last run's file.
            export_file = os.path.join(cwd, EXPORT_FILE)
            if os.path.exists(export_file):
                os.remove(export_file)
            with open(os.path.join(cwd, output), "wb") if output else open(os.devnull, "wb") as out:
                seconds, code, stderr = run(command, cwd, out)
            if code != 0:
                errors[label] = stderr.strip().splitlines()[-1] if stderr.strip() else "exit %d" % code
            times[label].append(seconds)
    return [(label, None, errors[label]) if label in errors else (label, statistics.median(times[label]), None)
            for label, _, _ in commands]


def shown_path(part, given, build):
    """A path below the build folder as it was given on the command line."""
    return given + part[len(build):] if part.startswith(build) else part


def machine():
    model = ""
    try:
        with open("/proc/cpuinfo") as f:
            model = next(line.split(":", 1)[1].strip() for line in f if line.startswith("model name"))
    except (OSError, StopIteration):
        pass
    return "%s, %d cores, %s %s" % (model or platform.processor(), os.cpu_count(), platform.system(),
                                    platform.release())


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--rows", type=int, default=1000000)
    parser.add_argument("--before", metavar="BUILD",
                        help="another build whose ferlo-export takes turns with this one's, such as a build of "
                             "the code before a change")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    folder = os.path.join(build, "bench", "host")
    os.makedirs(folder, exist_ok=True)
    host = os.path.join(build, "ferlo-export")
    sink = os.path.join(build, "libfake_plugin.so")
    small = database(folder, args.rows)
    large = database(folder, args.rows * 4)

    commands = [
        ("ferlo-export, CSV UTF-8", [host, "--quiet", "--options", OPTIONS, small], None),
        ("ferlo-export, host alone (stand-in plug-in that only reads the fields)",
         [host, "--quiet", "--plugin", sink, "--options", "[SINK=TRUE]", small], None),
    ]
    if args.before:
        before = os.path.abspath(args.before)
        commands += [
            ("ferlo-export before, CSV UTF-8", [os.path.join(before, "ferlo-export"), "--quiet", "--options", OPTIONS,
                                                small], None),
            ("ferlo-export before, host alone", [os.path.join(before, "ferlo-export"), "--quiet", "--plugin",
                                                  os.path.join(before, "libfake_plugin.so"), "--options",
                                                  "[SINK=TRUE]", small], None),
        ]
    commands += [
        ("sqlite3 -csv -header", ["sqlite3", "-csv", "-header", small, "SELECT * FROM sales"], "sqlite3.csv"),
        ("Python csv module", [sys.executable, "-c", PYTHON_CSV, small], None),
    ]
    results = timed_all(commands, folder, args.runs)
    baseline = next((t for label, t, _ in results if label.startswith("sqlite3") and t), None)

    print("\n## ferlo-export end to end: %s rows x 10 columns\n" % format(args.rows, ","))
    print("Machine: %s. Median of %d runs.\n" % (machine(), args.runs))
    print("| Command | Seconds | Ratio to sqlite3 |")
    print("|---|---:|---:|")
    for label, seconds, error in results:
        if seconds is None:
            print("| %s | failed: %s | |" % (label, error))
        else:
            ratio = "%.2f" % (seconds / baseline) if baseline else ""
            print("| %s | %.2f | %s |" % (label, seconds, ratio))

    print("\nPeak resident memory of ferlo-export:\n")
    print("| Rows | Real filter | Host alone |")
    print("|---:|---:|---:|")
    for path, rows in ((small, args.rows), (large, args.rows * 4)):
        cells = []
        for command in ([host, "--quiet", "--options", OPTIONS, path],
                        [host, "--quiet", "--plugin", sink, "--options", "[SINK=TRUE]", path]):
            rss = peak_memory(command, folder)
            cells.append("%s KiB" % format(rss, ",") if rss is not None else "failed")
        print("| %s | %s | %s |" % (format(rows, ","), cells[0], cells[1]))
    print("\nCommands, run in %s:" % shown_path(folder, args.build, build))
    for label, command, output in commands:
        parts = [shown_path(part, args.build, build) for part in command]
        if parts[0] == sys.executable:
            parts = ["python3", "-c", "PYTHON_CSV (in bench/host/bench_export.py)"] + parts[3:]
        shown = " ".join("'%s'" % part if any(c in part for c in " []\\;") else part for part in parts)
        print("- %s: `%s%s`" % (label, shown, " > " + output if output else ""))


if __name__ == "__main__":
    main()
