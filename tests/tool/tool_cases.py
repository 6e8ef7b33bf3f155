#!/usr/bin/env python3
"""The vornfmt tool end to end: exit codes, standard output and the reason on
standard error for every failure.

    tool_cases.py VORNFMT DATA_DIR SANITIZED CASE

runs one case (ctest runs each as a test of its own); `--list` prints the
case names. SANITIZED is 1 for an AddressSanitizer build, whose memory is
bounded through ASAN_OPTIONS instead of an address-space limit.
"""
import os
import re
import resource
import subprocess
import sys
import tempfile

VORNFMT, DATA, SANITIZED = None, "", False
MEMORY_CAP_MB = 1536  # what a run may take before it counts as exhausting memory
TIMEOUT_S = 60


class Failure(Exception):
    pass


def limit_memory():
    if not SANITIZED:
        cap = MEMORY_CAP_MB << 20
        resource.setrlimit(resource.RLIMIT_AS, (cap, cap))


def environment(asan_options=""):
    env = dict(os.environ)
    env.pop("VORNFMT_CATALOG", None)
    if SANITIZED:
        extra = "hard_rss_limit_mb=%d" % MEMORY_CAP_MB + (":" + asan_options if asan_options else "")
        env["ASAN_OPTIONS"] = (env["ASAN_OPTIONS"] + ":" + extra) if env.get("ASAN_OPTIONS") else extra
    return env


def run(args, stdin=b"", asan_options=""):
    """Runs the tool; answers (exit code, stdout bytes, stderr text, max RSS in KiB)."""
    with tempfile.TemporaryFile() as given, tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        given.write(stdin)
        given.seek(0)
        process = subprocess.Popen([VORNFMT] + args, stdin=given, stdout=out, stderr=err, env=environment(asan_options),
                                   preexec_fn=limit_memory, cwd=os.path.dirname(DATA))
        try:
            process.wait(timeout=TIMEOUT_S)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
            raise Failure("no answer within %d s: %s" % (TIMEOUT_S, args))
        # ru_maxrss of the children is the largest child's: the case that
        # measures runs the tool once.
        rss = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
        out.seek(0)
        err.seek(0)
        return process.returncode, out.read(), err.read().decode("utf-8", "replace"), rss


def expect(args, code, stdout=None, stderr=None, stdin=b"", no_stdout=False):
    """Runs the tool and checks the exit code, a pattern each on standard output
    and standard error, and with no_stdout that nothing was printed."""
    got_code, out, err, _ = run(args, stdin)
    text = out.decode("utf-8", "replace")
    where = "vornfmt %s\n  exit %d\n  stdout %r\n  stderr %r" % (" ".join(args), got_code, text, err)
    if got_code != code:
        raise Failure("exit %d, expected %d: %s" % (got_code, code, where))
    if stdout is not None and not re.search(stdout, text):
        raise Failure("stdout does not match %r: %s" % (stdout, where))
    if no_stdout and out:
        raise Failure("stdout is not empty: %s" % where)
    if stderr is not None and not re.search(stderr, err):
        raise Failure("stderr does not match %r: %s" % (stderr, where))
    if code != 0 and not err.strip():
        raise Failure("exit %d without a reason on stderr: %s" % (got_code, where))
    return text, err


def catalog(name):
    return os.path.join(DATA, name)


def tool(*args):
    return ["--catalog", catalog("tool")] + list(args)


