// The range and scroll page, used as a person and a host would: the visual and scroll
// areas it shows, how the two range trackbars hold each other back, the Apply
// button's state, and the areas written so that the scroll area holds the visual one.
#include "PageTest.h"
#include "resource.h"

#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace tavrel::test {
namespace {

std::wstring Visual(const std::wstring& range, const std::wstring& start) {
    return L"channel.IEchogramRange::SetDepthRange(" + range + L", " + start + L", 8)";
}
std::wstring Scroll(const std::wstring& range, const std::wstring& start) {
    return L"channel.IEchogramRange::SetDepthRange(" + range + L", " + start + L", 16)";
}

struct Fields {
    const wchar_t* visualRange;
    const wchar_t* visualStart;
    const wchar_t* scrollRange;
    const wchar_t* scrollStart;
};

void TypeFields(HWND dialog, const Fields& fields) {
    TypeText(dialog, IDC_RSC_VISUAL_RANGE_EDIT, fields.visualRange);
    TypeText(dialog, IDC_RSC_VISUAL_START_EDIT, fields.visualStart);
    TypeText(dialog, IDC_RSC_SCROLL_RANGE_EDIT, fields.scrollRange);
    TypeText(dialog, IDC_RSC_SCROLL_START_EDIT, fields.scrollStart);
}

std::vector<std::wstring> Texts(HWND dialog) {
    return {GetText(dialog, IDC_RSC_VISUAL_RANGE_EDIT), GetText(dialog, IDC_RSC_VISUAL_START_EDIT),
            GetText(dialog, IDC_RSC_SCROLL_RANGE_EDIT), GetText(dialog, IDC_RSC_SCROLL_START_EDIT)};
}

class RangeScrollTest : public PageTest {
protected:
    // A view showing 100 m from 0 m, scrollable through 500 m from 0 m.
    void SetUp() override {
        view = &CreateViewWithHelp();
        channel = &host.Create(L"channel", {IID_IValueStore, IID_IEchogramRange});
        channel->Values().Set(L"EchogramType", 0);
        channel->SetDepthRange(8, 100, 0).SetDepthRange(16, 500, 0);
        page = CreatePage(CLSID_RangeScrollDlg);
        EXPECT_EQ(S_OK, GiveObjects(page.Get(), {view, channel}));
    }
    void TearDown() override {
        page.Reset();
        PageTest::TearDown();
    }

    hostsim::HostObject* view = nullptr;
    hostsim::HostObject* channel = nullptr;
    ComPtr<IPropertyPage> page;
};

TEST_F(RangeScrollTest, ShowsBothAreasAndWritesThemWhenOneChanged) {
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_EQ((std::vector<std::wstring>{L"100", L"0", L"500", L"0"}), Texts(dialog));
        EXPECT_EQ(8, SliderPosition(dialog, IDC_RSC_VISUAL_RANGE_SLIDER));
        EXPECT_EQ(14, SliderPosition(dialog, IDC_RSC_SCROLL_RANGE_SLIDER));
        EXPECT_EQ(L"1", GetText(dialog, IDC_RSC_SCROLL_RANGE_TOP_LABEL));
        EXPECT_EQ(L"10000", GetText(dialog, IDC_RSC_SCROLL_RANGE_BOTTOM_LABEL));
        EXPECT_EQ(L"0", GetText(dialog, IDC_RSC_SCROLL_START_TOP_LABEL));
        EXPECT_EQ(L"7500", GetText(dialog, IDC_RSC_VISUAL_START_BOTTOM_LABEL));
        EXPECT_EQ(L"Start re surface", GetText(dialog, IDC_RSC_VISUAL_START_CAPTION));
        EXPECT_EQ(L"m", GetText(dialog, IDC_RSC_SCROLL_START_UNIT));
        EXPECT_FALSE(IsEnabled(dialog, IDC_APPLY)) << "nothing changed yet";
        EXPECT_EQ(IDC_RSC_VISUAL_START_SLIDER, FocusedControlId(dialog)) << "the first control has the focus";

        // A typed value moves its trackbar and enables Apply; Apply disables it again.
        TypeText(dialog, IDC_RSC_VISUAL_START_EDIT, L"23");
        EXPECT_EQ(6, SliderPosition(dialog, IDC_RSC_VISUAL_START_SLIDER)) << "nearest entry to 23 is 25";
        EXPECT_TRUE(IsEnabled(dialog, IDC_APPLY));
        Click(dialog, IDC_APPLY);
        EXPECT_FALSE(IsEnabled(dialog, IDC_APPLY));
        // Unchanged: Apply writes nothing and still leaves the button disabled.
        StepUpDown(dialog, IDC_RSC_SCROLL_START_SPIN, 1);
        StepUpDown(dialog, IDC_RSC_SCROLL_START_SPIN, -1);
        EXPECT_TRUE(IsEnabled(dialog, IDC_APPLY));
        Click(dialog, IDC_APPLY);
        EXPECT_FALSE(IsEnabled(dialog, IDC_APPLY));
        Click(dialog, IDCANCEL);
    });
    // The scroll area already holds the visual area: it is written as it was.
    EXPECT_EQ((std::vector<std::wstring>{Visual(L"100", L"23"), Scroll(L"500", L"0")}), host.Lines());
    EXPECT_EQ(S_OK, page->IsPageDirty()) << "the arrows marked the page dirty";

    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_EQ((std::vector<std::wstring>{L"100", L"23", L"500", L"0"}), Texts(dialog)) << "read afresh";
        Click(dialog, IDOK);
    });
    EXPECT_EQ(2u, host.Lines().size()) << "OK without a change writes nothing";
}

