#include "NumericControls.h"

#include <cmath>
#include <cstdlib>
#include <cwchar>
#include <new>

namespace tavrel {
namespace {

// Room for any finite double in "%.<6 or fewer>f" (DBL_MAX has 309 digits).
constexpr size_t kNumberTextSize = 512;

// Formats one double into a fixed buffer (no allocation, so usable anywhere).
// Note: with MinGW's C++ headers swprintf is MinGW's own C99 printf.
void FormatInto(wchar_t (&buffer)[kNumberTextSize], const wchar_t* format, double value) {
    if (std::swprintf(buffer, kNumberTextSize, format, value) < 0)
        buffer[0] = L'\0';
}

// "%.<decimals>f" built with "%%.%df"; "%.0f" for decimals <= 0.
void BuildFixedFormat(wchar_t (&format)[16], int decimals) {
    if (decimals > 0)
        std::swprintf(format, 16, L"%%.%df", decimals);
    else
        std::wcscpy(format, L"%.0f");
}

bool IsBlank(wchar_t character) { return character == L' ' || character == L'\t'; }

}  // namespace

// ---- CSpinButtonDoubleCtrl

void CSpinButtonDoubleCtrl::SetDoubleRange(int decimals, double min, double max) {
    if (decimals > kMaxDecimals)
        decimals = kMaxDecimals;
    else if (decimals < kMinDecimals)
        decimals = kMinDecimals;
    m_nDecimals = decimals;
    m_dMin = min;
    m_dMax = max;

    // One entry per decade the step can grow by: after i*3 s held the increment
    // (the notification's delta) is i + 1, and each increment is ten times the step.
    constexpr int kMaxAccelEntries = kMaxDecimals + 6;
    UDACCEL accel[kMaxAccelEntries] = {};
    const int count = m_nDecimals + 6;
    for (int i = 0; i < count; ++i) {
        accel[i].nSec = static_cast<UINT>(i * 3);
        accel[i].nInc = static_cast<UINT>(i + 1);
    }
    SetAccel(count, accel);

    // The position is never the value; the wide range only keeps the arrows going.
    SetRange(-32767, 32767);

    if (m_dMin > m_dValue)
        m_dValue = m_dMin;
    else if (m_dValue > m_dMax)
        m_dValue = m_dMax;
    m_bRangeSet = 1;
}

LRESULT CSpinButtonDoubleCtrl::OnDeltaPos(int /*controlId*/, NMHDR* header, BOOL& handled) {
    handled = TRUE;
    HWND buddy = GetBuddy();
    if (!header || !::IsWindow(buddy))
        return 0;
    if (!m_bRangeSet) {
        ::SetWindowTextW(buddy, kNoRangeText);
        return 0;
    }

    // What the user typed is the starting point, not m_dValue.
    double value = 0.0;
    try {
        value = ParseLeadingDouble(frame::CWindow(buddy).GetWindowText().c_str());
    } catch (const std::bad_alloc&) {
        return 0;
    }

    // The delta is the acceleration table's increment: 1 at first, one more for
    // every three seconds held. Each one makes the step ten times larger.
    const int delta = static_cast<short>(reinterpret_cast<const NMUPDOWN*>(header)->iDelta);
    const bool up = delta >= 0;
    const int k = up ? delta : -delta;
    const int exponent = m_nDecimals - k + 1;
    const double step = std::pow(10.0, -exponent);

    // The larger the step, the fewer decimals shown.
    wchar_t format[16];
    BuildFixedFormat(format, exponent);

    // Steps of 10 and more start from a multiple of the step, rounded the way "%.0f"
    // rounds (MinGW: halves to even).
    if (exponent < 0) {
        wchar_t quotient[kNumberTextSize];
        FormatInto(quotient, L"%.0f", value / step);
        value = ParseLeadingDouble(quotient) * step;
    }

    if (up) {
        value += step;
        if (value > m_dMax)
            value = m_dMax;
    } else {
        value -= step;
        if (value < m_dMin)
            value = m_dMin;
    }

    m_dValue = value;
    wchar_t text[kNumberTextSize];
    FormatInto(text, format, value);
    ::SetWindowTextW(buddy, text);
    return 0;
}

// ---- Value ladders

int NearestLadderIndex(double value, const double* ladder, int lastIndex) {
    if (lastIndex < 1 || !ladder)
        return 0;
    int i = 0;
    while (i < lastIndex && value > ladder[i])
        ++i;
    if (i == 0)
        return 0;
    return ladder[i] - value > value - ladder[i - 1] ? i - 1 : i;
}

int NearestLadderIndex(double value, const ValueLadder& ladder) {
    return NearestLadderIndex(value, ladder.values, ladder.lastIndex);
}

int NearestDepthLadderIndex(double value) { return NearestLadderIndex(value, kDepthLadder); }

double LadderValueAt(const ValueLadder& ladder, int position) {
    if (position < 0 || ladder.lastIndex < 0)
        position = 0;
    else if (position > ladder.lastIndex)
        position = ladder.lastIndex;
    return ladder.values[position];
}

void SetUpLadderTrackBar(frame::CTrackBarCtrl trackBar, const ValueLadder& ladder) {
    trackBar.SetRange(0, ladder.lastIndex);
}

double LadderTrackBarValue(const frame::CTrackBarCtrl& trackBar, const ValueLadder& ladder) {
    return LadderValueAt(ladder, trackBar.GetPos());
}

void SetLadderTrackBarValue(frame::CTrackBarCtrl trackBar, const ValueLadder& ladder, double value) {
    trackBar.SetPos(NearestLadderIndex(value, ladder));
}

void SetLadderEndLabels(HWND dialog, int firstLabelId, int lastLabelId, const ValueLadder& ladder) {
    wchar_t text[kNumberTextSize];
    FormatInto(text, L"%.0f", LadderValueAt(ladder, 0));
    ::SetDlgItemTextW(dialog, firstLabelId, text);
    FormatInto(text, L"%.0f", LadderValueAt(ladder, ladder.lastIndex));
    ::SetDlgItemTextW(dialog, lastLabelId, text);
}

// ---- Value texts

std::wstring FormatWholeNumber(double value) { return FormatFixed(value, 0); }

std::wstring FormatFixed(double value, int decimals) {
    wchar_t format[16];
    BuildFixedFormat(format, decimals);
    wchar_t text[kNumberTextSize];
    FormatInto(text, format, value);
    return text;
}

std::wstring FormatOneDecimal(double value) { return FormatFixed(value, 1); }

std::wstring FormatCount(long value) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%ld", value);
    return text;
}

