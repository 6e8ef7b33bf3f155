#!/usr/bin/env python3
"""Generate the dispatch tables of the automation surface from the .idl file.

Usage:
    dispatch_tables.py LIBRARY.idl OUTPUT_FOLDER

Writes OUTPUT_FOLDER/control/automation/vornfmt_idl.h and .cpp: the type
library's identity (LIBID, version, help string, help file), the GUID of
every interface and class, and for every dispinterface a table of its
members (DISPID, name, kind, read-only, result type, parameters with names
and VARTYPEs, in DISPID order). control/automation/dispatch_table.h declares
the table types; the generic dispatch serves every interface from them.

The .idl is read as MIDL reads the subset we write: one library holding
dispinterfaces (properties: and methods: sections) and coclasses, with
attribute lists in brackets. Anything else -- an unknown parameter type, a
DISPID used twice, a property without an id -- stops the generation with a
message naming the line, and the build fails: the tables never drift from
the .idl.

Standard library only.
"""

import os
import re
import sys

# MIDL types we accept, with the VARTYPE the dispatch tables give them.
TYPES = {
    "BSTR": "VT_BSTR",
    "short": "VT_I2",
    "long": "VT_I4",
    "double": "VT_R8",
    "VARIANT_BOOL": "VT_BOOL",
    "VARIANT": "VT_VARIANT",
    "IDispatch*": "VT_DISPATCH",
    "void": "VT_EMPTY",
    "short*": "VT_I2 | VT_BYREF",
    "long*": "VT_I4 | VT_BYREF",
    "double*": "VT_R8 | VT_BYREF",
    "BSTR*": "VT_BSTR | VT_BYREF",
    "VARIANT*": "VT_VARIANT | VT_BYREF",
}

GUID_RE = re.compile(r"^([0-9A-Fa-f]{8})-([0-9A-Fa-f]{4})-([0-9A-Fa-f]{4})-([0-9A-Fa-f]{4})-([0-9A-Fa-f]{12})$")


class IdlError(Exception):
    pass


def strip_comments(text):
    """Comments and preprocessor lines become blanks; line numbers stay."""
    out = []
    i = 0
    while i < len(text):
        if text.startswith("//", i):
            j = text.find("\n", i)
            i = len(text) if j < 0 else j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            if j < 0:
                raise IdlError("a comment is not closed")
            out.append("\n" * text.count("\n", i, j))
            i = j + 2
        elif text[i] == "#" and (i == 0 or text[i - 1] == "\n"):
            j = text.find("\n", i)
            i = len(text) if j < 0 else j
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


TOKEN_RE = re.compile(r'\s*(?:(?P<string>"[^"\n]*")|(?P<word>[A-Za-z_][A-Za-z0-9_.]*)|'
                      r'(?P<number>[0-9][0-9A-Fa-fx.]*)|(?P<punct>[\[\](){};:,*=-]))')


def tokenize(text):
    tokens = []
    pos = 0
    line = 1
    while pos < len(text):
        m = TOKEN_RE.match(text, pos)
        if not m:
            if text[pos:].strip() == "":
                break
            raise IdlError("line %d: unexpected %r" % (line + text.count("\n", pos - 1 if pos else 0, pos), text[pos]))
        line += text.count("\n", pos, m.start(m.lastgroup))
        tokens.append((m.group(m.lastgroup), line))
        line += text.count("\n", m.start(m.lastgroup), m.end())
        pos = m.end()
    return tokens


