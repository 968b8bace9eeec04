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

using Lines = std::vector<std::wstring>;

HWND Tree(HWND dialog) { return GetDlgItem(dialog, IDC_CW_VIEW_TREE); }

// The items as the user sees them, in order: "[x] Echogram" ticked, "[ ] Scope" not.
Lines ListedViews(HWND dialog) {
    Lines listed;
    for (HTREEITEM item = TreeView_GetRoot(Tree(dialog)); item; item = TreeView_GetNextSibling(Tree(dialog), item))
        listed.push_back((IsTreeItemChecked(dialog, IDC_CW_VIEW_TREE, item) ? L"[x] " : L"[ ] ") +
                         GetTreeItemText(dialog, IDC_CW_VIEW_TREE, item));
    return listed;
}

std::wstring SelectedView(HWND dialog) {
    return GetTreeItemText(dialog, IDC_CW_VIEW_TREE, TreeView_GetSelection(Tree(dialog)));
}

std::wstring HiddenWrite(const std::wstring& object, int hidden) {
    return object + L".IParameterAccess::SetParameter(\"Hidden\", VT_I4 " + std::to_wstring(hidden) + L")";
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

    ComPtr<IPropertyPage> CreateConfigurePage(std::initializer_list<hostsim::HostObject*> objects) {
        ComPtr<IPropertyPage> page = CreatePage(CLSID_ConfigureWindowDlg);
        EXPECT_EQ(S_OK, GiveObjects(page.Get(), objects));
        return page;
    }
    ComPtr<IPropertyPage> CreateConfigurePage() { return CreateConfigurePage({&view, &window}); }

    // Opens the page on the window, notes what it lists and cancels.
    Lines ListOnce() {
        Lines listed;
        ActivateAndRun(CreateConfigurePage().Get(), [&](HWND dialog) {
            listed = ListedViews(dialog);
            Click(dialog, IDCANCEL);
        });
        return listed;
    }

    hostsim::HostObject& view = host.Create(L"view", {IID_IObjectSite});
    hostsim::HostObject& screen = host.Create(L"screen", {IID_IScreenManager, IID_IParameterAccess});
    hostsim::HostObject& window = host.Create(L"window", {IID_IHostNode});
    hostsim::HostObject& views = host.Create(L"views", {IID_IEnumUnknown});
};

TEST_F(ConfigureWindowTest, ListsEveryViewTickedWhenShownAndWritesEachOneOnOk) {
    AddView(L"echogram", L"Echogram", 0);
    AddView(L"scope", L"Scope", 1);
    AddView(L"track", L"Track", 0).SetFault(L"IParameterAccess::GetParameter", Fault::Fail());
    AddView(L"depth", L"Depth", 0).SetFault(L"IParameterAccess::GetParameter", Fault::WrongType(VT_R8));
    AddView(L"sonar", L"Sonar", 0).SetFault(L"IParameterAccess::GetParameter", Fault::Fail(S_FALSE));
    ComPtr<IPropertyPage> page = CreateConfigurePage();
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_EQ((Lines{L"[x] Echogram", L"[ ] Scope", L"[ ] Track", L"[ ] Depth", L"[ ] Sonar"}), ListedViews(dialog));
        EXPECT_TRUE(IsVisible(dialog, IDC_APPLY_TO_ALL));
        EXPECT_FALSE(IsChecked(dialog, IDC_APPLY_TO_ALL));
        Click(dialog, 57670);
        Click(dialog, IDOK);
    });
    EXPECT_EQ((Lines{L"help.IHelpViewer::ShowTopic(0, \"qz4_para_configure_window.html\")", HiddenWrite(L"echogram", 0),
                     HiddenWrite(L"scope", 1), HiddenWrite(L"track", 1), HiddenWrite(L"depth", 1),
                     HiddenWrite(L"sonar", 1)}),
              host.Lines())
        << "every view is written, changed or not";
    EXPECT_EQ(frame::kParameterStatusPreset, host.Find(L"echogram")->LastStatusIn(L"IParameterAccess::SetParameter"));
    EXPECT_EQ(frame::kParameterStatusPreset, host.Find(L"sonar")->LastStatusIn(L"IParameterAccess::GetParameter"));
}

