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

// The name of a section heading ("[ NET ]"), when the trimmed line is one.
bool heading_name(Span line, Span* name) {
    if (line.begin == line.end || *line.begin != '[') return false;
    const char* close = static_cast<const char*>(std::memchr(line.begin, ']', line.end - line.begin));
    *name = trim(line.begin + 1, close ? close : line.end);
    return true;
}

// The key and the value of a "key=value" line, trimmed.
bool key_line(Span line, Span* key, Span* value) {
    const char* eq = static_cast<const char*>(std::memchr(line.begin, '=', line.end - line.begin));
    if (!eq) return false;
    *key = trim(line.begin, eq);
    *value = trim(eq + 1, line.end);
    return true;
}

// Walks the lines of the first section named `section`, its heading first:
// visit(line, rest) with the line trimmed and the text after it. Stops when
// visit returns true. False when there is no such section.
template <typename Visit>
bool walk_section(const char* text, const char* section, Visit visit) {
    bool inside = false;
    bool seen = false;
    const char* p = text;
    while (*p) {
        const char* eol = std::strchr(p, '\n');
        if (!eol) eol = p + std::strlen(p);
        Span line = trim(p, eol);
        p = *eol ? eol + 1 : eol;
        Span name;
        if (heading_name(line, &name)) {
            if (inside) return true;  // only the first matching section counts
            inside = !seen && span_equals(name, section);
            seen = seen || inside;
        }
        if (inside && visit(line, p)) return true;
    }
    return seen;
}

// Calls visit(line) for each line of the section that is neither its
// heading, nor blank, nor a comment. Stops when visit returns true.
template <typename Visit>
void for_each_line_in_section(const char* text, const char* section, Visit visit) {
    walk_section(text, section, [&](Span line, const char*) {
        return line.begin < line.end && *line.begin != '[' && *line.begin != ';' && visit(line);
    });
}

}  // namespace

int32_t ini_find_value(const char* text, const char* section, const char* key, char* out, uint32_t size) {
    int32_t result = -1;
    for_each_line_in_section(text, section, [&](Span line) {
        Span name, value;
        if (!key_line(line, &name, &value) || !span_equals(name, key)) return false;
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

void ini_set_value(std::string* text, const char* section, const char* key, const char* value,
                   const char* line_end) {
    size_t first_end = text->find('\n');
    std::string eol = first_end == std::string::npos ? line_end
                      : first_end > 0 && (*text)[first_end - 1] == '\r' ? "\r\n"
                                                                       : "\n";
    std::string entry = std::string(key) + "=" + value;
    const char* base = text->c_str();
    size_t insert_at = 0;    // below the heading, or below the key commented out
    bool commented = false;  // a line holding the key commented out was seen
    bool replaced = false;
    bool seen = walk_section(base, section, [&](Span line, const char* rest) {
        Span name, found;
        if (line.begin == line.end) return false;
        if (*line.begin == '[') {
            insert_at = static_cast<size_t>(rest - base);
        } else if (*line.begin == ';') {
            if (!commented && key_line(trim(line.begin + 1, line.end), &name, &found) && span_equals(name, key)) {
                commented = true;
                insert_at = static_cast<size_t>(rest - base);
            }
        } else if (key_line(line, &name, &found) && span_equals(name, key)) {
            text->replace(static_cast<size_t>(found.begin - base), static_cast<size_t>(found.end - found.begin), value);
            replaced = true;
        }
        return replaced;
    });
    if (replaced) return;
    bool open_end = !text->empty() && text->back() != '\n';  // the last line has no line end
    if (seen) {
        if (insert_at == text->size() && open_end) {
            text->append(eol + entry);
        } else {
            text->insert(insert_at, entry + eol);
        }
        return;
    }
    if (open_end) text->append(eol);
    if (!text->empty()) text->append(eol);  // a blank line before the new section
    text->append("[" + std::string(section) + "]" + eol + entry + eol);
}

}  // namespace platform
