// Numeric value controls shared by the pages: the up-down that steps a double in its
// buddy edit, value ladders behind the trackbars, and the texts values are written in
// and read back from.
#pragma once

#include "Window.h"

#include <windows.h>
#include <commctrl.h>
#include <string>

namespace tavrel {

// ---- Up-down control that steps a floating-point value in decimal decades

// The control's integer position is never the value: the buddy edit's text is. Each
// arrow step reads what the user typed, steps it by 10^-decimals (ten times more for
// every three seconds the arrow is held), rounds the text to the decimals the step
// leaves, and writes it back. The up-down must not have UDS_SETBUDDYINT.
class CSpinButtonDoubleCtrl : public frame::CUpDownCtrlT<frame::CWindow> {
public:
    static constexpr int kMinDecimals = -3;
    static constexpr int kMaxDecimals = 6;

    CSpinButtonDoubleCtrl() = default;
    virtual ~CSpinButtonDoubleCtrl() = default;

    // Sets precision (clamped to -3..6) and limits, sends the acceleration table
    // (decimals + 6 entries, entry i after i*3 s with increment i + 1), gives the
    // control the integer range -32767..32767 and pulls m_dValue inside the limits.
    void SetDoubleRange(int decimals, double min, double max);

    // UDN_DELTAPOS handler: one arrow step on the buddy's text. Always returns 0, so
    // the control goes on to send its scroll message (WM_VSCROLL / WM_HSCROLL with the
    // up-down's own handle), on which a page moves the paired trackbar to m_dValue.
    LRESULT OnDeltaPos(int controlId, NMHDR* header, BOOL& handled);

    // 0 until SetDoubleRange has run: an arrow press then only writes "????".
    int m_bRangeSet = 0;
    // Smallest step is 10^-m_nDecimals. This and the limits mean something only
    // after SetDoubleRange.
    int m_nDecimals = 0;
    double m_dMin = 0.0;
    double m_dMax = 0.0;
    // The value after the most recent step.
    double m_dValue = 0.0;
};

// ---- Value ladders: ascending values that a trackbar's positions 0..lastIndex stand for

struct ValueLadder {
    const double* values;
    int lastIndex;  // number of entries minus one
};

// The position of the entry nearest to value: half way between two entries goes to
// the higher one, below the first gives 0, above the last gives lastIndex. Never
// reads beyond values[lastIndex]; lastIndex < 1 gives 0.
int NearestLadderIndex(double value, const double* ladder, int lastIndex);
int NearestLadderIndex(double value, const ValueLadder& ladder);

// A ladder over all of an array.
template <size_t N>
constexpr ValueLadder LadderOf(const double (&values)[N]) {
    return ValueLadder{values, static_cast<int>(N) - 1};
}

// The fixed depth ladder in metres (22 entries, last index 21).
inline constexpr double kDepthLadderValues[] = {0,   1,   5,   10,  15,   25,   50,   75,   100,  150,  200,
                                                250, 300, 400, 500, 750, 1000, 1500, 2500, 5000, 7500, 10000};
inline constexpr ValueLadder kDepthLadder = LadderOf(kDepthLadderValues);
int NearestDepthLadderIndex(double value);

// The surface-referenced ladders of the two range pages, in metres.
inline constexpr double kSurfaceRangeValues[] = {1,   2,   5,   10,  15,   25,   50,   75,   100,  150,  200,
                                                 250, 300, 400, 500, 750, 1000, 1500, 2500, 5000, 7500, 10000};
inline constexpr double kSurfaceStartValues[] = {0,   2,   5,   7,    10,   15,   25,   50,   75,  100,
                                                 150, 250, 500, 750, 1000, 1500, 2500, 5000, 7500};
inline constexpr ValueLadder kSurfaceRangeLadder = LadderOf(kSurfaceRangeValues);
inline constexpr ValueLadder kSurfaceStartLadder = LadderOf(kSurfaceStartValues);

// The value a position stands for; positions outside 0..lastIndex are taken as the
// nearer end, so a trackbar with a wrong range cannot read outside the ladder.
double LadderValueAt(const ValueLadder& ladder, int position);

// Trackbar range 0..lastIndex, with redraw.
void SetUpLadderTrackBar(frame::CTrackBarCtrl trackBar, const ValueLadder& ladder);
// The value of the thumb's position (TBM_GETPOS).
double LadderTrackBarValue(const frame::CTrackBarCtrl& trackBar, const ValueLadder& ladder);
// Thumb to the entry nearest to value (TBM_SETPOS with redraw; sends no scroll message).
void SetLadderTrackBarValue(frame::CTrackBarCtrl trackBar, const ValueLadder& ladder, double value);
// The static labels at the trackbar's ends: first entry at position 0 (the top of a
// vertical trackbar), last entry at the other end, both as whole numbers.
void SetLadderEndLabels(HWND dialog, int firstLabelId, int lastLabelId, const ValueLadder& ladder);

// ---- Value texts

// What an arrow press writes into the buddy before the up-down has its limits.
inline constexpr wchar_t kNoRangeText[] = L"????";

// The texts of the C library's formats, written by DecimalText.h: the exact value
// rounded to the digits shown, halves to even.
// "%.0f": whole numbers in edits and ladder labels.
std::wstring FormatWholeNumber(double value);
// "%.<decimals>f" (the format "%%.%df" builds); decimals <= 0 gives "%.0f".
std::wstring FormatFixed(double value, int decimals);
// "%.1f" (the same text as "%.1lf": the l changes nothing for f).
std::wstring FormatOneDecimal(double value);
// "%ld": integer counts.
std::wstring FormatCount(long value);
// "%.*g" with 15 significant digits: the validated field exchange.
inline constexpr int kExchangePrecision = 15;
std::wstring FormatSignificant(double value);

// Every text a page reads is read this one way: the finite decimal number at its
// start, after white space ([sign] digits [. digits] [e [sign] digits]), converted as
// wcstod converts it (DecimalText.h); 0 when the text does not start with one. Hexadecimal numbers, "inf", "nan" and exponents
// written with 'd' are not numbers ("0x10" reads 0, "1d3" reads 1), and neither is
// a number too large for a double: no non-finite value can reach a host.
double ParseLeadingDouble(const wchar_t* text);

// The strict parse of the validated field exchange: blanks and tabs may surround the
// number and nothing else may follow it; a number that reads as 0 counts only when
// it is written starting with '0'. Returns false for anything else, leaving value
// as it was.
bool ParseStrictDouble(const wchar_t* text, double& value);

// A number cut toward zero to a whole number, limited to the range of long (the
// host takes some values as 32-bit integers).
long CutTowardZero(double value);

// An edit's whole text read as above; an empty edit reads as 0.
double ReadEditDouble(HWND edit);
double ReadEditDouble(HWND dialog, int editId);
// The same number as a whole number: cut toward zero, limited to the range of long.
long ReadEditLong(HWND dialog, int editId);
// Whether the edit holds no text (where an empty field means "no value").
bool IsEditEmpty(HWND dialog, int editId);

}  // namespace tavrel
