// Blends between frames, kept apart from the GL calls so that the Windows
// builds can check their bits.
#include "blend.h"

#include "quat.h"

namespace {

// a + f * (b - a) in double from float inputs.
float blend(float a, float b, float f) {
    return float(double(a) + double(f) * (double(b) - double(a)));
}

}  // namespace

void Blend_Vertex(const Md3Vertex *a, const Md3Vertex *b, float fraction, float position[3], float normal[3]) {
    const float *normal_a = NormalTable[a->normal[0] * 256 + a->normal[1]];
    const float *normal_b = NormalTable[b->normal[0] * 256 + b->normal[1]];
    for (int c = 0; c < 3; ++c)
        normal[c] = blend(normal_a[c], normal_b[c], fraction);
    position[0] = blend(a->x * md3_position_scale, b->x * md3_position_scale, fraction);
    position[1] = blend(a->y * md3_position_scale, b->y * md3_position_scale, fraction);
    position[2] = blend(a->z * md3_position_scale, b->z * md3_position_scale, fraction);
}

void Blend_Tag(const Md3Tag *a, const Md3Tag *b, float fraction, float placement[16]) {
    Quaternion qa, qb, q;
    Quat_FromMatrix(&qa, a->axis);
    Quat_FromMatrix(&qb, b->axis);
    Quat_Slerp(&qa, &qb, fraction, &q);
    float m[9];
    Quat_ToMatrix(m, &q);
    for (int c = 0; c < 3; ++c) {
        placement[4 * c] = m[c];
        placement[4 * c + 1] = m[3 + c];
        placement[4 * c + 2] = m[6 + c];
        placement[4 * c + 3] = 0.0f;
        placement[12 + c] = a->origin[c] + (b->origin[c] - a->origin[c]) * fraction;
    }
    placement[15] = 1.0f;
}
