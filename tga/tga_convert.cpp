#include "tga_convert.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Descriptor bits 0-3: attribute (alpha) bits per pixel; bit 4: pixels
// stored right to left; bit 5 (tga_descriptor_top_to_bottom): rows stored
// top to bottom.
const int descriptor_alpha_bits = 0x0F;
const int descriptor_right_to_left = 0x10;
const int descriptor_origin_bits = descriptor_right_to_left | tga_descriptor_top_to_bottom;

// A run-length packet's first byte: the top bit marks a run of one pixel
// repeated, the low seven bits give the pixel count less one.
const int packet_run = 0x80;
const int packet_count = 0x7F;
const uint64_t packet_most_pixels = 128;

// How the stored pixels (or colour-map entries) become output pixels.
enum PixelKind {
    KIND_COPY,          // stored as output: 8-bit, BGR or BGRA
    KIND_FIVE,          // 15/16 bits: 5-bit B, G, R, the top bit alpha when kept
    KIND_GREY_ALPHA,    // grey, alpha -> grey, grey, grey, alpha
    KIND_INDEX8,        // an entry of the converted colour map
    KIND_INDEX16,
};

// What the decoding loop needs to know about the pixels.
struct PixelFormat {
    PixelKind kind;
    int stored_bytes;          // per stored pixel
    int out_bytes;             // per output pixel
    const uint8_t *palette;    // converted colour map, out_bytes per entry
    int map_first;
    int map_length;
    uint32_t bad_index;        // the index that stopped a conversion
};

int read_uint16(const uint8_t *bytes) {
    return bytes[0] | (bytes[1] << 8);
}

int read_int16(const uint8_t *bytes) {
    return int16_t(uint16_t(read_uint16(bytes)));
}

bool is_mapped(int type) {
    return type == tga_type_colour_mapped || type == tga_type_rle_colour_mapped;
}

bool is_grey(int type) {
    return type == tga_type_grayscale || type == tga_type_rle_grayscale;
}

bool is_run_length(int type) {
    return type >= tga_type_rle_colour_mapped;
}

// The depths each type may have. Beyond the format's own (indices of 8 or
// 16 bits; true colour at 15, 16, 24, 32; greyscale at 8 and 16 with
// alpha), the uncompressed types take whatever the library reads as it is
// (type 2 at 8 bits, type 3 at 24 and 32), so that every file the library
// takes converts with its pixel bytes kept.
bool depth_allowed(int type, int depth) {
    if (is_mapped(type))
        return depth == 8 || depth == 16;
    if (is_grey(type))
        return depth == 8 || depth == 16 || (type == tga_type_grayscale && (depth == 24 || depth == 32));
    return depth == 15 || depth == 16 || depth == 24 || depth == 32 || (type == tga_type_true_colour && depth == 8);
}

// Output bits for stored pixels (or map entries) of `depth` bits: 15-bit
// colour has no alpha; 16-bit colour keeps its top bit as alpha only when the
// descriptor gives the image exactly one attribute bit; greyscale with alpha
// becomes 32 bits.
int output_bits(bool grey, int depth, int alpha_bits) {
    if (depth == 15)
        return 24;
    if (depth == 16 && !grey)
        return alpha_bits == 1 ? 32 : 24;
    if (depth == 16)
        return 32;
    return depth;
}

// The 5-bit channel values as 8 bits, rounded to nearest.
struct FiveBitTable {
    uint8_t value[32];
};

FiveBitTable make_five_bit_table() {
    FiveBitTable table;
    for (unsigned v = 0; v < 32; ++v)
        table.value[v] = uint8_t((v * 255 + 15) / 31);
    return table;
}

const FiveBitTable five_bit = make_five_bit_table();

