// The registrar script runner: reads the registry script format of .rgs files and
// writes (registers) or removes (unregisters) the keys and values a script names.
//
// Script format:
//   script  ::= { root '{' entries '}' }
//   root    ::= HKCR | HKCU | HKLM | HKU | HKCC, or the long HKEY_... names
//   entries ::= { entry }
//   entry   ::= [NoRemove | ForceRemove] name [ '=' type data ] [ '{' entries '}' ]
//             | Delete name
//             | val name '=' type data
//   type    ::= s (REG_SZ) | d (REG_DWORD, decimal or 0x hex) | b (REG_BINARY, hex pairs)
// Keywords and types are case-insensitive; a quoted token is never a keyword. A name or
// data is a word (up to the next white space) or a '...' string, '' standing for one
// quote. '}' and '=' are tokens wherever a token starts; '{' is a token only when white
// space or the end follows it, so that {class id} key names need no quotes.
// Before parsing, %NAME% is replaced by the value given for NAME (names are
// case-insensitive) and %% by one percent sign; a value is inserted as it is, so a
// value that stands inside quotes must have its quotes doubled (EscapeQuotes).
//
// Register: keys are created (ForceRemove first deletes the key's whole tree), values
// set, Delete keys deleted with their trees. Unregister, depth first: val values are
// deleted; a ForceRemove key is deleted whole; any other key is deleted once nothing
// but its values is left in it, and a NoRemove key never.
//
// The whole script is parsed before anything is written: a malformed script writes
// nothing and gives kScriptError. Registry failures stop the run and are returned as
// HRESULT_FROM_WIN32; what was written before stays. Missing keys and values are no
// failure when unregistering.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace tavrel::registrar {

// A malformed script: unbalanced braces, an unterminated string, an unknown root key,
// value type or %NAME%, a missing or malformed value. The code the system's own
// registrar gives for script errors.
constexpr HRESULT kScriptError = DISP_E_EXCEPTION;

enum class Action { Register, Unregister };

enum class RootKey { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };

// The keys the script's root names stand for: the system's predefined keys unless
// redirected (tests redirect them to a scratch key).
class RegistryRoots {
public:
    RegistryRoots();
    void Redirect(RootKey root, HKEY key);
    HKEY Key(RootKey root) const;

private:
    HKEY m_keys[5];
};

// %NAME% replacements, looked up without regard to case.
class Replacements {
public:
    void Add(const std::wstring& name, const std::wstring& value);
    const std::wstring* Find(const std::wstring& name) const;

private:
    std::vector<std::pair<std::wstring, std::wstring>> m_items;
};

// ---- The parsed script.

struct ScriptValue {
    enum class Type { String, Dword, Binary };
    Type type = Type::String;
    std::wstring text;        // String
    DWORD number = 0;         // Dword
    std::vector<BYTE> bytes;  // Binary
};

struct ScriptEntry {
    enum class Kind { Key, NamedValue, DeleteKey };
    Kind kind = Kind::Key;
    bool noRemove = false;
    bool forceRemove = false;
    std::wstring name;
    bool hasValue = false;  // a key's default value, or the named value
    ScriptValue value;
    std::vector<ScriptEntry> children;
};

struct ScriptRoot {
    RootKey root = RootKey::ClassesRoot;
    std::vector<ScriptEntry> entries;
};

struct Script {
    std::vector<ScriptRoot> roots;
};

// ---- Operations. The HRESULT functions throw nothing; out of memory is E_OUTOFMEMORY.

// Replaces %NAME% and %% in text.
HRESULT Preprocess(const std::wstring& text, const Replacements& replacements, std::wstring& result,
                   std::wstring* error = nullptr);

// Parses preprocessed text. On failure script is left empty and error (when given)
// says what is wrong and on which line.
HRESULT ParseScript(const std::wstring& text, Script& script, std::wstring* error = nullptr);

// Writes or removes what a parsed script names.
HRESULT ApplyScript(const Script& script, Action action, const RegistryRoots& roots = RegistryRoots());

// Preprocess, parse, then apply.
HRESULT RunScript(const std::wstring& text, const Replacements& replacements, Action action,
                  const RegistryRoots& roots = RegistryRoots(), std::wstring* error = nullptr);

// Reads the script resource (type "REGISTRY") id of module: UTF-8 text (plain ASCII
// included, an initial byte order mark skipped) or UTF-16 text with its byte order mark.
HRESULT LoadScriptResource(HMODULE module, UINT id, std::wstring& text);

// Doubles every quote, so that value can stand inside a '...' string.
std::wstring EscapeQuotes(const std::wstring& value);

}  // namespace tavrel::registrar
