// How fast the configure window page opens and writes on large windows, against the
// floor of the same work done without the page. Run under Wine (or on Windows) from
// the folder of Tavrel.dll:
//
//   ConfigureWindowBench [--rounds <n>] [<views>...]      default: 1000 10000, 15 rounds
//
// For each window size it prints the best of the rounds (the one least disturbed by
// other processes; the figures are wall-clock times):
//   floor    the same dialog template opened with a dialog procedure of the bench's own
//            that fills the tree with as many check-box items directly, in the fastest
//            way (layout once, after the last item): from DialogBox until the dialog is
//            up and idle (its modal loop's first WM_ENTERIDLE to the owner);
//   open     the page opened on a window with that many views, measured the same way;
//   ratio    open / floor, and "r.med" the median of each round's ratio (the floor and
//            the page open back to back in a round, so a busy moment slows both);
//   host     the host calls the page makes to list the views, made directly: how much of
//            "open" is the simulated host;
//   OK       OK pressed on the open page until its handler returns (every view written,
//            every reference given back), and per view;
//   close    from there until Activate returns (the dialog and its tree destroyed:
//            the tree's own work, as "fclose", the floor's from EndDialog until
//            DialogBox returns, shows).
// A round that does not write every view once, or leaves a reference behind, stops the
// bench with exit status 2.
#include "BenchSupport.h"
#include "HostSim.h"
#include "TavrelClasses.h"
#include "resource.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

using tavrel::bench::Best;
using tavrel::bench::Median;
using tavrel::bench::OnNextIdle;
using tavrel::bench::Seconds;

[[noreturn]] void Fail(const std::wstring& message) { tavrel::bench::Fail(L"ConfigureWindowBench", message); }

// ---- The floor: the page's template filled directly.

INT_PTR CALLBACK FloorProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) return FALSE;
    const int items = static_cast<int>(lParam);
    HWND tree = GetDlgItem(dialog, IDC_CW_VIEW_TREE);
    const LONG style = GetWindowLongW(tree, GWL_STYLE);
    SetWindowLongW(tree, GWL_STYLE, style & ~TVS_CHECKBOXES);
    SetWindowLongW(tree, GWL_STYLE, style);
    SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < items; ++i) {
        wchar_t text[32];
        swprintf(text, 32, L"View %d", i);
        TVINSERTSTRUCTW insert{};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_STATE | TVIF_PARAM;
        insert.item.pszText = text;
        insert.item.stateMask = TVIS_STATEIMAGEMASK;
        insert.item.state = INDEXTOSTATEIMAGEMASK(i % 3 ? 2 : 1);
        insert.item.lParam = i;
        TreeView_InsertItem(tree, &insert);
    }
    SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
    return TRUE;
}

struct FloorRun {
    double open = 0;
    double close = 0;
};

FloorRun RunFloor(HMODULE library, int items) {
    double idle = 0, ended = 0;
    OnNextIdle([&](HWND dialog) {
        idle = Seconds();
        EndDialog(dialog, IDCANCEL);
        ended = Seconds();
    });
    const double start = Seconds();
    DialogBoxParamW(library, MAKEINTRESOURCEW(IDD_CONFIGURE_WINDOW), GetActiveWindow(), FloorProc, items);
    const double closed = Seconds();
    if (idle == 0) Fail(L"the floor dialog never went idle");
    return {idle - start, closed - ended};
}

// ---- The host: a view that finds the screen manager, a window with the views.

struct Scene {
    hostsim::Host host;
    hostsim::HostObject* view = nullptr;
    hostsim::HostObject* window = nullptr;
    hostsim::HostObject* views = nullptr;
};

void BuildScene(Scene& scene, int views) {
    hostsim::Host& host = scene.host;
    scene.view = &host.Create(L"view", {IID_IObjectSite});
    scene.view->AddService(host.Create(L"help", {IID_IHelpViewer}));
    scene.view->AddService(host.Create(L"screen", {IID_IScreenManager, IID_IParameterAccess}));
    scene.window = &host.Create(L"window", {IID_IHostNode});
    scene.views = &host.Create(L"views", {IID_IEnumUnknown});
    scene.window->SetChildren(scene.views);
    for (int i = 0; i < views; ++i) {
        hostsim::HostObject& listed = host.Create(L"v" + std::to_wstring(i), {IID_IHostNode, IID_IParameterAccess});
        listed.SetNodeName(L"View " + std::to_wstring(i));
        listed.Parameters().Set(L"Hidden", i % 3 ? 0 : 1);
        scene.views->AddItem(listed);
    }
}

