"""Hand-written rules for the format files of the shipped catalog.

Read by tools/catalog/generate_standard_formats.py (the format files) and by
tools/catalog/convert_standard_types.py (the strings that the formats refer to, in
English and German). Everything here is data; edit it here, never in the
generated files, and regenerate:

    python3 tools/catalog/convert_standard_types.py /path/to/lonmark-standard-types.json
    python3 tools/catalog/generate_standard_formats.py

resources/catalog/README.md, section 4, explains every rule.
Standard library only.
"""

from fractions import Fraction

# ---------------------------------------------------------------------------
# Strings that the format files add to the standard set's language files.
#
# They live in a reserved index range of standard.enu / standard.deu, far
# above the strings converted from the dataset (which are numbered from 1).
# The list is append-only: an entry's index is EXTRA_STRING_BASE + its
# position, and formats refer to it, so never reorder or delete entries
# (retire one by leaving it in place).
EXTRA_STRING_BASE = 10001

EXTRA_STRINGS = [
    # (English, German)
    ("degrees Fahrenheit", "Grad Fahrenheit"),                    # 10001
    ("degrees Fahrenheit/minute", "Grad Fahrenheit/Minute"),      # 10002
    ("feet", "Fuß"),                                              # 10003
    ("miles", "Meilen"),                                          # 10004
    ("inches", "Zoll"),                                           # 10005
    ("mils (thousandths of an inch)", "mil (tausendstel Zoll)"),  # 10006
    ("square feet", "Quadratfuß"),                                # 10007
    ("gallons (US)", "Gallonen (US)"),                            # 10008
    ("fluid ounces (US)", "Flüssigunzen (US)"),                   # 10009
    ("gallons (US)/minute", "Gallonen (US)/Minute"),              # 10010
    ("gallons (US)/hour", "Gallonen (US)/Stunde"),                # 10011
    ("cubic feet/minute", "Kubikfuß/Minute"),                     # 10012
    ("feet/minute", "Fuß/Minute"),                                # 10013
    ("pounds/square inch", "Pfund/Quadratzoll (psi)"),            # 10014
    ("inches of water", "Zoll Wassersäule"),                      # 10015
    ("ounces", "Unzen"),                                          # 10016
    ("pounds", "Pfund (lb)"),                                     # 10017
    ("short tons", "Short tons (2000 lb)"),                       # 10018
    ("grains", "Grain"),                                          # 10019
    ("pounds/hour", "Pfund (lb)/Stunde"),                         # 10020
    ("pounds/cubic foot", "Pfund (lb)/Kubikfuß"),                 # 10021
    ("ounces/square yard", "Unzen/Quadratyard"),                  # 10022
    ("grains/pound", "Grain/Pfund (lb)"),                         # 10023
    ("Btus/pound", "BTU/Pfund (lb)"),                             # 10024
    ("Btus/hour", "BTU/Stunde"),                                  # 10025
    ("kilo-Btus/hour", "Kilo-BTU/Stunde"),                        # 10026
    ("Btus/hour/square foot", "BTU/Stunde/Quadratfuß"),           # 10027
    ("foot-candles", "Foot-candle"),                              # 10028
    ("kilojoules", "Kilojoule"),                                  # 10029
    ("megajoules", "Megajoule"),                                  # 10030
    ("gigajoules", "Gigajoule"),                                  # 10031
]


def extra_string_index(english):
    """Index of an extra string, by its English text."""
    for i, (en, _) in enumerate(EXTRA_STRINGS):
        if en == english:
            return EXTRA_STRING_BASE + i
    raise KeyError("no extra string %r" % english)


# ---------------------------------------------------------------------------
# Measurement systems.
#
# The key is the units text of the standard set (the dataset's wording, as in
# standard.enu). A value in those units gets, beside its own alternative, one
# in the other measurement system:
#
#   shown = value * factor + offset
#
# `factor` and `offset` are exact (Fraction), from the definitions of the US
# customary units in SI units (NIST SP 811, appendix B; international foot
# and pound of 1959, US liquid gallon of 231 cubic inches, International
# Table Btu). The format file holds them as single-precision numbers: the
# generator writes the shortest decimal text that reads as the single value
# nearest to the exact factor.
#
# `native` is the measurement system the type's own units belong to; the
# alternative in the type's own units is the default one.

