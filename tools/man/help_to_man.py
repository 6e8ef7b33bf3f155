#!/usr/bin/env python3
"""Writes the man page of vornfmt from the tool's own help.

help_to_man.py PROGRAM VERSION OUTPUT (gzip-compressed when it ends in .gz): the page's synopsis and options are
`PROGRAM --help`, each command's section its `PROGRAM COMMAND --help`, so
the page never says other than the tool does.
"""
import gzip
import re
import subprocess
import sys


def help_text(program, *args):
    done = subprocess.run([program, *args, "--help"], capture_output=True, text=True, check=True)
    # The usage line names the program as it was run: the build's path.
    return done.stdout.replace(program, "vornfmt")


def roff_escape(line):
    line = line.replace("\\", "\\e")
    # A line starting with . or ' would be a request.
    return "\\&" + line if line.startswith((".", "'")) else line


def commands_of(top_help):
    """The command names listed under SUBCOMMANDS: in the top-level help."""
    names, listing = [], False
    for line in top_help.splitlines():
        if line.strip().upper().startswith("SUBCOMMANDS"):
            listing = True
            continue
        if listing:
            match = re.match(r"\s+([a-z][a-z0-9-]*)\s", line + " ")
            if match:
                names.append(match.group(1))
            elif line.strip():
                listing = False
    return names


def verbatim(text):
    return [".nf"] + [roff_escape(line) for line in text.rstrip().splitlines()] + [".fi"]


def man_page(program, version):
    top = help_text(program)
    lines = [
        f'.TH VORNFMT 1 "" "vornfmt {version}" "User Commands"',
        ".SH NAME",
        "vornfmt \\- LonWorks raw data to text and back, as the resource files describe each type",
        ".SH SYNOPSIS",
        ".B vornfmt",
        "\\fICOMMAND\\fR [\\fIOPTIONS\\fR]",
        ".SH DESCRIPTION",
        *verbatim(top),
        ".SH COMMANDS",
    ]
    for command in commands_of(top):
        lines += [".SS " + command, *verbatim(help_text(program, command))]
    lines += [
        ".SH FILES",
        "The shipped standard catalog lies in share/vornfmt/catalog of the installed tree;",
        "\\fB\\-\\-catalog\\fR or the environment variable \\fBVORNFMT_CATALOG\\fR name another.",
    ]
    return "\n".join(lines) + "\n"


def main():
    program, version, output = sys.argv[1:4]
    page = man_page(program, version)
    # Installed man pages are compressed; mtime 0 keeps the file the same from build to build.
    if output.endswith(".gz"):
        with open(output, "wb") as raw, gzip.GzipFile(fileobj=raw, mode="wb", mtime=0, filename="") as out:
            out.write(page.encode("utf-8"))
    else:
        with open(output, "w", encoding="utf-8") as out:
            out.write(page)


if __name__ == "__main__":
    main()