// The calls the page makes to list the views, made directly.
double ListThroughTheHost(Scene& scene) {
    const double start = Seconds();
    ComPtr<IEnumUnknown> views;
    scene.views->QueryInterface(IID_IEnumUnknown, reinterpret_cast<void**>(views.GetAddressOf()));
    views->Reset();
    BSTR hidden = SysAllocString(L"Hidden");
    for (;;) {
        ComPtr<IUnknown> view;
        ULONG fetched = 0;
        if (views->Next(1, view.GetAddressOf(), &fetched) != S_OK || fetched != 1) break;
        ComPtr<IHostNode> node;
        ComPtr<IParameterAccess> access;
        BSTR name = nullptr;
        VARIANT value;
        VariantInit(&value);
        long status = 4;
        if (SUCCEEDED(view.As(&node))) node->GetName(&name);
        if (SUCCEEDED(view.As(&access))) access->GetParameter(hidden, &value, &status);
        SysFreeString(name);
        VariantClear(&value);
    }
    SysFreeString(hidden);
    return Seconds() - start;
}

// ---- The page

struct PageRun {
    double open = 0;
    double ok = 0;
    double close = 0;
};

PageRun RunPage(IClassFactory& factory, Scene& scene, int views) {
    ComPtr<IPropertyPage> page;
    if (FAILED(factory.CreateInstance(nullptr, IID_IPropertyPage, reinterpret_cast<void**>(page.GetAddressOf()))))
        Fail(L"no configure window page");
    IUnknown* objects[] = {scene.view->Identity(), scene.window->Identity()};
    page->SetObjects(2, objects);
    scene.host.Journal().Clear();

    PageRun run;
    double idle = 0, clicked = 0;
    OnNextIdle([&](HWND dialog) {
        idle = Seconds();
        SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        clicked = Seconds();
    });
    const RECT rect{0, 0, 100, 100};
    const double start = Seconds();
    page->Activate(nullptr, &rect, TRUE);
    const double closed = Seconds();
    if (idle == 0) Fail(L"the page never went idle");
    run.open = idle - start;
    run.ok = clicked - idle;
    run.close = closed - clicked;

    page.Reset();
    if (scene.host.Lines().size() != static_cast<std::size_t>(views))
        Fail(L"OK wrote " + std::to_wstring(scene.host.Lines().size()) + L" views of " + std::to_wstring(views));
    if (!scene.host.AllReferencesReturned()) Fail(L"references left:\n" + scene.host.OutstandingText());
    return run;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int rounds = 15;
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) {
        if (std::wcscmp(argv[i], L"--rounds") == 0 && i + 1 < argc) {
            rounds = std::max(1, _wtoi(argv[++i]));
        } else if (_wtoi(argv[i]) > 0) {
            sizes.push_back(_wtoi(argv[i]));
        } else {
            std::fwprintf(stderr, L"usage: ConfigureWindowBench [--rounds <n>] [<views>...]\n");
            return 1;
        }
    }
    if (sizes.empty()) sizes = {1000, 10000};

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    HMODULE library = LoadLibraryW(L"Tavrel.dll");
    if (!library) Fail(L"Tavrel.dll not found beside the bench");
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClassObject =
        reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(library, "DllGetClassObject")));
    ComPtr<IClassFactory> factory;
    if (!getClassObject ||
        FAILED(getClassObject(CLSID_ConfigureWindowDlg, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf()))))
        Fail(L"no class object for the configure window page");
    tavrel::bench::CreateActiveOwner(L"ConfigureWindowBenchOwner");

    std::wprintf(L"configure window page, best of %d rounds (ms; us per view)\n", rounds);
    std::wprintf(L"%7ls %8ls %8ls %6ls %6ls %7ls %8ls %8ls %8ls %8ls %8ls\n", L"views", L"floor", L"open", L"ratio",
                 L"r.med", L"host", L"OK", L"OK/view", L"close", L"cl/view", L"fclose");
    for (int views : sizes) {
        Scene scene;
        BuildScene(scene, views);
        std::vector<double> floors, floorCloses, opens, ratios, hosts, oks, closes;
        for (int round = 0; round < rounds; ++round) {
            const FloorRun floorRun = RunFloor(library, views);
            floors.push_back(floorRun.open);
            floorCloses.push_back(floorRun.close);
            const PageRun run = RunPage(*factory.Get(), scene, views);
            opens.push_back(run.open);
            ratios.push_back(run.open / floorRun.open);
            oks.push_back(run.ok);
            closes.push_back(run.close);
            hosts.push_back(ListThroughTheHost(scene));
        }
        const double floor = Best(floors), open = Best(opens), ok = Best(oks), close = Best(closes);
        std::wprintf(L"%7d %8.1f %8.1f %6.2f %6.2f %7.1f %8.1f %8.2f %8.1f %8.2f %8.1f\n", views, floor * 1e3,
                     open * 1e3, open / floor, Median(ratios), Best(hosts) * 1e3, ok * 1e3, ok * 1e6 / views,
                     close * 1e3, close * 1e6 / views, Best(floorCloses) * 1e3);
    }
    factory.Reset();
    CoUninitialize();
    return 0;
}
