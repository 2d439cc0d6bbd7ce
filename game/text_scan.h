// Reading the game's small text formats (skins, shader scripts, animation
// configs) out of bytes in memory: tokens, comments, numbers and the faults
// kept while reading. The texts are not NUL-terminated and may hold any
// byte; nothing here reads outside [text, text + size).
#ifndef GAME_TEXT_SCAN_H
#define GAME_TEXT_SCAN_H

#include <cstddef>
#include <string>
#include <vector>

// Room for a reason, its NUL included.
const size_t game_text_reason_size = 160;

// The largest text a reader takes; the biggest shader script of a game is
// a few hundred kilobytes.
const size_t game_text_max_bytes = 16u << 20;

// The longest name or path kept (a surface, an image, a shader); the game
// keeps paths under 64 bytes, so anything this long is not a path at all.
const size_t game_text_max_name = 255;

// Faults kept per text; further ones are counted, not kept.
const size_t game_text_max_faults = 64;

// A position in a text. `unterminated_comment` is the line of a /* with no
// */, 0 while there is none; scanning stops at the end of the text then.
struct TextScan {
    const char *at;
    const char *end;
    int line;
    int unterminated_comment;
};

// Faults met while reading one text; the reader goes on past each.
struct TextFaults {
    std::vector<std::string> list;
    size_t more;   // faults past game_text_max_faults, not kept
};

void TextScan_Start(TextScan *scan, const char *text, size_t size);

// The next token into *token: 1, or 0 at the end of the text, or at the end
// of the line when cross_lines is 0 (the line end is then left unread).
// Blanks, CR, // and /* */ comments separate tokens; { } ( ) are tokens of
// their own; "..." is one token without its quotes, ending at the line end
// when the quote is not closed.
int TextScan_Token(TextScan *scan, int cross_lines, std::string *token);

// Moves past the rest of the line, comments included.
void TextScan_SkipLine(TextScan *scan);

// The token as a finite decimal number (sign, digits, point, exponent): 1,
// or 0 for anything else (hex, inf, nan, trailing text).
int TextScan_Number(const std::string &token, double *value);

// The token as a decimal integer with an optional sign, within
// [-limit, limit]: 1, or 0 otherwise. The limit is at most 10^8, so that
// no step of the reading overflows a 32-bit long.
int TextScan_Integer(const std::string &token, long limit, long *value);

// 1 when the two ASCII strings are equal without regard to case.
int TextScan_Equal(const char *a, const char *b);

// Adds a fault (printf-style), and writes it into reason when that is not
// null and holds no fault yet (reason[0] == 0): the first fault is the one
// returned. Returns 0.
#if defined(__GNUC__)
__attribute__((format(printf, 3, 4)))
#endif
int TextFaults_Add(TextFaults *faults, char *reason, const char *format, ...);

#endif
