// Dialog templates built in memory, for tests that need real controls in a dialog
// of their own rather than one of the library's templates.
#pragma once

#include <windows.h>

#include <vector>

namespace tavrel::test {

// An in-memory DLGTEMPLATE with DLGITEMTEMPLATE entries, each DWORD aligned.
class DialogTemplate {
public:
    DialogTemplate(const wchar_t* caption, short width, short height) {
        Dword(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU);
        Dword(0);  // extended style
        m_countAt = m_words.size();
        Word(0);  // item count, patched by Add
        Word(0);
        Word(0);
        Word(static_cast<WORD>(width));
        Word(static_cast<WORD>(height));
        Word(0);  // no menu
        Word(0);  // default class
        String(caption);
        Word(8);
        String(L"MS Shell Dlg");
    }

    void Add(const wchar_t* className, const wchar_t* text, int id, DWORD style, short x, short y, short cx,
             short cy) {
        if (m_words.size() % 2) Word(0);
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        for (short value : {x, y, cx, cy}) Word(static_cast<WORD>(value));
        Word(static_cast<WORD>(id));
        String(className);
        String(text);
        Word(0);  // no creation data
        ++m_words[m_countAt];
    }

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

private:
    void Word(WORD value) { m_words.push_back(value); }
    void Dword(DWORD value) {
        Word(LOWORD(value));
        Word(HIWORD(value));
    }
    void String(const wchar_t* text) {
        for (; *text; ++text) Word(static_cast<WORD>(*text));
        Word(0);
    }

    std::vector<WORD> m_words;
    size_t m_countAt = 0;
};

}  // namespace tavrel::test
