#include "convert_harness.h"

#include <cstdlib>
#include <cstring>

#include "tga_convert.h"

namespace {

// Headers whose output exceeds this are checked but not decoded: a 64 KiB
// input may claim millions of pixels in runs, and filling them for every
// such input would stall the fuzzer without reaching new code.
const uint64_t max_output_bytes = uint64_t(1) << 20;

const char *check_output(const TgaConverted &converted, const TgaConvertHeader &source, const uint8_t *data) {
    TgaImage image;
    if (!TGA_ParseHeader(converted.bytes, converted.size, &image, nullptr) ||
        !TGA_UseTakes(TGA_USE_IMAGE, &image, nullptr))
        return "the library refuses the converted file";
    if (image.width != source.width || image.height != source.height || image.bits_per_pixel != source.out_bits ||
        image.image_type != source.out_type)
        return "the converted header differs from the checked one";
    if (image.descriptor != (source.out_bits == 32 ? 8 : 0))
        return "the converted descriptor has origin bits or untrue alpha bits";
    uint64_t pixel_bytes = TGA_PixelBytes(image.width, image.height, image.bits_per_pixel);
    if (converted.size != tga_header_size + pixel_bytes)
        return "the converted file's length differs from its header";
    if (converted.unchanged != source.library_reads)
        return "unchanged, yet not a file the library reads bottom to top";
    if (converted.unchanged && pixel_bytes &&
        std::memcmp(converted.bytes + tga_header_size, data + tga_header_size, size_t(pixel_bytes)) != 0)
        return "a file the library reads lost its pixel bytes";

    TgaConverted again;
    char reason[tga_reason_size] = "";
    if (!TgaConvert_Memory(converted.bytes, converted.size, &again, reason))
        return "the converted file is refused";
    const char *fault = nullptr;
    if (!again.unchanged || again.size != converted.size || std::memcmp(again.bytes, converted.bytes, again.size) != 0)
        fault = "converting the converted file changes it";
    std::free(again.bytes);
    return fault;
}


}  // namespace

ConvertHarnessResult ConvertHarness_Run(const uint8_t *data, size_t size) {
    ConvertHarnessResult result = {0, nullptr};
    TgaConvertHeader header;
    char reason[tga_reason_size] = "";
    if (!TgaConvert_CheckHeader(data, size, &header, reason)) {
        result.fault = reason[0] ? nullptr : "header refused without a reason";
        return result;
    }
    if (uint64_t(header.width) * uint64_t(header.height) * uint64_t(header.out_bits / 8) > max_output_bytes) {
        result.converted = 1;   // taken, left undecoded
        return result;
    }
    TgaConverted converted;
    result.converted = TgaConvert_Memory(data, size, &converted, reason);
    if (!result.converted) {
        if (!reason[0] || converted.bytes)
            result.fault = "refused without a reason, or left a buffer";
        return result;
    }
    result.fault = check_output(converted, header, data);
    std::free(converted.bytes);
    return result;
}
