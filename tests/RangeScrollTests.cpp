// The range and scroll page, used as a person and a host would: the visual and scroll
// areas it shows, how the two range trackbars hold each other back, the Apply
// button's state, and the areas written so that the scroll area holds the visual one.
// What any failing host operation must not do is the fault sweep's to check.
#include "PageTest.h"
#include "resource.h"

#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace tavrel::test {
namespace {

constexpr int kVisualRange = IDC_RSC_VISUAL_RANGE_EDIT, kVisualStart = IDC_RSC_VISUAL_START_EDIT;
constexpr int kScrollRange = IDC_RSC_SCROLL_RANGE_EDIT, kScrollStart = IDC_RSC_SCROLL_START_EDIT;
constexpr int kVisualRangeSlider = IDC_RSC_VISUAL_RANGE_SLIDER, kScrollRangeSlider = IDC_RSC_SCROLL_RANGE_SLIDER;
const std::vector<int> kFields = {kVisualRange, kVisualStart, kScrollRange, kScrollStart};

std::wstring Visual(const std::wstring& range, const std::wstring& start) {
    return L"channel.IEchogramRange::SetDepthRange(" + range + L", " + start + L", 8)";
}
std::wstring Scroll(const std::wstring& range, const std::wstring& start) {
    return L"channel.IEchogramRange::SetDepthRange(" + range + L", " + start + L", 16)";
}
// Types all four fields, in kFields' order.
Step TypeAll(Lines texts) {
    return {[=](HWND dialog) {
        for (std::size_t i = 0; i < kFields.size(); ++i)
            TypeText(dialog, kFields[i], texts[i]);
    }};
}

class RangeScrollTest : public PageTest {
protected:
    // A view showing 100 m from 0 m, scrollable through 500 m from 0 m.
    void SetUp() override {
        view = &CreateViewWithHelp();
        channel = &host.Create(L"channel", {IID_IValueStore, IID_IEchogramRange});
        channel->Values().Set(L"EchogramType", 0);
        channel->SetDepthRange(8, 100, 0).SetDepthRange(16, 500, 0);
        page = CreatePage(CLSID_RangeScrollDlg, {view, channel});
    }

