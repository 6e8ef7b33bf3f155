#!/usr/bin/env python3
"""Tests of tools/catalog/convert_standard_types.py on a small made-up dataset.

Run: python3 -m unittest tests/standard/test_convert_standard_types.py
(from the repository root; standard library only, no network, no ../shared).
"""

import copy
import json
import os
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
TOOL = os.path.join(ROOT, "tools", "catalog", "convert_standard_types.py")
sys.path.insert(0, os.path.join(ROOT, "tools", "catalog"))
import standard_format_rules as rules  # noqa: E402


def scalar(size, signed, lo, hi, a=1, b=0, c=0, **extra):
    node = {"kind": "scalar", "size": size, "signed": signed,
            "scaling": {"factor": a * 10 ** b, "offset": c, "a": a, "b": b, "c": c, "exact": True},
            "raw_minimum": lo, "raw_maximum": hi}
    node.update(extra)
    return node


def field(name, offset, layout, **extra):
    f = dict(layout, name=name, offset=offset)
    f.update(extra)
    return f


def dataset():
    std = {"resource_set": "standard", "scope": 0, "obsolete": False}
    iot = {"resource_set": "iot", "scope": 1, "obsolete": False}
    types = [
        dict(std, name="SNVT_temp", category="SNVT", index=39, title="Temperature", units="degrees Celsius",
             **scalar(2, False, 2740, 40875, 1, -1, -2740)),
        dict(std, name="SNVT_count_32", category="SNVT", index=183, title="Absolute count", units=None,
             **scalar(4, False, 0, 4294967295)),
        dict(std, name="SNVT_rec", category="SNVT", index=200, kind="struct", size=8, title="Record", units=None,
             fields=[
                 field("mode", 0, {"kind": "enum", "size": 1, "signed": True, "enum": "mode_t"}, title="Mode"),
                 field("temp", 1, scalar(2, False, 2740, 40875, 1, -1, -2740), type_name="SNVT_temp",
                       title="Inner temperature"),
                 field("flag", 3, {"kind": "bitfield", "size": 1, "bit_offset": 0, "bit_width": 1,
                                   "minimum": 0, "maximum": 1}),
                 field("minutes", 3, {"kind": "bitfield", "size": 1, "bit_offset": 1, "bit_width": 6,
                                      "minimum": 0, "maximum": 1}),
                 field("text", 4, {"kind": "array", "size": 3, "count": 3, "text_hint": "char",
                                   "element": scalar(1, False, 32, 126)}, title="Text"),
                 {"name": None, "kind": "reserved", "offset": 7, "size": 1},
             ]),
        dict(std, name="SCPTdefTemp", category="SCPT", index=5, kind="reference", size=2, title="Default temp",
             units=None, base_type="SNVT_temp", base_kind="scalar", default_bytes="0000"),
        dict(std, name="SCPTdefOutput", category="SCPT", index=7, kind="inherited", size=None,
             title="Default output", units="32-bit signed value"),
        dict(std, name="mode_t", category="enum", index=3, kind="enum", size=1, signed=True, prefix="M_",
             title=None, units=None,
             members=[{"name": "M_NUL", "value": -1, "comment": None}, {"name": "M_ON", "value": 1, "comment": None},
                      {"name": "M_OFF", "value": 0, "comment": None}]),
        dict(iot, name="UNVT_iot_x", category="UNVT", index=1, kind="struct", size=3, title="X", units=None,
             fields=[field("mode", 0, {"kind": "enum", "size": 1, "signed": True, "enum": "mode_t"}),
                     field("temp", 1, scalar(2, False, 2740, 40875, 1, -1, -2740), type_name="SNVT_temp")]),
    ]
    return {
        "schema_version": 1,
        "resource_sets": [
            {"name": "standard", "program_id": "00:00:00:00:00:00:00:00", "scope": 0, "version": [14, 0]},
            {"name": "iot", "program_id": "90:00:00:05:00:00:00:00", "scope": 1, "version": [1, 0]},
        ],
        "types": types,
    }


