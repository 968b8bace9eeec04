#include "Registrar.h"

#include "ComResource.h"

#include <algorithm>
#include <cwctype>
#include <vector>

namespace tavrel::registrar {
namespace {

bool EqualsNoCase(const std::wstring& text, const wchar_t* word) {
    return CompareStringOrdinal(text.c_str(), static_cast<int>(text.size()), word, -1, TRUE) == CSTR_EQUAL;
}

std::wstring LineText(size_t line) {
    wchar_t digits[24];
    wchar_t* first = digits + 24;
    do {
        *--first = static_cast<wchar_t>(L'0' + line % 10);
        line /= 10;
    } while (line != 0);
    return L"line " + std::wstring(first, digits + 24) + L": ";
}

// ---- Tokens

struct Token {
    enum class Type { End, Word, Quoted, OpenBrace, CloseBrace, Equals };
    Type type = Type::End;
    std::wstring text;
    size_t line = 1;
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
        const bool braceAlone = c == L'{' && (m_pos + 1 == m_text.size() || std::iswspace(m_text[m_pos + 1]));
        if (c == L'}' || c == L'=' || braceAlone) {
            token.type = c == L'}' ? Token::Type::CloseBrace : c == L'=' ? Token::Type::Equals : Token::Type::OpenBrace;
            token.text.assign(1, c);
            ++m_pos;
            return true;
        }
        // A word runs to the next white space; '{' starting a word is part of a name
        // such as a class id.
        const size_t start = m_pos;
        while (m_pos < m_text.size() && !std::iswspace(m_text[m_pos]))
            ++m_pos;
        token.type = Token::Type::Word;
        token.text.assign(m_text, start, m_pos - start);
        return true;
    }

private:
    void SkipSpace() {
        for (; m_pos < m_text.size() && std::iswspace(m_text[m_pos]); ++m_pos)
            m_line += m_text[m_pos] == L'\n';
    }

    // '...' with '' standing for one quote; a string may span lines.
    bool ReadQuoted(Token& token, std::wstring& error) {
        token.type = Token::Type::Quoted;
        for (++m_pos; m_pos < m_text.size();) {
            const wchar_t c = m_text[m_pos++];
            if (c == L'\'' && (m_pos == m_text.size() || m_text[m_pos] != L'\''))
                return true;
            m_pos += c == L'\'';  // the second quote of ''
            m_line += c == L'\n';
            token.text += c;
        }
        error = LineText(token.line) + L"unterminated string";
        return false;
    }

    const std::wstring& m_text;
    size_t m_pos = 0;
    size_t m_line = 1;
};

// ---- The parsed script: the entries under HKCR

struct Entry {
    bool isValue = false;  // val: a named value of the enclosing key
    bool noRemove = false;
    bool forceRemove = false;
    std::wstring name;
    bool hasValue = false;  // a key's default value, or the named value
    std::wstring value;
    std::vector<Entry> children;
};

// Builds the whole tree; the first error ends it.
class Parser {
public:
    explicit Parser(const std::wstring& text) : m_tokens(text) {}

    bool Parse(std::vector<Entry>& entries, std::wstring& error) {
        const bool parsed = Advance() && ParseRoots(entries);
        error = m_error;
        return parsed;
    }

private:
    bool Advance() { return m_tokens.Next(m_token, m_error); }

    bool Fail(const std::wstring& what) {
        m_error = LineText(m_token.line) + what;
        return false;
    }

    bool IsWord(const wchar_t* word) const {
        return m_token.type == Token::Type::Word && EqualsNoCase(m_token.text, word);
    }

    bool ParseRoots(std::vector<Entry>& entries) {
        while (m_token.type != Token::Type::End) {
            if (!IsWord(L"HKCR"))
                return Fail(L"unknown root key '" + m_token.text + L"' (only HKCR)");
            if (!Advance())
                return false;
            if (m_token.type != Token::Type::OpenBrace)
                return Fail(L"expected '{' after the root key");
            if (!Advance() || !ParseEntries(entries))
                return false;
        }
        return true;
    }

    // The entries after a '{', up to and including its '}'.
    bool ParseEntries(std::vector<Entry>& entries) {
        while (m_token.type != Token::Type::CloseBrace) {
            if (m_token.type == Token::Type::End)
                return Fail(L"missing '}' at the end of the script");
            entries.emplace_back();
            if (!ParseEntry(entries.back()))
                return false;
        }
        return Advance();
    }

    bool ParseEntry(Entry& entry) {
        bool* modifier = IsWord(L"NoRemove")      ? &entry.noRemove
                         : IsWord(L"ForceRemove") ? &entry.forceRemove
                         : IsWord(L"val")         ? &entry.isValue
                                                  : nullptr;
        if (modifier) {
            *modifier = true;
            if (!Advance())
                return false;
        }
        if (!ParseName(entry))
            return false;
        if (m_token.type == Token::Type::Equals) {
            entry.hasValue = true;
            if (!Advance() || !ParseString(entry.value))
                return false;
        } else if (entry.isValue) {
            return Fail(L"val '" + entry.name + L"' needs '= s data'");
        }
        if (m_token.type != Token::Type::OpenBrace)
            return true;
        if (entry.isValue)
            return Fail(L"only a key has a '{' block");
        return Advance() && ParseEntries(entry.children);
    }

    // A key name is one key: not empty, no backslash. A value name may be anything.
    bool ParseName(Entry& entry) {
        if (m_token.type != Token::Type::Word && m_token.type != Token::Type::Quoted)
            return Fail(L"expected a name, found '" + m_token.text + L"'");
        if (IsWord(L"NoRemove") || IsWord(L"ForceRemove") || IsWord(L"val") || IsWord(L"Delete"))
            return Fail(L"keyword '" + m_token.text + L"' where a name stands (quote a name)");
        if (!entry.isValue && (m_token.text.empty() || m_token.text.find(L'\\') != std::wstring::npos))
            return Fail(L"key name '" + m_token.text + L"' is empty or holds a backslash");
        entry.name = m_token.text;
        return Advance();
    }

