#include "launcher/autostart/launch_list.h"

#include <cstdio>
#include <cstring>
#include <string>

using platform::XmlDocument;
using platform::XmlNode;
using platform::XmlNodeKind;

const char kAutostartEntryName[] = "Avionics Panel Relays";

namespace {

bool is_element(XmlDocument* doc, XmlNode* node, const char* name) {
    char found[128];
    return xml_kind(doc, node) == XmlNodeKind::element && xml_name(doc, node, found, sizeof found) &&
           std::strcmp(found, name) == 0;
}

bool is_blank(const char* text) { return text[std::strspn(text, " \t\r\n")] == '\0'; }

// Element text without the blanks around it; empty when it does not fit.
void trimmed_text(XmlDocument* doc, XmlNode* node, char* out, size_t size) {
    if (!xml_text(doc, node, out, size)) out[0] = '\0';
    size_t start = std::strspn(out, " \t\r\n");
    size_t end = std::strlen(out);
    while (end > start && std::strchr(" \t\r\n", out[end - 1])) --end;
    std::memmove(out, out + start, end - start);
    out[end - start] = '\0';
}

XmlNode* child_element(XmlDocument* doc, XmlNode* parent, const char* name) {
    for (XmlNode* n = xml_first_child(doc, parent); n; n = xml_next_sibling(doc, n)) {
        if (is_element(doc, n, name)) return n;
    }
    return nullptr;
}

bool is_ours(XmlDocument* doc, XmlNode* node) {
    if (!is_element(doc, node, "Launch.Addon")) return false;
    XmlNode* name = child_element(doc, node, "Name");
    char text[256];
    if (!name) return false;
    trimmed_text(doc, name, text, sizeof text);
    return std::strcmp(text, kAutostartEntryName) == 0;
}

XmlNode* last_element(XmlDocument* doc, XmlNode* parent) {
    XmlNode* last = nullptr;
    for (XmlNode* n = xml_first_child(doc, parent); n; n = xml_next_sibling(doc, n)) {
        if (xml_kind(doc, n) == XmlNodeKind::element) last = n;
    }
    return last;
}

// The whitespace before parent's last element, which new children copy;
// fallback when there is none.
std::string child_indent(XmlDocument* doc, XmlNode* parent, const char* fallback) {
    XmlNode* last = last_element(doc, parent);
    XmlNode* before = last ? xml_previous_sibling(doc, last) : nullptr;
    char text[128];
    if (before && xml_kind(doc, before) == XmlNodeKind::text && xml_text(doc, before, text, sizeof text) &&
        is_blank(text) && std::strchr(text, '\n')) {
        return text;
    }
    return fallback;
}

// Adds <name>text</name> after parent's last element, on a line of its own
// indented by indent; closing is the indentation of parent's end tag, used
// when parent had no content to lay out yet.
XmlNode* append_element(XmlDocument* doc, XmlNode* parent, const char* name, const char* text,
                        const std::string& indent, const std::string& closing) {
    XmlNode* last = last_element(doc, parent);
    XmlNode* before = last ? xml_next_sibling(doc, last) : xml_first_child(doc, parent);
    if (!last && before) {
        // No element yet: go before the trailing blanks, if that is all there is.
        char blank[128];
        XmlNode* next = xml_next_sibling(doc, before);
        if (next || xml_kind(doc, before) != XmlNodeKind::text || !xml_text(doc, before, blank, sizeof blank) ||
            !is_blank(blank)) {
            before = nullptr;
        }
    }
    // The element goes in first and its indentation in front of it: a text
    // put next to another text may be merged into it by some parsers.
    bool bare = !xml_first_child(doc, parent);
    XmlNode* element = xml_insert_element(doc, parent, before, name);
    if (!element || !xml_insert_text(doc, parent, element, indent.c_str())) return nullptr;
    if (text && !xml_set_text(doc, element, text)) return nullptr;
    if (bare && !xml_insert_text(doc, parent, nullptr, closing.c_str())) return nullptr;
    return element;
}

// Sets the child's text, adding the child when missing.
bool ensure_child(XmlDocument* doc, XmlNode* entry, const char* name, const char* value,
                  const std::string& indent, const std::string& closing, bool* changed) {
    XmlNode* child = child_element(doc, entry, name);
    if (!child) {
        *changed = true;
        return append_element(doc, entry, name, value, indent, closing) != nullptr;
    }
    char text[1024];
    trimmed_text(doc, child, text, sizeof text);
    if (std::strcmp(text, value) == 0) return true;
    *changed = true;
    return xml_set_text(doc, child, value);
}

// The indentation one level deeper than indent ("\n  " gives "\n    ").
std::string deeper(const std::string& indent) { return indent + indent.substr(indent.rfind('\n') + 1); }

// Removes our entries but the first keep ones, each with the blanks that
// start its line; returns how many, or -1 on failure.
int remove_entries(XmlDocument* doc, XmlNode* root, int keep) {
    int seen = 0;
    XmlNode* next = xml_first_child(doc, root);
    while (next) {
        XmlNode* n = next;
        next = xml_next_sibling(doc, n);
        if (!is_ours(doc, n) || seen++ < keep) continue;
        XmlNode* line = xml_previous_sibling(doc, n);
        char blank[128];
        if (line && xml_kind(doc, line) == XmlNodeKind::text && xml_text(doc, line, blank, sizeof blank) &&
            is_blank(blank) && !xml_remove(doc, line)) {
            return -1;
        }
        if (!xml_remove(doc, n)) return -1;
    }
    return seen > keep ? seen - keep : 0;
}

}  // namespace