TEST_F(RangeScrollTest, TheScrollAreaIsWrittenAroundTheVisualArea) {
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        TypeFields(dialog, {L"100", L"10", L"50", L"20"});
        Click(dialog, IDC_APPLY);
        EXPECT_EQ((std::vector<std::wstring>{L"100", L"10", L"50", L"20"}), Texts(dialog))
            << "the corrected scroll area is not shown";
        // An empty field writes nothing.
        TypeText(dialog, IDC_RSC_SCROLL_START_EDIT, L"");
        TypeText(dialog, IDC_RSC_VISUAL_RANGE_EDIT, L"200");
        Click(dialog, IDOK);
    });
    EXPECT_EQ((std::vector<std::wstring>{Visual(L"100", L"10"), Scroll(L"100", L"10")}), host.Lines());
}

TEST_F(RangeScrollTest, TheRangeTrackbarsHoldEachOtherBack) {
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        // Working scroll range 500: the visual range stops at the entry below it.
        DragSlider(dialog, IDC_RSC_VISUAL_RANGE_SLIDER, 15);
        EXPECT_EQ(13, SliderPosition(dialog, IDC_RSC_VISUAL_RANGE_SLIDER));
        EXPECT_EQ(L"400", GetText(dialog, IDC_RSC_VISUAL_RANGE_EDIT));
        DragSlider(dialog, IDC_RSC_VISUAL_RANGE_SLIDER, 14);
        EXPECT_EQ(L"500", GetText(dialog, IDC_RSC_VISUAL_RANGE_EDIT)) << "exactly 500 is allowed";
        EXPECT_EQ(S_OK, page->IsPageDirty());
        // Working visual range 100: the scroll range stops at the entry above it.
        DragSlider(dialog, IDC_RSC_VISUAL_RANGE_SLIDER, 8);
        DragSlider(dialog, IDC_RSC_SCROLL_RANGE_SLIDER, 6);
        EXPECT_EQ(9, SliderPosition(dialog, IDC_RSC_SCROLL_RANGE_SLIDER));
        EXPECT_EQ(L"150", GetText(dialog, IDC_RSC_SCROLL_RANGE_EDIT));
        // The start trackbars and the arrows check nothing against the other area,
        // and typed values do not move the working ranges.
        DragSlider(dialog, IDC_RSC_SCROLL_START_SLIDER, 18);
        EXPECT_EQ(L"7500", GetText(dialog, IDC_RSC_SCROLL_START_EDIT));
        TypeText(dialog, IDC_RSC_VISUAL_RANGE_EDIT, L"5000");
        EXPECT_EQ(19, SliderPosition(dialog, IDC_RSC_VISUAL_RANGE_SLIDER));
        StepUpDown(dialog, IDC_RSC_VISUAL_RANGE_SPIN, 1);
        EXPECT_EQ(L"5001", GetText(dialog, IDC_RSC_VISUAL_RANGE_EDIT));
        DragSlider(dialog, IDC_RSC_SCROLL_RANGE_SLIDER, 0);
        EXPECT_EQ(L"150", GetText(dialog, IDC_RSC_SCROLL_RANGE_EDIT)) << "still held back by 100";
        // At the ladder's ends: held back to the first entry when there is none
        // below, to the last when there is none above.
        DragSlider(dialog, IDC_RSC_VISUAL_RANGE_SLIDER, 0);
        DragSlider(dialog, IDC_RSC_SCROLL_RANGE_SLIDER, 0);
        EXPECT_EQ(L"1", GetText(dialog, IDC_RSC_SCROLL_RANGE_EDIT)) << "1 is not below 1";
        DragSlider(dialog, IDC_RSC_VISUAL_RANGE_SLIDER, 2);
        EXPECT_EQ(L"1", GetText(dialog, IDC_RSC_VISUAL_RANGE_EDIT));
        EXPECT_EQ(0, SliderPosition(dialog, IDC_RSC_VISUAL_RANGE_SLIDER));
        DragSlider(dialog, IDC_RSC_SCROLL_RANGE_SLIDER, 21);
        DragSlider(dialog, IDC_RSC_VISUAL_RANGE_SLIDER, 21);
        EXPECT_EQ(L"10000", GetText(dialog, IDC_RSC_VISUAL_RANGE_EDIT)) << "10000 is not beyond 10000";
        DragSlider(dialog, IDC_RSC_SCROLL_RANGE_SLIDER, 20);
        EXPECT_EQ(L"10000", GetText(dialog, IDC_RSC_SCROLL_RANGE_EDIT));
        EXPECT_EQ(21, SliderPosition(dialog, IDC_RSC_SCROLL_RANGE_SLIDER));
        Click(dialog, IDCANCEL);
    });
    EXPECT_TRUE(host.Lines().empty()) << host.Text();
}

