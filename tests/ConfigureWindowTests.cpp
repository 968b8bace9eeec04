// The configure window page as a person uses it: the window's views as ticked or
// unticked items, what reaches each view or the screen manager on OK and Apply, the
// two ways a host hands out its views, and hosts that misbehave.
#include "HostValues.h"
#include "PageTest.h"
#include "resource.h"

#include <functional>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;
using hostsim::Fault;

namespace tavrel::test {
namespace {

constexpr int kTree = IDC_CW_VIEW_TREE, kApply = IDC_APPLY_SMALL;

HWND Tree(HWND dialog) { return GetDlgItem(dialog, kTree); }

// The items as the user sees them, in order: "[x] Echogram" ticked, "[ ] Scope" not.
Lines ListedViews(HWND dialog) {
    Lines listed;
    for (HTREEITEM item = TreeView_GetRoot(Tree(dialog)); item; item = TreeView_GetNextSibling(Tree(dialog), item))
        listed.push_back((IsTreeItemChecked(dialog, kTree, item) ? L"[x] " : L"[ ] ") +
                         GetTreeItemText(dialog, kTree, item));
    return listed;
}
Step Listed(Lines expected) {
    return {[=](HWND dialog) { EXPECT_EQ(expected, ListedViews(dialog)); }};
}
Step Selected(std::wstring view) {
    return {[=](HWND dialog) { EXPECT_EQ(view, GetTreeItemText(dialog, kTree, TreeView_GetSelection(Tree(dialog)))); }};
}
Step Tick(std::wstring view) {
    return {[=](HWND dialog) { TickTreeItem(dialog, kTree, view); }};
}

std::wstring HiddenWrite(const std::wstring& object, int hidden) {
    return object + L".IParameterAccess::SetParameter(\"Hidden\", VT_I4 " + std::to_wstring(hidden) + L")";
}
// The "Hidden" writes to these views, in order.
Lines Hidden(std::initializer_list<std::pair<const wchar_t*, int>> writes) {
    Lines lines;
    for (const auto& [object, hidden] : writes)
        lines.push_back(HiddenWrite(object, hidden));
    return lines;
}
std::wstring ApplyAllWrite(const std::wstring& viewName, int hidden) {
    return L"screen.IParameterAccess::SetParameter(\"ApplyAll:" + viewName + L"/Hidden\", VT_I4 " +
           std::to_wstring(hidden) + L")";
}

class ConfigureWindowTest : public PageTest {
protected:
    // The host's view (the first object) finds the help viewer and the screen manager
    // through its site; the window (the second object) has the views as its children.
    void SetUp() override {
        view.AddService(host.Create(L"help", {IID_IHelpViewer}));
        view.AddService(screen);
        window.SetChildren(&views);
    }

    // A view with a name and a "Hidden" parameter, made the collection's next item.
    hostsim::HostObject& AddView(const std::wstring& object, const std::wstring& name, int hidden,
                                 hostsim::HostObject* collection = nullptr) {
        hostsim::HostObject& added = host.Create(object, {IID_IHostNode, IID_IParameterAccess});
        added.SetNodeName(name);
        added.Parameters().Set(L"Hidden", hidden);
        (collection ? *collection : views).AddItem(added);
        return added;
    }
    // Views by name, as objects of their name in lower case.
    void AddViews(std::initializer_list<std::pair<std::wstring, int>> named) {
        for (const auto& [name, hidden] : named) {
            std::wstring object = name;
            for (wchar_t& c : object)
                c = towlower(c);
            AddView(object, name, hidden);
        }
    }
    // A new page on objects (else the view and the window), run through steps.
    void RunOn(std::initializer_list<hostsim::HostObject*> objects, std::initializer_list<Step> steps) {
        Use(CreatePage(CLSID_ConfigureWindowDlg, objects).Get(), steps);
    }
    void Run(std::initializer_list<Step> steps) { RunOn({&view, &window}, steps); }

