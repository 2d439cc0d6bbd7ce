// tgaconv: writes TGA files in the form that the tga library reads, the
// right way up. One file (IN OUT), many into a folder (-o DIR PATH...) or
// files replaced where they are (--in-place PATH...).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "conv_files.h"
#include "tga_convert.h"

namespace {

const char usage[] =
    "usage: tgaconv IN OUT\n"
    "       tgaconv -o DIR PATH...\n"
    "       tgaconv --in-place PATH...\n"
    "Writes TGA files as the tga library reads them and shows them the right way\n"
    "up: 24-bit true colour (32-bit when the source has alpha) or 8-bit greyscale,\n"
    "uncompressed, with no colour map, rows bottom to top and pixels left to right.\n"
    "It reads colour-mapped, true-colour and greyscale files, run-length encoded\n"
    "or not (types 1, 2, 3, 9, 10, 11), at any origin. The image ID and the TGA\n"
    "2.0 extension area are not kept.\n"
    "IN OUT converts one file. -o DIR writes each file PATH to DIR under its own\n"
    "name and each *.tga file in a folder PATH to DIR at its path inside that\n"
    "folder, replacing files there; of two inputs with one output (letter case\n"
    "aside) the second is refused. --in-place replaces each file that needs\n"
    "converting and leaves alone those that the library already reads bottom to\n"
    "top. Every output is written to a temporary file and moved into place.\n"
    "A file that is not converted gets \"FILE: refused: REASON\" and no output,\n"
    "and so does a folder or entry that cannot be opened, listed or examined.\n"
    "Exit status 0 when all converted, 1 when any was refused, 2 for a usage\n"
    "error. Runs with -o and --in-place end with a count of the files.\n";

// Progress goes to a terminal's stderr only for runs over this many files.
const size_t progress_above = 200;

enum Mode { MODE_ONE, MODE_FOLDER, MODE_IN_PLACE };

struct Job {
    std::string input;
    std::string output;
    std::string refusal;   // why the walk could not take input, a folder or entry
};

// What a job allocates in C, freed by the caller whichever way the job ends.
struct JobBuffers {
    uint8_t *bytes;
    TgaConverted converted;
};

struct Tally {
    size_t converted;
    size_t unchanged;
    size_t refused;
    bool progress;             // a progress line is on stderr
    std::string last_folder;   // the output folder last made
};

std::string base_name(const std::string &path) {
    size_t start = path.size();
    while (start > 0 && !ConvFiles_IsSeparator(path[start - 1]))
        --start;
    return path.substr(start);
}

// The jobs of a run: a folder PATH's *.tga files at their paths inside it,
// any other PATH by its own name; into DIR, or in place when dir is null.
// What cannot be examined or walked becomes a job that is refused.
std::vector<Job> collect(const std::vector<std::string> &paths, const std::string *dir) {
    std::vector<Job> jobs;
    for (const std::string &path : paths) {
        char reason[conv_reason_size] = "";
        int folder = ConvFiles_IsFolder(path, reason);
        if (folder < 0) {
            jobs.push_back({path, path, reason});
        } else if (folder) {
            for (const ConvFilesFound &found : ConvFiles_Walk(path)) {
                std::string input = found.path.empty() ? path : ConvFiles_Join(path, found.path);
                jobs.push_back({input, dir ? ConvFiles_Join(*dir, found.path) : input, found.refusal});
            }
        } else {
            jobs.push_back({path, dir ? ConvFiles_Join(*dir, base_name(path)) : path, std::string()});
        }
    }
    return jobs;
}

void clear_progress(Tally *tally) {
    if (tally->progress) {
        std::fputs("\r                                        \r", stderr);
        tally->progress = false;
    }
}

void refused(const std::string &input, const char *reason, Tally *tally) {
    clear_progress(tally);
    std::printf("%s: refused: %s\n", input.c_str(), reason);
    std::fflush(stdout);
    ++tally->refused;
}

// One job; its outcome counted in tally. What it allocates in C it leaves
// in held, for the caller to free.
void convert_job(Mode mode, const Job &job, std::set<std::string> *outputs, Tally *tally, JobBuffers *held) {
    char reason[conv_reason_size] = "";
    if (!job.refusal.empty())
        return refused(job.input, job.refusal.c_str(), tally);
    if (mode == MODE_FOLDER && !outputs->insert(ConvFiles_FoldCase(job.output)).second) {
        std::snprintf(reason, sizeof reason, "%s is an earlier file's output", job.output.c_str());
        return refused(job.input, reason, tally);
    }
    if (mode != MODE_IN_PLACE && ConvFiles_Same(job.input, job.output)) {
        std::snprintf(reason, sizeof reason, "%s is the input itself", job.output.c_str());
        return refused(job.input, reason, tally);
    }
    size_t size = 0;
    if (!ConvFiles_Read(job.input, &held->bytes, &size, reason))
        return refused(job.input, reason, tally);
    TgaConvertHeader header;
    if (mode == MODE_IN_PLACE && TgaConvert_CheckHeader(held->bytes, size, &header, nullptr) && header.library_reads) {
        ++tally->unchanged;
        return;
    }
    TgaConverted &converted = held->converted;
    int ok = TgaConvert_Memory(held->bytes, size, &converted, reason);
    std::free(held->bytes);
    held->bytes = nullptr;
    if (!ok)
        return refused(job.input, reason, tally);
    // Files of one folder come one after another: its folder is made once.
    if (mode == MODE_FOLDER) {
        std::string folder = ConvFiles_FolderOf(job.output);
        if (folder != tally->last_folder) {
            ok = ConvFiles_MakeFolders(folder, reason);
            tally->last_folder = ok ? folder : std::string();
        }
    }
    if (ok)
        ok = ConvFiles_Replace(job.output, converted.bytes, converted.size, reason);
    if (!ok)
        return refused(job.input, reason, tally);
    if (converted.unchanged)
        ++tally->unchanged;
    else
        ++tally->converted;
}

// One job: running out of memory refuses its file, and the run goes on.
void convert(Mode mode, const Job &job, std::set<std::string> *outputs, Tally *tally) {
    JobBuffers held = {nullptr, {nullptr, 0, 0}};
    try {
        convert_job(mode, job, outputs, tally, &held);
    } catch (const std::bad_alloc &) {
        refused(job.input, "out of memory", tally);
    }
    std::free(held.bytes);
    std::free(held.converted.bytes);
}

// Out of memory outside any job, setting up the run: it ends.
int out_of_memory() {
    std::fputs("tgaconv: out of memory\n", stderr);
    return 1;
}

int run(const std::vector<std::string> &args) {
    Mode mode = MODE_ONE;
    std::string dir;
    std::vector<std::string> paths;
    if (args.size() >= 3 && args[0] == "-o") {
        mode = MODE_FOLDER;
        dir = args[1];
        paths.assign(args.begin() + 2, args.end());
    } else if (args.size() >= 2 && args[0] == "--in-place") {
        mode = MODE_IN_PLACE;
        paths.assign(args.begin() + 1, args.end());
    } else if (args.size() != 2 || args[0] == "-o" || args[0] == "--in-place") {
        std::fputs(usage, stderr);
        return 2;
    }
    ConvFiles_Setup();
    std::vector<Job> jobs;
    if (mode == MODE_ONE)
        jobs.push_back({args[0], args[1], std::string()});
    else
        jobs = collect(paths, mode == MODE_FOLDER ? &dir : nullptr);

    Tally tally = {0, 0, 0, false, std::string()};
    bool show_progress = jobs.size() > progress_above && ConvFiles_ErrorIsTerminal();
    std::set<std::string> outputs;
    for (size_t i = 0; i < jobs.size(); ++i) {
        convert(mode, jobs[i], &outputs, &tally);
        if (show_progress && (i % 16 == 0 || i + 1 == jobs.size())) {
            std::fprintf(stderr, "\rtgaconv: %llu of %llu files", static_cast<unsigned long long>(i + 1),
                         static_cast<unsigned long long>(jobs.size()));
            tally.progress = true;
        }
    }
    clear_progress(&tally);
    if (mode != MODE_ONE)
        std::printf("tgaconv: %llu converted, %llu %s unchanged, %llu refused\n",
                    static_cast<unsigned long long>(tally.converted), static_cast<unsigned long long>(tally.unchanged),
                    mode == MODE_FOLDER ? "written" : "left", static_cast<unsigned long long>(tally.refused));
    return tally.refused ? 1 : 0;
}

}  // namespace

#ifdef _WIN32
// Wide-character arguments, so that any file name reaches the program.
int wmain(int argc, wchar_t **argv) {
    try {
        std::vector<std::string> args;
        for (int i = 1; i < argc; ++i)
            args.push_back(ConvFiles_FromWide(argv[i]));
        return run(args);
    } catch (const std::bad_alloc &) {
        return out_of_memory();
    }
}
#else
int main(int argc, char **argv) {
    try {
        return run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::bad_alloc &) {
        return out_of_memory();
    }
}
#endif
