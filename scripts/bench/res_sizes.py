"""Bytes of the program's resources by language, read from the compiled
resource file (.res, as windres writes it from res/Vorlane.rc): what each
language's string table, dialog and menu add to the exe, and what the
neutral resources (icon, manifest, the bar's template, version) take.

    res_sizes.py FILE.res   -> prints JSON {"neutral": n, "zh": n, "en": n}
"""
import json
import struct
import sys

LANGUAGES = {0x0000: "neutral", 0x0804: "zh", 0x0409: "en"}


def skip_name(data, at):
    """A resource type or name: 0xFFFF and a number, or a zero-ended UTF-16 text."""
    if struct.unpack_from("<H", data, at)[0] == 0xFFFF:
        return at + 4
    while struct.unpack_from("<H", data, at)[0] != 0:
        at += 2
    return at + 2


def sizes(data):
    totals = {}
    at = 0
    while at + 8 <= len(data):
        data_size, header_size = struct.unpack_from("<II", data, at)
        after_names = skip_name(data, skip_name(data, at + 8))
        after_names += (4 - after_names % 4) % 4
        _, _, language = struct.unpack_from("<IHH", data, after_names)
        if data_size:
            name = LANGUAGES.get(language, hex(language))
            # In the exe each resource also costs its directory entries
            # (about 24 bytes) and is aligned to 8.
            totals[name] = totals.get(name, 0) + data_size + (8 - data_size % 8) % 8 + 24
        at += header_size + data_size
        at += (4 - at % 4) % 4
    return totals


if __name__ == "__main__":
    with open(sys.argv[1], "rb") as f:
        print(json.dumps(sizes(f.read())))
