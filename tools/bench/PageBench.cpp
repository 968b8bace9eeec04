// Every page of Tavrel.dll against the platform's own floor, how fast it takes host
// parameter reports, and what many openings leave behind. Run under Wine (or on
// Windows) from the folder of Tavrel.dll:
//
//   PageBench [--rounds <n>] [--cycles <n>] [--examples <folder>] [<page>...]
//                                                   default: 15 rounds, 2000 cycles
//
// For each page, on the host its example describes (examples/<page's>.host):
//   floor    DialogBoxParam of the page's own template with an empty dialog procedure,
//            from the call until the dialog goes idle (its modal loop's first
//            WM_ENTERIDLE), best of the rounds;
//   open     the page created, given its objects and activated, until its dialog goes
//            idle, best of the rounds; floor and page run back to back in each round;
//   ratio    best open / best floor; r.med the median of the rounds' own ratios;
//   notify   microseconds per OnParameterChanged, 10,000 made on the page's
//            subscription while its dialog is open (pages that subscribe);
//   closed   the same after the dialog closed: the page's own share, as it then only
//            stores the value (a page that shows reports pays for its controls while
//            open);
//   growth   private bytes (KiB), USER and GDI objects after the cycles (create, give
//            objects, activate, Cancel, release), against a warm-up of 50 cycles.
// Figures are wall-clock times: run it on an otherwise idle machine.
#include "BenchSupport.h"
#include "HostDescription.h"
#include "HostSim.h"
#include "TavrelClasses.h"
#include "resource.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <ocidl.h>
#include <psapi.h>
#include <wrl/client.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;
using tavrel::bench::Best;
using tavrel::bench::Median;
using tavrel::bench::OnNextIdle;
using tavrel::bench::Seconds;

namespace {

[[noreturn]] void Fail(const std::wstring& message) { tavrel::bench::Fail(L"PageBench", message); }

struct BenchPage {
    const wchar_t* name;
    const CLSID* clsid;
    UINT templateId;
    const wchar_t* host;
};

const BenchPage kPages[] = {
    {L"RangeSurfaceDialog", &CLSID_RangeSurfaceDialog, IDD_RANGE_SURFACE, L"range-surface.host"},
    {L"HorizontalDistanceDialog", &CLSID_HorizontalDistanceDialog, IDD_HORIZONTAL_DISTANCE, L"horizontal-axis.host"},
    {L"TsDistributionDlg", &CLSID_TsDistributionDlg, IDD_TS_DISTRIBUTION, L"ts-distribution.host"},
    {L"BottomDetectorDialog", &CLSID_BottomDetectorDialog, IDD_BOTTOM_DETECTOR, L"bottom-detection.host"},
    {L"EchoTraceDialog", &CLSID_EchoTraceDialog, IDD_ECHO_TRACE, L"echo-trace.host"},
    {L"ColorScaleDialog", &CLSID_ColorScaleDialog, IDD_COLOR_SCALE, L"color-scale.host"},
    {L"ConfigureWindowDlg", &CLSID_ConfigureWindowDlg, IDD_CONFIGURE_WINDOW, L"configure-window.host"},
    {L"RangeScrollDlg", &CLSID_RangeScrollDlg, IDD_RANGE_SCROLL, L"range-scroll.host"},
    {L"ScopeDialog", &CLSID_ScopeDialog, IDD_SCOPE, L"scope.host"},
};

INT_PTR CALLBACK EmptyDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// From the call until the dialog is idle; then Cancel is pressed (a page closes its
// dialog on it), or, for the floor's empty dialog procedure, the dialog ended.
enum class Close { ByCancel, ByEndDialog };

double TimeToIdle(const std::function<void()>& open, Close close = Close::ByCancel) {
    double idle = 0;
    OnNextIdle([&](HWND dialog) {
        idle = Seconds();
        if (close == Close::ByCancel)
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        else
            EndDialog(dialog, IDCANCEL);
    });
    const double start = Seconds();
    open();
    if (idle == 0)
        Fail(L"a dialog never went idle");
    return idle - start;
}

// The example's host and the page's objects in it.
struct Scene {
    hostsim::Host host;
    std::vector<IUnknown*> objects;
};

void BuildScene(const std::wstring& examples, const BenchPage& page, Scene& scene) {
    tavrel::pagehost::HostDescription description;
    std::wstring error;
    if (!tavrel::pagehost::LoadHostDescription(examples + L"\\" + page.host, scene.host, &description, &error))
        Fail(error);
    for (hostsim::HostObject* object : description.pageObjects)
        scene.objects.push_back(object ? object->Identity() : nullptr);
}

ComPtr<IPropertyPage> CreatePage(IClassFactory* factory, Scene& scene) {
    ComPtr<IPropertyPage> page;
    if (FAILED(factory->CreateInstance(nullptr, IID_IPropertyPage, reinterpret_cast<void**>(page.GetAddressOf()))))
        Fail(L"the class object created no page");
    IUnknown* none = nullptr;
    page->SetObjects(static_cast<ULONG>(scene.objects.size()), scene.objects.empty() ? &none : scene.objects.data());
    return page;
}

// Microseconds per report on the page's newest subscription, 10,000 made while its
// dialog is open and 10,000 more after it closed (when the page only stores the
// value); zeros when the page subscribes to nothing.
struct ReportTimes {
    double open = 0;
    double closed = 0;
};

double TimeReportsTo(const hostsim::Subscription& subscription) {
    ComPtr<IParameterSubscriber2> subscriber;
    subscription.subscriber.As(&subscriber);
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_R8;
    constexpr int kReports = 10000;
    const double start = Seconds();
    for (int i = 0; i < kReports; ++i) {
        value.dblVal = 500.0 + i % 100;
        subscriber->OnParameterChanged(subscription.cookie, value, 0, 0, 0);
    }
    return (Seconds() - start) / kReports * 1e6;
}

const hostsim::Subscription* NewestSubscription(Scene& scene) {
    for (hostsim::HostObject* object : scene.host.Objects()) {
        if (!object->Subscriptions().empty())
            return &object->Subscriptions().back();
    }
    return nullptr;
}

ReportTimes TimeReports(IClassFactory* factory, Scene& scene) {
    ComPtr<IPropertyPage> page = CreatePage(factory, scene);
    ReportTimes times;
    OnNextIdle([&](HWND dialog) {
        if (const hostsim::Subscription* subscription = NewestSubscription(scene))
            times.open = TimeReportsTo(*subscription);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    const RECT rect{0, 0, 100, 100};
    page->Activate(nullptr, &rect, TRUE);
    if (const hostsim::Subscription* subscription = NewestSubscription(scene))
        times.closed = TimeReportsTo(*subscription);
    scene.host.ReleaseSubscribers();
    return times;
}

struct Usage {
    double privateKiB = 0;
    long userObjects = 0;
    long gdiObjects = 0;
};

Usage CurrentUsage() {
    PROCESS_MEMORY_COUNTERS_EX memory{};
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
    return {static_cast<double>(memory.PrivateUsage) / 1024.0,
            static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)),
            static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))};
}