XmlDocument* launch_list_create(const char* encoding) {
    XmlDocument* doc = platform::xml_create(encoding, "SimBase.Document");
    XmlNode* root = doc ? xml_root(doc) : nullptr;
    bool ok = root && xml_set_attribute(doc, root, "Type", "Launch") &&
              xml_set_attribute(doc, root, "version", "1,0");
    const char* header[][2] = {
        {"Descr", "Launch"}, {"Filename", "exe.xml"}, {"Disabled", "False"}, {"Launch.ManualLoad", "False"}};
    for (auto& element : header) {
        ok = ok && append_element(doc, root, element[0], element[1], "\n  ", "\n");
    }
    if (!ok) {
        platform::xml_close(doc);
        return nullptr;
    }
    return doc;
}

XmlNode* launch_list_root(XmlDocument* doc, char* why, size_t size) {
    XmlNode* root = xml_root(doc);
    char name[128] = "?";
    if (!root || !xml_name(doc, root, name, sizeof name) || std::strcmp(name, "SimBase.Document") != 0) {
        std::snprintf(why, size, "its root element is <%s>, not <SimBase.Document>", name);
        return nullptr;
    }
    char type[64];
    if (xml_attribute(doc, root, "Type", type, sizeof type) && std::strcmp(type, "Launch") != 0) {
        std::snprintf(why, size, "its root element is of Type \"%s\", not \"Launch\"", type);
        return nullptr;
    }
    return root;
}

void read_autostart_entry(XmlDocument* doc, XmlNode* root, AutostartEntry* entry) {
    *entry = AutostartEntry{};
    for (XmlNode* n = xml_first_child(doc, root); n; n = xml_next_sibling(doc, n)) {
        if (!is_ours(doc, n) || entry->count++ > 0) continue;
        XmlNode* path = child_element(doc, n, "Path");
        XmlNode* command_line = child_element(doc, n, "CommandLine");
        XmlNode* disabled = child_element(doc, n, "Disabled");
        char flag[16] = "";
        if (path) trimmed_text(doc, path, entry->path, sizeof entry->path);
        if (command_line) trimmed_text(doc, command_line, entry->command_line, sizeof entry->command_line);
        if (disabled) trimmed_text(doc, disabled, flag, sizeof flag);
        entry->disabled = flag[0] == 'T' || flag[0] == 't';
    }
}

bool put_autostart_entry(XmlDocument* doc, XmlNode* root, const char* path, const char* command_line,
                         bool* changed) {
    *changed = false;
    XmlNode* entry = nullptr;
    for (XmlNode* n = xml_first_child(doc, root); n && !entry; n = xml_next_sibling(doc, n)) {
        if (is_ours(doc, n)) entry = n;
    }
    std::string indent = child_indent(doc, root, "\n  ");
    if (entry) {
        std::string inner = child_indent(doc, entry, deeper(indent).c_str());
        bool ok = ensure_child(doc, entry, "Disabled", "False", inner, indent, changed) &&
                  ensure_child(doc, entry, "Path", path, inner, indent, changed) &&
                  ensure_child(doc, entry, "CommandLine", command_line, inner, indent, changed);
        // Copies added by hand go: the simulator would start the cockpit twice.
        int extra = ok ? remove_entries(doc, root, 1) : -1;
        if (extra > 0) *changed = true;
        return extra >= 0;
    }
    *changed = true;
    entry = append_element(doc, root, "Launch.Addon", nullptr, indent, "\n");
    std::string inner = deeper(indent);
    return entry && append_element(doc, entry, "Name", kAutostartEntryName, inner, indent) &&
           append_element(doc, entry, "Disabled", "False", inner, indent) &&
           append_element(doc, entry, "Path", path, inner, indent) &&
           append_element(doc, entry, "CommandLine", command_line, inner, indent);
}

int remove_autostart_entries(XmlDocument* doc, XmlNode* root) { return remove_entries(doc, root, 0); }
