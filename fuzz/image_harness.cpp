#include "image_harness.h"

#include <cstdlib>
#include <cstring>

#include "image.h"
#include "tga_convert.h"

namespace {

const char *check_output(const ImageTga &tga) {
    TgaImage image;
    if (!TGA_ParseHeader(tga.bytes, tga.size, &image, nullptr) || !TGA_UseTakes(TGA_USE_IMAGE, &image, nullptr))
        return "the library refuses the decoded file";
    if (image.width > image_max_side || image.height > image_max_side ||
        uint64_t(image.width) * uint64_t(image.height) > image_max_pixels)
        return "the decoded image is over the size limits";
    if (image.descriptor != (image.bits_per_pixel == 32 ? 8 : 0))
        return "the decoded descriptor has origin bits or untrue alpha bits";
    if (tga.size != tga_header_size + TGA_PixelBytes(image.width, image.height, image.bits_per_pixel))
        return "the decoded file's length differs from its header";
    TgaConverted again;
    if (!TgaConvert_Memory(tga.bytes, tga.size, &again, nullptr))
        return "the converter refuses the decoded file";
    const char *fault = nullptr;
    if (!again.unchanged || again.size != tga.size || std::memcmp(again.bytes, tga.bytes, tga.size) != 0)
        fault = "the converter changes the decoded file";
    std::free(again.bytes);
    return fault;
}

}  // namespace

ImageHarnessResult ImageHarness_Run(const uint8_t *data, size_t size) {
    ImageHarnessResult result = {0, nullptr};
    if (size == 0)
        return result;
    const char *name = image_harness_names[data[0] % image_harness_name_count];
    ImageTga tga;
    char reason[tga_reason_size] = "";
    result.decoded = Image_Decode(data + 1, size - 1, name, &tga, reason);
    if (!result.decoded) {
        if (!reason[0] || tga.bytes)
            result.fault = "refused without a reason, or left a buffer";
        return result;
    }
    result.fault = check_output(tga);
    std::free(tga.bytes);
    return result;
}
