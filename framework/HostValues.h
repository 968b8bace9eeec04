// Reading and writing host values. A read counts only when the call returns S_OK and
// the value has the expected VARIANT type; otherwise the caller keeps its default.
#pragma once

#include "HostInterfaces.h"

#include <windows.h>
#include <string>

namespace tavrel {

// IValueStore values of type VT_I4.
bool ReadLongValue(IValueStore* store, const wchar_t* name, long& value);
HRESULT PutLongValue(IValueStore* store, const wchar_t* name, long value);

// printf-style wide formatting into a string ("%ls" for wide strings).
std::wstring FormatText(const wchar_t* format, ...);

}  // namespace tavrel
