#include "Registrar.h"

#include "ComResource.h"

#include <cstring>
#include <cwctype>
#include <new>

namespace tavrel::registrar {
namespace {

bool EqualsNoCase(const std::wstring& text, const wchar_t* word) {
    return CompareStringOrdinal(text.c_str(), static_cast<int>(text.size()), word, -1, TRUE) == CSTR_EQUAL;
}

std::wstring LineText(unsigned line) { return L"line " + std::to_wstring(line) + L": "; }

// ---- Root key names

struct RootName {
    const wchar_t* shortName;
    const wchar_t* longName;
    RootKey root;
};

const RootName kRootNames[] = {
    {L"HKCR", L"HKEY_CLASSES_ROOT", RootKey::ClassesRoot},
    {L"HKCU", L"HKEY_CURRENT_USER", RootKey::CurrentUser},
    {L"HKLM", L"HKEY_LOCAL_MACHINE", RootKey::LocalMachine},
    {L"HKU", L"HKEY_USERS", RootKey::Users},
    {L"HKCC", L"HKEY_CURRENT_CONFIG", RootKey::CurrentConfig},
};

bool FindRoot(const std::wstring& name, RootKey& root) {
    for (const RootName& candidate : kRootNames) {
        if (EqualsNoCase(name, candidate.shortName) || EqualsNoCase(name, candidate.longName)) {
            root = candidate.root;
            return true;
        }
    }
    return false;
}

// ---- Tokens

struct Token {
    enum class Type { End, Word, Quoted, OpenBrace, CloseBrace, Equals };
    Type type = Type::End;
    std::wstring text;
    unsigned line = 1;
};

class Tokenizer {
public:
    explicit Tokenizer(const std::wstring& text) : m_text(text) {}

    // Reads the next token; false with error set for an unterminated string.
    bool Next(Token& token, std::wstring& error) {
        SkipSpace();
        token.text.clear();
        token.line = m_line;
        if (m_pos >= m_text.size()) {
            token.type = Token::Type::End;
            return true;
        }
        const wchar_t c = m_text[m_pos];
        if (c == L'\'')
            return ReadQuoted(token, error);
        if (c == L'}' || c == L'=') {
            token.type = c == L'}' ? Token::Type::CloseBrace : Token::Type::Equals;
            token.text.assign(1, c);
            ++m_pos;
            return true;
        }
        // '{' alone is a brace; '{' starting a word is part of a name such as a class id.
        if (c == L'{' && (m_pos + 1 == m_text.size() || std::iswspace(m_text[m_pos + 1]))) {
            token.type = Token::Type::OpenBrace;
            token.text = L"{";
            ++m_pos;
            return true;
        }
        const size_t start = m_pos;
        while (m_pos < m_text.size() && !std::iswspace(m_text[m_pos]))
            ++m_pos;
        token.type = Token::Type::Word;
        token.text.assign(m_text, start, m_pos - start);
        return true;
    }

private:
    void SkipSpace() {
        while (m_pos < m_text.size() && std::iswspace(m_text[m_pos])) {
            if (m_text[m_pos] == L'\n')
                ++m_line;
            ++m_pos;
        }
    }

    // '...' with '' standing for one quote; a string may span lines.
    bool ReadQuoted(Token& token, std::wstring& error) {
        token.type = Token::Type::Quoted;
        ++m_pos;
        while (m_pos < m_text.size()) {
            const wchar_t c = m_text[m_pos++];
            if (c == L'\'') {
                if (m_pos < m_text.size() && m_text[m_pos] == L'\'') {
                    token.text += L'\'';
                    ++m_pos;
                    continue;
                }
                return true;
            }
            if (c == L'\n')
                ++m_line;
            token.text += c;
        }
        error = LineText(token.line) + L"unterminated string";
        return false;
    }

