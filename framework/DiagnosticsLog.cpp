#include "DiagnosticsLog.h"

#include "ComResource.h"
#include "FaultGuard.h"
#include "HostInterfaces.h"
#include "HostLookup.h"

#include <wrl/client.h>
#include <strsafe.h>
#include <cstdarg>
#include <string>

namespace tavrel {
namespace {

Microsoft::WRL::ComPtr<IHostLogger> g_hostLogger;
std::wstring g_sourceName;

struct FormatJob {
    wchar_t* buffer;
    const wchar_t* format;
    va_list* arguments;
    HRESULT result;
};

void FormatInto(void* context) {
    auto* job = static_cast<FormatJob*>(context);
    job->result = StringCchVPrintfW(job->buffer, kLogMessageCapacity, job->format, *job->arguments);
}

void HandToHost(const wchar_t* message, long level) {
    if (!g_hostLogger)
        return;
    UniqueBstr text = MakeBstr(message);
    UniqueBstr source = MakeBstr(g_sourceName);
    g_hostLogger->LogMessage(text.get(), source.get(), level, 0);
}

void FormatAndLog(long level, const wchar_t* faultText, const wchar_t* format, va_list arguments) {
    if (!format)
        return;
    wchar_t buffer[kLogMessageCapacity] = {};
    va_list copy;
    va_copy(copy, arguments);
    FormatJob job{buffer, format, &copy, E_FAIL};
    bool completed = RunGuardedAgainstAccessViolation(FormatInto, &job);
    va_end(copy);

    if (!completed) {
        HandToHost(faultText, level);
        return;
    }
    // A text that did not fit comes back cut to its first 2047 characters.
    if (SUCCEEDED(job.result) || job.result == STRSAFE_E_INSUFFICIENT_BUFFER)
        HandToHost(buffer, level);
}

}  // namespace

void LogDebugMessage(const wchar_t* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    FormatAndLog(kLogLevelDebug, L"LogDebugMessage - unexpected exception, message to long", format, arguments);
    va_end(arguments);
}

void LogWarningMessage(const wchar_t* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    FormatAndLog(kLogLevelWarning, L"LogWarningMessage - unexpected exception, message to long", format, arguments);
    va_end(arguments);
}

void SetHostLogger(IHostLogger* logger) {
    if (!g_hostLogger)
        g_hostLogger = logger;
}

bool HasHostLogger() { return g_hostLogger != nullptr; }

void AdoptHostLogger(IUnknown* start) {
    if (g_hostLogger)
        return;
    Microsoft::WRL::ComPtr<IHostLogger> logger;
    LocateHostInterface(start, logger);
    SetHostLogger(logger.Get());
}

void InitializeDiagnosticsLog() { g_sourceName = L"Tavrel"; }

void ShutdownDiagnosticsLog() {
    g_hostLogger.Reset();
    g_sourceName.clear();
    g_sourceName.shrink_to_fit();
}

}  // namespace tavrel
