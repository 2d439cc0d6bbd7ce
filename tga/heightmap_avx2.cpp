// The height-map filter's AVX2 path: eight texels a step in 256-bit vectors,
// walked as heightmap_walk.h describes. Every operation is the scalar
// reference's (heightmap.cpp), in its order and precision: products rounded
// before they are summed (this file is built with AVX2 but without FMA, and
// with contraction off), the six terms left to right, the square root and
// the division in double precision, truncation toward zero and the low
// byte. So every byte is the scalar one.
//
// Only intrinsics and internal functions here: an inline function shared
// with other files and compiled here could be picked by the linker for them
// and run AVX2 code on processors without it. Loads and stores are the
// unaligned forms: MinGW does not align the stack to 32 bytes.
#include <immintrin.h>

#include "heightmap_simd.h"
#include "heightmap_walk.h"

namespace {

// float(1 / sqrt(double(q))) in each lane: two halves of four doubles.
inline __m256 inverse_sqrt8(__m256 q) {
    const __m256d one = _mm256_set1_pd(1.0);
    __m256d lo = _mm256_cvtps_pd(_mm256_castps256_ps128(q));
    __m256d hi = _mm256_cvtps_pd(_mm256_extractf128_ps(q, 1));
    __m128 n_lo = _mm256_cvtpd_ps(_mm256_div_pd(one, _mm256_sqrt_pd(lo)));
    __m128 n_hi = _mm256_cvtpd_ps(_mm256_div_pd(one, _mm256_sqrt_pd(hi)));
    return _mm256_insertf128_ps(_mm256_castps128_ps256(n_lo), n_hi, 1);
}

struct Avx2 {
    static const int lanes = heightmap_avx2_step;

    static void weigh(const uint8_t *bytes, float *corner_out, float *side_out) {
        __m128i eight = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(bytes));
        __m256 heights = _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(eight));
        _mm256_storeu_ps(corner_out, _mm256_mul_ps(_mm256_set1_ps(heightmap_corner), heights));
        _mm256_storeu_ps(side_out, _mm256_mul_ps(_mm256_set1_ps(heightmap_side), heights));
    }

    static void sums(const float *m_corner, const float *m_side, const float *r_side, const float *p_corner,
                     const float *p_side, int x, float *s_out, float *t_out, float *q_out) {
        __m256 m_left = _mm256_loadu_ps(m_corner + x - 1);
        __m256 m_mid = _mm256_loadu_ps(m_side + x);
        __m256 m_right = _mm256_loadu_ps(m_corner + x + 1);
        __m256 p_left = _mm256_loadu_ps(p_corner + x - 1);
        __m256 p_mid = _mm256_loadu_ps(p_side + x);
        __m256 p_right = _mm256_loadu_ps(p_corner + x + 1);
        __m256 s = _mm256_add_ps(m_left, _mm256_loadu_ps(r_side + x - 1));
        s = _mm256_sub_ps(_mm256_sub_ps(_mm256_add_ps(s, p_left), m_right), _mm256_loadu_ps(r_side + x + 1));
        s = _mm256_sub_ps(s, p_right);
        __m256 t = _mm256_add_ps(_mm256_add_ps(p_left, p_mid), p_right);
        t = _mm256_sub_ps(_mm256_sub_ps(_mm256_sub_ps(t, m_left), m_mid), m_right);
        __m256 q = _mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(s, s), _mm256_mul_ps(t, t)), _mm256_set1_ps(1.0f));
        _mm256_storeu_ps(s_out, s);
        _mm256_storeu_ps(t_out, t);
        _mm256_storeu_ps(q_out, q);
    }

    static void inverse_sqrt(float *q) {
        _mm256_storeu_ps(q, inverse_sqrt8(_mm256_loadu_ps(q)));
    }
};

