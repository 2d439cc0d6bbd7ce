#!/usr/bin/env python3
"""Expected values of md3_normal_test.cpp, worked out from the table's
formula alone: step is the float 0x3CC9D82E; entry r * 256 + c is
(cos(c step) sin(r step), sin(c step) sin(r step), cos(r step)), angles,
sines, cosines and products in double, each component rounded to float.
Prints the telling entries as C++ hex-float literals and the FNV-1a hash
of the whole table's bytes (little-endian floats, entry after entry)."""
import math
import struct

step = struct.unpack('<f', bytes.fromhex('2ed8c93c'))[0]


def entry(r, c):
    t, p = r * step, c * step
    return [struct.pack('<f', v) for v in (math.cos(p) * math.sin(t), math.sin(p) * math.sin(t), math.cos(t))]


def literal(packed):
    mantissa, exponent = float.hex(struct.unpack('<f', packed)[0]).split('p')
    return mantissa.rstrip('0').rstrip('.') + 'p' + exponent + 'f'


if __name__ == '__main__':
    for index in (0, 1, 64, 256, 16384, 16448, 65535):
        print(index, ', '.join(literal(b) for b in entry(index // 256, index % 256)))
    h = 0xcbf29ce484222325
    for r in range(256):
        for c in range(256):
            for byte in b''.join(entry(r, c)):
                h = ((h ^ byte) * 0x100000001b3) & 0xffffffffffffffff
    print('hash 0x%016x' % h)
