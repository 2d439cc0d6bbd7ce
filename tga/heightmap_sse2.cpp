// The height-map filter's SSE2 path, for every x86-64 processor: four
// texels a step in 128-bit vectors. As in the AVX2 path, every operation is
// the scalar reference's (heightmap.cpp) in its order and precision, so
// every byte is the scalar one. SSE2 has no byte shuffle: the texels are
// packed with shifts and masks.
#include <emmintrin.h>

#include <cstring>

#include "heightmap_simd.h"

static const float corner = 1.0f / 255.0f;
static const float side = 2.0f / 255.0f;

namespace {
struct Slopes4 {
    __m128 s, t, n;
};
}  // namespace

// Four heights from p on, as floats (exact).
static inline __m128 heights4(const uint8_t *p) {
    int32_t word;
    std::memcpy(&word, p, 4);
    const __m128i zero = _mm_setzero_si128();
    __m128i bytes = _mm_unpacklo_epi8(_mm_cvtsi32_si128(word), zero);
    return _mm_cvtepi32_ps(_mm_unpacklo_epi16(bytes, zero));
}

// float(1 / sqrt(double(q))) in each lane: two halves of two doubles.
static inline __m128 inverse_sqrt4(__m128 q) {
    const __m128d one = _mm_set1_pd(1.0);
    __m128d lo = _mm_cvtps_pd(q);
    __m128d hi = _mm_cvtps_pd(_mm_movehl_ps(q, q));
    __m128 n_lo = _mm_cvtpd_ps(_mm_div_pd(one, _mm_sqrt_pd(lo)));
    __m128 n_hi = _mm_cvtpd_ps(_mm_div_pd(one, _mm_sqrt_pd(hi)));
    return _mm_movelh_ps(n_lo, n_hi);
}

// The slopes of the four texels from column x on, x - 1 and x + 4 inside
// the rows.
static inline Slopes4 slopes4(const uint8_t *row_m, const uint8_t *row, const uint8_t *row_p, int x) {
    const __m128 k1 = _mm_set1_ps(corner), k2 = _mm_set1_ps(side);
    __m128 m_left = _mm_mul_ps(k1, heights4(row_m + x - 1));
    __m128 m_mid = _mm_mul_ps(k2, heights4(row_m + x));
    __m128 m_right = _mm_mul_ps(k1, heights4(row_m + x + 1));
    __m128 left = _mm_mul_ps(k2, heights4(row + x - 1));
    __m128 right = _mm_mul_ps(k2, heights4(row + x + 1));
    __m128 p_left = _mm_mul_ps(k1, heights4(row_p + x - 1));
    __m128 p_mid = _mm_mul_ps(k2, heights4(row_p + x));
    __m128 p_right = _mm_mul_ps(k1, heights4(row_p + x + 1));
    Slopes4 slopes;
    slopes.s = _mm_sub_ps(_mm_sub_ps(_mm_sub_ps(_mm_add_ps(_mm_add_ps(m_left, left), p_left), m_right), right),
                          p_right);
    slopes.t = _mm_sub_ps(_mm_sub_ps(_mm_sub_ps(_mm_add_ps(_mm_add_ps(p_left, p_mid), p_right), m_left), m_mid),
                          m_right);
    __m128 q = _mm_add_ps(_mm_add_ps(_mm_mul_ps(slopes.s, slopes.s), _mm_mul_ps(slopes.t, slopes.t)),
                          _mm_set1_ps(1.0f));
    slopes.n = inverse_sqrt4(q);
    return slopes;
}

// Truncated toward zero, then the low byte of each lane.
static inline __m128i low_bytes4(__m128 value) {
    return _mm_and_si128(_mm_cvttps_epi32(value), _mm_set1_epi32(0xFF));
}

