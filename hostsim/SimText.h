// How the simulated host writes arguments into its journal, and the names of the
// interfaces it knows.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <functional>
#include <string>
#include <string_view>

namespace hostsim {

// Text in double quotes, with \" \\ \n \r \t and \uXXXX for other control characters.
std::wstring Quote(const std::wstring& text);
// A BSTR argument: its quoted text, or null for a null BSTR.
std::wstring QuoteBstr(BSTR text);

// The shortest text that reads back as the same double ("12.5", "0.1", "100", "1e+21").
std::wstring FormatDouble(double value);

// Names an object argument; empty when the object is not one of the host's.
using ObjectNamer = std::function<std::wstring(IUnknown*)>;

// A VARIANT as "<type> <value>": "VT_I4 2", "VT_R8 12.5", "VT_BSTR \"x\"", "VT_EMPTY",
// "VT_BOOL true", "VT_UNKNOWN view" (a host object), "VT_UNKNOWN object" (another
// object), "VT_UNKNOWN null", "VT_ARRAY|VT_VARIANT {VT_I4 1, VT_I4 2}".
std::wstring FormatVariant(const VARIANT& value, const ObjectNamer& nameOf = {});
// An object argument: the host object's name, "object" for another object, or "null".
std::wstring FormatObject(IUnknown* object, const ObjectNamer& nameOf = {});

// The name of an interface ("IValueStore"), or its IID in braces when it is not known.
std::wstring InterfaceName(REFIID iid);
// The name of a known interface, empty for another (no string is built).
std::wstring_view KnownInterfaceName(REFIID iid);
// The IID of a known interface name; false when the name is not known.
bool InterfaceFromName(const std::wstring& name, IID* iid);

}  // namespace hostsim
