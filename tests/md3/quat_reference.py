#!/usr/bin/env python3
"""Expected values of bits_cases.cpp (rotations and the blends between
frames), worked out from the formulas alone.

Every float operation is rounded to single precision (Python's double
result of one operation on two floats rounds to the same float as the
single-precision operation would); sqrt, acos and sin run in double on
widened arguments and their results are rounded to single precision.
The vertex blend runs in double from the float inputs, rounded once.
Run it to print the values as C++ hex-float literals."""
import math
import struct

import normal_reference


def f(x):
    return struct.unpack('<f', struct.pack('<f', x))[0]


def from_matrix(m):
    m = [f(v) for v in m]
    trace = f(f(m[0] + m[4]) + m[8])
    q = [0.0] * 4   # x, y, z, w
    if trace > 0:
        s = f(math.sqrt(f(trace + 1.0)))
        q[3] = f(0.5 * s)
        k = f(0.5 / s)
        q[0] = f(f(m[7] - m[5]) * k)
        q[1] = f(f(m[2] - m[6]) * k)
        q[2] = f(f(m[3] - m[1]) * k)
        return q
    i = 0
    if m[4] > m[0]:
        i = 1
    if m[8] > m[4 * i]:
        i = 2
    j = (i + 1) % 3
    k = (j + 1) % 3
    s = f(math.sqrt(f(f(m[4 * i] - f(m[4 * j] + m[4 * k])) + 1.0)))
    q[i] = f(0.5 * s)
    h = f(0.5 / s)
    q[3] = f(f(m[3 * k + j] - m[3 * j + k]) * h)
    q[j] = f(f(m[3 * i + j] + m[3 * j + i]) * h)
    q[k] = f(f(m[3 * i + k] + m[3 * k + i]) * h)
    return q


def slerp(a, b, t):
    a = [f(v) for v in a]
    b = [f(v) for v in b]
    t = f(t)
    d = f(f(f(f(a[0] * b[0]) + f(a[1] * b[1])) + f(a[2] * b[2])) + f(a[3] * b[3]))
    if d < 0:
        d = -d
        b = [-v for v in b]
    if f(1.0 - d) > f(0.1):
        omega = f(math.acos(d))
        sinom = f(math.sin(omega))
        s0 = f(f(math.sin(f(f(1.0 - t) * omega))) / sinom)
        s1 = f(f(math.sin(f(t * omega))) / sinom)
    else:
        s0, s1 = f(1.0 - t), t
    return [f(f(s0 * a[c]) + f(s1 * b[c])) for c in range(4)]


def to_matrix(q):
    x, y, z, w = [f(v) for v in q]
    x2, y2, z2 = f(2 * x), f(2 * y), f(2 * z)
    xx, xy, xz = f(x * x2), f(x * y2), f(x * z2)
    yy, yz, zz = f(y * y2), f(y * z2), f(z * z2)
    wx, wy, wz = f(w * x2), f(w * y2), f(w * z2)
    return [f(1 - f(yy + zz)), f(xy + wz), f(xz - wy),
            f(xy - wz), f(1 - f(xx + zz)), f(yz + wx),
            f(xz + wy), f(yz - wx), f(1 - f(xx + yy))]


def axis_angle(ax, ay, az, angle):
    c, s = math.cos(angle), math.sin(angle)
    k = 1 - c
    return [f(v) for v in (c + ax * ax * k, ax * ay * k - az * s, ax * az * k + ay * s,
                           ay * ax * k + az * s, c + ay * ay * k, ay * az * k - ax * s,
                           az * ax * k - ay * s, az * ay * k + ax * s, c + az * az * k)]


def h(text):
    return float.fromhex(text)


def literal(v):
    v = f(v)
    if v == 0:
        return '-0.0f' if math.copysign(1, v) < 0 else '0'
    mantissa, exponent = float.hex(v).split('p')
    return '%sp%sf' % (mantissa.rstrip('0'), exponent)


def show(values):
    return '{' + ', '.join(literal(v) for v in values) + '}'


