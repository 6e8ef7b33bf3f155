#!/usr/bin/env python3
"""Writes the resource script of the Windows control module.

The module's string table, dialog templates and bitmaps come from the
built-in user-interface resource set (resources/ui/enu/ui.json), the same
data the Qt dialogs read (dialog units as they stand there; each bitmap as
the BMP drawn beside its PNG by resources/ui/draw_bitmaps.py); the type library is the one widl compiled from resources/vornfmt.idl, embedded
as TYPELIB 1 so that LoadTypeLib finds it in the module file.

Usage: module_rc.py UI_JSON TYPE_LIBRARY OUTPUT_RC
"""
import json
import os
import sys

MAX_STRING_ID = 65535
MAX_STRING_CHARS = 4097  # what LoadString can hand back in one call


def rc_string(text):
    """`text` as a resource-compiler string literal (wide, UTF-16)."""
    out = []
    for ch in text:
        code = ord(ch)
        if ch == '"':
            out.append('""')
        elif ch == "\\":
            out.append("\\\\")
        elif 0x20 <= code < 0x7F:
            out.append(ch)
        elif code <= 0xFFFF:
            out.append("\\x%04x" % code)
        else:
            code -= 0x10000
            out.append("\\x%04x\\x%04x" % (0xD800 + (code >> 10), 0xDC00 + (code & 0x3FF)))
    return 'L"' + "".join(out) + '"'


def string_table(strings):
    """The STRINGTABLE block; refuses ids and texts Windows cannot hold."""
    if not isinstance(strings, dict):
        raise ValueError("strings: not an object of id to text")
    lines = ["STRINGTABLE", "BEGIN"]
    for key in sorted(strings, key=lambda k: int(k) if str(k).isdigit() else -1):
        if not str(key).isdigit() or not 0 <= int(key) <= MAX_STRING_ID:
            raise ValueError("strings: id %r is not a number from 0 to %d" % (key, MAX_STRING_ID))
        text = strings[key]
        if not isinstance(text, str) or len(text) > MAX_STRING_CHARS:
            raise ValueError("strings: text of id %s is not a string of at most %d characters" % (key, MAX_STRING_CHARS))
        lines.append("  %s, %s" % (int(key), rc_string(text)))
    lines.append("END")
    return lines


def bitmaps(entries, folder):
    """BITMAP lines for the set's bitmaps: the BMP beside each named PNG."""
    if not isinstance(entries, dict):
        raise ValueError("bitmaps: not an object of id to file")
    lines = []
    for key in sorted(entries, key=lambda k: int(k) if str(k).isdigit() else -1):
        name = entries[key]
        if not str(key).isdigit() or not 1 <= int(key) <= MAX_STRING_ID:
            raise ValueError("bitmaps: id %r is not a number from 1 to %d" % (key, MAX_STRING_ID))
        if not isinstance(name, str) or not name.endswith(".png"):
            raise ValueError("bitmaps: file of id %s is not a .png file name" % key)
        path = os.path.normpath(os.path.join(folder, name[:-4] + ".bmp"))
        if not os.path.isfile(path):
            raise ValueError("bitmaps: %s is missing (resources/ui/draw_bitmaps.py draws it)" % path)
        lines.append("%d BITMAP %s" % (int(key), json.dumps(path)))
    return lines


# Window styles of each control kind and of each template style word. The
# list-view styles are numbers so that the script needs only windows.h.
CONTROL_STYLES = {
    "label": ("LTEXT", "SS_LEFT"),
    "edit": ("EDITTEXT", "ES_LEFT"),
    "combo": ("COMBOBOX", ""),
    "button": ("PUSHBUTTON", "WS_TABSTOP"),
    "group": ("GROUPBOX", ""),
    "listview": ("CONTROL", "WS_BORDER | WS_TABSTOP"),
}
STYLE_WORDS = {
    "readonly": "ES_READONLY", "multiline": "ES_MULTILINE | ES_AUTOVSCROLL", "autohscroll": "ES_AUTOHSCROLL",
    "border": "WS_BORDER", "dropdownlist": "CBS_DROPDOWNLIST", "sorted": "CBS_SORT", "vscroll": "WS_VSCROLL",
    "disabled": "WS_DISABLED", "default": "BS_DEFPUSHBUTTON",
    "report": "0x0001", "singlesel": "0x0004", "showselalways": "0x0008", "nosortheader": "0x8000",
}
DIALOG_STYLE = "DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU"
# A template without a title is a page, shown inside a frame.
PAGE_STYLE = "DS_CONTROL | DS_SETFONT | WS_CHILD"