// Every trackbar position shows its ladder entry, in both modes; the fields follow a
// thumb that is still held.
TEST_F(RangeScrollTest, TheTrackbarsStepThroughTheirLadders) {
    using Ladder = std::vector<std::wstring>;
    const Ladder range = {L"1",   L"2",   L"5",   L"10",   L"15",   L"25",   L"50",   L"75",
                          L"100", L"150", L"200", L"250",  L"300",  L"400",  L"500",  L"750",
                          L"1000", L"1500", L"2500", L"5000", L"7500", L"10000"};
    const Ladder surfaceStart = {L"0",   L"2",   L"5",   L"7",    L"10",   L"15",   L"25",   L"50",   L"75",   L"100",
                                 L"150", L"250", L"500", L"750", L"1000", L"1500", L"2500", L"5000", L"7500"};
    const Ladder bottomStart = {L"-100", L"-75", L"-50", L"-20", L"-15", L"-10", L"-7", L"-5", L"-3", L"-2", L"-1",
                                L"0",    L"1",   L"2",   L"3",   L"5",   L"7",   L"10", L"15", L"20", L"50"};
    // A visual range of 1 within a scroll range of 10000: neither range holds the
    // other back.
    channel->SetDepthRange(8, 1, 0).SetDepthRange(16, 10000, 0);
    for (int mode : {0, 1}) {
        channel->Values().Set(L"EchogramType", mode);
        const Ladder ranges(range.begin(), range.end() - mode);  // bottom mode has no 10000
        const Ladder& starts = mode ? bottomStart : surfaceStart;
        ActivateAndRun(page.Get(), [&](HWND dialog) {
            EXPECT_EQ(ranges, FieldAtEachPosition(dialog, IDC_RSC_SCROLL_RANGE_SLIDER, IDC_RSC_SCROLL_RANGE_EDIT,
                                                  ranges.size()));
            HoldSlider(dialog, IDC_RSC_SCROLL_RANGE_SLIDER, 20);
            EXPECT_EQ(Ladder(ranges.begin(), ranges.begin() + 20),
                      FieldAtEachPosition(dialog, IDC_RSC_VISUAL_RANGE_SLIDER, IDC_RSC_VISUAL_RANGE_EDIT, 20));
            EXPECT_EQ(starts, FieldAtEachPosition(dialog, IDC_RSC_VISUAL_START_SLIDER, IDC_RSC_VISUAL_START_EDIT,
                                                  starts.size()));
            EXPECT_EQ(starts, FieldAtEachPosition(dialog, IDC_RSC_SCROLL_START_SLIDER, IDC_RSC_SCROLL_START_EDIT,
                                                  starts.size()));
            Click(dialog, IDCANCEL);
        });
    }
}

