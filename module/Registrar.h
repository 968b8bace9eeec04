// The registrar script runner: reads the page classes' registry scripts (.rgs) and
// writes (registers) or removes (unregisters) the keys and values they name.
//
// Script format, the part of the platform registrar's format that the scripts use:
//   script  ::= { HKCR '{' entries '}' }
//   entries ::= { entry }
//   entry   ::= [NoRemove | ForceRemove] name [ '=' s data ] [ '{' entries '}' ]
//             | val name '=' s data
// Keywords and the type s are case-insensitive; a quoted token is never a keyword, and
// the platform's Delete keyword is reserved too, so that a script written for the
// platform registrar fails instead of writing a key named Delete. A name or data is a
// word (up to the next white space) or a '...' string, '' standing for one quote. '}'
// and '=' are tokens wherever a token starts; '{' is a token only when white space or
// the end follows it, so that {class id} key names need no quotes. Before parsing,
// %MODULE% is replaced by the module's path with its quotes doubled (it stands inside
// a '...' string) and %% by one percent sign. Anything else (other root keys, value
// types or replacements) makes the script malformed.
//
// Register: keys are created (ForceRemove first deletes the key's whole tree) and
// values set. Unregister, depth first: val values are deleted; a ForceRemove key is
// deleted whole; any other key is deleted once nothing but its values is left in it,
// and a NoRemove key never.
//
// The whole script is parsed before anything is written: a malformed script writes
// nothing and gives kScriptError. Registry failures stop the run and are returned as
// HRESULT_FROM_WIN32; what was written before stays. Missing keys and values are no
// failure when unregistering.
#pragma once

#include <windows.h>

#include <string>

namespace tavrel::registrar {

// A malformed script. The code the system's own registrar gives for script errors.
constexpr HRESULT kScriptError = DISP_E_EXCEPTION;

enum class Action { Register, Unregister };

// Runs a script for the module at modulePath. root is the key HKCR stands for (tests
// pass a scratch key). A malformed script: kScriptError, and error (when given) names
// the line and what is wrong. Throws nothing; out of memory is E_OUTOFMEMORY.
HRESULT RunScript(const std::wstring& text, const std::wstring& modulePath, Action action,
                  HKEY root = HKEY_CLASSES_ROOT, std::wstring* error = nullptr);

// Reads the script resource (type "REGISTRY") id of module, UTF-8 text.
HRESULT LoadScriptResource(HMODULE module, UINT id, std::wstring& text);

}  // namespace tavrel::registrar
