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
    HWND Detach() { HWND h = m_hWnd; m_hWnd = nullptr; return h; }
    operator HWND() const { return m_hWnd; }

// Attributes
    bool IsWindow() const { return ::IsWindow(m_hWnd) != FALSE; }
    bool IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }
    bool IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }

    std::wstring GetWindowText() const {
        int length = ::GetWindowTextLengthW(m_hWnd);
        if (length <= 0)
            return std::wstring();
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        int copied = ::GetWindowTextW(m_hWnd, &text[0], length + 1);
        text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
        return text;
    }
    BOOL SetWindowText(const wchar_t* text) { return ::SetWindowTextW(m_hWnd, text); }

// Operations
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    BOOL EnableWindow(bool enable) { return ::EnableWindow(m_hWnd, enable ? TRUE : FALSE); }
    BOOL MoveWindow(const RECT& rect, bool repaint = true) {
        return ::MoveWindow(m_hWnd, rect.left, rect.top, rect.right - rect.left,
                            rect.bottom - rect.top, repaint ? TRUE : FALSE);
    }
    BOOL DestroyWindow() {
        BOOL destroyed = ::DestroyWindow(m_hWnd);
        if (destroyed)
            m_hWnd = nullptr;
        return destroyed;
    }
    // Dialog-item helpers used by every page.
    BOOL SetDlgItemText(int id, const wchar_t* text) { return ::SetDlgItemTextW(m_hWnd, id, text); }
    std::wstring GetDlgItemText(int id) const { return CWindow(GetDlgItem(id)).GetWindowText(); }
    BOOL CheckDlgButton(int id, UINT check) { return ::CheckDlgButton(m_hWnd, id, check); }
    UINT IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id); }
    void EnableDlgItem(int id, bool enable) { ::EnableWindow(GetDlgItem(id), enable ? TRUE : FALSE); }
    void ShowDlgItem(int id, bool show) { ::ShowWindow(GetDlgItem(id), show ? SW_SHOW : SW_HIDE); }
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
    UINT GetAccel(int count, UDACCEL* accel) const {
        return static_cast<UINT>(this->SendMessage(UDM_GETACCEL, static_cast<WPARAM>(count),
                                                   reinterpret_cast<LPARAM>(accel)));
    }
    // Note the argument order of UDM_SETRANGE: upper limit in the low word.
    void SetRange(int lower, int upper) {
        this->SendMessage(UDM_SETRANGE, 0, MAKELPARAM(static_cast<WORD>(upper), static_cast<WORD>(lower)));
    }
    void GetRange32(int& lower, int& upper) const {
        this->SendMessage(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper));
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
    void SetRangeMin(int minimum) { this->SendMessage(TBM_SETRANGEMIN, TRUE, minimum); }
    void SetRangeMax(int maximum) { this->SendMessage(TBM_SETRANGEMAX, TRUE, maximum); }
    int GetRangeMin() const { return static_cast<int>(this->SendMessage(TBM_GETRANGEMIN)); }
    int GetRangeMax() const { return static_cast<int>(this->SendMessage(TBM_GETRANGEMAX)); }
    void SetTicFreq(int frequency) { this->SendMessage(TBM_SETTICFREQ, static_cast<WPARAM>(frequency)); }
};
using CTrackBarCtrl = CTrackBarCtrlT<CWindow>;

}  // namespace tavrel::frame
