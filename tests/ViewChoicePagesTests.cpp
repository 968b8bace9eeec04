// The TS distribution and scope pages, used as a person would: the radio buttons
// they show, and what reaches the host on OK and Cancel.
#include "PageTest.h"
#include "resource.h"

#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace tavrel::test {
namespace {

const int kScaleButtons[] = {IDC_TS_LENGTH_CM, IDC_TS_LENGTH_INCH, IDC_TS_WEIGHT, IDC_TS_TARGET_STRENGTH};

// Which scale buttons are checked, as the user sees them.
std::vector<bool> CheckedScales(HWND dialog) {
    std::vector<bool> checked;
    for (int id : kScaleButtons)
        checked.push_back(IsChecked(dialog, id));
    return checked;
}

const std::wstring kWriteWeight = L"view.IValueStore::PutValue(\"HistogramScale\", VT_I4 2)";

class TsDistributionTest : public PageTest {
protected:
    // The view keeps the value store and finds the help viewer through its site.
    hostsim::HostObject& CreateHistogramView() {
        hostsim::HostObject& view = CreateViewWithHelp();
        view.Offer(IID_IValueStore);
        view.AddService(view);
        return view;
    }
};

TEST_F(TsDistributionTest, ShowsTheStoredScaleAndWritesOnlyAChangedChoice) {
    hostsim::HostObject& view = CreateHistogramView();
    view.Values().Set(L"HistogramScale", 2);
    ComPtr<IPropertyPage> page = CreatePage(CLSID_TsDistributionDlg);
    ASSERT_EQ(S_OK, GiveObjects(page.Get(), {&view}));

    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_EQ((std::vector<bool>{false, false, true, false}), CheckedScales(dialog)) << "\"Weight\"";
        Click(dialog, IDOK);
    });
    EXPECT_TRUE(host.Lines().empty()) << "an unchanged choice writes nothing:\n" << host.Text();

    ActivateAndRun(page.Get(), [&](HWND dialog) {
        Click(dialog, IDC_TS_TARGET_STRENGTH);
        Click(dialog, IDCANCEL);
    });
    EXPECT_TRUE(host.Lines().empty()) << "Cancel writes nothing";

    ActivateAndRun(page.Get(), [&](HWND dialog) {
        Click(dialog, IDC_TS_TARGET_STRENGTH);
        EXPECT_EQ((std::vector<bool>{false, false, false, true}), CheckedScales(dialog));
        Click(dialog, 57670);
        Click(dialog, IDOK);
    });
    EXPECT_EQ((std::vector<std::wstring>{L"help.IHelpViewer::ShowTopic(0, \"qz4_para_ts_distribution.html\")",
                                         L"view.IValueStore::PutValue(\"HistogramScale\", VT_I4 3)"}),
              host.Lines());
    EXPECT_EQ(S_OK, page->Apply());
    EXPECT_EQ(S_FALSE, page->IsPageDirty());
}

TEST_F(TsDistributionTest, AValueOfAnotherTypeOrOutOfRangeIsNotTaken) {
    hostsim::HostObject& view = CreateHistogramView();
    view.Values().Set(L"HistogramScale", 2.0);  // VT_R8: ignored
    ComPtr<IPropertyPage> page = CreatePage(CLSID_TsDistributionDlg);
    ASSERT_EQ(S_OK, GiveObjects(page.Get(), {&view}));
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_EQ((std::vector<bool>{true, false, false, false}), CheckedScales(dialog)) << "\"Length cm\"";
        Click(dialog, IDC_TS_WEIGHT);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(std::vector<std::wstring>{kWriteWeight}, host.Lines());

    // A value that comes with S_FALSE is not taken either.
    view.Values().Set(L"HistogramScale", 3);
    view.SetFault(L"IValueStore::GetValue", hostsim::Fault::Fail(S_FALSE));
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_TRUE(IsChecked(dialog, IDC_TS_WEIGHT)) << "what the page last wrote";
        Click(dialog, IDCANCEL);
    });
    view.ClearFaults();

    // 7 checks no button; OK without a choice writes -1.
    view.Values().Set(L"HistogramScale", 7);
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_EQ((std::vector<bool>{false, false, false, false}), CheckedScales(dialog));
        Click(dialog, IDOK);
    });
    EXPECT_EQ(L"view.IValueStore::PutValue(\"HistogramScale\", VT_I4 -1)", host.Lines().back());
}

