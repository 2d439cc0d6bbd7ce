#include "jpeg_check.h"

#include "tga_read.h"

namespace {

// JPEG markers (after a 0xFF byte): start of image, baseline and extended
// frames, a progressive frame (refused), Huffman tables, restart interval,
// start of scan, end of image, and those without a length: the eight
// restarts and TEM.
const uint8_t marker_soi = 0xD8;
const uint8_t marker_sof0 = 0xC0;
const uint8_t marker_sof1 = 0xC1;
const uint8_t marker_sof2 = 0xC2;
const uint8_t marker_dht = 0xC4;
const uint8_t marker_dri = 0xDD;
const uint8_t marker_sos = 0xDA;
const uint8_t marker_eoi = 0xD9;
const uint8_t marker_rst0 = 0xD0;
const uint8_t marker_rst7 = 0xD7;
const uint8_t marker_tem = 0x01;

// Huffman tables: at most four of each class (DC 0, AC 1), each of at most
// 256 codes, their counts by length (1 to 16 bits) in 16 bytes.
const int table_slots = 4;
const int most_codes = 256;
const int longest_code = 16;

// A frame's components: 1, 3 or 4 (stb_image's choice), each sampled 1 to
// 4 times per unit across and down; blocks are 8 pixels a side.
const int most_components = 4;
const int most_sampling = 4;
const int block_side = 8;
// A DC difference's extra bits, at most 15 (stb_image refuses more); an
// AC symbol 0xF0 skips 16 coefficients, of 64 in a block.
const int most_dc_bits = 15;
const int skip_sixteen = 0xF0;
const int block_coefficients = 64;

// A table as read, and how to decode with it: codes of up to fast_bits
// bits looked up at once (length << 8 | symbol; 0: none), longer ones by
// the first code and first symbol of each length.
const int fast_bits = 9;
struct HuffmanTable {
    bool defined;
    uint8_t values[most_codes];
    uint16_t fast[1 << fast_bits];
    int counts[longest_code + 1], first_code[longest_code + 1], first_index[longest_code + 1];
};

struct FrameComponent {
    int id, across, down;   // sampling factors
};

struct JpegFrame {
    bool seen;
    uint64_t width, height;
    int count;
    FrameComponent components[most_components];
    int most_across, most_down;
};

struct JpegState {
    HuffmanTable tables[2][table_slots];
    JpegFrame frame;
    int restart_interval;   // units between restart markers; 0: none
};

bool is_restart(int marker) {
    return marker >= marker_rst0 && marker <= marker_rst7;
}

int read_uint16_be(const uint8_t *bytes) {
    return bytes[0] << 8 | bytes[1];
}

// The Huffman tables of a DHT segment's data, kept by class and slot.
// stb_image 2.27 writes past its tables for one of over 256 codes.
int read_tables(const uint8_t *data, size_t length, JpegState *state, char *reason) {
    while (length > 0) {
        if (length < size_t(1 + longest_code))
            return TGA_Refuse(reason, "JPEG Huffman table cut short");
        int table_class = data[0] >> 4, slot = data[0] & 15;
        if (table_class > 1 || slot >= table_slots)
            return TGA_Refuse(reason, "JPEG Huffman table %d of class %d is not allowed", slot, table_class);
        HuffmanTable &table = state->tables[table_class][slot];
        table = HuffmanTable();
        size_t codes = 0;
        for (int i = 1; i <= longest_code; ++i)
            codes += size_t(data[i]);
        if (codes > size_t(most_codes))
            return TGA_Refuse(reason, "JPEG Huffman table of %u codes (at most %d)", unsigned(codes), most_codes);
        if (length < 1 + longest_code + codes)
            return TGA_Refuse(reason, "JPEG Huffman table cut short");
        for (size_t i = 0; i < codes; ++i)
            table.values[i] = data[1 + longest_code + i];
        // Canonical codes: each length's follow the length before's, shifted
        // a bit; more than a length holds is refused, as stb_image does.
        int code = 0, index = 0;
        for (int bits = 1; bits <= longest_code; ++bits) {
            table.counts[bits] = data[bits];
            table.first_code[bits] = code;
            table.first_index[bits] = index;
            if (code + table.counts[bits] > 1 << bits)
                return TGA_Refuse(reason, "JPEG Huffman table with more codes of %d bits than there are", bits);
            for (int i = 0; bits <= fast_bits && i < table.counts[bits]; ++i)
                for (int low = 0; low < 1 << (fast_bits - bits); ++low)
                    table.fast[(code + i) << (fast_bits - bits) | low] = uint16_t(bits << 8 | table.values[index + i]);
            code = (code + table.counts[bits]) << 1;
            index += table.counts[bits];
        }
        table.defined = true;
        data += 1 + longest_code + codes;
        length -= 1 + longest_code + codes;
    }
    return 1;
}

// A baseline or extended frame header: 8-bit samples, both sides, and the
// components with their sampling. What stb_image refuses is refused here,
// so that no scan is walked against a frame it would not have; a refusal
// ends the judging, so `seen` is set only on success.
int read_frame(const uint8_t *data, size_t length, JpegFrame *frame, char *reason) {
    if (length < 6 || length < 6 + size_t(data[5]) * 3)
        return TGA_Refuse(reason, "JPEG frame header cut short");
    frame->height = uint64_t(read_uint16_be(data + 1));
    frame->width = uint64_t(read_uint16_be(data + 3));
    frame->count = data[5];
    if (data[0] != 8 || frame->width == 0 || frame->height == 0 ||
        (frame->count != 1 && frame->count != 3 && frame->count != 4))
        return TGA_Refuse(reason, "JPEG frame of %d-bit samples, %llu x %llu pixels and %d components is not read",
                          data[0], static_cast<unsigned long long>(frame->width),
                          static_cast<unsigned long long>(frame->height), frame->count);
    frame->most_across = frame->most_down = 1;
    for (int i = 0; i < frame->count; ++i) {
        FrameComponent &component = frame->components[i];
        component.id = data[6 + i * 3];
        component.across = data[7 + i * 3] >> 4;
        component.down = data[7 + i * 3] & 15;
        if (component.across < 1 || component.across > most_sampling || component.down < 1 ||
            component.down > most_sampling)
            return TGA_Refuse(reason, "JPEG component sampled %d x %d (1 to %d each way)", component.across,
                              component.down, most_sampling);
        if (component.across > frame->most_across)
            frame->most_across = component.across;
        if (component.down > frame->most_down)
            frame->most_down = component.down;
    }
    frame->seen = true;
    return 1;
}

// The entropy-coded data as a decoder reads it: 0xFF followed by 0 is a
// data byte 0xFF; 0xFF followed by anything else (after fill bytes 0xFF)
// is a marker, which ends the data. Bits are taken from the top of
// `buffer`, of which `count` are data; zeros follow them.
struct ScanBits {
    const uint8_t *bytes;
    size_t size, at;
    uint64_t buffer;
    int count;
    int marker;   // the marker that ended the data; -1 before it, or at the file's end
    bool ended;
};

// The next byte of data: 0 to 255, or -1 when a marker or the file's end
// comes first.
int next_byte(ScanBits *bits) {
    if (bits->ended || bits->at >= bits->size) {
        bits->ended = true;
        return -1;
    }
    uint8_t byte = bits->bytes[bits->at++];
    if (byte == 0xFF) {
        while (bits->at < bits->size && bits->bytes[bits->at] == 0xFF)
            ++bits->at;
        if (bits->at >= bits->size) {
            bits->ended = true;
            return -1;
        }
        uint8_t next = bits->bytes[bits->at++];
        if (next != 0) {
            bits->marker = next;
            bits->ended = true;
            return -1;
        }
    }
    return byte;
}

// At least longest_code bits in the buffer, unless the data has ended.
void fill(ScanBits *bits) {
    while (bits->count <= 56) {
        int byte = next_byte(bits);
        if (byte < 0)
            return;
        bits->buffer |= uint64_t(byte) << (56 - bits->count);
        bits->count += 8;
    }
}

// Takes `count` bits (at most longest_code): 0 when the data ends first.
int take_bits(ScanBits *bits, int count) {
    if (bits->count < longest_code)
        fill(bits);
    if (count > bits->count)
        return 0;
    bits->buffer <<= count;
    bits->count -= count;
    return 1;
}

// What walking a block found: whole, data ended first, or a bad code.
enum BlockResult { BLOCK_WHOLE, BLOCK_OUT_OF_DATA, BLOCK_BAD_CODE };

// The symbol of the next code, taken: -1 when the data ends inside it,
// -2 when no code of the table begins the data.
int next_symbol(ScanBits *bits, const HuffmanTable &table) {
    if (bits->count < longest_code)
        fill(bits);
    int length = 0, symbol = 0;
    uint16_t fast = table.fast[bits->buffer >> (64 - fast_bits)];
    if (fast) {
        length = fast >> 8;
        symbol = fast & 0xFF;
    }
    for (int bits_long = fast_bits + 1; !length && bits_long <= longest_code; ++bits_long) {
        int code = int(bits->buffer >> (64 - bits_long));
        if (code >= table.first_code[bits_long] && code - table.first_code[bits_long] < table.counts[bits_long]) {
            length = bits_long;
            symbol = table.values[table.first_index[bits_long] + code - table.first_code[bits_long]];
        }
    }
    if (length == 0)
        return bits->count < longest_code ? -1 : -2;
    return take_bits(bits, length) ? symbol : -1;
}

// One 8x8 block: the DC difference's code and extra bits, then AC codes
// with their extra bits up to the end-of-block code or the 64th coefficient.
BlockResult walk_block(ScanBits *bits, const HuffmanTable &dc, const HuffmanTable &ac) {
    int extra = next_symbol(bits, dc);
    if (extra == -1)
        return BLOCK_OUT_OF_DATA;
    if (extra < 0 || extra > most_dc_bits)
        return BLOCK_BAD_CODE;
    if (!take_bits(bits, extra))
        return BLOCK_OUT_OF_DATA;
    for (int k = 1; k < block_coefficients;) {
        int symbol = next_symbol(bits, ac);
        if (symbol == -1)
            return BLOCK_OUT_OF_DATA;
        if (symbol < 0)
            return BLOCK_BAD_CODE;
        int run = symbol >> 4, size = symbol & 15;
        if (size == 0) {
            if (symbol != skip_sixteen)
                break;   // end of block
            k += 16;
            continue;
        }
        k += run + 1;
        if (!take_bits(bits, size))
            return BLOCK_OUT_OF_DATA;
    }
    return BLOCK_WHOLE;
}

// The marker right after the data read so far: -1 when a whole byte of
// data is left first (stb_image would then take whatever byte follows the
// next 0xFF as a marker), -2 when the file ends first.
int marker_next(ScanBits *bits) {
    if (bits->count >= 8 || (!bits->ended && next_byte(bits) >= 0))
        return -1;
    return bits->marker >= 0 ? bits->marker : -2;
}

// A scan (its header in header .. header + length, its data from data on)
// walked unit by unit, as stb_image 2.27 decodes it: the units are one
// component's blocks, or every component's blocks of each interleaved
// unit. After each restart interval the data goes on past a restart
// marker; any other marker ends the scan. stb_image's bit buffer shifts
// past its width when the data ends before the blocks do, so that is
// refused; so is data left over, after which stb_image would find a marker
// of its own and read segments this walk did not judge. The marker that
// ends the scan goes to *next, and *after is where its segment begins.
int walk_scan(const JpegState &state, const uint8_t *header, size_t length, const uint8_t *data, size_t size,
              uint8_t *next, size_t *after, char *reason) {
    const JpegFrame &frame = state.frame;
    if (!frame.seen)
        return TGA_Refuse(reason, "JPEG scan before a frame header");
    int count = length >= 1 ? header[0] : 0;
    if (count < 1 || count > frame.count || length != size_t(4 + 2 * count))
        return TGA_Refuse(reason, "JPEG scan header of %d components in %u bytes", count, unsigned(length));
    int order[most_components];
    const HuffmanTable *dc[most_components], *ac[most_components];
    for (int i = 0; i < count; ++i) {
        int id = header[1 + i * 2], which = 0;
        while (which < frame.count && frame.components[which].id != id)
            ++which;
        if (which == frame.count)
            return TGA_Refuse(reason, "JPEG scan names component %d, not in its frame", id);
        int dc_slot = header[2 + i * 2] >> 4, ac_slot = header[2 + i * 2] & 15;
        // stb_image 2.27 reads an undefined table's memory as it finds it.
        if (dc_slot >= table_slots || !state.tables[0][dc_slot].defined || ac_slot >= table_slots ||
            !state.tables[1][ac_slot].defined)
            return TGA_Refuse(reason, "JPEG scan uses a Huffman table not defined before it");
        order[i] = which;
        dc[i] = &state.tables[0][dc_slot];
        ac[i] = &state.tables[1][ac_slot];
    }

    uint64_t units = 0;
    if (count == 1) {
        const FrameComponent &only = frame.components[order[0]];
        uint64_t width = (frame.width * uint64_t(only.across) + uint64_t(frame.most_across) - 1) / uint64_t(frame.most_across);
        uint64_t height = (frame.height * uint64_t(only.down) + uint64_t(frame.most_down) - 1) / uint64_t(frame.most_down);
        units = ((width + block_side - 1) / block_side) * ((height + block_side - 1) / block_side);
    } else {
        uint64_t unit_width = uint64_t(frame.most_across) * block_side, unit_height = uint64_t(frame.most_down) * block_side;
        units = ((frame.width + unit_width - 1) / unit_width) * ((frame.height + unit_height - 1) / unit_height);
    }

    ScanBits bits = {data, size, 0, 0, 0, -1, false};
    long todo = state.restart_interval;
    for (uint64_t unit = 0; unit < units; ++unit) {
        for (int i = 0; i < count; ++i) {
            const FrameComponent &component = frame.components[order[i]];
            int blocks = count == 1 ? 1 : component.across * component.down;
            for (int block = 0; block < blocks; ++block) {
                BlockResult result = walk_block(&bits, *dc[i], *ac[i]);
                if (result == BLOCK_OUT_OF_DATA && bits.marker < 0)
                    return TGA_Refuse(reason, "truncated JPEG (scan data cut short)");
                if (result == BLOCK_OUT_OF_DATA)
                    return TGA_Refuse(reason, "JPEG scan data ends before its last block");
                if (result == BLOCK_BAD_CODE)
                    return TGA_Refuse(reason, "JPEG scan holds a code that is not in its Huffman tables");
            }
        }
        bool interval_ends = state.restart_interval > 0 && --todo == 0;
        if (!interval_ends && unit + 1 < units)
            continue;
        int marker = marker_next(&bits);
        if (marker == -1)
            return TGA_Refuse(reason, "JPEG scan holds data after its last block");
        if (marker < 0)
            return TGA_Refuse(reason, "truncated JPEG (scan data cut short)");
        if (!is_restart(marker) || unit + 1 == units) {
            *next = uint8_t(marker);
            *after = bits.at;
            return 1;
        }
        bits.buffer = 0;
        bits.count = 0;
        bits.marker = -1;
        bits.ended = false;
        todo = state.restart_interval;
    }
    return TGA_Refuse(reason, "JPEG scan of no blocks");
}

}  // namespace