TEST_F(ConfigureWindowTest, TickingAViewSelectsItAndEnablesApplyWhichWritesAndDisablesItAgain) {
    AddView(L"echogram", L"Echogram", 0);
    hostsim::HostObject& scope = AddView(L"scope", L"Scope", 0);
    AddView(L"track", L"Track", 1);
    ComPtr<IPropertyPage> page = CreateConfigurePage();
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        // The tree selects its first view when it takes the focus; a selection change
        // enables Apply whoever makes it.
        EXPECT_EQ(L"Echogram", SelectedView(dialog));
        EXPECT_TRUE(IsEnabled(dialog, IDC_APPLY_SMALL));
        Click(dialog, IDC_APPLY_SMALL);
        EXPECT_FALSE(IsEnabled(dialog, IDC_APPLY_SMALL));
        EXPECT_EQ((Lines{HiddenWrite(L"echogram", 0), HiddenWrite(L"scope", 0), HiddenWrite(L"track", 1)}),
                  host.Lines());

        TickTreeItem(dialog, IDC_CW_VIEW_TREE, L"Scope");
        EXPECT_EQ(L"Scope", SelectedView(dialog)) << "a tick on the check box selects the view";
        EXPECT_TRUE(IsEnabled(dialog, IDC_APPLY_SMALL));
        EXPECT_EQ((Lines{L"[x] Echogram", L"[ ] Scope", L"[ ] Track"}), ListedViews(dialog));
        Click(dialog, IDC_APPLY_SMALL);
        EXPECT_FALSE(IsEnabled(dialog, IDC_APPLY_SMALL));
        EXPECT_EQ(HiddenWrite(L"scope", 1), host.Lines()[4]);

        // Ticking the selected view again changes no selection: Apply stays disabled
        // until another view is picked.
        TickTreeItem(dialog, IDC_CW_VIEW_TREE, L"Scope");
        EXPECT_FALSE(IsEnabled(dialog, IDC_APPLY_SMALL));
        // A click anywhere in a row picks its view (the tree selects whole rows) and
        // ticks nothing.
        ClickTreeItemRow(dialog, IDC_CW_VIEW_TREE, L"Track");
        EXPECT_EQ(L"Track", SelectedView(dialog));
        EXPECT_TRUE(IsEnabled(dialog, IDC_APPLY_SMALL));
        EXPECT_EQ((Lines{L"[x] Echogram", L"[x] Scope", L"[ ] Track"}), ListedViews(dialog));
        TickTreeItem(dialog, IDC_CW_VIEW_TREE, L"Track");
        EXPECT_EQ(L"Track", SelectedView(dialog));
        EXPECT_TRUE(IsEnabled(dialog, IDC_APPLY_SMALL));
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(6u, host.Lines().size()) << "Cancel writes nothing:\n" << host.Text();
    int hidden = -1;
    EXPECT_TRUE(frame::FromVariant(scope.Parameters().Get(L"Hidden").get(), hidden));
    EXPECT_EQ(1, hidden) << "Cancel keeps what Apply wrote";
}

TEST_F(ConfigureWindowTest, TicksFromTheKeyboardOrAnnouncedByTheTreeAreWrittenToo) {
    AddView(L"echogram", L"Echogram", 0);
    AddView(L"scope", L"Scope", 1);
    AddView(L"track", L"Track", 1);
    ComPtr<IPropertyPage> page = CreateConfigurePage();
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        // The space bar ticks the selected view (the first, selected as the tree took
        // the focus).
        PressKey(dialog, IDC_CW_VIEW_TREE, VK_SPACE);
        // Windows' tree views announce a tick however it comes about (accessibility
        // tools, for one): as such a tree would.
        HTREEITEM track = FindTreeItem(dialog, IDC_CW_VIEW_TREE, L"Track");
        TreeView_SetItemState(Tree(dialog), track, INDEXTOSTATEIMAGEMASK(2), TVIS_STATEIMAGEMASK);
        NMTVSTATEIMAGECHANGING changing{};
        changing.hdr = {Tree(dialog), IDC_CW_VIEW_TREE, static_cast<UINT>(NM_TVSTATEIMAGECHANGING)};
        changing.hti = track;
        changing.iOldStateImageIndex = 1;
        changing.iNewStateImageIndex = 2;
        SendMessageW(dialog, WM_NOTIFY, IDC_CW_VIEW_TREE, reinterpret_cast<LPARAM>(&changing));
        EXPECT_EQ((Lines{L"[ ] Echogram", L"[ ] Scope", L"[x] Track"}), ListedViews(dialog));
        Click(dialog, IDOK);
    });
    EXPECT_EQ((Lines{HiddenWrite(L"echogram", 1), HiddenWrite(L"scope", 1), HiddenWrite(L"track", 0)}), host.Lines());
}

