// Thin window-handle wrappers: one method per message, no state beyond the handle.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <string>

namespace tavrel::frame {

class CWindow {
public:
    HWND m_hWnd = nullptr;

    CWindow() = default;
    explicit CWindow(HWND hWnd) : m_hWnd(hWnd) {}
    void Attach(HWND hWnd) { m_hWnd = hWnd; }
    operator HWND() const { return m_hWnd; }

// Attributes
    std::wstring GetWindowText() const {
        int length = ::GetWindowTextLengthW(m_hWnd);
        if (length <= 0)
            return std::wstring();
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        int copied = ::GetWindowTextW(m_hWnd, &text[0], length + 1);
        text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
        return text;
    }

// Operations
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
};

// Up-down (spin) control.
template <class TBase>
class CUpDownCtrlT : public TBase {
public:
    CUpDownCtrlT() = default;
    explicit CUpDownCtrlT(HWND hWnd) : TBase(hWnd) {}

// Attributes
    HWND GetBuddy() const { return reinterpret_cast<HWND>(this->SendMessage(UDM_GETBUDDY)); }
    BOOL SetAccel(int count, const UDACCEL* accel) {
        return static_cast<BOOL>(this->SendMessage(UDM_SETACCEL, static_cast<WPARAM>(count),
                                                   reinterpret_cast<LPARAM>(accel)));
    }
    // Note the argument order of UDM_SETRANGE: upper limit in the low word.
    void SetRange(int lower, int upper) {
        this->SendMessage(UDM_SETRANGE, 0, MAKELPARAM(static_cast<WORD>(upper), static_cast<WORD>(lower)));
    }
};
using CUpDownCtrl = CUpDownCtrlT<CWindow>;

// Trackbar (slider) control.
template <class TBase>
class CTrackBarCtrlT : public TBase {
public:
    CTrackBarCtrlT() = default;
    explicit CTrackBarCtrlT(HWND hWnd) : TBase(hWnd) {}

// Attributes
    int GetPos() const { return static_cast<int>(this->SendMessage(TBM_GETPOS)); }
    // TBM_SETPOS clamps to the range and sends no scroll message.
    void SetPos(int position) { this->SendMessage(TBM_SETPOS, TRUE, position); }
    void SetRange(int minimum, int maximum) { this->SendMessage(TBM_SETRANGE, TRUE, MAKELPARAM(minimum, maximum)); }
    // A tick every frequency positions; only on a trackbar with TBS_AUTOTICKS.
    void SetTicFreq(int frequency) { this->SendMessage(TBM_SETTICFREQ, static_cast<WPARAM>(frequency)); }
};
using CTrackBarCtrl = CTrackBarCtrlT<CWindow>;

// Combo box.
template <class TBase>
class CComboBoxT : public TBase {
public:
    CComboBoxT() = default;
    explicit CComboBoxT(HWND hWnd) : TBase(hWnd) {}

// Attributes
    // The selected entry's index, CB_ERR (-1) when none is.
    int GetCurSel() const { return static_cast<int>(this->SendMessage(CB_GETCURSEL)); }

// Operations
    // A sorted box (CBS_SORT) puts the entry in its place; returns its index.
    int AddString(const wchar_t* text) {
        return static_cast<int>(this->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    }
};
using CComboBox = CComboBoxT<CWindow>;

}  // namespace tavrel::frame
