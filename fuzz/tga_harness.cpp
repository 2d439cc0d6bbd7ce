#include "tga_harness.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "heightmap.h"
#include "heightmap_paths.h"
#include "tga_read.h"

namespace {

// Headers that claim more pixel data than this are checked but not read: a
// file of a few bytes may claim 2 GB, and allocating that for every such
// input would stall the fuzzer without reaching any new code. The header
// checks and every use's verdict still run at full size.
const uint64_t max_read_bytes = uint64_t(1) << 20;

// Height maps above this many texels are read but not filtered: the filter
// takes every path (edges, narrow maps, the vector paths' interior) by
// 64 x 64, and filtering larger maps took most of the fuzzer's time.
const int64_t max_filtered_texels = int64_t(1) << 12;

const uint64_t max_zero_checked = uint64_t(1) << 16;

// The slope of one texel straight from the definition, as a reference for
// the library's filter at the edges, where the wrap-around matters.
void reference_slope(const uint8_t *h, int w, int ht, int x, int y, float *s, float *t) {
    const float k1 = 1.0f / 255.0f, k2 = 2.0f / 255.0f;
    int xm = (x + w - 1) % w, xp = (x + 1) % w, ym = (y + ht - 1) % ht, yp = (y + 1) % ht;
    auto H = [&](int cx, int cy) { return float(h[size_t(cy) * size_t(w) + size_t(cx)]); };
    *s = k1 * H(xm, ym) + k2 * H(xm, y) + k1 * H(xm, yp) - k1 * H(xp, ym) - k2 * H(xp, y) - k1 * H(xp, yp);
    *t = k1 * H(xm, yp) + k2 * H(x, yp) + k1 * H(xp, yp) - k1 * H(xm, ym) - k2 * H(x, ym) - k1 * H(xp, ym);
}

bool near_byte(int got, double want) {
    return std::fabs(double(got) - want) <= 1.0;
}

const char *check_texel(const uint8_t *heights, int w, int h, int x, int y,
                        const std::vector<uint8_t> &dot3, const std::vector<int8_t> &dudv) {
    float s, t;
    reference_slope(heights, w, h, x, y, &s, &t);
    HeightMapSlope slope = HeightMap_Slope(heights, w, h, x, y);
    if (std::fabs(slope.s - s) > 1e-5f || std::fabs(slope.t - t) > 1e-5f)
        return "slope differs from the kernel";
    double n = 1.0 / std::sqrt(double(s) * s + double(t) * t + 1.0);
    size_t i = size_t(y) * size_t(w) + size_t(x);
    if (!near_byte(dot3[3 * i], std::trunc((s * n + 1) * 127.5)) ||
        !near_byte(dot3[3 * i + 1], std::trunc((t * n + 1) * 127.5)) ||
        !near_byte(dot3[3 * i + 2], std::trunc((n + 1) * 127.5)))
        return "DOT3 texel differs from the slope";
    if (!near_byte(dudv[2 * i], std::trunc(s * n * 127)) || !near_byte(dudv[2 * i + 1], std::trunc(t * n * 127)))
        return "du/dv texel differs from the slope";
    return nullptr;
}

const char *check_height_map(const uint8_t *heights, int w, int h) {
    if (w <= 0 || h <= 0 || int64_t(w) * h > max_filtered_texels)
        return nullptr;
    size_t texels = size_t(w) * size_t(h);
    // Exactly sized, so that a write past the end is caught.
    std::vector<uint8_t> dot3(texels * 3);
    std::vector<int8_t> dudv(texels * 2);
    HeightMap_EncodeDOT3(heights, w, h, dot3.data());
    HeightMap_EncodeDUDV(heights, w, h, dudv.data());
    const int xs[3] = {0, w / 2, w - 1}, ys[3] = {0, h / 2, h - 1};
    for (int y : ys)
        for (int x : xs)
            if (const char *fault = check_texel(heights, w, h, x, y, dot3, dudv))
                return fault;
    return nullptr;
}

// A read image holds the file's pixel bytes unchanged, zeros where a
// truncated file stops, and exactly the size its header gives.
const char *check_read(const TgaImage &image, const uint8_t *data, size_t size) {
    if (image.width < 0 || image.height < 0)
        return "negative size accepted";
    if (image.id_length != 0 || image.color_map_type != 0 || (image.image_type != 2 && image.image_type != 3))
        return "refused header kind accepted";
    if (image.width != int16_t(data[12] | data[13] << 8) || image.height != int16_t(data[14] | data[15] << 8) ||
        image.bits_per_pixel != data[16] || image.descriptor != data[17])
        return "header fields differ from the file";
    uint64_t bytes = TGA_PixelBytes(image.width, image.height, image.bits_per_pixel);
    int bpp = image.bits_per_pixel;
    if (bpp != 8 && bpp != 24 && bpp != 32)
        return "a depth that no upload takes read";
    if (bytes != uint64_t(image.width) * uint64_t(image.height) * uint64_t(bpp / 8))
        return "pixel byte count wrong";
    if (bytes && !image.pixels)
        return "no pixel buffer";
    size_t present = size > tga_header_size ? size - tga_header_size : 0;
    if (present > bytes)
        present = size_t(bytes);
    if (present && std::memcmp(image.pixels, data + tga_header_size, present) != 0)
        return "pixel bytes differ from the file";
    // A short file may declare gigabytes: look at the start of the missing
    // part and at the last byte, which also proves the buffer's length.
    uint64_t checked_end = bytes - present > max_zero_checked ? present + max_zero_checked : bytes;
    for (uint64_t i = present; i < checked_end; ++i)
        if (image.pixels[i] != 0)
            return "missing pixel bytes not zero";
    if (bytes > present && image.pixels[bytes - 1] != 0)
        return "missing pixel bytes not zero";
    // GLU's rescaling reads a little past the image: the slack must be there
    // and hold zeros.
    uint64_t slack = TGA_BufferSlack(image.width, bpp / 8);
    for (uint64_t i = bytes; i < bytes + slack; ++i)
        if (image.pixels[i] != 0)
            return "slack after the pixels not zero";
    if (bpp == 8)
        return check_height_map(image.pixels, image.width, image.height);
    return nullptr;
}

// Each use's verdict on an accepted header, from its depths and its bytes
// per texel against the size limit.
const char *check_uses(const TgaImage &header, const int takes[tga_use_count]) {
    int depth = header.bits_per_pixel;
    uint64_t texels = uint64_t(header.width) * uint64_t(header.height);
    bool image = (depth == 8 || depth == 24 || depth == 32) && texels * uint64_t(depth / 8) <= TGA_MAX_UPLOAD_BYTES;
    bool cube_face = depth == 24 && texels * 3 <= TGA_MAX_UPLOAD_BYTES;
    bool dot3 = depth == 8 && texels * 3 <= TGA_MAX_UPLOAD_BYTES;
    bool dudv = depth == 8 && texels * 2 <= TGA_MAX_UPLOAD_BYTES;
    if (takes[TGA_USE_IMAGE] != image || takes[TGA_USE_CUBE_FACE] != cube_face || takes[TGA_USE_DOT3] != dot3 ||
        takes[TGA_USE_DUDV] != dudv)
        return "an upload's verdict differs from its depths and the size limit";
    return nullptr;
}

// The header checks and every upload's verdict, at full size, into header
// and takes: null, or what was wrong.
const char *check_header(const uint8_t *data, size_t size, TgaImage *header, int takes[tga_use_count]) {
    // Cleared before each call, so that a refusal must write its own.
    char reason[tga_reason_size] = "";
    if (!TGA_ParseHeader(data, size, header, reason))
        return reason[0] ? nullptr : "header refused without a reason";
    for (int use = 0; use < tga_use_count; ++use) {
        reason[0] = '\0';
        takes[use] = TGA_UseTakes(TgaUse(use), header, reason);
        if (!takes[use] && !reason[0])
            return "an upload refused a header without a reason";
    }
    return check_uses(*header, takes);
}

}  // namespace

TgaHarnessResult TgaHarness_Run(const uint8_t *data, size_t size) {
    TgaHarnessResult result = {0, nullptr};
    TgaImage header;
    int takes[tga_use_count] = {0, 0, 0, 0};
    result.fault = check_header(data, size, &header, takes);
    if (result.fault)
        return result;
    if (takes[TGA_USE_IMAGE] && TGA_PixelBytes(header.width, header.height, header.bits_per_pixel) > max_read_bytes) {
        result.read = 1;   // taken, left unread
        return result;
    }

    char reason[tga_reason_size] = "";
    TgaImage image;
    std::memset(&image, 0, sizeof image);
    result.read = TGA_ReadMemory(data, size, &image, TGA_USE_IMAGE, reason);
    if (result.read != 0 && result.read != 1)
        result.fault = "TGA_ReadMemory returned neither 1 nor 0";
    else if (result.read != takes[TGA_USE_IMAGE])
        result.fault = "the reader and the header checks disagree";
    else if (result.read == 0 && !reason[0])
        result.fault = "TGA_ReadMemory refused without a reason";
    else if (result.read == 1)
        result.fault = size < tga_header_size ? "file shorter than the header accepted" : check_read(image, data, size);
    std::free(image.pixels);
    return result;
}
