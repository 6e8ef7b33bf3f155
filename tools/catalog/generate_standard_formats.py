#!/usr/bin/env python3
"""Write the format files of the shipped catalog.

Usage:
    generate_standard_formats.py [-c CATALOG_FOLDER] [--check]

Reads the type files and English language files of the catalog
(standard.typ/.enu and iot.typ/.enu, default folder resources/catalog) and
the hand-written rules of tools/catalog/standard_format_rules.py, and writes
standard.fmt and iot.fmt into the same folder, in the LonWorks format-file
syntax of docs/format-files.md. --check writes nothing and exits 1 when a
file on disk differs from what would be written.

Output is deterministic: types in the order of their type file (network
variable types by index, then configuration-property types by index), one
entry per line. The rules (units, measurement systems, conversions,
conditions) are described in resources/catalog/README.md, section 4.

Standard library only.
"""

import argparse
import json
import os
import struct
import sys
from fractions import Fraction

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import standard_format_rules as rules  # noqa: E402

# Resource sets of the catalog, in the order written, with their scopes.
SETS = [("standard", 0), ("iot", 1)]

MARKERS = ("SNVT", "UNVT", "SCPT", "UCPT")
SEPARATOR = " "


class GenerationError(Exception):
    pass


# ---------------------------------------------------------------------------
# Numbers in the format file.


def f32(x):
    return struct.unpack("<f", struct.pack("<f", float(x)))[0]


def single_text(exact):
    """Shortest decimal text that reads as the single-precision value nearest
    to `exact` (a Fraction)."""
    target = f32(exact)
    for digits in range(1, 10):
        text = "%.*g" % (digits, target)
        if f32(float(text)) == target:
            return plain(text)
    raise GenerationError("no text for factor %s" % exact)


def plain(text):
    """A number text without exponent (the format's reader takes either, but
    plain digits are easier to check by eye)."""
    if "e" not in text and "E" not in text:
        return text
    value = Fraction(text)
    out = format(value.numerator / value.denominator, "f").rstrip("0").rstrip(".")
    if Fraction(out) != value:
        out = "%.12f" % float(value)
        out = out.rstrip("0").rstrip(".")
    return out


def number_text(value):
    """A condition threshold: exact decimal text of a Fraction with a finite
    decimal expansion."""
    value = Fraction(value)
    if value.denominator == 1:
        return str(value.numerator)
    text = format(float(value), ".15g")
    if Fraction(text) != value:
        raise GenerationError("threshold %s has no short decimal text" % value)
    return plain(text)


# ---------------------------------------------------------------------------
# Catalog model.


class ResourceSet:
    def __init__(self, folder, name, scope):
        self.name = name
        self.scope = scope
        with open(os.path.join(folder, name + ".typ"), encoding="utf-8") as f:
            self.typ = json.load(f)
        with open(os.path.join(folder, name + ".enu"), encoding="utf-8") as f:
            self.strings = {int(k): v for k, v in json.load(f)["strings"].items()}
        self.nvt_by_index = {t["index"]: t for t in self.typ["nvts"]}

    def text(self, ref):
        """(scope, index, text) of a node's language-string reference."""
        if ref is None:
            return None
        if isinstance(ref, list):
            scope, index = ref
        else:
            scope, index = self.scope, ref
        return scope, index


class Catalog:
    def __init__(self, folder):
        self.sets = {}
        for name, scope in SETS:
            self.sets[scope] = ResourceSet(folder, name, scope)

    def string(self, scope, index):
        s = self.sets.get(scope)
        return s.strings.get(index) if s else None

    def nvt(self, scope, index):
        s = self.sets.get(scope)
        if s is None or index not in s.nvt_by_index:
            raise GenerationError("reference to missing type %d of scope %d" % (index, scope))
        return s, s.nvt_by_index[index]


class Leaf:
    """One subfield of a type: what a format item shows."""

    def __init__(self, path, node, units, base_types, in_union, char_array=False):
        self.path = path
        self.node = node
        self.units = units            # (scope, index, text) or None
        self.base_types = base_types  # names of the types it is reached through, innermost first
        self.in_union = in_union
        self.char_array = char_array


def join(path, name):
    if not path:
        return name
    if not name:
        return path
    return path + "." + name


def units_of(catalog, rset, node):
    ref = node.get("units_ref")
    if ref is None:
        return None
    scope, index = rset.text(ref)
    text = catalog.string(scope, index)
    if not text:
        return None
    return scope, index, text


