// Quaternion conversions and blending for tag orientations. Arithmetic is
// single precision with float literals; sqrt, acos and sin run in double
// and their results are stored back into floats.
#include "quat.h"

#include <cmath>

namespace {

void set_component(Quaternion *q, int i, float value) {
    if (i == 0)
        q->x = value;
    else if (i == 1)
        q->y = value;
    else
        q->z = value;
}

}  // namespace

void Quat_FromMatrix(Quaternion *out, const float *m) {
    const float trace = m[0] + m[4] + m[8];
    if (trace > 0.0f) {
        const float s = float(std::sqrt(double(trace + 1.0f)));
        out->w = 0.5f * s;
        const float f = 0.5f / s;
        out->x = (m[7] - m[5]) * f;
        out->y = (m[2] - m[6]) * f;
        out->z = (m[3] - m[1]) * f;
        return;
    }
    // Largest diagonal element; ties keep the lower index.
    static const int next[3] = {1, 2, 0};
    int i = 0;
    if (m[4] > m[0])
        i = 1;
    if (m[8] > m[4 * i])
        i = 2;
    const int j = next[i];
    const int k = next[j];
    const float s = float(std::sqrt(double(m[4 * i] - (m[4 * j] + m[4 * k]) + 1.0f)));
    set_component(out, i, 0.5f * s);
    const float f = 0.5f / s;
    out->w = (m[3 * k + j] - m[3 * j + k]) * f;
    set_component(out, j, (m[3 * i + j] + m[3 * j + i]) * f);
    set_component(out, k, (m[3 * i + k] + m[3 * k + i]) * f);
}

void Quat_Slerp(const Quaternion *from, const Quaternion *to, float t, Quaternion *out) {
    float d = from->x * to->x + from->y * to->y + from->z * to->z + from->w * to->w;
    // The shorter way round: blend towards -to when the two point apart.
    Quaternion target = *to;
    if (d < 0.0f) {
        d = -d;
        target.x = -to->x;
        target.y = -to->y;
        target.z = -to->z;
        target.w = -to->w;
    }
    float scale0;
    float scale1;
    if (1.0f - d > 0.1f) {
        // The double-precision functions on widened arguments: the float
        // overloads differ in the last bits for some blends.
        const float omega = float(std::acos(double(d)));
        const float sinom = float(std::sin(double(omega)));
        scale0 = float(std::sin(double((1.0f - t) * omega))) / sinom;
        scale1 = float(std::sin(double(t * omega))) / sinom;
    } else {
        // Close together: a linear blend, which also keeps acos in range.
        scale0 = 1.0f - t;
        scale1 = t;
    }
    const Quaternion a = *from;   // out may alias from
    out->x = scale0 * a.x + scale1 * target.x;
    out->y = scale0 * a.y + scale1 * target.y;
    out->z = scale0 * a.z + scale1 * target.z;
    out->w = scale0 * a.w + scale1 * target.w;
}

void Quat_ToMatrix(float *out, const Quaternion *q) {
    const float x2 = 2.0f * q->x;
    const float y2 = 2.0f * q->y;
    const float z2 = 2.0f * q->z;
    const float xx = q->x * x2, xy = q->x * y2, xz = q->x * z2;
    const float yy = q->y * y2, yz = q->y * z2, zz = q->z * z2;
    const float wx = q->w * x2, wy = q->w * y2, wz = q->w * z2;
    // Column by column: out[3c + r] is row r, column c of the rotation.
    out[0] = 1.0f - (yy + zz);
    out[1] = xy + wz;
    out[2] = xz - wy;
    out[3] = xy - wz;
    out[4] = 1.0f - (xx + zz);
    out[5] = yz + wx;
    out[6] = xz + wy;
    out[7] = yz - wx;
    out[8] = 1.0f - (xx + yy);
}