    hostsim::HostObject *view = nullptr, *channel = nullptr;
};

TEST_F(RangeScrollTest, ShowsBothAreasAndWritesThemWhenOneChanged) {
    // The first control has the focus. A typed value moves its trackbar (25 nearest
    // to 23) and enables Apply; Apply disables it again. Unchanged, Apply writes
    // nothing and still leaves the button disabled.
    Run({Shows(kFields, {L"100", L"0", L"500", L"0"}), At(kVisualRangeSlider, 8), At(kScrollRangeSlider, 14),
         Shows({IDC_RSC_SCROLL_RANGE_TOP_LABEL, IDC_RSC_SCROLL_RANGE_BOTTOM_LABEL, IDC_RSC_SCROLL_START_TOP_LABEL,
                IDC_RSC_VISUAL_START_BOTTOM_LABEL, IDC_RSC_VISUAL_START_CAPTION, IDC_RSC_SCROLL_START_UNIT},
               {L"1", L"10000", L"0", L"7500", L"Start re surface", L"m"}),
         Enabled(IDC_APPLY, false), Step{[](HWND dialog) {
             EXPECT_EQ(IDC_RSC_VISUAL_START_SLIDER, FocusedControlId(dialog));
         }},
         Type(kVisualStart, L"23"), At(IDC_RSC_VISUAL_START_SLIDER, 6), Enabled(IDC_APPLY), Press(IDC_APPLY),
         Enabled(IDC_APPLY, false), Arrow(IDC_RSC_SCROLL_START_SPIN, 1), Arrow(IDC_RSC_SCROLL_START_SPIN, -1),
         Enabled(IDC_APPLY), Press(IDC_APPLY), Enabled(IDC_APPLY, false), Press(IDCANCEL)});
    // The scroll area already holds the visual area: it is written as it was.
    EXPECT_EQ((Lines{Visual(L"100", L"23"), Scroll(L"500", L"0")}), TakeLines());
    EXPECT_EQ(S_OK, page->IsPageDirty()) << "the arrows marked the page dirty";

    // Read afresh; OK without a change writes nothing.
    Run({Shows(kFields, {L"100", L"23", L"500", L"0"}), Press(IDOK)});
    EXPECT_TRUE(TakeLines().empty());

    // The scroll area is written around the visual area, but not shown so; an empty
    // field writes nothing.
    Run({TypeAll({L"100", L"10", L"50", L"20"}), Press(IDC_APPLY), Shows(kFields, {L"100", L"10", L"50", L"20"}),
         Type(kScrollStart, L""), Type(kVisualRange, L"200"), Press(IDOK)});
    EXPECT_EQ((Lines{Visual(L"100", L"10"), Scroll(L"100", L"10")}), host.Lines());
}

TEST_F(RangeScrollTest, TheRangeTrackbarsHoldEachOtherBack) {
    // Working scroll range 500: the visual range stops at the entry below it; exactly
    // 500 is allowed. Working visual range 100: the scroll range stops at the entry
    // above it. The start trackbars and the arrows check nothing against the other
    // area, and typed values do not move the working ranges (150 still held back by
    // 100). At the ladder's ends: held back to the first entry when there is none
    // below (1 is not below 1), to the last when there is none above.
    Run({Drag(kVisualRangeSlider, 15), At(kVisualRangeSlider, 13), Shows(kVisualRange, L"400"),
         Drag(kVisualRangeSlider, 14), Shows(kVisualRange, L"500"),
         Dirty(true), Drag(kVisualRangeSlider, 8),
         Drag(kScrollRangeSlider, 6), At(kScrollRangeSlider, 9), Shows(kScrollRange, L"150"),
         Drag(IDC_RSC_SCROLL_START_SLIDER, 18), Shows(kScrollStart, L"7500"), Type(kVisualRange, L"5000"),
         At(kVisualRangeSlider, 19), Arrow(IDC_RSC_VISUAL_RANGE_SPIN, 1), Shows(kVisualRange, L"5001"),
         Drag(kScrollRangeSlider, 0), Shows(kScrollRange, L"150"), Drag(kVisualRangeSlider, 0),
         Drag(kScrollRangeSlider, 0), Shows(kScrollRange, L"1"), Drag(kVisualRangeSlider, 2),
         Shows(kVisualRange, L"1"), At(kVisualRangeSlider, 0), Drag(kScrollRangeSlider, 21),
         Drag(kVisualRangeSlider, 21), Shows(kVisualRange, L"10000"), Drag(kScrollRangeSlider, 20),
         Shows(kScrollRange, L"10000"), At(kScrollRangeSlider, 21), Press(IDCANCEL)});
    EXPECT_TRUE(host.Lines().empty()) << host.Text();
}

// Every trackbar position shows its ladder entry, in both modes; the fields follow a
// thumb that is still held.
TEST_F(RangeScrollTest, TheTrackbarsStepThroughTheirLadders) {
    const Lines range = {L"1",   L"2",   L"5",   L"10",   L"15",   L"25",   L"50",   L"75",
                         L"100", L"150", L"200", L"250",  L"300",  L"400",  L"500",  L"750",
                         L"1000", L"1500", L"2500", L"5000", L"7500", L"10000"};
    const Lines surfaceStart = {L"0",   L"2",   L"5",   L"7",    L"10",   L"15",   L"25",   L"50",   L"75",   L"100",
                                L"150", L"250", L"500", L"750", L"1000", L"1500", L"2500", L"5000", L"7500"};
    const Lines bottomStart = {L"-100", L"-75", L"-50", L"-20", L"-15", L"-10", L"-7", L"-5", L"-3", L"-2", L"-1",
                               L"0",    L"1",   L"2",   L"3",   L"5",   L"7",   L"10", L"15", L"20", L"50"};
    // A visual range of 1 within a scroll range of 10000: neither range holds the
    // other back.
    channel->SetDepthRange(8, 1, 0).SetDepthRange(16, 10000, 0);
    for (int mode : {0, 1}) {
        channel->Values().Set(L"EchogramType", mode);
        const Lines ranges(range.begin(), range.end() - mode);  // bottom mode has no 10000
        const Lines& starts = mode ? bottomStart : surfaceStart;
        ActivateAndRun(page.Get(), [&](HWND dialog) {
            EXPECT_EQ(ranges, FieldAtEachPosition(dialog, kScrollRangeSlider, kScrollRange, ranges.size()));
            HoldSlider(dialog, kScrollRangeSlider, 20);
            EXPECT_EQ(Lines(ranges.begin(), ranges.begin() + 20),
                      FieldAtEachPosition(dialog, kVisualRangeSlider, kVisualRange, 20));
            EXPECT_EQ(starts, FieldAtEachPosition(dialog, IDC_RSC_VISUAL_START_SLIDER, kVisualStart, starts.size()));
            EXPECT_EQ(starts, FieldAtEachPosition(dialog, IDC_RSC_SCROLL_START_SLIDER, kScrollStart, starts.size()));
            Click(dialog, IDCANCEL);
        });
    }
}

TEST_F(RangeScrollTest, BottomModeEditsTheBottomExpansionScroll) {
    // -5 on the start ladder; the arrows stop at the ladder's end.
    channel->Values().Set(L"EchogramType", 1);
    channel->SetDepthRange(8, 10, -5).SetDepthRange(16, 50, -20);
    Run({Titled(L"Bottom Expansion Scroll"), Step{[](HWND dialog) {
             EXPECT_EQ((std::pair<int, int>{0, 20}), SliderRange(dialog, kScrollRangeSlider));
         }},
         Shows({IDC_RSC_VISUAL_START_CAPTION, IDC_RSC_SCROLL_START_CAPTION, IDC_RSC_SCROLL_START_TOP_LABEL,
                IDC_RSC_VISUAL_START_BOTTOM_LABEL, IDC_RSC_VISUAL_RANGE_BOTTOM_LABEL},
               {L"Start relative bottom", L"Start relative bottom", L"-100", L"50", L"7500"}),
         At(IDC_RSC_VISUAL_START_SLIDER, 7), Shows(kFields, {L"10", L"-5", L"50", L"-20"}), Type(kVisualStart, L"-100"),
         Arrow(IDC_RSC_VISUAL_START_SPIN, -1), Shows(kVisualStart, L"-100"), Press(ID_HELP), Press(IDOK)});
    EXPECT_EQ((Lines{L"help.IHelpViewer::ShowTopic(0, \"xxx_range_and_scroll.html\")", Visual(L"10", L"-100"),
                     Scroll(L"50", L"-100")}),
              host.Lines());
}

TEST_F(RangeScrollTest, WithoutBothAreasTheFieldsStayEmptyUntilAllFourAreTyped) {
    // Apply with three fields empty writes nothing.
    channel->SetFault(L"IEchogramRange::GetDepthRange", L"16", hostsim::Fault::Fail());
    Run({Shows(kFields, {L"", L"", L"", L""}), At(kVisualRangeSlider, 0), Type(kVisualRange, L"75"), Press(IDC_APPLY),
         Step{[&](HWND) { EXPECT_TRUE(host.Lines().empty()); }}, TypeAll({L"75", L"5", L"300", L"0"}), Press(IDOK)});
    EXPECT_EQ((Lines{Visual(L"75", L"5"), Scroll(L"300", L"0")}), TakeLines());
    EXPECT_EQ(1, channel->Calls(L"IEchogramRange::GetDepthRange", L"8")) << "the visual area is still asked for";

    // No IEchogramRange at all: surface mode, nothing read or written.
    channel->Hide(IID_IEchogramRange);
    channel->Values().Set(L"EchogramType", 1);
    Run({Shows(IDC_RSC_SCROLL_START_CAPTION, L"Start re surface"), TypeAll({L"75", L"5", L"300", L"0"}), Press(IDOK)});
    EXPECT_TRUE(host.Lines().empty()) << host.Text();
}

}  // namespace
}  // namespace tavrel::test
