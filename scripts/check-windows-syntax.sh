#!/usr/bin/env bash
# Proves that the library compiles against the real Windows headers of
# mingw-w64 (syntax only: nothing is linked or run).
#
# CMake is configured for Windows with the mingw-w64 cross compiler
# (cmake/mingw-w64-x86_64.cmake), so it chooses the Windows sources and
# headers exactly as a Windows build would; then every translation unit in
# its compile list is compiled with -fsyntax-only, with the build's own flags
# (-std=c++20 -Wall -Wextra -Werror). Every header of those folders is also
# compiled on its own, which catches a header that only works after another.
# New files are covered as soon as CMake or the folders know them.
#
# Environment: WIN_BUILD_DIR (default build-windows-syntax), JOBS (default 2).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$(pwd)"
BUILD_DIR="${WIN_BUILD_DIR:-build-windows-syntax}"
JOBS="${JOBS:-2}"
TOOLCHAIN="$ROOT/cmake/mingw-w64-x86_64.cmake"

if ! command -v x86_64-w64-mingw32-g++-posix >/dev/null; then
  echo "check-windows-syntax: x86_64-w64-mingw32-g++-posix is missing (scripts/install-deps.sh installs it)" >&2
  exit 1
fi

source "$ROOT/scripts/windows-header-libraries.sh"
mkdir -p "$BUILD_DIR"
JSON_DIR="$(WindowsHeaderLibraries "$ROOT/$BUILD_DIR")"
SIMDJSON_DIR="$(WindowsSimdjsonSource)"

cmake -S . -B "$BUILD_DIR" -G Ninja --toolchain "$TOOLCHAIN" \
  -DVORNFMT_WERROR=ON -DVORNFMT_TESTS=OFF -DVORNFMT_TOOLS=OFF -DVORNFMT_DIALOGS=OFF \
  -Dnlohmann_json_DIR="$JSON_DIR" -DVORNFMT_SIMDJSON_SOURCE_DIR="$SIMDJSON_DIR" >"$BUILD_DIR/configure.log" 2>&1 || {
  cat "$BUILD_DIR/configure.log" >&2
  exit 1
}

python3 - "$ROOT" "$BUILD_DIR/compile_commands.json" "$JOBS" "$BUILD_DIR" <<'EOF'
import collections
import concurrent.futures
import json
import os
import shlex
import subprocess
import sys

root, commands_file, jobs, build_dir = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
# Sources the build generates (the dispatch tables from resources/vornfmt.idl).
GENERATED = os.path.join(os.path.abspath(os.path.join(root, build_dir)), "generated")
CORE = ["platform", "ldrf", "catalog", "format", "typetree", "convert"]

entries = json.load(open(commands_file))


def folder_of(path):
    if os.path.abspath(path).startswith(GENERATED + os.sep):
        return "generated"
    return os.path.relpath(path, root).split(os.sep)[0]


def folder_path(folder):
    return GENERATED if folder == "generated" else os.path.join(root, folder)


def syntax_only(command):
    """The compile command without its output, checking syntax only."""
    args = shlex.split(command)
    out = []
    skip = False
    for a in args:
        if skip:
            skip = False
            continue
        if a == "-o":
            skip = True
            continue
        if a == "-c":
            continue
        out.append(a)
    return out + ["-fsyntax-only"]


jobs_list = []  # (label, argv, directory, stdin text)
flags_of_folder = {}
for e in entries:
    # The module's resource script is no C++; scripts/windows.sh compiles it.
    if e["file"].endswith(".rc"):
        continue
    # Libraries compiled from their own source outside the repository
    # (simdjson) are not ours to check.
    path = os.path.abspath(os.path.join(e["directory"], e["file"]))
    if not path.startswith(os.path.abspath(root) + os.sep):
        continue
    argv = syntax_only(e["command"])
    jobs_list.append((os.path.relpath(e["file"], root), argv, e["directory"], None))
    folder = folder_of(e["file"])
    if folder not in flags_of_folder:
        flags_of_folder[folder] = [a for a in argv if a != e["file"]]

missing = [f for f in CORE if f not in flags_of_folder]
if missing:
    sys.exit("check-windows-syntax: no translation unit of " + ", ".join(missing) + " in the Windows build")

headers = []
for folder in flags_of_folder:
    for base, dirs, files in os.walk(folder_path(folder)):
        # The automation emulation stands in for the Windows headers and
        # refuses to be compiled for Windows.
        dirs[:] = sorted(d for d in dirs if d != "emulation")
        for name in sorted(files):
            if name.endswith(".h"):
                path = os.path.join(base, name)
                rel = os.path.relpath(path, GENERATED if folder == "generated" else root)
                # The header alone, as the first thing a file includes.
                argv = flags_of_folder[folder] + ["-x", "c++", "-"]
                label = path if folder == "generated" else rel
                headers.append((label, argv, root, '#include "%s"\n' % rel))
jobs_list += headers


def run(job):
    label, argv, directory, stdin = job
    p = subprocess.run(argv, cwd=directory, input=stdin, capture_output=True, text=True)
    return label, p.returncode, p.stdout + p.stderr


counts = collections.Counter()
failed = []
with concurrent.futures.ThreadPoolExecutor(max_workers=jobs) as pool:
    for (label, rc, output), job in zip(pool.map(run, jobs_list), jobs_list):
        kind = "header" if job[3] is not None else "source"
        counts[(folder_of(label if os.path.isabs(label) else os.path.join(root, label)), kind)] += 1
        if rc != 0:
            failed.append(label)
            print("FAILED %s\n%s" % (label, output), file=sys.stderr)

for folder in sorted({f for f, _ in counts}):
    print("  %-10s %3d sources, %3d headers" % (folder + "/", counts[(folder, "source")], counts[(folder, "header")]))
sources = sum(n for (f, k), n in counts.items() if k == "source")
nheaders = sum(n for (f, k), n in counts.items() if k == "header")
print("check-windows-syntax: %d translation units and %d headers compiled for Windows, %d failed"
      % (sources, nheaders, len(failed)))
sys.exit(1 if failed else 0)
EOF
