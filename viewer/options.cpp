#include "options.h"

#include <cstdio>
#include <cstdlib>

namespace {

int refuse(char *reason, const std::string &text) {
    std::snprintf(reason, options_reason_size, "%s", text.c_str());
    return 0;
}

// A side of --size: digits only, 1 to options_max_side.
int parse_side(const std::string &text, int *side) {
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    *side = std::atoi(text.c_str());
    return *side >= 1 && *side <= options_max_side;
}

}  // namespace

int ViewerOptions_Parse(const std::vector<std::string> &args, ViewerOptions *options, std::vector<std::string> *rest,
                        char *reason) {
    *options = ViewerOptions();
    rest->clear();
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (arg == "--all") {
            options->all = 1;
        } else if (arg == "--screenshot" || arg == "--size") {
            if (i + 1 >= args.size())
                return refuse(reason, arg + " needs a value");
            const std::string &value = args[++i];
            if (arg == "--screenshot") {
                options->screenshot = value;
                continue;
            }
            size_t x = value.find_first_of("xX");
            if (x == std::string::npos || !parse_side(value.substr(0, x), &options->width) ||
                !parse_side(value.substr(x + 1), &options->height))
                return refuse(reason, "--size: " + value + " is not WIDTHxHEIGHT within 1 to " +
                                          std::to_string(options_max_side));
            options->has_size = 1;
        } else {
            rest->push_back(arg);
        }
    }
    if (options->all && options->screenshot.empty())
        return refuse(reason, "--all needs --screenshot DIR");
    if (!options->screenshot.empty() && rest->empty())
        return refuse(reason, "--screenshot needs a model: GAME [MODEL], or FILE.md3");
    return 1;
}
