// The page frame's message handling on a probe page built into this test program:
// which handler each user action reaches, in what order, what OK, Apply, Cancel and
// Help do around the page's write, and the dirty flag. The nine pages of the
// library reach the same code; this probe has one control of every kind.
#include "DialogDriver.h"
#include "HostSim.h"
#include "Page.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

// The module the frame runs in: this test program, with a lock count of its own.
namespace tavrel {
namespace {
LONG g_locks = 0;
}
HINSTANCE ModuleInstance() { return ::GetModuleHandleW(nullptr); }
LONG LockModule() { return ++g_locks; }
LONG UnlockModule() { return --g_locks; }
}  // namespace tavrel

namespace tavrel::test {
namespace {

enum : int { kEdit = 1001, kSpin = 1002, kSlider = 1003, kLoneSpin = 1004, kOtherButton = 1005, kApply = 219 };

constexpr CLSID kProbeClsid = {0x7d1c2a3e, 0x51b0, 0x4c8e, {0x9a, 0x10, 0x2f, 0x6b, 0x3c, 0x44, 0x80, 0x15}};

// What the probe's handlers saw, in order.
std::vector<std::string> g_events;

std::vector<std::string> TakeEvents() {
    std::vector<std::string> taken;
    taken.swap(g_events);
    return taken;
}

template <frame::ApplyClearsDirty kClears>
class CProbePage : public frame::CPage<CProbePage<kClears>, &kProbeClsid> {
public:
    static constexpr frame::PageInfo kInfo{500, 501, L"probe.html", kApply, kClears};
    using Interfaces = frame::InterfaceList<IPropertyPage>;

    BOOL OnInitDialog() {
        const bool attached = m_spin.m_hWnd == ::GetDlgItem(this->m_hWnd, kSpin) && m_spin.m_hWnd &&
                              m_slider.m_hWnd == ::GetDlgItem(this->m_hWnd, kSlider) && m_slider.m_hWnd;
        g_events.push_back(attached ? "init, controls attached" : "init, controls missing");
        m_spin.SetDoubleRange(0, 0, 100);
        m_slider.SetRange(0, 10);
        this->LocateHelpViewer();
        return TRUE;
    }
    void WriteValues() { g_events.push_back("write"); }
    void OnApplied() { g_events.push_back("applied"); }
    void OnDialogEnding() { g_events.push_back("ending"); }
    const wchar_t* HelpTopic() const { return m_otherTopic ? L"other.html" : CProbePage::kInfo.helpTopic; }

    template <class Map>
    void MessageMap(Map& on) {
        on.Notify(frame::kAnyControl, UDN_DELTAPOS, &CProbePage::OnAnyArrow);
        on.Spin(kSpin, m_spin);
        on.Control(kSlider, m_slider);
        on.Command(kEdit, EN_KILLFOCUS, &CProbePage::OnEditLeft);
        on.Command(kOtherButton, frame::kAnyCode, &CProbePage::OnOtherButton);
        on.Scroll(kSlider, &CProbePage::OnSliderMoved);
        on.Scroll(frame::kAnyControl, &CProbePage::OnAnyScroll);
    }

private:
    // Refuses the lone up-down's steps: a non-zero answer keeps its position.
    LRESULT OnAnyArrow(NMHDR& header) {
        g_events.push_back("arrow " + std::to_string(header.idFrom) + ", spin value " +
                           std::to_string(static_cast<int>(m_spin.m_dValue)));
        return header.idFrom == kLoneSpin;
    }
    void OnEditLeft() {
        g_events.push_back("edit left");
        this->SetDirty();
    }
    void OnOtherButton() {
        g_events.push_back("other button");
        m_otherTopic = true;
    }
    void OnSliderMoved(int scrollCode) {
        g_events.push_back("slider " + std::to_string(scrollCode) + " at " + std::to_string(m_slider.GetPos()));
    }
    void OnAnyScroll(int scrollCode) { g_events.push_back("scroll " + std::to_string(scrollCode)); }

    CSpinButtonDoubleCtrl m_spin;
    frame::CTrackBarCtrl m_slider;
    bool m_otherTopic = false;
};

template <frame::ApplyClearsDirty kClears>
ComPtr<IPropertyPage> CreateProbe() {
    ComPtr<IPropertyPage> page;
    EXPECT_EQ(S_OK, frame::CreatePage<CProbePage<kClears>>(IID_IPropertyPage,
                                                            reinterpret_cast<void**>(page.GetAddressOf())));
    return page;
}

class PageDispatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        hostsim::HostObject& help = host.Create(L"help", {IID_IHelpViewer});
        view = &host.Create(L"view", {IID_IObjectSite});
        view->AddService(help);
        g_events.clear();
    }
    void TearDown() override {
        EXPECT_TRUE(host.AllReferencesReturned()) << host.OutstandingText();
        EXPECT_EQ(0, g_locks) << "a page is still alive";
    }

