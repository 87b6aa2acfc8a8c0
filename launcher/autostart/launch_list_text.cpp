#include "launcher/autostart/launch_list_text.h"

#include <cstring>
#include <vector>

#include "launcher/autostart/launch_list.h"

namespace {

constexpr size_t npos = std::string::npos;

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// One element of the text, by byte offsets.
struct Element {
    std::string name;
    size_t start;          // its '<'
    size_t tag_end;        // the '>' of its start tag
    size_t content_start;  // after that '>'
    size_t content_end;    // the '<' of its end tag; content_start for <name/>
    size_t end;            // after its last '>'
    bool empty_tag;        // <name/>
    int parent;            // index of the enclosing element, -1 for the root
};

using Elements = std::vector<Element>;

size_t past(const std::string& t, size_t from, const char* token) {
    size_t at = t.find(token, from);
    return at == npos ? npos : at + std::strlen(token);
}

// Past the '>' of the tag at from; a '>' inside a quoted value does not end it.
size_t past_tag(const std::string& t, size_t from) {
    char quote = 0;
    for (size_t i = from; i < t.size(); ++i) {
        if (quote) {
            if (t[i] == quote) quote = 0;
        } else if (t[i] == '"' || t[i] == '\'') {
            quote = t[i];
        } else if (t[i] == '>') {
            return i + 1;
        }
    }
    return npos;
}

// Every element in document order; false when the text cannot be followed.
// The parser has found the text well-formed, so only the kinds of markup
// are told apart here.
bool scan(const std::string& t, Elements* out) {
    out->clear();
    std::vector<int> open;
    size_t p = 0;
    while ((p = t.find('<', p)) != npos) {
        size_t next;
        if (t.compare(p, 4, "<!--") == 0) {
            next = past(t, p + 4, "-->");
        } else if (t.compare(p, 9, "<![CDATA[") == 0) {
            next = past(t, p + 9, "]]>");
        } else if (t.compare(p, 2, "<?") == 0) {
            next = past(t, p + 2, "?>");
        } else if (t.compare(p, 2, "<!") == 0) {
            return false;  // a document type declaration may define what the text does not show
        } else if (t.compare(p, 2, "</") == 0) {
            next = past(t, p, ">");
            if (open.empty() || next == npos) return false;
            Element& e = (*out)[static_cast<size_t>(open.back())];
            e.content_end = p;
            e.end = next;
            open.pop_back();
        } else {
            next = past_tag(t, p);
            if (next == npos || (open.empty() && !out->empty())) return false;
            Element e;
            size_t name_end = t.find_first_of(" \t\r\n/>", p + 1);
            e.name = t.substr(p + 1, name_end - p - 1);
            e.start = p;
            e.tag_end = next - 1;
            e.content_start = e.content_end = e.end = next;
            e.empty_tag = t[next - 2] == '/';
            e.parent = open.empty() ? -1 : open.back();
            out->push_back(e);
            if (!e.empty_tag) open.push_back(static_cast<int>(out->size() - 1));
        }
        if (next == npos) return false;
        p = next;
    }
    return !out->empty() && open.empty();
}

std::string trimmed(const std::string& t, size_t begin, size_t end) {
    while (begin < end && is_blank(t[begin])) ++begin;
    while (end > begin && is_blank(t[end - 1])) --end;
    return t.substr(begin, end - begin);
}

// The first child element of that name; -1 when there is none.
int child_named(const Elements& els, int parent, const char* name) {
    for (size_t i = static_cast<size_t>(parent) + 1; i < els.size(); ++i) {
        if (els[i].parent == parent && els[i].name == name) return static_cast<int>(i);
    }
    return -1;
}

int last_child(const Elements& els, int parent) {
    int last = -1;
    for (size_t i = static_cast<size_t>(parent) + 1; i < els.size(); ++i) {
        if (els[i].parent == parent) last = static_cast<int>(i);
    }
    return last;
}

bool is_ours(const std::string& t, const Elements& els, int i) {
    if (els[i].parent != 0 || els[i].name != "Launch.Addon") return false;
    int name = child_named(els, i, "Name");
    return name >= 0 && trimmed(t, els[name].content_start, els[name].content_end) == kAutostartEntryName;
}

std::vector<int> our_entries(const std::string& t, const Elements& els) {
    std::vector<int> ours;
    for (size_t i = 1; i < els.size(); ++i) {
        if (is_ours(t, els, static_cast<int>(i))) ours.push_back(static_cast<int>(i));
    }
    return ours;
}

// Where the line break and indentation in front of the element begin; the
// element's start when it does not begin a line.
size_t line_start(const std::string& t, const Element& e) {
    size_t begin = e.start;
    while (begin > 0 && is_blank(t[begin - 1])) --begin;
    size_t at = t.rfind('\n', e.start);
    if (at == npos || at < begin) return e.start;
    return at > begin && t[at - 1] == '\r' ? at - 1 : at;
}

std::string line_end_of(const std::string& t) { return t.find("\r\n") != npos ? "\r\n" : "\n"; }

// The line break and indentation in front of the element; fallback when it
// does not begin a line.
std::string indent_of(const std::string& t, const Element& e, const std::string& fallback) {
    size_t begin = line_start(t, e);
    return begin < e.start ? t.substr(begin, e.start - begin) : fallback;
}

// What puts a new child of parent on a line of its own: the indentation of
// its last child, else fallback.
std::string child_indent(const std::string& t, const Elements& els, int parent, const std::string& fallback) {
    int last = last_child(els, parent);
    return last < 0 ? fallback : indent_of(t, els[static_cast<size_t>(last)], fallback);
}

// One level deeper: "\r\n  " gives "\r\n    ".
std::string deeper(const std::string& indent) { return indent + indent.substr(indent.rfind('\n') + 1); }

// The markup characters of a value as references; the rest as it is.
std::string escaped(const std::string& value) {
    std::string out;
    for (char c : value) {
        if (c == '&') {
            out += "&amp;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else {
            out += c;
        }
    }
    return out;
}

std::string element_text(const char* name, const std::string& value) {
    return std::string("<") + name + ">" + value + "</" + name + ">";
}

// Puts child (markup) into parent after its last child, on a line indented
// by indent; closing goes before the parent's end tag when no line break
// stands there yet.
void insert_child(std::string* t, const Elements& els, int parent, const std::string& child,
                  const std::string& indent, const std::string& closing) {
    const Element& p = els[static_cast<size_t>(parent)];
    int last = last_child(els, parent);
    if (last >= 0) {
        t->insert(els[static_cast<size_t>(last)].end, indent + child);
    } else if (p.empty_tag) {
        t->replace(p.tag_end - 1, 2, ">" + indent + child + closing + "</" + p.name + ">");
    } else {
        // Before the blanks that lead to the end tag, which then close the new line.
        size_t at = p.content_end;
        while (at > p.content_start && is_blank((*t)[at - 1])) --at;
        t->insert(at, indent + child + (at == p.content_end ? closing : ""));
    }
}

// The child's value; an empty element is opened for it.
void set_value(std::string* t, const Element& child, const std::string& value) {
    if (child.empty_tag) {
        t->replace(child.tag_end - 1, 2, ">" + value + "</" + child.name + ">");
    } else {
        t->replace(child.content_start, child.content_end - child.content_start, value);
    }
}

void cut(std::string* t, const Element& e) {
    size_t begin = line_start(*t, e);
    t->erase(begin, e.end - begin);
}

// More passes than any list needs: each pass makes one change or ends.
constexpr int kMostPasses = 4096;

}  // namespace