    // "s data": the one value type the scripts use.
    bool ParseString(std::wstring& value) {
        if (!IsWord(L"s"))
            return Fail(L"unknown value type '" + m_token.text + L"' (only s)");
        if (!Advance())
            return false;
        if (m_token.type != Token::Type::Word && m_token.type != Token::Type::Quoted)
            return Fail(L"expected the value data, found '" + m_token.text + L"'");
        value = m_token.text;
        return Advance();
    }

    Tokenizer m_tokens;
    Token m_token;
    std::wstring m_error;
};

// Replaces %MODULE% by modulePath, its quotes doubled, and %% by one percent sign.
bool Expand(const std::wstring& text, const std::wstring& modulePath, std::wstring& result, std::wstring& error) {
    for (size_t position = 0;;) {
        const size_t open = text.find(L'%', position);
        result.append(text, position, open - position);
        if (open == std::wstring::npos)
            return true;
        const size_t close = text.find(L'%', open + 1);
        const std::wstring name = text.substr(open + 1, close - open - 1);
        if (close == std::wstring::npos || (!name.empty() && name != L"MODULE")) {
            const size_t line = 1 + std::count(text.begin(), text.begin() + open, L'\n');
            error = LineText(line) + (close == std::wstring::npos ? L"'%' without its closing '%'"
                                                                   : L"unknown replacement %" + name + L"%");
            return false;
        }
        if (name.empty())
            result += L'%';
        for (size_t i = 0; !name.empty() && i < modulePath.size(); ++i)
            result.append(modulePath[i] == L'\'' ? 2 : 1, modulePath[i]);
        position = close + 1;
    }
}

// ---- Registry

HRESULT FromStatus(LSTATUS status) { return HRESULT_FROM_WIN32(static_cast<unsigned long>(status)); }
LSTATUS IgnoreMissing(LSTATUS status) { return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status; }

constexpr REGSAM kKeyAccess = KEY_READ | KEY_WRITE | DELETE;

LSTATUS SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

HRESULT ApplyEntries(HKEY parent, const std::vector<Entry>& entries, Action action);

HRESULT RegisterEntry(HKEY parent, const Entry& entry) {
    if (entry.isValue)
        return FromStatus(SetString(parent, entry.name.c_str(), entry.value));
    LSTATUS status = entry.forceRemove ? IgnoreMissing(RegDeleteTreeW(parent, entry.name.c_str())) : ERROR_SUCCESS;
    UniqueHkey key;
    if (status == ERROR_SUCCESS)
        status = RegCreateKeyExW(parent, entry.name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kKeyAccess, nullptr,
                                 key.put(), nullptr);
    if (status == ERROR_SUCCESS && entry.hasValue)
        status = SetString(key.get(), nullptr, entry.value);
    if (status != ERROR_SUCCESS)
        return FromStatus(status);
    return ApplyEntries(key.get(), entry.children, Action::Register);
}

HRESULT UnregisterEntry(HKEY parent, const Entry& entry) {
    if (entry.isValue)
        return FromStatus(IgnoreMissing(RegDeleteValueW(parent, entry.name.c_str())));
    // The script owns a force-removed key whole.
    if (entry.forceRemove)
        return FromStatus(IgnoreMissing(RegDeleteTreeW(parent, entry.name.c_str())));
    UniqueHkey key;
    LSTATUS status = RegOpenKeyExW(parent, entry.name.c_str(), 0, kKeyAccess, key.put());
    if (status != ERROR_SUCCESS)
        return FromStatus(IgnoreMissing(status));
    const HRESULT hr = ApplyEntries(key.get(), entry.children, Action::Unregister);
    if (FAILED(hr) || entry.noRemove)
        return hr;
    // Subkeys the script does not name belong to someone else: keep the key for them.
    DWORD subkeys = 0;
    status = RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS || subkeys != 0)
        return FromStatus(status);
    key.reset();
    return FromStatus(IgnoreMissing(RegDeleteKeyW(parent, entry.name.c_str())));
}

HRESULT ApplyEntries(HKEY parent, const std::vector<Entry>& entries, Action action) {
    for (const Entry& entry : entries) {
        const HRESULT hr = action == Action::Register ? RegisterEntry(parent, entry) : UnregisterEntry(parent, entry);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

}  // namespace

HRESULT RunScript(const std::wstring& text, const std::wstring& modulePath, Action action, HKEY root,
                  std::wstring* error) {
    return CatchToHresult([&] {
        std::wstring expanded;
        std::wstring problem;
        std::vector<Entry> entries;
        if (!Expand(text, modulePath, expanded, problem) || !Parser(expanded).Parse(entries, problem)) {
            if (error)
                *error = problem;
            return kScriptError;
        }
        return ApplyEntries(root, entries, action);
    });
}

HRESULT LoadScriptResource(HMODULE module, UINT id, std::wstring& text) {
    const HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), L"REGISTRY");
    const HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!data)
        return HRESULT_FROM_WIN32(ERROR_RESOURCE_DATA_NOT_FOUND);
    const int size = static_cast<int>(SizeofResource(module, resource));
    return CatchToHresult([&] {
        text.resize(static_cast<size_t>(size));  // UTF-8 never takes fewer bytes than UTF-16 units
        const int length = size ? MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, data, size, &text[0], size) : 0;
        text.resize(static_cast<size_t>(length > 0 ? length : 0));
        return size && length <= 0 ? kScriptError : S_OK;
    });
}

}  // namespace tavrel::registrar
