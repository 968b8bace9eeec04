// The TS distribution and scope pages, used as a person would: the radio buttons
// they show, and what reaches the host on OK and Cancel.
#include "PageTest.h"
#include "resource.h"

#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace tavrel::test {
namespace {

// Expects which scale buttons are checked, as the user sees them.
Step Scales(std::vector<bool> expected) {
    return {[=](HWND dialog) {
        std::vector<bool> checked;
        for (int id : {IDC_TS_LENGTH_CM, IDC_TS_LENGTH_INCH, IDC_TS_WEIGHT, IDC_TS_TARGET_STRENGTH})
            checked.push_back(IsChecked(dialog, id));
        EXPECT_EQ(expected, checked);
    }};
}
std::wstring Written(int scale) {
    return L"view.IValueStore::PutValue(\"HistogramScale\", VT_I4 " + std::to_wstring(scale) + L")";
}

class TsDistributionTest : public PageTest {
protected:
    // The view keeps the value store, holding scale, and finds the help viewer
    // through its site.
    void SetUp() override {
        view = &CreateViewWithHelp();
        view->Offer(IID_IValueStore);
        view->AddService(*view);
        page = CreatePage(CLSID_TsDistributionDlg, {view});
    }

    hostsim::HostObject* view = nullptr;
};

TEST_F(TsDistributionTest, ShowsTheStoredScaleAndWritesOnlyAChangedChoice) {
    view->Values().Set(L"HistogramScale", 2);
    Run({Scales({false, false, true, false}), Press(IDOK)});
    Run({Press(IDC_TS_TARGET_STRENGTH), Press(IDCANCEL)});
    EXPECT_TRUE(host.Lines().empty()) << "an unchanged choice and Cancel write nothing:\n" << host.Text();
    Run({Press(IDC_TS_TARGET_STRENGTH), Scales({false, false, false, true}), Press(ID_HELP), Press(IDOK)});
    EXPECT_EQ((Lines{L"help.IHelpViewer::ShowTopic(0, \"qz4_para_ts_distribution.html\")", Written(3)}), host.Lines());
    EXPECT_EQ(S_OK, page->Apply());
    EXPECT_EQ(S_FALSE, page->IsPageDirty());
}

TEST_F(TsDistributionTest, AValueOfAnotherTypeOrOutOfRangeIsNotTaken) {
    view->Values().Set(L"HistogramScale", 2.0);  // VT_R8: ignored, "Length cm" shows
    Run({Scales({true, false, false, false}), Press(IDC_TS_WEIGHT), Press(IDOK)});
    EXPECT_EQ(Lines{Written(2)}, TakeLines());
    // A value that comes with S_FALSE is not taken either: what the page last wrote shows.
    view->Values().Set(L"HistogramScale", 3);
    view->SetFault(L"IValueStore::GetValue", hostsim::Fault::Fail(S_FALSE));
    Run({Scales({false, false, true, false}), Press(IDCANCEL)});
    view->ClearFaults();
    // 7 checks no button; OK without a choice writes -1.
    view->Values().Set(L"HistogramScale", 7);
    Run({Scales({false, false, false, false}), Press(IDOK)});
    EXPECT_EQ(Lines{Written(-1)}, host.Lines());
}

TEST_F(TsDistributionTest, EachActivationReadsAfreshAndAFailedReadKeepsThePreviousRun) {
    view->Values().Set(L"HistogramScale", 1);
    Run({Scales({false, true, false, false}), Press(IDC_TS_WEIGHT), Press(IDOK)});
    // The host now has 2; the page reads it again. A failed read: the page shows and
    // compares with what the last run left (2). Still unreadable: the page compares
    // with what it wrote (2), not with what it first read (1), so going back to
    // "Length inch" is written.
    Run({Scales({false, false, true, false}), Press(IDCANCEL)});
    view->SetFault(L"IValueStore::GetValue", hostsim::Fault::Fail());
    Run({Scales({false, false, true, false}), Press(IDOK)});
    Run({Press(IDC_TS_LENGTH_INCH), Press(IDOK)});
    EXPECT_EQ((Lines{Written(2), Written(1)}), host.Lines());
}

TEST_F(TsDistributionTest, WithoutAValueStoreTheFirstScaleShowsAndNothingIsWritten) {
    view->Hide(IID_IValueStore);
    Use(CreatePage(CLSID_TsDistributionDlg, {view}).Get(),
        {Scales({true, false, false, false}), Press(IDC_TS_WEIGHT), Press(IDOK)});
    EXPECT_TRUE(host.Lines().empty()) << host.Text();
}

class ScopeTest : public PageTest {};

TEST_F(ScopeTest, OpensWithNoChoiceAndWritesNothing) {
    hostsim::HostObject& view = CreateViewWithHelp();
    view.Offer(IID_IValueStore);
    // No help viewer is obtained: Help does nothing.
    Use(CreatePage(CLSID_ScopeDialog, {&view}).Get(),
        {Checked(IDC_SC_LOGARITHMIC, false), Checked(IDC_SC_LINEAR, false), Press(IDC_SC_LINEAR),
         Checked(IDC_SC_LINEAR), Press(ID_HELP), Press(IDOK)});
    EXPECT_TRUE(host.Lines().empty()) << host.Text();
    EXPECT_EQ(0, view.Calls(L"IValueStore::GetValue"));
    EXPECT_EQ(0, view.Calls(L"IObjectSite::GetObject"));
}

}  // namespace
}  // namespace tavrel::test
