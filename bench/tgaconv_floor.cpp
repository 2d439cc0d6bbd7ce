// The floor of any converter over a folder: in one process, each input read
// whole into memory and as many bytes written as the converter's output of
// it holds, with no decoding and no fsync. tgaconv_bench.py times it next to
// tgaconv, Pillow and ImageMagick.
//
//   tgaconv_floor LIST
//
// LIST has one line per file: the output's size in bytes, a tab, the input's
// path, a tab, the output's path. Exit status 0 when every file was read and
// written, 1 otherwise.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct FloorJob {
    long output_bytes;
    std::string input;
    std::string output;
};

// The list's lines; 0 when a line is not SIZE<tab>INPUT<tab>OUTPUT.
int read_list(const char *path, std::vector<FloorJob> *jobs) {
    FILE *file = std::fopen(path, "r");
    if (!file)
        return 0;
    int ok = 1;
    std::string line;
    for (int c = std::fgetc(file); ok && c != EOF; c = std::fgetc(file)) {
        if (c != '\n') {
            line += char(c);
            continue;
        }
        size_t tab1 = line.find('\t');
        size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
        char *end = nullptr;
        long bytes = std::strtol(line.c_str(), &end, 10);
        ok = tab2 != std::string::npos && end == line.c_str() + tab1 && bytes >= 0;
        if (ok)
            jobs->push_back({bytes, line.substr(tab1 + 1, tab2 - tab1 - 1), line.substr(tab2 + 1)});
        line.clear();
    }
    std::fclose(file);
    return ok && line.empty();
}

// Reads the whole file into bytes, which keeps its capacity from file to
// file as a converter's buffers would.
int read_whole(const char *path, std::vector<unsigned char> *bytes) {
    FILE *file = std::fopen(path, "rb");
    if (!file)
        return 0;
    long size = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
    int ok = size >= 0 && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        bytes->resize(size_t(size));
        ok = size == 0 || std::fread(bytes->data(), 1, size_t(size), file) == size_t(size);
    }
    std::fclose(file);
    return ok;
}

int write_bytes(const char *path, const unsigned char *bytes, size_t count) {
    FILE *file = std::fopen(path, "wb");
    if (!file)
        return 0;
    int ok = count == 0 || std::fwrite(bytes, 1, count, file) == count;
    return std::fclose(file) == 0 && ok;
}

} // namespace

int main(int argc, char **argv) {
    std::vector<FloorJob> jobs;
    if (argc != 2 || !read_list(argv[1], &jobs)) {
        std::fprintf(stderr, "usage: tgaconv_floor LIST (lines of SIZE<tab>INPUT<tab>OUTPUT)\n");
        return 2;
    }
    std::vector<unsigned char> input;
    std::vector<unsigned char> output;
    for (const FloorJob &job : jobs) {
        if (!read_whole(job.input.c_str(), &input)) {
            std::fprintf(stderr, "tgaconv_floor: cannot read %s\n", job.input.c_str());
            return 1;
        }
        // One block, grown to the largest output and written from as it is:
        // the floor pays for no decoding, only for the bytes it moves.
        if (output.size() < size_t(job.output_bytes))
            output.resize(size_t(job.output_bytes));
        if (!write_bytes(job.output.c_str(), output.data(), size_t(job.output_bytes))) {
            std::fprintf(stderr, "tgaconv_floor: cannot write %s\n", job.output.c_str());
            return 1;
        }
    }
    return 0;
}