class ConverterTest(unittest.TestCase):
    def run_tool(self, data, out):
        with tempfile.NamedTemporaryFile("w", suffix=".json", delete=False) as f:
            json.dump(data, f)
            path = f.name
        try:
            return subprocess.run([sys.executable, TOOL, path, "-o", out], capture_output=True, text=True)
        finally:
            os.unlink(path)

    def convert(self, data):
        out = tempfile.mkdtemp()
        r = self.run_tool(data, out)
        self.assertEqual(r.returncode, 0, r.stderr)
        files = {}
        for name in sorted(os.listdir(out)):
            with open(os.path.join(out, name), encoding="utf-8") as f:
                files[name] = f.read()
        return files

    def test_mapping(self):
        files = self.convert(dataset())
        self.assertEqual(sorted(files), ["iot.enu", "iot.typ", "standard.deu", "standard.enu", "standard.typ"])
        typ = json.loads(files["standard.typ"])
        strings = json.loads(files["standard.enu"])["strings"]
        self.assertEqual(typ["set"], {"name": "standard", "program_id": "00:00:00:00:00:00:00:00", "scope": 0,
                                      "version": [14, 0]})
        nvts = {t["name"]: t for t in typ["nvts"]}
        cpts = {t["name"]: t for t in typ["cpts"]}
        # SNVT_temp: published range = whole raw range, so no limits written.
        temp = nvts["SNVT_temp"]["node"]
        self.assertEqual(temp["kind"], "unsigned long")
        self.assertEqual(temp["scale"], [1, -1, -2740])
        self.assertNotIn("min", temp)
        self.assertNotIn("max", temp)
        self.assertEqual(strings[str(temp["name_ref"])], "Temperature")
        self.assertEqual(strings[str(temp["units_ref"])], "degrees Celsius")
        # Unsigned 32-bit: signed quad, minimum kept, maximum the largest signed value (default).
        count = nvts["SNVT_count_32"]["node"]
        self.assertEqual(count["kind"], "signed quad")
        self.assertEqual(count["min"], 0)
        self.assertNotIn("max", count)
        rec = nvts["SNVT_rec"]["node"]
        self.assertEqual(rec["size"], 8)
        members = {m["name"]: m for m in rec["members"]}
        self.assertEqual(list(members), ["mode", "temp", "flag", "minutes", "text"])  # reserved byte left out
        self.assertEqual(members["mode"]["enum"], 3)
        self.assertEqual({k: members["temp"][k] for k in ("kind", "offset", "size", "scope", "index")},
                         {"kind": "reference", "offset": 1, "size": 2, "scope": 0, "index": 39})
        self.assertEqual(strings[str(members["temp"]["name_ref"])], "Inner temperature")
        self.assertEqual((members["flag"]["offset"], members["flag"]["bit"], members["flag"]["width"]), (3, 0, 1))
        self.assertNotIn("max", members["flag"])
        self.assertEqual((members["minutes"]["bit"], members["minutes"]["width"]), (1, 6))
        self.assertNotIn("max", members["minutes"])  # 0..1 on 6 bits widened to 0..63
        self.assertEqual(members["text"]["element"], {"kind": "char", "min": 0, "max": 126})
        ref = cpts["SCPTdefTemp"]["node"]
        self.assertEqual({k: ref[k] for k in ("kind", "size", "scope", "index")},
                         {"kind": "reference", "size": 2, "scope": 0, "index": 39})
        self.assertEqual(cpts["SCPTdefOutput"]["node"]["kind"], "signed quad")
        self.assertEqual([m["name"] for m in typ["enum_sets"][0]["members"]], ["M_NUL", "M_ON", "M_OFF"])
        # Equal texts share one index, numbered from 1; the strings of the
        # format rules follow in their reserved range, after a gap.
        own = sorted(int(k) for k in strings if int(k) < rules.EXTRA_STRING_BASE)
        self.assertEqual(own, list(range(1, len(own) + 1)))
        self.assertEqual(len(set(strings[str(i)] for i in own)), len(own))
        extra = sorted(int(k) for k in strings if int(k) >= rules.EXTRA_STRING_BASE)
        self.assertEqual(extra, list(range(rules.EXTRA_STRING_BASE,
                                           rules.EXTRA_STRING_BASE + len(rules.EXTRA_STRINGS))))
        self.assertEqual(strings[str(rules.extra_string_index("degrees Fahrenheit"))], "degrees Fahrenheit")
        # The German file has every index of the English one: German where the
        # table knows the text, English otherwise.
        german = json.loads(files["standard.deu"])["strings"]
        self.assertEqual(sorted(german, key=int), sorted(strings, key=int))
        self.assertEqual(german[str(temp["name_ref"])], "Temperatur")
        self.assertEqual(german[str(temp["units_ref"])], "Grad Celsius")
        self.assertEqual(german[str(rules.extra_string_index("degrees Fahrenheit"))], "Grad Fahrenheit")
        self.assertEqual(german[str(rec["members"][4]["name_ref"])], "Text")  # not in the table: English
        self.assertNotIn("iot.deu", files)
        # The iot set copies the standard enumeration it uses and refers to standard types.
        iot = json.loads(files["iot.typ"])
        self.assertEqual([(e["set"], e["name"]) for e in iot["enum_sets"]], [(1003, "mode_t")])
        x = iot["nvts"][0]["node"]["members"]
        self.assertEqual(x[0]["enum"], 1003)
        self.assertEqual((x[1]["kind"], x[1]["scope"], x[1]["index"], x[1]["size"]), ("reference", 0, 39, 2))

    def test_output_is_deterministic(self):
        self.assertEqual(self.convert(dataset()), self.convert(dataset()))

    def test_bad_input_names_the_record_and_writes_nothing(self):
        cases = [
            (lambda d: d["types"][2]["fields"][0].__setitem__("enum", "nope_t"), "SNVT_rec.mode"),
            (lambda d: d["types"][2]["fields"][3].__setitem__("bit_width", 9), "SNVT_rec.minutes"),
            (lambda d: d["types"][3].__setitem__("base_type", "SNVT_missing"), "SCPTdefTemp"),
            (lambda d: d["types"][5]["members"][1].__setitem__("value", 300), "mode_t.M_ON"),
            (lambda d: d["types"][0].__setitem__("size", 3), "SNVT_temp"),
            (lambda d: d["types"][6].__setitem__("index", 0), "UNVT_iot_x"),
        ]
        for mutate, record in cases:
            with self.subTest(record=record):
                data = copy.deepcopy(dataset())
                mutate(data)
                out = tempfile.mkdtemp()
                with open(os.path.join(out, "standard.typ"), "w") as f:
                    f.write("previous")
                r = self.run_tool(data, out)
                self.assertEqual(r.returncode, 1)
                self.assertIn(record + ":", r.stderr)
                self.assertIn("nothing was written", r.stderr)
                self.assertEqual(sorted(os.listdir(out)), ["standard.typ"])
                with open(os.path.join(out, "standard.typ")) as f:
                    self.assertEqual(f.read(), "previous")


if __name__ == "__main__":
    unittest.main()
