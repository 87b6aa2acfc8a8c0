#include <windows.h>
#include <objbase.h>
#include <msxml2.h>

#include <cstring>

#include "platform/wide_text_windows.h"
#include "platform/xml_parse_error_windows.h"

namespace platform {
namespace {

// The import libraries lack the SAX interface ids; these are MSXML's.
IID interface_id(const wchar_t* text) {
    IID id{};
    IIDFromString(text, &id);
    return id;
}

// Keeps the first fault the reader reports; lives on the stack for one parse.
struct FirstFault : ISAXErrorHandler {
    XmlLoadResult* result;
    bool seen = false;

    explicit FirstFault(XmlLoadResult* r) : result(r) {}
    HRESULT WINAPI QueryInterface(REFIID id, void** out) override {
        if (id == IID_IUnknown || id == interface_id(L"{a60511c4-ccf5-479e-98a3-dc8dc545b7d0}")) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG WINAPI AddRef() override { return 2; }
    ULONG WINAPI Release() override { return 1; }
    HRESULT WINAPI error(ISAXLocator* where, const wchar_t* message, HRESULT) override { return take(where, message); }
    HRESULT WINAPI fatalError(ISAXLocator* where, const wchar_t* message, HRESULT) override {
        return take(where, message);
    }
    HRESULT WINAPI ignorableWarning(ISAXLocator*, const wchar_t*, HRESULT) override { return S_OK; }

    HRESULT take(ISAXLocator* where, const wchar_t* message) {
        if (seen) return S_OK;
        seen = true;
        int line = 0, column = 0;
        where->getLineNumber(&line);
        where->getColumnNumber(&column);
        result->line = line;
        result->column = column;
        if (message && wide_to_utf8(message, result->reason, sizeof result->reason)) {
            // One line of reason: the reader may append its own position.
            result->reason[std::strcspn(result->reason, "\r\n")] = '\0';
        }
        return S_OK;
    }
};

}  // namespace

bool byte_array(const std::string& bytes, VARIANT* out) {
    VariantInit(out);
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    void* data = nullptr;
    if (!array || FAILED(SafeArrayAccessData(array, &data))) {
        if (array) SafeArrayDestroy(array);
        return false;
    }
    if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
    SafeArrayUnaccessData(array);
    out->vt = VT_ARRAY | VT_UI1;
    out->parray = array;
    return true;
}

void locate_parse_error(const std::string& bytes, XmlLoadResult* result) {
    CLSID clsid;
    ISAXXMLReader* reader = nullptr;
    if (FAILED(CLSIDFromProgID(L"Msxml2.SAXXMLReader.6.0", &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER,
                                interface_id(L"{a4f96ed0-f829-476e-81c0-cdc7bd2a0802}"),
                                reinterpret_cast<void**>(&reader)))) {
        return;
    }
    FirstFault fault(result);
    reader->putErrorHandler(&fault);
    VARIANT source;
    if (byte_array(bytes, &source)) reader->parse(source);
    VariantClear(&source);
    reader->putErrorHandler(nullptr);
    reader->Release();
}

}  // namespace platform
