#include "HostValues.h"

#include "ComResource.h"

#include <cstdarg>
#include <cwchar>
#include <vector>

namespace tavrel {
namespace {

constexpr long kPresetStatus = 4;

bool ReadValue(IValueStore* store, const wchar_t* name, VARTYPE type, UniqueVariant& value) {
    if (!store)
        return false;
    UniqueBstr valueName(name);
    return store->GetValue(valueName.get(), value.put()) == S_OK && value.type() == type;
}

HRESULT PutValue(IValueStore* store, const wchar_t* name, UniqueVariant value) {
    if (!store)
        return E_POINTER;
    UniqueBstr valueName(name);
    return store->PutValue(valueName.get(), value.get());
}

HRESULT SetParameter(IParameterAccess* access, const wchar_t* name, UniqueVariant value) {
    if (!access)
        return E_POINTER;
    UniqueBstr parameterName(name);
    long status = kPresetStatus;
    return access->SetParameter(parameterName.get(), value.get(), &status);
}

}  // namespace

bool ReadLongValue(IValueStore* store, const wchar_t* name, long& value) {
    UniqueVariant read;
    if (!ReadValue(store, name, VT_I4, read))
        return false;
    value = read.get().lVal;
    return true;
}

bool ReadDoubleValue(IValueStore* store, const wchar_t* name, double& value) {
    UniqueVariant read;
    if (!ReadValue(store, name, VT_R8, read))
        return false;
    value = read.get().dblVal;
    return true;
}

bool ReadStringValue(IValueStore* store, const wchar_t* name, std::wstring& value) {
    UniqueVariant read;
    if (!ReadValue(store, name, VT_BSTR, read))
        return false;
    BSTR text = read.get().bstrVal;
    value.assign(text ? text : L"", text ? SysStringLen(text) : 0);
    return true;
}

HRESULT PutLongValue(IValueStore* store, const wchar_t* name, long value) {
    return PutValue(store, name, UniqueVariant::FromLong(value));
}

HRESULT PutDoubleValue(IValueStore* store, const wchar_t* name, double value) {
    return PutValue(store, name, UniqueVariant::FromDouble(value));
}

bool ReadDoubleParameter(IParameterAccess* access, const wchar_t* name, double& value) {
    if (!access)
        return false;
    UniqueBstr parameterName(name);
    UniqueVariant read;
    long status = kPresetStatus;
    if (access->GetParameter(parameterName.get(), read.put(), &status) != S_OK || read.type() != VT_R8)
        return false;
    value = read.get().dblVal;
    return true;
}

HRESULT SetLongParameter(IParameterAccess* access, const wchar_t* name, long value) {
    return SetParameter(access, name, UniqueVariant::FromLong(value));
}

HRESULT SetDoubleParameter(IParameterAccess* access, const wchar_t* name, double value) {
    return SetParameter(access, name, UniqueVariant::FromDouble(value));
}

std::wstring FormatText(const wchar_t* format, ...) {
    std::vector<wchar_t> buffer(256);
    for (;;) {
        va_list arguments;
        va_start(arguments, format);
        int written = std::vswprintf(buffer.data(), buffer.size(), format, arguments);
        va_end(arguments);
        if (written >= 0)
            return std::wstring(buffer.data(), static_cast<size_t>(written));
        if (buffer.size() >= 65536)
            return std::wstring();
        buffer.resize(buffer.size() * 4);
    }
}

}  // namespace tavrel