def flatten(catalog, rset, node, path, out, base_types, in_union=False, units=None, specials=None, depth=0):
    """Leaves of `node` in the type tree's order (depth first), with the path
    names the type tree gives them. Collects in `specials` the special-value
    rules of every type reached (root or reference) at its path."""
    if depth > 40:
        raise GenerationError("%s: nests too deep" % path)
    kind = node["kind"]
    own_units = units_of(catalog, rset, node) or units
    if kind == "reference":
        target_set, target = catalog.nvt(node["scope"], node["index"])
        name = target["name"]
        if specials is not None:
            for field, raw, word in rules.SPECIAL_VALUES.get(name, []):
                specials.append((join(path, field), raw, word))
        flatten(catalog, target_set, target["node"], path, out, [name] + base_types, in_union,
                units_of(catalog, rset, node) or units_of(catalog, target_set, target["node"]), specials,
                depth + 1)
        return
    if kind in ("struct", "union"):
        for m in node["members"]:
            flatten(catalog, rset, m, join(path, m["name"]), out, base_types, in_union or kind == "union",
                    None, specials, depth + 1)
        return
    if kind == "array":
        element = node["element"]
        parent = path.rsplit(".", 1)[0] if "." in path else ""
        if element["kind"] in ("char", "unsigned char"):
            out.append(Leaf(path, element, own_units, base_types, in_union, char_array=True))
            return
        for i in range(node["count"]):
            flatten(catalog, rset, element, join(parent, "%s[%d]" % (node["name"], i)), out, base_types,
                    in_union, None, specials, depth + 1)
        return
    out.append(Leaf(path, node, own_units, base_types, in_union))


# ---------------------------------------------------------------------------
# Items.


def quantity(leaf):
    for name in leaf.base_types:
        if name in rules.QUANTITY_BY_TYPE:
            return rules.QUANTITY_BY_TYPE[name]
    if leaf.units and leaf.units[2] in rules.QUANTITY_BY_UNITS:
        return rules.QUANTITY_BY_UNITS[leaf.units[2]]
    return None


def is_scaled(node):
    return node.get("scale", [1, 0, 0]) != [1, 0, 0]


def conversion(leaf, whole, converted):
    kind = leaf.node["kind"]
    if leaf.char_array:
        return "%s"
    if kind == "enum":
        return "%m"
    if kind == "char" or (whole and set(leaf.base_types) & rules.CHARACTER_TYPES):
        return "%c"
    if kind in ("float", "double float") or converted or whole or is_scaled(leaf.node):
        return "%f"
    return "%d"


def argument(leaf, name, system):
    """The argument text of an item for `leaf` in measurement system
    `system` ("SI", "US" or None for a type without alternatives)."""
    q = quantity(leaf)
    conv = q is not None and system is not None and system != q["native"]
    scaling = ""
    if conv:
        units = rules.extra_string_index(q["units"])
        scaling = "*%s+%s(0:%d)" % (single_text(q["factor"]), single_text(q["offset"]), units)
    elif leaf.units and leaf.units[2] not in rules.NOT_UNITS and leaf.node["kind"] != "enum" \
            and not leaf.char_array:
        scaling = "*1+0(%d:%d)" % (leaf.units[0], leaf.units[1])
    return name + scaling, conv


def condition_text(leaf, name, raw):
    """A condition that holds exactly when the leaf's raw value is `raw`."""
    node = leaf.node
    a, b, c = node.get("scale", [1, 0, 0])
    step = Fraction(a) * Fraction(10) ** b
    value = step * (raw + c)
    if step.denominator == 1 and value.denominator == 1:
        return "(%s==%s)" % (name, number_text(value))
    lo, hi = raw_range(node)
    if raw == hi:
        return "(%s>=%s)" % (name, number_text(value - step / 2))
    if raw == lo:
        return "(%s<=%s)" % (name, number_text(value + step / 2))
    raise GenerationError("%s: raw %d is not at an end of the raw range and the scaling is not whole" % (name, raw))


KIND_RANGE = {"char": (-128, 127), "unsigned char": (0, 255), "signed short": (-128, 127), "unsigned short": (0, 255),
              "signed long": (-32768, 32767), "unsigned long": (0, 65535),
              "signed quad": (-2147483648, 2147483647)}