TEST_F(ConfigureWindowTest, ADialogClosedWithoutOkOrCancelStillGivesBackEveryReference) {
    AddView(L"echogram", L"Echogram", 0);
    AddView(L"scope", L"Scope", 1);
    ComPtr<IPropertyPage> page = CreateConfigurePage();
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        TickTreeItem(dialog, IDC_CW_VIEW_TREE, L"Scope");
        EXPECT_EQ(S_OK, page->Deactivate()) << "the host takes the page down from inside the dialog";
        EXPECT_FALSE(IsWindow(dialog));
    });
    EXPECT_EQ(0u, host.Find(L"echogram")->OutstandingReferences());
    EXPECT_EQ(0u, host.Find(L"scope")->OutstandingReferences());
    // The next run lists afresh.
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_EQ((Lines{L"[x] Echogram", L"[ ] Scope"}), ListedViews(dialog));
        Click(dialog, IDOK);
    });
    EXPECT_EQ((Lines{HiddenWrite(L"echogram", 0), HiddenWrite(L"scope", 1)}), host.Lines());
}

TEST_F(ConfigureWindowTest, ApplyToAllSendsOneCommandPerViewByTheNameItHasWhenWritten) {
    hostsim::HostObject& echogram = AddView(L"echogram", L"Echogram", 0);
    AddView(L"scope", L"Scope", 1);
    AddView(L"nameless", L"", 0);
    AddView(L"track", L"Track", 0).SetFault(L"IHostNode::GetName", Fault::Fail().After(1));
    ComPtr<IPropertyPage> page = CreateConfigurePage();
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        echogram.SetNodeName(L"Echogram 2");
        Click(dialog, IDC_APPLY_TO_ALL);
        Click(dialog, IDC_APPLY_SMALL);
        EXPECT_EQ((Lines{L"[x] Echogram", L"[ ] Scope", L"[x] ", L"[x] Track"}), ListedViews(dialog));
        TickTreeItem(dialog, IDC_CW_VIEW_TREE, L"Echogram");
        Click(dialog, IDOK);
    });
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
        bool applyToAllShown = true;
        ActivateAndRun(CreateConfigurePage().Get(), [&](HWND dialog) {
            applyToAllShown = IsVisible(dialog, IDC_APPLY_TO_ALL);
            Click(dialog, IDOK);
        });
        EXPECT_EQ(std::wstring(kind) == L"TK22", applyToAllShown) << kind;
    }
    EXPECT_EQ((Lines{HiddenWrite(L"echogram", 1), HiddenWrite(L"echogram", 1)}), host.Lines());
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
    ComPtr<IPropertyPage> page = CreateConfigurePage();
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        EXPECT_EQ((Lines{L"[x] Echogram", L"[ ] Scope", L"[ ] Scope"}), ListedViews(dialog));
        Click(dialog, IDOK);
    });
    EXPECT_EQ((Lines{HiddenWrite(L"echogram", 0), HiddenWrite(L"dispatch", 1), HiddenWrite(L"dispatch", 1)}),
              host.Lines());
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
        Lines enumerated;  // IEnumUnknown
        Lines collected;   // IHostCollection
    };
    const Lines first{L"[x] Echogram"};
    const Case cases[] = {
        {"S_OK with nothing fetched", Fault::Fetches(0, S_OK).After(1), first, first},
        {"S_FALSE with one fetched", Fault::Fail(S_FALSE).After(1), first, first},
        {"a failure half way", Fault::Fail(E_UNEXPECTED).After(1), first, first},
        {"a null element", Fault::NullObject().After(1).Times(1), first, {L"[x] Echogram", L"[x] Track"}},
    };
    for (const Case& c : cases) {
        views.SetFault(L"IEnumUnknown::Next", c.fault);
        collection.SetFault(L"IEnumVARIANT::Next", c.fault);
        EXPECT_EQ(c.enumerated, ListOnce()) << c.what << " from IEnumUnknown";
        EXPECT_TRUE(host.AllReferencesReturned()) << c.what << "\n" << host.OutstandingText();
        ActivateAndRun(CreateConfigurePage({&view, &collectionWindow}).Get(), [&](HWND dialog) {
            EXPECT_EQ(c.collected, ListedViews(dialog)) << c.what << " from IEnumVARIANT";
            Click(dialog, IDCANCEL);
        });
        EXPECT_TRUE(host.AllReferencesReturned()) << c.what << "\n" << host.OutstandingText();
        views.ClearFaults();
        collection.ClearFaults();
    }
    EXPECT_TRUE(host.Lines().empty()) << host.Text();
}

