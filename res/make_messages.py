#!/usr/bin/env python3
"""Writes the exe's message table from service/EventMessages.inc, so that
Event Viewer shows each of Vorlane's events with its text, in Chinese and in
English, without the message compiler:

    make_messages.py EventMessages.inc OUT_DIR

OUT_DIR gets EventMessages_zh.bin and EventMessages_en.bin (each one
MESSAGETABLE resource: MESSAGE_RESOURCE_DATA with one block per run of
consecutive IDs, Unicode entries) and EventMessages.rc, which res/Vorlane.rc
includes. A row that does not have the fixed form stops the build: a row
skipped would be an event Event Viewer cannot show.
"""

import os
import re
import struct
import sys

ROW = re.compile(r'^VORLANE_EVENT\("([a-z-]+)", (\d+), (Information|Warning|Error), '
                 r'"([^"\\]*)", "([^"\\]*)"\)$')
# The ID of an event that has no row (service/ServiceEvents.h, kOtherEventId).
OTHER_ID = 99
OTHER = ("事件。", "Event.")


def read_rows(path):
    rows = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line.startswith("VORLANE_EVENT"):
                continue
            match = ROW.match(line)
            if not match:
                sys.exit(f"{path}:{number}: not a row of the fixed form: {line}")
            rows.append((int(match.group(2)), match.group(4), match.group(5)))
    ids = [r[0] for r in rows]
    if len(set(ids)) != len(ids) or OTHER_ID in ids:
        sys.exit(f"{path}: an event ID given twice, or {OTHER_ID}")
    return rows


def message(text):
    # The event's details (one insert) below its text.
    return text + "\r\n\r\n%1\r\n"


def table(messages):
    """MESSAGE_RESOURCE_DATA for {id: text}."""
    ids = sorted(messages)
    blocks = []
    for i in ids:
        if blocks and blocks[-1][1] == i - 1:
            blocks[-1][1] = i
        else:
            blocks.append([i, i])
    entries = b""
    offsets = []
    header = 4 + 12 * len(blocks)
    for low, high in blocks:
        offsets.append(header + len(entries))
        for i in range(low, high + 1):
            text = (messages[i] + "\0").encode("utf-16-le")
            text += b"\0" * (-(4 + len(text)) % 4)
            entries += struct.pack("<HH", 4 + len(text), 1) + text
    data = struct.pack("<I", len(blocks))
    for (low, high), offset in zip(blocks, offsets):
        data += struct.pack("<III", low, high, offset)
    return data + entries


def main():
    source, out = sys.argv[1], sys.argv[2]
    rows = read_rows(source)
    os.makedirs(out, exist_ok=True)
    for index, suffix in ((0, "zh"), (1, "en")):
        messages = {r[0]: message(r[1 + index]) for r in rows}
        messages[OTHER_ID] = message(OTHER[index])
        with open(os.path.join(out, f"EventMessages_{suffix}.bin"), "wb") as f:
            f.write(table(messages))
    with open(os.path.join(out, "EventMessages.rc"), "w", encoding="utf-8") as f:
        f.write("// Written by res/make_messages.py from service/EventMessages.inc.\n"
                "LANGUAGE LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED\n"
                "1 MESSAGETABLE \"EventMessages_zh.bin\"\n"
                "LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US\n"
                "1 MESSAGETABLE \"EventMessages_en.bin\"\n")


if __name__ == "__main__":
    main()
