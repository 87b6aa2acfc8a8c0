// MSXML 6 through COM, for checking and reading a file. Nothing is written
// back through it: its serializer changes what it does not need to (empty
// elements, quote style, character references, blanks outside the root).
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
    std::string bytes;  // the file as read
    char encoding[64] = "UTF-8";
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

// Reads the declared encoding, or the one its absence implies.
void take_declaration(XmlDocument* doc, const std::string& bytes) {
    bool utf16 = bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                                       (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
    std::snprintf(doc->encoding, sizeof doc->encoding, "%s", utf16 ? "UTF-16" : "UTF-8");

    IXMLDOMNode* first = nullptr;
    if (FAILED(doc->dom->get_firstChild(&first)) || !first) return;
    DOMNodeType type;
    BSTR name = nullptr;
    VARIANT value;
    VariantInit(&value);
    if (SUCCEEDED(first->get_nodeType(&type)) && type == NODE_PROCESSING_INSTRUCTION &&
        SUCCEEDED(first->get_nodeName(&name)) && name && std::wcscmp(name, L"xml") == 0 &&
        SUCCEEDED(first->get_nodeValue(&value)) && value.vt == VT_BSTR && value.bstrVal) {
        declared_encoding(value.bstrVal, doc->encoding, sizeof doc->encoding);
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
    doc->bytes.swap(bytes);
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

const std::string& xml_file_bytes(const XmlDocument* doc) { return doc->bytes; }

const char* xml_encoding(const XmlDocument* doc) { return doc->encoding; }

XmlFit xml_encode(const char* encoding, const char* text, std::string* bytes) {
    UINT cp = code_page_of(encoding);
    if (cp == 0 || !keeps_ascii(cp)) return XmlFit::unknown_encoding;
    std::wstring wide;
    if (!utf8_to_wide(text, &wide)) return XmlFit::does_not_fit;
    return encode_in_code_page(cp, wide, bytes) ? XmlFit::fits : XmlFit::does_not_fit;
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

}  // namespace platform