    const std::wstring& m_text;
    size_t m_pos = 0;
    unsigned m_line = 1;
};

// ---- Value data

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// Decimal, or hexadecimal after 0x; the whole text, at most 32 bits.
bool ParseDword(const std::wstring& text, DWORD& number) {
    const bool hex = text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X');
    const unsigned base = hex ? 16 : 10;
    const size_t first = hex ? 2 : 0;
    if (text.size() <= first)
        return false;
    unsigned long long value = 0;
    for (size_t i = first; i < text.size(); ++i) {
        const int digit = HexDigit(text[i]);
        if (digit < 0 || static_cast<unsigned>(digit) >= base)
            return false;
        value = value * base + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFull)
            return false;
    }
    number = static_cast<DWORD>(value);
    return true;
}

// Pairs of hexadecimal digits, one byte each.
bool ParseBinary(const std::wstring& text, std::vector<BYTE>& bytes) {
    if (text.size() % 2 != 0)
        return false;
    bytes.clear();
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = HexDigit(text[i]);
        const int low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes.push_back(static_cast<BYTE>(high * 16 + low));
    }
    return true;
}

// ---- Parser: builds the whole tree; the first error ends it.

class Parser {
public:
    explicit Parser(const std::wstring& text) : m_tokens(text) {}

    bool Parse(Script& script) {
        if (!Advance())
            return false;
        while (m_token.type != Token::Type::End) {
            ScriptRoot root;
            if (!ParseRoot(root))
                return false;
            script.roots.push_back(std::move(root));
        }
        return true;
    }

    const std::wstring& Error() const { return m_error; }

private:
    bool Advance() { return m_tokens.Next(m_token, m_error); }

    bool Fail(const std::wstring& what) {
        m_error = LineText(m_token.line) + what;
        return false;
    }

    bool IsWord() const { return m_token.type == Token::Type::Word; }

    bool ParseRoot(ScriptRoot& root) {
        if (!IsWord() || !FindRoot(m_token.text, root.root))
            return Fail(L"unknown root key '" + m_token.text + L"'");
        if (!Advance())
            return false;
        if (m_token.type != Token::Type::OpenBrace)
            return Fail(L"expected '{' after the root key");
        return Advance() && ParseEntries(root.entries);
    }

    // The entries after a '{', up to and including its '}'.
    bool ParseEntries(std::vector<ScriptEntry>& entries) {
        for (;;) {
            if (m_token.type == Token::Type::CloseBrace)
                return Advance();
            if (m_token.type == Token::Type::End)
                return Fail(L"missing '}' at the end of the script");
            ScriptEntry entry;
            if (!ParseEntry(entry))
                return false;
            entries.push_back(std::move(entry));
        }
    }

    bool ParseEntry(ScriptEntry& entry) {
        if (IsWord() && IsKeyword(m_token.text)) {
            ApplyKeyword(m_token.text, entry);
            if (!Advance())
                return false;
        }
        if (!ParseName(entry))
            return false;
        if (m_token.type == Token::Type::Equals) {
            if (entry.kind == ScriptEntry::Kind::DeleteKey)
                return Fail(L"a Delete key takes no value");
            entry.hasValue = true;
            if (!Advance() || !ParseValue(entry.value))
                return false;
        } else if (entry.kind == ScriptEntry::Kind::NamedValue) {
            return Fail(L"val '" + entry.name + L"' needs '= type data'");
        }
        if (m_token.type == Token::Type::OpenBrace) {
            if (entry.kind != ScriptEntry::Kind::Key)
                return Fail(L"only a key has a '{' block");
            return Advance() && ParseEntries(entry.children);
        }
        return true;
    }

    static bool IsKeyword(const std::wstring& word) {
        return EqualsNoCase(word, L"NoRemove") || EqualsNoCase(word, L"ForceRemove") ||
               EqualsNoCase(word, L"Delete") || EqualsNoCase(word, L"val");
    }

    static void ApplyKeyword(const std::wstring& word, ScriptEntry& entry) {
        if (EqualsNoCase(word, L"NoRemove"))
            entry.noRemove = true;
        else if (EqualsNoCase(word, L"ForceRemove"))
            entry.forceRemove = true;
        else if (EqualsNoCase(word, L"Delete"))
            entry.kind = ScriptEntry::Kind::DeleteKey;
        else
            entry.kind = ScriptEntry::Kind::NamedValue;
    }

