"""Writes the files of bench/tag_memory.sh into a folder: a plain MP3 of ten seconds of
MPEG frames, the same with an ID3v2.3 tag of a synchronised lyrics frame of 3 million
entries (18 MB), and the same with an unsynchronised lyrics frame of 100 MB.
Usage: media_files.py FOLDER"""
import os
import struct
import sys

# MPEG-1 Layer III, 128 kbit/s, 44.1 kHz, no padding: 417 bytes a frame, 38.28 a second.
AUDIO = (b"\xff\xfb\x90\x00" + bytes(413)) * 383


def synchsafe(n):
    return bytes((n >> s) & 0x7F for s in (21, 14, 7, 0))


def tag(frame_id, body):
    frame = frame_id + struct.pack(">I", len(body)) + b"\x00\x00" + body
    return b"ID3\x03\x00\x00" + synchsafe(len(frame)) + frame


def write(folder, name, data):
    with open(os.path.join(folder, name), "wb") as out:
        out.write(data)


def main():
    folder = sys.argv[1]
    write(folder, "plain.mp3", AUDIO)
    # Latin-1 text, "eng", milliseconds, lyrics, an empty description; then the entries.
    entries = b"".join(b"x\x00" + struct.pack(">I", ms) for ms in range(3_000_000))
    write(folder, "sylt.mp3", tag(b"SYLT", b"\x00eng\x02\x01\x00" + entries) + AUDIO)
    text = b"[00:01.00]" + b"x" * (100 * 1024 * 1024)
    write(folder, "uslt.mp3", tag(b"USLT", b"\x00eng\x00" + text) + AUDIO)


main()
