"""The writer of the Windows module's resource script: the string table as
the resource compiler must read it back, and the data it refuses."""
import os
import re
import struct
import sys
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tools", "rc"))
import module_rc  # noqa: E402


def unescape(literal):
    """What the resource compiler makes of an L"..." literal."""
    body = literal[2:-1]
    out, i = [], 0
    while i < len(body):
        if body.startswith('""', i):
            out.append('"'); i += 2
        elif body.startswith("\\\\", i):
            out.append("\\"); i += 2
        elif body.startswith("\\x", i):
            out.append(chr(int(body[i + 2:i + 6], 16))); i += 6
        else:
            out.append(body[i]); i += 1
    return "".join(out).encode("utf-16-le", "surrogatepass").decode("utf-16-le")


class Literals(unittest.TestCase):
    def test_texts_come_back_unchanged(self):
        for text in ["VornFmt Control", 'say "hi"', "Software\\Kestrane GmbH\\x", "Größe °C", "\U0001F600", ""]:
            literal = module_rc.rc_string(text)
            self.assertRegex(literal, r'^L"[\x20-\x7e]*"$', "only printable ASCII reaches the script")
            self.assertEqual(unescape(literal), text)


class Bitmaps(unittest.TestCase):
    def test_bmp_rows_are_bottom_up_bgr_and_padded(self):
        sys.path.insert(0, os.path.join(ROOT, "resources", "ui"))
        import draw_bitmaps
        image = draw_bitmaps.bmp(["R.", "GR"])  # red, white / green, red
        self.assertEqual(image[:2], b"BM")
        width, height, planes, bits = struct.unpack("<iiHH", image[18:30])
        self.assertEqual((width, height, planes, bits), (2, 2, 1, 24))
        offset = struct.unpack("<I", image[10:14])[0]
        self.assertEqual(struct.unpack("<I", image[2:6])[0], len(image))
        bottom, top = image[offset:offset + 8], image[offset + 8:offset + 16]
        self.assertEqual(bottom, bytes([0, 150, 0, 0, 0, 200, 0, 0]))    # G R, then two bytes of padding
        self.assertEqual(top, bytes([0, 0, 200, 255, 255, 255, 0, 0]))  # R .

    def test_the_shipped_bmps_are_what_the_drawing_gives(self):
        sys.path.insert(0, os.path.join(ROOT, "resources", "ui"))
        import draw_bitmaps
        folder = os.path.join(ROOT, "resources", "ui", "bitmaps")
        for name, rows in [("toolbox", draw_bitmaps.rows_of(draw_bitmaps.TOOLBOX)),
                           ("field_states", draw_bitmaps.side_by_side(draw_bitmaps.QUESTION, draw_bitmaps.TICK))]:
            with open(os.path.join(folder, name + ".bmp"), "rb") as f:
                self.assertEqual(f.read(), draw_bitmaps.bmp(rows), name)

    def test_refuses_bitmaps_it_cannot_find(self):
        for entries in [["a.png"], {"x": "a.png"}, {"1": "a.gif"}, {"1": "no-such.png"}]:
            with self.assertRaises(ValueError, msg=repr(entries)):
                module_rc.bitmaps(entries, ROOT)


class StringTable(unittest.TestCase):
    def test_the_shipped_strings_in_id_order(self):
        import json
        with open(os.path.join(ROOT, "resources", "ui", "enu", "ui.json"), encoding="utf-8") as f:
            ui = json.load(f)
        folder = os.path.join(ROOT, "resources", "ui", "enu")
        script = module_rc.resource_script(ui, "lib.tlb", folder)
        self.assertIn('1 TYPELIB "lib.tlb"', script)
        bitmap_lines = re.findall(r'^(\d+) BITMAP "(.*)"$', script, re.M)
        self.assertEqual([(int(i), os.path.basename(p)) for i, p in bitmap_lines],
                         [(1, "toolbox.bmp"), (205, "field_states.bmp")])
        entries = re.findall(r"^  (\d+), (L\".*\")$", script, re.M)
        self.assertEqual([int(i) for i, _ in entries], sorted(int(k) for k in ui["strings"]))
        self.assertEqual({i: unescape(t) for i, t in entries}, ui["strings"])

    def test_refuses_what_a_string_table_cannot_hold(self):
        for strings in [["a"], {"x": "a"}, {"-1": "a"}, {"65536": "a"}, {"1": 5}, {"1": "a" * 4098}]:
            with self.assertRaises(ValueError, msg=repr(strings)[:40]):
                module_rc.string_table(strings)


def control_place(line):
    """The id and rectangle of a control statement: CONTROL gives its class
    and style between them, the others give them side by side."""
    fields = re.sub(r'L?"(?:[^"]|"")*"', "T", line).strip().split(", ")
    if fields[0].startswith("CONTROL"):
        return [int(fields[1])] + [int(v) for v in fields[-4:]]
    first = fields[0].split()[-1]
    numbers = ([] if first == "T" else [first]) + fields[1:]
    return [int(v) for v in numbers[:5]]


class DialogTemplates(unittest.TestCase):
    def shipped(self):
        import json
        with open(os.path.join(ROOT, "resources", "ui", "enu", "ui.json"), encoding="utf-8") as f:
            return json.load(f)["dialogs"]

    def test_each_shipped_control_keeps_its_id_and_dialog_units(self):
        dialogs = self.shipped()
        script = "\n".join(module_rc.dialog_templates(dialogs))
        for key, t in dialogs.items():
            block = re.search(r"^%s DIALOGEX 0, 0, (\d+), (\d+)\n(.*?)^END$" % key, script, re.M | re.S)
            self.assertIsNotNone(block, key)
            self.assertEqual([int(block.group(1)), int(block.group(2))], t["size"])
            rows = [control_place(line) for line in block.group(3).splitlines() if line.startswith("  ")]
            self.assertEqual(rows, [[c["id"]] + c["rect"] for c in t["controls"]], key)
            self.assertEqual(("CAPTION " + module_rc.rc_string(t["title"])) in block.group(3), bool(t["title"]), key)

    def test_styles_follow_the_template_words(self):
        script = "\n".join(module_rc.dialog_templates(self.shipped()))
        self.assertIn("COMBOBOX 203, 46, 73, 184, 77, CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL", script)
        self.assertIn('PUSHBUTTON L"OK", 1, 226, 7, 50, 14, WS_TABSTOP | BS_DEFPUSHBUTTON', script)
        self.assertRegex(script, r'CONTROL "", 211, "SysListView32", WS_BORDER \| WS_TABSTOP \| 0x0001 \| 0x0004')
        self.assertRegex(script, r"200 DIALOGEX 0, 0, 250, 62\nSTYLE DS_CONTROL")

    def test_refuses_templates_the_compiler_cannot_hold(self):
        good = {"kind": "label", "id": -1, "rect": [1, 2, 3, 4]}
        for dialogs in [[], {"x": {"size": [1, 1]}}, {"5": {"size": [1]}}, {"5": {"size": [1, -2]}},
                        {"5": {"size": [1, 1], "controls": [dict(good, kind="slider")]}},
                        {"5": {"size": [1, 1], "controls": [dict(good, rect=[1, 2, 3])]}},
                        {"5": {"size": [1, 1], "controls": [dict(good, id=70000)]}},
                        {"5": {"size": [1, 1], "controls": [dict(good, style=["blink"])]}},
                        {"5": {"size": [1, 1], "font": ["x", 0]}}]:
            with self.assertRaises(ValueError, msg=repr(dialogs)):
                module_rc.dialog_templates(dialogs)


if __name__ == "__main__":
    unittest.main()
