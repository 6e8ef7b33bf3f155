import subprocess
import sys
import threading

import pytest

import vornfmt


def test_catalog_opens_the_shipped_one_and_shares_it(catalog):
    assert catalog.folder.endswith("catalog")
    assert vornfmt.Catalog().folder == catalog.folder
    assert vornfmt.__version__.count(".") == 2


def test_another_folder_waits_until_the_first_is_released(catalog):
    with pytest.raises(RuntimeError, match="still in use"):
        vornfmt.Catalog("/nonexistent")


def test_an_unreadable_catalog_raises_oserror():
    script = ("import vornfmt\ntry:\n  vornfmt.Catalog('/nonexistent')\nexcept OSError as e:\n  print('OSError', e)\n")
    done = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True, check=True)
    assert done.stdout.startswith("OSError cannot open the catalog /nonexistent")


def test_language_is_set_and_an_unknown_one_is_refused(catalog):
    assert catalog.language == "enu"
    catalog.language = "deu"
    try:
        assert catalog.language == "deu"
        with pytest.raises(ValueError, match="unknown language extension xx"):
            catalog.language = "xx"
        assert catalog.language == "deu"
    finally:
        catalog.language = "enu"


def test_elements_by_name_and_by_index_are_the_same_type(catalog):
    by_name = catalog.type_element("SNVT_temp_p")
    by_index = catalog.type_element(by_name.index)
    assert by_index.name == "SNVT_temp_p"
    assert by_name.selector == 0
    assert by_index.format(b"\x0a\x28") == "26"
    assert catalog.type_element("SCPTdefScale").name == "SCPTdefScale"


@pytest.mark.parametrize("call, error", [
    (lambda c: c.type_element("SNVT_nonesuch"), "no type SNVT_nonesuch for program ID 0000000000000000 and selector 0"),
    (lambda c: c.type_element(30000), "no network-variable type 30000 for program ID"),
    (lambda c: c.type_element(-1), ValueError),
    (lambda c: c.type_element("SNVT_temp_p", selector=70000), ValueError),
    (lambda c: c.type_element("SNVT_temp_p", pid="80:00:01:00:00:00:00:00", selector=3), LookupError),
])
def test_types_that_cannot_be_loaded_raise(catalog, call, error):
    if isinstance(error, str):
        with pytest.raises(LookupError, match=error):
            call(catalog)
    else:
        with pytest.raises(error):
            call(catalog)


def test_layout_of_a_structure(catalog):
    switch = catalog.type_element("SNVT_switch")
    assert switch.subfield_count == 2
    assert switch.field_names == ["value", "state"]
    assert switch.sub_index("state") == 1
    with pytest.raises(KeyError):
        switch.sub_index("nonesuch")
    assert (switch.length(), switch.length(0), switch.length(1)) == (2, 1, 1)
    assert switch.natural_type(0) == vornfmt.VT_R4
    assert switch.bounds(0) == (0.0, 100.0)
    assert switch.field_name() == "SNVT_switch" and switch.field_name(1) == "state"
    assert switch.has_format and switch.load_problem == ""
    for call in (switch.length, switch.bounds, switch.natural_type, switch.field_name):
        with pytest.raises(IndexError, match="has no subfield 2"):
            call(2)


@pytest.mark.parametrize("type_name, data, sub, vt, expected", [
    ("SNVT_temp_p", b"\x0a\x28", -1, None, "26"),
    ("SNVT_switch", bytes.fromhex("C801"), -1, None, "100 1"),
    ("SNVT_switch", bytearray.fromhex("C801"), 0, vornfmt.VT_R8, 100.0),
    ("SNVT_switch", memoryview(bytes.fromhex("2B01")), 0, vornfmt.VT_R8, 21.5),
    ("SNVT_switch", bytes.fromhex("2B01"), 0, vornfmt.VT_I4, 22),
    ("SNVT_switch", bytes.fromhex("C801"), 1, vornfmt.VT_BOOL, True),
    ("SNVT_switch", bytes.fromhex("C800"), 1, vornfmt.VT_BOOL, False),
    ("SNVT_switch", bytes.fromhex("C801FFFF"), -1, None, "100 1"),  # bytes past the type are not read
])
def test_format(catalog, type_name, data, sub, vt, expected):
    result = catalog.type_element(type_name).format(data, sub=sub, vt=vt)
    assert result == expected and type(result) is type(expected)


@pytest.mark.parametrize("data, sub, vt, error, message", [
    (b"\x0a", -1, None, ValueError, "short data: 1 bytes; SNVT_temp_p takes 2"),
    ("0A28", -1, None, TypeError, "bytes-like"),
    (b"\x0a\x28", 3, None, IndexError, "no subfield 3"),
    (b"\x0a\x28", -1, 77, ValueError, "cannot become VARTYPE 77"),
])
def test_format_refuses_what_it_cannot_read(catalog, data, sub, vt, error, message):
    with pytest.raises(error, match=message):
        catalog.type_element("SNVT_temp_p").format(data, sub=sub, vt=vt)


def test_write_answers_new_bytes_and_leaves_the_input(catalog):
    switch = catalog.type_element("SNVT_switch")
    data = bytearray.fromhex("0000")
    assert switch.write(data, "50 1") == bytes.fromhex("6401")
    assert switch.write(data, 21.5, sub=0) == bytes.fromhex("2B00")
    assert switch.write(data, True, sub=1) == bytes.fromhex("0001")
    assert switch.write(bytes.fromhex("C801"), 7, sub=0) == bytes.fromhex("0E01")
    assert data == bytearray.fromhex("0000")


@pytest.mark.parametrize("value, sub, data, error, reason", [
    ("1x", 0, b"\0\0", ValueError, "^wrong text: Wrong data. \\(field \"value\"\\)"),
    (1e9, 0, b"\0\0", ValueError, "^bounds: Data exceeds bounds."),
    ("50 1", -1, b"\0", ValueError, "^short data"),
    ([1], -1, b"\0\0", TypeError, "not list"),
    ("50", 5, b"\0\0", IndexError, "no subfield 5"),
])
def test_refused_writes_say_why(catalog, value, sub, data, error, reason):
    with pytest.raises(error, match=reason):
        catalog.type_element("SNVT_switch").write(data, value, sub=sub)


def test_measurement_system_chooses_the_format(catalog):
    temp = catalog.type_element("SNVT_temp_p")
    assert temp.measurement_system == "SI"
    temp.measurement_system = "US"
    assert temp.measurement_system == "US"
    # 26 degrees Celsius in Fahrenheit, through the format's single-precision scale.
    assert temp.format(b"\x0a\x28").startswith("78.79999")
    assert catalog.type_element("SNVT_temp_p#US").format(b"\x0a\x28") == temp.format(b"\x0a\x28")


def test_threads_decode_on_elements_of_their_own(catalog):
    expected = {n: catalog.type_element("SNVT_switch").format(bytes([n, 1])) for n in range(201)}
    failures = []

    def decode():
        switch = catalog.type_element("SNVT_switch")
        for _ in range(5):
            for n, text in expected.items():
                if switch.format(bytes([n, 1])) != text:
                    failures.append(n)

    threads = [threading.Thread(target=decode) for _ in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert failures == []
    assert expected[200] == "100 1" and expected[43] == "21.5 1"
