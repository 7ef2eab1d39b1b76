#!/usr/bin/python3
"""Builds the goods-name dictionary DATA_SYS/tarvo7_0.dat from its readable
source, a tab-separated table of code, Chinese name and English name:

    make_dictionary.py goods.tsv OUTPUT

The file is an 8-byte header (the entry count and the table number 7, both
little-endian 32-bit) and one 276-byte entry per name: the entry number,
then code (16 bytes), Chinese name (128) and English name (128), GBK,
NUL-terminated and zero-padded. Lines starting with "#" are comments.
"""
import struct
import sys

WIDTHS = (16, 128, 128)


def field(text, width):
    data = text.encode("gbk")
    if len(data) >= width:
        raise ValueError("%r is longer than %d bytes" % (text, width - 1))
    return data + b"\0" * (width - len(data))


def main(source, target):
    entries = []
    seen = set()
    with open(source, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            parts = line.split("\t")
            if len(parts) != 3 or not all(p.strip() for p in parts):
                raise ValueError("line %d: code, Chinese name and English name expected" % number)
            if parts[0] in seen:
                raise ValueError("line %d: code %s given twice" % (number, parts[0]))
            seen.add(parts[0])
            entries.append(parts)
    with open(target, "wb") as out:
        out.write(struct.pack("<ii", len(entries), 7))
        for number, parts in enumerate(entries, 1):
            out.write(struct.pack("<i", number))
            for text, width in zip(parts, WIDTHS):
                out.write(field(text.strip(), width))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
