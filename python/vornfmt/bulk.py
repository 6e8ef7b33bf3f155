"""Decoding large captures in partitions on Dask.

A capture is lines "TYPE HEX", the input of ``vornfmt format --batch``; every
line gives one result line, exactly as that command prints it: the text (line
breaks inside it become blanks; an empty line when the bytes cannot be
formatted), or with ``json=True`` the object {"type", "bytes", "ok", "text"}.
Lines that are themselves such JSON objects are read as their type and bytes.

    from vornfmt.bulk import decode_file
    decode_file("capture.txt", "decoded.txt")                     # a local cluster
    decode_file("capture.txt", "decoded.txt", scheduler="tcp://host:8786")

Each worker process opens the catalog once and keeps the types it loaded (at
most MAX_TYPES per thread, the least recently used going first).
"""
from __future__ import annotations

import collections
import json as json_module
import os
import re
import threading
from typing import Iterable, Iterator

from ._vornfmt import Catalog, TypeElement

MAX_LINE = 1 << 20  # the tool's longest batch line, in bytes
MAX_TYPES = 64
DEFAULT_BLOCKSIZE = 1 << 20  # bytes of input per partition: about 40,000 lines, half a second of work

_catalogs: dict[str, Catalog] = {}
_catalogs_lock = threading.Lock()
_local = threading.local()


def _catalog(folder: str | None) -> Catalog:
    key = folder or ""
    with _catalogs_lock:
        if key not in _catalogs:
            _catalogs[key] = Catalog(folder)
        return _catalogs[key]


class _Types:
    """The types of one thread, each loaded once, with its length; None for a type that cannot be loaded."""

    def __init__(self, catalog: Catalog) -> None:
        self.catalog = catalog
        self.loaded: collections.OrderedDict[str, tuple[TypeElement, int] | None] = collections.OrderedDict()

    def get(self, name: str) -> tuple[TypeElement, int] | None:
        known = self.loaded.get(name, False)
        if known is not False:
            self.loaded.move_to_end(name)
            return known
        try:
            element = self.catalog.type_element(name)
            loaded: tuple[TypeElement, int] | None = (element, element.length())
        except (LookupError, ValueError):
            loaded = None
        self.loaded[name] = loaded
        if len(self.loaded) > MAX_TYPES:
            self.loaded.popitem(last=False)
        return loaded


def _types(folder: str | None) -> _Types:
    catalog = _catalog(folder)
    cached = getattr(_local, "types", None)
    if cached is None or cached.catalog is not catalog:
        cached = _local.types = _Types(catalog)
    return cached


_HEX_PAIRS = re.compile(r"[ :]*(?:[0-9A-Fa-f]{2}[ :]*)*")


def unpack_hex(text: str) -> bytes | None:
    """Pairs of hexadecimal digits, blanks or ':' allowed between pairs only; None otherwise."""
    if not _HEX_PAIRS.fullmatch(text):
        return None
    return bytes.fromhex(text.replace(" ", "").replace(":", ""))


def split_line(line: str) -> tuple[str, str]:
    """The type up to the first blank or tab; the hex text after the blanks and tabs that follow."""
    cut = line.find(" ")
    tab = line.find("\t")
    if tab >= 0 and (cut < 0 or tab < cut):
        cut = tab
    if cut < 0:
        return line, ""
    return line[:cut], line[cut:].lstrip(" \t")


def _type_and_hex(line: str) -> tuple[str, str]:
    if line[:1] == "{":
        try:
            record = json_module.loads(line)
            if isinstance(record, dict) and isinstance(record.get("type"), str) and isinstance(record.get("bytes"), str):
                return record["type"], record["bytes"]
        except ValueError:
            pass
    return split_line(line)


def _result_line(type_name: str, hex_text: str, ok: bool, text: str, as_json: bool) -> str:
    if as_json:
        record = {"type": type_name, "bytes": hex_text, "ok": ok, "text": text}
        return json_module.dumps(record, ensure_ascii=False, separators=(",", ":"))
    return text.replace("\n", " ").replace("\r", " ")