# Cases that run the tool once: name -> (arguments, exit code, stdout pattern,
# stderr pattern[, stdin]). A failing case must print nothing on stdout
# unless it gives a stdout pattern.
def simple():
    return {
        # What docs/format-files.md says of conversions the splitter does not take.
        "documented_unrecognised_conversion_shows_as_written": (["format"] + tool("UNVT_unsigned", "05"), 0, r"^%u\n$", None),
        "documented_percent_before_a_conversion_letter": (["format"] + tool("UNVT_hundred", "05"), 0, r"^100%s\n$", None),
        "skipped_type_file_is_named": (["describe", "--catalog", catalog("broken"), "UNVT_x"], 1, None,
                                       r"no type \"UNVT_x\".*\n.*skipped at catalog open: .*cut\.typ: \S"),
        "short_raw_data": (["format", "SNVT_alarm_2", "00"], 1, None,
                           r"^vornfmt format: HEX has 1 byte; SNVT_alarm_2 takes 31\n$"),
        "long_raw_data": (["format", "SNVT_temp_p", "0A2800"], 1, None,
                          r"^vornfmt format: HEX has 3 bytes; SNVT_temp_p takes 2\n$"),
        "write_bytes_of_the_wrong_length": (["write", "--bytes", "0A", "SNVT_temp_p", "21"], 1, None,
                                            r"^vornfmt write: --bytes has 1 byte; SNVT_temp_p takes 2\n$"),
        "write_refused_by_bounds": (["write"] + tool("UNVT_pair", "1/200"), 1, None,
                                    r"^vornfmt write: Data exceeds bounds\. \(field \"b\"\)\n$"),
        "write_refused_text_of_the_whole_type": (
            ["write", "--catalog", catalog("convert"), "--bytes", "AABB", "UNVT_tenths", "1x"], 1, None,
            r"^vornfmt write: Wrong data\. \(UNVT_tenths, the whole type\)\n$"),
        "write_refused_text_of_a_field": (["write"] + tool("--field", "b", "UNVT_pair", "x"), 1, None,
                                          r"^vornfmt write: Wrong data\. \(field \"b\"\)\n$"),
        "write_refused_field_without_value": (["write"] + tool("UNVT_partial", "5"), 1, None,
                                              r"^vornfmt write: the text gives no value for field \"b\"\n$"),
        "write_refused_json_shows_bytes": (
            ["write", "--json", "--catalog", catalog("convert"), "--bytes", "AABB", "UNVT_tenths", "1x"], 1,
            r'^\{"type":"UNVT_tenths","value":"1x","ok":false,"bytes":"AABB",'
            r'"reason":"Wrong data\. \(UNVT_tenths, the whole type\)"\}\n$', r"Wrong data\."),
        "write_json_success": (["write", "--json", "SNVT_switch", "50 1"], 0,
                               r'^\{"type":"SNVT_switch","value":"50 1","ok":true,"bytes":"6401","reason":null\}\n$', None),
        "vt_that_is_no_vartype": (["format", "--vt", "77", "SNVT_temp_p", "0A28"], 1, None,
                                  r"^vornfmt format: --vt 77 is no VARTYPE\n$"),
        "vt_that_is_no_vartype_on_write": (["write", "--number", "--vt", "77", "SNVT_temp_p", "21"], 1, None,
                                           r"^vornfmt write: --vt 77 is no VARTYPE\n$"),
        "number_that_does_not_fit_the_vartype": (["format", "--vt", "17", "SNVT_temp_p", "7FFF"], 1, r"",
                                                 r"^vornfmt format: the value does not fit VARTYPE 17 \(overflow\)\n$"),
        "missing_string": (["string", "--pid", "00", "--scope", "0", "--index", "999999"], 1, None,
                           r"^vornfmt string: no string of index 999999\n$"),
        "rejected_language_file": (["string", "--catalog", catalog("broken"), "--pid", "00", "--scope", "0", "--index", "1"],
                                   1, None, r"^vornfmt string: .*good\.enu: \S.*\n$"),
        "locale_on_describe": (["describe"] + tool("--locale", "deu", "UNVT_pair"), 0, r"\n0\ta\t.*\tErstes\t", None),
        "locale_on_format": (["format"] + tool("--locale", "deu", "SNVT_alarm_2", "0280350000"), 0,
                             r"^2 Pumpenausfall\n$", None),
        "locale_on_write": (["write"] + tool("--locale", "deu", "UNVT_pair", "1/2"), 0, r"^0102\n$", None),
        "unknown_locale_is_said": (["describe"] + tool("--locale", "xyz", "UNVT_pair"), 0, r"\tFirst\t",
                                   r"unknown language extension xyz; using enu"),
        "formats_check_refuses_a_device": (["formats", "--check", "/dev/zero"], 1, None,
                                           r"^vornfmt formats: cannot read /dev/zero: not a regular file\n$"),
        "batch_strips_a_carriage_return": (["format", "--batch"], 0, r"^26\n100 1\n$", None,
                                           b"SNVT_temp_p 0A28\r\nSNVT_switch C801\r\n"),
        "batch_says_why_each_line_fails": (
            ["format", "--batch"], 1, r"^26\n\n\n\n$",
            r"^vornfmt format: line 2: HEX has 1 byte; SNVT_alarm_2 takes 31\n"
            r"vornfmt format: line 3: no type \"SNVT_nope\" for program ID 0000000000000000 and selector 0\n"
            r"vornfmt format: line 4: no type \"SNVT_nope\"",
            b"SNVT_temp_p 0A28\nSNVT_alarm_2 00\nSNVT_nope 00\nSNVT_nope 01\n"),
        # A capture may hold any byte: the JSON output replaces what is no UTF-8
        # instead of stopping the tool.
        "json_of_bytes_that_are_no_utf8": (
            ["format", "--batch", "--json"], 1,
            '^\\{"type":"SNVT_\ufffd","bytes":"00","ok":false,"text":""\\}\n'
            '\\{"type":"SNVT_temp_p","bytes":"0A28","ok":true,"text":"26"\\}\n$', r"line 1: no type",
            b"SNVT_\xff 00\nSNVT_temp_p 0A28\n"),
        "json_of_text_that_is_no_utf8": (["write", "--json", "SNVT_temp_p", "2\udcff"], 1,
                                         r'"value":"2\ufffd","ok":false', r"Wrong data"),
        "batch_bounds_a_line": (["format", "--batch"], 1, r"^\n26\n$", r"^vornfmt format: line 1: longer than 1 MiB\n$",
                                b"SNVT_temp_p " + b"0" * (2 << 20) + b"\nSNVT_temp_p 0A28\n"),
    }