    hostsim::HostObject& view = host.Create(L"view", {IID_IObjectSite});
    hostsim::HostObject& screen = host.Create(L"screen", {IID_IScreenManager, IID_IParameterAccess});
    hostsim::HostObject& window = host.Create(L"window", {IID_IHostNode});
    hostsim::HostObject& views = host.Create(L"views", {IID_IEnumUnknown});
};

TEST_F(ConfigureWindowTest, ListsEveryViewTickedWhenShownAndWritesEachOneOnOk) {
    AddViews({{L"Echogram", 0}, {L"Scope", 1}, {L"Track", 0}, {L"Depth", 0}, {L"Sonar", 0}});
    host.Find(L"track")->SetFault(L"IParameterAccess::GetParameter", Fault::Fail());
    host.Find(L"depth")->SetFault(L"IParameterAccess::GetParameter", Fault::WrongType(VT_R8));
    host.Find(L"sonar")->SetFault(L"IParameterAccess::GetParameter", Fault::Fail(S_FALSE));
    Run({Listed({L"[x] Echogram", L"[ ] Scope", L"[ ] Track", L"[ ] Depth", L"[ ] Sonar"}), Visible(IDC_APPLY_TO_ALL),
         Checked(IDC_APPLY_TO_ALL, false), Press(ID_HELP), Press(IDOK)});
    Lines expected = {L"help.IHelpViewer::ShowTopic(0, \"qz4_para_configure_window.html\")"};
    for (const std::wstring& write :
         Hidden({{L"echogram", 0}, {L"scope", 1}, {L"track", 1}, {L"depth", 1}, {L"sonar", 1}}))
        expected.push_back(write);
    EXPECT_EQ(expected, host.Lines()) << "every view is written, changed or not";
    EXPECT_EQ(frame::kParameterStatusPreset, host.Find(L"echogram")->LastStatusIn(L"IParameterAccess::SetParameter"));
    EXPECT_EQ(frame::kParameterStatusPreset, host.Find(L"sonar")->LastStatusIn(L"IParameterAccess::GetParameter"));
}

TEST_F(ConfigureWindowTest, TickingAViewSelectsItAndEnablesApplyWhichWritesAndDisablesItAgain) {
    AddViews({{L"Echogram", 0}, {L"Scope", 0}, {L"Track", 1}});
    // The tree selects its first view when it takes the focus; a selection change
    // enables Apply whoever makes it; a tick on the check box selects the view.
    // Ticking the selected view again changes no selection: Apply stays disabled
    // until another view is picked. A click anywhere in a row picks its view (the
    // tree selects whole rows) and ticks nothing.
    Run({Selected(L"Echogram"), Enabled(kApply), Press(kApply), Enabled(kApply, false),
         Wrote(Hidden({{L"echogram", 0}, {L"scope", 0}, {L"track", 1}})), Tick(L"Scope"),
         Selected(L"Scope"), Enabled(kApply), Listed({L"[x] Echogram", L"[ ] Scope", L"[ ] Track"}), Press(kApply),
         Enabled(kApply, false), Wrote(Hidden({{L"echogram", 0}, {L"scope", 1}, {L"track", 1}})), Tick(L"Scope"),
         Enabled(kApply, false), Step{[](HWND dialog) { ClickTreeItemRow(dialog, kTree, L"Track"); }},
         Selected(L"Track"), Enabled(kApply), Listed({L"[x] Echogram", L"[x] Scope", L"[ ] Track"}), Tick(L"Track"),
         Selected(L"Track"), Enabled(kApply), Press(IDCANCEL)});
    EXPECT_TRUE(host.Lines().empty()) << "Cancel writes nothing:\n" << host.Text();
    int hidden = -1;
    EXPECT_TRUE(frame::FromVariant(host.Find(L"scope")->Parameters().Get(L"Hidden").get(), hidden));
    EXPECT_EQ(1, hidden) << "Cancel keeps what Apply wrote";
}

TEST_F(ConfigureWindowTest, TicksFromTheKeyboardOrAnnouncedByTheTreeAreWrittenToo) {
    AddViews({{L"Echogram", 0}, {L"Scope", 1}, {L"Track", 1}});
    // The space bar ticks the selected view (the first, selected as the tree took the
    // focus). Windows' tree views announce a tick however it comes about
    // (accessibility tools, for one): as such a tree would.
    Run({Step{[](HWND dialog) {
             PressKey(dialog, kTree, VK_SPACE);
             HTREEITEM track = FindTreeItem(dialog, kTree, L"Track");
             TreeView_SetItemState(Tree(dialog), track, INDEXTOSTATEIMAGEMASK(2), TVIS_STATEIMAGEMASK);
             NMTVSTATEIMAGECHANGING changing{};
             changing.hdr = {Tree(dialog), kTree, static_cast<UINT>(NM_TVSTATEIMAGECHANGING)};
             changing.hti = track;
             changing.iOldStateImageIndex = 1;
             changing.iNewStateImageIndex = 2;
             SendMessageW(dialog, WM_NOTIFY, kTree, reinterpret_cast<LPARAM>(&changing));
         }},
         Listed({L"[ ] Echogram", L"[ ] Scope", L"[x] Track"}), Press(IDOK)});
    EXPECT_EQ(Hidden({{L"echogram", 1}, {L"scope", 1}, {L"track", 0}}), host.Lines());
}

TEST_F(ConfigureWindowTest, ADialogClosedWithoutOkOrCancelStillGivesBackEveryReference) {
    AddViews({{L"Echogram", 0}, {L"Scope", 1}});
    page = CreatePage(CLSID_ConfigureWindowDlg, {&view, &window});
    Use(page.Get(), {Tick(L"Scope"), Step{[&](HWND dialog) {
                         EXPECT_EQ(S_OK, page->Deactivate()) << "the host takes the page down from inside the dialog";
                         EXPECT_FALSE(IsWindow(dialog));
                     }}});
    EXPECT_EQ(0u, host.Find(L"echogram")->OutstandingReferences());
    EXPECT_EQ(0u, host.Find(L"scope")->OutstandingReferences());
    // The next run lists afresh.
    Use(page.Get(), {Listed({L"[x] Echogram", L"[ ] Scope"}), Press(IDOK)});
    EXPECT_EQ(Hidden({{L"echogram", 0}, {L"scope", 1}}), host.Lines());
}

TEST_F(ConfigureWindowTest, ApplyToAllSendsOneCommandPerViewByTheNameItHasWhenWritten) {
    AddViews({{L"Echogram", 0}, {L"Scope", 1}, {L"", 0}, {L"Track", 0}});
    host.Find(L"track")->SetFault(L"IHostNode::GetName", Fault::Fail().After(1));
    Run({Step{[&](HWND) { host.Find(L"echogram")->SetNodeName(L"Echogram 2"); }}, Press(IDC_APPLY_TO_ALL),
         Press(kApply),
         Listed({L"[x] Echogram", L"[ ] Scope", L"[x] ", L"[x] Track"}), Tick(L"Echogram"), Press(IDOK)});
    // A view that gives no name, or an empty one, when written is left out.
    EXPECT_EQ((Lines{ApplyAllWrite(L"Echogram 2", 0), ApplyAllWrite(L"Scope", 1), ApplyAllWrite(L"Echogram 2", 1),
                     ApplyAllWrite(L"Scope", 1)}),
              host.Lines());
    EXPECT_EQ(0, host.Find(L"scope")->Calls(L"IParameterAccess::SetParameter")) << "the views are not written";
    EXPECT_EQ(0, host.Find(L"track")->Calls(L"IParameterAccess::SetParameter"));
}

TEST_F(ConfigureWindowTest, ATk11HostHidesApplyToAllAndEveryWriteGoesToTheViews) {
    AddView(L"echogram", L"Echogram", 1);
    hostsim::HostObject& application = host.Create(L"app", {IID_IHostApplication});
    view.Offer(IID_IHostView).SetApplication(&application);
    for (const wchar_t* kind : {L"tk11", L"TK22"}) {
        application.SetString(L"AppName", kind);
        Run({Visible(IDC_APPLY_TO_ALL, kind[0] == L'T'), Press(IDOK)});
    }
    EXPECT_EQ(Hidden({{L"echogram", 1}, {L"echogram", 1}}), host.Lines());
}

TEST_F(ConfigureWindowTest, AHostCollectionListsTheObjectsThatAnswerIHostNode) {
    hostsim::HostObject& collection = host.Create(L"collection", {IID_IHostCollection});
    window.SetChildren(&collection);
    AddView(L"echogram", L"Echogram", 0, &collection);
    collection.AddItem(7);
    collection.AddItem(hostsim::Variant::Object(nullptr));
    collection.AddItem(host.Create(L"plain", {IID_IParameterAccess}));
    AddView(L"dispatch", L"Scope", 1, &collection);
    collection.AddDispatchItem(*host.Find(L"dispatch"));
    Run({Listed({L"[x] Echogram", L"[ ] Scope", L"[ ] Scope"}), Press(IDOK)});
    EXPECT_EQ(Hidden({{L"echogram", 0}, {L"dispatch", 1}, {L"dispatch", 1}}), host.Lines());
    EXPECT_EQ(0, host.Find(L"collection")->Calls(L"IEnumVARIANT::Reset"));
}

// Each way an enumerator can misbehave ends the walk where it happens, and whatever
// it handed out comes back.
TEST_F(ConfigureWindowTest, AMisbehavingEnumeratorEndsTheWalkWithoutALeak) {
    hostsim::HostObject& collection = host.Create(L"collection", {IID_IHostCollection});
    hostsim::HostObject& collectionWindow = host.Create(L"collectionWindow", {IID_IHostNode});
    collectionWindow.SetChildren(&collection);
    for (hostsim::HostObject* list : {&views, &collection}) {
        AddView(list->Name() + L"1", L"Echogram", 0, list);
        AddView(list->Name() + L"2", L"Scope", 0, list);
        AddView(list->Name() + L"3", L"Track", 0, list);
    }
    struct Case {
        const char* what;
        Fault fault;
        Lines collected;  // IHostCollection; IEnumUnknown lists the first view only
    };
    const Case cases[] = {
        {"S_OK with nothing fetched", Fault::Fetches(0, S_OK).After(1), {L"[x] Echogram"}},
        {"S_FALSE with one fetched", Fault::Fail(S_FALSE).After(1), {L"[x] Echogram"}},
        {"a failure half way", Fault::Fail(E_UNEXPECTED).After(1), {L"[x] Echogram"}},
        {"a null element", Fault::NullObject().After(1).Times(1), {L"[x] Echogram", L"[x] Track"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        views.SetFault(L"IEnumUnknown::Next", c.fault);
        collection.SetFault(L"IEnumVARIANT::Next", c.fault);
        Run({Listed({L"[x] Echogram"}), Press(IDCANCEL)});
        EXPECT_TRUE(host.AllReferencesReturned()) << host.OutstandingText();
        RunOn({&view, &collectionWindow}, {Listed(c.collected), Press(IDCANCEL)});
        EXPECT_TRUE(host.AllReferencesReturned()) << host.OutstandingText();
        views.ClearFaults();
        collection.ClearFaults();
    }
    EXPECT_TRUE(host.Lines().empty()) << host.Text();
}

// Every host operation of the page made to fail in turn: the page lists what it can
// and writes what it can.
TEST_F(ConfigureWindowTest, EachFailingHostOperationLeavesOutWhatItCouldNotGive) {
    AddViews({{L"Echogram", 0}, {L"Scope", 1}});
    hostsim::HostObject &echogram = *host.Find(L"echogram"), &scope = *host.Find(L"scope");
    const auto collectionOnly = [&] { views.Hide(IID_IEnumUnknown).Offer(IID_IHostCollection); };
    struct Case {
        const char* what;
        std::function<void()> fault;  // faults are cleared, interfaces offered again, afterwards
        Lines listed;
        Lines written;
    };
    const Lines all{L"[x] Echogram", L"[ ] Scope"}, bothWritten = Hidden({{L"echogram", 0}, {L"scope", 1}});
    const Case cases[] = {
        {"no IHostNode on the window", [&] { window.Hide(IID_IHostNode); }, {}, {}},
        {"GetChildren fails", [&] { window.SetFault(L"IHostNode::GetChildren", Fault::Fail()); }, {}, {}},
        {"GetChildren gives null", [&] { window.SetFault(L"IHostNode::GetChildren", Fault::NullObject()); }, {}, {}},
        {"children of neither kind", [&] { views.Hide(IID_IEnumUnknown); }, {}, {}},
        {"no IEnumUnknown: the host collection", collectionOnly, all, bothWritten},
        {"GetEnumerator fails",
         [&] { collectionOnly(), views.SetFault(L"IHostCollection::GetEnumerator", Fault::Fail()); }, {}, {}},
        {"GetEnumerator gives null",
         [&] { collectionOnly(), views.SetFault(L"IHostCollection::GetEnumerator", Fault::NullObject()); }, {}, {}},
        {"Reset fails", [&] { views.SetFault(L"IEnumUnknown::Reset", Fault::Fail()); }, all, bothWritten},
        {"GetName fails", [&] { echogram.SetFault(L"IHostNode::GetName", Fault::Fail()); }, {L"[x] ", L"[ ] Scope"},
         bothWritten},
        {"GetName gives null", [&] { scope.SetFault(L"IHostNode::GetName", Fault::NullObject()); },
         {L"[x] Echogram", L"[ ] "}, bothWritten},
        {"a view without IHostNode", [&] { scope.Hide(IID_IHostNode); }, {L"[x] Echogram", L"[ ] "}, bothWritten},
        {"a view without IParameterAccess", [&] { echogram.Hide(IID_IParameterAccess); },
         {L"[ ] Echogram", L"[ ] Scope"}, {HiddenWrite(L"scope", 1)}},
        {"GetParameter gives another type",
         [&] { echogram.SetFault(L"IParameterAccess::GetParameter", Fault::Returns(L"0")); },
         {L"[ ] Echogram", L"[ ] Scope"}, Hidden({{L"echogram", 1}, {L"scope", 1}})},
        {"SetParameter fails", [&] { echogram.SetFault(L"IParameterAccess::SetParameter", Fault::Fail()); }, all,
         bothWritten},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.fault();
        Run({Listed(c.listed), Press(IDOK)});
        EXPECT_EQ(c.written, TakeLines());
        window.Offer(IID_IHostNode);
        views.Offer(IID_IEnumUnknown).Hide(IID_IHostCollection);
        scope.Offer(IID_IHostNode);
        echogram.Offer(IID_IParameterAccess);
        for (hostsim::HostObject* object : host.Objects()) object->ClearFaults();
        // What the failed write left in the host is put back for the next case.
        echogram.Parameters().Set(L"Hidden", 0);
        scope.Parameters().Set(L"Hidden", 1);
    }
}

TEST_F(ConfigureWindowTest, APageWithoutAWindowOpensWithAnEmptyList) {
    // Nothing selected, nothing to apply; the last page is never given objects.
    AddViews({{L"Echogram", 0}});
    const ComPtr<IPropertyPage> pages[] = {CreatePage(CLSID_ConfigureWindowDlg, {&view}),
                                            CreatePage(CLSID_ConfigureWindowDlg, {&view, nullptr}),
                                            CreatePage(CLSID_ConfigureWindowDlg)};
    for (const ComPtr<IPropertyPage>& page : pages)
        Use(page.Get(), {Listed({}), Enabled(kApply, false), Press(IDC_APPLY_TO_ALL), Press(IDOK)});
    EXPECT_TRUE(host.Lines().empty()) << host.Text();
    EXPECT_EQ(0, window.Calls(L"QueryInterface"));
}

// The log lines reach a host logger only once a single target detection page of the
// same module has found one: a copy of the library is a module of its own.
TEST(ConfigureWindowLog, AnEmptyListAndAMissingScreenManagerAreLogged) {
    hostsim::Host host;
    hostsim::HostObject& logger = host.Create(L"logger", {IID_IHostLogger});
    hostsim::HostObject& view = host.Create(L"view", {IID_IObjectSite});
    view.AddService(logger);
    hostsim::HostObject& screenView = host.Create(L"screenView", {IID_IObjectSite});
    screenView.AddService(logger).AddService(host.Create(L"screen", {IID_IScreenManager, IID_IParameterAccess}));
    // With nothing listed Apply stays disabled: the command comes as a host would send it.
    const Step apply{[](HWND dialog) {
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kApply, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, kApply)));
    }};
    std::size_t mark = 0;
    WithLibraryCopy(L"TavrelConfigureLogCopy.dll", [&](TavrelLibrary& library) {
        const auto run = [&](hostsim::HostObject& first, std::initializer_list<Step> steps) {
            RunPage(library, CLSID_ConfigureWindowDlg, {&first}, [&](HWND dialog) { Do(dialog, steps); });
        };
        RunPage(library, CLSID_EchoTraceDialog, {&view}, [](HWND dialog) { Click(dialog, IDCANCEL); });
        mark = host.Lines().size();
        run(view, {Press(IDOK)});
        run(view, {apply, Press(IDCANCEL)});
        run(view, {Press(IDC_APPLY_TO_ALL), Press(IDOK)});
        run(screenView, {Press(IDC_APPLY_TO_ALL), apply, Press(IDCANCEL)});
    });
    auto logged = [](const wchar_t* message) {
        return L"logger.IHostLogger::LogMessage(\"" + std::wstring(message) + L"\", \"Tavrel\", 1, 0)";
    };
    const std::wstring noItems = logged(L"ConfigureWindowDlg: No items in list");
    const std::wstring noScreenManager = logged(L"ConfigureWindowDlg: No screen manager");
    EXPECT_EQ((Lines{noItems, noItems,            // OK: the write and the release
                     noItems, noItems,            // Apply, Cancel
                     noScreenManager, noItems,    // OK to all without a screen manager
                     noItems, noItems}),          // Apply to all, Cancel
              host.Journal().Since(mark));
    EXPECT_TRUE(host.AllReferencesReturned()) << host.OutstandingText();
}

}  // namespace
}  // namespace tavrel::test