int JpegCheck_Judge(const uint8_t *bytes, size_t size, char *reason) {
    if (size < 3 || bytes[0] != 0xFF || bytes[1] != marker_soi || bytes[2] != 0xFF)
        return TGA_Refuse(reason, "not a JPEG file (no start-of-image marker)");
    JpegState state = {};
    size_t at = 2;
    int scan_marker = -1;   // the marker that ended the scan before
    for (;;) {
        uint8_t marker = 0;
        if (scan_marker >= 0) {
            marker = uint8_t(scan_marker);
            scan_marker = -1;
        } else {
            if (at >= size || bytes[at] != 0xFF)
                return at >= size ? TGA_Refuse(reason, "truncated JPEG (no end-of-image marker)")
                                  : TGA_Refuse(reason, "JPEG has no marker at byte %llu",
                                               static_cast<unsigned long long>(at));
            while (at + 1 < size && bytes[at + 1] == 0xFF)   // fill bytes
                ++at;
            if (at + 1 >= size)
                return TGA_Refuse(reason, "truncated JPEG (no end-of-image marker)");
            marker = bytes[at + 1];
            at += 2;
        }
        if (marker == marker_eoi)
            return 1;
        if (marker == marker_tem || is_restart(marker))
            continue;
        if (size - at < 2 || read_uint16_be(bytes + at) < 2 || size - at < size_t(read_uint16_be(bytes + at)))
            return TGA_Refuse(reason, "truncated JPEG (segment cut short)");
        const uint8_t *data = bytes + at + 2;
        size_t length = size_t(read_uint16_be(bytes + at)) - 2;
        at += 2 + length;
        // stb_image 2.27 shifts its bit buffer past its width on damaged
        // progressive data, and 2.27 is what Debian gives; player models'
        // JPEGs are baseline.
        if (marker == marker_sof2)
            return TGA_Refuse(reason, "progressive JPEG is not read (only baseline JPEG is)");
        if (marker == marker_dht && !read_tables(data, length, &state, reason))
            return 0;
        if ((marker == marker_sof0 || marker == marker_sof1) && !read_frame(data, length, &state.frame, reason))
            return 0;
        if (marker == marker_dri) {
            if (length != 2)
                return TGA_Refuse(reason, "JPEG restart interval segment of %u bytes", unsigned(length + 2));
            state.restart_interval = read_uint16_be(data);
        }
        if (marker != marker_sos)
            continue;
        uint8_t next = 0;
        size_t after = 0;
        if (!walk_scan(state, data, length, bytes + at, size - at, &next, &after, reason))
            return 0;
        scan_marker = next;
        at += after;
    }
}
