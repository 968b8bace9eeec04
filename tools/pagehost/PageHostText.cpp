#include "PageHostText.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cwctype>
#include <utility>

namespace tavrel::pagehost {

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr,
                            nullptr);
    }
    return result;
}

std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size);
    return result;
}

bool SplitWords(const std::wstring& line, std::vector<Word>* words, std::wstring* error) {
    words->clear();
    std::size_t i = 0;
    while (i < line.size()) {
        if (std::iswspace(line[i])) {
            ++i;
            continue;
        }
        // A comment, unless "#<digit>" (a control id in a script).
        if (line[i] == L'#' && !(i + 1 < line.size() && std::iswdigit(line[i + 1]))) break;
        Word word;
        if (line[i] == L'"') {
            word.quoted = true;
            const std::size_t opened = i++;
            bool closed = false;
            while (i < line.size() && !closed) {
                const wchar_t c = line[i++];
                if (c == L'"') {
                    closed = true;
                } else if (c == L'\\') {
                    if (i >= line.size()) break;
                    const wchar_t escaped = line[i++];
                    switch (escaped) {
                    case L'"': word.text += L'"'; break;
                    case L'\\': word.text += L'\\'; break;
                    case L't': word.text += L'\t'; break;
                    case L'n': word.text += L'\n'; break;
                    default:
                        *error = L"unknown escape \\" + std::wstring(1, escaped) +
                                 L" in a quoted word (\\\" \\\\ \\t \\n)";
                        return false;
                    }
                } else {
                    word.text += c;
                }
            }
            if (!closed) {
                *error = L"the quote opened at column " + std::to_wstring(opened + 1) + L" is not closed";
                return false;
            }
            if (i < line.size() && !std::iswspace(line[i])) {
                *error = L"a blank must follow the closing quote at column " + std::to_wstring(i);
                return false;
            }
        } else {
            while (i < line.size() && !std::iswspace(line[i])) word.text += line[i++];
        }
        words->push_back(std::move(word));
    }
    return true;
}

bool ReadTextFile(const std::wstring& path, const wchar_t* what, std::wstring* text, std::wstring* error) {
    const std::wstring failed = path + L": cannot read the " + what + L": ";
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) {
        *error = failed + FromUtf8(std::strerror(errno));
        return false;
    }
    std::string bytes;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
    const bool readError = std::ferror(file) != 0;
    std::fclose(file);
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    const int size = bytes.empty() ? 0 : MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                                             static_cast<int>(bytes.size()), nullptr, 0);
    if (readError || (!bytes.empty() && size <= 0)) {
        *error = failed + (readError ? L"read error" : L"not UTF-8 text");
        return false;
    }
    *text = FromUtf8(bytes);
    return true;
}

bool ParseLines(const std::wstring& text, const std::wstring& fileName, const LineParser& parseLine,
                std::wstring* error) {
    std::size_t start = 0;
    for (int lineNumber = 1; start < text.size(); ++lineNumber) {
        // Lines end with "\n" or "\r\n".
        std::size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        start = end + 1;

        std::vector<Word> words;
        std::wstring reason;
        if (!SplitWords(line, &words, &reason) || (!words.empty() && !parseLine(lineNumber, words, &reason))) {
            *error = fileName + L":" + std::to_wstring(lineNumber) + L": " + reason;
            return false;
        }
    }
    return true;
}

namespace {

struct NamedResult {
    HRESULT result;
    const wchar_t* name;
};

// The results a host description may give a fault, and those a host meets here whose
// system text may be missing.
const NamedResult kResults[] = {
    {S_OK, L"S_OK"},
    {S_FALSE, L"S_FALSE"},
    {E_FAIL, L"E_FAIL"},
    {E_NOINTERFACE, L"E_NOINTERFACE"},
    {E_INVALIDARG, L"E_INVALIDARG"},
    {E_NOTIMPL, L"E_NOTIMPL"},
    {E_POINTER, L"E_POINTER"},
    {E_UNEXPECTED, L"E_UNEXPECTED"},
    {E_OUTOFMEMORY, L"E_OUTOFMEMORY"},
    {E_ACCESSDENIED, L"E_ACCESSDENIED"},
    {CLASS_E_CLASSNOTAVAILABLE, L"CLASS_E_CLASSNOTAVAILABLE"},
    {CLASS_E_NOAGGREGATION, L"CLASS_E_NOAGGREGATION"},
    {REGDB_E_CLASSNOTREG, L"REGDB_E_CLASSNOTREG"},
    {CO_E_CLASSSTRING, L"CO_E_CLASSSTRING"},
};

}  // namespace

bool ResultFromName(const std::wstring& name, HRESULT* result) {
    for (const NamedResult& named : kResults) {
        if (name == named.name) {
            *result = named.result;
            return true;
        }
    }
    return false;
}

std::wstring HresultText(HRESULT hr) {
    wchar_t hex[16] = {};
    swprintf(hex, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    std::wstring text = hex;
    for (const NamedResult& named : kResults) {
        if (named.result == hr) text += std::wstring(L" ") + named.name;
    }
    wchar_t* message = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    if (length && message) {
        std::wstring said(message, length);
        while (!said.empty() && (std::iswspace(said.back()) || said.back() == L'.')) said.pop_back();
        if (!said.empty()) text += L" (" + said + L")";
    }
    if (message) LocalFree(message);
    return text;
}

FailureCollector::FailureCollector() {
    m_previous = driver::SetFailureReporter([this](const std::string& message) { m_messages.push_back(message); });
}

FailureCollector::~FailureCollector() { driver::SetFailureReporter(std::move(m_previous)); }

std::wstring FailureCollector::TakeText() {
    std::string joined;
    for (const std::string& message : m_messages) {
        if (!joined.empty()) joined += "; ";
        joined += message;
    }
    m_messages.clear();
    return FromUtf8(joined);
}

}  // namespace tavrel::pagehost