TEST_F(TsDistributionTest, EachActivationReadsAfreshAndAFailedReadKeepsThePreviousRun) {
    hostsim::HostObject& view = CreateHistogramView();
    view.Values().Set(L"HistogramScale", 1);
    ComPtr<IPropertyPage> page = CreatePage(CLSID_TsDistributionDlg);
    ASSERT_EQ(S_OK, GiveObjects(page.Get(), {&view}));
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_TRUE(IsChecked(dialog, IDC_TS_LENGTH_INCH));
        Click(dialog, IDC_TS_WEIGHT);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(std::vector<std::wstring>{L"view.IValueStore::PutValue(\"HistogramScale\", VT_I4 2)"}, host.Lines());

    // The host now has 2; the page reads it again.
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_TRUE(IsChecked(dialog, IDC_TS_WEIGHT));
        Click(dialog, IDCANCEL);
    });
    // A failed read: the page shows and compares with what the last run left (2).
    view.SetFault(L"IValueStore::GetValue", hostsim::Fault::Fail());
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_TRUE(IsChecked(dialog, IDC_TS_WEIGHT));
        Click(dialog, IDOK);
    });
    EXPECT_EQ(1u, host.Lines().size()) << host.Text();
    // Still unreadable: the page compares with what it wrote (2), not with what it
    // first read (1), so going back to "Length inch" is written.
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        Click(dialog, IDC_TS_LENGTH_INCH);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(L"view.IValueStore::PutValue(\"HistogramScale\", VT_I4 1)", host.Lines().back());
}

TEST_F(TsDistributionTest, WithoutAValueStoreTheFirstScaleShowsAndNothingIsWritten) {
    hostsim::HostObject& view = CreateViewWithHelp();
    ComPtr<IPropertyPage> page = CreatePage(CLSID_TsDistributionDlg);
    ASSERT_EQ(S_OK, GiveObjects(page.Get(), {&view}));
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_EQ((std::vector<bool>{true, false, false, false}), CheckedScales(dialog));
        Click(dialog, IDC_TS_WEIGHT);
        Click(dialog, IDOK);
    });
    EXPECT_TRUE(host.Lines().empty()) << host.Text();
}

class ScopeTest : public PageTest {};

TEST_F(ScopeTest, OpensWithNoChoiceAndWritesNothing) {
    hostsim::HostObject& view = CreateViewWithHelp();
    view.Offer(IID_IValueStore);
    ComPtr<IPropertyPage> page = CreatePage(CLSID_ScopeDialog);
    ASSERT_EQ(S_OK, GiveObjects(page.Get(), {&view}));
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_FALSE(IsChecked(dialog, IDC_SC_LOGARITHMIC));
        EXPECT_FALSE(IsChecked(dialog, IDC_SC_LINEAR));
        Click(dialog, IDC_SC_LINEAR);
        EXPECT_TRUE(IsChecked(dialog, IDC_SC_LINEAR));
        Click(dialog, 57670);  // no help viewer is obtained: nothing happens
        Click(dialog, IDOK);
    });
    EXPECT_TRUE(host.Lines().empty()) << host.Text();
    EXPECT_EQ(0, view.Calls(L"IValueStore::GetValue"));
    EXPECT_EQ(0, view.Calls(L"IObjectSite::GetObject"));
}

}  // namespace
}  // namespace tavrel::test
