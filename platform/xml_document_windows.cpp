// MSXML 6 through COM. MSXML parses and edits; the file is written here,
// node by node in the declared encoding: MSXML's own save does not reliably
// encode text in the declared encoding on every system that provides it.
#include <windows.h>
#include <objbase.h>
#include <msxml2.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/code_page_windows.h"
#include "platform/file_ops.h"
#include "platform/wide_text_windows.h"
#include "platform/xml_document.h"
#include "platform/xml_parse_error_windows.h"

namespace platform {

struct XmlDocument {
    IXMLDOMDocument* dom = nullptr;
    std::vector<IXMLDOMNode*> nodes;  // every node handed out, released at close
    bool com_started = false;
    std::wstring declaration;  // the text inside <?xml ... ?>; empty: none
    char encoding[64] = "UTF-8";
    bool crlf = true;
    bool bom = false;
};

namespace {

constexpr DWORD kLargestFile = 16u << 20;

IXMLDOMNode* com(XmlNode* node) { return reinterpret_cast<IXMLDOMNode*>(node); }

XmlNode* keep(XmlDocument* doc, IXMLDOMNode* node) {
    if (!node) return nullptr;
    doc->nodes.push_back(node);
    return reinterpret_cast<XmlNode*>(node);
}

// A COM text made from UTF-8; freed at the end of the scope.
struct Bstr {
    BSTR s = nullptr;
    explicit Bstr(const char* text) {
        std::wstring wide;
        if (utf8_to_wide(text, &wide)) s = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    }
    ~Bstr() { SysFreeString(s); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
};

bool bstr_to_utf8(BSTR text, char* out, size_t size) { return wide_to_utf8(text ? text : L"", out, size); }

// The file's bytes; the error text and status are set on failure.
bool read_file(const char* path, std::string* data, XmlLoadResult* result) {
    std::wstring wide;
    if (!utf8_to_wide(path, &wide)) {
        result->status = XmlLoadStatus::unreadable;
        std::snprintf(result->reason, sizeof result->reason, "the path is not valid UTF-8");
        return false;
    }
    HANDLE f = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        DWORD e = GetLastError();
        result->status = e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ? XmlLoadStatus::missing
                                                                                 : XmlLoadStatus::unreadable;
        SetLastError(e);
        last_error_text(result->reason, sizeof result->reason);
        return false;
    }
    LARGE_INTEGER size;
    DWORD got = 0;
    bool ok = GetFileSizeEx(f, &size);
    if (ok && size.QuadPart > kLargestFile) {
        ok = false;
        SetLastError(ERROR_FILE_TOO_LARGE);
    } else if (ok) {
        data->resize(static_cast<size_t>(size.QuadPart));
        ok = data->empty() || (ReadFile(f, &(*data)[0], static_cast<DWORD>(data->size()), &got, nullptr) &&
                               got == data->size());
    }
    if (!ok) {
        result->status = XmlLoadStatus::unreadable;
        last_error_text(result->reason, sizeof result->reason);
    }
    CloseHandle(f);
    return ok;
}

void report_parse_error(IXMLDOMDocument* dom, XmlLoadResult* result) {
    result->status = XmlLoadStatus::malformed;
    std::snprintf(result->reason, sizeof result->reason, "not XML");
    IXMLDOMParseError* error = nullptr;
    if (FAILED(dom->get_parseError(&error)) || !error) return;
    BSTR reason = nullptr;
    error->get_line(&result->line);
    error->get_linepos(&result->column);
    if (SUCCEEDED(error->get_reason(&reason)) && reason) {
        bstr_to_utf8(reason, result->reason, sizeof result->reason);
        size_t n = std::strlen(result->reason);
        while (n > 0 && (result->reason[n - 1] == '\n' || result->reason[n - 1] == '\r' ||
                         result->reason[n - 1] == ' ' || result->reason[n - 1] == '.')) {
            result->reason[--n] = '\0';
        }
    }
    SysFreeString(reason);
    error->Release();
}

// A DOMDocument60 that keeps whitespace and never fetches anything.
IXMLDOMDocument* create_dom() {
    CLSID clsid;
    IXMLDOMDocument* dom = nullptr;
    if (FAILED(CLSIDFromProgID(L"Msxml2.DOMDocument.6.0", &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                                reinterpret_cast<void**>(&dom)))) {
        return nullptr;
    }
    dom->put_async(VARIANT_FALSE);
    dom->put_preserveWhiteSpace(VARIANT_TRUE);
    dom->put_validateOnParse(VARIANT_FALSE);
    dom->put_resolveExternals(VARIANT_FALSE);
    return dom;
}

XmlDocument* new_document() {
    XmlDocument* doc = new XmlDocument;
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    doc->com_started = SUCCEEDED(hr);  // RPC_E_CHANGED_MODE: COM is running already
    doc->dom = create_dom();
    if (!doc->dom) {
        xml_close(doc);
        return nullptr;
    }
    return doc;
}

// The encoding the declaration names, read by the parser as the attributes
// of a scratch element: not every MSXML shows a declaration's attributes.
void declared_encoding(const std::wstring& declaration, char* out, size_t size) {
    IXMLDOMDocument* scratch = create_dom();
    BSTR text = SysAllocString((L"<declaration " + declaration + L"/>").c_str());
    VARIANT_BOOL ok = VARIANT_FALSE;
    IXMLDOMElement* element = nullptr;
    Bstr key("encoding");
    VARIANT value;
    VariantInit(&value);
    if (scratch && text && SUCCEEDED(scratch->loadXML(text, &ok)) && ok == VARIANT_TRUE &&
        SUCCEEDED(scratch->get_documentElement(&element)) && element &&
        element->getAttribute(key.s, &value) == S_OK && value.vt == VT_BSTR && value.bstrVal[0]) {
        bstr_to_utf8(value.bstrVal, out, size);
    }
    VariantClear(&value);
    if (element) element->Release();
    if (scratch) scratch->Release();
    SysFreeString(text);
}

// Reads the declaration and its encoding, or the one its absence implies.
void take_declaration(XmlDocument* doc, const std::string& bytes) {
    bool utf16 = bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                                       (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
    doc->bom = utf16 || bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
    std::snprintf(doc->encoding, sizeof doc->encoding, "%s", utf16 ? "UTF-16" : "UTF-8");
    doc->crlf = bytes.find("\r\n") != std::string::npos;

    IXMLDOMNode* first = nullptr;
    if (FAILED(doc->dom->get_firstChild(&first)) || !first) return;
    DOMNodeType type;
    BSTR name = nullptr;
    VARIANT value;
    VariantInit(&value);
    if (SUCCEEDED(first->get_nodeType(&type)) && type == NODE_PROCESSING_INSTRUCTION &&
        SUCCEEDED(first->get_nodeName(&name)) && name && std::wcscmp(name, L"xml") == 0 &&
        SUCCEEDED(first->get_nodeValue(&value)) && value.vt == VT_BSTR && value.bstrVal) {
        doc->declaration = value.bstrVal;
        declared_encoding(doc->declaration, doc->encoding, sizeof doc->encoding);
    }
    VariantClear(&value);
    SysFreeString(name);
    first->Release();
}

}  // namespace

bool xml_available() { return true; }

XmlDocument* xml_load(const char* path, XmlLoadResult* result) {
    result->status = XmlLoadStatus::ok;
    result->line = result->column = 0;
    result->reason[0] = '\0';
    std::string bytes;
    if (!read_file(path, &bytes, result)) return nullptr;
    XmlDocument* doc = new_document();
    if (!doc) {
        result->status = XmlLoadStatus::unreadable;
        std::snprintf(result->reason, sizeof result->reason, "the system's XML parser (MSXML 6) is not available");
        return nullptr;
    }
    // Parsed from the bytes read, not from the path, which MSXML would take
    // for a URL ('#' and '%' in folder names).
    VARIANT source;
    VARIANT_BOOL ok = VARIANT_FALSE;
    HRESULT hr = byte_array(bytes, &source) ? doc->dom->load(source, &ok) : E_OUTOFMEMORY;
    VariantClear(&source);
    if (FAILED(hr) || ok != VARIANT_TRUE) {
        report_parse_error(doc->dom, result);
        if (result->line <= 0) locate_parse_error(bytes, result);
        if (bytes.empty()) std::snprintf(result->reason, sizeof result->reason, "the file is empty");
        xml_close(doc);
        return nullptr;
    }
    take_declaration(doc, bytes);
    return doc;
}

XmlDocument* xml_create(const char* encoding, const char* root_name) {
    XmlDocument* doc = new_document();
    if (!doc) return nullptr;
    std::snprintf(doc->encoding, sizeof doc->encoding, "%s", encoding);
    std::wstring wide;
    utf8_to_wide(encoding, &wide);
    doc->declaration = L"version=\"1.0\" encoding=\"" + wide + L"\"";
    Bstr name(root_name);
    IXMLDOMElement* root = nullptr;
    IXMLDOMNode* added = nullptr;
    bool ok = name.s && SUCCEEDED(doc->dom->createElement(name.s, &root)) &&
              SUCCEEDED(doc->dom->appendChild(root, &added));
    if (root) root->Release();
    if (added) added->Release();
    if (!ok) {
        xml_close(doc);
        return nullptr;
    }
    return doc;
}

void xml_close(XmlDocument* doc) {
    if (!doc) return;
    for (IXMLDOMNode* node : doc->nodes) node->Release();
    doc->nodes.clear();
    if (doc->dom) doc->dom->Release();
    if (doc->com_started) CoUninitialize();
    delete doc;
}

const char* xml_encoding(const XmlDocument* doc) { return doc->encoding; }

namespace {

// The code page the document is written in; 0 when it cannot be written
// (unknown, or UTF-16, which is not written here).
UINT writing_code_page(const XmlDocument* doc) {
    UINT cp = code_page_of(doc->encoding);
    return cp == 1200 || cp == 1201 ? 0 : cp;
}

}  // namespace

XmlFit xml_encoding_holds(const XmlDocument* doc, const char* text) {
    UINT cp = writing_code_page(doc);
    if (cp == 0) return XmlFit::unknown_encoding;
    std::wstring wide;
    std::string bytes;
    if (!utf8_to_wide(text, &wide)) return XmlFit::does_not_fit;
    return encode_in_code_page(cp, wide, &bytes) ? XmlFit::fits : XmlFit::does_not_fit;
}

XmlNode* xml_root(XmlDocument* doc) {
    IXMLDOMElement* root = nullptr;
    if (FAILED(doc->dom->get_documentElement(&root)) || !root) return nullptr;
    IXMLDOMNode* node = nullptr;
    root->QueryInterface(IID_IXMLDOMNode, reinterpret_cast<void**>(&node));
    root->Release();
    return keep(doc, node);
}

XmlNode* xml_first_child(XmlDocument* doc, XmlNode* node) {
    IXMLDOMNode* child = nullptr;
    return SUCCEEDED(com(node)->get_firstChild(&child)) ? keep(doc, child) : nullptr;
}

XmlNode* xml_next_sibling(XmlDocument* doc, XmlNode* node) {
    IXMLDOMNode* next = nullptr;
    return SUCCEEDED(com(node)->get_nextSibling(&next)) ? keep(doc, next) : nullptr;
}

XmlNode* xml_previous_sibling(XmlDocument* doc, XmlNode* node) {
    IXMLDOMNode* previous = nullptr;
    return SUCCEEDED(com(node)->get_previousSibling(&previous)) ? keep(doc, previous) : nullptr;
}

XmlNodeKind xml_kind(XmlDocument*, XmlNode* node) {
    DOMNodeType type;
    if (FAILED(com(node)->get_nodeType(&type))) return XmlNodeKind::other;
    switch (type) {
        case NODE_ELEMENT: return XmlNodeKind::element;
        case NODE_TEXT: return XmlNodeKind::text;
        case NODE_COMMENT: return XmlNodeKind::comment;
        default: return XmlNodeKind::other;
    }
}

bool xml_name(XmlDocument*, XmlNode* node, char* out, size_t size) {
    BSTR name = nullptr;
    bool ok = SUCCEEDED(com(node)->get_nodeName(&name)) && bstr_to_utf8(name, out, size);
    SysFreeString(name);
    return ok;
}

bool xml_text(XmlDocument*, XmlNode* node, char* out, size_t size) {
    BSTR text = nullptr;
    bool ok = SUCCEEDED(com(node)->get_text(&text)) && bstr_to_utf8(text, out, size);
    SysFreeString(text);
    return ok;
}

bool xml_set_text(XmlDocument*, XmlNode* element, const char* text) {
    Bstr value(text);
    return value.s && SUCCEEDED(com(element)->put_text(value.s));
}

bool xml_attribute(XmlDocument*, XmlNode* element, const char* name, char* out, size_t size) {
    IXMLDOMElement* e = nullptr;
    if (FAILED(com(element)->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(&e)))) return false;
    Bstr key(name);
    VARIANT value;
    VariantInit(&value);
    bool ok = key.s && e->getAttribute(key.s, &value) == S_OK && value.vt == VT_BSTR &&
              bstr_to_utf8(value.bstrVal, out, size);
    VariantClear(&value);
    e->Release();
    return ok;
}

bool xml_set_attribute(XmlDocument*, XmlNode* element, const char* name, const char* value) {
    IXMLDOMElement* e = nullptr;
    if (FAILED(com(element)->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(&e)))) return false;
    Bstr key(name), text(value);
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = text.s;  // borrowed: no VariantClear
    bool ok = key.s && text.s && SUCCEEDED(e->setAttribute(key.s, v));
    e->Release();
    return ok;
}