    // A key name is one key: not empty, no backslash. A value name may be anything.
    bool ParseName(ScriptEntry& entry) {
        if (m_token.type != Token::Type::Word && m_token.type != Token::Type::Quoted)
            return Fail(L"expected a name, found '" + m_token.text + L"'");
        if (IsWord() && IsKeyword(m_token.text))
            return Fail(L"'" + m_token.text + L"' as a name must be quoted");
        if (entry.kind != ScriptEntry::Kind::NamedValue) {
            if (m_token.text.empty())
                return Fail(L"empty key name");
            if (m_token.text.find(L'\\') != std::wstring::npos)
                return Fail(L"key name '" + m_token.text + L"' holds a backslash: nest the keys instead");
        }
        entry.name = m_token.text;
        return Advance();
    }

    bool ParseValue(ScriptValue& value) {
        if (!IsWord() || m_token.text.size() != 1)
            return Fail(L"unknown value type '" + m_token.text + L"'");
        const wchar_t type = static_cast<wchar_t>(std::towlower(m_token.text[0]));
        if (type != L's' && type != L'd' && type != L'b')
            return Fail(L"unknown value type '" + m_token.text + L"'");
        if (!Advance())
            return false;
        if (m_token.type != Token::Type::Word && m_token.type != Token::Type::Quoted)
            return Fail(L"expected the value data, found '" + m_token.text + L"'");
        if (type == L's') {
            value.type = ScriptValue::Type::String;
            value.text = m_token.text;
        } else if (type == L'd') {
            value.type = ScriptValue::Type::Dword;
            if (!ParseDword(m_token.text, value.number))
                return Fail(L"'" + m_token.text + L"' is no 32-bit number");
        } else {
            value.type = ScriptValue::Type::Binary;
            if (!ParseBinary(m_token.text, value.bytes))
                return Fail(L"'" + m_token.text + L"' is no sequence of hexadecimal byte pairs");
        }
        return Advance();
    }

    Tokenizer m_tokens;
    Token m_token;
    std::wstring m_error;
};

// ---- Registry

HRESULT FromStatus(LSTATUS status) { return HRESULT_FROM_WIN32(static_cast<unsigned long>(status)); }

constexpr REGSAM kKeyAccess = KEY_READ | KEY_WRITE | DELETE;

LSTATUS SetValue(HKEY key, const wchar_t* name, const ScriptValue& value) {
    switch (value.type) {
    case ScriptValue::Type::String:
        return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.text.c_str()),
                              static_cast<DWORD>((value.text.size() + 1) * sizeof(wchar_t)));
    case ScriptValue::Type::Dword:
        return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value.number),
                              sizeof(value.number));
    case ScriptValue::Type::Binary:
        return RegSetValueExW(key, name, 0, REG_BINARY, value.bytes.data(),
                              static_cast<DWORD>(value.bytes.size()));
    }
    return ERROR_INVALID_DATA;
}