def dialog_number(value, what, low, high):
    if not isinstance(value, int) or isinstance(value, bool) or not low <= value <= high:
        raise ValueError("%s: %r is not a number from %d to %d" % (what, value, low, high))
    return value


def control_line(control, where):
    """One control statement in dialog units, as the template gives them."""
    if not isinstance(control, dict) or control.get("kind") not in CONTROL_STYLES:
        raise ValueError("%s: not a control of a known kind" % where)
    statement, base = CONTROL_STYLES[control["kind"]]
    ident = dialog_number(control.get("id"), where + " id", -1, 65535)
    rect = control.get("rect")
    if not isinstance(rect, list) or len(rect) != 4:
        raise ValueError("%s: rect is not four numbers" % where)
    x, y, cx, cy = (dialog_number(v, where + " rect", 0, 32767) for v in rect)
    words = control.get("style", [])
    if not isinstance(words, list) or any(w not in STYLE_WORDS for w in words):
        raise ValueError("%s: unknown style in %r" % (where, words))
    style = " | ".join([s for s in [base] + [STYLE_WORDS[w] for w in words] if s]) or "0"
    text = control.get("text", "")
    if not isinstance(text, str):
        raise ValueError("%s: text is not a string" % where)
    place = "%d, %d, %d, %d, %d" % (ident, x, y, cx, cy)
    if statement == "CONTROL":
        return '  CONTROL "", %d, "SysListView32", %s, %d, %d, %d, %d' % (ident, style, x, y, cx, cy)
    if statement in ("EDITTEXT", "COMBOBOX"):
        return "  %s %s, %s" % (statement, place, style)
    return "  %s %s, %s, %s" % (statement, rc_string(text), place, style)


def dialog_templates(dialogs):
    """A DIALOGEX per template, in the template's own dialog units and font."""
    if not isinstance(dialogs, dict):
        raise ValueError("dialogs: not an object of id to template")
    lines = []
    for key in sorted(dialogs, key=lambda k: int(k) if str(k).isdigit() else -1):
        if not str(key).isdigit() or not 1 <= int(key) <= MAX_STRING_ID:
            raise ValueError("dialogs: id %r is not a number from 1 to %d" % (key, MAX_STRING_ID))
        where = "dialogs: %s" % key
        t = dialogs[key]
        if not isinstance(t, dict) or not isinstance(t.get("size"), list) or len(t["size"]) != 2:
            raise ValueError("%s: not a template with a size" % where)
        cx, cy = (dialog_number(v, where + " size", 0, 32767) for v in t["size"])
        title = t.get("title", "")
        font = t.get("font", ["MS Shell Dlg", 8])
        if not isinstance(title, str) or not isinstance(font, list) or len(font) != 2 or not isinstance(font[0], str):
            raise ValueError("%s: title or font is not as a template has them" % where)
        lines.append("%d DIALOGEX 0, 0, %d, %d" % (int(key), cx, cy))
        lines.append("STYLE %s" % (DIALOG_STYLE if title else PAGE_STYLE))
        if title:
            lines.append("CAPTION %s" % rc_string(title))
        lines.append("FONT %d, %s" % (dialog_number(font[1], where + " font size", 1, 72), rc_string(font[0])))
        lines.append("BEGIN")
        controls = t.get("controls", [])
        if not isinstance(controls, list):
            raise ValueError("%s: controls is not a list" % where)
        lines += [control_line(c, "%s control %d" % (where, i)) for i, c in enumerate(controls)]
        lines += ["END", ""]
    return lines


def resource_script(ui, type_library, folder):
    lines = ["// Generated by tools/rc/module_rc.py; do not edit.",
             "#include <windows.h>",
             "LANGUAGE 0x09, 0x01  // English (United States)",
             "",
             "1 TYPELIB %s" % json.dumps(type_library)]
    lines += bitmaps(ui.get("bitmaps", {}), folder)
    lines.append("")
    lines += dialog_templates(ui.get("dialogs", {}))
    lines += string_table(ui.get("strings"))
    return "\n".join(lines) + "\n"


def main(argv):
    if len(argv) != 4:
        sys.exit(__doc__.strip().splitlines()[-1])
    with open(argv[1], encoding="utf-8") as f:
        ui = json.load(f)
    try:
        script = resource_script(ui, argv[2], os.path.dirname(os.path.abspath(argv[1])))
    except ValueError as e:
        sys.exit("%s: %s" % (argv[1], e))
    with open(argv[3], "w", encoding="ascii") as f:
        f.write(script)


if __name__ == "__main__":
    main(sys.argv)
