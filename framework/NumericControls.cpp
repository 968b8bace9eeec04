#include "NumericControls.h"

#include "DecimalText.h"

#include <climits>
#include <cmath>
#include <cwctype>

namespace tavrel {
namespace {

bool IsBlank(wchar_t character) { return character == L' ' || character == L'\t'; }
bool IsDigit(wchar_t character) { return character >= L'0' && character <= L'9'; }

// Reads the finite decimal number at the start of text: [sign] digits [. digits]
// [e [sign] digits], with at least one digit before the exponent. Returns its
// length, or 0 when text does not start with one or it overflows a double. Only this
// part of the text is converted (as wcstod converts it), so hexadecimal numbers,
// "inf", "nan" and a 'd' exponent are never read as numbers.
size_t ReadDecimalNumber(const wchar_t* text, double& value) {
    size_t length = (text[0] == L'+' || text[0] == L'-') ? 1 : 0;
    size_t digits = 0;
    for (; IsDigit(text[length]); ++length)
        ++digits;
    if (text[length] == L'.') {
        for (++length; IsDigit(text[length]); ++length)
            ++digits;
    }
    if (digits == 0)
        return 0;
    if (text[length] == L'e' || text[length] == L'E') {
        size_t exponent = length + 1;
        if (text[exponent] == L'+' || text[exponent] == L'-')
            ++exponent;
        if (IsDigit(text[exponent])) {
            while (IsDigit(text[exponent]))
                ++exponent;
            length = exponent;
        }
    }
    const double parsed = ReadDecimalText(text, length);
    if (!std::isfinite(parsed))
        return 0;
    value = parsed;
    return length;
}

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
    double value = ReadEditDouble(buddy);

    // The delta is the acceleration table's increment: 1 at first, one more for
    // every three seconds held. Each one makes the step ten times larger.
    const int delta = static_cast<short>(reinterpret_cast<const NMUPDOWN*>(header)->iDelta);
    const bool up = delta >= 0;
    const int k = up ? delta : -delta;
    const int exponent = m_nDecimals - k + 1;
    const double step = std::pow(10.0, -exponent);

    // Steps of 10 and more start from a multiple of the step, rounded the way "%.0f"
    // rounds (halves to even).
    if (exponent < 0) {
        wchar_t quotient[kNumberTextSize];
        WriteFixedText(value / step, 0, quotient);
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

    // The larger the step, the fewer decimals shown: "%.<exponent>f", "%.0f" from 0 down.
    m_dValue = value;
    wchar_t text[kNumberTextSize];
    WriteFixedText(value, exponent, text);
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
    WriteFixedText(LadderValueAt(ladder, 0), 0, text);
    ::SetDlgItemTextW(dialog, firstLabelId, text);
    WriteFixedText(LadderValueAt(ladder, ladder.lastIndex), 0, text);
    ::SetDlgItemTextW(dialog, lastLabelId, text);
}

// ---- Value texts

std::wstring FormatWholeNumber(double value) { return FormatFixed(value, 0); }

std::wstring FormatFixed(double value, int decimals) {
    wchar_t text[kNumberTextSize];
    WriteFixedText(value, decimals, text);
    return text;
}

std::wstring FormatOneDecimal(double value) { return FormatFixed(value, 1); }

std::wstring FormatCount(long value) {
    unsigned long magnitude = value < 0 ? 0ul - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    wchar_t text[16];
    wchar_t* first = text + 16;
    do {
        *--first = static_cast<wchar_t>(L'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        *--first = L'-';
    return std::wstring(first, text + 16);
}

std::wstring FormatSignificant(double value) {
    wchar_t text[kNumberTextSize];
    WriteGeneralText(value, kExchangePrecision, text);
    return text;
}

double ParseLeadingDouble(const wchar_t* text) {
    if (!text)
        return 0.0;
    while (std::iswspace(*text))
        ++text;
    double value = 0.0;
    return ReadDecimalNumber(text, value) ? value : 0.0;
}

bool ParseStrictDouble(const wchar_t* text, double& value) {
    if (!text)
        return false;
    while (IsBlank(*text))
        ++text;
    double parsed = 0.0;
    const size_t length = ReadDecimalNumber(text, parsed);
    // A number that reads as 0 counts only when it is written starting with '0'.
    if (length == 0 || (parsed == 0.0 && *text != L'0'))
        return false;
    for (const wchar_t* rest = text + length; *rest; ++rest) {
        if (!IsBlank(*rest))
            return false;
    }
    value = parsed;
    return true;
}

double ReadEditDouble(HWND edit) { return ParseLeadingDouble(frame::CWindow(edit).GetWindowText().c_str()); }

double ReadEditDouble(HWND dialog, int editId) { return ReadEditDouble(::GetDlgItem(dialog, editId)); }

long CutTowardZero(double value) {
    if (value >= static_cast<double>(LONG_MAX))
        return LONG_MAX;
    if (value <= static_cast<double>(LONG_MIN))
        return LONG_MIN;
    return static_cast<long>(value);
}

long ReadEditLong(HWND dialog, int editId) { return CutTowardZero(ReadEditDouble(dialog, editId)); }

bool IsEditEmpty(HWND dialog, int editId) { return ::GetWindowTextLengthW(::GetDlgItem(dialog, editId)) == 0; }

}  // namespace tavrel
