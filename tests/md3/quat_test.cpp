// Quaternion conversions and blending.
#include <gtest/gtest.h>

#include <cmath>

#include "viewer/quat.h"

namespace {

void ExpectQuat(const Quaternion &q, float x, float y, float z, float w, float tolerance = 1e-6f) {
    EXPECT_NEAR(q.x, x, tolerance);
    EXPECT_NEAR(q.y, y, tolerance);
    EXPECT_NEAR(q.z, z, tolerance);
    EXPECT_NEAR(q.w, w, tolerance);
}

Quaternion FromMatrix(std::initializer_list<float> rows) {
    Quaternion q;
    Quat_FromMatrix(&q, rows.begin());
    return q;
}

// Rotation by `angle` about a unit axis, row-major, acting on column vectors.
void AxisAngle(double ax, double ay, double az, double angle, float m[9]) {
    const double c = std::cos(angle), s = std::sin(angle), k = 1 - c;
    const double r[9] = {c + ax * ax * k, ax * ay * k - az * s, ax * az * k + ay * s,
                         ay * ax * k + az * s, c + ay * ay * k, ay * az * k - ax * s,
                         az * ax * k - ay * s, az * ay * k + ax * s, c + az * az * k};
    for (int i = 0; i < 9; ++i)
        m[i] = float(r[i]);
}

float Length(const Quaternion &q) {
    return std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
}

TEST(QuatFromMatrix, CoversBothBranchesAndTheirTies) {
    ExpectQuat(FromMatrix({1, 0, 0, 0, 1, 0, 0, 0, 1}), 0, 0, 0, 1);
    // A quarter turn about +z (trace 1) keeps the sign convention of R.
    ExpectQuat(FromMatrix({0, -1, 0, 1, 0, 0, 0, 0, 1}), 0, 0, 0.70710678f, 0.70710678f);
    // Trace exactly 0, all diagonal elements tied: i = 0, s = 1.
    ExpectQuat(FromMatrix({0, 0, 1, 1, 0, 0, 0, 1, 0}), 0.5f, 0.5f, 0.5f, 0.5f);
    ExpectQuat(FromMatrix({1, 0, 0, 0, -1, 0, 0, 0, -1}), 1, 0, 0, 0);
    ExpectQuat(FromMatrix({-1, 0, 0, 0, 1, 0, 0, 0, -1}), 0, 1, 0, 0);
    ExpectQuat(FromMatrix({-1, 0, 0, 0, -1, 0, 0, 0, 1}), 0, 0, 1, 0);
    ExpectQuat(FromMatrix({0, 1, 0, 1, 0, 0, 0, 0, -1}), 0.70710678f, 0.70710678f, 0, 0);
    // Ties only show with a matrix that is no rotation: m0 = m4 keeps x.
    ExpectQuat(FromMatrix({0, 0, 0, 0, 0, 0, 0, 0, -1}), 0.70710678f, 0, 0, 0);
    ExpectQuat(FromMatrix({-1, 0, 0, 0, 0, 0, 0, 0, 0}), 0, 0.70710678f, 0, 0);
    // Turns of 150 degrees with each diagonal element the largest: the w
    // numerators of the diagonal branch follow the trace branch's signs.
    const double axes[3][3] = {{0.8, 0.6, 0}, {0, 0.8, -0.6}, {0.6, 0, 0.8}};
    for (const auto &axis : axes) {
        float m[9];
        const double angle = 150.0 * M_PI / 180.0;
        AxisAngle(axis[0], axis[1], axis[2], angle, m);
        ASSERT_LE(m[0] + m[4] + m[8], 0.0f);
        const float s = float(std::sin(angle / 2));
        ExpectQuat(FromMatrix({m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7], m[8]}),
                   float(axis[0]) * s, float(axis[1]) * s, float(axis[2]) * s, float(std::cos(angle / 2)), 1e-5f);
    }
}