    void Run(IPropertyPage* page, const std::function<void(HWND)>& body) {
        IUnknown* objects[] = {view->Identity()};
        ASSERT_EQ(S_OK, page->SetObjects(1, objects));
        const RECT rect{0, 0, 300, 200};
        EXPECT_TRUE(RunDialog([&] { page->Activate(nullptr, &rect, TRUE); }, body));
    }

    hostsim::Host host;
    hostsim::HostObject* view = nullptr;
};

TEST_F(PageDispatchTest, EachUserActionReachesTheHandlersItsMapListsInOrder) {
    ComPtr<IPropertyPage> page = CreateProbe<frame::ApplyClearsDirty::No>();
    Run(page.Get(), [&](HWND dialog) {
        EXPECT_EQ(std::vector<std::string>{"init, controls attached"}, TakeEvents());
        EXPECT_EQ(S_FALSE, page->IsPageDirty());

        // A bound up-down: the page's any-arrow handler first (listed first), then the
        // spin's own step; its scroll messages reach only the any-control handler.
        TypeText(dialog, kEdit, L"41");
        StepUpDown(dialog, kSpin, 1);
        EXPECT_EQ(L"42", GetText(dialog, kEdit));
        EXPECT_EQ((std::vector<std::string>{"arrow 1002, spin value 0", "scroll 4", "scroll 8"}), TakeEvents());

        // An up-down without a spin: only the any-arrow handler, whose answer reaches
        // the control. Pressing it gives its own buddy the focus, so the first field
        // is left.
        const int lonePosition = UpDownPosition(dialog, kLoneSpin);
        StepUpDown(dialog, kLoneSpin, 1);
        EXPECT_EQ(lonePosition, UpDownPosition(dialog, kLoneSpin)) << "the handler refused the step";
        EXPECT_EQ((std::vector<std::string>{"edit left", "arrow 1004, spin value 42", "scroll 4", "scroll 8"}),
                  TakeEvents());
        EXPECT_EQ(S_OK, page->IsPageDirty()) << "the field handler marked the page dirty";

        // The slider: its own handler, then the any-control one, for every scroll code.
        DragSlider(dialog, kSlider, 2);
        EXPECT_EQ((std::vector<std::string>{"slider 5 at 1", "scroll 5", "slider 5 at 2", "scroll 5", "slider 4 at 2",
                                            "scroll 4", "slider 8 at 2", "scroll 8"}),
                  TakeEvents());

        // Commands by id and notification code: typing sends EN_CHANGE, which has no
        // entry; leaving the field sends EN_KILLFOCUS; any code of the other button.
        TypeText(dialog, kEdit, L"7");
        EXPECT_TRUE(TakeEvents().empty());
        LeaveField(dialog, kEdit);
        Click(dialog, kOtherButton);
        EXPECT_EQ((std::vector<std::string>{"edit left", "other button"}), TakeEvents());

        // Apply writes and stays; IPropertyPage::Apply leaves this page's flag alone.
        Click(dialog, kApply);
        EXPECT_EQ((std::vector<std::string>{"write", "applied"}), TakeEvents());
        EXPECT_EQ(S_OK, page->Apply());
        EXPECT_EQ(S_OK, page->IsPageDirty());

        // Help asks the page for its topic at the moment of the click.
        Click(dialog, frame::kHelpButtonId);
        EXPECT_EQ(std::vector<std::wstring>{L"help.IHelpViewer::ShowTopic(0, \"other.html\")"}, host.Lines());
        Click(dialog, IDOK);
    });
    EXPECT_EQ((std::vector<std::string>{"write", "ending"}), TakeEvents());

    Run(page.Get(), [&](HWND dialog) {
        TakeEvents();
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ((std::vector<std::string>{"edit left", "ending"}), TakeEvents()) << "Cancel writes nothing";
}

TEST_F(PageDispatchTest, ApplyClearsTheDirtyFlagOnlyWhereThePageSaysSo) {
    ComPtr<IPropertyPage> page = CreateProbe<frame::ApplyClearsDirty::Yes>();
    Run(page.Get(), [&](HWND dialog) {
        TypeText(dialog, kEdit, L"3");
        LeaveField(dialog, kEdit);
        EXPECT_EQ(S_OK, page->IsPageDirty());
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(S_OK, page->IsPageDirty()) << "the flag outlives the dialog";
    EXPECT_EQ(S_OK, page->Apply());
    EXPECT_EQ(S_FALSE, page->IsPageDirty());
    EXPECT_EQ((std::vector<std::string>{"init, controls attached", "edit left", "ending"}), TakeEvents())
        << "IPropertyPage::Apply writes nothing";

    Run(page.Get(), [&](HWND dialog) {
        Click(dialog, frame::kHelpButtonId);
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(std::vector<std::wstring>{L"help.IHelpViewer::ShowTopic(0, \"probe.html\")"}, host.Lines())
        << "the page information's topic";
}

}  // namespace
}  // namespace tavrel::test
