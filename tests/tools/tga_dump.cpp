// Prints what the library's own reader makes of a TGA file, for the
// comparison with Pillow: "WIDTH HEIGHT BITS" on one line, then the pixel
// bytes as read (rows in file order, B,G,R(,A) or one byte per pixel).
#include <cstdio>
#include <cstdlib>

#include "tga_read.h"

int main(int argc, char **argv) {
    TgaImage image;
    char reason[tga_reason_size] = "usage: tga_dump FILE";
    if (argc != 2 || !TGA_Read(argv[1], &image, TGA_USE_IMAGE, reason)) {
        std::fprintf(stderr, "tga_dump: %s\n", reason);
        return 1;
    }
    std::printf("%d %d %d\n", image.width, image.height, image.bits_per_pixel);
    size_t bytes = size_t(TGA_PixelBytes(image.width, image.height, image.bits_per_pixel));
    int written = std::fwrite(image.pixels, 1, bytes, stdout) == bytes;
    std::free(image.pixels);
    return written ? 0 : 1;
}
