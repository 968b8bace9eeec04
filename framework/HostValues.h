// Reading and writing host values. A read counts only when the call returns S_OK and
// the value has the expected VARIANT type; otherwise the caller keeps its default.
#pragma once

#include "HostInterfaces.h"

#include <windows.h>
#include <string>

namespace tavrel {

// IValueStore
bool ReadLongValue(IValueStore* store, const wchar_t* name, long& value);
bool ReadDoubleValue(IValueStore* store, const wchar_t* name, double& value);
bool ReadStringValue(IValueStore* store, const wchar_t* name, std::wstring& value);
HRESULT PutLongValue(IValueStore* store, const wchar_t* name, long value);
HRESULT PutDoubleValue(IValueStore* store, const wchar_t* name, double value);

// IParameterAccess; the status is preset to 4 as the host expects.
bool ReadDoubleParameter(IParameterAccess* access, const wchar_t* name, double& value);
HRESULT SetLongParameter(IParameterAccess* access, const wchar_t* name, long value);
HRESULT SetDoubleParameter(IParameterAccess* access, const wchar_t* name, double value);

// printf-style wide formatting into a string ("%ls" for wide strings).
std::wstring FormatText(const wchar_t* format, ...);

}  // namespace tavrel
