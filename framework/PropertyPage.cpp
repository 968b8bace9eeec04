#include "PropertyPage.h"

#include <cstring>

namespace tavrel::frame {
namespace {

// Reads the fields of a DLGTEMPLATE or DLGTEMPLATEEX that size the dialog.
struct TemplateFacts {
    short cx = 0;
    short cy = 0;
    bool hasFont = false;
    WORD pointSize = 8;
    std::wstring faceName;
};

class TemplateReader {
public:
    TemplateReader(const BYTE* data, DWORD size) : m_data(data), m_size(size) {}

    bool Word(WORD& value) { return Read(&value, sizeof value); }
    bool Dword(DWORD& value) { return Read(&value, sizeof value); }
    bool Short(short& value) { return Read(&value, sizeof value); }
    bool Skip(DWORD bytes) { return Read(nullptr, bytes); }

    // A menu or class field: nothing (0), an ordinal (0xFFFF, id) or a string.
    bool SkipNameOrOrdinal() {
        WORD first = 0;
        if (!Word(first))
            return false;
        if (first == 0)
            return true;
        if (first == 0xFFFF)
            return Skip(sizeof(WORD));
        return SkipString();
    }
    bool SkipString() {
        std::wstring ignored;
        return String(ignored);
    }
    bool String(std::wstring& text) {
        for (;;) {
            WORD c = 0;
            if (!Word(c))
                return false;
            if (c == 0)
                return true;
            text.push_back(static_cast<wchar_t>(c));
        }
    }

private:
    bool Read(void* out, DWORD bytes) {
        if (m_offset + bytes > m_size)
            return false;
        if (out)
            std::memcpy(out, m_data + m_offset, bytes);
        m_offset += bytes;
        return true;
    }
    const BYTE* m_data;
    DWORD m_size;
    DWORD m_offset = 0;
};

bool ReadTemplateFacts(const BYTE* data, DWORD size, TemplateFacts& facts) {
    TemplateReader reader(data, size);
    WORD version = 0, signature = 0;
    if (!reader.Word(version) || !reader.Word(signature))
        return false;
    DWORD style = 0;
    const bool extended = version == 1 && signature == 0xFFFF;
    if (extended) {
        DWORD helpId = 0, exStyle = 0;
        if (!reader.Dword(helpId) || !reader.Dword(exStyle) || !reader.Dword(style))
            return false;
    } else {
        // Classic template: the first DWORD is the style.
        style = MAKELONG(version, signature);
        DWORD exStyle = 0;
        if (!reader.Dword(exStyle))
            return false;
    }
    WORD itemCount = 0;
    short x = 0, y = 0;
    if (!reader.Word(itemCount) || !reader.Short(x) || !reader.Short(y) ||
        !reader.Short(facts.cx) || !reader.Short(facts.cy))
        return false;
    if (!reader.SkipNameOrOrdinal() || !reader.SkipNameOrOrdinal() || !reader.SkipString())
        return false;
    if (style & (DS_SETFONT | DS_SHELLFONT)) {
        if (!reader.Word(facts.pointSize))
            return false;
        if (extended && !reader.Skip(sizeof(WORD) + 2 * sizeof(BYTE)))
            return false;
        if (!reader.String(facts.faceName))
            return false;
        facts.hasFont = true;
    }
    return true;
}

// Dialog base units of a font: average character width and height in pixels.
bool FontBaseUnits(const TemplateFacts& facts, SIZE& units) {
    HDC screen = ::GetDC(nullptr);
    if (!screen)
        return false;
    LOGFONTW logFont{};
    logFont.lfHeight = -::MulDiv(facts.pointSize, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
    logFont.lfWeight = FW_NORMAL;
    logFont.lfCharSet = DEFAULT_CHARSET;
    wcsncpy_s(logFont.lfFaceName, facts.faceName.c_str(), _TRUNCATE);
    bool ok = false;
    if (HFONT font = ::CreateFontIndirectW(&logFont)) {
        HGDIOBJ previous = ::SelectObject(screen, font);
        TEXTMETRICW metrics{};
        SIZE alphabet{};
        static const wchar_t kAlphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        if (::GetTextMetricsW(screen, &metrics) &&
            ::GetTextExtentPoint32W(screen, kAlphabet, 52, &alphabet) && metrics.tmHeight > 0) {
            units.cx = (alphabet.cx / 26 + 1) / 2;
            units.cy = metrics.tmHeight;
            ok = units.cx > 0;
        }
        ::SelectObject(screen, previous);
        ::DeleteObject(font);
    }
    ::ReleaseDC(nullptr, screen);
    return ok;
}

}  // namespace

HRESULT GetDialogTemplateSize(HINSTANCE instance, UINT templateId, SIZE& size) {
    HRSRC resource = ::FindResourceW(instance, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    if (!resource)
        return E_UNEXPECTED;
    HGLOBAL loaded = ::LoadResource(instance, resource);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data)
        return E_UNEXPECTED;
    TemplateFacts facts;
    if (!ReadTemplateFacts(static_cast<const BYTE*>(data), ::SizeofResource(instance, resource), facts))
        return E_UNEXPECTED;

    SIZE units{};
    if (!facts.hasFont || !FontBaseUnits(facts, units)) {
        LONG base = ::GetDialogBaseUnits();
        units.cx = LOWORD(base);
        units.cy = HIWORD(base);
    }
    size.cx = ::MulDiv(facts.cx, units.cx, 4);
    size.cy = ::MulDiv(facts.cy, units.cy, 8);
    return S_OK;
}

namespace {

// The string table entry itself: with a zero buffer size LoadString hands out a
// pointer into the resource and its length.
int ResourceString(HINSTANCE instance, UINT id, const wchar_t*& text) {
    text = nullptr;
    const int length = ::LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
    return text ? length : 0;
}

}  // namespace

bool LoadResourceString(HINSTANCE instance, UINT id, std::wstring& text) {
    const wchar_t* resourceText = nullptr;
    const int length = ResourceString(instance, id, resourceText);
    if (length <= 0)
        return false;
    text.assign(resourceText, static_cast<size_t>(length));
    return true;
}

bool IsVariantVector(SAFEARRAY* array) {
    VARTYPE elementType = VT_EMPTY;
    if (!array || ::SafeArrayGetDim(array) != 1 || FAILED(::SafeArrayGetVartype(array, &elementType)) ||
        elementType != VT_VARIANT || array->cbElements != sizeof(VARIANT))
        return false;
    LONG lower = 0, upper = -1;
    ::SafeArrayGetLBound(array, 1, &lower);
    ::SafeArrayGetUBound(array, 1, &upper);
    return array->pvData || upper < lower;
}

LPOLESTR LoadTaskString(HINSTANCE instance, UINT id) {
    const wchar_t* resourceText = nullptr;
    const int length = ResourceString(instance, id, resourceText);
    if (length <= 0)
        return nullptr;
    auto* copy = static_cast<LPOLESTR>(::CoTaskMemAlloc((static_cast<size_t>(length) + 1) * sizeof(wchar_t)));
    if (copy) {
        std::memcpy(copy, resourceText, static_cast<size_t>(length) * sizeof(wchar_t));
        copy[length] = L'\0';
    }
    return copy;
}

}  // namespace tavrel::frame
