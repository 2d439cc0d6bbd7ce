#include "tga_writer.h"

#include "file_bytes.h"

#include <cstring>

std::vector<uint8_t> TgaWriter_Encode(uint8_t image_type, int width, int height,
                                      uint8_t bits_per_pixel, const uint8_t *pixels,
                                      size_t pixel_bytes, uint8_t descriptor) {
    size_t body = pixels ? pixel_bytes : 0;
    std::vector<uint8_t> out(18 + body, 0);
    out[2] = image_type;
    out[12] = uint8_t(width & 0xFF);
    out[13] = uint8_t((width >> 8) & 0xFF);
    out[14] = uint8_t(height & 0xFF);
    out[15] = uint8_t((height >> 8) & 0xFF);
    out[16] = bits_per_pixel;
    out[17] = descriptor;
    // Copied rather than inserted: GCC 12 warns falsely about inserting
    // into the 18-byte header vector.
    if (body)
        std::memcpy(out.data() + 18, pixels, body);
    return out;
}

int TgaWriter_Save(const char *path, const std::vector<uint8_t> &bytes) {
    return FileBytes_Save(path, bytes);
}
