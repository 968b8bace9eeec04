// Numeric value controls: the double-stepping up-down on a real up-down in a real
// dialog, value ladders with their trackbar and labels, value texts, and the
// validated floating-point field exchange.
#include "DataExchange.h"
#include "DialogDriver.h"
#include "InMemoryDialog.h"
#include "NumericControls.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using namespace tavrel;
using namespace tavrel::test;
using tavrel::frame::ExchangeDirection;

namespace {

enum : int {
    IDC_VALUE = 100,
    IDC_VALUE_SPIN,
    IDC_LONE_SPIN,
    IDC_OTHER,
    IDC_DEPTH_SLIDER,
    IDC_TOP_LABEL,
    IDC_BOTTOM_LABEL,
    IDC_FIELD_A = 200,
    IDC_FIELD_B,
    IDC_FIELD_C,
};

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// A page-like dialog: edit + up-down (+ a lone up-down), a ladder trackbar and three
// value fields exchanged in order A, B, C, as a page does it.
struct SpinDialog : frame::CWindow, frame::CWinDataExchange<SpinDialog> {
    CSpinButtonDoubleCtrl valueSpin;
    CSpinButtonDoubleCtrl loneSpin;
    // What the dialog saw, in order: the step notification, the buddy's new text,
    // the scroll message with the value the page would read at that moment.
    std::vector<std::string> events;
    double a = 1;
    double b = 2;
    double c = 3;

    std::vector<std::string> TakeEvents() {
        std::vector<std::string> taken;
        taken.swap(events);
        return taken;
    }
    bool Exchange(ExchangeDirection direction, int onlyControlId = 0) {
        return DDX_FloatFields(direction,
                               {{IDC_FIELD_A, &a, 0, 10}, {IDC_FIELD_B, &b, 0, 100}, {IDC_FIELD_C, &c, -1e9, 1e9}},
                               onlyControlId);
    }
};

INT_PTR CALLBACK SpinDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<SpinDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        self = reinterpret_cast<SpinDialog*>(lParam);
        self->Attach(dialog);
        self->valueSpin.Attach(GetDlgItem(dialog, IDC_VALUE_SPIN));
        self->loneSpin.Attach(GetDlgItem(dialog, IDC_LONE_SPIN));
        return TRUE;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code != UDN_DELTAPOS) return FALSE;
        const int id = static_cast<int>(header->idFrom);
        self->events.push_back("UDN_DELTAPOS " + std::to_string(id) + " " +
                               std::to_string(reinterpret_cast<NMUPDOWN*>(lParam)->iDelta));
        CSpinButtonDoubleCtrl& spin = id == IDC_LONE_SPIN ? self->loneSpin : self->valueSpin;
        BOOL handled = FALSE;
        const LRESULT result = spin.OnDeltaPos(id, header, handled);
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_VALUE && HIWORD(wParam) == EN_CHANGE)
            self->events.push_back("EN_CHANGE " + Narrow(GetText(dialog, IDC_VALUE)));
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    case WM_VSCROLL: {
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        if (LOWORD(wParam) == SB_THUMBPOSITION) {
            const CSpinButtonDoubleCtrl& spin = id == IDC_LONE_SPIN ? self->loneSpin : self->valueSpin;
            self->events.push_back("SB_THUMBPOSITION " + std::to_string(id) + " value " +
                                   Narrow(FormatFixed(spin.m_dValue, 6)));
        }
        return TRUE;
    }
    }
    return FALSE;
}