class Parser:
    def __init__(self, tokens):
        self.tokens = tokens
        self.i = 0

    def peek(self, ahead=0):
        j = self.i + ahead
        return self.tokens[j][0] if j < len(self.tokens) else None

    def line(self):
        return self.tokens[min(self.i, len(self.tokens) - 1)][1] if self.tokens else 0

    def fail(self, message):
        raise IdlError("line %d: %s" % (self.line(), message))

    def take(self, expected=None):
        if self.i >= len(self.tokens):
            self.fail("the file ends too early")
        token = self.tokens[self.i][0]
        if expected is not None and token != expected:
            self.fail("%r expected, %r found" % (expected, token))
        self.i += 1
        return token

    def attributes(self):
        """[name, name(arg, ...), ...] -> {name: [args] or True}."""
        attrs = {}
        if self.peek() != "[":
            return attrs
        self.take("[")
        while True:
            name = self.take()
            if self.peek() == "(":
                self.take("(")
                parts, depth, current = [], 0, ""
                while True:
                    t = self.take()
                    if t == "(":
                        depth += 1
                    elif t == ")":
                        if depth == 0:
                            break
                        depth -= 1
                    current += t
                parts.append(current)
                attrs[name] = parts
            else:
                attrs[name] = True
            t = self.take()
            if t == "]":
                return attrs
            if t != ",":
                self.fail("',' or ']' expected in an attribute list")

    def name(self):
        token = self.take()
        if not re.match(r"^[A-Za-z_][A-Za-z0-9_]*$", token):
            self.fail("a name was expected, %r found" % token)
        return token

    def type_name(self):
        name = self.take()
        if self.peek() == "*":
            self.take("*")
            name += "*"
        if name not in TYPES:
            self.fail("the type %s is not one the dispatch tables know" % name)
        return name

    def library(self):
        attrs = self.attributes()
        self.take("library")
        lib = {"name": self.take(), "attrs": attrs, "interfaces": [], "coclasses": []}
        self.take("{")
        while self.peek() != "}":
            if self.peek() == "importlib":
                self.take()
                self.take("(")
                self.take()
                self.take(")")
                self.take(";")
                continue
            item_attrs = self.attributes()
            kind = self.take()
            if kind == "dispinterface":
                lib["interfaces"].append(self.dispinterface(item_attrs))
            elif kind == "coclass":
                lib["coclasses"].append(self.coclass(item_attrs))
            else:
                self.fail("dispinterface or coclass expected, %r found" % kind)
        self.take("}")
        if self.peek() == ";":
            self.take()
        if self.peek() is not None:
            self.fail("nothing may follow the library")
        return lib

    def dispinterface(self, attrs):
        name = self.take()
        members = {}
        self.take("{")
        self.take("properties")
        self.take(":")
        while self.peek() != "methods":
            line = self.line()
            a = self.attributes()
            t = self.type_name()
            member = self.name()
            self.take(";")
            self.add(members, name, a, line, {"name": member, "kind": "Property", "result": t,
                                              "readonly": "readonly" in a, "params": []})
        self.take("methods")
        self.take(":")
        while self.peek() != "}":
            line = self.line()
            a = self.attributes()
            t = self.type_name()
            member = self.name()
            self.take("(")
            params = []
            while self.peek() != ")":
                self.attributes()
                pt = self.type_name()
                params.append((self.name(), pt))
                if self.peek() == ",":
                    self.take(",")
                elif self.peek() != ")":
                    self.fail("',' or ')' expected after the parameter %s" % params[-1][0])
            self.take(")")
            self.take(";")
            if "propput" in a:
                if t != "void" or not params:
                    self.fail("a propput method takes the value last and answers void")
                self.add(members, name, a, line, {"name": member, "kind": "put", "result": params[-1][1],
                                                  "readonly": False, "params": params[:-1]})
            else:
                kind = "ParameterizedProperty" if "propget" in a else "Method"
                self.add(members, name, a, line, {"name": member, "kind": kind, "result": t,
                                                  "readonly": "propget" in a, "params": params})
        self.take("}")
        self.take(";")
        return {"name": name, "attrs": attrs, "members": [members[k] for k in sorted(members)]}

    def add(self, members, interface, attrs, line, member):
        if "id" not in attrs:
            raise IdlError("line %d: %s.%s has no id" % (line, interface, member["name"]))
        try:
            dispid = int(attrs["id"][0], 0)
        except ValueError:
            raise IdlError("line %d: the id of %s.%s is no number" % (line, interface, member["name"]))
        member["id"] = dispid
        existing = members.get(dispid)
        if existing and {existing["kind"], member["kind"]} == {"ParameterizedProperty", "put"} \
                and existing["name"] == member["name"]:
            existing["readonly"] = False  # a propget and its propput
            return
        if existing:
            raise IdlError("line %d: the id %d is used twice in %s" % (line, dispid, interface))
        if member["kind"] == "put":
            member["kind"] = "ParameterizedProperty"
        members[dispid] = member

    def coclass(self, attrs):
        name = self.take()
        self.take("{")
        while self.peek() != "}":
            self.attributes()
            self.take()
            self.take()
            self.take(";")
        self.take("}")
        self.take(";")
        return {"name": name, "attrs": attrs}