def decode_line(types: _Types, line: str, as_json: bool) -> str:
    # A UTF-8 character takes at most 4 bytes: only long lines need counting.
    if len(line) > MAX_LINE // 4 and len(line.encode("utf-8", "surrogateescape")) > MAX_LINE:
        return _result_line("", "", False, "", as_json)
    type_name, hex_text = _type_and_hex(line)
    loaded = types.get(type_name)
    text, ok = "", False
    if loaded is not None:
        raw = unpack_hex(hex_text)
        if raw is not None and len(raw) == loaded[1]:
            try:
                text, ok = str(loaded[0].format(raw)), True
            except ValueError:
                pass
    return _result_line(type_name, hex_text, ok, text, as_json)


def decode_lines(lines: Iterable[str], catalog: str | None = None, json: bool = False) -> list[str]:
    """Result lines (without line ends) for capture lines, in this process."""
    types = _types(catalog)
    results = []
    for line in lines:
        line = line[:-1] if line.endswith("\n") else line
        line = line[:-1] if line.endswith("\r") else line
        results.append(decode_line(types, line, json))
    return results


def _decode_partition(lines: Iterable[str], catalog: str | None, as_json: bool) -> list[str]:
    # One text per partition, each result line ended by a line feed: Dask
    # moves one long string between processes far faster than a list of
    # many short ones. Result lines never hold a line feed themselves.
    return ["".join(line + "\n" for line in decode_lines(lines, catalog, as_json))]


def _client(scheduler: str | None, workers: int):
    from dask.distributed import Client, LocalCluster

    if scheduler:
        return Client(scheduler), None
    cluster = LocalCluster(n_workers=workers, threads_per_worker=1, processes=True, dashboard_address=None)
    return Client(cluster), cluster


def decode_file_texts(source: str | os.PathLike[str], *, scheduler: str | None = None, workers: int = 2,
                      catalog: str | None = None, json: bool = False,
                      blocksize: int = DEFAULT_BLOCKSIZE) -> Iterator[str]:
    """The results of `source`, one text per partition (its result lines, each
    ended by a line feed), in input order.

    scheduler: a Dask scheduler address; None starts a local cluster of
    `workers` processes for the duration.
    """
    import dask.bag

    client, cluster = _client(scheduler, workers)
    try:
        bag = dask.bag.read_text(os.fspath(source), blocksize=blocksize, encoding="utf-8", errors="replace",
                                 linedelimiter="\n")
        futures = client.compute(bag.map_partitions(_decode_partition, catalog, json).to_delayed())
        for future in futures:
            for text in future.result():
                yield text
            future.release()
    finally:
        client.close()
        if cluster is not None:
            cluster.close()


def decode_file(source: str | os.PathLike[str], output: str | os.PathLike[str], **options) -> int:
    """Decodes `source` into `output`, one result line per input line; answers the number of lines."""
    count = 0
    with open(output, "w", encoding="utf-8", newline="\n") as out:
        for text in decode_file_texts(source, **options):
            out.write(text)
            count += text.count("\n")
    return count


def main(argv: list[str] | None = None) -> int:
    import argparse

    parser = argparse.ArgumentParser(prog="python3 -m vornfmt.bulk",
                                     description='Decode "TYPE HEX" capture lines on Dask, as vornfmt format --batch.')
    parser.add_argument("source", help="capture file, one \"TYPE HEX\" line each")
    parser.add_argument("output", help="result file, one line per capture line")
    parser.add_argument("--scheduler", help="address of a Dask scheduler (default: a local cluster)")
    parser.add_argument("--workers", type=int, default=2, help="worker processes of the local cluster")
    parser.add_argument("--catalog", help="catalog folder (default: the shipped standard catalog)")
    parser.add_argument("--json", action="store_true", help="JSON objects (type, bytes, ok, text) per line")
    parser.add_argument("--blocksize", type=int, default=DEFAULT_BLOCKSIZE, help="input bytes per partition")
    args = parser.parse_args(argv)
    # Run as a script this file is __main__, whose functions the workers
    # cannot import: the partitions are decoded by the package's own module.
    from vornfmt.bulk import decode_file

    count = decode_file(args.source, args.output, scheduler=args.scheduler, workers=args.workers,
                        catalog=args.catalog, json=args.json, blocksize=args.blocksize)
    print(f"{count} lines decoded into {args.output}")
    return 0


if __name__ == "__main__":
    raise SystemExit(main())