// Runs the dialog and the body inside its modal loop; the body must close it.
void RunSpinDialog(SpinDialog& state, const std::function<void(HWND)>& body) {
    DialogTemplate layout(L"Numeric controls", 220, 160);
    layout.Add(L"EDIT", L"", IDC_VALUE, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 10, 10, 60, 14);
    layout.Add(UPDOWN_CLASSW, L"", IDC_VALUE_SPIN, UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_ALIGNRIGHT | UDS_NOTHOUSANDS,
               0, 0, 0, 0);
    layout.Add(UPDOWN_CLASSW, L"", IDC_LONE_SPIN, UDS_ARROWKEYS | UDS_NOTHOUSANDS, 80, 10, 10, 14);
    layout.Add(L"EDIT", L"untouched", IDC_OTHER, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 10, 30, 60, 14);
    layout.Add(L"STATIC", L"12345 ", IDC_TOP_LABEL, SS_LEFT, 130, 10, 30, 8);
    layout.Add(TRACKBAR_CLASSW, L"", IDC_DEPTH_SLIDER, TBS_VERT | TBS_BOTH | TBS_AUTOTICKS | WS_TABSTOP, 130, 20, 20,
               100);
    layout.Add(L"STATIC", L"12345 ", IDC_BOTTOM_LABEL, SS_LEFT, 130, 122, 30, 8);
    for (int field : {IDC_FIELD_A, IDC_FIELD_B, IDC_FIELD_C})
        layout.Add(L"EDIT", L"", field, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 10, 50 + 20 * (field - IDC_FIELD_A), 60, 14);
    layout.Add(L"BUTTON", L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 160, 140, 50, 14);
    const bool ran = RunDialog(
        [&] {
            DialogBoxIndirectParamW(GetModuleHandleW(nullptr), layout.Get(), nullptr, SpinDialogProc,
                                    reinterpret_cast<LPARAM>(&state));
        },
        body);
    EXPECT_TRUE(ran);
}

using Events = std::vector<std::string>;

// ---- CSpinButtonDoubleCtrl

