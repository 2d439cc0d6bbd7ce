// The viewer's own options, taken off the command line before the model's
// arguments (game/model_resolve.h) are read:
//   --screenshot FILE.tga   draw one frame, write it to FILE and exit
//   --screenshot DIR --all  one picture per player model, DIR/MODEL.tga
//   --size WxH              the client area, in pixels
#ifndef VIEWER_OPTIONS_H
#define VIEWER_OPTIONS_H

#include <string>
#include <vector>

// Room for a reason, its NUL included.
const size_t options_reason_size = 256;

// The largest client side --size takes: past it GL and the screen refuse.
const int options_max_side = 8192;

struct ViewerOptions {
    std::string screenshot;   // empty: the window stays open
    int all;                  // --all: screenshot names a folder
    int has_size;
    int width, height;
};

// Splits args into the viewer's options and the rest, in their order. 1, or
// 0 with a usage fault in reason (options_reason_size bytes).
int ViewerOptions_Parse(const std::vector<std::string> &args, ViewerOptions *options, std::vector<std::string> *rest,
                        char *reason);

#endif
