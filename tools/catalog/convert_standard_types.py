#!/usr/bin/env python3
"""Convert the LonMark standard type description into vornfmt resource files.

Usage:
    convert_standard_types.py DATASET.json [-o OUTPUT_FOLDER]

DATASET.json is the machine-readable description of the LonMark standard
resource set (lonmark-standard-types.json, schema_version 1). The output
folder (default: resources/catalog next to this script's repository root)
receives, for each resource set of the dataset:

    standard.typ, standard.enu   the standard set (scope 0), with
    standard.deu                 its German strings (README 4)
    iot.typ, iot.enu             the small user-defined "iot" set (scope 1)

The file formats are those of docs/resource-files.md. Every mapping decision
is listed in resources/catalog/README.md; the constants and functions below
carry the same decisions, each marked with its README section number.

Nothing is written unless the whole dataset converts: the files are first
written to temporary files in the output folder and renamed at the end. A
record that cannot be mapped stops the conversion with a message naming it.

Standard library only.
"""

import argparse
import json
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
# README 4: the strings that the format files add, and the German texts.
import standard_format_rules  # noqa: E402
import standard_strings_deu  # noqa: E402

# ---------------------------------------------------------------------------
# Output identities. File base name per resource set of the dataset.
SET_FILES = {"standard": "standard", "iot": "iot"}
SET_ORDER = ["standard", "iot"]

# Kind names of the type file, by (size in bytes, signed) of a dataset scalar.
SCALAR_KINDS = {
    (1, True): "signed short",
    (1, False): "unsigned short",
    (2, True): "signed long",
    (2, False): "unsigned long",
    (4, True): "signed quad",
    # README 3.2: 4-byte unsigned scalars become "signed quad".
    (4, False): "signed quad",
}

# Raw range of each scalar kind (the library's default limits).
KIND_RAW_RANGE = {
    "char": (-128, 127),
    "unsigned char": (0, 255),
    "signed short": (-128, 127),
    "unsigned short": (0, 255),
    "signed long": (-32768, 32767),
    "unsigned long": (0, 65535),
    "signed quad": (-2147483648, 2147483647),
}

INT16 = (-32768, 32767)
INT32 = (-2147483648, 2147483647)

# README 3.5: the types whose published limits are replaced by the full raw
# range of their kind (the dataset's limits are mis-scaled).
FULL_RANGE_TYPES = {"SNVT_temp"}

# README 3.9: copies of enumerations of another set get this set number base.
FOREIGN_ENUM_SET_BASE = 1000

# Limits the library enforces on a type file.
MAX_DEPTH = 32
MAX_EXPANDED_NODES = 100000
MAX_SIZE = 65535
MAX_NAME_BYTES = 255


class ConversionError(Exception):
    """The dataset holds something this converter cannot map."""


def fail(record, message):
    raise ConversionError("%s: %s" % (record, message))


def need(record, node, key, kinds=None):
    """Return node[key], which must exist (and be of one of `kinds`)."""
    if not isinstance(node, dict) or key not in node:
        fail(record, "missing key '%s'" % key)
    value = node[key]
    if kinds is not None and not isinstance(value, kinds):
        fail(record, "key '%s' has an unexpected value %r" % (key, value))
    return value


def need_int(record, node, key):
    value = need(record, node, key)
    if isinstance(value, bool) or not isinstance(value, int):
        fail(record, "key '%s' is not an integer: %r" % (key, value))
    return value


# ---------------------------------------------------------------------------
# Strings of one language file.


class StringTable:
    """Texts of one set's English language file.

    README 2: every distinct text gets one index, counted from 1 in the order
    in which the conversion first meets it (network-variable types by index,
    then configuration-property types by index; within a type its own title
    and units, then the fields depth first, each field's title before its
    units). Equal texts share one index.
    """

    def __init__(self):
        self.index_of = {}
        self.texts = []

    def ref(self, text):
        if text is None:
            return None
        if not isinstance(text, str) or text == "":
            return None
        if text not in self.index_of:
            self.texts.append(text)
            self.index_of[text] = len(self.texts)
        return self.index_of[text]