// Converts `count` stored pixels at src into output pixels at dst; 0 when an
// index falls outside the colour map (format->bad_index says which).
int convert_pixels(PixelFormat *format, const uint8_t *src, uint64_t count, uint8_t *dst) {
    const size_t out = size_t(format->out_bytes);
    switch (format->kind) {
    case KIND_COPY:
        std::memcpy(dst, src, size_t(count) * out);
        return 1;
    case KIND_FIVE:
        for (uint64_t i = 0; i < count; ++i, src += 2, dst += out) {
            int v = read_uint16(src);
            dst[0] = five_bit.value[v & 31];
            dst[1] = five_bit.value[(v >> 5) & 31];
            dst[2] = five_bit.value[(v >> 10) & 31];
            if (out == 4)
                dst[3] = (v & 0x8000) ? 255 : 0;
        }
        return 1;
    case KIND_GREY_ALPHA:
        for (uint64_t i = 0; i < count; ++i, src += 2, dst += 4) {
            dst[0] = dst[1] = dst[2] = src[0];
            dst[3] = src[1];
        }
        return 1;
    case KIND_INDEX8:
    case KIND_INDEX16:
        for (uint64_t i = 0; i < count; ++i, src += format->stored_bytes, dst += out) {
            uint32_t index = format->kind == KIND_INDEX8 ? src[0] : uint32_t(read_uint16(src));
            int64_t entry = int64_t(index) - format->map_first;
            if (entry < 0 || entry >= format->map_length) {
                format->bad_index = index;
                return 0;
            }
            std::memcpy(dst, format->palette + size_t(entry) * out, out);
        }
        return 1;
    }
    return 0;
}

// The kind that turns `depth`-bit stored values into output pixels (for a
// colour-mapped image, its entries rather than its indices).
PixelKind kind_of(bool grey, int depth) {
    if (depth == 15 || (depth == 16 && !grey))
        return KIND_FIVE;
    if (grey && depth == 16)
        return KIND_GREY_ALPHA;
    return KIND_COPY;
}

int refuse_index(const PixelFormat &format, char *reason) {
    return TGA_Refuse(reason, "index %u beyond the colour map of %d entries from %d", unsigned(format.bad_index),
                      format.map_length, format.map_first);
}

// The run-length packets from data .. end into `pixels` output pixels at dst.
int decode_packets(PixelFormat *format, const uint8_t *data, const uint8_t *end, uint64_t pixels, uint8_t *dst,
                   char *reason) {
    const size_t stored = size_t(format->stored_bytes), out = size_t(format->out_bytes);
    uint64_t done = 0;
    while (done < pixels) {
        if (data == end)
            return TGA_Refuse(reason, "truncated pixel data (%llu of %llu pixels)",
                              static_cast<unsigned long long>(done), static_cast<unsigned long long>(pixels));
        int packet = *data++;
        uint64_t count = uint64_t(packet & packet_count) + 1;
        if (count > pixels - done)
            return TGA_Refuse(reason, "packet of %d pixels at pixel %llu overflows the image of %llu", int(count),
                              static_cast<unsigned long long>(done), static_cast<unsigned long long>(pixels));
        size_t need = (packet & packet_run) ? stored : size_t(count) * stored;
        if (size_t(end - data) < need)
            return TGA_Refuse(reason, "truncated packet at pixel %llu", static_cast<unsigned long long>(done));
        uint8_t *at = dst + size_t(done) * out;
        if (packet & packet_run) {
            if (!convert_pixels(format, data, 1, at))
                return refuse_index(*format, reason);
            // The run doubles what is already written: at most seven copies.
            size_t filled = out, length = size_t(count) * out;
            while (filled < length) {
                size_t copy = filled < length - filled ? filled : length - filled;
                std::memcpy(at + filled, at, copy);
                filled += copy;
            }
        } else if (!convert_pixels(format, data, count, at)) {
            return refuse_index(*format, reason);
        }
        data += need;
        done += count;
    }
    return 1;
}

// Rows into bottom-to-top order and pixels into left-to-right order.
void fix_origin(uint8_t *pixels, int width, int height, int out_bytes, int descriptor) {
    size_t row = size_t(width) * size_t(out_bytes);
    if (descriptor & tga_descriptor_top_to_bottom)
        for (int y = 0; y < height / 2; ++y) {
            uint8_t *a = pixels + size_t(y) * row, *b = pixels + size_t(height - 1 - y) * row;
            for (size_t i = 0; i < row; ++i) {
                uint8_t t = a[i];
                a[i] = b[i];
                b[i] = t;
            }
        }
    if (descriptor & descriptor_right_to_left)
        for (int y = 0; y < height; ++y) {
            uint8_t *line = pixels + size_t(y) * row;
            for (int x = 0; x < width / 2; ++x) {
                uint8_t *a = line + size_t(x) * size_t(out_bytes), *b = line + size_t(width - 1 - x) * size_t(out_bytes);
                for (int i = 0; i < out_bytes; ++i) {
                    uint8_t t = a[i];
                    a[i] = b[i];
                    b[i] = t;
                }
            }
        }
}

