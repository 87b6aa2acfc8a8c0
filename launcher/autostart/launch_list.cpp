#include "launcher/autostart/launch_list.h"

#include <cstdio>
#include <cstring>

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

}  // namespace

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