# README 4: the sets whose language files carry the strings of the format
# rules, in a reserved index range, and a German file beside the English one.
LANGUAGE_EXTRAS = {"standard": standard_format_rules}
GERMAN = standard_strings_deu.GERMAN


def language_document(strings):
    return {
        "format": "vornfmt-language",
        "version": 1,
        "strings": {str(i): strings[i] for i in sorted(strings)},
    }


# ---------------------------------------------------------------------------
# Conversion of one resource set.


class SetConverter:
    def __init__(self, dataset_sets, types_by_name, set_name):
        self.set_name = set_name
        info = [s for s in dataset_sets if s.get("name") == set_name]
        if len(info) != 1:
            fail("resource_sets", "resource set '%s' is not described exactly once" % set_name)
        self.info = info[0]
        self.scope = need_int("resource set " + set_name, self.info, "scope")
        if not 0 <= self.scope <= 6:
            fail("resource set " + set_name, "scope %d is outside 0..6" % self.scope)
        self.types_by_name = types_by_name
        self.strings = StringTable()
        # enumeration name -> set number in this file
        self.enum_numbers = {}
        self.enum_sets = []
        self.foreign_enums = []

    # -- enumerations -----------------------------------------------------

    def add_own_enums(self, records):
        for rec in records:
            need_int(rec["name"], rec, "index")
        for rec in sorted(records, key=lambda r: r["index"]):
            number = rec["index"]
            if number < 1:
                fail(rec["name"], "enumeration index %d is below 1" % number)
            self.enum_sets.append(self.enum_set(rec, number))
            self.enum_numbers[rec["name"]] = number

    def enum_set(self, rec, number):
        name = rec["name"]
        members = need(name, rec, "members", (list,))
        if not members:
            fail(name, "enumeration has no members")
        out = []
        seen_names = set()
        for m in members:
            mname = need(name, m, "name", (str,))
            value = need_int(name + "." + str(mname), m, "value")
            if not -128 <= value <= 127:
                fail(name + "." + mname, "member value %d is not a signed 8-bit number" % value)
            if mname in seen_names:
                fail(name + "." + mname, "member name appears twice")
            check_name(name + "." + mname, mname)
            seen_names.add(mname)
            out.append({"name": mname, "value": value})
        return {"set": number, "name": name, "members": out}

    def enum_number(self, record, enum_name):
        """Set number of the enumeration `enum_name` as seen from this file."""
        if enum_name in self.enum_numbers:
            return self.enum_numbers[enum_name]
        rec = self.types_by_name.get(enum_name)
        if rec is None or rec.get("category") != "enum":
            fail(record, "refers to the unknown enumeration '%s'" % enum_name)
        # README 3.9: an enumeration of another set is copied into this file.
        number = FOREIGN_ENUM_SET_BASE + need_int(enum_name, rec, "index")
        self.enum_sets.append(self.enum_set(rec, number))
        self.enum_numbers[enum_name] = number
        self.foreign_enums.append(enum_name)
        return number

    # -- nodes ------------------------------------------------------------

    def text_refs(self, node, out):
        name_ref = self.strings.ref(node.get("title"))
        units_ref = self.strings.ref(node.get("units"))
        if name_ref is not None:
            out["name_ref"] = name_ref
        if units_ref is not None:
            out["units_ref"] = units_ref

    def reference_to(self, record, type_name):
        """(scope, index, size) of the network-variable type `type_name`."""
        target = self.types_by_name.get(type_name)
        if target is None:
            fail(record, "refers to the unknown type '%s'" % type_name)
        if target.get("category") not in ("SNVT", "UNVT"):
            fail(record, "refers to '%s', which is not a network-variable type" % type_name)
        scope = need_int(type_name, target, "scope")
        index = need_int(type_name, target, "index")
        size = need_int(type_name, target, "size")
        return scope, index, size

    def scalar(self, record, node, out, text_element=False, type_name=None):
        size = need_int(record, node, "size")
        signed = need(record, node, "signed", (bool,))
        if (size, signed) not in SCALAR_KINDS:
            fail(record, "no scalar kind for %d bytes, %s" % (size, "signed" if signed else "unsigned"))
        kind = SCALAR_KINDS[(size, signed)]
        if text_element:
            # README 3.3: the elements of text arrays are characters.
            if size != 1:
                fail(record, "a character array element must be 1 byte, not %d" % size)
            kind = "char"
        out["kind"] = kind
        scaling = need(record, node, "scaling", (dict,))
        if scaling.get("exact") is not True:
            fail(record, "scaling %r is not an exact a*10^b*(raw+c)" % scaling)
        abc = [need_int(record, scaling, k) for k in ("a", "b", "c")]
        for v in abc:
            if not INT16[0] <= v <= INT16[1]:
                fail(record, "scaling %r does not fit signed 16-bit numbers" % abc)
        if abc != [1, 0, 0]:
            out["scale"] = abc
        lo, hi = node.get("raw_minimum"), node.get("raw_maximum")
        for v in (lo, hi):
            if v is not None and (isinstance(v, bool) or not isinstance(v, int)):
                fail(record, "raw limit %r is not an integer" % v)
        natural = KIND_RAW_RANGE[kind]
        if type_name in FULL_RANGE_TYPES:
            # README 3.5: published range, i.e. the whole raw range.
            lo, hi = None, None
        if size == 4 and not signed:
            # README 3.2: unsigned 32-bit values are held by a signed kind;
            # the upper limit is cut to the largest signed value.
            if lo is not None and lo > INT32[1]:
                fail(record, "raw minimum %d of an unsigned 32-bit value is not representable" % lo)
            if hi is not None and hi > INT32[1]:
                hi = INT32[1]
        if text_element and lo is not None and lo > 0:
            # README 3.3: a text shorter than its array is padded with zero bytes.
            lo = 0
        if lo is None:
            lo = natural[0]
        if hi is None:
            hi = natural[1]
        if lo > hi:
            fail(record, "raw limits %d..%d are empty" % (lo, hi))
        for v in (lo, hi):
            if not INT32[0] <= v <= INT32[1]:
                fail(record, "raw limit %d is not a signed 32-bit number" % v)
        if text_element and hi > natural[1]:
            # README 3.3: characters with codes above 127 are unsigned.
            kind = out["kind"] = "unsigned char"
            natural = KIND_RAW_RANGE[kind]
        if lo != natural[0]:
            out["min"] = lo
        if hi != natural[1]:
            out["max"] = hi

    def node(self, record, node, depth, field_name=None, offset=None, top=False, type_name=None):
        """Convert one layout (a type, field or array element) to a node."""
        if depth > MAX_DEPTH:
            fail(record, "nests deeper than %d levels" % MAX_DEPTH)
        kind = need(record, node, "kind", (str,))
        out = {}
        # A field that is an instance of a named network-variable type becomes
        # a reference to that type (README 3.8).
        if not top and node.get("type_name") is not None:
            ref_scope, ref_index, ref_size = self.reference_to(record, node["type_name"])
            if need_int(record, node, "size") != ref_size:
                fail(record, "size differs from that of its type '%s'" % node["type_name"])
            out["kind"] = "reference"
            self.place(out, field_name, offset)
            out["size"] = ref_size
            out["scope"] = ref_scope
            out["index"] = ref_index
            self.text_refs(node, out)
            return out
        if kind == "scalar":
            out["kind"] = None
            self.place(out, field_name, offset)
            self.scalar(record, node, out, type_name=type_name)
        elif kind == "float":
            size = need_int(record, node, "size")
            single = need(record, node, "single", (bool,))
            if (size, single) == (4, True):
                out["kind"] = "float"
            elif (size, single) == (8, False):
                # README 3.4
                out["kind"] = "double float"
            else:
                fail(record, "float of %d bytes, single=%r" % (size, single))
            self.place(out, field_name, offset)
            for key, outkey in (("minimum", "min"), ("maximum", "max")):
                v = node.get(key)
                if v is not None:
                    if isinstance(v, bool) or not isinstance(v, (int, float)):
                        fail(record, "float limit %r is not a number" % v)
                    out[outkey] = v
        elif kind == "enum":
            if need_int(record, node, "size") != 1:
                fail(record, "an enumeration must be 1 byte")
            out["kind"] = "enum"
            self.place(out, field_name, offset)
            out["enum"] = self.enum_number(record, need(record, node, "enum", (str,)))
        elif kind == "bitfield":
            out["kind"] = "bitfield"
            self.place(out, field_name, offset)
            bit = need_int(record, node, "bit_offset")
            width = need_int(record, node, "bit_width")
            if need_int(record, node, "size") != 1:
                fail(record, "a bitfield must lie in one byte")
            if not (1 <= width <= 8 and 0 <= bit and bit + width <= 8):
                fail(record, "bitfield bit %d width %d does not fit a byte" % (bit, width))
            if width == 8:
                # README 3.6: a whole byte is an unsigned short, not a bitfield.
                out["kind"] = "unsigned short"
            else:
                out["bit"] = bit
                out["width"] = width
            lo = need_int(record, node, "minimum")
            hi = need_int(record, node, "maximum")
            full = (0, (1 << width) - 1)
            if width > 1 and (lo, hi) == (0, 1):
                # README 3.6: 0..1 on a multi-bit field is a generator default.
                lo, hi = full
            if lo > hi:
                fail(record, "bitfield limits %d..%d are empty" % (lo, hi))
            if lo != full[0]:
                out["min"] = lo
            if hi != full[1]:
                out["max"] = hi
        elif kind in ("struct", "union"):
            out["kind"] = kind
            self.place(out, field_name, offset)
            size = need_int(record, node, "size")
            out["size"] = size
            fields = need(record, node, "fields", (list,))
            members = []
            seen = set()
            for f in fields:
                fkind = need(record, f, "kind", (str,))
                foffset = need_int(record, f, "offset")
                if fkind == "reserved":
                    # README 3.10: a reserved byte has no named bits; left out.
                    continue
                fname = need(record, f, "name", (str,))
                frecord = record + "." + fname
                check_name(frecord, fname)
                if fname in seen:
                    fail(frecord, "field name appears twice")
                seen.add(fname)
                if kind == "union" and foffset != 0:
                    fail(frecord, "a union member must start at 0")
                fsize = need_int(frecord, f, "size")
                if foffset < 0 or foffset + fsize > size:
                    fail(frecord, "field at %d size %d lies outside its %d-byte parent" % (foffset, fsize, size))
                members.append(self.node(frecord, f, depth + 1, field_name=fname, offset=foffset))
            if not members:
                fail(record, "has no fields")
            self.text_refs(node, out)
            out["members"] = members
            return out
        elif kind == "array":
            out["kind"] = "array"
            self.place(out, field_name, offset)
            count = need_int(record, node, "count")
            size = need_int(record, node, "size")
            if not 1 <= count <= 65535:
                fail(record, "array count %d is outside 1..65535" % count)
            element = need(record, node, "element", (dict,))
            esize = need_int(record + "[]", element, "size")
            if count * esize != size:
                fail(record, "array size %d is not %d x %d" % (size, count, esize))
            out["size"] = size
            out["count"] = count
            text = node.get("text_hint")
            if text not in (None, "char", "wide"):
                fail(record, "unknown text_hint %r" % text)
            if need(record + "[]", element, "kind", (str,)) in ("array",):
                fail(record, "arrays of arrays are not supported")
            if text == "char":
                if element.get("kind") != "scalar" or element.get("type_name") is not None:
                    fail(record, "a character array must hold plain 1-byte scalars")
                el = {"kind": None}
                self.scalar(record + "[]", element, el, text_element=True)
            else:
                el = self.node(record + "[]", element, depth + 1)
            self.text_refs(node, out)
            out["element"] = el
            return out
        else:
            fail(record, "cannot map kind '%s'" % kind)
        self.text_refs(node, out)
        return out

    @staticmethod
    def place(out, name, offset):
        if name is not None:
            out["name"] = name
        if offset is not None:
            out["offset"] = offset

    # -- types ------------------------------------------------------------

    def type_node(self, rec):
        name = rec["name"]
        kind = need(name, rec, "kind", (str,))
        if kind == "reference":
            # README 3.7: a property typed by a network-variable type.
            scope, index, size = self.reference_to(name, need(name, rec, "base_type", (str,)))
            if need_int(name, rec, "size") != size:
                fail(name, "size differs from that of its base type")
            out = {"kind": "reference", "size": size, "scope": scope, "index": index}
            self.text_refs(rec, out)
            return out
        if kind == "inherited":
            # README 3.1: type-inheriting properties get a 32-bit placeholder.
            if rec.get("size") is not None:
                fail(name, "a type-inheriting property with a size")
            out = {"kind": "signed quad"}
            self.text_refs(rec, out)
            return out
        out = self.node(name, rec, 0, top=True, type_name=name)
        if kind == "enum":
            for key, outkey in (("minimum_raw", "min"), ("maximum_raw", "max")):
                if rec.get(key) is not None:
                    v = rec[key]
                    if isinstance(v, bool) or not isinstance(v, int) or not -128 <= v <= 127:
                        fail(name, "%s %r is not a signed 8-bit number" % (key, v))
                    out[outkey] = v
        return out

    def convert(self, records):
        enums = [r for r in records if r.get("category") == "enum"]
        nvts = [r for r in records if r.get("category") in ("SNVT", "UNVT")]
        cpts = [r for r in records if r.get("category") in ("SCPT", "UCPT")]
        other = [r for r in records if r not in enums and r not in nvts and r not in cpts]
        if other:
            fail(other[0].get("name"), "unknown category %r" % other[0].get("category"))
        self.add_own_enums(enums)
        doc_nvts = self.table(nvts)
        doc_cpts = self.table(cpts)
        self.enum_sets.sort(key=lambda e: e["set"])
        program_id = need(self.set_name, self.info, "program_id", (str,))
        digits = program_id.replace(":", "")
        if len(digits) != 16 or any(c not in "0123456789abcdefABCDEF" for c in digits):
            fail("resource set " + self.set_name, "program ID %r is not 16 hexadecimal digits" % program_id)
        version = need(self.set_name, self.info, "version", (list,))
        if len(version) != 2 or not all(isinstance(v, int) and 0 <= v <= 255 for v in version):
            fail("resource set " + self.set_name, "version %r is not [major, minor]" % version)
        self.counts = {
            "nvts": len(doc_nvts),
            "cpts": len(doc_cpts),
            "enum_sets": len(self.enum_sets),
            "own_enum_sets": len(enums),
            "members": sum(len(e["members"]) for e in self.enum_sets),
            "strings": len(self.strings.texts),
        }
        typ = {
            "format": "vornfmt-types",
            "version": 1,
            "set": {"name": self.set_name, "program_id": program_id.upper(), "scope": self.scope,
                    "version": list(version)},
            "enum_sets": self.enum_sets,
            "nvts": doc_nvts,
            "cpts": doc_cpts,
        }
        english = {i + 1: t for i, t in enumerate(self.strings.texts)}
        german = None
        if self.set_name in LANGUAGE_EXTRAS:
            extras = LANGUAGE_EXTRAS[self.set_name]
            base = extras.EXTRA_STRING_BASE
            if len(english) >= base:
                fail("resource set " + self.set_name,
                     "%d strings reach the index range %d.. reserved for the format files"
                     % (len(english), base))
            german = {i: GERMAN.get(t, t) for i, t in english.items()}
            for i, (en, de) in enumerate(extras.EXTRA_STRINGS):
                english[base + i] = en
                german[base + i] = de
            self.counts["strings"] = len(english)
        enu = language_document(english)
        deu = language_document(german) if german is not None else None
        return typ, enu, deu

    def table(self, records):
        out = []
        seen_index = {}
        seen_name = set()
        for rec in sorted(records, key=lambda r: (r.get("index") if isinstance(r.get("index"), int) else -1)):
            name = need(rec.get("name"), rec, "name", (str,))
            index = need_int(name, rec, "index")
            if not 1 <= index <= 65535:
                fail(name, "index %d is outside 1..65535" % index)
            if index in seen_index:
                fail(name, "index %d is also used by %s" % (index, seen_index[index]))
            if name in seen_name:
                fail(name, "type name appears twice")
            if need_int(name, rec, "scope") != self.scope:
                fail(name, "scope differs from its resource set's")
            check_name(name, name)
            seen_index[index] = name
            seen_name.add(name)
            try:
                node = self.type_node(rec)
            except (KeyError, TypeError, ValueError, AttributeError) as e:
                fail(name, "malformed record (%s: %s)" % (type(e).__name__, e))
            check_limits(name, node)
            out.append({"index": index, "name": name, "node": node})
        return out


