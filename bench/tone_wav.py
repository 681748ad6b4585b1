#!/usr/bin/env python3
"""Writes a mono 16-bit PCM WAV of a 440 Hz tone (or silence) for the timing scripts.
Usage: tone_wav.py PATH SECONDS [RATE] [silent]"""
import math
import struct
import sys

path, seconds = sys.argv[1], int(sys.argv[2])
rate = int(sys.argv[3]) if len(sys.argv) > 3 else 8000
amplitude = 0 if len(sys.argv) > 4 and sys.argv[4] == "silent" else 6000
data = b"".join(struct.pack("<h", int(amplitude * math.sin(2 * math.pi * 440 * i / rate)))
                for i in range(rate * seconds))
with open(path, "wb") as f:
    f.write(b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVEfmt ")
    f.write(struct.pack("<IHHIIHH", 16, 1, 1, rate, rate * 2, 2, 16))
    f.write(b"data" + struct.pack("<I", len(data)) + data)