# The cases that run the tool more than once or need files of their own.
CASES = {}


def case(function):
    CASES[function.__name__] = function
    return function


# Windows-1252's undefined bytes: shown as their C1 controls, written back.
@case
def undefined_code_page_bytes_round_trip():
    for hex_text in ["41814200", "8D8F909D"]:
        _, out, _, _ = run(["format"] + tool("UNVT_chars", hex_text))
        shown = out.decode("utf-8").rstrip("\n")
        expect(["write"] + tool("UNVT_chars", shown), 0, stdout="^%s\n$" % hex_text)


@case
def empty_catalog_option():
    for command in (["types"], ["describe", "SNVT_switch"], ["format", "SNVT_switch", "C801"],
                    ["write", "SNVT_switch", "50 1"], ["formats"],
                    ["string", "--pid", "00", "--scope", "0", "--index", "1"]):
        expect(command + ["--catalog", ""], 1, no_stdout=True,
               stderr=r"^vornfmt: --catalog is empty: name a catalog folder\n$")


def format_file(text):
    handle = tempfile.NamedTemporaryFile("wb", suffix=".fmt", delete=False)
    handle.write(text)
    handle.close()
    return handle.name


def check_format_text(text, stdout):
    path = format_file(text)
    try:
        expect(["formats", "--check", path], 1, stdout=stdout,
               stderr=r"^vornfmt formats: 1 of \d entries of .* give no usable format\n$")
    finally:
        os.unlink(path)


