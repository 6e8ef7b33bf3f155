#!/usr/bin/env python3
"""Time of one TypeElement.format call from Python, against the library's
own call (bench_standard FormatOne/Switch) on the same type and bytes, in
turns so that both see the same machine.

    PYTHONPATH=build/python bench/python_format.py build [TURNS]

BUILD needs the Python module and bench/bench_standard (-DVORNFMT_BENCH=ON).
"""
import subprocess
import sys
import time
import timeit

import vornfmt


def python_ns(element, data, calls=200000):
    """CPU time per call, as Google Benchmark's cpu_time counts it: on a shared
    machine, wall time also counts the time other processes ran."""
    best = min(timeit.repeat("element.format(data)", globals={"element": element, "data": data},
                             timer=time.process_time, number=calls, repeat=3))
    return best / calls * 1e9


def library_ns(build):
    out = subprocess.run([f"{build}/bench/bench_standard", "--benchmark_filter=FormatOne/Switch",
                          "--benchmark_min_time=1", "--benchmark_format=csv"],
                         capture_output=True, text=True, check=True).stdout
    row = [line for line in out.splitlines() if "FormatOne/Switch" in line][0]
    return float(row.split(",")[3])  # cpu_time, in ns


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    turns = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    element = vornfmt.Catalog().type_element("SNVT_switch")
    data = bytes.fromhex("C801")
    assert element.format(data) == "100 1"
    for turn in range(1, turns + 1):
        py, lib = python_ns(element, data), library_ns(build)
        print(f"turn {turn}: Python format {py:.0f} ns/call, library FormatVT {lib:.0f} ns, ratio {py / lib:.2f}")


if __name__ == "__main__":
    main()
