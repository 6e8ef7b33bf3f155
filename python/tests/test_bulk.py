import os
import subprocess
import sys
import time

import pytest

from vornfmt import bulk

from capture import capture_lines
from conftest import run_batch


@pytest.mark.parametrize("as_json", [False, True], ids=["text", "json"])
def test_lines_decode_as_the_tool_decodes_them(catalog, tool, as_json):
    lines = capture_lines(catalog, 3000, seed=5)
    expected = run_batch(tool, "\n".join(lines) + "\n", *(["--json"] if as_json else []))
    assert bulk.decode_lines(lines, json=as_json) == expected


def test_json_lines_are_read_as_their_type_and_bytes(catalog):
    line = '{"type":"SNVT_temp_p","bytes":"0A28","ok":false,"text":""}'
    assert bulk.decode_lines([line]) == ["26"]
    assert bulk.decode_lines([line], json=True) == ['{"type":"SNVT_temp_p","bytes":"0A28","ok":true,"text":"26"}']


@pytest.mark.parametrize("text, expected", [
    ("0A28", b"\x0a\x28"), ("0a 28", b"\x0a\x28"), ("0A:28", b"\x0a\x28"), ("", b""),
    ("0A2", None), ("0 A28", None), ("0x28", None), ("٣٣", None),
])
def test_hex_text(text, expected):
    assert bulk.unpack_hex(text) == expected


def test_a_large_capture_on_a_local_cluster_matches_the_tool(catalog, tool, tmp_path):
    lines = capture_lines(catalog, int(os.environ.get("VORNFMT_BULK_LINES", "200000")))
    source = tmp_path / "capture.txt"
    source.write_text("\n".join(lines) + "\n", encoding="utf-8")
    started = time.monotonic()
    expected = run_batch(tool, "\n".join(lines) + "\n")
    tool_seconds = time.monotonic() - started
    started = time.monotonic()
    count = bulk.decode_file(source, tmp_path / "decoded.txt", workers=2, blocksize=1 << 20)
    dask_seconds = time.monotonic() - started
    decoded = (tmp_path / "decoded.txt").read_bytes().decode("utf-8").split("\n")[:-1]
    print(f"\n{len(lines)} lines: tool batch {tool_seconds:.2f} s, Dask with 2 workers {dask_seconds:.2f} s")
    assert count == len(lines) == len(expected)
    mismatches = [(n, a, b) for n, (a, b) in enumerate(zip(decoded, expected)) if a != b]
    assert mismatches[:5] == []


def test_the_tools_jobs_keep_input_order(catalog, tool):
    text = "\n".join(capture_lines(catalog, 20000, seed=9)) + "\n"
    one = run_batch(tool, text)
    assert run_batch(tool, text, "--jobs", "2") == one
    assert run_batch(tool, text, "--json", "--jobs", "3") == bulk.decode_lines(text.split("\n")[:-1], json=True)


def test_the_command_decodes_a_file_as_json(catalog, tool, tmp_path):
    lines = capture_lines(catalog, 500, seed=3)
    (tmp_path / "capture.txt").write_text("\n".join(lines) + "\n", encoding="utf-8")
    done = subprocess.run([sys.executable, "-m", "vornfmt.bulk", "capture.txt", "decoded.json", "--json", "--workers",
                           "1"], cwd=tmp_path, capture_output=True, text=True, check=False)
    assert done.returncode == 0, done.stderr[-2000:]
    assert done.stdout == "500 lines decoded into decoded.json\n"
    decoded = (tmp_path / "decoded.json").read_bytes().decode("utf-8").split("\n")[:-1]
    assert decoded == run_batch(tool, "\n".join(lines) + "\n", "--json")