// Every host operation of the page made to fail in turn: the page lists what it can,
// writes what it can and gives back every reference.
TEST_F(ConfigureWindowTest, EachFailingHostOperationLeavesOutWhatItCouldNotGive) {
    hostsim::HostObject& echogram = AddView(L"echogram", L"Echogram", 0);
    hostsim::HostObject& scope = AddView(L"scope", L"Scope", 1);
    struct Case {
        const char* what;
        std::function<void()> fault;
        Lines listed;
        Lines written;
        std::function<void()> undo = [] {};  // faults are cleared anyway
    };
    const Lines all{L"[x] Echogram", L"[ ] Scope"};
    const Lines bothWritten{HiddenWrite(L"echogram", 0), HiddenWrite(L"scope", 1)};
    const Case cases[] = {
        {"no IHostNode on the window", [&] { window.Hide(IID_IHostNode); }, {}, {},
         [&] { window.Offer(IID_IHostNode); }},
        {"GetChildren fails", [&] { window.SetFault(L"IHostNode::GetChildren", Fault::Fail()); }, {}, {}},
        {"GetChildren gives null", [&] { window.SetFault(L"IHostNode::GetChildren", Fault::NullObject()); }, {}, {}},
        {"children of neither kind", [&] { views.Hide(IID_IEnumUnknown); }, {}, {},
         [&] { views.Offer(IID_IEnumUnknown); }},
        {"no IEnumUnknown: the host collection", [&] { views.Hide(IID_IEnumUnknown).Offer(IID_IHostCollection); }, all,
         bothWritten, [&] { views.Offer(IID_IEnumUnknown).Hide(IID_IHostCollection); }},
        {"GetEnumerator fails",
         [&] {
             views.Hide(IID_IEnumUnknown).Offer(IID_IHostCollection);
             views.SetFault(L"IHostCollection::GetEnumerator", Fault::Fail());
         },
         {}, {}, [&] { views.Offer(IID_IEnumUnknown).Hide(IID_IHostCollection); }},
        {"GetEnumerator gives null",
         [&] {
             views.Hide(IID_IEnumUnknown).Offer(IID_IHostCollection);
             views.SetFault(L"IHostCollection::GetEnumerator", Fault::NullObject());
         },
         {}, {}, [&] { views.Offer(IID_IEnumUnknown).Hide(IID_IHostCollection); }},
        {"Reset fails", [&] { views.SetFault(L"IEnumUnknown::Reset", Fault::Fail()); }, all, bothWritten},
        {"GetName fails", [&] { echogram.SetFault(L"IHostNode::GetName", Fault::Fail()); }, {L"[x] ", L"[ ] Scope"},
         bothWritten},
        {"GetName gives null", [&] { scope.SetFault(L"IHostNode::GetName", Fault::NullObject()); },
         {L"[x] Echogram", L"[ ] "}, bothWritten},
        {"a view without IHostNode", [&] { scope.Hide(IID_IHostNode); }, {L"[x] Echogram", L"[ ] "}, bothWritten,
         [&] { scope.Offer(IID_IHostNode); }},
        {"a view without IParameterAccess", [&] { echogram.Hide(IID_IParameterAccess); }, {L"[ ] Echogram", L"[ ] Scope"},
         {HiddenWrite(L"scope", 1)}, [&] { echogram.Offer(IID_IParameterAccess); }},
        {"GetParameter gives another type",
         [&] { echogram.SetFault(L"IParameterAccess::GetParameter", Fault::Returns(L"0")); }, {L"[ ] Echogram", L"[ ] Scope"},
         {HiddenWrite(L"echogram", 1), HiddenWrite(L"scope", 1)}},
        {"SetParameter fails", [&] { echogram.SetFault(L"IParameterAccess::SetParameter", Fault::Fail()); }, all,
         bothWritten},
    };
    for (const Case& c : cases) {
        c.fault();
        Lines listed;
        const std::size_t mark = host.Lines().size();
        ActivateAndRun(CreateConfigurePage().Get(), [&](HWND dialog) {
            listed = ListedViews(dialog);
            Click(dialog, IDOK);
        });
        EXPECT_EQ(c.listed, listed) << c.what;
        EXPECT_EQ(c.written, host.Journal().Since(mark)) << c.what;
        EXPECT_TRUE(host.AllReferencesReturned()) << c.what << "\n" << host.OutstandingText();
        c.undo();
        for (hostsim::HostObject* object : host.Objects()) object->ClearFaults();
        // What the failed write left in the host is put back for the next case.
        echogram.Parameters().Set(L"Hidden", 0);
        scope.Parameters().Set(L"Hidden", 1);
    }
}