static inline void dot3_step(const uint8_t *row_m, const uint8_t *row, const uint8_t *row_p, int x, uint8_t *out) {
    Slopes4 slopes = slopes4(row_m, row, row_p, x);
    const __m128 one = _mm_set1_ps(1.0f), half = _mm_set1_ps(127.5f);
    __m128i r = low_bytes4(_mm_mul_ps(_mm_add_ps(_mm_mul_ps(slopes.s, slopes.n), one), half));
    __m128i g = low_bytes4(_mm_mul_ps(_mm_add_ps(_mm_mul_ps(slopes.t, slopes.n), one), half));
    __m128i b = low_bytes4(_mm_mul_ps(_mm_add_ps(slopes.n, one), half));
    __m128i rgb = _mm_or_si128(_mm_or_si128(r, _mm_slli_epi32(g, 8)), _mm_slli_epi32(b, 16));
    // Texels 1 and 3 move down a byte onto the free top byte of texels 0
    // and 2: six bytes at the bottom of each 64-bit half; then the upper six
    // follow the lower six. 12 bytes, stored as 8 + 4.
    const __m128i even = _mm_set_epi32(0, 0x00FFFFFF, 0, 0x00FFFFFF);
    const __m128i odd = _mm_set_epi32(0x0000FFFF, static_cast<int>(0xFF000000u), 0x0000FFFF,
                                      static_cast<int>(0xFF000000u));
    __m128i pairs = _mm_or_si128(_mm_and_si128(rgb, even), _mm_and_si128(_mm_srli_epi64(rgb, 8), odd));
    __m128i packed = _mm_or_si128(_mm_move_epi64(pairs), _mm_slli_si128(_mm_srli_si128(pairs, 8), 6));
    _mm_storel_epi64(reinterpret_cast<__m128i *>(out), packed);
    int32_t tail = _mm_cvtsi128_si32(_mm_srli_si128(packed, 8));
    std::memcpy(out + 8, &tail, 4);
}

static inline void dudv_step(const uint8_t *row_m, const uint8_t *row, const uint8_t *row_p, int x, int8_t *out) {
    Slopes4 slopes = slopes4(row_m, row, row_p, x);
    const __m128 scale = _mm_set1_ps(127.0f);
    __m128i du = low_bytes4(_mm_mul_ps(_mm_mul_ps(slopes.s, slopes.n), scale));
    __m128i dv = low_bytes4(_mm_mul_ps(_mm_mul_ps(slopes.t, slopes.n), scale));
    // 0..255 a lane: the saturating packs keep the values. Bytes du0..du3,
    // dv0..dv3, then interleaved.
    __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(du, dv), _mm_setzero_si128());
    __m128i pairs = _mm_unpacklo_epi8(bytes, _mm_srli_si128(bytes, 4));
    _mm_storel_epi64(reinterpret_cast<__m128i *>(out), pairs);
}

// Steps of four over the interior 1 .. width - 2; a last step that would
// run past it starts four before its end instead, writing some texels a
// second time with the same bytes.
void HeightMapSse2_EncodeDOT3Row(const uint8_t *row_m, const uint8_t *row, const uint8_t *row_p, int width,
                                 uint8_t *out_row) {
    int last = width - 1 - heightmap_sse2_step;
    for (int x = 1; x < last; x += heightmap_sse2_step)
        dot3_step(row_m, row, row_p, x, out_row + 3 * x);
    dot3_step(row_m, row, row_p, last, out_row + 3 * last);
}

void HeightMapSse2_EncodeDUDVRow(const uint8_t *row_m, const uint8_t *row, const uint8_t *row_p, int width,
                                 int8_t *out_row) {
    int last = width - 1 - heightmap_sse2_step;
    for (int x = 1; x < last; x += heightmap_sse2_step)
        dudv_step(row_m, row, row_p, x, out_row + 2 * x);
    dudv_step(row_m, row, row_p, last, out_row + 2 * last);
}

void HeightMapSse2_InverseSqrt(const float *in, size_t count, float *out) {
    size_t i = 0;
    for (; i + 4 <= count; i += 4)
        _mm_storeu_ps(out + i, inverse_sqrt4(_mm_loadu_ps(in + i)));
    for (; i < count; ++i) {
        __m128d q = _mm_cvtss_sd(_mm_setzero_pd(), _mm_set_ss(in[i]));
        __m128d n = _mm_div_sd(_mm_set1_pd(1.0), _mm_sqrt_sd(q, q));
        out[i] = _mm_cvtss_f32(_mm_cvtsd_ss(_mm_setzero_ps(), n));
    }
}