@case
def formats_check_names_an_entry_never_complete():
    check_format_text(b"SNVT_a:text(\"%d\");\nSNVT_nothing:banana;\n",
                      r"entry 2: never complete at the end of the file.*\n  \"SNVT_nothing:banana;\"\n"
                      r".*: 2 entries, 1 usable, 1 dropped or showing nothing\n")


@case
def formats_check_names_an_object_without_alternatives():
    check_format_text(b"SNVT_interval:banana;\n", r"entry 1: no format")


def oversized(path):
    with open(path, "wb") as f:
        f.truncate((64 << 20) + 1)  # sparse: no disk space, one byte over the limit


@case
def formats_check_refuses_an_oversized_file():
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "big.fmt")
        oversized(path)
        expect(["formats", "--check", path], 1, no_stdout=True,
               stderr=r"^vornfmt formats: cannot read .*big\.fmt: larger than 64 MiB\n$")


@case
def catalog_refuses_an_oversized_format_file():
    with tempfile.TemporaryDirectory() as folder:
        with open(catalog("tool/tool.typ"), "rb") as source, open(os.path.join(folder, "big.typ"), "wb") as f:
            f.write(source.read())
        oversized(os.path.join(folder, "big.fmt"))
        expect(["format", "--catalog", folder, "UNVT_count", "0005"], 1,
               stderr=r"UNVT_count has no format.*\n.*big\.fmt: larger than 64 MiB\n")


@case
def batch_bounds_its_type_cache():
    # One type of 30,000 nodes, asked for under 100 measurement systems: each
    # "TYPE#SUFFIX" is a type element of its own. Kept all, they take hundreds
    # of megabytes.
    count = 30000
    with tempfile.TemporaryDirectory() as folder:
        with open(os.path.join(folder, "big.typ"), "w") as f:
            f.write('{"format": "vornfmt-types", "version": 1, "set": {"name": "big", '
                    '"program_id": "0000000000000000", "scope": 0}, "nvts": [{"index": 1, '
                    '"name": "UNVT_big", "node": {"kind": "array", "count": %d, '
                    '"element": {"kind": "unsigned char"}}}]}' % count)
        lines = b"".join(b"UNVT_big#s%d 00\n" % i for i in range(100))
        # AddressSanitizer keeps freed memory in quarantine (256 MiB by
        # default) and doubles what a tree takes: a small quarantine, and a
        # higher ceiling. Kept all, the types took 700 MiB in a plain build
        # (with the bound, 60 MiB; 180 MiB under the sanitizer).
        code, _, err, rss_kib = run(["format", "--batch", "--catalog", folder], lines,
                                    asan_options="quarantine_size_mb=16")
        if code != 1 or "takes %d" % count not in err:
            raise Failure("unexpected answer: exit %d, stderr %r" % (code, err[:300]))
        ceiling_mib = 300 if SANITIZED else 200
        if rss_kib > ceiling_mib * 1024:
            raise Failure("100 distinct TYPE#SUFFIX lines took %d MiB" % (rss_kib // 1024))


def run_simple(row):
    args, code, stdout, stderr = row[:4]
    expect(args, code, stdout=stdout, stderr=stderr, stdin=row[4] if len(row) > 4 else b"",
           no_stdout=code != 0 and stdout is None)


def main():
    global VORNFMT, DATA, SANITIZED
    names = list(simple()) + list(CASES)
    if len(sys.argv) == 2 and sys.argv[1] == "--list":
        print("\n".join(names))
        return 0
    if len(sys.argv) != 5 or sys.argv[4] not in names:
        print(__doc__, file=sys.stderr)
        return 2
    VORNFMT, DATA, SANITIZED = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]), sys.argv[3] in ("1", "ON", "TRUE")
    try:
        table = simple()
        run_simple(table[sys.argv[4]]) if sys.argv[4] in table else CASES[sys.argv[4]]()
    except Failure as failure:
        print("FAILED: %s" % failure, file=sys.stderr)
        return 1
    print("passed")
    return 0

if __name__ == "__main__":
    sys.exit(main())
