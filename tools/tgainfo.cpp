// tgainfo: what the tga library makes of TGA files, from their headers
// through the library's own reader; no GL context needed.
#include <cstdio>

#include "tga_read.h"

namespace {

const char usage[] =
    "usage: tgainfo FILE...\n"
    "For each TGA file, \"FILE: ok\" with its type, size and depth and which of the\n"
    "library's uploads take it (or why not), or \"FILE: refused: REASON\". ok: the\n"
    "reader takes its header and TGA_UploadImage takes the image (any file another\n"
    "upload takes, it takes too). Only headers are read. Exit status 0 when every\n"
    "file is ok, 1 when any is refused, 2 without files.\n";

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

// Prints what the library makes of one file; 1 when it is ok.
int describe(const char *file_name) {
    TgaImage header;
    char reason[tga_reason_size];
    if (!TGA_ReadHeader(file_name, &header, reason) || !TGA_UseTakes(TGA_USE_IMAGE, &header, reason)) {
        std::printf("%s: refused: %s\n", file_name, reason);
        return 0;
    }
    std::printf("%s: ok\n  type %d (%s), %d x %d, %d bits per pixel\n", file_name, header.image_type,
                TGA_TypeName(header.image_type), header.width, header.height, header.bits_per_pixel);
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
