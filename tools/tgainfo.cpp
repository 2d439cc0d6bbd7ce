// tgainfo: what the tga library makes of TGA files, from their headers
// through the library's own reader and their lengths; no GL context needed.
#include <cinttypes>
#include <cstdio>

#include "tga_convert.h"
#include "tga_read.h"

namespace {

const char usage[] =
    "usage: tgainfo FILE...\n"
    "For each TGA file, \"FILE: ok\" with its type, size and depth and which of the\n"
    "library's uploads take it (or why not), or \"FILE: refused: REASON\". ok: the\n"
    "reader takes its header and TGA_UploadImage takes the image (any file another\n"
    "upload takes, it takes too). Pixel data that the file lacks, which reads as\n"
    "zero, and rows stored top to bottom, which show upside down, are named. For\n"
    "such a file and a refused one, a line says when tgaconv writes a copy that the\n"
    "library reads the right way up. Only headers and lengths are read. Exit status\n"
    "0 when every file is ok, 1 when any is refused, 2 without files.\n";

struct Upload {
    TgaUse use;
    const char *name;
};
const Upload uploads[tga_use_count] = {
    {TGA_USE_IMAGE, "TGA_UploadImage"},
    {TGA_USE_CUBE_FACE, "TGA_UploadCube"},
    {TGA_USE_DOT3, "TGA_UploadDOT3"},
    {TGA_USE_DUDV, "TGA_UploadDUDV"},
};

// An open file's length in bytes, -1 when it cannot be found. 64-bit: a
// file may be longer than a 32-bit long can say.
int64_t length_of(FILE *file) {
#ifdef _WIN32
    return _fseeki64(file, 0, SEEK_END) == 0 ? _ftelli64(file) : -1;
#else
    return fseeko(file, 0, SEEK_END) == 0 ? int64_t(ftello(file)) : -1;
#endif
}

int64_t length_of(const char *file_name) {
    FILE *file = std::fopen(file_name, "rb");
    if (!file)
        return -1;
    int64_t length = length_of(file);
    std::fclose(file);
    return length;
}

// Names tgaconv when its header check takes the file, judging from the
// header and the length as the other lines do.
void suggest_converter(const char *file_name) {
    uint8_t bytes[tga_header_size];
    FILE *file = std::fopen(file_name, "rb");
    if (!file)
        return;
    size_t got = std::fread(bytes, 1, sizeof bytes, file);
    int64_t length = length_of(file);
    std::fclose(file);
    TgaConvertHeader header;
    if (length >= int64_t(got) && TgaConvert_CheckHeader(bytes, uint64_t(length), &header, nullptr))
        std::printf("  tgaconv writes a copy that tga.dll reads, the right way up\n");
}

// Prints what the library makes of one file; 1 when it is ok.
int describe(const char *file_name) {
    TgaImage header;
    char reason[tga_reason_size];
    if (!TGA_ReadHeader(file_name, &header, reason) || !TGA_UseTakes(TGA_USE_IMAGE, &header, reason)) {
        std::printf("%s: refused: %s\n", file_name, reason);
        suggest_converter(file_name);
        return 0;
    }
    std::printf("%s: ok\n  type %d (%s), %d x %d, %d bits per pixel\n", file_name, header.image_type,
                TGA_TypeName(header.image_type), header.width, header.height, header.bits_per_pixel);
    // The reader takes no ID field and no colour map: the pixel data follows
    // the header. A length that cannot be found gives no line.
    int64_t stored = length_of(file_name) - int64_t(tga_header_size);
    uint64_t wanted = TGA_PixelBytes(header.width, header.height, header.bits_per_pixel);
    if (stored >= 0 && uint64_t(stored) < wanted)
        std::printf("  pixel data: %" PRId64 " of %" PRIu64 " bytes; the rest reads as zero\n", stored, wanted);
    // The library hands rows to GL in file order, which GL takes as bottom up.
    if (header.descriptor & tga_descriptor_top_to_bottom) {
        std::printf("  rows stored top to bottom: the texture shows them upside down\n");
        suggest_converter(file_name);
    }
    for (const Upload &upload : uploads) {
        if (TGA_UseTakes(upload.use, &header, reason))
            std::printf("  %s: yes\n", upload.name);
        else
            std::printf("  %s: no: %s\n", upload.name, reason);
    }
    return 1;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fputs(usage, stderr);
        return 2;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i)
        if (!describe(argv[i]))
            status = 1;
    return status;
}
