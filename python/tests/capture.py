"""Generated capture lines for the bulk tests: well-formed lines of several
types with random bytes, and the malformed lines a real capture holds."""
import random

TYPES = ["SNVT_temp_p", "SNVT_switch", "SNVT_count_32", "SNVT_lev_percent", "SNVT_alarm_2", "SNVT_time_stamp",
         "SNVT_str_asc", "SNVT_temp_p#US", "SCPTdefScale", "SNVT_hvac_status"]
MALFORMED = ["SNVT_nonesuch 0A28", "SNVT_temp_p 0A2", "SNVT_temp_p 0A28FF", "SNVT_temp_p zz28", "", "SNVT_switch",
             "SNVT_switch\t\tC8 01", "SNVT_switch C8:01\r", " SNVT_switch C801", "SNVT_temp_p 0A 2 8"]


def capture_lines(catalog, count, seed=17):
    rng = random.Random(seed)
    lengths = {name: catalog.type_element(name).length() for name in TYPES}
    lines = []
    for n in range(count):
        if n % 97 == 0:
            lines.append(MALFORMED[(n // 97) % len(MALFORMED)])
            continue
        name = TYPES[rng.randrange(len(TYPES))]
        lines.append(name + " " + rng.randbytes(lengths[name]).hex().upper())
    return lines
