// The walk over a height map shared by the filter's vector paths, included
// by heightmap_sse2.cpp and heightmap_avx2.cpp only. Everything here has
// internal linkage: each of those files gets its own copy, built for its
// own instruction set, and no copy can stand in for another at link time.
//
// The divider (the double-precision square root and division) bounds the
// filter, so the walk keeps it busy and does the rest of the work in its
// shadow, with as few instructions as it can:
// - each row is weighted once, corner * h and side * h as floats (the
//   products of the scalar expression, rounded the same), into a rotation
//   of four rows on the heap: the three that the current row's texels read
//   and the one after, weighted a vector a step as the walk goes;
// - each step of one vector of texels goes through three stages: the sums
//   give s, t and q = s*s + t*t + 1; the divider turns q into n; the
//   encoding stores the texels. The stages run walk_lag steps apart,
//   through a ring of slots in the first-level cache, so that no stage
//   waits for another: done one after the other, the divider's latency
//   would hold up the rest of each step and leave it idle in between.
#ifndef TGA_HEIGHTMAP_WALK_H
#define TGA_HEIGHTMAP_WALK_H

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

const int walk_lag = 16;
const int walk_ring = 64;  // a power of two above 2 * walk_lag

// Kernel (the path's vector code) provides
//   lanes                            texels per step;
//   weigh(bytes, corner, side)       lanes heights weighted;
//   sums(m_corner, m_side, r_side, p_corner, p_side, x, s, t, q)
//                                    s, t and q of the texels from column x
//                                    on, from the weighted rows above (m),
//                                    at (r) and below (p);
//   inverse_sqrt(q)                  q -> n, in place.
// store(s, t, n, out, exact) writes one step's texels: an exact store ends
// at them, another may write up to 16 bytes from out.

// One step in the ring. Its size is a power of two (128 bytes for eight
// lanes, 64 for four), so that a slot's place is a shift away.
template <typename Kernel>
struct alignas(32) WalkSlot {
    float s[Kernel::lanes];
    float t[Kernel::lanes];
    float q[Kernel::lanes];  // q, then n
    size_t out;              // the first texel, in Texels
    bool exact;
};

// Before step `step` is summed: the divider stage for step `step` -
// walk_lag and the encoding for `step` - 2 * walk_lag. `full` once the
// pipeline holds 2 * walk_lag steps; else only steps 0 .. issued - 1 are
// taken (at the start and the end of the walk).
template <bool full, typename Kernel, typename Texel, typename Store>
inline void walk_finish(WalkSlot<Kernel> *ring, int64_t step, int64_t issued, Texel *out, Store store) {
    int64_t divided = step - walk_lag, encoded = step - 2 * walk_lag;
    if (full || (divided >= 0 && divided < issued))
        Kernel::inverse_sqrt(ring[divided & (walk_ring - 1)].q);
    if (full || (encoded >= 0 && encoded < issued)) {
        const WalkSlot<Kernel> &slot = ring[encoded & (walk_ring - 1)];
        store(slot.s, slot.t, slot.q, out + slot.out, slot.exact);
    }
}

// Weighs the lanes heights from column c of row into slot (corner, side).
template <typename Kernel>
inline void walk_weigh(const uint8_t *row, int c, float *const slot[2]) {
    Kernel::weigh(row + c, slot[0] + c, slot[1] + c);
}

// The filter over the interior columns 1 .. width - 2 of every row, which
// must number at least Kernel::lanes; texel_size Texels a texel. A row's
// last step starts lanes columns before the interior's end, overlapping the
// step before: those texels are written twice with the same bytes, and the
// store is exact, so no step writes past its row's interior. 1, or 0 with
// nothing written when the weighted rows cannot be allocated.
template <typename Kernel, typename Texel, typename Store>
int walk_map(const uint8_t *heights, int width, int height, Texel *out, int texel_size, Store store) {
    const int lanes = Kernel::lanes;
    const int last = width - 1 - lanes;
    const int64_t open = INT64_MAX;  // while steps are still being issued
    // The eight arrays sit 48 floats apart from a multiple of 4 KB (the width
    // often is one), so that a load from one and a store to another at the
    // same column do not look alike to the processor.
    size_t stride = size_t(width) + (1024 - size_t(width) % 1024) % 1024 + 48;
    float *block = static_cast<float *>(std::malloc(stride * 8 * sizeof(float)));
    if (!block)
        return 0;
    // Unwrapped row r (-1 .. height + 1) in slot (r + 4) % 4: corner, side.
    float *weighted[4][2];
    for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 2; ++k)
            weighted[i][k] = block + size_t(i * 2 + k) * stride;
    auto row_bytes = [&](int r) { return heights + size_t((r + height) % height) * size_t(width); };
    for (int r = -1; r <= 1; ++r) {
        for (int c = 0; c + lanes <= width; c += lanes)
            walk_weigh<Kernel>(row_bytes(r), c, weighted[(r + 4) % 4]);
        walk_weigh<Kernel>(row_bytes(r), width - lanes, weighted[(r + 4) % 4]);
    }
    WalkSlot<Kernel> ring[walk_ring];
    int64_t issued = 0;
    for (int y = 0; y < height; ++y) {
        float *const *m = weighted[(y + 3) % 4], *const *r = weighted[y % 4], *const *p = weighted[(y + 1) % 4];
        const uint8_t *ahead = row_bytes((y + 2) % height);
        float *const *ahead_slot = weighted[(y + 2) % 4];
        for (int x = 1;; x = x + lanes < last ? x + lanes : last) {
            // The divider's work first: it is the one to keep busy.
            if (issued >= 2 * walk_lag)
                walk_finish<true>(ring, issued, issued, out, store);
            else
                walk_finish<false>(ring, issued, open, out, store);
            WalkSlot<Kernel> &slot = ring[issued & (walk_ring - 1)];
            Kernel::sums(m[0], m[1], r[1], p[0], p[1], x, slot.s, slot.t, slot.q);
            slot.out = (size_t(y) * size_t(width) + size_t(x)) * size_t(texel_size);
            slot.exact = x == last;
            ++issued;
            // Row y + 2, a vector a step: columns x - 1 on, and the end.
            walk_weigh<Kernel>(ahead, x - 1, ahead_slot);
            if (x == last) {
                walk_weigh<Kernel>(ahead, width - lanes, ahead_slot);
                break;
            }
        }
    }
    for (int64_t step = issued; step <= issued + 2 * walk_lag; ++step)
        walk_finish<false>(ring, step, issued, out, store);
    std::free(block);
    return 1;
}

}  // namespace

#endif
