#!/usr/bin/env python3
"""Known-answer vectors for the frame payload cipher (Cpc1crypt).

Written from the algorithm's published steps alone, without looking at the C++ code, so the
vectors in Cpc1cryptTest.cpp check the C++ against a second, independent reading. Re-run with
`python3 tests/protocol/pc1_vectors.py` and paste the output into the test when a vector is added.

FIRMWARE_KEY below must stay equal to protocol/FirmwareKey.hpp.
"""

FIRMWARE_KEY = bytes([0x51, 0x75, 0x69, 0x6C, 0x6C, 0x6F, 0x6E, 0x2D,
                      0x43, 0x41, 0x4E, 0x2D, 0x4B, 0x65, 0x79, 0x31])
SECOND_KEY = bytes(range(16))

M16 = 0xFFFF


class State:
    def __init__(self, key):
        self.key = list(key)  # working key, mutated as bytes go through
        self.si = 0
        self.x1a2 = 0
        self.inter = 0


def assemble(s):
    s.inter = 0
    w = 0
    for i in range(8):
        w ^= (s.key[2 * i] << 8) | s.key[2 * i + 1]
        dx = (s.x1a2 + i) & M16
        ax = w
        cx = 0x015A
        bx = 0x4E35
        ax, s.si = s.si, ax
        ax, dx = dx, ax
        if ax != 0:
            ax = (ax * bx) & M16
        ax, cx = cx, ax
        if ax != 0:
            ax = (ax * s.si) & M16
            cx = (ax + cx) & M16
        ax, s.si = s.si, ax
        ax = (ax * bx) & M16
        dx = (cx + dx) & M16
        ax = (ax + 1) & M16
        s.x1a2 = dx
        w = ax
        s.inter ^= ax ^ dx


def encipher(key, plain):
    s = State(key)
    out = []
    for p in plain:
        assemble(s)
        cfc, cfd = s.inter >> 8, s.inter & 0xFF
        s.key = [k ^ p for k in s.key]
        out.append(p ^ cfc ^ cfd)
    return bytes(out)


def decipher(key, cipher):
    s = State(key)
    out = []
    for e in cipher:
        assemble(s)
        cfc, cfd = s.inter >> 8, s.inter & 0xFF
        p = e ^ cfc ^ cfd
        s.key = [k ^ p for k in s.key]
        out.append(p)
    return bytes(out)


VECTORS = [
    ("FirmwareKeyZeros8", "FIRMWARE_KEY", FIRMWARE_KEY, bytes(8)),
    ("FirmwareKeyCounting8", "FIRMWARE_KEY", FIRMWARE_KEY, bytes(range(8))),
    ("FirmwareKeyOpeningFrame", "FIRMWARE_KEY", FIRMWARE_KEY, bytes([0x01] + [0xFF] * 7)),
    ("FirmwareKeyOneByte", "FIRMWARE_KEY", FIRMWARE_KEY, bytes([0xA5])),
    ("FirmwareKeySevenBytes", "FIRMWARE_KEY", FIRMWARE_KEY, bytes([0x10, 0x32, 0x54, 0x76,
                                                                   0x98, 0xBA, 0xDC])),
    ("SecondKeyCounting8", "SECOND_KEY", SECOND_KEY, bytes(range(8))),
]


def hex_list(data):
    return "{" + ", ".join("0x%02X" % b for b in data) + "}"


def main():
    for name, key_name, key, plain in VECTORS:
        cipher = encipher(key, plain)
        assert decipher(key, cipher) == plain
        print('    {"%s", %s, %s, %s},' % (name, key_name, hex_list(plain), hex_list(cipher)))


if __name__ == "__main__":
    main()
