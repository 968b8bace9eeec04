#include "SimText.h"

#include "HostInterfaces.h"

#include <objidl.h>
#include <ocidl.h>

#include <charconv>
#include <cstdio>

namespace hostsim {

namespace {

struct KnownInterface {
    const IID* iid;
    const wchar_t* name;
};

// Every interface a page may ask the host objects for, by name, for the journal, the
// call counts and host descriptions.
const KnownInterface kKnownInterfaces[] = {
    {&__uuidof(IUnknown), L"IUnknown"},
    {&__uuidof(IDispatch), L"IDispatch"},
    {&__uuidof(IEnumUnknown), L"IEnumUnknown"},
    {&__uuidof(IEnumVARIANT), L"IEnumVARIANT"},
    {&__uuidof(IMarshal), L"IMarshal"},
    {&__uuidof(IConnectionPointContainer), L"IConnectionPointContainer"},
    {&__uuidof(IProvideClassInfo), L"IProvideClassInfo"},
    {&__uuidof(IObjectLocator), L"IObjectLocator"},
    {&__uuidof(IObjectSite), L"IObjectSite"},
    {&__uuidof(IObjectContainer), L"IObjectContainer"},
    {&__uuidof(IHelpViewer), L"IHelpViewer"},
    {&__uuidof(IValueStore), L"IValueStore"},
    {&__uuidof(IParameterServer), L"IParameterServer"},
    {&__uuidof(IParameterNotifier), L"IParameterNotifier"},
    {&__uuidof(IScreenManager), L"IScreenManager"},
    {&__uuidof(IScreenCommand), L"IScreenCommand"},
    {&__uuidof(IParameterAccess), L"IParameterAccess"},
    {&__uuidof(IEchogramRange), L"IEchogramRange"},
    {&__uuidof(ILayerSelection), L"ILayerSelection"},
    {&__uuidof(ILayer), L"ILayer"},
    {&__uuidof(ILayerState), L"ILayerState"},
    {&__uuidof(IHostNode), L"IHostNode"},
    {&__uuidof(IHostView), L"IHostView"},
    {&__uuidof(IHostApplication), L"IHostApplication"},
    {&__uuidof(IHostCollection), L"IHostCollection"},
    {&__uuidof(IHostLogger), L"IHostLogger"},
    {&__uuidof(ITransceiverDirectory), L"ITransceiverDirectory"},
    {&__uuidof(ICalibrationControl), L"ICalibrationControl"},
    {&__uuidof(IChannel), L"IChannel"},
    {&__uuidof(IChannelOrigin), L"IChannelOrigin"},
    {&__uuidof(IProcessingUnit), L"IProcessingUnit"},
    {&__uuidof(IFormControl), L"IFormControl"},
    {&__uuidof(IParameterSubscriber2), L"IParameterSubscriber2"},
};

std::wstring Widen(const char* first, const char* last) { return std::wstring(first, last); }

const wchar_t* BaseTypeName(VARTYPE type) {
    switch (type) {
    case VT_EMPTY: return L"VT_EMPTY";
    case VT_NULL: return L"VT_NULL";
    case VT_I2: return L"VT_I2";
    case VT_I4: return L"VT_I4";
    case VT_R4: return L"VT_R4";
    case VT_R8: return L"VT_R8";
    case VT_CY: return L"VT_CY";
    case VT_DATE: return L"VT_DATE";
    case VT_BSTR: return L"VT_BSTR";
    case VT_DISPATCH: return L"VT_DISPATCH";
    case VT_ERROR: return L"VT_ERROR";
    case VT_BOOL: return L"VT_BOOL";
    case VT_VARIANT: return L"VT_VARIANT";
    case VT_UNKNOWN: return L"VT_UNKNOWN";
    case VT_DECIMAL: return L"VT_DECIMAL";
    case VT_I1: return L"VT_I1";
    case VT_UI1: return L"VT_UI1";
    case VT_UI2: return L"VT_UI2";
    case VT_UI4: return L"VT_UI4";
    case VT_I8: return L"VT_I8";
    case VT_UI8: return L"VT_UI8";
    case VT_INT: return L"VT_INT";
    case VT_UINT: return L"VT_UINT";
    default: return nullptr;
    }
}

// "VT_I4", "VT_ARRAY|VT_VARIANT", "VT_BYREF|VT_R8", or "VT_0x0123" for other types.
std::wstring TypeName(VARTYPE type) {
    std::wstring prefix;
    if (type & VT_ARRAY) prefix += L"VT_ARRAY|";
    if (type & VT_BYREF) prefix += L"VT_BYREF|";
    VARTYPE base = type & VT_TYPEMASK;
    if (const wchar_t* name = BaseTypeName(base)) return prefix + name;
    wchar_t text[16];
    swprintf(text, 16, L"VT_0x%04X", static_cast<unsigned>(base));
    return prefix + text;
}

std::wstring FormatFloat(float value) {
    char text[64];
    auto result = std::to_chars(text, text + sizeof text, value);
    return Widen(text, result.ptr);
}

std::wstring FormatArray(const VARIANT& value, const ObjectNamer& nameOf) {
    std::wstring text = TypeName(value.vt);
    SAFEARRAY* array = value.parray;
    if (!array) return text + L" null";
    if ((value.vt & VT_TYPEMASK) != VT_VARIANT || SafeArrayGetDim(array) != 1) {
        return text + L" (" + std::to_wstring(SafeArrayGetDim(array)) + L" dimensions)";
    }
    LONG lower = 0, upper = -1;
    SafeArrayGetLBound(array, 1, &lower);
    SafeArrayGetUBound(array, 1, &upper);
    text += L" {";
    for (LONG i = lower; i <= upper; ++i) {
        VARIANT element;
        VariantInit(&element);
        if (i > lower) text += L", ";
        if (SUCCEEDED(SafeArrayGetElement(array, &i, &element))) {
            text += FormatVariant(element, nameOf);
            VariantClear(&element);
        } else {
            text += L"?";
        }
    }
    return text + L"}";
}

}  // namespace

std::wstring Quote(const std::wstring& text) {
    std::wstring quoted = L"\"";
    for (wchar_t c : text) {
        switch (c) {
        case L'"': quoted += L"\\\""; break;
        case L'\\': quoted += L"\\\\"; break;
        case L'\n': quoted += L"\\n"; break;
        case L'\r': quoted += L"\\r"; break;
        case L'\t': quoted += L"\\t"; break;
        default:
            if (c < 0x20) {
                wchar_t escape[8];
                swprintf(escape, 8, L"\\u%04X", static_cast<unsigned>(c));
                quoted += escape;
            } else {
                quoted += c;
            }
        }
    }
    return quoted + L"\"";
}

std::wstring QuoteBstr(BSTR text) {
    return text ? Quote(std::wstring(text, SysStringLen(text))) : std::wstring(L"null");
}

std::wstring FormatDouble(double value) {
    char text[64];
    auto result = std::to_chars(text, text + sizeof text, value);
    return Widen(text, result.ptr);
}

std::wstring FormatObject(IUnknown* object, const ObjectNamer& nameOf) {
    if (!object) return L"null";
    std::wstring name = nameOf ? nameOf(object) : std::wstring();
    return name.empty() ? std::wstring(L"object") : name;
}

std::wstring FormatVariant(const VARIANT& value, const ObjectNamer& nameOf) {
    if (value.vt & VT_ARRAY) return FormatArray(value, nameOf);
    std::wstring type = TypeName(value.vt);
    switch (value.vt) {
    case VT_EMPTY:
    case VT_NULL: return type;
    case VT_I1: return type + L" " + std::to_wstring(static_cast<int>(value.cVal));
    case VT_UI1: return type + L" " + std::to_wstring(static_cast<unsigned>(value.bVal));
    case VT_I2: return type + L" " + std::to_wstring(value.iVal);
    case VT_UI2: return type + L" " + std::to_wstring(value.uiVal);
    case VT_I4: return type + L" " + std::to_wstring(value.lVal);
    case VT_UI4: return type + L" " + std::to_wstring(value.ulVal);
    case VT_INT: return type + L" " + std::to_wstring(value.intVal);
    case VT_UINT: return type + L" " + std::to_wstring(value.uintVal);
    case VT_I8: return type + L" " + std::to_wstring(value.llVal);
    case VT_UI8: return type + L" " + std::to_wstring(value.ullVal);
    case VT_R4: return type + L" " + FormatFloat(value.fltVal);
    case VT_R8: return type + L" " + FormatDouble(value.dblVal);
    case VT_DATE: return type + L" " + FormatDouble(value.date);
    case VT_CY: return type + L" " + std::to_wstring(value.cyVal.int64) + L"/10000";
    case VT_BOOL: return type + (value.boolVal ? L" true" : L" false");
    case VT_BSTR: return type + L" " + QuoteBstr(value.bstrVal);
    case VT_UNKNOWN: return type + L" " + FormatObject(value.punkVal, nameOf);
    case VT_DISPATCH: return type + L" " + FormatObject(value.pdispVal, nameOf);
    case VT_ERROR: {
        wchar_t text[16];
        swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(value.scode));
        return type + L" " + text;
    }
    default: return type;
    }
}

std::wstring_view KnownInterfaceName(REFIID iid) {
    // Every QueryInterface asks: the first field rules out almost all at once.
    for (const KnownInterface& known : kKnownInterfaces) {
        if (known.iid->Data1 == iid.Data1 && IsEqualGUID(*known.iid, iid)) return known.name;
    }
    return {};
}

std::wstring InterfaceName(REFIID iid) {
    const std::wstring_view known = KnownInterfaceName(iid);
    if (!known.empty()) return std::wstring(known);
    wchar_t text[40] = {};
    StringFromGUID2(iid, text, 40);
    return text;
}

bool InterfaceFromName(const std::wstring& name, IID* iid) {
    for (const KnownInterface& known : kKnownInterfaces) {
        if (name == known.name) {
            if (iid) *iid = *known.iid;
            return true;
        }
    }
    return false;
}

}  // namespace hostsim
