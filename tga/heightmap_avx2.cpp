// The height-map filter's AVX2 path: eight texels a step in 256-bit vectors.
// Every operation is the scalar reference's (heightmap.cpp), in its order and
// precision: products rounded before they are summed (this file is built
// with AVX2 but without FMA, and with contraction off), the six terms left to
// right, the square root and the division in double precision, truncation
// toward zero and the low byte. So every byte is the scalar one.
//
// Only intrinsics and file-local functions here: an inline function shared
// with other files and compiled here could be picked by the linker for them
// and run AVX2 code on processors without it.
#include <immintrin.h>

#include "heightmap_simd.h"

static const float corner = 1.0f / 255.0f;
static const float side = 2.0f / 255.0f;

namespace {
struct Slopes8 {
    __m256 s, t, n;
};
}  // namespace

// Eight heights from p on, as floats (exact).
static inline __m256 heights8(const uint8_t *p) {
    __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(p));
    return _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(bytes));
}

// float(1 / sqrt(double(q))) in each lane: two halves of four doubles.
static inline __m256 inverse_sqrt8(__m256 q) {
    const __m256d one = _mm256_set1_pd(1.0);
    __m256d lo = _mm256_cvtps_pd(_mm256_castps256_ps128(q));
    __m256d hi = _mm256_cvtps_pd(_mm256_extractf128_ps(q, 1));
    __m128 n_lo = _mm256_cvtpd_ps(_mm256_div_pd(one, _mm256_sqrt_pd(lo)));
    __m128 n_hi = _mm256_cvtpd_ps(_mm256_div_pd(one, _mm256_sqrt_pd(hi)));
    return _mm256_insertf128_ps(_mm256_castps128_ps256(n_lo), n_hi, 1);
}

// The slopes of the eight texels from column x on, x - 1 and x + 8 inside
// the rows.
static inline Slopes8 slopes8(const uint8_t *row_m, const uint8_t *row, const uint8_t *row_p, int x) {
    const __m256 k1 = _mm256_set1_ps(corner), k2 = _mm256_set1_ps(side);
    __m256 m_left = _mm256_mul_ps(k1, heights8(row_m + x - 1));
    __m256 m_mid = _mm256_mul_ps(k2, heights8(row_m + x));
    __m256 m_right = _mm256_mul_ps(k1, heights8(row_m + x + 1));
    __m256 left = _mm256_mul_ps(k2, heights8(row + x - 1));
    __m256 right = _mm256_mul_ps(k2, heights8(row + x + 1));
    __m256 p_left = _mm256_mul_ps(k1, heights8(row_p + x - 1));
    __m256 p_mid = _mm256_mul_ps(k2, heights8(row_p + x));
    __m256 p_right = _mm256_mul_ps(k1, heights8(row_p + x + 1));
    Slopes8 slopes;
    slopes.s = _mm256_sub_ps(
        _mm256_sub_ps(_mm256_sub_ps(_mm256_add_ps(_mm256_add_ps(m_left, left), p_left), m_right), right), p_right);
    slopes.t = _mm256_sub_ps(
        _mm256_sub_ps(_mm256_sub_ps(_mm256_add_ps(_mm256_add_ps(p_left, p_mid), p_right), m_left), m_mid),
        m_right);
    __m256 q = _mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(slopes.s, slopes.s), _mm256_mul_ps(slopes.t, slopes.t)),
                             _mm256_set1_ps(1.0f));
    slopes.n = inverse_sqrt8(q);
    return slopes;
}

// Truncated toward zero, then the low byte of each lane.
static inline __m256i low_bytes8(__m256 value) {
    return _mm256_and_si256(_mm256_cvttps_epi32(value), _mm256_set1_epi32(0xFF));
}

static inline void dot3_step(const uint8_t *row_m, const uint8_t *row, const uint8_t *row_p, int x, uint8_t *out) {
    Slopes8 slopes = slopes8(row_m, row, row_p, x);
    const __m256 one = _mm256_set1_ps(1.0f), half = _mm256_set1_ps(127.5f);
    __m256i r = low_bytes8(_mm256_mul_ps(_mm256_add_ps(_mm256_mul_ps(slopes.s, slopes.n), one), half));
    __m256i g = low_bytes8(_mm256_mul_ps(_mm256_add_ps(_mm256_mul_ps(slopes.t, slopes.n), one), half));
    __m256i b = low_bytes8(_mm256_mul_ps(_mm256_add_ps(slopes.n, one), half));
    __m256i rgb = _mm256_or_si256(_mm256_or_si256(r, _mm256_slli_epi32(g, 8)), _mm256_slli_epi32(b, 16));
    // R,G,B of each lane's four texels to its low 12 bytes, then the two
    // halves together: 24 bytes, stored as 16 + 8.
    const __m256i pack = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1,
                                          0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    __m256i packed = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(rgb, pack),
                                                 _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(out), _mm256_castsi256_si128(packed));
    _mm_storel_epi64(reinterpret_cast<__m128i *>(out + 16), _mm256_extracti128_si256(packed, 1));
}

static inline void dudv_step(const uint8_t *row_m, const uint8_t *row, const uint8_t *row_p, int x, int8_t *out) {
    Slopes8 slopes = slopes8(row_m, row, row_p, x);
    const __m256 scale = _mm256_set1_ps(127.0f);
    __m256i du = low_bytes8(_mm256_mul_ps(_mm256_mul_ps(slopes.s, slopes.n), scale));
    __m256i dv = low_bytes8(_mm256_mul_ps(_mm256_mul_ps(slopes.t, slopes.n), scale));
    __m256i pairs = _mm256_or_si256(du, _mm256_slli_epi32(dv, 8));
    // Sixteen bits a lane, 0..65535: the unsigned pack keeps them.
    __m128i packed = _mm_packus_epi32(_mm256_castsi256_si128(pairs), _mm256_extracti128_si256(pairs, 1));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(out), packed);
}

// Steps of eight over the interior 1 .. width - 2; a last step that would
// run past it starts eight before its end instead, writing some texels a
// second time with the same bytes.
void HeightMapAvx2_EncodeDOT3Row(const uint8_t *row_m, const uint8_t *row, const uint8_t *row_p, int width,
                                 uint8_t *out_row) {
    int last = width - 1 - heightmap_avx2_step;
    for (int x = 1; x < last; x += heightmap_avx2_step)
        dot3_step(row_m, row, row_p, x, out_row + 3 * x);
    dot3_step(row_m, row, row_p, last, out_row + 3 * last);
}

void HeightMapAvx2_EncodeDUDVRow(const uint8_t *row_m, const uint8_t *row, const uint8_t *row_p, int width,
                                 int8_t *out_row) {
    int last = width - 1 - heightmap_avx2_step;
    for (int x = 1; x < last; x += heightmap_avx2_step)
        dudv_step(row_m, row, row_p, x, out_row + 2 * x);
    dudv_step(row_m, row, row_p, last, out_row + 2 * last);
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