// 1 when the reader takes the file as it is and shows it the right way up.
int library_reads(const uint8_t *bytes, int descriptor) {
    TgaImage image;
    return TGA_ParseHeader(bytes, tga_header_size, &image, nullptr) && TGA_UseTakes(TGA_USE_IMAGE, &image, nullptr) &&
           !(descriptor & descriptor_origin_bits);
}

}  // namespace

int TgaConvert_CheckHeader(const uint8_t *bytes, uint64_t file_size, TgaConvertHeader *header, char *reason) {
    if (file_size < tga_header_size)
        return TGA_Refuse(reason, "file of %llu bytes is shorter than its %u-byte header",
                          static_cast<unsigned long long>(file_size), unsigned(tga_header_size));
    header->id_length = bytes[0];
    header->map_type = bytes[1];
    header->image_type = bytes[2];
    header->map_first = read_uint16(bytes + 3);
    header->map_length = read_uint16(bytes + 5);
    header->map_entry_bits = bytes[7];
    header->width = read_int16(bytes + 12);
    header->height = read_int16(bytes + 14);
    header->bits_per_pixel = bytes[16];
    header->descriptor = bytes[17];

    int type = header->image_type, depth = header->bits_per_pixel;
    const char *type_name = TGA_TypeName(type);
    if (!type_name)
        return TGA_Refuse(reason, "image type %d is not read", type);
    if (header->map_type > 1)
        return TGA_Refuse(reason, "colour map type %d is not known", header->map_type);
    bool mapped = is_mapped(type), grey = is_grey(type);
    if (mapped && header->map_type != 1)
        return TGA_Refuse(reason, "image type %d (%s) has no colour map", type, type_name);
    // Sizes above 32767 read as negative, as in the reader.
    if (header->width < 0)
        return TGA_Refuse(reason, "width %d is negative", header->width);
    if (header->height < 0)
        return TGA_Refuse(reason, "height %d is negative", header->height);
    if (!depth_allowed(type, depth))
        return TGA_Refuse(reason, "depth %d is not allowed for type %d (%s)", depth, type, type_name);
    int entry_bits = header->map_entry_bits;
    if (mapped && entry_bits != 15 && entry_bits != 16 && entry_bits != 24 && entry_bits != 32)
        return TGA_Refuse(reason, "colour map entries of %d bits are not read", entry_bits);
    if (mapped && header->map_length == 0)
        return TGA_Refuse(reason, "colour map has no entries");

    int alpha_bits = header->descriptor & descriptor_alpha_bits;
    header->out_bits = mapped ? output_bits(false, entry_bits, alpha_bits) : output_bits(grey, depth, alpha_bits);
    header->out_type = header->out_bits == 8 ? tga_type_grayscale : tga_type_true_colour;
    uint64_t pixels = uint64_t(header->width) * uint64_t(header->height);
    int out_bytes = header->out_bits / 8;
    if (pixels * uint64_t(out_bytes) > TGA_MAX_UPLOAD_BYTES)
        return TGA_Refuse(reason, "%d x %d x %d bytes is over TGA_MAX_UPLOAD_BYTES", header->width, header->height,
                          out_bytes);

    // A colour map that a type 2 or 3 image carries is skipped, whatever its
    // entries.
    uint64_t map_bytes = header->map_type ? uint64_t(header->map_length) * uint64_t((entry_bits + 7) / 8) : 0;
    header->map_offset = tga_header_size + uint64_t(header->id_length);
    header->data_offset = header->map_offset + map_bytes;
    if (file_size < header->map_offset)
        return TGA_Refuse(reason, "truncated image ID (%llu of %d bytes)",
                          static_cast<unsigned long long>(file_size - tga_header_size), header->id_length);
    if (file_size < header->data_offset)
        return TGA_Refuse(reason, "truncated colour map (%llu of %llu bytes)",
                          static_cast<unsigned long long>(file_size - header->map_offset),
                          static_cast<unsigned long long>(map_bytes));
    uint64_t present = file_size - header->data_offset;
    uint64_t stored_bytes = uint64_t((depth + 7) / 8);
    if (!is_run_length(type) && present < pixels * stored_bytes)
        return TGA_Refuse(reason, "truncated pixel data (%llu of %llu bytes)", static_cast<unsigned long long>(present),
                          static_cast<unsigned long long>(pixels * stored_bytes));
    // The most pixels that the bytes present could encode: runs of 128.
    uint64_t most = present / (1 + stored_bytes) * packet_most_pixels;
    if (is_run_length(type) && pixels > most)
        return TGA_Refuse(reason, "truncated pixel data (%llu bytes hold at most %llu of %llu pixels)",
                          static_cast<unsigned long long>(present), static_cast<unsigned long long>(most),
                          static_cast<unsigned long long>(pixels));
    header->library_reads = library_reads(bytes, header->descriptor);
    return 1;
}

