#!/usr/bin/env python3
"""Runs store_bench once and prints the ratios its targets are stated in.

Usage:
  bench/ratios.py [--bench PATH] [--json FILE] [--strict] [-- extra store_bench args]

Without --json the program is run with --benchmark_format=json (PATH
defaults to build-bench/bench/store_bench, then build/bench/store_bench,
beside this folder). With --json an earlier JSON output is read instead.
--strict makes the exit status 1 when a target is missed.
Standard library only.
"""

import argparse
import json
import os
import re
import subprocess
import sys

SHAPES = ["10x10", "100x100", "1000x100"]
SUFFIX = re.compile(r"/(min_time|min_warmup_time|iterations|repeats|threads):[^/]*|/manual_time|/real_time")

# Tolerance for "costs the same for all three sizes": largest over smallest.
SAME_COST = 1.25


def default_bench():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    for folder in ("build-bench", "build"):
        path = os.path.join(root, folder, "bench", "store_bench")
        if os.access(path, os.X_OK):
            return path
    return os.path.join(root, "build-bench", "bench", "store_bench")


def load(args):
    if args.json:
        with open(args.json, encoding="utf-8") as f:
            return json.load(f)
    command = [args.bench, "--benchmark_format=json"] + args.extra
    run = subprocess.run(command, stdout=subprocess.PIPE, check=True)
    return json.loads(run.stdout)


def results(report):
    """Case name (without run options) -> the JSON entry of its result.

    With repetitions the median is taken; otherwise the one run.
    """
    medians, single = {}, {}
    for b in report["benchmarks"]:
        if b.get("error_occurred"):
            print(f"error in {b['name']}: {b.get('error_message', '')}", file=sys.stderr)
            continue
        name = SUFFIX.sub("", b.get("run_name", b["name"]))
        if b.get("run_type") == "aggregate":
            if b.get("aggregate_name") == "median":
                medians[name] = b
        else:
            single.setdefault(name, b)
    single.update(medians)
    return single


def times_ns(entries):
    """Case name -> time per operation in nanoseconds."""
    scale = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}
    return {name: b["real_time"] * scale[b.get("time_unit", "ns")] for name, b in entries.items()}


def fmt_time(ns):
    if ns >= 1e6:
        return f"{ns / 1e6:.2f} ms"
    if ns >= 1e3:
        return f"{ns / 1e3:.2f} us"
    return f"{ns:.0f} ns"


class Checker:
    def __init__(self, t):
        self.t = t
        self.missed = 0
        self.rows = []

    def get(self, name):
        return self.t.get(name)

    def row(self, target, formula, value, limit, detail=""):
        if value is None:
            self.rows.append((target, formula, "n/a", f"<= {limit:g}", "not run", detail))
            return
        met = value <= limit
        self.missed += 0 if met else 1
        self.rows.append((target, formula, f"{value:.2f}", f"<= {limit:g}", "met" if met else "MISSED", detail))

    def print(self):
        heads = ("target", "ratio", "value", "limit", "", "from")
        widths = [max(len(str(r[i])) for r in self.rows + [heads]) for i in range(len(heads))]
        line = "  ".join(h.ljust(w) for h, w in zip(heads, widths))
        print(line)
        print("-" * len(line))
        for r in self.rows:
            print("  ".join(str(c).ljust(w) for c, w in zip(r, widths)))


