#!/usr/bin/env python3
"""Audit of the shipped catalog (resources/catalog) against the dataset it was
converted from, and of its standard format file against its type and language
files.

tests/data/standard-layout.txt is written by tools/catalog/extract_standard_layout.py
straight from the dataset. This test flattens every type of the generated type
files (*.typ, following references as the library does) and compares its leaves
with the layout. The converter's mapping rules (resources/catalog/README.md,
section 3) are restated here on the dataset's values, independently of the
converter: expected_kind, scalar_limits, bitfield_limits and enum_set.

Run: python3 -m unittest tests/standard/test_standard_catalog.py
(from the repository root; standard library only).
"""

import json
import os
import re
import struct
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
CATALOG = os.path.join(ROOT, "resources", "catalog")
LAYOUT = os.path.join(ROOT, "tests", "data", "standard-layout.txt")
SETS = {"standard": 0, "iot": 1}  # set name -> scope
FOREIGN_ENUM_BASE = 1000  # README 3.9
INT32 = (-2 ** 31, 2 ** 31 - 1)
NATURAL = {"char": (-128, 127), "unsigned char": (0, 255), "signed short": (-128, 127), "unsigned short": (0, 255),
           "signed long": (-32768, 32767), "unsigned long": (0, 65535), "signed quad": INT32}
DEFAULT_SIZE = {"char": 1, "unsigned char": 1, "signed short": 1, "unsigned short": 1, "enum": 1, "bitfield": 1,
                "signed long": 2, "unsigned long": 2, "signed quad": 4, "float": 4, "double float": 8}
FLOAT_MAX = {"float": 3.402823466e+38, "double float": 1.7976931348623157e308}