int TgaConvert_Memory(const uint8_t *bytes, size_t size, TgaConverted *converted, char *reason) {
    converted->bytes = nullptr;
    converted->size = 0;
    converted->unchanged = 0;
    TgaConvertHeader header;
    if (!TgaConvert_CheckHeader(bytes, size, &header, reason))
        return 0;
    bool mapped = is_mapped(header.image_type);
    bool grey = is_grey(header.image_type);
    PixelFormat format;
    format.stored_bytes = (header.bits_per_pixel + 7) / 8;
    format.out_bytes = header.out_bits / 8;
    format.palette = nullptr;
    format.map_first = header.map_first;
    format.map_length = header.map_length;
    format.bad_index = 0;
    if (mapped)
        format.kind = header.bits_per_pixel == 8 ? KIND_INDEX8 : KIND_INDEX16;
    else
        format.kind = kind_of(grey, header.bits_per_pixel);

    uint64_t pixels = uint64_t(header.width) * uint64_t(header.height);
    uint64_t total = tga_header_size + pixels * uint64_t(format.out_bytes);
    // The map, converted to output pixels, is at most 65535 x 4 bytes.
    uint64_t palette_bytes = mapped ? uint64_t(header.map_length) * uint64_t(format.out_bytes) : 0;
    uint8_t *out = total <= uint64_t(SIZE_MAX) ? static_cast<uint8_t *>(std::malloc(size_t(total))) : nullptr;
    uint8_t *palette = mapped ? static_cast<uint8_t *>(std::malloc(size_t(palette_bytes))) : nullptr;
    if (!out || (mapped && !palette)) {
        std::free(out);
        std::free(palette);
        return TGA_Refuse(reason, "out of memory (%llu bytes)",
                          static_cast<unsigned long long>(total + palette_bytes));
    }
    if (mapped) {
        PixelFormat entries = format;
        entries.kind = kind_of(false, header.map_entry_bits);
        entries.stored_bytes = (header.map_entry_bits + 7) / 8;
        convert_pixels(&entries, bytes + header.map_offset, uint64_t(header.map_length), palette);
        format.palette = palette;
    }

    TgaConvert_WriteHeader(out, header.width, header.height, header.out_bits);

    const uint8_t *data = bytes + header.data_offset;
    uint8_t *dst = out + tga_header_size;
    int ok = 1;
    if (is_run_length(header.image_type))
        ok = decode_packets(&format, data, bytes + size, pixels, dst, reason);
    else if (!convert_pixels(&format, data, pixels, dst))
        ok = refuse_index(format, reason);
    std::free(palette);
    if (!ok) {
        std::free(out);
        return 0;
    }
    fix_origin(dst, header.width, header.height, format.out_bytes, header.descriptor);
    converted->bytes = out;
    converted->size = size_t(total);
    converted->unchanged = header.library_reads;
    return 1;
}

void TgaConvert_WriteHeader(uint8_t *header, int width, int height, int bits) {
    std::memset(header, 0, tga_header_size);
    header[2] = bits == 8 ? tga_type_grayscale : tga_type_true_colour;
    header[12] = uint8_t(width);
    header[13] = uint8_t(width >> 8);
    header[14] = uint8_t(height);
    header[15] = uint8_t(height >> 8);
    header[16] = uint8_t(bits);
    header[17] = bits == 32 ? 8 : 0;   // eight alpha bits, or none
}
