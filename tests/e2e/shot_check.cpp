// shot_check FILE.ppm X Y W H: counts the pixels of a screenshot rectangle
// (x right, y down from the top-left corner) and prints
//   <pixels> <lit> <white> <left> <top> <right> <bottom> <red> <green> <blue> <spread> <chroma>
// left to bottom being the bounding box of the lit pixels (-1 when none).
// lit: any channel above 40 (not the black clear colour); white: every
// channel above 200 (the overlay's text colour at full coverage). red,
// green, blue: the mean of each channel; spread: the standard deviation of
// the brightness (mean of the three channels); chroma: the mean difference
// between a pixel's largest and smallest channel (0 for greys). All rounded.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

static int ReadNumber(FILE *file) {
    int c = std::fgetc(file);
    while (c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '#') {
        if (c == '#')
            while (c != '\n' && c != EOF)
                c = std::fgetc(file);
        c = std::fgetc(file);
    }
    int value = 0;
    while (c >= '0' && c <= '9') {
        value = value * 10 + (c - '0');
        c = std::fgetc(file);
    }
    return value;
}

int main(int argc, char **argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: shot_check FILE.ppm X Y W H\n");
        return 2;
    }
    FILE *file = std::fopen(argv[1], "rb");
    if (!file || std::fgetc(file) != 'P' || std::fgetc(file) != '6') {
        std::fprintf(stderr, "shot_check: %s is not a binary PPM\n", argv[1]);
        return 2;
    }
    int width = ReadNumber(file), height = ReadNumber(file), maxval = ReadNumber(file);
    if (width <= 0 || height <= 0 || maxval != 255) {
        std::fprintf(stderr, "shot_check: unsupported PPM header\n");
        return 2;
    }
    std::vector<unsigned char> rgb(size_t(width) * size_t(height) * 3);
    if (std::fread(rgb.data(), 1, rgb.size(), file) != rgb.size()) {
        std::fprintf(stderr, "shot_check: %s is short\n", argv[1]);
        return 2;
    }
    std::fclose(file);
    int x0 = std::atoi(argv[2]), y0 = std::atoi(argv[3]);
    int x1 = x0 + std::atoi(argv[4]), y1 = y0 + std::atoi(argv[5]);
    if (x0 < 0 || y0 < 0 || x1 > width || y1 > height || x1 <= x0 || y1 <= y0) {
        std::fprintf(stderr, "shot_check: rectangle outside the %dx%d picture\n", width, height);
        return 2;
    }
    long pixels = 0, lit = 0, white = 0;
    double sum[3] = {0, 0, 0}, brightness_sum = 0, brightness_squares = 0, chroma_sum = 0;
    int left = -1, top = -1, right = -1, bottom = -1;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const unsigned char *p = &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3];
            ++pixels;
            if (p[0] > 40 || p[1] > 40 || p[2] > 40) {
                ++lit;
                if (left < 0 || x < left) left = x;
                if (right < x) right = x;
                if (top < 0) top = y;
                bottom = y;
            }
            if (p[0] > 200 && p[1] > 200 && p[2] > 200)
                ++white;
            double brightness = (p[0] + p[1] + p[2]) / 3.0;
            brightness_sum += brightness;
            brightness_squares += brightness * brightness;
            int largest = p[0], smallest = p[0];
            for (int c = 0; c < 3; ++c) {
                sum[c] += p[c];
                largest = p[c] > largest ? p[c] : largest;
                smallest = p[c] < smallest ? p[c] : smallest;
            }
            chroma_sum += largest - smallest;
        }
    double n = double(pixels), mean = brightness_sum / n;
    double spread = std::sqrt(std::fmax(0.0, brightness_squares / n - mean * mean));
    std::printf("%ld %ld %ld %d %d %d %d %ld %ld %ld %ld %ld\n", pixels, lit, white, left, top, right, bottom,
                std::lround(sum[0] / n), std::lround(sum[1] / n), std::lround(sum[2] / n), std::lround(spread),
                std::lround(chroma_sum / n));
    return 0;
}