// Deletes a key with its whole tree; a missing key is no failure.
LSTATUS DeleteTree(HKEY parent, const std::wstring& name) {
    const LSTATUS status = RegDeleteTreeW(parent, name.c_str());
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

HRESULT RegisterEntries(HKEY parent, const std::vector<ScriptEntry>& entries);

HRESULT RegisterEntry(HKEY parent, const ScriptEntry& entry) {
    switch (entry.kind) {
    case ScriptEntry::Kind::NamedValue:
        return FromStatus(SetValue(parent, entry.name.c_str(), entry.value));
    case ScriptEntry::Kind::DeleteKey:
        return FromStatus(DeleteTree(parent, entry.name));
    case ScriptEntry::Kind::Key:
        break;
    }
    if (entry.forceRemove) {
        const LSTATUS status = DeleteTree(parent, entry.name);
        if (status != ERROR_SUCCESS)
            return FromStatus(status);
    }
    UniqueHkey key;
    LSTATUS status = RegCreateKeyExW(parent, entry.name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kKeyAccess,
                                     nullptr, key.put(), nullptr);
    if (status == ERROR_SUCCESS && entry.hasValue)
        status = SetValue(key.get(), nullptr, entry.value);
    if (status != ERROR_SUCCESS)
        return FromStatus(status);
    return RegisterEntries(key.get(), entry.children);
}

HRESULT RegisterEntries(HKEY parent, const std::vector<ScriptEntry>& entries) {
    for (const ScriptEntry& entry : entries) {
        const HRESULT hr = RegisterEntry(parent, entry);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

HRESULT HasSubkeys(HKEY key, bool& hasSubkeys) {
    DWORD subkeys = 0;
    const LSTATUS status = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                                            nullptr, nullptr, nullptr, nullptr);
    hasSubkeys = subkeys != 0;
    return FromStatus(status);
}

HRESULT UnregisterEntries(HKEY parent, const std::vector<ScriptEntry>& entries);

HRESULT UnregisterEntry(HKEY parent, const ScriptEntry& entry) {
    switch (entry.kind) {
    case ScriptEntry::Kind::NamedValue: {
        const LSTATUS status = RegDeleteValueW(parent, entry.name.c_str());
        return status == ERROR_FILE_NOT_FOUND ? S_OK : FromStatus(status);
    }
    case ScriptEntry::Kind::DeleteKey:
        return S_OK;
    case ScriptEntry::Kind::Key:
        break;
    }
    // The script owns a force-removed key whole.
    if (entry.forceRemove)
        return FromStatus(DeleteTree(parent, entry.name));

    UniqueHkey key;
    LSTATUS status = RegOpenKeyExW(parent, entry.name.c_str(), 0, kKeyAccess, key.put());
    if (status == ERROR_FILE_NOT_FOUND)
        return S_OK;
    if (status != ERROR_SUCCESS)
        return FromStatus(status);
    HRESULT hr = UnregisterEntries(key.get(), entry.children);
    if (FAILED(hr) || entry.noRemove)
        return hr;
    // Subkeys the script does not name belong to someone else: keep the key for them.
    bool hasSubkeys = false;
    hr = HasSubkeys(key.get(), hasSubkeys);
    if (FAILED(hr) || hasSubkeys)
        return hr;
    key.reset();
    status = RegDeleteKeyW(parent, entry.name.c_str());
    return status == ERROR_FILE_NOT_FOUND ? S_OK : FromStatus(status);
}

HRESULT UnregisterEntries(HKEY parent, const std::vector<ScriptEntry>& entries) {
    for (const ScriptEntry& entry : entries) {
        const HRESULT hr = UnregisterEntry(parent, entry);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

unsigned LineAt(const std::wstring& text, size_t position) {
    unsigned line = 1;
    for (size_t i = 0; i < position && i < text.size(); ++i) {
        if (text[i] == L'\n')
            ++line;
    }
    return line;
}

void SetError(std::wstring* error, const std::wstring& text) {
    if (error)
        *error = text;
}

HRESULT PreprocessText(const std::wstring& text, const Replacements& replacements, std::wstring& result,
                       std::wstring* error) {
    result.clear();
    size_t position = 0;
    for (;;) {
        const size_t open = text.find(L'%', position);
        if (open == std::wstring::npos)
            break;
        result.append(text, position, open - position);
        const size_t close = text.find(L'%', open + 1);
        if (close == std::wstring::npos) {
            SetError(error, LineText(LineAt(text, open)) + L"'%' without its closing '%'");
            return kScriptError;
        }
        const std::wstring name = text.substr(open + 1, close - open - 1);
        if (name.empty()) {
            result += L'%';
        } else if (const std::wstring* value = replacements.Find(name)) {
            result += *value;
        } else {
            SetError(error, LineText(LineAt(text, open)) + L"unknown replacement %" + name + L"%");
            return kScriptError;
        }
        position = close + 1;
    }
    result.append(text, position, std::wstring::npos);
    return S_OK;
}

HRESULT ParseText(const std::wstring& text, Script& script, std::wstring* error) {
    script.roots.clear();
    Parser parser(text);
    if (parser.Parse(script))
        return S_OK;
    script.roots.clear();
    SetError(error, parser.Error());
    return kScriptError;
}

HRESULT ApplyParsed(const Script& script, Action action, const RegistryRoots& roots) {
    for (const ScriptRoot& root : script.roots) {
        const HKEY base = roots.Key(root.root);
        const HRESULT hr = action == Action::Register ? RegisterEntries(base, root.entries)
                                                      : UnregisterEntries(base, root.entries);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

HRESULT DecodeScript(const BYTE* data, DWORD size, std::wstring& text) {
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
        text.resize((size - 2) / sizeof(wchar_t));
        if (!text.empty())
            std::memcpy(&text[0], data + 2, text.size() * sizeof(wchar_t));
    } else {
        if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
            data += 3;
            size -= 3;
        }
        text.clear();
        if (size == 0)
            return S_OK;
        const char* bytes = reinterpret_cast<const char*>(data);
        const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, static_cast<int>(size),
                                               nullptr, 0);
        if (length <= 0)
            return kScriptError;
        text.resize(static_cast<size_t>(length));
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, static_cast<int>(size), &text[0], length);
    }
    // Some resource compilers end the text with a terminating zero.
    const size_t end = text.find(L'\0');
    if (end != std::wstring::npos)
        text.resize(end);
    return S_OK;
}

}  // namespace

// ---- RegistryRoots

RegistryRoots::RegistryRoots()
    : m_keys{HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CURRENT_CONFIG} {}

void RegistryRoots::Redirect(RootKey root, HKEY key) { m_keys[static_cast<int>(root)] = key; }

HKEY RegistryRoots::Key(RootKey root) const { return m_keys[static_cast<int>(root)]; }

// ---- Replacements

void Replacements::Add(const std::wstring& name, const std::wstring& value) {
    for (auto& item : m_items) {
        if (EqualsNoCase(item.first, name.c_str())) {
            item.second = value;
            return;
        }
    }
    m_items.emplace_back(name, value);
}

const std::wstring* Replacements::Find(const std::wstring& name) const {
    for (const auto& item : m_items) {
        if (EqualsNoCase(item.first, name.c_str()))
            return &item.second;
    }
    return nullptr;
}

// ---- Operations

HRESULT Preprocess(const std::wstring& text, const Replacements& replacements, std::wstring& result,
                   std::wstring* error) {
    try {
        return PreprocessText(text, replacements, result, error);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT ParseScript(const std::wstring& text, Script& script, std::wstring* error) {
    try {
        return ParseText(text, script, error);
    } catch (const std::bad_alloc&) {
        script.roots.clear();
        return E_OUTOFMEMORY;
    }
}

HRESULT ApplyScript(const Script& script, Action action, const RegistryRoots& roots) {
    try {
        return ApplyParsed(script, action, roots);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT RunScript(const std::wstring& text, const Replacements& replacements, Action action,
                  const RegistryRoots& roots, std::wstring* error) {
    try {
        std::wstring expanded;
        HRESULT hr = PreprocessText(text, replacements, expanded, error);
        if (FAILED(hr))
            return hr;
        Script script;
        hr = ParseText(expanded, script, error);
        if (FAILED(hr))
            return hr;
        return ApplyParsed(script, action, roots);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT LoadScriptResource(HMODULE module, UINT id, std::wstring& text) {
    text.clear();
    const HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), L"REGISTRY");
    const HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return HRESULT_FROM_WIN32(ERROR_RESOURCE_DATA_NOT_FOUND);
    try {
        return DecodeScript(static_cast<const BYTE*>(data), SizeofResource(module, resource), text);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

std::wstring EscapeQuotes(const std::wstring& value) {
    std::wstring result;
    result.reserve(value.size());
    for (wchar_t c : value) {
        result += c;
        if (c == L'\'')
            result += L'\'';
    }
    return result;
}

}  // namespace tavrel::registrar