TEST(QuatToMatrix, WritesTheRotationColumnByColumn) {
    float out[9];
    const Quaternion identity = {0, 0, 0, 1};
    Quat_ToMatrix(out, &identity);
    const float want_identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(out[i], want_identity[i]) << i;
    const Quaternion half_x = {1, 0, 0, 0};
    Quat_ToMatrix(out, &half_x);
    const float want_half[9] = {1, 0, 0, 0, -1, 0, 0, 0, -1};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(out[i], want_half[i]) << i;
    const float a = 0.3f;
    const Quaternion turn = {std::sin(a / 2), 0, 0, std::cos(a / 2)};
    Quat_ToMatrix(out, &turn);
    EXPECT_NEAR(out[4], std::cos(a), 1e-6);
    EXPECT_NEAR(out[8], std::cos(a), 1e-6);
    EXPECT_NEAR(out[5], std::sin(a), 1e-6);
    EXPECT_NEAR(out[7], -std::sin(a), 1e-6);
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

TEST(QuatSlerp, EndsEqualAndOppositeInputs) {
    const Quaternion from = {0, 0, 0, 1};
    const Quaternion to = {0.6f, 0, 0, 0.8f};   // d = 0.8: spherical
    Quaternion out;
    Quat_Slerp(&from, &to, 0.0f, &out);
    ExpectQuat(out, 0, 0, 0, 1);
    Quat_Slerp(&from, &to, 1.0f, &out);
    ExpectQuat(out, 0.6f, 0, 0, 0.8f);
    const Quaternion away = {-0.6f, 0, 0, -0.8f};   // d < 0: blends towards -away
    Quat_Slerp(&from, &away, 1.0f, &out);
    ExpectQuat(out, 0.6f, 0, 0, 0.8f);
    EXPECT_EQ(away.x, -0.6f);
    const Quaternion q = {0.5f, 0.5f, 0.5f, 0.5f};
    const Quaternion minus_q = {-0.5f, -0.5f, -0.5f, -0.5f};
    for (float t : {0.0f, 0.3f, 1.0f, 1.5f}) {
        Quat_Slerp(&q, &q, t, &out);
        ExpectQuat(out, 0.5f, 0.5f, 0.5f, 0.5f);
        Quat_Slerp(&q, &minus_q, t, &out);
        ExpectQuat(out, 0.5f, 0.5f, 0.5f, 0.5f);
    }
}

TEST(QuatSlerp, SphericalBeyondTheThresholdLinearAtIt) {
    const Quaternion from = {0, 0, 0, 1};
    Quaternion out;
    // Orthogonal: omega = pi / 2, weights 0.7071 each, unit result.
    const Quaternion orthogonal = {1, 0, 0, 0};
    Quat_Slerp(&from, &orthogonal, 0.5f, &out);
    ExpectQuat(out, 0.70710678f, 0, 0, 0.70710678f);
    // The threshold: 1 - d is exact for floats near 0.9 and steps by 2^-24,
    // which 0.1f is no multiple of, so no float d meets it exactly. The
    // first d whose 1 - d is not above 0.1f blends linearly, the float
    // below it spherically.
    float d = 0.89f;
    while (1.0f - d > 0.1f)
        d = std::nextafter(d, 1.0f);
    ASSERT_LT(d, 0.91f);
    const Quaternion at = {std::sqrt(1 - d * d), 0, 0, d};
    Quat_Slerp(&from, &at, 0.5f, &out);
    ExpectQuat(out, 0.5f * at.x, 0, 0, 0.5f * (1 + d));   // linear, length about 0.975
    EXPECT_LT(Length(out), 0.98f);
    const float below = std::nextafter(d, 0.0f);
    ASSERT_GT(1.0f - below, 0.1f);
    const Quaternion past = {std::sqrt(1 - below * below), 0, 0, below};
    Quat_Slerp(&from, &past, 0.5f, &out);
    EXPECT_NEAR(Length(out), 1.0f, 1e-5);
    // Beyond the ends the same formulas extrapolate along the arc.
    const Quaternion sixty = {std::sin(1.0471976f), 0, 0, std::cos(1.0471976f)};   // d = 0.5
    Quat_Slerp(&from, &sixty, 2.0f, &out);
    ExpectQuat(out, std::sin(2.0943951f), 0, 0, std::cos(2.0943951f), 1e-5f);
    Quat_Slerp(&from, &sixty, -1.0f, &out);
    ExpectQuat(out, -sixty.x, 0, 0, sixty.w, 1e-5f);
}

}  // namespace
