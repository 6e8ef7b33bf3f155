#!/usr/bin/env python3
"""`vornfmt edit` and its dialogs module, end to end: the tool links no Qt;
it finds the module beside itself or at the installed place and hands the
options over; a module it cannot use gives one line and a failing exit.

    edit_module_cases.py VORNFMT MODULE OTHER_MODULE MODULEDIR_FROM_BINDIR CASE

runs one case (ctest runs each as a test of its own); `--list` prints the
case names. OTHER_MODULE is a shared library that is no edit module.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

VORNFMT = MODULE = OTHER_MODULE = MODULEDIR = None
TIMEOUT_S = 60
CASES = {}


class Failure(Exception):
    pass


def case(function):
    CASES[function.__name__] = function
    return function


def run(program, args, display="offscreen", catalog=None):
    """Runs `program edit ARGS` without a real display; answers (exit code, stdout, stderr)."""
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM",
                                                             "VORNFMT_CATALOG")}
    if display:
        env["QT_QPA_PLATFORM"] = display
    if catalog:
        env["VORNFMT_CATALOG"] = catalog
    try:
        done = subprocess.run([program, "edit"] + args, capture_output=True, env=env, timeout=TIMEOUT_S,
                              stdin=subprocess.DEVNULL)
    except subprocess.TimeoutExpired:
        raise Failure("no answer within %d s: %s" % (TIMEOUT_S, args))
    return done.returncode, done.stdout.decode("utf-8", "replace"), done.stderr.decode("utf-8", "replace")


def expect(program, args, code, stderr, **options):
    got_code, out, err = run(program, args, **options)
    if got_code != code or out or not re.search(stderr, err):
        raise Failure("edit %s: expected exit %d, no output and standard error /%s/; got exit %d, output %r, "
                      "standard error %r" % (args, code, stderr, got_code, out, err))


def installed_copy(folder, module_bytes=None, module_file=None):
    """The tool copied to FOLDER/bin, with the given module (or none) at the installed place."""
    os.makedirs(os.path.join(folder, "bin"))
    program = os.path.join(folder, "bin", "vornfmt")
    shutil.copy2(VORNFMT, program)
    target = os.path.normpath(os.path.join(folder, "bin", MODULEDIR, os.path.basename(MODULE)))
    if module_bytes is not None or module_file:
        os.makedirs(os.path.dirname(target), exist_ok=True)
        if module_file:
            shutil.copy2(module_file, target)
        else:
            with open(target, "wb") as handle:
                handle.write(module_bytes)
    return program, target


def linked_libraries(file):
    return subprocess.run(["ldd", file], capture_output=True, text=True, check=True).stdout


@case
def tool_links_no_qt():
    # The module links Qt, so the check would see Qt where it is.
    if "libQt6Widgets" not in linked_libraries(MODULE):
        raise Failure("the dialogs module does not link Qt 6 Widgets: " + MODULE)
    qt = [line.strip() for line in linked_libraries(VORNFMT).splitlines() if "libQt6" in line]
    if qt:
        raise Failure("the tool links Qt: " + "; ".join(qt))


# The module at the installed place: none, a file that is no shared library,
# a shared library without the entry point.
UNUSABLE_MODULES = [
    ("missing", {}, "No such file or directory"),
    ("not_a_library", {"module_bytes": b"not a shared library\n"}, r"\S"),
    ("without_entry_point", {"module_file": "OTHER"}, r"no entry point VornFmtEdit; not a vornfmt dialogs module"),
]


@case
def unusable_module():
    for name, placed, reason in UNUSABLE_MODULES:
        with tempfile.TemporaryDirectory() as folder:
            if placed.get("module_file") == "OTHER":
                placed = {"module_file": OTHER_MODULE}
            program, target = installed_copy(folder, **placed)
            # One line naming the file, with the reason.
            expect(program, ["SNVT_switch", "C801"], 1,
                   r"^vornfmt: edit needs the dialogs module %s: [^\n]*%s[^\n]*\n$" % (re.escape(target), reason))


@case
def installed_layout():
    # Found at the installed place, the module runs the command: here as far
    # as finding no display.
    with tempfile.TemporaryDirectory() as folder:
        program, _ = installed_copy(folder, module_file=MODULE)
        expect(program, ["SNVT_switch", "C801"], 2,
               r"^vornfmt edit: no display to show the dialog on \(DISPLAY is not set\)\n$", display=None)


# Each option reaches the module: every case fails before a dialog opens,
# with the message that names what was given.
OPTIONS = [
    (["--catalog", "", "SNVT_switch"], {}, 1, r"^vornfmt: --catalog is empty: name a catalog folder\n$"),
    (["--catalog", "/nonexistent-a", "SNVT_switch"], {}, 1, r"^vornfmt: cannot open the catalog /nonexistent-a: "),
    (["SNVT_switch"], {"catalog": "/nonexistent-b"}, 1, r"^vornfmt: cannot open the catalog /nonexistent-b: "),
    (["--pid", "9F:FF:FF:05:01:84:04:60", "--selector", "3", "UNVT_nosuch"], {}, 1,
     r'^vornfmt edit: no type "UNVT_nosuch" for program ID 9FFFFF0501840460 and selector 3\n'),
    (["--locale", "xyz", "UNVT_nosuch"], {}, 1,
     r'^vornfmt: unknown language extension xyz; using enu\nvornfmt edit: no type "UNVT_nosuch"'),
    (["--field", "nosuch", "SNVT_switch"], {}, 1, r'^vornfmt edit: SNVT_switch has no subfield "nosuch"\n$'),
    (["SNVT_switch", "C8"], {}, 2, r'^vornfmt edit: HEX "C8" must be 2 or more bytes as pairs of hexadecimal digits\n$'),
    (["SNVT_switch#US", "zz"], {}, 2, r'^vornfmt edit: HEX "zz" must be 2 or more bytes'),
]


@case
def options_reach_module():
    for args, options, code, stderr in OPTIONS:
        expect(VORNFMT, args, code, stderr, **options)


def main():
    global VORNFMT, MODULE, OTHER_MODULE, MODULEDIR
    if sys.argv[1:] == ["--list"]:
        print("\n".join(CASES))
        return 0
    VORNFMT, MODULE, OTHER_MODULE, MODULEDIR, name = sys.argv[1:6]
    try:
        CASES[name]()
    except Failure as failure:
        print("FAIL: %s" % failure)
        return 1
    print("ok: %s" % name)
    return 0


if __name__ == "__main__":
    sys.exit(main())