namespace {

XmlNode* insert(XmlDocument* doc, XmlNode* parent, XmlNode* before, IXMLDOMNode* fresh) {
    IXMLDOMNode* added = nullptr;
    HRESULT hr;
    if (before) {
        VARIANT where;
        VariantInit(&where);
        where.vt = VT_UNKNOWN;
        where.punkVal = com(before);  // borrowed: no VariantClear
        hr = com(parent)->insertBefore(fresh, where, &added);
    } else {
        hr = com(parent)->appendChild(fresh, &added);
    }
    fresh->Release();
    return SUCCEEDED(hr) ? keep(doc, added) : nullptr;
}

}  // namespace

XmlNode* xml_insert_element(XmlDocument* doc, XmlNode* parent, XmlNode* before, const char* name) {
    Bstr tag(name);
    IXMLDOMElement* element = nullptr;
    if (!tag.s || FAILED(doc->dom->createElement(tag.s, &element)) || !element) return nullptr;
    return insert(doc, parent, before, element);
}

XmlNode* xml_insert_text(XmlDocument* doc, XmlNode* parent, XmlNode* before, const char* text) {
    Bstr value(text);
    IXMLDOMText* node = nullptr;
    if (!value.s || FAILED(doc->dom->createTextNode(value.s, &node)) || !node) return nullptr;
    return insert(doc, parent, before, node);
}

