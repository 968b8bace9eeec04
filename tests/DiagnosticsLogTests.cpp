// The diagnostics log: formatting, cutting and fault survival on the log itself, and
// the module-wide logger as the library's pages give it to the host.
#include "DiagnosticsLog.h"
#include "HostInterfaces.h"
#include "HostSim.h"
#include "PageTest.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

std::wstring LogLine(const std::wstring& message, long level) {
    return L"logger.IHostLogger::LogMessage(\"" + message + L"\", \"Tavrel\", " + std::to_wstring(level) + L", 0)";
}

ComPtr<IHostLogger> LoggerOf(hostsim::HostObject& object) {
    ComPtr<IHostLogger> logger;
    object.QueryInterface(IID_IHostLogger, reinterpret_cast<void**>(logger.GetAddressOf()));
    return logger;
}

}  // namespace

// The logger is module-wide and kept once set, so the whole life of a module is one test.
TEST(DiagnosticsLog, FormatsCutsAndSurvivesFaultsThenLetsGoOfTheLogger) {
    hostsim::Host host;
    hostsim::HostObject& loggerObject = host.Create(L"logger", {IID_IHostLogger});
    hostsim::HostObject& laterLogger = host.Create(L"later", {IID_IHostLogger});
    tavrel::InitializeDiagnosticsLog();

    tavrel::LogWarningMessage(L"dropped: %d", 1);
    EXPECT_TRUE(host.Lines().empty()) << "no logger yet, so nothing may reach the host";
    EXPECT_FALSE(tavrel::HasHostLogger());

    tavrel::SetHostLogger(LoggerOf(loggerObject).Get());
    tavrel::SetHostLogger(LoggerOf(laterLogger).Get());  // the first logger stays
    EXPECT_EQ(0u, laterLogger.OutstandingReferences());

    tavrel::LogDebugMessage(L"RangeSurfaceDialog failed to retrieve max ping: %ls", L"Local/ProcessingMgr/1");
    tavrel::LogWarningMessage(L"ColorScaleDialog failed to set parameters");
    const std::wstring longText(3000, L'x');
    tavrel::LogDebugMessage(L"%ls", longText.c_str());
    const auto* badPointer = reinterpret_cast<const wchar_t*>(static_cast<uintptr_t>(1));
    tavrel::LogDebugMessage(L"bad %ls", badPointer);
    tavrel::LogWarningMessage(L"bad %ls", badPointer);
    tavrel::LogDebugMessage(L"after the faults %d", 3);

    const std::vector<std::wstring> expected = {
        LogLine(L"RangeSurfaceDialog failed to retrieve max ping: Local/ProcessingMgr/1", 1),
        LogLine(L"ColorScaleDialog failed to set parameters", 16),
        LogLine(std::wstring(2047, L'x'), 1),
        LogLine(L"LogDebugMessage - unexpected exception, message to long", 1),
        LogLine(L"LogWarningMessage - unexpected exception, message to long", 16),
        LogLine(L"after the faults 3", 1),
    };
    EXPECT_EQ(expected, host.Lines());
    EXPECT_EQ(1u, loggerObject.OutstandingReferences()) << "the log keeps its logger";

    tavrel::ShutdownDiagnosticsLog();
    EXPECT_TRUE(host.AllReferencesReturned()) << host.OutstandingText();
    tavrel::LogDebugMessage(L"after unload");
    EXPECT_EQ(expected.size(), host.Lines().size());
}

namespace tavrel::test {
namespace {

// Hands a page its objects the way a host using IFormControl does; VT_I4 is refused.
HRESULT GiveFormObjectsOfTheWrongKind(IPropertyPage* page) {
    ComPtr<IFormControl> form;
    if (FAILED(page->QueryInterface(IID_IFormControl, reinterpret_cast<void**>(form.GetAddressOf()))))
        return E_NOINTERFACE;
    VARIANT notAnArray;
    VariantInit(&notAnArray);
    notAnArray.vt = VT_I4;
    return form->SetFormObjects(notAnArray);
}

}  // namespace

// Through the DLL as a host uses it. The logger is module-wide and kept until the
// module unloads, so this test loads a copy of the library as a module of its own.
TEST(DiagnosticsLogThroughTheLibrary, LinesReachTheHostOnceASingleTargetPageFoundItsLogger) {
    const std::wstring copyPath = TavrelLibrary::CopyBesideTheProgram(L"TavrelLogCopy.dll");
    ASSERT_FALSE(copyPath.empty());

    hostsim::Host host;
    hostsim::HostObject& logger = host.Create(L"logger", {IID_IHostLogger});
    hostsim::HostObject& view = host.Create(L"view", {IID_IObjectSite});
    view.AddService(logger);
    hostsim::HostObject& laterLogger = host.Create(L"laterLogger", {IID_IHostLogger});
    hostsim::HostObject& laterView = host.Create(L"laterView", {IID_IObjectSite});
    laterView.AddService(laterLogger);
    {
        TavrelLibrary library(copyPath.c_str());
        ASSERT_TRUE(library.Module());
        const CLSID* formPages[] = {&CLSID_BottomDetectorDialog, &CLSID_EchoTraceDialog, &CLSID_RangeSurfaceDialog,
                                    &CLSID_HorizontalDistanceDialog};
        auto refuseObjectsOnEveryFormPage = [&] {
            for (const CLSID* clsid : formPages)
                EXPECT_EQ(E_INVALIDARG, GiveFormObjectsOfTheWrongKind(library.CreatePage(*clsid).Get()));
        };
        refuseObjectsOnEveryFormPage();
        // Other pages on the same view do not take its logger.
        RunPage(library, CLSID_HorizontalDistanceDialog, {&view}, [](HWND dialog) { Click(dialog, IDCANCEL); });
        refuseObjectsOnEveryFormPage();
        EXPECT_TRUE(host.Lines().empty()) << "no logger found yet: every line is dropped\n" << host.Text();

        GiveLoggerTo(library, view);
        GiveLoggerTo(library, laterView);
        refuseObjectsOnEveryFormPage();
        EXPECT_EQ((std::vector<std::wstring>{
                      LogLine(L"CBottomDetectorDialog:Invalid input", 1),
                      LogLine(L"CEchoTraceDialog:Invalid input", 1),
                      LogLine(L"error", 1),
                  }),
                  host.Lines())
            << "the first logger found serves every page; the horizontal axis page logs nothing";
        EXPECT_EQ(0u, laterLogger.OutstandingReferences()) << "a later page never replaces the logger";
        EXPECT_EQ(S_OK, library.CanUnloadNow());
        EXPECT_EQ(1u, logger.OutstandingReferences()) << "the module keeps its logger";
        EXPECT_TRUE(library.Unload());
    }
    EXPECT_TRUE(host.AllReferencesReturned()) << "unloading releases the logger\n" << host.OutstandingText();
    ::DeleteFileW(copyPath.c_str());
}

}  // namespace tavrel::test