def ratio(a, b):
    return None if a is None or b is None or b == 0 else a / b


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--bench", default=default_bench())
    parser.add_argument("--json")
    parser.add_argument("--strict", action="store_true")
    parser.add_argument("extra", nargs="*", help="more store_bench arguments (after --)")
    args = parser.parse_args()

    entries = results(load(args))
    c = Checker(times_ns(entries))
    g = c.get

    # A lookup in an unchanged file: at most 3x a stat(), the same for all sizes.
    lookups = {}
    for s in SHAPES:
        ours, stat = g(f"Lookup/ours/{s}"), g(f"Floor/stat/{s}")
        lookups[s] = ours
        c.row(f"lookup {s}", "Lookup/ours / Floor/stat", ratio(ours, stat), 3,
              f"{fmt_time(ours)} / {fmt_time(stat)}" if ours and stat else "")
    # Compared in units of the stat() measured next to each, so that a change
    # of load between the sizes' cases does not count as a size effect.
    units = [ratio(lookups[s], g(f"Floor/stat/{s}")) for s in SHAPES]
    if all(units):
        c.row("lookup, same for all sizes", "largest / smallest (Lookup/ours / Floor/stat)",
              max(units) / min(units), SAME_COST,
              " ".join(f"{s}={fmt_time(lookups[s])}" for s in SHAPES))

    # Listing: at most 3x a stat() plus the copying of the result.
    for what, copy in (("section_names", "copy_section_names"), ("section", "copy_section")):
        for s in SHAPES:
            ours, stat, cp = g(f"List/ours_{what}/{s}"), g(f"Floor/stat/{s}"), g(f"Floor/{copy}/{s}")
            value = None if None in (ours, stat, cp) else (ours - cp) / stat
            c.row(f"list {what} {s}", f"(List - Floor/{copy}) / Floor/stat", value, 3,
                  f"({fmt_time(ours)} - {fmt_time(cp)}) / {fmt_time(stat)}" if value is not None else "")

    # A first lookup: at most half of inih's parse of the same file.
    for s in SHAPES:
        ours, inih = g(f"FirstLookup/ours/{s}"), g(f"FirstLookup/inih/{s}")
        c.row(f"first lookup {s}", "FirstLookup/ours / FirstLookup/inih", ratio(ours, inih), 0.5,
              f"{fmt_time(ours)} / {fmt_time(inih)}" if ours and inih else "")

    # A write into the 100x100 file: at most 1.5x write + fsync + rename. The
    # verdict uses the floor writes interleaved with the store's (x_floor),
    # which sync latency drifting during the run does not skew; the ratio
    # to the separate floor case is shown beside it.
    for kind in ("new", "update"):
        name = f"Write/ours_{kind}/100x100"
        ours, floor = g(name), g("Floor/write_sync_rename/100x100")
        entry = entries.get(name, {})
        separate = ratio(ours, floor)
        if "x_floor" in entry:
            c.row(f"write {kind} 100x100", "Write/ours / interleaved floor (x_floor)", entry["x_floor"], 1.5,
                  f"{fmt_time(ours)} / {fmt_time(entry['floor_us'] * 1e3)}; "
                  + (f"vs Floor/write_sync_rename {separate:.2f}" if separate else ""))
        else:
            c.row(f"write {kind} 100x100", "Write/ours / Floor/write_sync_rename", separate, 1.5,
                  f"{fmt_time(ours)} / {fmt_time(floor)}" if ours and floor else "")

    c.print()

    # Not targets: where the store stands against the peers.
    print()
    print("for reference (not targets):")
    for s in SHAPES:
        floor = g(f"Floor/write_sync_rename/{s}")
        parts = [
            ("first lookup vs simpleini", ratio(g(f"FirstLookup/ours/{s}"), g(f"FirstLookup/simpleini/{s}"))),
            ("lookup vs inih parse", ratio(g(f"Lookup/ours/{s}"), g(f"Lookup/inih_parse/{s}"))),
            ("lookup vs simpleini loaded", ratio(g(f"Lookup/ours/{s}"), g(f"Lookup/simpleini_loaded/{s}"))),
            ("write new vs floor", entries.get(f"Write/ours_new/{s}", {}).get("x_floor")),
            ("write update vs floor", entries.get(f"Write/ours_update/{s}", {}).get("x_floor")),
            ("write update vs simpleini", ratio(g(f"Write/ours_update/{s}"), g(f"Write/simpleini_update/{s}"))),
        ]
        print(f"  {s:9} " + ", ".join(f"{k} {v:.2f}x" for k, v in parts if v is not None))

    if args.strict and c.missed:
        sys.exit(1)


if __name__ == "__main__":
    main()
