#!/usr/bin/env python3
"""Writes N lines "TYPE HEX" of random raw bytes for every type of a catalog,
for timing `vornfmt format --batch`.

    bench/batch_input.py build/vornfmt 1000000 > /tmp/batch.txt

Types are taken in turn from `vornfmt types --list`, each with bytes of its
own size, so the mix covers every standard type equally. The seed is fixed so
that runs compare.
"""
import json
import random
import subprocess
import sys


def type_sizes(tool):
    listing = subprocess.run([tool, "types", "--list"], check=True, capture_output=True, text=True).stdout
    sizes = []
    for line in listing.splitlines():
        name = line.split()[-1]
        described = subprocess.run([tool, "describe", "--json", name], capture_output=True, text=True)
        if described.returncode == 0:
            sizes.append((name, json.loads(described.stdout)["size"]))
    return sizes


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: batch_input.py VORNFMT LINES")
    tool, count = sys.argv[1], int(sys.argv[2])
    sizes = type_sizes(tool)
    rng = random.Random(20261206)
    out = sys.stdout
    for i in range(count):
        name, size = sizes[i % len(sizes)]
        out.write(f"{name} {rng.randbytes(size).hex().upper()}\n")


if __name__ == "__main__":
    main()
