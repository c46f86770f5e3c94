#!/usr/bin/env python3
"""Writes alert.wav: two short 880 Hz beeps, 8 kHz 8-bit mono. Run once; the
result is committed."""
import math
import sys
import wave

RATE = 8000


def main(path):
    samples = bytearray()
    for beep in range(2):
        for i in range(int(RATE * 0.18)):
            fade = min(1.0, i / 80, (RATE * 0.18 - i) / 80)
            samples.append(128 + int(90 * fade * math.sin(2 * math.pi * 880 * i / RATE)))
        if beep == 0:
            samples.extend(b"\x80" * int(RATE * 0.08))
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(1)
        w.setframerate(RATE)
        w.writeframes(bytes(samples))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "alert.wav")