std::wstring FormatSignificant(double value) {
    wchar_t text[kNumberTextSize];
    if (std::swprintf(text, kNumberTextSize, L"%.*g", kExchangePrecision, value) < 0)
        text[0] = L'\0';
    return text;
}

double ParseLeadingDouble(const wchar_t* text) {
    if (!text)
        return 0.0;
    return std::wcstod(text, nullptr);
}

bool ParseStrictDouble(const wchar_t* text, double& value) {
    if (!text)
        return false;
    while (IsBlank(*text))
        ++text;
    const wchar_t first = *text;
    wchar_t* end = nullptr;
    const double parsed = std::wcstod(text, &end);
    // wcstod gives 0 both for "0" and for no number at all.
    if (parsed == 0.0 && first != L'0')
        return false;
    while (IsBlank(*end))
        ++end;
    if (*end != L'\0')
        return false;
    // The C99 wcstod also reads "inf" and "nan", which are no values for a field.
    if (!std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

double ReadEditDouble(HWND edit) {
    try {
        return ParseLeadingDouble(frame::CWindow(edit).GetWindowText().c_str());
    } catch (const std::bad_alloc&) {
        return 0.0;
    }
}

double ReadEditDouble(HWND dialog, int editId) { return ReadEditDouble(::GetDlgItem(dialog, editId)); }

double ReadEditDoubleWtof(HWND dialog, int editId) {
    try {
        return ::_wtof(frame::CWindow(::GetDlgItem(dialog, editId)).GetWindowText().c_str());
    } catch (const std::bad_alloc&) {
        return 0.0;
    }
}

long ReadEditLong(HWND dialog, int editId) {
    try {
        return ::_wtol(frame::CWindow(::GetDlgItem(dialog, editId)).GetWindowText().c_str());
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

bool IsEditEmpty(HWND dialog, int editId) { return ::GetWindowTextLengthW(::GetDlgItem(dialog, editId)) == 0; }

}  // namespace tavrel
