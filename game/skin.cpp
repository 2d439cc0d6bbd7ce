#include "skin.h"

#include <cstdio>
#include <cstring>

namespace {

int is_trimmed(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string trimmed(const char *start, const char *stop) {
    while (start < stop && is_trimmed(*start))
        ++start;
    while (stop > start && is_trimmed(stop[-1]))
        --stop;
    return std::string(start, size_t(stop - start));
}

int holds_tag_prefix(const std::string &surface) {
    for (size_t i = 0; i + 4 <= surface.size(); ++i)
        if (TextScan_Equal(surface.substr(i, 4).c_str(), "tag_"))
            return 1;
    return 0;
}

}  // namespace

int Skin_Parse(const char *text, size_t size, Skin *skin, char *reason) {
    skin->entries.clear();
    skin->faults = TextFaults();
    if (reason)
        reason[0] = 0;
    if (size > game_text_max_bytes)
        return TextFaults_Add(&skin->faults, reason, "skin of %llu bytes is over the limit of %u",
                              static_cast<unsigned long long>(size), unsigned(game_text_max_bytes));
    const char *end = text + size;
    int line = 0;
    for (const char *at = text; at < end;) {
        ++line;
        const char *stop = static_cast<const char *>(std::memchr(at, '\n', size_t(end - at)));
        if (!stop)
            stop = end;
        const char *comma = static_cast<const char *>(std::memchr(at, ',', size_t(stop - at)));
        std::string whole = trimmed(at, stop);
        const char *next = stop < end ? stop + 1 : end;
        if (whole.empty()) {
            at = next;
            continue;
        }
        if (holds_tag_prefix(comma ? trimmed(at, comma) : whole)) {
            // A tag's line, with or without an image.
        } else if (std::memchr(at, '\0', size_t(stop - at))) {
            TextFaults_Add(&skin->faults, reason, "line %d: a NUL byte in the line", line);
        } else if (!comma) {
            TextFaults_Add(&skin->faults, reason, "line %d: no comma between surface and image", line);
        } else {
            SkinEntry entry;
            entry.surface = trimmed(at, comma);
            entry.image = trimmed(comma + 1, stop);
            entry.line = line;
            if (entry.surface.empty())
                TextFaults_Add(&skin->faults, reason, "line %d: no surface name", line);
            else if (entry.surface.size() > game_text_max_name || entry.image.size() > game_text_max_name)
                TextFaults_Add(&skin->faults, reason, "line %d: name over %u bytes", line,
                               unsigned(game_text_max_name));
            else
                skin->entries.push_back(entry);
        }
        at = next;
    }
    return skin->faults.list.empty() && skin->faults.more == 0;
}

const SkinEntry *Skin_Find(const Skin *skin, const char *surface) {
    for (const SkinEntry &entry : skin->entries)
        if (TextScan_Equal(entry.surface.c_str(), surface))
            return &entry;
    return nullptr;
}

int Skin_SplitFileName(const char *file_name, std::string *piece, std::string *skin_name, char *reason) {
    const char *base = file_name;
    for (const char *c = file_name; *c; ++c)
        if (*c == '/' || *c == '\\')
            base = c + 1;
    size_t length = std::strlen(base);
    const char *underscore = std::strchr(base, '_');
    if (length < 5 || !TextScan_Equal(base + length - 5, ".skin")) {
        if (reason)
            std::snprintf(reason, game_text_reason_size, "%.64s is not a .skin file", base);
        return 0;
    }
    if (!underscore || underscore == base || underscore >= base + length - 6) {
        if (reason)
            std::snprintf(reason, game_text_reason_size, "%.64s is not named PIECE_SKIN.skin", base);
        return 0;
    }
    piece->assign(base, size_t(underscore - base));
    skin_name->assign(underscore + 1, size_t(base + length - 5 - (underscore + 1)));
    return 1;
}