void Cycle(IClassFactory* factory, Scene& scene) {
    ComPtr<IPropertyPage> page = CreatePage(factory, scene);
    const RECT rect{0, 0, 100, 100};
    TimeToIdle([&] { page->Activate(nullptr, &rect, TRUE); });
    page.Reset();
    // What the host keeps of each run (its subscribers, its journal) is the host's.
    scene.host.ReleaseSubscribers();
    scene.host.Journal().Clear();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int rounds = 15;
    int cycles = 2000;
    std::wstring examples = L"" TAVREL_EXAMPLES_DIR;
    std::vector<std::wstring> chosen;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if ((argument == L"--rounds" || argument == L"--cycles" || argument == L"--examples") && i + 1 < argc) {
            const std::wstring value = argv[++i];
            if (argument == L"--examples")
                examples = value;
            else
                (argument == L"--rounds" ? rounds : cycles) = std::max(1, _wtoi(value.c_str()));
        } else if (argument.size() > 1 && argument[0] == L'-') {
            Fail(L"usage: PageBench [--rounds <n>] [--cycles <n>] [--examples <folder>] [<page>...]");
        } else {
            chosen.push_back(argument);
        }
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        Fail(L"no COM apartment");
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    HMODULE library = LoadLibraryW(L"Tavrel.dll");
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClassObject =
        library ? reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(library, "DllGetClassObject")))
                : nullptr;
    if (!getClassObject)
        Fail(L"Tavrel.dll or its DllGetClassObject cannot be found");
    tavrel::bench::CreateActiveOwner(L"PageBenchOwner");

    std::wprintf(L"each page on its example host: open best of %d rounds (ms), growth after %d cycles\n", rounds,
                 cycles);
    std::wprintf(L"%-26ls %7ls %7ls %6ls %6ls %10ls %8ls %9ls %5ls %5ls\n", L"page", L"floor", L"open", L"ratio",
                 L"r.med", L"notify", L"closed", L"KiB", L"USER", L"GDI");
    for (const BenchPage& page : kPages) {
        if (!chosen.empty() && std::find(chosen.begin(), chosen.end(), page.name) == chosen.end())
            continue;
        ComPtr<IClassFactory> factory;
        if (FAILED(getClassObject(*page.clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf()))))
            Fail(std::wstring(L"no class object for ") + page.name);
        Scene scene;
        BuildScene(examples, page, scene);

        std::vector<double> floors, opens, ratios;
        for (int round = 0; round < rounds; ++round) {
            const double floor = TimeToIdle(
                [&] {
                    DialogBoxParamW(library, MAKEINTRESOURCEW(page.templateId), GetActiveWindow(), EmptyDialogProc, 0);
                },
                Close::ByEndDialog);
            ComPtr<IPropertyPage> opened = CreatePage(factory.Get(), scene);
            const RECT rect{0, 0, 100, 100};
            const double open = TimeToIdle([&] { opened->Activate(nullptr, &rect, TRUE); });
            opened.Reset();
            scene.host.ReleaseSubscribers();
            scene.host.Journal().Clear();
            floors.push_back(floor);
            opens.push_back(open);
            ratios.push_back(open / floor);
        }
        const ReportTimes reports = TimeReports(factory.Get(), scene);

        for (int i = 0; i < 50; ++i)
            Cycle(factory.Get(), scene);
        const Usage before = CurrentUsage();
        for (int i = 0; i < cycles; ++i)
            Cycle(factory.Get(), scene);
        const Usage after = CurrentUsage();

        wchar_t notify[16] = L"-";
        wchar_t closed[16] = L"-";
        if (reports.open > 0) {
            swprintf(notify, 16, L"%.2f us", reports.open);
            swprintf(closed, 16, L"%.2f us", reports.closed);
        }
        std::wprintf(L"%-26ls %7.2f %7.2f %6.2f %6.2f %10ls %8ls %+9.0f %+5ld %+5ld\n", page.name,
                     Best(floors) * 1e3, Best(opens) * 1e3, Best(opens) / Best(floors), Median(ratios), notify, closed,
                     after.privateKiB - before.privateKiB, after.userObjects - before.userObjects,
                     after.gdiObjects - before.gdiObjects);
        std::fflush(stdout);
        if (!scene.host.AllReferencesReturned())
            Fail(std::wstring(page.name) + L" kept host references: " + scene.host.OutstandingText());
    }
    CoUninitialize();
    return 0;
}