def check_name(record, name):
    if not name or len(name.encode("utf-8")) > MAX_NAME_BYTES:
        fail(record, "name is empty or longer than %d bytes" % MAX_NAME_BYTES)
    if any(c in name for c in ".[]") or any(ord(c) < 33 or ord(c) > 126 for c in name):
        fail(record, "name %r holds a character that path names cannot carry" % name)


def node_size(node):
    kind = node["kind"]
    if "size" in node:
        return node["size"]
    return {"char": 1, "unsigned char": 1, "signed short": 1, "unsigned short": 1, "enum": 1, "bitfield": 1,
            "signed long": 2, "unsigned long": 2, "signed quad": 4, "float": 4,
            "double float": 8}[kind]


def check_limits(record, root):
    """The library's limits: depth, expanded node count, sizes below 65536."""
    def expanded(node, depth):
        if depth > MAX_DEPTH:
            fail(record, "nests deeper than %d levels" % MAX_DEPTH)
        if node_size(node) > MAX_SIZE:
            fail(record, "size %d is too large" % node_size(node))
        if node["kind"] == "array":
            return 1 + node["count"] * expanded(node["element"], depth + 1)
        if node["kind"] in ("struct", "union"):
            return 1 + sum(expanded(m, depth + 1) for m in node["members"])
        return 1

    if expanded(root, 1) > MAX_EXPANDED_NODES:
        fail(record, "expands to more than %d nodes" % MAX_EXPANDED_NODES)


