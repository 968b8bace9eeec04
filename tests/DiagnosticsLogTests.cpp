// The diagnostics log on its own: formatting, cutting, fault survival and the
// module-wide logger.
#include "DiagnosticsLog.h"
#include "HostInterfaces.h"
#include "HostSim.h"

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
