// Exchange of control values with page members in one call.
#pragma once

#include <windows.h>

namespace tavrel::frame {

enum class ExchangeDirection { Load, Save };

template <class T>
class CWinDataExchange {
public:
    // Radio group exchange. The group starts at firstButtonId and runs through the
    // following siblings in template order up to the next control that starts a new
    // group; only controls that answer as radio buttons are counted.
    // Load checks the button whose index equals value and unchecks the others;
    // Save sets value to the index of the checked button, or -1 when none is.
    void DDX_Radio(ExchangeDirection direction, int firstButtonId, int& value) {
        HWND control = ::GetDlgItem(static_cast<T*>(this)->m_hWnd, firstButtonId);
        if (!control)
            return;
        if (direction == ExchangeDirection::Save)
            value = -1;
        int index = 0;
        do {
            if (::SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
                if (direction == ExchangeDirection::Load) {
                    ::SendMessageW(control, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
                } else if (::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED) {
                    value = index;
                }
                ++index;
            }
            control = ::GetWindow(control, GW_HWNDNEXT);
        } while (control && !(::GetWindowLongW(control, GWL_STYLE) & WS_GROUP));
    }
};

}  // namespace tavrel::frame