# ---------------------------------------------------------------------------
# Stable JSON text: an object of at most ONE_LINE_ITEMS simple values, or a
# list of simple values, is written on one line, anything else one item per
# line; keys in insertion order.

ONE_LINE_ITEMS = 16


def dump(value, indent=0):
    pad = "  " * indent

    def simple(v):
        return not isinstance(v, (dict, list)) or (
            isinstance(v, list) and all(not isinstance(x, (dict, list)) for x in v))

    if isinstance(value, dict):
        if len(value) <= ONE_LINE_ITEMS and all(simple(v) for v in value.values()):
            return "{" + ", ".join(json.dumps(k) + ": " + scalar_text(v) for k, v in value.items()) + "}"
        items = [pad + "  " + json.dumps(k) + ": " + dump(v, indent + 1) for k, v in value.items()]
        return "{\n" + ",\n".join(items) + "\n" + pad + "}"
    if isinstance(value, list):
        if all(simple(v) and not isinstance(v, list) for v in value):
            return "[" + ", ".join(scalar_text(v) for v in value) + "]"
        items = [pad + "  " + dump(v, indent + 1) for v in value]
        return "[\n" + ",\n".join(items) + "\n" + pad + "]"
    return scalar_text(value)


def scalar_text(v):
    if isinstance(v, list):
        return "[" + ", ".join(scalar_text(x) for x in v) + "]"
    if isinstance(v, float):
        if v != v or v in (float("inf"), float("-inf")):
            raise ConversionError("a float value is not finite")
        return repr(v)
    return json.dumps(v, ensure_ascii=False)