TEST_F(RangeScrollTest, BottomModeEditsTheBottomExpansionScroll) {
    channel->Values().Set(L"EchogramType", 1);
    channel->SetDepthRange(8, 10, -5).SetDepthRange(16, 50, -20);
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        wchar_t title[64] = {};
        ::GetWindowTextW(dialog, title, 64);
        EXPECT_STREQ(L"Bottom Expansion Scroll", title);
        EXPECT_EQ(L"Start relative bottom", GetText(dialog, IDC_RSC_VISUAL_START_CAPTION));
        EXPECT_EQ(L"Start relative bottom", GetText(dialog, IDC_RSC_SCROLL_START_CAPTION));
        EXPECT_EQ(L"-100", GetText(dialog, IDC_RSC_SCROLL_START_TOP_LABEL));
        EXPECT_EQ(L"50", GetText(dialog, IDC_RSC_VISUAL_START_BOTTOM_LABEL));
        EXPECT_EQ(L"7500", GetText(dialog, IDC_RSC_VISUAL_RANGE_BOTTOM_LABEL));
        EXPECT_EQ((std::pair<int, int>{0, 20}), SliderRange(dialog, IDC_RSC_SCROLL_RANGE_SLIDER));
        EXPECT_EQ(7, SliderPosition(dialog, IDC_RSC_VISUAL_START_SLIDER)) << "-5";
        EXPECT_EQ((std::vector<std::wstring>{L"10", L"-5", L"50", L"-20"}), Texts(dialog));
        TypeText(dialog, IDC_RSC_VISUAL_START_EDIT, L"-100");
        StepUpDown(dialog, IDC_RSC_VISUAL_START_SPIN, -1);
        EXPECT_EQ(L"-100", GetText(dialog, IDC_RSC_VISUAL_START_EDIT)) << "the arrows stop at the ladder's end";
        Click(dialog, ID_HELP);
        Click(dialog, IDOK);
    });
    EXPECT_EQ((std::vector<std::wstring>{L"help.IHelpViewer::ShowTopic(0, \"xxx_range_and_scroll.html\")",
                                         Visual(L"10", L"-100"), Scroll(L"50", L"-100")}),
              host.Lines());
}

TEST_F(RangeScrollTest, WithoutBothAreasTheFieldsStayEmptyUntilAllFourAreTyped) {
    channel->SetFault(L"IEchogramRange::GetDepthRange", L"16", hostsim::Fault::Fail());
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_EQ((std::vector<std::wstring>{L"", L"", L"", L""}), Texts(dialog));
        EXPECT_EQ(0, SliderPosition(dialog, IDC_RSC_VISUAL_RANGE_SLIDER));
        TypeText(dialog, IDC_RSC_VISUAL_RANGE_EDIT, L"75");
        Click(dialog, IDC_APPLY);
        EXPECT_TRUE(host.Lines().empty()) << "three fields are empty";
        TypeFields(dialog, {L"75", L"5", L"300", L"0"});
        Click(dialog, IDOK);
    });
    EXPECT_EQ((std::vector<std::wstring>{Visual(L"75", L"5"), Scroll(L"300", L"0")}), host.Lines());
    EXPECT_EQ(1, channel->Calls(L"IEchogramRange::GetDepthRange", L"8")) << "the visual area is still asked for";

    // No IEchogramRange at all: surface mode, nothing read or written.
    host.Journal().Clear();
    channel->Hide(IID_IEchogramRange);
    channel->Values().Set(L"EchogramType", 1);
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_EQ(L"Start re surface", GetText(dialog, IDC_RSC_SCROLL_START_CAPTION));
        TypeFields(dialog, {L"75", L"5", L"300", L"0"});
        Click(dialog, IDOK);
    });
    EXPECT_TRUE(host.Lines().empty()) << host.Text();
}

TEST_F(RangeScrollTest, EveryFailingHostOperationStillOpensAndClosesThePage) {
    ForEachFault(
        {
            {channel, L"IValueStore::GetValue", hostsim::Fault::Fail()},
            {channel, L"IValueStore::GetValue", hostsim::Fault::WrongType(VT_BSTR)},
            {channel, L"IEchogramRange::GetDepthRange", hostsim::Fault::Fail(S_FALSE)},
            {channel, L"IEchogramRange::SetDepthRange", hostsim::Fault::Fail()},
            {channel, L"QueryInterface", hostsim::Fault::Fail(E_NOINTERFACE)},
            {view, L"IObjectSite::GetObject", hostsim::Fault::NullObject()},
        },
        [&] {
            ActivateAndRun(page.Get(), [&](HWND dialog) {
                TypeFields(dialog, {L"75", L"5", L"300", L"0"});
                DragSlider(dialog, IDC_RSC_VISUAL_RANGE_SLIDER, 3);
                Click(dialog, IDOK);
            });
            EXPECT_EQ(1u, channel->OutstandingReferences()) << "only the page's own reference";
        });
}

}  // namespace
}  // namespace tavrel::test
