#include "text_scan.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

int is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

int is_single_token(char c) {
    return c == '{' || c == '}' || c == '(' || c == ')';
}

char lower_ascii(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

int is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Skips blanks and comments. Returns 0 when it stopped at a line end that
// it may not cross, or at the end of the text.
int skip_space(TextScan *scan, int cross_lines) {
    while (scan->at < scan->end) {
        char c = *scan->at;
        if (c == '\n') {
            if (!cross_lines)
                return 0;
            ++scan->line;
            ++scan->at;
        } else if (is_blank(c) || c == '\0') {
            ++scan->at;
        } else if (c == '/' && scan->end - scan->at >= 2 && scan->at[1] == '/') {
            while (scan->at < scan->end && *scan->at != '\n')
                ++scan->at;
        } else if (c == '/' && scan->end - scan->at >= 2 && scan->at[1] == '*') {
            int start = scan->line;
            int crossed = 0;
            scan->at += 2;
            while (scan->at < scan->end && !(*scan->at == '*' && scan->end - scan->at >= 2 && scan->at[1] == '/')) {
                if (*scan->at == '\n') {
                    ++scan->line;
                    crossed = 1;
                }
                ++scan->at;
            }
            if (scan->at >= scan->end) {
                scan->unterminated_comment = start;
                return 0;
            }
            scan->at += 2;
            // A comment over a line end ends the line for a reader of lines.
            if (crossed && !cross_lines)
                return 0;
        } else {
            return 1;
        }
    }
    return 0;
}

}  // namespace

void TextScan_Start(TextScan *scan, const char *text, size_t size) {
    scan->at = text;
    scan->end = text + size;
    scan->line = 1;
    scan->unterminated_comment = 0;
}

int TextScan_Token(TextScan *scan, int cross_lines, std::string *token) {
    token->clear();
    if (!skip_space(scan, cross_lines))
        return 0;
    const char *start = scan->at;
    if (is_single_token(*start)) {
        ++scan->at;
        token->assign(start, 1);
        return 1;
    }
    if (*start == '"') {
        ++start;
        const char *stop = start;
        while (stop < scan->end && *stop != '"' && *stop != '\n' && *stop != '\0')
            ++stop;
        token->assign(start, size_t(stop - start));
        scan->at = stop < scan->end && *stop == '"' ? stop + 1 : stop;
        return 1;
    }
    const char *stop = start;
    while (stop < scan->end && !is_blank(*stop) && *stop != '\n' && *stop != '\0' && !is_single_token(*stop) &&
           !(*stop == '/' && scan->end - stop >= 2 && (stop[1] == '/' || stop[1] == '*')))
        ++stop;
    token->assign(start, size_t(stop - start));
    scan->at = stop;
    return 1;
}

void TextScan_SkipLine(TextScan *scan) {
    std::string ignored;
    while (TextScan_Token(scan, 0, &ignored)) {
    }
    if (scan->at < scan->end && *scan->at == '\n') {
        ++scan->at;
        ++scan->line;
    }
}

int TextScan_Number(const std::string &token, double *value) {
    size_t i = 0, n = token.size();
    if (i < n && (token[i] == '+' || token[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < n && is_digit(token[i]))
        ++i, ++digits;
    if (i < n && token[i] == '.') {
        ++i;
        while (i < n && is_digit(token[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return 0;
    if (i < n && (token[i] == 'e' || token[i] == 'E')) {
        ++i;
        if (i < n && (token[i] == '+' || token[i] == '-'))
            ++i;
        size_t exponent_digits = 0;
        while (i < n && is_digit(token[i]))
            ++i, ++exponent_digits;
        if (exponent_digits == 0)
            return 0;
    }
    if (i != n)
        return 0;
    // The text is checked to be plain decimal, so strtod's reading of it is
    // only a conversion (a locale with a decimal comma aside: the viewer
    // never sets one).
    double parsed = std::strtod(token.c_str(), nullptr);
    if (!std::isfinite(parsed))
        return 0;
    *value = parsed;
    return 1;
}

int TextScan_Integer(const std::string &token, long limit, long *value) {
    size_t i = 0, n = token.size();
    int negative = 0;
    if (i < n && (token[i] == '+' || token[i] == '-'))
        negative = token[i++] == '-';
    if (i == n)
        return 0;
    long parsed = 0;
    for (; i < n; ++i) {
        if (!is_digit(token[i]))
            return 0;
        parsed = parsed * 10 + (token[i] - '0');
        if (parsed > limit)
            return 0;
    }
    *value = negative ? -parsed : parsed;
    return 1;
}

int TextScan_Equal(const char *a, const char *b) {
    for (; *a && *b; ++a, ++b)
        if (lower_ascii(*a) != lower_ascii(*b))
            return 0;
    return *a == *b;
}

int TextFaults_Add(TextFaults *faults, char *reason, const char *format, ...) {
    char text[game_text_reason_size];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (reason && reason[0] == 0)
        std::snprintf(reason, game_text_reason_size, "%s", text);
    if (faults->list.size() < game_text_max_faults)
        faults->list.push_back(text);
    else
        ++faults->more;
    return 0;
}