if __name__ == '__main__':
    print('Quat_FromMatrix')
    for axis in ((0.8, 0.6, 0), (0, 0.8, -0.6), (0.6, 0, 0.8)):
        m = axis_angle(*axis, 150 * math.pi / 180)
        print(show(m), show(from_matrix(m)))
    m = axis_angle(0.48, 0.6, 0.64, 1.1)
    print(show(m), show(from_matrix(m)))
    print('Quat_ToMatrix')
    for q in ([math.sin(0.15), 0, 0, math.cos(0.15)],
              [0.48 * math.sin(1.0), 0.6 * math.sin(1.0), 0.64 * math.sin(1.0), math.cos(1.0)]):
        print(show(q), show(to_matrix(q)))
    print('Quat_Slerp')
    sixty = [math.sin(1.0471976), 0, 0, math.cos(1.0471976)]
    for a, b, t in (([0, 0, 0, 1], [0.6, 0, 0, 0.8], 0.3), ([0, 0, 0, 1], [1, 0, 0, 0], 0.9),
                    ([0, 0, 0, 1], sixty, 2.0), ([0, 0, 0, 1], sixty, -1.0),
                    ([h('0x1.75bdb8p-1'), h('0x1.a2f5fap-3'), h('0x1.4c0aa4p-1'), h('-0x1.19a636p-4')],
                     [h('-0x1.528ceep-3'), h('0x1.0b691ap-3'), h('-0x1.f47620p-1'), h('-0x1.c288b2p-7')], h('0x1.8a8202p-1')),
                    ([h('-0x1.3ecc3ap-1'), h('-0x1.491572p-1'), h('0x1.d2ebfcp-3'), h('-0x1.88e2d4p-2')],
                     [h('-0x1.306a3ap-3'), h('0x1.56ad34p-1'), h('-0x1.b198d4p-4'), h('0x1.70c3c2p-1')], h('0x1.00e746p-2')),
                    ([h('0x1.19eb84p-2'), h('-0x1.c0c29ap-1'), h('0x1.47eb36p-3'), h('-0x1.71b0fcp-2')],
                     [h('0x1.14fd34p-1'), h('-0x1.aa1146p-1'), h('0x1.b02172p-4'), h('0x1.f24378p-5')], h('0x1.dd19ecp-7'))):
        print(show(a), show(b), literal(t), show(slerp(a, b, t)))
    print('Blend_Vertex: a, b (x, y, z, normal bytes), fraction, position, normal')
    for a, b, t in (((-1234, 567, 8910, 37, 201), (2345, -32768, 32767, 129, 3), 10 / 97),
                    ((32767, -32768, -7, 250, 17), (-32768, 32767, 4095, 3, 99), 0.7),
                    ((101, -2021, 333, 64, 0), (-77, 19, -4444, 191, 128), 2.0),
                    ((5, 6, 7, 12, 240), (-5000, 6000, -7000, 200, 60), -0.3)):
        t = f(t)
        na, nb = [[struct.unpack('<f', x)[0] for x in normal_reference.entry(v[3], v[4])] for v in (a, b)]
        position = [f(f(x / 64) + t * (f(y / 64) - f(x / 64))) for x, y in zip(a[:3], b[:3])]
        print(a, b, literal(t), show(position), show([f(x + t * (y - x)) for x, y in zip(na, nb)]))
    print('Blend_Tag: axes and origins of a and b, fraction, the placement')
    identity = [1, 0, 0, 0, 1, 0, 0, 0, 1]
    turn = [axis_angle(0.8, 0.6, 0, 150 * math.pi / 180), axis_angle(0, 0.8, -0.6, 150 * math.pi / 180),
            axis_angle(0.48, 0.6, 0.64, 1.1)]
    for aa, oa, ab, ob, t in ((identity, (10, 20, 30), [0, -1, 0, 1, 0, 0, 0, 0, 1], (30, 0, -10), 0.46),
                              (turn[0], (-12.34, 56.7, 0.001), turn[1], (98.76, -5.4321, 1234.5), 0.3),
                              (identity, (0.1, 0.2, 0.3), turn[2], (-0.7, 1e-3, 3.3), 1.7)):
        t = f(t)
        m = to_matrix(slerp(from_matrix(aa), from_matrix(ab), t))
        o = [f(f(a) + f(f(f(b) - f(a)) * t)) for a, b in zip(oa, ob)]
        print(show(oa), show(ob), literal(t))
        print(show([m[0], m[3], m[6], 0, m[1], m[4], m[7], 0, m[2], m[5], m[8], 0, o[0], o[1], o[2], 1]))
