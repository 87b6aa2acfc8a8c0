// No system XML parser on POSIX: every call fails, so nothing is ever edited.
#include <cstdio>

#include "platform/xml_document.h"

namespace platform {

bool xml_available() { return false; }

XmlDocument* xml_load(const char*, XmlLoadResult* result) {
    result->status = XmlLoadStatus::unreadable;
    result->line = result->column = 0;
    std::snprintf(result->reason, sizeof result->reason, "no XML parser on this system");
    return nullptr;
}

void xml_close(XmlDocument*) {}

const std::string& xml_file_bytes(const XmlDocument*) {
    static const std::string none;
    return none;
}

const char* xml_encoding(const XmlDocument*) { return ""; }
XmlFit xml_encode(const char*, const char*, std::string*) { return XmlFit::unknown_encoding; }
XmlNode* xml_root(XmlDocument*) { return nullptr; }
XmlNode* xml_first_child(XmlDocument*, XmlNode*) { return nullptr; }
XmlNode* xml_next_sibling(XmlDocument*, XmlNode*) { return nullptr; }
XmlNodeKind xml_kind(XmlDocument*, XmlNode*) { return XmlNodeKind::other; }
bool xml_name(XmlDocument*, XmlNode*, char*, size_t) { return false; }
bool xml_text(XmlDocument*, XmlNode*, char*, size_t) { return false; }
bool xml_attribute(XmlDocument*, XmlNode*, const char*, char*, size_t) { return false; }

}  // namespace platform
