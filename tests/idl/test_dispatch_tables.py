"""The generator of the dispatch tables: what it makes of the type library's
description, and what it refuses (so that a mistake in the .idl stops the
build instead of reaching the tables)."""
import os
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tools", "idl"))
import dispatch_tables  # noqa: E402

LIBRARY = """[ uuid(72571184-36DA-4FCC-8BDE-A81C63E965DD), version(1.0), helpstring("L") ]
library L {
  importlib(STDOLE_TLB);
  [ uuid(62B00EF3-C1F5-408A-BAAF-D8541EC35A27) ]
  dispinterface I {
    properties:
%s
    methods:
%s
  };
  [ uuid(9B71C9E5-F852-488F-B457-D34352877ED1) ] coclass C { [default] dispinterface I; };
};
"""


def parse(properties="", methods=""):
    text = dispatch_tables.strip_comments(LIBRARY % (properties, methods))
    return dispatch_tables.Parser(dispatch_tables.tokenize(text)).library()


class TheShippedLibrary(unittest.TestCase):
    def test_members_and_dispids_are_those_of_the_interfaces(self):
        with open(os.path.join(ROOT, "resources", "vornfmt.idl"), encoding="utf-8") as f:
            lib = dispatch_tables.Parser(dispatch_tables.tokenize(dispatch_tables.strip_comments(f.read()))).library()
        interfaces = {i["name"]: i for i in lib["interfaces"]}
        self.assertEqual(lib["name"], "VORNFMTLib")
        self.assertEqual([(m["id"], m["name"]) for m in interfaces["_DVornFmt"]["members"]],
                         [(1, "Version"), (2, "GetItem1"), (3, "GetItem2"), (4, "GetItem3"), (5, "TypesCount"),
                          (6, "LocaleId")])
        self.assertEqual([m["id"] for m in interfaces["ITypeElement"]["members"]], list(range(1, 13)))
        self.assertEqual(interfaces["_DVornFmtEvents"]["members"], [])
        format_vt = interfaces["ITypeElement"]["members"][4]
        self.assertEqual(format_vt["params"], [("len", "short"), ("data", "VARIANT"), ("vt", "short"),
                                               ("fmtdata", "VARIANT*"), ("sub", "short")])
        self.assertEqual([c["name"] for c in lib["coclasses"]], ["VornFmt", "TypeElement"])


class Refusals(unittest.TestCase):
    def test_mistakes_stop_the_generation(self):
        cases = [
            ("[id(1)] float F;", "", "type float"),
            ("[id(1)] short A; [id(1)] short B;", "", "id 1 is used twice"),
            ("short A;", "", "has no id"),
            ("", "[id(x)] short M();", "no number"),
            ("", "[id(2)] short M(short a, long** b);", "a name was expected, '*' found"),
            ("", "[id(2)] short M(short a b);", "',' or ')' expected after the parameter a"),
            ("", "[id(2), propput] short M(short v);", "propput"),
        ]
        for properties, methods, message in cases:
            with self.subTest(message):
                with self.assertRaises(dispatch_tables.IdlError) as raised:
                    lib = parse(properties, methods)
                    dispatch_tables.generate(lib, "x.idl")
                self.assertIn(message, str(raised.exception))

    def test_a_propget_and_its_propput_make_one_writable_member(self):
        lib = parse("", "[id(3), propget] short P(short i); [id(3), propput] void P(short i, short v);")
        (member,) = lib["interfaces"][0]["members"]
        self.assertEqual((member["kind"], member["readonly"], member["params"]),
                         ("ParameterizedProperty", False, [("i", "short")]))

    def test_the_generated_files_name_every_member(self):
        with tempfile.TemporaryDirectory() as out:
            self.assertEqual(dispatch_tables.main(["x", os.path.join(ROOT, "resources", "vornfmt.idl"), out]), 0)
            with open(os.path.join(out, "control", "automation", "vornfmt_idl.cpp"), encoding="utf-8") as f:
                code = f.read()
        self.assertIn('{5, u"FormatVT", MemberKind::Method, false, VT_BOOL, kITypeElement_FormatVT_parameters, 5}', code)
        self.assertIn('{1, u"Version", MemberKind::Property, true, VT_BSTR, nullptr, 0}', code)


if __name__ == "__main__":
    unittest.main()
