#include "platform/ini_reader.h"

#include <cctype>
#include <cstring>

namespace platform {
namespace {

// One line of the text with its blanks trimmed: [begin, end).
struct Span {
    const char* begin;
    const char* end;
};

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

Span trim(const char* b, const char* e) {
    while (b < e && is_blank(*b)) ++b;
    while (e > b && is_blank(e[-1])) --e;
    return {b, e};
}

bool span_equals(Span s, const char* name) {
    size_t n = std::strlen(name);
    if (static_cast<size_t>(s.end - s.begin) != n) return false;
    for (size_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(s.begin[i])) != std::tolower(static_cast<unsigned char>(name[i])))
            return false;
    }
    return true;
}

// Walks the lines; calls visit(line) for each line of the first section
// named `section`. Stops when visit returns true.
template <typename Visit>
void for_each_line_in_section(const char* text, const char* section, Visit visit) {
    bool inside = false;
    bool seen = false;
    const char* p = text;
    while (*p) {
        const char* eol = std::strchr(p, '\n');
        if (!eol) eol = p + std::strlen(p);
        Span line = trim(p, eol);
        p = *eol ? eol + 1 : eol;
        if (line.begin < line.end && *line.begin == '[') {
            if (inside) return;  // only the first matching section counts
            const char* close = static_cast<const char*>(std::memchr(line.begin, ']', line.end - line.begin));
            Span name = trim(line.begin + 1, close ? close : line.end);
            inside = !seen && span_equals(name, section);
            seen = seen || inside;
            continue;
        }
        if (inside && line.begin < line.end && *line.begin != ';' && visit(line)) return;
    }
}

}  // namespace

int32_t ini_find_value(const char* text, const char* section, const char* key, char* out, uint32_t size) {
    int32_t result = -1;
    for_each_line_in_section(text, section, [&](Span line) {
        const char* eq = static_cast<const char*>(std::memchr(line.begin, '=', line.end - line.begin));
        if (!eq || !span_equals(trim(line.begin, eq), key)) return false;
        Span value = trim(eq + 1, line.end);
        // A value in matching quotes loses them, as with the Windows calls.
        if (value.end - value.begin >= 2 && (*value.begin == '"' || *value.begin == '\'') &&
            value.end[-1] == *value.begin) {
            ++value.begin;
            --value.end;
        }
        uint32_t n = static_cast<uint32_t>(value.end - value.begin);
        if (size == 0) {
            result = 0;
            return true;
        }
        if (n > size - 1) n = size - 1;
        std::memcpy(out, value.begin, n);
        out[n] = '\0';
        result = static_cast<int32_t>(n);
        return true;
    });
    return result;
}

uint32_t ini_copy_section(const char* text, const char* section, char* out, uint32_t size) {
    if (size < 2) {
        if (size) out[0] = '\0';
        return 0;
    }
    uint32_t used = 0;
    for_each_line_in_section(text, section, [&](Span line) {
        uint32_t n = static_cast<uint32_t>(line.end - line.begin);
        if (used + n + 2 > size) return true;  // no room: keep what fits
        std::memcpy(out + used, line.begin, n);
        used += n;
        out[used++] = '\0';
        return false;
    });
    out[used] = '\0';
    return used;
}

}  // namespace platform
