// Exchange of control values with page members in one call.
#pragma once

#include "DecimalText.h"
#include "NumericControls.h"

#include <windows.h>
#include <initializer_list>

namespace tavrel::frame {

enum class ExchangeDirection { Load, Save };

// One floating-point field of a validated exchange: the edit, the member it
// exchanges with, and the limits a saved value must lie within.
struct FloatField {
    int controlId;
    double* value;
    double minimum;
    double maximum;
};

template <class T>
class CWinDataExchange {
public:
    // ---- Validated floating-point fields
    //
    // Load writes the value as "%.*g" with 15 significant digits. Save reads the text
    // with the strict parse (ParseStrictDouble) and stores the number; with limits, a
    // number outside them is stored and then fails. A failure beeps, puts the focus on
    // the field and returns false, so an exchange written as
    //     return DDX_Float(d, IDC_A, m_a, 0, 10) && DDX_Float(d, IDC_B, m_b, 1, 5);
    // stops at the first failing field and later fields keep their values. No message
    // box is shown.
    bool DDX_Float(ExchangeDirection direction, int controlId, double& value) {
        if (direction == ExchangeDirection::Load)
            return LoadFloat(controlId, value);
        return SaveFloat(controlId, value);
    }

    bool DDX_Float(ExchangeDirection direction, int controlId, double& value, double minimum, double maximum) {
        if (direction == ExchangeDirection::Load)
            return LoadFloat(controlId, value);
        return SaveFloat(controlId, value) && DDV_MinMax(controlId, value, minimum, maximum);
    }

    // The range check of a saved field; the failure response when value lies outside.
    bool DDV_MinMax(int controlId, double value, double minimum, double maximum) {
        if (value < minimum || value > maximum) {
            OnExchangeError(controlId);
            return false;
        }
        return true;
    }

    // Exchanges the fields in order, or only the field of onlyControlId when that is
    // not 0; saving validates each against its limits. Stops at the first failure.
    bool DDX_FloatFields(ExchangeDirection direction, std::initializer_list<FloatField> fields,
                         int onlyControlId = 0) {
        for (const FloatField& field : fields) {
            if (onlyControlId != 0 && field.controlId != onlyControlId)
                continue;
            if (!DDX_Float(direction, field.controlId, *field.value, field.minimum, field.maximum))
                return false;
        }
        return true;
    }

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

private:
    // A field holds at most 32 characters for the exchange: a longer text is read as
    // its first 32 (the buffers have room for the terminating NUL besides).
    static constexpr int kFloatTextLength = 32;

    HWND Dialog() const { return static_cast<const T*>(this)->m_hWnd; }

    bool LoadFloat(int controlId, double value) {
        wchar_t text[kNumberTextSize];  // "%.*g" with 15 digits needs 22 at most
        WriteGeneralText(value, kExchangePrecision, text);
        if (!::SetDlgItemTextW(Dialog(), controlId, text)) {
            OnExchangeError(controlId);
            return false;
        }
        return true;
    }

    // A number is stored even if a range check follows and fails.
    bool SaveFloat(int controlId, double& value) {
        wchar_t text[kFloatTextLength + 1] = {};
        ::GetDlgItemTextW(Dialog(), controlId, text, kFloatTextLength + 1);
        if (!ParseStrictDouble(text, value)) {
            OnExchangeError(controlId);
            return false;
        }
        return true;
    }

    // The default system beep and the focus on the offending field. WM_NEXTDLGCTL
    // rather than SetFocus: the dialog manager also selects an edit's text and keeps
    // the default button right.
    void OnExchangeError(int controlId) {
        ::MessageBeep(static_cast<UINT>(-1));
        HWND control = ::GetDlgItem(Dialog(), controlId);
        if (control)
            ::SendMessageW(Dialog(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    }
};

}  // namespace tavrel::frame
