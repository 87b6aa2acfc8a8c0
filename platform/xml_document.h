// A small read-only document object model over the system's XML parser, for
// checking and reading files that other programs own (the simulator's add-on
// start list); such a file is changed in its own text, never rewritten from
// the document, so every byte the change does not touch stays. Windows uses
// MSXML 6 through COM; POSIX has no system parser: xml_available() is false
// there and loading fails.
//
// Texts are UTF-8. Nodes belong to their document and stay valid until
// xml_close(); one node may come back as different handles, so handles are
// never compared. Whitespace between elements and comments are kept.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

struct XmlDocument;
struct XmlNode;

enum class XmlLoadStatus { ok, missing, unreadable, malformed };

struct XmlLoadResult {
    XmlLoadStatus status;
    long line;          // where a malformed file goes wrong, from 1
    long column;
    char reason[256];   // the parser's own words, or the system's
};

enum class XmlNodeKind { element, text, comment, other };

// Whether a text can be written in an encoding.
enum class XmlFit { fits, does_not_fit, unknown_encoding };

bool xml_available();

// Null unless result->status is ok.
XmlDocument* xml_load(const char* path, XmlLoadResult* result);

void xml_close(XmlDocument* doc);

// The file's bytes as they were parsed.
const std::string& xml_file_bytes(const XmlDocument* doc);

// The encoding the file is read in: the declared one, else UTF-8 (UTF-16
// with that byte-order mark).
const char* xml_encoding(const XmlDocument* doc);

// Text in the bytes of an encoding, for writing into a file declared in it.
// unknown_encoding also for encodings that do not keep ASCII as it is
// (UTF-16), whose text cannot be changed byte-wise.
XmlFit xml_encode(const char* encoding, const char* text, std::string* bytes);

XmlNode* xml_root(XmlDocument* doc);
XmlNode* xml_first_child(XmlDocument* doc, XmlNode* node);
XmlNode* xml_next_sibling(XmlDocument* doc, XmlNode* node);
XmlNodeKind xml_kind(XmlDocument* doc, XmlNode* node);

// Element name; false when it does not fit out.
bool xml_name(XmlDocument* doc, XmlNode* node, char* out, size_t size);
// All text inside an element, or a text node's own; false when it does not fit.
bool xml_text(XmlDocument* doc, XmlNode* node, char* out, size_t size);
// False when the element has no such attribute or it does not fit.
bool xml_attribute(XmlDocument* doc, XmlNode* element, const char* name, char* out, size_t size);

}  // namespace platform