TEST(SpinButtonDoubleCtrl, StepsSnapsAndStopsAtTheLimits) {
    struct Step {
        int decimals;
        double min, max;
        const wchar_t* typed;
        int delta;  // 1, 2, 3...: the n-th entry of the acceleration table (held longer)
        const wchar_t* shown;
        double value;
    };
    // Each row types its text, then steps once; what the user typed counts, not the
    // value of the last step. Steps of 10 and more snap first (438 + 10 is 440, 450).
    const Step steps[] = {
        {0, 1, 10000, L"438", 2, L"450", 450},
        {0, 1, 10000, L"450", 4, L"1000", 1000}, {0, 1, 10000, L"1000", -2, L"990", 990},
        {0, 1, 10000, L"437", -2, L"430", 430}, {0, 1, 10000, L"20", 1, L"21", 21},
        // Two decimals: 0.01 first, then 0.1 with one decimal, then 1 with none.
        {2, 0, 100, L"1.22", 1, L"1.23", 1.23}, {2, 0, 100, L"1.23", 2, L"1.3", 1.33},
        {2, 0, 100, L"1.3", 3, L"2", 2.3}, {2, 0, 100, L"2", -1, L"1.99", 1.99}, {2, 0, 100, L"57.3", 4, L"70", 70},
        // Above 6 decimals counts as 6; the last entry steps by 10^5 whatever the precision.
        {9, 0, 1e7, L"1", 1, L"1.000001", 1.000001}, {9, 0, 1e7, L"1234567.891", 12, L"1300000", 1300000},
        // Below -3 counts as -3: the smallest step is 1000.
        {-5, 0, 1e6, L"437", 1, L"1000", 1000}, {-5, 0, 1e6, L"1000", 3, L"100000", 100000},
        // Steps stop at the limits; up is capped only at the maximum, down only at the minimum.
        {0, 1, 10000, L"10000", 1, L"10000", 10000}, {0, 1, 10000, L"9999.6", 1, L"10000", 10000},
        {0, 1, 10000, L"1", -1, L"1", 1}, {0, 1, 10000, L"437", -4, L"1", 1},
        {0, 1, 10000, L"20000", -1, L"19999", 19999}, {0, 1, 10000, L"-5", 1, L"-4", -4},
        // No leading finite decimal number reads as 0, or as its decimal start: no step
        // can leave NaN or infinity in the field or the value.
        {0, 1, 10000, L"abc", 1, L"1", 1}, {0, 1, 10000, L"", 1, L"1", 1}, {0, 1, 10000, L"12m", 1, L"13", 13},
        {0, 1, 10000, L"nan", 1, L"1", 1}, {0, 1, 10000, L"inf", 1, L"1", 1}, {0, 1, 10000, L"-inf", 1, L"1", 1},
        {0, 1, 10000, L"1e999", 1, L"1", 1}, {0, 1, 10000, L"0x10", 1, L"1", 1}, {0, 1, 10000, L"1d3", 1, L"2", 2},
        // The value keeps its decimals; only the text is rounded.
        {0, 1, 10000, L"12.7", 1, L"14", 13.7},
    };
    SpinDialog state;
    RunSpinDialog(state, [&](HWND dialog) {
        // One click: one unit up. The text is in place before the scroll message,
        // which the control still sends because the handler answered 0.
        state.valueSpin.SetDoubleRange(0, 1, 10000);
        TypeText(dialog, IDC_VALUE, L"437");
        state.TakeEvents();
        StepUpDown(dialog, IDC_VALUE_SPIN, 1);
        EXPECT_EQ((Events{"UDN_DELTAPOS 101 1", "EN_CHANGE 438", "SB_THUMBPOSITION 101 value 438.000000"}),
                  state.TakeEvents());
        for (const Step& step : steps) {
            SCOPED_TRACE(Narrow(step.typed) + " step " + std::to_string(step.delta) + " with " +
                         std::to_string(step.decimals) + " decimals");
            state.valueSpin.SetDoubleRange(step.decimals, step.min, step.max);
            TypeText(dialog, IDC_VALUE, step.typed);
            StepUpDown(dialog, IDC_VALUE_SPIN, step.delta);
            EXPECT_EQ(step.shown, GetText(dialog, IDC_VALUE));
            EXPECT_NEAR(step.value, state.valueSpin.m_dValue, 1e-9);
        }

        // The acceleration table has decimals + 6 entries: {0 s, 1}, {3 s, 2}, ..., at
        // most 12 (6 decimals), at least 3 (-3); the up-down's own range is all of it.
        state.valueSpin.SetDoubleRange(2, 0, 100);
        EXPECT_EQ(8, UpDownAccelCount(dialog, IDC_VALUE_SPIN));
        EXPECT_EQ((std::pair<int, int>{-32767, 32767}), UpDownRange(dialog, IDC_VALUE_SPIN));
        state.valueSpin.SetDoubleRange(-5, 0, 1e6);
        EXPECT_EQ(3, UpDownAccelCount(dialog, IDC_VALUE_SPIN));
        state.valueSpin.SetDoubleRange(9, 0, 1e7);
        const std::vector<UDACCEL> accel = UpDownAccel(dialog, IDC_VALUE_SPIN);
        ASSERT_EQ(12u, accel.size());
        for (size_t i = 0; i < accel.size(); ++i) {
            EXPECT_EQ(i * 3, accel[i].nSec) << "entry " << i;
            EXPECT_EQ(i + 1, accel[i].nInc) << "entry " << i;
        }

        // New limits pull the held value inside.
        state.valueSpin.SetDoubleRange(0, 1, 5);
        EXPECT_EQ(5.0, state.valueSpin.m_dValue);
        state.valueSpin.SetDoubleRange(0, 20, 30);
        EXPECT_EQ(20.0, state.valueSpin.m_dValue);
        Click(dialog, IDOK);
    });
}

TEST(SpinButtonDoubleCtrl, WithoutLimitsOrBuddyAPressChangesNoValue) {
    SpinDialog state;
    RunSpinDialog(state, [&](HWND dialog) {
        // No limits yet: "????", and the control still reports the step.
        TypeText(dialog, IDC_VALUE, L"437");
        state.TakeEvents();
        StepUpDown(dialog, IDC_VALUE_SPIN, 1);
        EXPECT_EQ((Events{"UDN_DELTAPOS 101 1", "EN_CHANGE ????", "SB_THUMBPOSITION 101 value 0.000000"}),
                  state.TakeEvents());

        // An up-down without a buddy: nothing is written anywhere.
        state.loneSpin.SetDoubleRange(0, 1, 100);
        TypeText(dialog, IDC_VALUE, L"437");
        state.TakeEvents();
        StepUpDown(dialog, IDC_LONE_SPIN, 1);
        EXPECT_EQ((Events{"UDN_DELTAPOS 102 1", "SB_THUMBPOSITION 102 value 1.000000"}), state.TakeEvents());
        EXPECT_EQ(L"437", GetText(dialog, IDC_VALUE));
        EXPECT_EQ(L"untouched", GetText(dialog, IDC_OTHER));
        Click(dialog, IDOK);
    });
}

