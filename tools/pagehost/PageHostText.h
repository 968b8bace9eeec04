// Text helpers of the page host: UTF-8 output, the files of lines it reads (host
// descriptions and user scripts), results by name, and the dialog driver's failures
// collected instead of printed.
#pragma once

#include "SimText.h"
#include "driver/DialogDriver.h"

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace tavrel::pagehost {

std::string Utf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

// ---- Files of lines
//
// One directive or action per line, its keyword first. Words are separated by blanks.
// A word in double quotes may hold blanks and the escapes \" \\ \t \n; a quoted word
// is never taken as a keyword. A '#' that begins a word starts a comment to the end of
// the line, unless a digit follows it (scripts name controls by id as "#1042"). Blank
// lines are ignored. Keywords are case-sensitive.

// One word of a line, and whether it was written in quotes.
struct Word {
    std::wstring text;
    bool quoted = false;
};

// Splits a line into words; a comment ends the line. False, with the reason in *error,
// for an unterminated quote or an unknown escape.
bool SplitWords(const std::wstring& line, std::vector<Word>* words, std::wstring* error);

// Reads a UTF-8 text file (a byte order mark is skipped) into *text. False with
// "<path>: cannot read the <what>: <reason>" in *error.
bool ReadTextFile(const std::wstring& path, const wchar_t* what, std::wstring* text, std::wstring* error);

// Hands each line of text that has words to parseLine with its number (from 1). The
// first line that does not split, or that parseLine refuses with a reason, ends it:
// false with "<fileName>:<line>: <reason>" in *error.
using LineParser = std::function<bool(int lineNumber, const std::vector<Word>& words, std::wstring* reason)>;
bool ParseLines(const std::wstring& text, const std::wstring& fileName, const LineParser& parseLine,
                std::wstring* error);

// ParseLines for lines whose keyword names a row of table (rows with a name and a
// usage): parse gets the row, the line number and the words, keyword first. Its reason
// is given as "<keyword>: <reason>; usage: <usage>"; an unknown keyword as
// "unknown <kind> "<word>" (<every name>)".
template <class Syntax, std::size_t N, class Parse>
bool ParseKeywordLines(const std::wstring& text, const std::wstring& fileName, const Syntax (&table)[N],
                       const wchar_t* kind, Parse parse, std::wstring* error) {
    return ParseLines(text, fileName, [&](int lineNumber, const std::vector<Word>& words, std::wstring* reason) {
        std::wstring known;
        for (const Syntax& syntax : table) {
            if (words.front().quoted || words.front().text != syntax.name) {
                known += (known.empty() ? L"" : L", ") + std::wstring(syntax.name);
                continue;
            }
            if (parse(syntax, lineNumber, words, reason)) return true;
            *reason = std::wstring(syntax.name) + L": " + *reason + L"; usage: " + syntax.usage;
            return false;
        }
        *reason = L"unknown " + std::wstring(kind) + L" " + hostsim::Quote(words.front().text) + L" (" + known + L")";
        return false;
    }, error);
}

// ---- Results

// The result a name stands for (S_OK, E_FAIL, CLASS_E_CLASSNOTAVAILABLE...); false for
// a name not known.
bool ResultFromName(const std::wstring& name, HRESULT* result);
// "0x80040111 CLASS_E_CLASSNOTAVAILABLE (the system's text, if any)".
std::wstring HresultText(HRESULT hr);

// ---- The dialog driver's failures

// While it lives, the dialog driver's failures are collected here instead of going to
// the reporter installed before (stderr, or a test framework).
class FailureCollector {
public:
    FailureCollector();
    ~FailureCollector();
    FailureCollector(const FailureCollector&) = delete;
    FailureCollector& operator=(const FailureCollector&) = delete;

    // The failures collected since the last call, joined with "; "; empty if none.
    std::wstring TakeText();

private:
    std::vector<std::string> m_messages;
    driver::FailureReporter m_previous;
};

}  // namespace tavrel::pagehost
