#include "HostValues.h"

#include "ComResource.h"

#include <cstdarg>
#include <cwchar>
#include <vector>

namespace tavrel {

bool ReadLongValue(IValueStore* store, const wchar_t* name, long& value) {
    if (!store)
        return false;
    UniqueBstr valueName = MakeBstr(name);
    UniqueVariant read;
    if (store->GetValue(valueName.get(), read.put()) != S_OK || read.get().vt != VT_I4)
        return false;
    value = read.get().lVal;
    return true;
}

HRESULT PutLongValue(IValueStore* store, const wchar_t* name, long value) {
    if (!store)
        return E_POINTER;
    UniqueBstr valueName = MakeBstr(name);
    VARIANT written;
    VariantInit(&written);
    written.vt = VT_I4;
    written.lVal = value;
    return store->PutValue(valueName.get(), written);
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
