#!/usr/bin/env python3
"""Prints a lyric file of lines as real lyrics have them: 10 to 45 characters, Chinese, Latin
and both mixed, each line different, one every STEP seconds over SECONDS seconds.
Usage: lyric_lines.py SECONDS STEP"""
import sys

CHINESE = "夜里的风吹过城市的灯火我们唱着一首没有名字的歌等你回来的时候天已经亮了"
LATIN = "the night is young and we keep singing a song without a name until the morning light"


def line(i):
    length = 10 + (i * 13) % 36  # 10 to 45, in no simple order
    kind = i % 3
    if kind == 0:
        text = (CHINESE * 2)[i % len(CHINESE):][:length]
    elif kind == 1:
        text = (LATIN * 2)[(i * 7) % len(LATIN):][:length]
    else:
        half = length // 2
        text = "%s - %s" % ((CHINESE * 2)[i % len(CHINESE):][:half],
                            (LATIN * 2)[(i * 5) % len(LATIN):][:length - half - 3])
    return " ".join(("第%d行 " % i + text)[:length].split())


def main():
    seconds, step = int(sys.argv[1]), int(sys.argv[2])
    out = sys.stdout.buffer
    for n, s in enumerate(range(0, seconds, step)):
        out.write(("[%02d:%02d.00]%s\r\n" % (s // 60, s % 60, line(n))).encode("utf-8"))


main()