bool xml_remove(XmlDocument*, XmlNode* node) {
    IXMLDOMNode* parent = nullptr;
    IXMLDOMNode* removed = nullptr;
    bool ok = SUCCEEDED(com(node)->get_parentNode(&parent)) && parent &&
              SUCCEEDED(parent->removeChild(com(node), &removed));
    if (removed) removed->Release();
    if (parent) parent->Release();
    return ok;
}

namespace {

// The document as text: the declaration as read, then each top-level node as
// MSXML writes it, with the file's own line ends.
std::wstring serialize(XmlDocument* doc) {
    std::wstring text;
    if (!doc->declaration.empty()) text = L"<?xml " + doc->declaration + L"?>\n";
    IXMLDOMNode* node = nullptr;
    doc->dom->get_firstChild(&node);
    while (node) {
        DOMNodeType type;
        BSTR name = nullptr, xml = nullptr;
        node->get_nodeType(&type);
        node->get_nodeName(&name);
        bool declaration = type == NODE_PROCESSING_INSTRUCTION && name && std::wcscmp(name, L"xml") == 0;
        if (!declaration && SUCCEEDED(node->get_xml(&xml)) && xml) {
            text += xml;
            text += L'\n';
        }
        SysFreeString(name);
        SysFreeString(xml);
        IXMLDOMNode* next = nullptr;
        node->get_nextSibling(&next);
        node->Release();
        node = next;
    }
    std::wstring lines;
    lines.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') continue;
        if (text[i] == L'\n' && doc->crlf) lines += L'\r';
        lines += text[i];
    }
    return lines;
}

}  // namespace

bool xml_save(XmlDocument* doc, const char* path, char* error, size_t size) {
    UINT cp = writing_code_page(doc);
    if (cp == 0) {
        std::snprintf(error, size, "cannot write text in the encoding %s", doc->encoding);
        return false;
    }
    std::string bytes;
    if (!encode_in_code_page(cp, serialize(doc), &bytes)) {
        std::snprintf(error, size, "the document holds characters that the encoding %s cannot hold", doc->encoding);
        return false;
    }
    if (doc->bom && cp == CP_UTF8) bytes.insert(0, "\xEF\xBB\xBF");
    if (!write_file(path, bytes)) {
        last_error_text(error, size);
        return false;
    }
    return true;
}

}  // namespace platform