def guid_of(item, what):
    uuid = item["attrs"].get("uuid")
    m = GUID_RE.match(uuid[0]) if uuid else None
    if not m:
        raise IdlError("%s %s has no uuid(...) of the form XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX" % (what, item["name"]))
    d1, d2, d3, d4a, d4b = m.groups()
    tail = d4a + d4b
    bytes_ = ", ".join("0x" + tail[i:i + 2].upper() for i in range(0, 16, 2))
    return "{0x%s, 0x%s, 0x%s, {%s}}" % (d1.upper(), d2.upper(), d3.upper(), bytes_)


def text_of(attrs, name):
    value = attrs.get(name)
    if not value:
        return "nullptr"
    s = value[0]
    if not (s.startswith('"') and s.endswith('"')):
        raise IdlError("%s(...) must be a quoted text" % name)
    return 'u' + s


def generate(lib, source_name):
    stamp = "// Generated from %s by tools/idl/dispatch_tables.py: do not edit.\n" % source_name
    version = lib["attrs"].get("version", ["1.0"])[0]
    if not re.match(r"^\d+\.\d+$", version):
        raise IdlError("version(...) must be MAJOR.MINOR")
    major, minor = version.split(".")
    h = [
        "#pragma once\n", stamp,
        "#include \"control/automation/dispatch_table.h\"\n\n",
        "namespace vornfmt::idl {\n\n",
        "extern const GUID LIBID_%s;\n" % lib["name"],
        "extern const TypeLibraryInfo k%s;\n" % lib["name"],
    ]
    c = [
        stamp, "#include \"control/automation/vornfmt_idl.h\"\n\n", "namespace vornfmt::idl {\n\n",
        "const GUID LIBID_%s = %s;\n" % (lib["name"], guid_of(lib, "library")),
        "const TypeLibraryInfo k%s = {u\"%s\", &LIBID_%s, %s, %s, %s, %s};\n\n"
        % (lib["name"], lib["name"], lib["name"], major, minor, text_of(lib["attrs"], "helpstring"),
           text_of(lib["attrs"], "helpfile")),
    ]
    for iface in lib["interfaces"]:
        n = iface["name"]
        h.append("extern const GUID DIID_%s;\nextern const DispatchInterface k%s;\n" % (n, n))
        c.append("const GUID DIID_%s = %s;\n" % (n, guid_of(iface, "dispinterface")))
        rows = []
        for m in iface["members"]:
            params = "nullptr"
            if m["params"]:
                pname = "k%s_%s_parameters" % (n, m["name"])
                c.append("const DispatchParameter %s[] = {%s};\n" % (
                    pname, ", ".join("{u\"%s\", %s}" % (p, TYPES[t]) for p, t in m["params"])))
                params = pname
            rows.append("    {%d, u\"%s\", MemberKind::%s, %s, %s, %s, %d}" % (
                m["id"], m["name"], m["kind"], "true" if m["readonly"] else "false", TYPES[m["result"]], params,
                len(m["params"])))
        members = "nullptr"
        if rows:
            members = "k%s_members" % n
            c.append("const DispatchMember %s[] = {\n%s,\n};\n" % (members, ",\n".join(rows)))
        c.append("const DispatchInterface k%s = {u\"%s\", &DIID_%s, %s, %s, %d};\n\n" % (
            n, n, n, text_of(iface["attrs"], "helpstring"), members, len(rows)))
    for co in lib["coclasses"]:
        h.append("extern const GUID CLSID_%s;\n" % co["name"])
        c.append("const GUID CLSID_%s = %s;\n" % (co["name"], guid_of(co, "coclass")))
        h.append("inline constexpr const char16_t* k%s_helpString = %s;\n" % (co["name"], text_of(co["attrs"], "helpstring")))
    h.append("\n}  // namespace vornfmt::idl\n")
    c.append("\n}  // namespace vornfmt::idl\n")
    return "".join(h), "".join(c)


def write_if_changed(path, text):
    try:
        with open(path, encoding="utf-8") as f:
            if f.read() == text:
                return
    except FileNotFoundError:
        pass
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    source, out = argv[1], argv[2]
    try:
        with open(source, encoding="utf-8") as f:
            lib = Parser(tokenize(strip_comments(f.read()))).library()
        header, code = generate(lib, os.path.basename(source))
    except (IdlError, OSError) as e:
        print("dispatch_tables.py: %s: %s" % (source, e), file=sys.stderr)
        return 1
    folder = os.path.join(out, "control", "automation")
    write_if_changed(os.path.join(folder, "vornfmt_idl.h"), header)
    write_if_changed(os.path.join(folder, "vornfmt_idl.cpp"), code)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
