// A small document object model over the system's XML parser, for editing
// files that other programs read (the simulator's add-on start list). Windows
// uses MSXML 6 through COM; POSIX has no system parser: xml_available() is
// false there and loading fails.
//
// Texts are UTF-8. Nodes belong to their document and stay valid until
// xml_close(); one node may come back as different handles, so handles are
// never compared. Whitespace between elements and comments are kept, and a
// saved file keeps the encoding, line ends and byte-order mark it was read
// with, so that editing one element leaves the rest of the file as it was.
#pragma once

#include <cstddef>

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

// Whether a text can be written in the document's encoding.
enum class XmlFit { fits, does_not_fit, unknown_encoding };

bool xml_available();

// Null unless result->status is ok.
XmlDocument* xml_load(const char* path, XmlLoadResult* result);

// A document with a declaration naming encoding, a root element named
// root_name and Windows line ends; null when it cannot be made.
XmlDocument* xml_create(const char* encoding, const char* root_name);

void xml_close(XmlDocument* doc);

// The encoding the file is read in: the declared one, else UTF-8 (UTF-16
// with that byte-order mark).
const char* xml_encoding(const XmlDocument* doc);
XmlFit xml_encoding_holds(const XmlDocument* doc, const char* text);

XmlNode* xml_root(XmlDocument* doc);
XmlNode* xml_first_child(XmlDocument* doc, XmlNode* node);
XmlNode* xml_next_sibling(XmlDocument* doc, XmlNode* node);
XmlNode* xml_previous_sibling(XmlDocument* doc, XmlNode* node);
XmlNodeKind xml_kind(XmlDocument* doc, XmlNode* node);

// Element name; false when it does not fit out.
bool xml_name(XmlDocument* doc, XmlNode* node, char* out, size_t size);
// All text inside an element, or a text node's own; false when it does not fit.
bool xml_text(XmlDocument* doc, XmlNode* node, char* out, size_t size);
// Replaces everything inside an element by one text.
bool xml_set_text(XmlDocument* doc, XmlNode* element, const char* text);
// False when the element has no such attribute or it does not fit.
bool xml_attribute(XmlDocument* doc, XmlNode* element, const char* name, char* out, size_t size);
bool xml_set_attribute(XmlDocument* doc, XmlNode* element, const char* name, const char* value);

// Insert a new element or text node into parent before the child before, or
// at the end when before is null. Null on failure.
XmlNode* xml_insert_element(XmlDocument* doc, XmlNode* parent, XmlNode* before, const char* name);
XmlNode* xml_insert_text(XmlDocument* doc, XmlNode* parent, XmlNode* before, const char* text);
bool xml_remove(XmlDocument* doc, XmlNode* node);

// Writes the whole document to path (created or overwritten) and flushes it
// to disk. Fails, with the reason in error, when a character cannot be
// written in the document's encoding or the file cannot be written; a failed
// save may leave a partial file at path, so save to a scratch name.
bool xml_save(XmlDocument* doc, const char* path, char* error, size_t size);

}  // namespace platform
