// Quaternion conversions and blending, bit for bit. The expected values were
// worked out from the formulas alone by tests/md3/quat_reference.py, which
// rounds every float operation to single precision and runs sqrt, acos and
// sin in double on widened arguments.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "viewer/quat.h"

namespace {

uint32_t Bits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

std::string Hex(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%a", double(value));
    return text;
}

// Equal bit patterns, printed as hex floats when they differ.
::testing::AssertionResult SameFloats(const float *got, const float *want, int count) {
    for (int i = 0; i < count; ++i)
        if (Bits(got[i]) != Bits(want[i]))
            return ::testing::AssertionFailure() << "element " << i << ": got " << Hex(got[i]) << ", want "
                                                 << Hex(want[i]);
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult SameQuat(const Quaternion &got, const Quaternion &want) {
    const float g[4] = {got.x, got.y, got.z, got.w}, w[4] = {want.x, want.y, want.z, want.w};
    return SameFloats(g, w, 4);
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

TEST(QuatFromMatrix, BothBranchesAndTheirTiesBitForBit) {
    const float r = 0x1.6a09e6p-1f;   // float(sqrt(2)) / 2
    const struct {
        float m[9];
        Quaternion want;
    } cases[] = {
        {{1, 0, 0, 0, 1, 0, 0, 0, 1}, {0, 0, 0, 1}},
        // A quarter turn about +z (trace 1) keeps the sign convention of R.
        {{0, -1, 0, 1, 0, 0, 0, 0, 1}, {0, 0, r, r}},
        // Trace exactly 0, all diagonal elements tied: i = 0, s = 1.
        {{0, 0, 1, 1, 0, 0, 0, 1, 0}, {0.5f, 0.5f, 0.5f, 0.5f}},
        {{1, 0, 0, 0, -1, 0, 0, 0, -1}, {1, 0, 0, 0}},
        {{-1, 0, 0, 0, 1, 0, 0, 0, -1}, {0, 1, 0, 0}},
        {{-1, 0, 0, 0, -1, 0, 0, 0, 1}, {0, 0, 1, 0}},
        // Half turn about (1, 1, 0) / sqrt(2): m0 ties m4 and x is kept.
        {{0, 1, 0, 1, 0, 0, 0, 0, -1}, {r, r, 0, 0}},
        // Ties of matrices that are no rotation: m0 = m4 keeps x, m4 = m8 keeps y.
        {{0, 0, 0, 0, 0, 0, 0, 0, -1}, {r, 0, 0, 0}},
        {{-1, 0, 0, 0, 0, 0, 0, 0, 0}, {0, r, 0, 0}},
        // Turns of 150 degrees about (0.8, 0.6, 0), (0, 0.8, -0.6) and
        // (0.6, 0, 0.8): each diagonal element the largest in turn, so the
        // w numerators of the diagonal branch show their signs.
        {{0x1.501bc0p-2f, 0x1.ca982ap-1f, 0x1.333334p-2f, 0x1.ca982ap-1f, -0x1.8dd63ap-3f, -0x1.99999ap-2f,
          -0x1.333334p-2f, 0x1.99999ap-2f, -0x1.bb67aep-1f},
         {0x1.8ba4aap-1f, 0x1.28bb80p-1f, 0, 0x1.0907dep-2f}},
        {{-0x1.bb67aep-1f, 0x1.333334p-2f, 0x1.99999ap-2f, -0x1.333334p-2f, 0x1.501bc0p-2f, -0x1.ca982ap-1f,
          -0x1.99999ap-2f, -0x1.ca982ap-1f, -0x1.8dd63ap-3f},
         {0, 0x1.8ba4aap-1f, -0x1.28bb80p-1f, 0x1.0907dep-2f}},
        {{-0x1.8dd63ap-3f, -0x1.99999ap-2f, 0x1.ca982ap-1f, 0x1.99999ap-2f, -0x1.bb67aep-1f, -0x1.333334p-2f,
          0x1.ca982ap-1f, 0x1.333334p-2f, 0x1.501bc0p-2f},
         {0x1.28bb80p-1f, 0, 0x1.8ba4aap-1f, 0x1.0907dep-2f}},
        // A general turn (1.1 rad about (0.48, 0.6, 0.64)): trace branch.
        {{0x1.28b298p-1f, -0x1.a6ebacp-2f, 0x1.67b886p-1f, 0x1.7499f2p-1f, 0x1.4cf452p-1f, -0x1.be620cp-3f,
          -0x1.77ac8cp-2f, 0x1.467354p-1f, 0x1.5ad496p-1f},
         {0x1.00e946p-2f, 0x1.412396p-2f, 0x1.568c5cp-2f, 0x1.b47e18p-1f}},
    };
    for (const auto &c : cases) {
        Quaternion q;
        Quat_FromMatrix(&q, c.m);
        EXPECT_TRUE(SameQuat(q, c.want)) << "matrix starting " << c.m[0] << ", " << c.m[1] << ", " << c.m[2];
    }
}

TEST(QuatToMatrix, WritesTheRotationColumnByColumnBitForBit) {
    const struct {
        Quaternion q;
        float want[9];
    } cases[] = {
        {{0, 0, 0, 1}, {1, 0, 0, 0, 1, 0, 0, 0, 1}},
        {{1, 0, 0, 0}, {1, 0, 0, 0, -1, 0, 0, 0, -1}},
        // (sin 0.15, 0, 0, cos 0.15): out4 = out8 = cos 0.3, out5 = sin 0.3 = -out7.
        {{0x1.320c9ep-3f, 0, 0, 0x1.fa4034p-1f},
         {1, 0, 0, 0, 0x1.e921dep-1f, 0x1.2e9cd8p-2f, 0, -0x1.2e9cd8p-2f, 0x1.e921dep-1f}},
        // Two radians about (0.48, 0.6, 0.64): every product takes part.
        {{0x1.9d998ep-2f, 0x1.027ff8p-1f, 0x1.13bbb4p-1f, 0x1.14a280p-1f},
         {-0x1.701800p-4f, 0x1.fac724p-1f, -0x1.c4c398p-4f, -0x1.648e90p-3f, 0x1.7fa7f0p-4f, 0x1.f5e50cp-1f,
          0x1.f613a8p-1f, 0x1.b7a7a0p-4f, 0x1.4fae70p-3f}},
    };
    for (const auto &c : cases) {
        float out[9];
        Quat_ToMatrix(out, &c.q);
        EXPECT_TRUE(SameFloats(out, c.want, 9)) << "quaternion " << c.q.x << ", " << c.q.y << ", " << c.q.z;
    }
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

TEST(QuatSlerp, BothBranchesBitForBit) {
    const Quaternion identity = {0, 0, 0, 1}, x_turn = {0.6f, 0, 0, 0.8f}, x_away = {-0.6f, 0, 0, -0.8f};
    const Quaternion sixty = {0x1.bb67b0p-1f, 0, 0, 0x1.fffffep-2f};   // d = 0.5 with identity
    const Quaternion q = {0.5f, 0.5f, 0.5f, 0.5f}, minus_q = {-0.5f, -0.5f, -0.5f, -0.5f};
    const float r = 0x1.6a09e6p-1f;
    const struct {
        Quaternion from, to;
        float t;
        Quaternion want;
    } cases[] = {
        {identity, x_turn, 0.0f, identity},
        {identity, x_turn, 1.0f, x_turn},
        {identity, x_away, 1.0f, x_turn},   // d < 0: towards -to
        {identity, x_turn, 0.3f, {0x1.88ea78p-3f, 0, 0, 0x1.f67d28p-1f}},
        // Orthogonal: omega = pi / 2, weights 0.7071 each.
        {identity, {1, 0, 0, 0}, 0.5f, {r, 0, 0, r}},
        // The float overloads of acos and sin give w = 0x1.4060bep-3 here.
        {identity, {1, 0, 0, 0}, 0.9f, {0x1.f9b24ap-1f, 0, 0, 0x1.4060bcp-3f}},
        // d = -1 becomes 1 with to negated: linear, from for every t.
        {q, minus_q, 0.3f, q},
        {q, q, 1.5f, q},
        // Beyond the ends the spherical weights extrapolate along the arc.
        {identity, sixty, 2.0f, {0x1.bb67aep-1f, 0, 0, -0x1.000002p-1f}},
        {identity, sixty, -1.0f, {-0x1.bb67b0p-1f, 0, 0, 0x1.fffffep-2f}},
        // Blends of general unit quaternions where the float overloads
        // differ in the last bits of some components.
        {{0x1.75bdb8p-1f, 0x1.a2f5fap-3f, 0x1.4c0aa4p-1f, -0x1.19a636p-4f},
         {-0x1.528ceep-3f, 0x1.0b691ap-3f, -0x1.f47620p-1f, -0x1.c288b2p-7f},
         0x1.8a8202p-1f,
         {0x1.43e2cep-2f, -0x1.b412eep-5f, 0x1.e4f03cp-1f, -0x1.9b848cp-8f}},
        {{-0x1.3ecc3ap-1f, -0x1.491572p-1f, 0x1.d2ebfcp-3f, -0x1.88e2d4p-2f},
         {-0x1.306a3ap-3f, 0x1.56ad34p-1f, -0x1.b198d4p-4f, 0x1.70c3c2p-1f},
         0x1.00e746p-2f,
         {-0x1.cf6058p-2f, -0x1.66cdfcp-1f, 0x1.b09298p-3f, -0x1.04d2cep-1f}},
        {{0x1.19eb84p-2f, -0x1.c0c29ap-1f, 0x1.47eb36p-3f, -0x1.71b0fcp-2f},
         {0x1.14fd34p-1f, -0x1.aa1146p-1f, 0x1.b02172p-4f, 0x1.f24378p-5f},
         0x1.dd19ecp-7f,
         {0x1.1e97d6p-2f, -0x1.c1448cp-1f, 0x1.46d740p-3f, -0x1.6bd30ap-2f}},
    };
    for (const auto &c : cases) {
        Quaternion out;
        Quat_Slerp(&c.from, &c.to, c.t, &out);
        EXPECT_TRUE(SameQuat(out, c.want)) << "t = " << Hex(c.t) << ", to.x = " << Hex(c.to.x);
    }
    // The caller's `to` is never negated in place.
    Quaternion out;
    Quat_Slerp(&identity, &x_away, 0.5f, &out);
    EXPECT_EQ(x_away.x, -0.6f);
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
    const Quaternion linear = {0.5f * at.x, 0, 0, 0.5f + 0.5f * d};   // length about 0.975
    EXPECT_TRUE(SameQuat(out, linear));
    const float below = std::nextafter(d, 0.0f);
    ASSERT_GT(1.0f - below, 0.1f);
    const Quaternion past = {std::sqrt(1 - below * below), 0, 0, below};
    Quat_Slerp(&from, &past, 0.5f, &out);
    EXPECT_NEAR(std::sqrt(out.x * out.x + out.w * out.w), 1.0f, 1e-6);
}

}  // namespace
