import os
import shutil
import subprocess

import pytest

import vornfmt


@pytest.fixture(scope="session")
def catalog():
    return vornfmt.Catalog()


@pytest.fixture(scope="session")
def tool():
    """The vornfmt tool of the same build (VORNFMT_TOOL), else the one on PATH."""
    path = os.environ.get("VORNFMT_TOOL") or shutil.which("vornfmt")
    if not path:
        pytest.skip("no vornfmt tool to compare with")
    return path


def run_batch(tool, text, *options):
    done = subprocess.run([tool, "format", "--batch", *options], input=text.encode("utf-8"),
                          capture_output=True, check=False)
    assert done.returncode in (0, 1), done.stderr
    # Only line feeds end lines: a text may hold any other control character.
    return done.stdout.decode("utf-8").split("\n")[:-1]