FOOT = Fraction("0.3048")              # m
INCH = Fraction("0.0254")              # m
YARD = 3 * FOOT                        # m
MILE = 5280 * FOOT                     # m, 1609.344
GALLON = 231 * INCH ** 3               # m^3, 3.785411784 L
FLUID_OUNCE = GALLON / 128             # m^3
POUND = Fraction("0.45359237")         # kg
OUNCE = POUND / 16                     # kg
GRAIN = POUND / 7000                   # kg, 64.79891 mg
SHORT_TON = 2000 * POUND               # kg
STANDARD_GRAVITY = Fraction("9.80665")  # m/s^2
PSI = POUND * STANDARD_GRAVITY / INCH ** 2           # Pa, 6894.757...
INCH_OF_WATER = Fraction(1000) * STANDARD_GRAVITY * INCH  # Pa, conventional, 249.08891
BTU = Fraction("1055.05585262")        # J, International Table
HOUR = 3600                            # s
MINUTE = 60                            # s


def _q(quantity, other_units, factor, offset=0, native="SI"):
    return {"quantity": quantity, "units": other_units, "factor": Fraction(factor),
            "offset": Fraction(offset), "native": native}


QUANTITY_BY_UNITS = {
    "degrees Celsius": _q("temperature", "degrees Fahrenheit", Fraction(9, 5), 32),
    "degrees Celsius/minute": _q("temperature rate", "degrees Fahrenheit/minute", Fraction(9, 5)),
    "meters": _q("length", "feet", 1 / FOOT),
    "kilometers": _q("length", "miles", 1000 / MILE),
    "millimeters": _q("length", "inches", Fraction(1, 1000) / INCH),
    "micrometers (microns)": _q("length", "mils (thousandths of an inch)", Fraction(1, 10 ** 6) / (INCH / 1000)),
    "square meters": _q("area", "square feet", 1 / FOOT ** 2),
    "liters": _q("volume", "gallons (US)", Fraction(1, 1000) / GALLON),
    "kiloliters": _q("volume", "gallons (US)", 1 / GALLON),
    "milliliters": _q("volume", "fluid ounces (US)", Fraction(1, 10 ** 6) / FLUID_OUNCE),
    "liters/second": _q("volume flow", "gallons (US)/minute", Fraction(1, 1000) * MINUTE / GALLON),
    "milliliters/second": _q("volume flow", "gallons (US)/hour", Fraction(1, 10 ** 6) * HOUR / GALLON),
    "cubic meters/hour": _q("volume flow", "cubic feet/minute", Fraction(1, HOUR) * MINUTE / FOOT ** 3),
    "meters/second": _q("speed", "feet/minute", MINUTE / FOOT),
    "kiloPascals": _q("pressure", "pounds/square inch", 1000 / PSI),
    "Pascals": _q("pressure", "inches of water", 1 / INCH_OF_WATER),
    "grams": _q("mass", "ounces", Fraction(1, 1000) / OUNCE),
    "kilograms": _q("mass", "pounds", 1 / POUND),
    "metric tons": _q("mass", "short tons", 1000 / SHORT_TON),
    "milligrams": _q("mass", "grains", Fraction(1, 10 ** 6) / GRAIN),
    "kg/h": _q("mass flow", "pounds/hour", 1 / POUND),
    "kilograms/cubic meter": _q("density", "pounds/cubic foot", FOOT ** 3 / POUND),
    "grams/sq meter": _q("grammage", "ounces/square yard", Fraction(1, 1000) * YARD ** 2 / OUNCE),
    "gram/kilogram": _q("absolute humidity", "grains/pound", Fraction(1, 1000) * POUND / GRAIN),
    "kiloJoules/kg": _q("specific enthalpy", "Btus/pound", 1000 * POUND / BTU),
    "kJ/kg": _q("specific enthalpy", "Btus/pound", 1000 * POUND / BTU),
    "Watts": _q("power", "Btus/hour", HOUR / BTU),
    "kiloWatts": _q("power", "kilo-Btus/hour", HOUR / BTU),
    "W/m2": _q("irradiance", "Btus/hour/square foot", HOUR * FOOT ** 2 / BTU),
    "lux": _q("illuminance", "foot-candles", FOOT ** 2),
    # Thermal energy types are in US units; their other alternative is SI.
    "Btus": _q("thermal energy", "kilojoules", BTU / 1000, native="US"),
    "kilo-Btus": _q("thermal energy", "megajoules", BTU / 1000, native="US"),
    "mega-Btus": _q("thermal energy", "gigajoules", BTU / 1000, native="US"),
}

