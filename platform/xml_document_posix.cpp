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

XmlDocument* xml_create(const char*, const char*) { return nullptr; }
void xml_close(XmlDocument*) {}
const char* xml_encoding(const XmlDocument*) { return ""; }
XmlFit xml_encoding_holds(const XmlDocument*, const char*) { return XmlFit::unknown_encoding; }
XmlNode* xml_root(XmlDocument*) { return nullptr; }
XmlNode* xml_first_child(XmlDocument*, XmlNode*) { return nullptr; }
XmlNode* xml_next_sibling(XmlDocument*, XmlNode*) { return nullptr; }
XmlNode* xml_previous_sibling(XmlDocument*, XmlNode*) { return nullptr; }
XmlNodeKind xml_kind(XmlDocument*, XmlNode*) { return XmlNodeKind::other; }
bool xml_name(XmlDocument*, XmlNode*, char*, size_t) { return false; }
bool xml_text(XmlDocument*, XmlNode*, char*, size_t) { return false; }
bool xml_set_text(XmlDocument*, XmlNode*, const char*) { return false; }
bool xml_attribute(XmlDocument*, XmlNode*, const char*, char*, size_t) { return false; }
bool xml_set_attribute(XmlDocument*, XmlNode*, const char*, const char*) { return false; }
XmlNode* xml_insert_element(XmlDocument*, XmlNode*, XmlNode*, const char*) { return nullptr; }
XmlNode* xml_insert_text(XmlDocument*, XmlNode*, XmlNode*, const char*) { return nullptr; }
bool xml_remove(XmlDocument*, XmlNode*) { return false; }

bool xml_save(XmlDocument*, const char*, char* error, size_t size) {
    std::snprintf(error, size, "no XML parser on this system");
    return false;
}

}  // namespace platform