def load_layout():
    types, enums = [], []
    with open(LAYOUT, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            if not line.strip() or line.startswith("#"):
                continue
            r = line.rstrip("\n").split("\t")
            if r[0] == "type" and len(r) == 10:
                types.append({"set": r[1], "category": r[2], "index": int(r[3]), "name": r[4], "kind": r[5],
                              "size": None if r[6] == "-" else int(r[6]), "base": r[7], "title": r[8],
                              "units": r[9], "leaves": []})
            elif r[0] == "leaf" and len(r) >= 7 and types:
                types[-1]["leaves"].append({"path": "" if r[1] == "-" else r[1], "offset": int(r[2]),
                                            "size": int(r[3]), "title": r[4], "units": r[5], "kind": r[6],
                                            "details": r[7:]})
            elif r[0] == "enum" and len(r) == 5:
                enums.append({"set": r[1], "index": int(r[2]), "name": r[3], "members": []})
            elif r[0] == "member" and len(r) == 3 and enums:
                enums[-1]["members"].append((int(r[1]), r[2]))
            else:
                raise AssertionError("%s:%d: unexpected record" % (LAYOUT, number))
    return types, enums


def load_json(name):
    with open(os.path.join(CATALOG, name), encoding="utf-8") as f:
        return json.load(f)


class Catalog:
    """The generated type and English language files, read as the library reads them."""

    def __init__(self):
        self.files = {scope: load_json(name + ".typ") for name, scope in SETS.items()}
        self.strings = {scope: load_json(name + ".enu")["strings"] for name, scope in SETS.items()}

    def table(self, scope, nvt):
        return {t["index"]: t for t in self.files[scope]["nvts" if nvt else "cpts"]}

    def text(self, scope, ref):
        if ref is None:
            return ""
        if isinstance(ref, list):
            scope, ref = ref
        return self.strings[scope][str(ref)]

    @staticmethod
    def size(node):
        return node.get("size", DEFAULT_SIZE.get(node["kind"]))

    def leaves(self, node, scope, path, offset, out, text_node=None, depth=0):
        """Appends the leaves below `node` (in the file of `scope`) as the library walks them:
        arrays add nothing to the path, elements are NAME[i], references are followed."""
        assert depth < 40, path
        kind = node["kind"]
        at = offset + node.get("offset", 0)
        if kind in ("struct", "union"):
            for m in node["members"]:
                self.leaves(m, scope, join(path, m.get("name", "")), at, out)
        elif kind == "array":
            element = node["element"]
            parent = path.rsplit(".", 1)[0] if "." in path else ""
            for i in range(node["count"]):
                name = "%s[%d]" % (node.get("name", ""), i)
                self.leaves(element, scope, join(parent, name), at + i * self.size(element), out)
        elif kind == "reference":
            referred = self.table(node["scope"], True)[node["index"]]["node"]
            assert self.size(referred) == node["size"], "%s states size %s" % (path, node["size"])
            self.leaves(referred, node["scope"], path, at, out, text_node or (node, scope), depth + 1)
        else:
            texts, texts_scope = text_node or (node, scope)
            out.append({"path": path, "offset": at, "node": node, "scope": scope,
                        "title": self.text(texts_scope, texts.get("name_ref")),
                        "units": self.text(texts_scope, texts.get("units_ref"))})


def join(parent, name):
    return name if not parent else parent if not name else parent + "." + name


# ---------------------------------------------------------------------------
# The converter's mapping rules, restated on the dataset's values.

def expected_kind(leaf):
    """README 3.1 to 3.4: the node kind of a dataset leaf."""
    kind, d = leaf["kind"], leaf["details"]
    if kind == "inherited":
        return "signed quad"
    if kind == "scalar":
        if d[1] == "char":
            # README 3.3: text codes above 127 make the character unsigned.
            return "unsigned char" if d[6] != "-" and int(d[6]) > 127 else "char"
        size = leaf["size"]
        if size == 1:
            return "signed short" if d[0] == "s" else "unsigned short"
        if size == 2:
            return "signed long" if d[0] == "s" else "unsigned long"
        return "signed quad"  # 4 bytes, signed or not
    if kind == "float":
        return "float" if d[0] == "single" else "double float"
    if kind == "bitfield" and d[1] == "8":
        return "unsigned short"  # README 3.6: a bitfield is 1 to 7 bits; a whole byte is a scalar
    return kind  # bitfield, enum


def scalar_limits(leaf, kind):
    """README 3.2, 3.3, 3.5: raw limits of a dataset scalar."""
    sign, text, a, b, c, lo, hi = leaf["details"]
    natural = NATURAL[kind]
    r = [natural[0] if lo == "-" else int(lo), natural[1] if hi == "-" else int(hi)]
    if (a, b, c) == ("1", "-1", "-2740"):  # SNVT_temp: the published range
        r = list(natural)
    if sign == "u" and leaf["size"] == 4:
        r[1] = min(r[1], INT32[1])
    if text == "char":
        r[0] = min(r[0], 0)
    return tuple(r)


def bitfield_limits(leaf):
    """README 3.6: 0..1 on a multi-bit bitfield becomes its whole range."""
    width, lo, hi = int(leaf["details"][1]), int(leaf["details"][2]), int(leaf["details"][3])
    return (lo, 2 ** width - 1) if width > 1 and (lo, hi) == (0, 1) else (lo, hi)


def enum_set(enums, scope, name):
    """README 3.9: the set number of an enumeration as seen from a file; and its set."""
    own = enums.get((scope, name))
    if own:
        return own["index"], own
    standard = enums.get((0, name))
    return (FOREIGN_ENUM_BASE + standard["index"] if standard else None), standard


def single(value):
    return struct.unpack("f", struct.pack("f", value))[0]


class StandardCatalogTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.types, enum_list = load_layout()
        cls.enums = {(SETS[e["set"]], e["name"]): e for e in enum_list}
        cls.catalog = Catalog()

    def test_layout_covers_the_whole_dataset(self):
        count = {}
        for t in self.types:
            count[t["set"] + " " + t["category"]] = count.get(t["set"] + " " + t["category"], 0) + 1
        self.assertEqual(count, {"standard SNVT": 210, "standard SCPT": 380, "iot UNVT": 7, "iot UCPT": 17})
        standard = [e for (scope, _), e in self.enums.items() if scope == 0]
        self.assertEqual(len(standard), 86)
        self.assertEqual(sum(len(e["members"]) for e in standard), 1150)
        self.assertEqual(len(self.enums), 98)

    def test_each_set_file_holds_exactly_the_layouts_types(self):
        for name, scope in SETS.items():
            f = self.catalog.files[scope]
            expected = sorted((t["category"][1:], t["index"], t["name"]) for t in self.types if t["set"] == name)
            found = sorted([("NVT", t["index"], t["name"]) for t in f["nvts"]] +
                           [("CPT", t["index"], t["name"]) for t in f["cpts"]])
            self.assertEqual(found, expected, name)

    def test_every_type_has_the_dataset_layout(self):
        diffs = []
        for t in self.types:
            diffs += ["%s: %s" % (t["name"], d) for d in self.compare(t)]
        self.assertEqual(diffs[:60], [], "%d differences" % len(diffs))

    def compare(self, t):
        scope = SETS[t["set"]]
        entry = self.catalog.table(scope, t["category"].endswith("NVT"))[t["index"]]
        root, diffs = entry["node"], []
        texts = (self.catalog.text(scope, root.get("name_ref")), self.catalog.text(scope, root.get("units_ref")))
        if texts != (t["title"], t["units"]):
            diffs.append("texts %r, expected %r" % (texts, (t["title"], t["units"])))
        if root.get("name", entry["name"]) != t["name"]:
            diffs.append("root node named %r" % root.get("name"))
        if t["kind"] == "inherited":
            if root["kind"] != "signed quad" or self.catalog.size(root) != 4:
                diffs.append("a type-inheriting property must be a 4-byte signed quad")
        elif self.catalog.size(root) != t["size"]:
            diffs.append("size %s, expected %s" % (self.catalog.size(root), t["size"]))
        if t["kind"] in ("struct", "union", "reference") and root["kind"] != t["kind"]:
            diffs.append("root kind %s, expected %s" % (root["kind"], t["kind"]))
        if t["kind"] == "reference":
            base = next(b for b in self.types if b["name"] == t["base"])
            referred = self.catalog.table(root["scope"], True).get(root["index"])
            if not referred or referred["name"] != t["base"] or root["scope"] != SETS[base["set"]]:
                diffs.append("refers to %r, expected %s" % (referred and referred["name"], t["base"]))
        leaves = []
        self.catalog.leaves(root, scope, "", 0, leaves)
        expected = t["leaves"]
        if t["kind"] == "inherited":
            expected = [{"path": "", "offset": 0, "size": 4, "title": "", "units": "", "kind": "inherited", "details": []}]
        if len(leaves) != len(expected):
            return diffs + ["%d leaves, expected %d" % (len(leaves), len(expected))]
        for got, e in zip(leaves, expected):
            diffs += ["%r: %s" % (e["path"] or "(the value)", d) for d in self.compare_leaf(got, e)]
        return diffs

    def compare_leaf(self, got, e):
        node, kind, d = got["node"], expected_kind(e), e["details"]
        diffs = []
        if (got["path"], got["offset"], self.catalog.size(node)) != (e["path"], e["offset"], e["size"]):
            diffs.append("path, offset, size %r" % ((got["path"], got["offset"], self.catalog.size(node)),))
        if e["path"] and (got["title"], got["units"]) != (e["title"], e["units"]):
            diffs.append("texts %r" % ((got["title"], got["units"]),))
        if node["kind"] != kind:
            return diffs + ["kind %s, expected %s" % (node["kind"], kind)]
        scale = node.get("scale", [1, 0, 0])
        limits = (node.get("min"), node.get("max"))
        if e["kind"] == "inherited":
            expected_scale, expected_limits = [1, 0, 0], NATURAL[kind]
        elif e["kind"] == "scalar":
            expected_scale, expected_limits = [int(x) for x in d[2:5]], scalar_limits(e, kind)
        elif e["kind"] == "bitfield" and kind == "unsigned short":
            expected_scale, expected_limits = [1, 0, 0], bitfield_limits(e)
        elif e["kind"] == "bitfield":
            expected_scale, expected_limits = [1, 0, 0], bitfield_limits(e)
            if (node.get("bit"), node["width"]) != (int(d[0]), int(d[1])):
                diffs.append("bit %s width %s" % (node.get("bit"), node["width"]))
            limits = (node.get("min", 0), node.get("max", 2 ** node["width"] - 1))
        elif e["kind"] == "float":
            largest = FLOAT_MAX[kind]
            got_limits = (node.get("min", -largest), node.get("max", largest))
            wanted = (float(d[1]), float(d[2]))
            if kind == "float":
                got_limits, wanted = tuple(map(single, got_limits)), tuple(map(single, wanted))
            return diffs + (["float limits %r" % (got_limits,)] if got_limits != wanted else [])
        else:  # enum
            number, members = enum_set(self.enums, got["scope"], d[0])
            if node["enum"] != number:
                diffs.append("enumeration set %s, expected %s" % (node["enum"], number))
            values = [v for v, _ in members["members"]] if members else [0]
            expected_limits = (min(values) if d[1] == "-" else int(d[1]), max(values) if d[2] == "-" else int(d[2]))
            own = {m["value"] for s in self.catalog.files[got["scope"]]["enum_sets"] if s["set"] == node["enum"]
                   for m in s["members"]}
            limits = (node.get("min", min(own, default=0)), node.get("max", max(own, default=0)))
            expected_scale = scale
        if kind in NATURAL:
            limits = (NATURAL[kind][0] if limits[0] is None else limits[0],
                      NATURAL[kind][1] if limits[1] is None else limits[1])
        if scale != expected_scale:
            diffs.append("scaling %r" % (scale,))
        if limits != tuple(expected_limits):
            diffs.append("limits %r, expected %r" % (limits, tuple(expected_limits)))
        return diffs

    def test_every_enumeration_has_the_dataset_members_in_order(self):
        def members(scope, number):
            found = [s for s in self.catalog.files[scope]["enum_sets"] if s["set"] == number]
            self.assertEqual(len(found), 1, (scope, number))
            return [(m["value"], m["name"]) for m in found[0]["members"]]

        for (scope, name), e in self.enums.items():
            self.assertEqual(members(scope, e["index"]), e["members"], name)
        # The standard enumerations that the iot file's own nodes use are copied
        # into it (those met through references to standard types are not).
        copied = set()
        for t in self.types:
            if t["set"] != "iot":
                continue
            leaves = []
            self.catalog.leaves(self.catalog.table(1, t["category"] == "UNVT")[t["index"]]["node"], 1, "", 0, leaves)
            for got, e in zip(leaves, t["leaves"]):
                if e["kind"] == "enum" and got["scope"] == 1 and (1, e["details"][0]) not in self.enums:
                    copied.add(e["details"][0])
        self.assertEqual(copied, {"alarm_type_t", "boolean_t", "char_encoding_t"})
        for name in copied:
            standard = self.enums[(0, name)]
            self.assertEqual(members(1, FOREIGN_ENUM_BASE + standard["index"]), standard["members"], name)
        self.assertEqual(len(self.catalog.files[1]["enum_sets"]), 15)

    def node_at(self, type_name, *path):
        """The node of a field (by member names, arrays by their own name) of a standard type."""
        node = next(t for t in self.catalog.files[0]["nvts"] if t["name"] == type_name)["node"]
        for name in path:
            node = next(m for m in node["members"] if m.get("name") == name)
        return node

    def test_container_fields_keep_their_own_name_texts_and_place(self):
        description = self.node_at("SNVT_alarm_2", "description")
        self.assertEqual((description["kind"], description["offset"], description["size"]), ("array", 9, 22))
        self.assertEqual(self.catalog.text(0, description["name_ref"]), "Description")
        self.assertEqual(self.catalog.text(0, description["units_ref"]), "array of 22 characters")
        setting = self.node_at("SNVT_switch_2", "setting")
        self.assertEqual((setting["kind"], setting["offset"], setting["size"]), ("union", 1, 1))
        self.assertEqual(self.catalog.text(0, setting["name_ref"]), "Switch setting")

    def test_field_references_name_their_type(self):
        standard = self.catalog.table(0, True)
        iot_type = next(t for t in self.catalog.files[1]["nvts"] if t["name"] == "UNVT_iot_load_control")["node"]
        for node, referred in [(self.node_at("SNVT_switch_2", "setting", "multiplier"), "SNVT_multiplier_s"),
                               (self.node_at("SNVT_pump_sensor", "body_temperature"), "SNVT_temp"),
                               (next(m for m in iot_type["members"] if m.get("name") == "color"), "SNVT_color_2")]:
            self.assertEqual((node["kind"], node["scope"]), ("reference", 0), referred)
            self.assertEqual(standard[node["index"]]["name"], referred)


class StandardFormatFileTest(unittest.TestCase):
    """standard.fmt as resources/catalog/README.md section 4 says: one entry per
    line for every type of standard.typ, units references that resolve in
    English and German, conversions without flags, width or precision."""

    @classmethod
    def setUpClass(cls):
        cls.entries = []  # (name, system, default, specification)
        with open(os.path.join(CATALOG, "standard.fmt"), encoding="utf-8") as f:
            for line in f:
                if line.strip() and not line.startswith("!"):
                    m = re.fullmatch(r"(\*?)(\w+)(?:#(SI|US))?:text\((.*)\);", line.rstrip("\n"))
                    assert m, line
                    cls.entries.append((m.group(2), m.group(3), m.group(1) == "*", m.group(4)))

    # One default and one SI and US alternative each: tests/standard/standard_formats_test.cpp,
    # on the file as the engine compiles it.
    def test_every_type_has_entries(self):
        typ = load_json("standard.typ")
        self.assertEqual({e[0] for e in self.entries}, {t["name"] for t in typ["nvts"] + typ["cpts"]})

    def test_units_references_resolve_in_english_and_german(self):
        refs = {(int(s), i) for e in self.entries for s, i in re.findall(r"\*[-+.\deE]+\+[-+.\deE]+\((\d+):(\d+)\)", e[3])}
        self.assertGreater(len(refs), 100)
        self.assertEqual({scope for scope, _ in refs}, {0})
        for language in ("enu", "deu"):
            strings = load_json("standard." + language)["strings"]
            self.assertEqual([i for _, i in sorted(refs) if not strings.get(i)], [], language)
        self.assertEqual(load_json("standard.deu")["strings"]["10001"], "Grad Fahrenheit")
        self.assertEqual(load_json("standard.enu")["strings"]["10001"], "degrees Fahrenheit")

    def test_no_conversion_with_flags_width_or_precision(self):
        for name, _, _, specification in self.entries:
            texts = re.findall(r'"([^"]*)"', specification)
            self.assertTrue(texts, name)
            for text in texts:
                self.assertIsNone(re.search(r"%(?!%|[fdxcsm])", text.replace("%%", "")), (name, text))


if __name__ == "__main__":
    unittest.main()