// DOT3 bytes: s*n and t*n lie within -1..1 and n within 0..1, so each
// truncated value is already a byte (0..255) and the three shift into one
// 32-bit lane without overlap. Each 128-bit half packs its four texels
// into its low 12 bytes; stored as two 16-byte stores, the second over the
// first's four spare bytes, it leaves four spare bytes after the step,
// which the next step overwrites; an exact store ends at the step.
void dot3_store(const float *s_in, const float *t_in, const float *n_in, uint8_t *out, bool exact) {
    const __m256 one = _mm256_set1_ps(1.0f), half = _mm256_set1_ps(127.5f);
    __m256 s = _mm256_loadu_ps(s_in), t = _mm256_loadu_ps(t_in), n = _mm256_loadu_ps(n_in);
    __m256i r = _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_add_ps(_mm256_mul_ps(s, n), one), half));
    __m256i g = _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_add_ps(_mm256_mul_ps(t, n), one), half));
    __m256i b = _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_add_ps(n, one), half));
    __m256i rgb = _mm256_or_si256(_mm256_or_si256(r, _mm256_slli_epi32(g, 8)), _mm256_slli_epi32(b, 16));
    const __m256i pack = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1,
                                          0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    __m256i packed = _mm256_shuffle_epi8(rgb, pack);
    __m128i high = _mm256_extracti128_si256(packed, 1);
    _mm_storeu_si128(reinterpret_cast<__m128i *>(out), _mm256_castsi256_si128(packed));
    if (exact) {
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out + 12), high);
        _mm_storeu_si32(out + 20, _mm_srli_si128(high, 8));
    } else {
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + 12), high);
    }
}

// du/dv bytes: truncated, then the low byte of each (negative values too).
void dudv_store(const float *s_in, const float *t_in, const float *n_in, int8_t *out, bool) {
    const __m256 scale = _mm256_set1_ps(127.0f);
    const __m256i low_byte = _mm256_set1_epi32(0xFF);
    __m256 s = _mm256_loadu_ps(s_in), t = _mm256_loadu_ps(t_in), n = _mm256_loadu_ps(n_in);
    __m256i du = _mm256_and_si256(_mm256_cvttps_epi32(_mm256_mul_ps(_mm256_mul_ps(s, n), scale)), low_byte);
    __m256i dv = _mm256_and_si256(_mm256_cvttps_epi32(_mm256_mul_ps(_mm256_mul_ps(t, n), scale)), low_byte);
    // du | dv << 8 in 0..65535 a lane: the unsigned pack keeps it.
    __m256i pairs = _mm256_or_si256(du, _mm256_slli_epi32(dv, 8));
    __m128i packed = _mm_packus_epi32(_mm256_castsi256_si128(pairs), _mm256_extracti128_si256(pairs, 1));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(out), packed);
}

}  // namespace

int HeightMapAvx2_EncodeDOT3Interior(const uint8_t *heights, int width, int height, uint8_t *out) {
    return walk_map<Avx2>(heights, width, height, out, 3,
                          [](const float *s, const float *t, const float *n, uint8_t *texels, bool exact) {
                              dot3_store(s, t, n, texels, exact);
                          });
}

int HeightMapAvx2_EncodeDUDVInterior(const uint8_t *heights, int width, int height, int8_t *out) {
    return walk_map<Avx2>(heights, width, height, out, 2,
                          [](const float *s, const float *t, const float *n, int8_t *texels, bool exact) {
                              dudv_store(s, t, n, texels, exact);
                          });
}

void HeightMapAvx2_InverseSqrt(const float *in, size_t count, float *out) {
    size_t i = 0;
    for (; i + 8 <= count; i += 8)
        _mm256_storeu_ps(out + i, inverse_sqrt8(_mm256_loadu_ps(in + i)));
    for (; i < count; ++i) {
        __m128d q = _mm_cvtss_sd(_mm_setzero_pd(), _mm_set_ss(in[i]));
        __m128d n = _mm_div_sd(_mm_set_sd(1.0), _mm_sqrt_sd(q, q));
        out[i] = _mm_cvtss_f32(_mm_cvtsd_ss(_mm_setzero_ps(), n));
    }
}