// ---- Value ladders

TEST(ValueLadder, NearestEntryGoesToTheHigherEntryWhenHalfWay) {
    const double ladder[] = {1, 2, 5, 10};
    // value, last index (only entries up to it count), nearest index.
    for (const auto& [value, last, index] : {std::tuple{3.5, 3, 2}, {3.4, 3, 1}, {0.0, 3, 0}, {50.0, 3, 3}, {7.5, 3, 3},
                                             {7.4, 3, 2}, {50.0, 1, 1}, {50.0, 0, 0}})
        EXPECT_EQ(index, NearestLadderIndex(value, ladder, last)) << value << " up to " << last;
    EXPECT_EQ(0, NearestLadderIndex(50, nullptr, 3));
    for (const auto& [value, index] : {std::pair{-5.0, 0}, {8000.0, 20}, {8749.9, 20}, {8750.0, 21}, {1e9, 21}})
        EXPECT_EQ(index, NearestDepthLadderIndex(value)) << value;
    for (int i = 0; i <= kDepthLadder.lastIndex; ++i)
        EXPECT_EQ(i, NearestDepthLadderIndex(kDepthLadderValues[i])) << "entry " << i;
}

TEST(ValueLadder, TrackBarPositionsAndEndLabelsFollowTheLadder) {
    SpinDialog state;
    RunSpinDialog(state, [&](HWND dialog) {
        frame::CTrackBarCtrl slider(GetDlgItem(dialog, IDC_DEPTH_SLIDER));
        SetUpLadderTrackBar(slider, kDepthLadder);
        SetLadderEndLabels(dialog, IDC_TOP_LABEL, IDC_BOTTOM_LABEL, kDepthLadder);
        EXPECT_EQ((std::pair<int, int>{0, 21}), SliderRange(dialog, IDC_DEPTH_SLIDER));
        EXPECT_EQ(L"0", GetText(dialog, IDC_TOP_LABEL));
        EXPECT_EQ(L"10000", GetText(dialog, IDC_BOTTOM_LABEL));

        SetLadderTrackBarValue(slider, kDepthLadder, 8000);
        EXPECT_EQ(20, SliderPosition(dialog, IDC_DEPTH_SLIDER));
        DragSlider(dialog, IDC_DEPTH_SLIDER, 5);
        EXPECT_EQ(25.0, LadderTrackBarValue(slider, kDepthLadder));
        KeySlider(dialog, IDC_DEPTH_SLIDER, VK_DOWN);
        EXPECT_EQ(50.0, LadderTrackBarValue(slider, kDepthLadder));

        // A page's own ladder replaces the depth ladder; labels are whole numbers.
        static const double kLevels[] = {0.4, 1, 2, 3.7};
        const ValueLadder levels{kLevels, 3};
        SetUpLadderTrackBar(slider, levels);
        SetLadderEndLabels(dialog, IDC_TOP_LABEL, IDC_BOTTOM_LABEL, levels);
        EXPECT_EQ((std::pair<int, int>{0, 3}), SliderRange(dialog, IDC_DEPTH_SLIDER));
        EXPECT_EQ(L"0", GetText(dialog, IDC_TOP_LABEL));
        EXPECT_EQ(L"4", GetText(dialog, IDC_BOTTOM_LABEL));
        // The thumb was clamped into the new range by the control.
        EXPECT_EQ(3.7, LadderTrackBarValue(slider, levels));
        Click(dialog, IDOK);
    });

    // Positions outside the ladder read as its ends.
    EXPECT_EQ(0.0, LadderValueAt(kDepthLadder, -1));
    EXPECT_EQ(10000.0, LadderValueAt(kDepthLadder, 99));
}

// ---- Value texts

