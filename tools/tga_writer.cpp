#include "tga_writer.h"

#include <cstdio>

std::vector<uint8_t> TgaWriter_Encode(uint8_t image_type, int width, int height,
                                      uint8_t bits_per_pixel, const uint8_t *pixels,
                                      size_t pixel_bytes, uint8_t descriptor) {
    std::vector<uint8_t> out(18, 0);
    out[2] = image_type;
    out[12] = uint8_t(width & 0xFF);
    out[13] = uint8_t((width >> 8) & 0xFF);
    out[14] = uint8_t(height & 0xFF);
    out[15] = uint8_t((height >> 8) & 0xFF);
    out[16] = bits_per_pixel;
    out[17] = descriptor;
    if (pixels && pixel_bytes)
        out.insert(out.end(), pixels, pixels + pixel_bytes);
    return out;
}

int TgaWriter_Save(const char *path, const std::vector<uint8_t> &bytes) {
    FILE *file = std::fopen(path, "wb");
    if (!file)
        return 0;
    size_t written = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), file);
    int closed = std::fclose(file) == 0;
    return written == bytes.size() && closed ? 1 : 0;
}
