#!/usr/bin/env python3
"""Seconds and lines per second for one generated capture, decoded by
`vornfmt format --batch` with 1 and 2 jobs and by vornfmt.bulk on a local
Dask cluster of 1 and 2 worker processes, in turns (shared machines change
speed from minute to minute). The Dask times include starting the cluster.

    PYTHONPATH=build/python bench/bulk_compare.py build/vornfmt [LINES] [TURNS]
"""
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "python", "tests"))

import vornfmt  # noqa: E402
from vornfmt import bulk  # noqa: E402
from capture import capture_lines  # noqa: E402


def timed(run):
    started = time.monotonic()
    run()
    return time.monotonic() - started


def main():
    tool = sys.argv[1]
    lines = int(sys.argv[2]) if len(sys.argv) > 2 else 200000
    turns = int(sys.argv[3]) if len(sys.argv) > 3 else 2
    with tempfile.TemporaryDirectory() as folder:
        source = os.path.join(folder, "capture.txt")
        with open(source, "w", encoding="utf-8") as out:
            out.write("\n".join(capture_lines(vornfmt.Catalog(), lines)) + "\n")

        def batch(jobs):
            with open(source, "rb") as given:
                subprocess.run([tool, "format", "--batch", "--jobs", str(jobs)], stdin=given,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)

        runs = {
            "tool --jobs 1": lambda: batch(1),
            "tool --jobs 2": lambda: batch(2),
            "Dask, 1 worker": lambda: bulk.decode_file(source, os.path.join(folder, "out1"), workers=1),
            "Dask, 2 workers": lambda: bulk.decode_file(source, os.path.join(folder, "out2"), workers=2),
        }
        for turn in range(1, turns + 1):
            for name, run in runs.items():
                seconds = timed(run)
                print(f"turn {turn}: {name}: {seconds:.2f} s, {lines / seconds:,.0f} lines/s", flush=True)


if __name__ == "__main__":
    main()