TEST(ValueTexts, FormatsWriteTheTextsThePagesShow) {
    EXPECT_EQ(L"438", FormatWholeNumber(437.6));
    EXPECT_EQ(L"-12", FormatWholeNumber(-12.2));
    EXPECT_EQ(L"1.23", FormatFixed(1.2345, 2));
    EXPECT_EQ(L"5", FormatFixed(5.2, -1));
    EXPECT_EQ(L"12.3", FormatOneDecimal(12.34));
    EXPECT_EQ(L"-0.1", FormatOneDecimal(-0.06));
    EXPECT_EQ(L"-12", FormatCount(-12));
    EXPECT_EQ(L"0.1", FormatSignificant(0.1));
    EXPECT_EQ(L"0.333333333333333", FormatSignificant(1.0 / 3));
    EXPECT_EQ(L"1e+20", FormatSignificant(1e20));
    EXPECT_EQ(L"1.23456789012346e+17", FormatSignificant(123456789012345678.0));
}

TEST(ValueTexts, EditTextsReadAsTheirLeadingNumber) {
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, parent);
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 80, 20, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_OTHER)), nullptr, nullptr);
    ASSERT_NE(nullptr, edit);

    struct Case {
        const wchar_t* text;
        double number;
        long whole;
    };
    // One reading for every text: the C library's wcstod and _wtof differ on the
    // hexadecimal, infinite, NaN and 'd'-exponent texts, so those read as their
    // decimal start or as 0.
    const Case cases[] = {{L"12.5 m", 12.5, 12}, {L" -3.5", -3.5, -3}, {L"1e3", 1000, 1000}, {L"2e", 2, 2},
                          {L"abc", 0, 0},        {L"", 0, 0},           {L".5", 0.5, 0},       {L"-.5e1x", -5, -5},
                          {L"0x10", 0, 0},       {L"1d3", 1, 1},        {L"inf", 0, 0},        {L"-INF", 0, 0},
                          {L"nan", 0, 0},        {L"1e999", 0, 0},      {L"-", 0, 0},          {L"1e10", 1e10, LONG_MAX},
                          {L"-1e10", -1e10, LONG_MIN},
                          {L"2.5e-3", 0.0025, 0}, {L"1E+2x", 100, 100}};
    for (const Case& c : cases) {
        SetWindowTextW(edit, c.text);
        const std::string shown = Narrow(c.text);
        EXPECT_EQ(c.number, ReadEditDouble(parent, IDC_OTHER)) << shown;
        EXPECT_EQ(c.number, ReadEditDouble(edit)) << shown;
        EXPECT_EQ(c.number, ParseLeadingDouble(c.text)) << shown;
        EXPECT_EQ(c.whole, ReadEditLong(parent, IDC_OTHER)) << shown;
        EXPECT_EQ(*c.text == L'\0', IsEditEmpty(parent, IDC_OTHER)) << shown;
    }
    DestroyWindow(parent);
}

TEST(ValueTexts, StrictParseTakesOnlyANumberBetweenBlanks) {
    for (const auto& [text, expected] : {std::pair{L" 12.5 ", 12.5}, {L"\t12.5\t", 12.5}, {L"12.5", 12.5}, {L"0", 0.0},
                                         {L"0.0", 0.0}, {L"  0 ", 0.0}, {L"-3", -3.0}, {L"1e3", 1000.0}, {L".5", 0.5}}) {
        double value = -99;
        EXPECT_TRUE(ParseStrictDouble(text, value)) << Narrow(text);
        EXPECT_EQ(expected, value) << Narrow(text);
    }
    for (const wchar_t* text : {L"12.5x", L"", L"abc", L"   ", L"12 5", L"0abc", L"x12", L"nan", L"inf", L"0x10",
                                L"1d3", L"1e999", L"-0", L".0", L"\n5"}) {
        double value = -99;
        EXPECT_FALSE(ParseStrictDouble(text, value)) << Narrow(text);
        EXPECT_EQ(-99, value) << "a rejected text leaves the value: " << Narrow(text);
    }
}

// ---- Validated floating-point field exchange

void TypeFields(HWND dialog, const wchar_t* a, const wchar_t* b, const wchar_t* c) {
    TypeText(dialog, IDC_FIELD_A, a);
    TypeText(dialog, IDC_FIELD_B, b);
    TypeText(dialog, IDC_FIELD_C, c);
    SetFocus(GetDlgItem(dialog, IDOK));  // as when the user clicks OK
}