def raw_range(node):
    if node["kind"] == "bitfield":
        return 0, (1 << node["width"]) - 1
    return KIND_RANGE[node["kind"]]


# ---------------------------------------------------------------------------
# Entries.


def spec_for(type_name, leaves, specials, system):
    """The text inside text( ... ) for one alternative."""
    whole = len(leaves) == 1 and leaves[0].path == ""
    special_by_path = {}
    for path, raw, word in specials:
        special_by_path.setdefault(path, []).append((raw, word))
    segments = []   # (kind, data): ("items", [(piece, arg)]) or ("cond", text)
    any_conditional = False
    for i, leaf in enumerate(leaves):
        name = leaf.path if leaf.path else type_name
        sep = SEPARATOR if i > 0 else ""
        conv_letter = conversion(leaf, whole, quantity(leaf) is not None and system is not None)
        arg, _ = argument(leaf, name if (leaf.path or special_by_path.get("")) else "", system)
        specs = special_by_path.get(leaf.path, [])
        if specs:
            if len(specs) != 1:
                raise GenerationError("%s: more than one special value for %s" % (type_name, name))
            raw, word = specs[0]
            full_arg, _ = argument(leaf, name, system)
            cond = condition_text(leaf, name, raw)
            segments.append(("cond", '(%s?("%s%s %s",%s):("%s%s",%s))' % (
                cond, sep, conv_letter, word, full_arg, sep, conv_letter, full_arg)))
            any_conditional = True
        else:
            if segments and segments[-1][0] == "items":
                segments[-1][1].append((sep + conv_letter, arg))
            else:
                segments.append(("items", [(sep + conv_letter, arg)]))
    if not any_conditional and len(segments) == 1:
        pieces = segments[0][1]
        if all(a == "" for _, a in pieces) and len(pieces) == 1:
            return '"%s"' % pieces[0][0]
        return '"%s",%s' % ("".join(p for p, _ in pieces), ",".join(a for _, a in pieces))
    if len(segments) == 1:
        return segments[0][1][1:-1]
    out = []
    for kind, data in segments:
        if kind == "items":
            out.append('("%s",%s)' % ("".join(p for p, _ in data), ",".join(a for _, a in data)))
        else:
            out.append(data)
    return "".join(out)


def order_leaves(leaves):
    """A single character array goes last: a text runs to the end of the
    input when read back, so it may hold blanks."""
    texts = [l for l in leaves if l.char_array]
    if len(texts) == 1 and len(leaves) > 1:
        return [l for l in leaves if not l.char_array] + texts
    return leaves


class Stats:
    def __init__(self):
        self.entries = 0
        self.types = 0
        self.us = 0
        self.si = 0
        self.single = 0
        self.conditional = 0
        self.notes = {}

    def note(self, type_name, text):
        self.notes.setdefault(type_name, []).append(text)


def type_entries(catalog, rset, record, stats):
    name = record["name"]
    if name in rules.FORMAT_OVERRIDES:
        return list(rules.FORMAT_OVERRIDES[name])
    node = record["node"]
    leaves, specials = [], []
    for field, raw, word in rules.SPECIAL_VALUES.get(name, []):
        specials.append((field, raw, word))
    flatten(catalog, rset, node, "", leaves, [name], specials=specials)
    leaves = order_leaves(leaves)
    if not leaves:
        raise GenerationError("%s: no subfield to show" % name)
    known = {l.path for l in leaves}
    for path, _, _ in specials:
        if path not in known:
            raise GenerationError("%s: special value for unknown field %r" % (name, path))
    # Notes on what does not read back unambiguously.
    texts = [l for l in leaves if l.char_array]
    if len(texts) > 1:
        stats.note(name, "%d text fields: only the last may hold blanks" % len(texts))
    if any(l.in_union for l in leaves):
        stats.note(name, "union: every member is shown and written, over the same bytes")
    quantities = [quantity(l) for l in leaves]
    natives = {q["native"] for q in quantities if q}
    if len(natives) > 1:
        raise GenerationError("%s: fields of both measurement systems" % name)
    entries = []
    if natives:
        native = natives.pop()
        for system in ("SI", "US"):
            mark = "*" if system == native else ""
            entries.append('%s%s#%s:text(%s);' % (mark, name, system, spec_for(name, leaves, specials, system)))
        stats.si += 1
        stats.us += 1
    else:
        entries.append('*%s:text(%s);' % (name, spec_for(name, leaves, specials, None)))
        stats.single += 1
    if specials:
        stats.conditional += 1
    for e in entries:
        check_entry(name, e)
    return entries


