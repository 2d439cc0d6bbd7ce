// Quaternion conversions and blending. The values pinned bit for bit live in
// bits_cases.cpp, worked out from the formulas alone by
// tests/md3/quat_reference.py, which rounds every float operation to single
// precision and runs sqrt, acos and sin in double on widened arguments.
#include <gtest/gtest.h>

#include <cmath>

#include "bits_cases.h"
#include "viewer/quat.h"

namespace {

// Rotation by `angle` about a unit axis, row-major, acting on column vectors.
void AxisAngle(double ax, double ay, double az, double angle, float m[9]) {
    const double c = std::cos(angle), s = std::sin(angle), k = 1 - c;
    const double r[9] = {c + ax * ax * k, ax * ay * k - az * s, ax * az * k + ay * s,
                         ay * ax * k + az * s, c + ay * ay * k, ay * az * k - ax * s,
                         az * ax * k - ay * s, az * ay * k + ax * s, c + az * az * k};
    for (int i = 0; i < 9; ++i)
        m[i] = float(r[i]);
}

// Both branches and their ties, the rotation written column by column, and
// the spherical and linear blends, bit for bit (bits_cases.cpp).
TEST(Quat, PinnedResultsBitForBit) {
    EXPECT_EQ(BitsCases_CheckRotations(), "");
    // Blending towards -to never negates the caller's to in place.
    const Quaternion unit = {0, 0, 0, 1};
    Quaternion away = {-0.6f, 0, 0, -0.8f}, out;
    Quat_Slerp(&unit, &away, 0.5f, &out);
    EXPECT_EQ(away.x, -0.6f);
}

TEST(QuatToMatrix, RoundTripGivesTheTranspose) {
    const double axes[][4] = {{0, 0, 1, 0.4}, {0.6, 0.8, 0, 2.0}, {0.48, 0.6, 0.64, 3.1},
                              {-0.6, 0, 0.8, 1.7}, {1, 0, 0, M_PI}};
    for (const auto &c : axes) {
        float m[9], out[9];
        AxisAngle(c[0], c[1], c[2], c[3], m);
        Quaternion q;
        Quat_FromMatrix(&q, m);
        Quat_ToMatrix(out, &q);
        for (int r = 0; r < 3; ++r)
            for (int col = 0; col < 3; ++col)
                EXPECT_NEAR(out[3 * r + col], m[3 * col + r], 2e-6) << "angle " << c[3] << " at " << r << col;
    }
}

TEST(QuatSlerp, LinearAtTheThresholdSphericalAboveIt) {
    const Quaternion from = {0, 0, 0, 1};
    Quaternion out;
    // 1 - d is exact for floats near 0.9 and steps by 2^-24, which 0.1f is
    // no multiple of, so no float d meets it exactly. The first d whose
    // 1 - d is not above 0.1f blends linearly, the float below it
    // spherically.
    float d = 0.89f;
    while (1.0f - d > 0.1f)
        d = std::nextafter(d, 1.0f);
    ASSERT_LT(d, 0.91f);
    const Quaternion at = {std::sqrt(1 - d * d), 0, 0, d};
    Quat_Slerp(&from, &at, 0.5f, &out);
    const float got[4] = {out.x, out.y, out.z, out.w};
    const float linear[4] = {0.5f * at.x, 0, 0, 0.5f + 0.5f * d};   // length about 0.975
    EXPECT_EQ(BitsCases_SameFloats(got, linear, 4), "");
    const float below = std::nextafter(d, 0.0f);
    ASSERT_GT(1.0f - below, 0.1f);
    const Quaternion past = {std::sqrt(1 - below * below), 0, 0, below};
    Quat_Slerp(&from, &past, 0.5f, &out);
    EXPECT_NEAR(std::sqrt(out.x * out.x + out.w * out.w), 1.0f, 1e-6);
}

}  // namespace
