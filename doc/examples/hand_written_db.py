#!/usr/bin/env python3
"""Writes a small OSDB and JQWDB file by hand, following doc/file_format.md.

CPU code 2 under OS type 0 (model 1, OS number 1): OSDB2D.BIN, whose values
are stored most significant byte first, and JQWDB2D.BIN, least significant
byte first. Every section is as long as the highest row the class-0 item maps
reach; the few values written are listed at the end, and the rest is zero.

    python3 doc/examples/hand_written_db.py OUTDIR
    zelcomdb check OUTDIR && zelcomdb dump OUTDIR 1 1
"""
import os
import struct
import sys

K, K2 = 32, 12  # slot count and secondary slot count of CPU code 2
VALUE0, VALUE1 = 2, 3  # CPU specification values 0 and 1: the entry bounds


class File:
    """A growing file image; values go in the family's byte order."""

    def __init__(self, order, entries):
        self.order = order
        self.data = bytearray(8)  # bytes 0 to 7 are not read
        self.put(8, 4, 16)  # directory base D
        self.base = 16
        self.data += bytes(self.base + 4 * entries - len(self.data))

    def put(self, at, width, value):
        fmt = {1: "b", 2: "h", 4: "i"}[width]
        if value >= 1 << (8 * width - 1):
            fmt = fmt.upper()
        self.data[at:at + width] = struct.pack(self.order + fmt, value)

    def place(self, size):
        at = len(self.data)
        self.data += bytes(size)
        return at

    def table(self, number, size):
        start = self.place(size)
        self.put(self.base + 4 * number, 4, start - self.base)
        return start

    def sectioned(self, number, sizes):
        """A table with an unread word, the section offset list, then sections."""
        start = self.table(number, 4 + 4 * len(sizes))
        starts = {}
        for s, size in sizes.items():
            starts[s] = self.place(size)
            self.put(start + 4 + 4 * s, 4, starts[s] - start)
        return starts


def osdb():
    f = File(">", 16)
    t0 = f.table(0, 6)
    for value, byte in ((VALUE0, 0), (VALUE1, 3), (-3, 2), (4, 5)):
        f.put(t0 + byte, 1, value)
    t2 = f.sectioned(2, {0: 24, 1: 20})
    f.put(t2[0] + 22, 2, 0x1234)  # CPU specification value 2
    f.put(t2[1] + 18, 2, -5)  # CPU specification value 5
    memory = {1: 15, 3: 23, 4: 39, 10: 32, 12: 20, 14: 32, 15: 20}
    mem = {t: f.table(t, 4 * n) for t, n in memory.items()}
    f.put(mem[1] + 0, 4, 0x11223344)  # memory kind 0, index 0
    t9 = f.sectioned(9, {0: 4 * 20})
    f.put(t9[0] + 4 * 5, 4, 905)  # memory kinds 3 and 9, index 5
    # Table 6: highest row and the bytes past the row start that the
    # readers reach, per section.
    word_row, word_row2 = 4 * K + 4, 4 * K2 + 4
    t6 = f.sectioned(6, {
        0: 8 * K * 59 + 8 * (VALUE0 - 1) + 6,
        1: 8 * K2 * 9 + 8 * (VALUE1 - 1) + 6,
        2: 12 + 12 * (VALUE0 - 1) + 6,
        3: 8 * 2 + 6,
        4: max(272 + 12 * K + 12 * (VALUE0 - 1) + 6, 8 + 12 * 21 + 6),
        5: 8 + 12 * 6 + 6,
        6: word_row * 28 + 4 * VALUE0 + 4,
        7: word_row2 * 6 + 4 * VALUE1 + 4,
        8: 8 * 11 + 8,
    })
    f.put(t6[6] + 0, 2, 0x0101)  # DbTb2 item 0 (section 6 row 0): head word
    f.put(t6[6] + 4, 4, 0x1000)  # entry 1
    f.put(t6[6] + 8, 4, 0x1004)  # entry 2
    f.put(t6[7] + 4 * 3, 4, 0x7003)  # DbTb2 item 28 (section 7 row 0), entry 3
    f.put(t6[8] + 8 * 1 + 0, 2, 0x0303)  # DbTb3 item 3 (section 8 row 1)
    f.put(t6[8] + 8 * 1 + 4, 4, 0x3000)
    f.put(t6[0] + 8 * (2 - 1), 4, 0x2000)  # DbTb4 item 0 (section 0 row 0), entry 2
    f.put(t6[0] + 8 * (2 - 1) + 4, 2, 0x0800)  # high byte: 0x2001, bit 3
    f.put(t6[3] + 8 * 2, 4, 0x5000)  # DbTb4 items 83, 84 (two-bit section row 2)
    f.put(t6[4] + 8 + 12 * 21, 4, 0x6000)  # DbTb5 item 1 (section 4 row 21)
    f.put(t6[4] + 8 + 12 * 21 + 4, 2, 0x0080)
    f.sectioned(11, {0: 8 * (VALUE0 - 1) + 6})
    return f.data


def jqwdb():
    f = File("<", 11)

    def table(number, first, size, records, split=(0, 0)):
        start = f.table(number, 16 + size * len(records))
        f.put(start, 4, first)
        f.put(start + 4, 4, size)
        f.put(start + 8, 4, split[0])
        f.put(start + 12, 4, split[1])
        for i, record in enumerate(records):
            f.data[start + 16 + i * size:start + 16 + i * size + len(record)] = record

    table(0, 1, 16, [struct.pack("<iihhbbh", 100, -2, 3, 4, -1, 6, 7),
                     struct.pack("<iihhbbh", 200, 0, 0, 0, 0, 0, 0)])
    table(1, 0, 14, [struct.pack("<iihbbh", 110, 111, 112, -128, 127, -1)])
    # Device entries: kind, number (16 bits), extra; OS type 0 bounds the
    # entry number of tables 2 and 4 by CPU specification value 0.
    table(2, 0, 4 * VALUE0, [struct.pack("<BHB", 1, 0x0100, 9) + struct.pack("<BHB", 2, 0x0200, 255)])
    table(3, 0, 4, [struct.pack("<BHB", 3, 300, 0)])
    table(4, 0, 4 * VALUE0, [struct.pack("<BHB", 4, 400, 0) + struct.pack("<BHB", 5, 401, 0)])
    table(5, -1, 4, [])
    table(6, 0, 9, [struct.pack("<ihhb", 600, 601, 602, -6)])
    table(7, -1, 9, [])
    table(8, 0, 12, [struct.pack("<ihhb", 800, 801, 802, 8)])
    table(9, 0, 10, [struct.pack("<ihbbbb", 900, 901, 1, 2, 3, 4)])
    backup = [struct.pack("<bbbbiibb", 1, 2, 3, 99, 1000, 1001, 4, 5),
              struct.pack("<bbbbiibb", 0, 0, 0, 11, 1010, 1011, 0, 0),
              struct.pack("<bbbbiibb", 0, 0, 0, 12, 1020, 1021, 0, 0)]
    table(10, 3, 14, backup, split=(1, 258))
    return f.data


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, data in (("OSDB2D.BIN", osdb()), ("JQWDB2D.BIN", jqwdb())):
        with open(os.path.join(out, name), "wb") as file:
            file.write(data)


if __name__ == "__main__":
    main()