def check_entry(name, entry):
    """Traps of the format-file syntax that would lose the entry silently."""
    expected = 1 if entry.startswith("*") else 0
    for marker in MARKERS:
        start = entry.find(marker)
        if start != -1:
            break
    if start != expected:
        raise GenerationError("%s: the loader would take the name from position %d" % (name, start))
    key = entry[start:entry.index(":")]
    if key.split("#", 1)[0] != name:
        raise GenerationError("%s: the loader would read the key %r" % (name, key))
    for bad in ("!", "\t", "\n"):
        if bad in entry:
            raise GenerationError("%s: the entry holds %r" % (name, bad))
    spec = entry[entry.index("text(") + 4:-1]
    depth = 0
    for ch in spec:
        depth += ch == "("
        depth -= ch == ")"
        if depth < 0:
            raise GenerationError("%s: unbalanced parentheses" % name)
    if depth:
        raise GenerationError("%s: unbalanced parentheses" % name)
    quoted = spec.split('"')[1::2]
    for text in quoted:
        if "(" in text or ")" in text or "\\" in text:
            raise GenerationError("%s: format text %r holds a parenthesis or backslash" % (name, text))
        i = text.find("%")
        while i != -1:
            if i + 1 >= len(text) or text[i + 1] not in "fdxcsm":
                raise GenerationError("%s: %r is not a bare conversion" % (name, text))
            i = text.find("%", i + 2)


HEADER = """! {title}
! Generated by tools/catalog/generate_standard_formats.py from {typ}, {enu}
! and tools/catalog/standard_format_rules.py; edit the rules, not this file.
! One entry per line: [*]NAME[#SI|#US]:text(SPECIFICATION);
! Units references (scope:index) name strings of the language files.
"""


def generate(catalog):
    files = {}
    all_stats = {}
    for set_name, scope in SETS:
        rset = catalog.sets[scope]
        stats = Stats()
        lines = [HEADER.format(title="Format file of the %s resource set" % set_name,
                               typ=set_name + ".typ", enu=set_name + ".enu")]
        for table in ("nvts", "cpts"):
            for record in rset.typ[table]:
                entries = type_entries(catalog, rset, record, stats)
                stats.types += 1
                stats.entries += len(entries)
                lines.extend(e + "\n" for e in entries)
        files[set_name + ".fmt"] = "".join(lines)
        all_stats[set_name] = stats
    return files, all_stats


def main(argv=None):
    default = os.path.join(os.path.dirname(os.path.dirname(HERE)), "resources", "catalog")
    parser = argparse.ArgumentParser(description="Write the format files of the shipped catalog.")
    parser.add_argument("-c", "--catalog", default=default, help="catalog folder (default: %(default)s)")
    parser.add_argument("--check", action="store_true", help="write nothing; exit 1 when a file differs")
    parser.add_argument("--notes", action="store_true", help="list the types whose text does not read back")
    args = parser.parse_args(argv)
    try:
        files, stats = generate(Catalog(args.catalog))
    except (GenerationError, KeyError, ValueError, OSError) as e:
        print("generate_standard_formats: error: %s" % e, file=sys.stderr)
        return 1
    status = 0
    for name in sorted(files):
        path = os.path.join(args.catalog, name)
        data = files[name].encode("cp1252")
        if args.check:
            try:
                with open(path, "rb") as f:
                    same = f.read() == data
            except OSError:
                same = False
            if not same:
                print("generate_standard_formats: %s is not up to date" % path, file=sys.stderr)
                status = 1
            continue
        tmp = path + ".tmp"
        with open(tmp, "wb") as f:
            f.write(data)
        os.replace(tmp, path)
    for set_name, _ in SETS:
        s = stats[set_name]
        print("%s.fmt: %d types, %d entries (%d with SI and US alternatives, %d single), %d with special values"
              % (set_name, s.types, s.entries, s.us, s.single, s.conditional))
        if args.notes:
            for type_name in sorted(s.notes):
                for text in s.notes[type_name]:
                    print("  %s: %s" % (type_name, text))
    return status


if __name__ == "__main__":
    sys.exit(main())
