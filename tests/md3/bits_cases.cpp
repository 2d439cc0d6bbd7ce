#include "bits_cases.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "blend.h"
#include "quat.h"

namespace {

uint32_t bits(float value) {
    uint32_t b;
    std::memcpy(&b, &value, sizeof b);
    return b;
}

std::string compare(const char *what, int index, const float *got, const float *want, int count) {
    const std::string fault = BitsCases_SameFloats(got, want, count);
    return fault.empty() ? fault : what + (" case " + std::to_string(index)) + ", " + fault;
}

std::string compare_quat(const char *what, int index, const Quaternion &got, const float want[4]) {
    const float g[4] = {got.x, got.y, got.z, got.w};
    return compare(what, index, g, want, 4);
}

const float r = 0x1.6a09e6p-1f;   // float(sqrt(2)) / 2

struct FromMatrixCase {
    float m[9];
    float want[4];   // x, y, z, w
};

const FromMatrixCase from_matrix_cases[] = {
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

struct ToMatrixCase {
    Quaternion q;
    float want[9];
};

const ToMatrixCase to_matrix_cases[] = {
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

struct SlerpCase {
    Quaternion from, to;
    float t;
    float want[4];
};

const Quaternion unit = {0, 0, 0, 1}, x_turn = {0.6f, 0, 0, 0.8f}, x_away = {-0.6f, 0, 0, -0.8f};
const Quaternion sixty = {0x1.bb67b0p-1f, 0, 0, 0x1.fffffep-2f};   // d = 0.5 with unit
const Quaternion q = {0.5f, 0.5f, 0.5f, 0.5f}, minus_q = {-0.5f, -0.5f, -0.5f, -0.5f};

const SlerpCase slerp_cases[] = {
    {unit, x_turn, 0.0f, {0, 0, 0, 1}},
    {unit, x_turn, 1.0f, {0.6f, 0, 0, 0.8f}},
    {unit, x_away, 1.0f, {0.6f, 0, 0, 0.8f}},   // d < 0: towards -to
    {unit, x_turn, 0.3f, {0x1.88ea78p-3f, 0, 0, 0x1.f67d28p-1f}},
    // Orthogonal: omega = pi / 2, weights 0.7071 each.
    {unit, {1, 0, 0, 0}, 0.5f, {r, 0, 0, r}},
    // The float overloads of acos and sin give w = 0x1.4060bep-3 here.
    {unit, {1, 0, 0, 0}, 0.9f, {0x1.f9b24ap-1f, 0, 0, 0x1.4060bcp-3f}},
    // d = -1 becomes 1 with to negated: linear, from for every t.
    {q, minus_q, 0.3f, {0.5f, 0.5f, 0.5f, 0.5f}},
    {q, q, 1.5f, {0.5f, 0.5f, 0.5f, 0.5f}},
    // Beyond the ends the spherical weights extrapolate along the arc.
    {unit, sixty, 2.0f, {0x1.bb67aep-1f, 0, 0, -0x1.000002p-1f}},
    {unit, sixty, -1.0f, {-0x1.bb67b0p-1f, 0, 0, 0x1.fffffep-2f}},
    // Blends of general unit quaternions where the float overloads differ
    // in the last bits of some components.
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

struct VertexBlendCase {
    Md3Vertex a, b;
    float fraction;
    float position[3], normal[3];
};

// Full-range positions and normals far apart, inside and beyond the frames.
const VertexBlendCase vertex_blends[] = {
    {{-1234, 567, 8910, {37, 201}}, {2345, -32768, 32767, {129, 3}}, 0x1.a6449ep-4f,
     {-0x1.b083f6p+3f, -0x1.66b322p+5f, 0x1.634bep+7f}, {0x1.51883ep-3f, -0x1.60bfaep-1f, 0x1.c8fdbep-2f}},
    {{32767, -32768, -7, {250, 17}}, {-32768, 32767, 4095, {3, 99}}, 0x1.666666p-1f,
     {-0x1.999bfep+7f, 0x1.9993fep+7f, 0x1.660cccp+5f}, {-0x1.2bc9ccp-4f, 0x1.2d19aep-6f, 0x1.fdda8ap-1f}},
    {{101, -2021, 333, {64, 0}}, {-77, 19, -4444, {191, 128}}, 2.0f,
     {-0x1.fep+1f, 0x1.016p+5f, -0x1.2028p+7f}, {0x1.ffe9a8p-1f, 0x1.90a224p-6f, -0x1.a8f2fcp-8f}},
    {{5, 6, 7, {12, 240}}, {-5000, 6000, -7000, {200, 60}}, -0x1.333334p-2f,
     {0x1.78ap+4f, -0x1.c00ccep+4f, 0x1.07a334p+5f}, {0x1.855f32p-2f, 0x1.3d439p-3f, 0x1.2df08ep+0f}},
};

const TagBlendCase tag_blends[] = {
    // Half way round a spherical blend (90 degrees apart).
    {from_matrix_cases[0].m, {10, 20, 30}, from_matrix_cases[1].m, {30, 0, -10}, 0.46f,
     {0x1.800e8ep-1f, -0x1.52977ap-1f, 0, 0, 0x1.52977ap-1f, 0x1.800e8ep-1f, 0, 0, 0, 0, 1, 0, 0x1.333334p+4f,
      0x1.59999ap+3f, 0x1.733334p+3f, 1}},
    // Two of the 150-degree turns, origins that round in every operation.
    {from_matrix_cases[9].m, {-0x1.8ae148p+3f, 0x1.c5999ap+5f, 0x1.0624dep-10f}, from_matrix_cases[10].m,
     {0x1.8b0a3ep+6f, -0x1.5ba786p+2f, 0x1.34ap+10f}, 0x1.333334p-2f,
     {-0x1.f5672p-4f, 0x1.f435b8p-1f, 0x1.65e70ep-3f, 0, 0x1.79a544p-1f, 0x1.a8b0ap-3f, -0x1.490584p-1f, 0,
      -0x1.53ffd6p-1f, 0x1.9b843p-5f, -0x1.7df238p-1f, 0, 0x1.4fd70cp+4f, 0x1.307ba4p+5f, 0x1.7259cap+8f, 1}},
    // From the identity to the general turn, beyond the second frame.
    {from_matrix_cases[0].m, {0x1.99999ap-4f, 0x1.99999ap-3f, 0x1.333334p-2f}, from_matrix_cases[12].m,
     {-0x1.666666p-1f, 0x1.0624dep-10f, 0x1.a66666p+1f}, 0x1.b33334p+0f,
     {0x1.d1cp-9f, -0x1.e8ce6cp-3f, 0x1.f1331p-1f, 0, 0x1.f80aa4p-1f, 0x1.5eeefp-3f, 0x1.3b804p-5f, 0,
      -0x1.679d2cp-3f, 0x1.e966b4p-1f, 0x1.e274cp-3f, 0, -0x1.428f5cp+0f, -0x1.1b3d0ap-3f, 0x1.59999cp+2f, 1}},
};

struct NormalEntry {
    int index;
    float want[3];
};

const NormalEntry normal_entries[] = {
    {0, {0x0p+0f, 0x0p+0f, 0x1p+0f}},
    {256, {0x1.93a5e8p-6f, 0x0p+0f, 0x1.ffd838p-1f}},   // 0.024636723, 0, 0.99969649
    {16384, {0x1.fffd8cp-1f, 0x0p+0f, -0x1.90a618p-8f}},   // row 64 misses the equator
    {16448, {-0x1.90a42ep-8f, 0x1.fffb1ap-1f, -0x1.90a618p-8f}},
    {65535, {-0x1.84d02p-13f, 0x1.2743c8p-25f, 0x1p+0f}},
    // The first byte picks the row: swapping the bytes picks another entry.
    {1, {0x0p+0f, 0x0p+0f, 0x1p+0f}},
    {64, {-0x0p+0f, 0x0p+0f, 0x1p+0f}},   // cos(64 step) < 0 times sin(0)
};

}  // namespace

std::string BitsCases_SameFloats(const float *got, const float *want, int count) {
    for (int i = 0; i < count; ++i)
        if (bits(got[i]) != bits(want[i])) {
            char text[96];
            std::snprintf(text, sizeof text, "element %d: got %a, want %a", i, double(got[i]), double(want[i]));
            return text;
        }
    return "";
}

const TagBlendCase &BitsCases_QuarterTurn() {
    return tag_blends[0];
}

int BitsCases_FillNormalTable() {
    Md3Header header = {};
    std::memcpy(header.ident, md3_ident, sizeof header.ident);
    header.version = md3_version;
    header.ofs_frames = header.ofs_tags = header.ofs_surfaces = header.ofs_end = int32_t(sizeof header);
    Md3Model model = {};
    const int read = MD3_Read(&header, sizeof header, &model);
    MD3_Free(&model);
    return read;
}

std::string BitsCases_CheckNormalTable() {
    std::string fault;
    for (size_t i = 0; i < std::size(normal_entries) && fault.empty(); ++i) {
        const NormalEntry &entry = normal_entries[i];
        fault = compare("normal table entry", entry.index, NormalTable[entry.index], entry.want, 3);
    }
    // Every entry: FNV-1a of the table's bytes.
    uint64_t hash = 0xcbf29ce484222325u;
    const uint8_t *byte = reinterpret_cast<const uint8_t *>(NormalTable);
    for (size_t i = 0; i < sizeof NormalTable; ++i)
        hash = (hash ^ byte[i]) * 0x100000001b3u;
    if (fault.empty() && hash != 0x35edb10386fd7960u)
        fault = "normal table: FNV-1a of the bytes differs";
    return fault;
}

std::string BitsCases_CheckRotations() {
    std::string fault;
    for (size_t i = 0; i < std::size(from_matrix_cases) && fault.empty(); ++i) {
        Quaternion got;
        Quat_FromMatrix(&got, from_matrix_cases[i].m);
        fault = compare_quat("Quat_FromMatrix", int(i), got, from_matrix_cases[i].want);
    }
    for (size_t i = 0; i < std::size(to_matrix_cases) && fault.empty(); ++i) {
        float got[9];
        Quat_ToMatrix(got, &to_matrix_cases[i].q);
        fault = compare("Quat_ToMatrix", int(i), got, to_matrix_cases[i].want, 9);
    }
    for (size_t i = 0; i < std::size(slerp_cases) && fault.empty(); ++i) {
        const SlerpCase &c = slerp_cases[i];
        Quaternion got;
        Quat_Slerp(&c.from, &c.to, c.t, &got);
        fault = compare_quat("Quat_Slerp", int(i), got, c.want);
    }
    return fault;
}

std::string BitsCases_CheckBlends() {
    std::string fault;
    for (size_t i = 0; i < std::size(vertex_blends) && fault.empty(); ++i) {
        const VertexBlendCase &c = vertex_blends[i];
        float got[6];
        Blend_Vertex(&c.a, &c.b, c.fraction, got, got + 3);
        fault = compare("Blend_Vertex position", int(i), got, c.position, 3);
        if (fault.empty())
            fault = compare("Blend_Vertex normal", int(i), got + 3, c.normal, 3);
    }
    for (size_t i = 0; i < std::size(tag_blends) && fault.empty(); ++i) {
        const TagBlendCase &c = tag_blends[i];
        Md3Tag a = {}, b = {};
        std::memcpy(a.axis, c.axis_a, sizeof a.axis);
        std::memcpy(a.origin, c.origin_a, sizeof a.origin);
        std::memcpy(b.axis, c.axis_b, sizeof b.axis);
        std::memcpy(b.origin, c.origin_b, sizeof b.origin);
        float got[16];
        Blend_Tag(&a, &b, c.fraction, got);
        fault = compare("Blend_Tag", int(i), got, c.placement, 16);
    }
    return fault;
}
