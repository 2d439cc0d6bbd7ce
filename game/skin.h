// .skin files of player models: one `surface,image` line per surface of a
// piece, named PIECE_SKIN.skin (lower_default.skin, upper_red.skin).
#ifndef GAME_SKIN_H
#define GAME_SKIN_H

#include <cstddef>
#include <string>
#include <vector>

#include "text_scan.h"

// One line. The image is kept as written, even when empty or `null`, so
// that the caller can say why the surface has none.
struct SkinEntry {
    std::string surface;
    std::string image;
    int line;
};

struct Skin {
    std::vector<SkinEntry> entries;   // in file order
    TextFaults faults;
};

// Reads a skin from text .. text + size into *skin (emptied first). Blanks
// and CR around the two fields are dropped, blank lines skipped, and lines
// whose surface name holds `tag_` (the tags' lines, which may have no
// comma) ignored. A line with no
// comma, with no surface name or with an overlong field is a fault and is
// left out. Returns 1 when every line read cleanly, 0 with the first fault
// in reason (game_text_reason_size bytes, null: not wanted) and every fault
// in skin->faults; the good lines are kept either way.
int Skin_Parse(const char *text, size_t size, Skin *skin, char *reason);

// The first line for the surface, its name compared without regard to
// case; null when there is none.
const SkinEntry *Skin_Find(const Skin *skin, const char *surface);

// Splits a skin file's name, with or without folders, PIECE_SKIN.skin
// (extension in any case) at its first underscore: upper_red.skin gives
// upper and red. 1, or 0 with a reason when the name is not of that form.
int Skin_SplitFileName(const char *file_name, std::string *piece, std::string *skin_name, char *reason);

#endif
