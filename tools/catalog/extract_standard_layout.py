#!/usr/bin/env python3
"""Flatten the LonMark standard type description into a layout listing.

Usage:
    extract_standard_layout.py DATASET.json [-o tests/data/standard-layout.txt]

This reads the dataset (lonmark-standard-types.json) directly, NOT the
converted resource files, and writes what a walk over each type's tree must
find: the expectation file of the standard catalog test. It is kept
deliberately separate from tools/catalog/convert_standard_types.py and simple: it
only walks the dataset's own layouts and writes them down; it applies none of
the converter's mapping decisions (those are the test's to check).

Output: UTF-8 text, one record per line, columns separated by one TAB.
Lines starting with '#' are comments. Records:

  type    SET CATEGORY INDEX NAME KIND SIZE BASE TITLE UNITS
          KIND is the dataset's kind (scalar, float, enum, struct, union,
          reference, inherited); SIZE is '-' for inherited types; BASE is the
          base type of a reference, else '-'. TITLE and UNITS may be empty.
          The type's leaves follow it.
  leaf    PATH OFFSET SIZE TITLE UNITS KIND DETAILS...
          one per leaf, depth first, pre-order. PATH is '-' for a type that is
          a single value; top-level fields by plain name, nested fields as
          'outer.inner', array elements as 'array[i]' after the path of the
          array's parent (so the element 3 of array a in struct s is 's.a[3]').
          A reference type is flattened as its base type; a field that is an
          instance of a named type is flattened as that type's layout under
          the field's name. OFFSET is in bytes from the start of the type.
          TITLE and UNITS are those of the field the leaf is (empty for array
          elements and for the type itself). DETAILS by KIND:
            scalar   SIGN TEXT A B C MIN MAX   (SIGN s/u; TEXT char, wide or -;
                                                raw limits, '-' when not given)
            bitfield BIT WIDTH MIN MAX         (BIT from the byte's top bit)
            float    single|double MIN MAX
            enum     ENUMERATION MIN MAX       (MIN/MAX '-' unless the type gives them)
  enum    SET INDEX NAME COUNT
  member  VALUE NAME                           (in the dataset's order)

Standard library only.
"""

import argparse
import json
import os
import sys

SET_ORDER = {"standard": 0, "iot": 1}
CATEGORY_ORDER = {"SNVT": 0, "UNVT": 0, "SCPT": 1, "UCPT": 1, "enum": 2}


class LayoutError(Exception):
    pass


def text(value):
    if value is None:
        return ""
    value = str(value)
    if "\t" in value or "\n" in value:
        raise LayoutError("text %r holds a tab or a line break" % value)
    return value


def opt(value):
    return "-" if value is None else str(value)


def number(value):
    if value is None:
        return "-"
    return repr(value) if isinstance(value, float) else str(value)


def child_path(parent, name):
    return name if parent == "" else parent + "." + name


def leaves(node, path, offset, out, where, field=None, enum_limits=(None, None)):
    """Append the leaf lines of `node` (at absolute `offset`) to `out`."""
    kind = node["kind"]
    title = text(field.get("title")) if field is not None else ""
    units = text(field.get("units")) if field is not None else ""
    shown = path if path != "" else "-"
    if kind == "scalar":
        s = node["scaling"]
        out.append(["leaf", shown, str(offset), str(node["size"]), title, units, "scalar",
                    "s" if node["signed"] else "u", node.get("_text", "-"),
                    str(s["a"]), str(s["b"]), str(s["c"]),
                    opt(node.get("raw_minimum")), opt(node.get("raw_maximum"))])
    elif kind == "bitfield":
        out.append(["leaf", shown, str(offset), "1", title, units, "bitfield",
                    str(node["bit_offset"]), str(node["bit_width"]),
                    str(node["minimum"]), str(node["maximum"])])
    elif kind == "float":
        out.append(["leaf", shown, str(offset), str(node["size"]), title, units, "float",
                    "single" if node["single"] else "double",
                    number(node.get("minimum")), number(node.get("maximum"))])
    elif kind == "enum":
        out.append(["leaf", shown, str(offset), "1", title, units, "enum", node["enum"],
                    opt(enum_limits[0]), opt(enum_limits[1])])
    elif kind in ("struct", "union"):
        for f in node["fields"]:
            if f["kind"] == "reserved":
                continue  # a byte without named bits: no field
            leaves(f, child_path(path, f["name"]), offset + f["offset"], out, where, field=f)
    elif kind == "array":
        element = dict(node["element"])
        if node.get("text_hint") is not None:
            element["_text"] = node["text_hint"]
        step = element["size"]
        name = path.rsplit(".", 1)[-1]
        parent = path[: -len(name) - 1] if "." in path else ""
        for i in range(node["count"]):
            leaves(element, child_path(parent, "%s[%d]" % (name, i)), offset + i * step, out, where)
    else:
        raise LayoutError("%s: no leaves for kind %r" % (where, kind))


def extract(data):
    types = data["types"]
    by_name = {t["name"]: t for t in types}
    ordered = sorted(types, key=lambda t: (SET_ORDER[t["resource_set"]], CATEGORY_ORDER[t["category"]], t["index"]))
    lines = []
    for t in ordered:
        if t["category"] == "enum":
            lines.append(["enum", t["resource_set"], str(t["index"]), t["name"], str(len(t["members"]))])
            for m in t["members"]:
                lines.append(["member", str(m["value"]), m["name"]])
            continue
        kind = t["kind"]
        base = t.get("base_type") if kind == "reference" else None
        lines.append(["type", t["resource_set"], t["category"], str(t["index"]), t["name"], kind,
                      opt(t.get("size")), opt(base), text(t.get("title")), text(t.get("units"))])
        if kind == "inherited":
            continue
        layout = by_name[base] if base is not None else t
        limits = (t.get("minimum_raw"), t.get("maximum_raw")) if kind == "enum" else (None, None)
        leaves(layout, "", 0, lines, t["name"], enum_limits=limits)
    return lines


def main(argv=None):
    here = os.path.dirname(os.path.abspath(__file__))
    default_out = os.path.join(os.path.dirname(os.path.dirname(here)), "tests", "data", "standard-layout.txt")
    parser = argparse.ArgumentParser(description="Flatten the LonMark standard type description into a layout listing.")
    parser.add_argument("dataset")
    parser.add_argument("-o", "--output", default=default_out)
    args = parser.parse_args(argv)
    with open(args.dataset, encoding="utf-8") as f:
        data = json.load(f)
    try:
        lines = extract(data)
    except (LayoutError, KeyError) as e:
        print("extract_standard_layout: error: %s" % e, file=sys.stderr)
        return 1
    src = data.get("source", {})
    header = [
        "# Layout of the LonMark standard resource set types (and the small iot set), flattened from",
        "# lonmark-standard-types.json: %s, %s, commit %s." % (src.get("repository"), src.get("path"), src.get("commit")),
        "# Source data: %s, licence %s; the licence text is in resources/catalog/NOTICE." % (src.get("copyright"), src.get("licence")),
        "# Written by tools/catalog/extract_standard_layout.py; do not edit. Record formats: see that script.",
    ]
    tmp = args.output + ".tmp"
    with open(tmp, "w", encoding="utf-8", newline="\n") as f:
        for h in header:
            f.write(h + "\n")
        for line in lines:
            f.write("\t".join(line) + "\n")
    os.replace(tmp, args.output)
    print("%d records" % len(lines))
    return 0


if __name__ == "__main__":
    sys.exit(main())