# The units text alone does not tell a temperature from a temperature
# difference: values of these types (and fields and properties of them) are
# differences, so the conversion has no offset.
QUANTITY_BY_TYPE = {
    "SNVT_temp_diff_p": _q("temperature difference", "degrees Fahrenheit", Fraction(9, 5)),
}

# Units texts that are no measurement units: a value in them is shown without
# a units reference in the format (the type file's own reference still
# applies).
NOT_UNITS = {
    "16-bit unsigned value", "16-bit signed value", "8-bit unsigned value", "32-bit signed value",
    "16-bit address value", "boolean",
}

# ---------------------------------------------------------------------------
# Conversions.
#
# Scalar types whose single value is one character: shown with %c.
CHARACTER_TYPES = {"SNVT_char_ascii"}

# ---------------------------------------------------------------------------
# Special values that deserve words.
#
# For a type (and every property or field of that type), FIELD names the
# value (the empty text: the type's own value), RAW the raw value that means
# "no value" in the LonMark definitions, WORD the text shown after the value
# when it holds. The value itself stays in the text, so that the text reads
# back to the same bytes; the generator turns RAW into a condition on the
# engineering value that needs no exact comparison of fractions.
SPECIAL_VALUES = {
    "SNVT_temp_p": [("", 32767, "invalid")],
    "SNVT_temp_diff_p": [("", 32767, "invalid")],
    "SNVT_press": [("", 32767, "invalid")],
    "SNVT_press_p": [("", 32767, "invalid")],
    "SNVT_lev_percent": [("", 32767, "invalid")],
    "SNVT_flow": [("", 65535, "invalid")],
    "SNVT_flow_p": [("", 65535, "invalid")],
    "SNVT_rpm": [("", 65535, "invalid")],
    "SNVT_time_sec": [("", 65535, "invalid")],
    "SNVT_volt_ac": [("", 65535, "invalid")],
    "SNVT_amp_ac": [("", 65535, "invalid")],
    "SNVT_amp_ac_mil": [("", 65535, "invalid")],
    "SNVT_abs_humid": [("", 65535, "invalid")],
    "SNVT_enthalpy": [("", 32767, "invalid")],
    "SNVT_enthalpy_d": [("", 32767, "invalid")],
    "SNVT_mass_flow": [("", 32767, "invalid")],
    "SNVT_temp_ror": [("", 32767, "invalid")],
    "SNVT_Wm2_p": [("", 65535, "invalid")],
    "SNVT_time_offset": [("", 32767, "invalid")],
    "SNVT_sched_val": [("", 255, "invalid")],
    "SNVT_switch": [("state", -1, "undefined")],
    "SNVT_temp_setpt": [(f, 32767, "invalid") for f in (
        "occupied_cool", "standby_cool", "unoccupied_cool", "occupied_heat", "standby_heat",
        "unoccupied_heat")],
}

# ---------------------------------------------------------------------------
# Hand-written entries. A type named here gets exactly these entries (as they
# stand in the format file, each one line ending in ';') instead of the
# generated ones.
FORMAT_OVERRIDES = {
}