# ---------------------------------------------------------------------------


def load_dataset(path):
    try:
        with open(path, "rb") as f:
            data = json.loads(f.read().decode("utf-8"))
    except OSError as e:
        raise ConversionError("%s: cannot read: %s" % (path, e.strerror))
    except (UnicodeDecodeError, ValueError) as e:
        raise ConversionError("%s: not a JSON document: %s" % (path, e))
    if not isinstance(data, dict) or data.get("schema_version") != 1:
        raise ConversionError("%s: not a dataset of schema_version 1" % path)
    return data


def convert(data):
    """Convert the dataset; answer {file name: text} and per-set counts."""
    sets = need("dataset", data, "resource_sets", (list,))
    types = need("dataset", data, "types", (list,))
    by_name = {}
    for i, rec in enumerate(types):
        if not isinstance(rec, dict) or not isinstance(rec.get("name"), str):
            fail("types[%d]" % i, "record without a name")
        if rec["name"] in by_name:
            fail(rec["name"], "type name appears twice in the dataset")
        by_name[rec["name"]] = rec
    known = set(SET_FILES)
    for rec in types:
        if rec.get("resource_set") not in known:
            fail(rec["name"], "belongs to the unknown resource set %r" % rec.get("resource_set"))
    files = {}
    counts = {}
    for set_name in SET_ORDER:
        conv = SetConverter(sets, by_name, set_name)
        records = [r for r in types if r.get("resource_set") == set_name]
        typ, enu, deu = conv.convert(records)
        base = SET_FILES[set_name]
        files[base + ".typ"] = dump(typ) + "\n"
        files[base + ".enu"] = dump(enu) + "\n"
        if deu is not None:
            files[base + ".deu"] = dump(deu) + "\n"
        counts[set_name] = dict(conv.counts, foreign_enums=list(conv.foreign_enums))
    return files, counts


