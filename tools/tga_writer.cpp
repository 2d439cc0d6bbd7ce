#include "tga_writer.h"

#include "file_bytes.h"

#include <cstring>

std::vector<uint8_t> TgaWriter_EncodeHeader(const TgaWriterHeader &header, const uint8_t *rest,
                                            size_t rest_bytes) {
    size_t body = rest ? rest_bytes : 0;
    std::vector<uint8_t> out(18 + body, 0);
    out[0] = header.id_length;
    out[1] = header.map_type;
    out[2] = header.image_type;
    out[3] = uint8_t(header.map_first & 0xFF);
    out[4] = uint8_t((header.map_first >> 8) & 0xFF);
    out[5] = uint8_t(header.map_length & 0xFF);
    out[6] = uint8_t((header.map_length >> 8) & 0xFF);
    out[7] = header.map_bits;
    out[12] = uint8_t(header.width & 0xFF);
    out[13] = uint8_t((header.width >> 8) & 0xFF);
    out[14] = uint8_t(header.height & 0xFF);
    out[15] = uint8_t((header.height >> 8) & 0xFF);
    out[16] = header.bits_per_pixel;
    out[17] = header.descriptor;
    // Copied rather than inserted: GCC 12 warns falsely about inserting
    // into the 18-byte header vector.
    if (body)
        std::memcpy(out.data() + 18, rest, body);
    return out;
}

std::vector<uint8_t> TgaWriter_Encode(uint8_t image_type, int width, int height,
                                      uint8_t bits_per_pixel, const uint8_t *pixels,
                                      size_t pixel_bytes, uint8_t descriptor) {
    TgaWriterHeader header = {0, 0, image_type, 0, 0, 0, width, height, bits_per_pixel, descriptor};
    return TgaWriter_EncodeHeader(header, pixels, pixel_bytes);
}

int TgaWriter_Save(const char *path, const std::vector<uint8_t> &bytes) {
    return FileBytes_Save(path, bytes);
}