std::string new_launch_list_text(const char* encoding) {
    return std::string("<?xml version=\"1.0\" encoding=\"") + encoding +
           "\"?>\r\n"
           "<SimBase.Document Type=\"Launch\" version=\"1,0\">\r\n"
           "  <Descr>Launch</Descr>\r\n"
           "  <Filename>exe.xml</Filename>\r\n"
           "  <Disabled>False</Disabled>\r\n"
           "  <Launch.ManualLoad>False</Launch.ManualLoad>\r\n"
           "</SimBase.Document>\r\n";
}

int count_entries_in_text(const std::string& text) {
    Elements els;
    return scan(text, &els) ? static_cast<int>(our_entries(text, els).size()) : -1;
}

bool put_entry_in_text(std::string* text, const std::string& path, const std::string& command_line,
                       EntryChange* change) {
    *change = EntryChange::none;
    const std::string values[][2] = {
        {"Disabled", "False"}, {"Path", escaped(path)}, {"CommandLine", escaped(command_line)}};
    Elements els;
    for (int pass = 0; pass < kMostPasses; ++pass) {
        if (!scan(*text, &els)) return false;
        std::string eol = line_end_of(*text);
        std::string indent = child_indent(*text, els, 0, eol + "  ");
        std::vector<int> ours = our_entries(*text, els);
        if (ours.empty()) {
            std::string inner = deeper(indent);
            std::string entry = "<Launch.Addon>" + inner + element_text("Name", kAutostartEntryName);
            for (const auto& value : values) entry += inner + element_text(value[0].c_str(), value[1]);
            insert_child(text, els, 0, entry + indent + "</Launch.Addon>", indent, eol);
            *change = EntryChange::added;
            continue;
        }
        const Element& entry = els[static_cast<size_t>(ours[0])];
        std::string own_indent = indent_of(*text, entry, indent);
        bool edited = false;
        for (const auto& value : values) {
            int child = child_named(els, ours[0], value[0].c_str());
            if (child < 0) {
                std::string inner = child_indent(*text, els, ours[0], deeper(own_indent));
                insert_child(text, els, ours[0], element_text(value[0].c_str(), value[1]), inner, own_indent);
                edited = true;
                break;
            }
            const Element& e = els[static_cast<size_t>(child)];
            if (trimmed(*text, e.content_start, e.content_end) != value[1]) {
                set_value(text, e, value[1]);
                edited = true;
                break;
            }
        }
        // Copies added by hand go: the simulator would start the cockpit twice.
        if (!edited && ours.size() > 1) {
            cut(text, els[static_cast<size_t>(ours[1])]);
            edited = true;
        }
        if (!edited) return true;
        if (*change == EntryChange::none) *change = EntryChange::updated;
    }
    return false;
}

int remove_entries_from_text(std::string* text) {
    Elements els;
    for (int removed = 0; removed < kMostPasses; ++removed) {
        if (!scan(*text, &els)) return -1;
        std::vector<int> ours = our_entries(*text, els);
        if (ours.empty()) return removed;
        cut(text, els[static_cast<size_t>(ours[0])]);
    }
    return -1;
}