def write_all(folder, files):
    """Write every file or none: temporary files first, then renames."""
    os.makedirs(folder, exist_ok=True)
    temps = []
    try:
        for name in sorted(files):
            fd, tmp = tempfile.mkstemp(prefix="." + name + ".", suffix=".tmp", dir=folder)
            temps.append((tmp, os.path.join(folder, name)))
            with os.fdopen(fd, "w", encoding="utf-8", newline="\n") as f:
                f.write(files[name])
    except BaseException:
        for tmp, _ in temps:
            try:
                os.unlink(tmp)
            except OSError:
                pass
        raise
    for tmp, final in temps:
        os.chmod(tmp, 0o644)
        os.replace(tmp, final)


def main(argv=None):
    here = os.path.dirname(os.path.abspath(__file__))
    default_out = os.path.join(os.path.dirname(os.path.dirname(here)), "resources", "catalog")
    parser = argparse.ArgumentParser(description="Convert the LonMark standard type description into vornfmt resource files.")
    parser.add_argument("dataset", help="lonmark-standard-types.json")
    parser.add_argument("-o", "--output", default=default_out, help="output folder (default: %(default)s)")
    args = parser.parse_args(argv)
    try:
        files, counts = convert(load_dataset(args.dataset))
        write_all(args.output, files)
    except ConversionError as e:
        print("convert_standard_types: error: %s" % e, file=sys.stderr)
        print("convert_standard_types: nothing was written", file=sys.stderr)
        return 1
    for set_name in SET_ORDER:
        c = counts[set_name]
        print("%s: %d network-variable types, %d configuration-property types, %d enumeration sets "
              "(%d own%s), %d members, %d strings" % (
                  set_name, c["nvts"], c["cpts"], c["enum_sets"], c["own_enum_sets"],
                  (", copied: " + " ".join(c["foreign_enums"])) if c["foreign_enums"] else "",
                  c["members"], c["strings"]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
