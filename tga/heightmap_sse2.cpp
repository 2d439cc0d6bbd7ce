// The height-map filter's SSE2 path, for every x86-64 processor and x86
// with SSE2: four texels a step in 128-bit vectors, walked as
// heightmap_walk.h describes. As in the AVX2 path, every operation is the
// scalar reference's (heightmap.cpp) in its order and precision, so every
// byte is the scalar one. SSE2 has no byte shuffle: the texels are packed
// with shifts and masks.
#include <emmintrin.h>

#include <cstring>

#include "heightmap_simd.h"
#include "heightmap_walk.h"

namespace {

// float(1 / sqrt(double(q))) in each lane: two halves of two doubles.
inline __m128 inverse_sqrt4(__m128 q) {
    const __m128d one = _mm_set1_pd(1.0);
    __m128d lo = _mm_cvtps_pd(q);
    __m128d hi = _mm_cvtps_pd(_mm_movehl_ps(q, q));
    __m128 n_lo = _mm_cvtpd_ps(_mm_div_pd(one, _mm_sqrt_pd(lo)));
    __m128 n_hi = _mm_cvtpd_ps(_mm_div_pd(one, _mm_sqrt_pd(hi)));
    return _mm_movelh_ps(n_lo, n_hi);
}

struct Sse2 {
    static const int lanes = heightmap_sse2_step;

    static void weigh(const uint8_t *bytes, float *corner_out, float *side_out) {
        int32_t four;
        std::memcpy(&four, bytes, 4);
        const __m128i zero = _mm_setzero_si128();
        __m128i words = _mm_unpacklo_epi8(_mm_cvtsi32_si128(four), zero);
        __m128 heights = _mm_cvtepi32_ps(_mm_unpacklo_epi16(words, zero));
        _mm_storeu_ps(corner_out, _mm_mul_ps(_mm_set1_ps(heightmap_corner), heights));
        _mm_storeu_ps(side_out, _mm_mul_ps(_mm_set1_ps(heightmap_side), heights));
    }

    static void sums(const float *m_corner, const float *m_side, const float *r_side, const float *p_corner,
                     const float *p_side, int x, float *s_out, float *t_out, float *q_out) {
        __m128 m_left = _mm_loadu_ps(m_corner + x - 1);
        __m128 m_mid = _mm_loadu_ps(m_side + x);
        __m128 m_right = _mm_loadu_ps(m_corner + x + 1);
        __m128 p_left = _mm_loadu_ps(p_corner + x - 1);
        __m128 p_mid = _mm_loadu_ps(p_side + x);
        __m128 p_right = _mm_loadu_ps(p_corner + x + 1);
        __m128 s = _mm_add_ps(m_left, _mm_loadu_ps(r_side + x - 1));
        s = _mm_sub_ps(_mm_sub_ps(_mm_add_ps(s, p_left), m_right), _mm_loadu_ps(r_side + x + 1));
        s = _mm_sub_ps(s, p_right);
        __m128 t = _mm_add_ps(_mm_add_ps(p_left, p_mid), p_right);
        t = _mm_sub_ps(_mm_sub_ps(_mm_sub_ps(t, m_left), m_mid), m_right);
        __m128 q = _mm_add_ps(_mm_add_ps(_mm_mul_ps(s, s), _mm_mul_ps(t, t)), _mm_set1_ps(1.0f));
        _mm_storeu_ps(s_out, s);
        _mm_storeu_ps(t_out, t);
        _mm_storeu_ps(q_out, q);
    }

    static void inverse_sqrt(float *q) {
        _mm_storeu_ps(q, inverse_sqrt4(_mm_loadu_ps(q)));
    }
};

// DOT3 bytes: each truncated value is already a byte (see the AVX2 path).
// Texels 1 and 3 move down a byte onto the free top byte of texels 0 and
// 2, giving six bytes at the bottom of each 64-bit half, and the upper six
// then follow the lower six: 12 bytes. The 16-byte store leaves four spare
// bytes after the step, which the next step overwrites; an exact store
// ends at the step.
void dot3_store(const float *s_in, const float *t_in, const float *n_in, uint8_t *out, bool exact) {
    const __m128 one = _mm_set1_ps(1.0f), half = _mm_set1_ps(127.5f);
    __m128 s = _mm_loadu_ps(s_in), t = _mm_loadu_ps(t_in), n = _mm_loadu_ps(n_in);
    __m128i r = _mm_cvttps_epi32(_mm_mul_ps(_mm_add_ps(_mm_mul_ps(s, n), one), half));
    __m128i g = _mm_cvttps_epi32(_mm_mul_ps(_mm_add_ps(_mm_mul_ps(t, n), one), half));
    __m128i b = _mm_cvttps_epi32(_mm_mul_ps(_mm_add_ps(n, one), half));
    __m128i rgb = _mm_or_si128(_mm_or_si128(r, _mm_slli_epi32(g, 8)), _mm_slli_epi32(b, 16));
    const __m128i even = _mm_set_epi32(0, 0x00FFFFFF, 0, 0x00FFFFFF);
    const __m128i odd = _mm_set_epi32(0x0000FFFF, static_cast<int>(0xFF000000u), 0x0000FFFF,
                                      static_cast<int>(0xFF000000u));
    __m128i pairs = _mm_or_si128(_mm_and_si128(rgb, even), _mm_and_si128(_mm_srli_epi64(rgb, 8), odd));
    __m128i packed = _mm_or_si128(_mm_move_epi64(pairs), _mm_slli_si128(_mm_srli_si128(pairs, 8), 6));
    if (exact) {
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out), packed);
        int32_t tail = _mm_cvtsi128_si32(_mm_srli_si128(packed, 8));
        std::memcpy(out + 8, &tail, 4);
    } else {
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out), packed);
    }
}

// du/dv bytes: truncated, then the low byte of each (negative values too).
// Bytes du0..du3, dv0..dv3, then interleaved.
void dudv_store(const float *s_in, const float *t_in, const float *n_in, int8_t *out, bool) {
    const __m128 scale = _mm_set1_ps(127.0f);
    const __m128i low_byte = _mm_set1_epi32(0xFF);
    __m128 s = _mm_loadu_ps(s_in), t = _mm_loadu_ps(t_in), n = _mm_loadu_ps(n_in);
    __m128i du = _mm_and_si128(_mm_cvttps_epi32(_mm_mul_ps(_mm_mul_ps(s, n), scale)), low_byte);
    __m128i dv = _mm_and_si128(_mm_cvttps_epi32(_mm_mul_ps(_mm_mul_ps(t, n), scale)), low_byte);
    // 0..255 a lane: the saturating packs keep the values.
    __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(du, dv), _mm_setzero_si128());
    __m128i pairs = _mm_unpacklo_epi8(bytes, _mm_srli_si128(bytes, 4));
    _mm_storel_epi64(reinterpret_cast<__m128i *>(out), pairs);
}

}  // namespace

int HeightMapSse2_EncodeDOT3Interior(const uint8_t *heights, int width, int height, uint8_t *out) {
    return walk_map<Sse2>(heights, width, height, out, 3,
                          [](const float *s, const float *t, const float *n, uint8_t *texels, bool exact) {
                              dot3_store(s, t, n, texels, exact);
                          });
}

int HeightMapSse2_EncodeDUDVInterior(const uint8_t *heights, int width, int height, int8_t *out) {
    return walk_map<Sse2>(heights, width, height, out, 2,
                          [](const float *s, const float *t, const float *n, int8_t *texels, bool exact) {
                              dudv_store(s, t, n, texels, exact);
                          });
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