TEST_F(ConfigureWindowTest, APageWithoutAWindowOpensWithAnEmptyList) {
    AddView(L"echogram", L"Echogram", 0);
    const ComPtr<IPropertyPage> pages[] = {CreateConfigurePage({&view}), CreateConfigurePage({&view, nullptr}),
                                            CreatePage(CLSID_ConfigureWindowDlg)};  // never given objects
    for (const ComPtr<IPropertyPage>& page : pages) {
        ActivateAndRun(page.Get(), [&](HWND dialog) {
            EXPECT_EQ(Lines{}, ListedViews(dialog));
            EXPECT_FALSE(IsEnabled(dialog, IDC_APPLY_SMALL)) << "nothing selected, nothing to apply";
            Click(dialog, IDC_APPLY_TO_ALL);
            Click(dialog, IDOK);
        });
    }
    EXPECT_TRUE(host.Lines().empty()) << host.Text();
    EXPECT_EQ(0, window.Calls(L"QueryInterface"));
}

TEST_F(ConfigureWindowTest, TenThousandViewsAreListedAndWrittenInOrder) {
    constexpr int kViews = 10000;
    Lines expectedWrites;
    for (int i = 0; i < kViews; ++i) {
        AddView(L"v" + std::to_wstring(i), L"View " + std::to_wstring(i), i % 3 == 0 ? 1 : 0);
        expectedWrites.push_back(HiddenWrite(L"v" + std::to_wstring(i), i % 3 == 0 ? 1 : 0));
    }
    ComPtr<IPropertyPage> page = CreateConfigurePage();
    ActivateAndRun(page.Get(), [&](HWND dialog) {
        const Lines listed = ListedViews(dialog);
        ASSERT_EQ(static_cast<std::size_t>(kViews), listed.size());
        EXPECT_EQ(L"[ ] View 0", listed.front());
        EXPECT_EQ(L"[x] View 9998", listed[9998]);
        EXPECT_EQ(L"[ ] View 9999", listed.back());
        Click(dialog, IDOK);
    });
    EXPECT_EQ(expectedWrites, host.Lines());
}

// The log lines reach a host logger only once a single target detection page of the
// same module has found one: a copy of the library is a module of its own.
TEST(ConfigureWindowLog, AnEmptyListAndAMissingScreenManagerAreLogged) {
    const std::wstring copyPath = TavrelLibrary::CopyBesideTheProgram(L"TavrelConfigureLogCopy.dll");
    ASSERT_FALSE(copyPath.empty());

    hostsim::Host host;
    hostsim::HostObject& logger = host.Create(L"logger", {IID_IHostLogger});
    hostsim::HostObject& view = host.Create(L"view", {IID_IObjectSite});
    view.AddService(logger);
    hostsim::HostObject& screen = host.Create(L"screen", {IID_IScreenManager, IID_IParameterAccess});
    hostsim::HostObject& screenView = host.Create(L"screenView", {IID_IObjectSite});
    screenView.AddService(logger).AddService(screen);
    {
        TavrelLibrary library(copyPath.c_str());
        ASSERT_TRUE(library.Module());
        auto run = [&](REFCLSID clsid, hostsim::HostObject& first, const std::function<void(HWND)>& body) {
            RunPage(library, clsid, first, body);
        };
        run(CLSID_EchoTraceDialog, view, [](HWND dialog) { Click(dialog, IDCANCEL); });
        const std::size_t mark = host.Lines().size();
        run(CLSID_ConfigureWindowDlg, view, [](HWND dialog) { Click(dialog, IDOK); });
        // With nothing listed Apply stays disabled: the command comes as a host would send it.
        auto apply = [](HWND dialog) {
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_APPLY_SMALL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_APPLY_SMALL)));
        };
        run(CLSID_ConfigureWindowDlg, view, [&](HWND dialog) {
            apply(dialog);
            Click(dialog, IDCANCEL);
        });
        run(CLSID_ConfigureWindowDlg, view, [](HWND dialog) {
            Click(dialog, IDC_APPLY_TO_ALL);
            Click(dialog, IDOK);
        });
        run(CLSID_ConfigureWindowDlg, screenView, [&](HWND dialog) {
            Click(dialog, IDC_APPLY_TO_ALL);
            apply(dialog);
            Click(dialog, IDCANCEL);
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
        EXPECT_TRUE(library.Unload());
    }
    EXPECT_TRUE(host.AllReferencesReturned()) << host.OutstandingText();
    ::DeleteFileW(copyPath.c_str());
}

}  // namespace
}  // namespace tavrel::test
