#!/usr/bin/env python3
"""Writes the seed scenario files of fuzz_sinario into sinario_corpus/."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "sinario_corpus")

STEP = struct.Struct("<hiiidiiiiii")  # kind value addTemp mol container tUnit pUnit wMin wMax hMin hMax
EMPTY = (0, 0, 0, 0, 0.0, 0, 0, 0, 0, 0, 0)


def record(title_bytes, count, steps):
    slots = list(steps) + [EMPTY] * (51 - len(steps))
    data = title_bytes[:30].ljust(30, b" ") + struct.pack("<i", count)
    data += b"".join(STEP.pack(*s) for s in slots)
    assert len(data) == 2380
    return data


def title(text):
    return text.encode("cp932")


def main():
    os.makedirs(OUT, exist_ok=True)
    init = (0, 0, 0, 1, 30.0, 0, 0, -50, 150, 0, 800)
    lesson = [
        EMPTY,
        init,
        (1, 20, 0, 0, 0.0, 0, 0, 0, 0, 0, 0),
        (2, 0, 0, 0, 0.0, 0, 0, 0, 0, 0, 0),
        (1, 80, 1, 0, 0.0, 0, 0, 0, 0, 0, 0),
        (5, 1, 0, 0, 0.0, 0, 0, 0, 0, 0, 0),
        (4, 0, 0, 0, 0.0, 0, 0, 0, 0, 0, 0),
        (3, 0, 0, 0, 0.0, 0, 0, 0, 0, 0, 0),
    ]
    files = {
        "empty.so1": record(b" " * 30, 0, []),
        "unset_title.so1": record(b"\0" * 30, 0, []),
        "lesson.so1": record(title("蒸気圧曲線を描く"), 7, lesson),
        "windows_chars.so1": record(title("～①ｱ亜ⅰ髙纊≒"), 1, [EMPTY, init]),
        "fifty.so1": record(title("ｼﾅﾘｵ 50"), 50,
                            [(n % 6, n * 7 - 100, n % 2, n, n + 0.5, n % 2, n % 3, -n, 100 + n,
                              10 * n, 1000 + n) for n in range(51)]),
        # A damaged file: bytes that are no cp932, a lone lead byte last, counts and kinds
        # out of range, a NaN volume.
        "damaged.so1": record(b"A\x80\x81 \x85\x40\xff" + b"\x88\x9f" * 11 + b"\x88", -3,
                              [EMPTY, (9, 7, 1, -1, float("nan"), 5, 9, 2**31 - 1, -2**31, 0, 0)]),
        "too_many.so1": record(b"x" * 30, 1000, [EMPTY, init]) + b"trailing bytes",
    }
    for name, data in files.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