TEST(FloatExchange, LoadWritesFifteenDigitsSaveStopsAtTheFirstFailingFieldAndFocusesIt) {
    SpinDialog page;
    const auto values = [&] { return std::vector<double>{page.a, page.b, page.c}; };
    RunSpinDialog(page, [&](HWND dialog) {
        const auto texts = [dialog] {
            return std::vector<std::wstring>{GetText(dialog, IDC_FIELD_A), GetText(dialog, IDC_FIELD_B),
                                             GetText(dialog, IDC_FIELD_C)};
        };
        page.a = 0.1;
        page.b = 1.0 / 3;
        page.c = 1e20;
        EXPECT_TRUE(page.Exchange(ExchangeDirection::Load));
        EXPECT_EQ((std::vector<std::wstring>{L"0.1", L"0.333333333333333", L"1e+20"}), texts());
        // One field only; a field the dialog does not have fails.
        page.a = 7;
        page.b = 8;
        EXPECT_TRUE(page.Exchange(ExchangeDirection::Load, IDC_FIELD_B));
        EXPECT_EQ((std::vector<std::wstring>{L"0.1", L"8", L"1e+20"}), texts());
        EXPECT_FALSE(page.DDX_Float(ExchangeDirection::Load, 999, page.a));

        TypeFields(dialog, L" 2.5 ", L"50", L"-1e6");
        EXPECT_TRUE(page.Exchange(ExchangeDirection::Save));
        EXPECT_EQ((std::vector<double>{2.5, 50, -1e6}), values());
        EXPECT_EQ(IDOK, FocusedControlId(dialog));
        // Without limits any number passes; with them the same number fails.
        double unlimited = 0;
        TypeText(dialog, IDC_FIELD_A, L"1e12");
        SetFocus(GetDlgItem(dialog, IDOK));
        EXPECT_TRUE(page.DDX_Float(ExchangeDirection::Save, IDC_FIELD_A, unlimited));
        EXPECT_EQ(1e12, unlimited);
        EXPECT_FALSE(page.DDX_Float(ExchangeDirection::Save, IDC_FIELD_A, unlimited, 0, 1e9));
        EXPECT_EQ(IDC_FIELD_A, FocusedControlId(dialog));

        // Not a number in B: A is stored, B and C keep their values, focus on B with
        // its text selected for retyping.
        TypeFields(dialog, L"4", L"5x", L"9");
        EXPECT_FALSE(page.Exchange(ExchangeDirection::Save));
        EXPECT_EQ((std::vector<double>{4, 50, -1e6}), values());
        EXPECT_EQ(IDC_FIELD_B, FocusedControlId(dialog));
        EXPECT_EQ(MAKELRESULT(0, 2), SendDlgItemMessageW(dialog, IDC_FIELD_B, EM_GETSEL, 0, 0));

        // Out of range in B: the number is stored, then the exchange fails there.
        TypeFields(dialog, L"5", L"150", L"8");
        EXPECT_FALSE(page.Exchange(ExchangeDirection::Save));
        EXPECT_EQ((std::vector<double>{5, 150, -1e6}), values());
        EXPECT_EQ(IDC_FIELD_B, FocusedControlId(dialog));

        // An empty first field stops everything.
        TypeFields(dialog, L"", L"1", L"2");
        EXPECT_FALSE(page.Exchange(ExchangeDirection::Save));
        EXPECT_EQ((std::vector<double>{5, 150, -1e6}), values());
        EXPECT_EQ(IDC_FIELD_A, FocusedControlId(dialog));

        // A field is read up to 32 characters: the 32nd counts, a 33rd is cut off.
        TypeFields(dialog, L"0.000000000000000000000000000001", L"10.000000000000000000000000000001", L"7");
        EXPECT_TRUE(page.Exchange(ExchangeDirection::Save));
        EXPECT_EQ((std::vector<double>{1e-30, 10, 7}), values());

        // One field only: the others are not read.
        TypeFields(dialog, L"bad", L"bad", L"12");
        EXPECT_TRUE(page.Exchange(ExchangeDirection::Save, IDC_FIELD_C));
        EXPECT_EQ((std::vector<double>{1e-30, 10, 12}), values());
        EXPECT_EQ(IDOK, FocusedControlId(dialog));
        Click(dialog, IDOK);
    });
}

}  // namespace
