// The pages' diagnostics: failures the user does not see go to the host's log.
// The library keeps no log of its own; without a host logger a message is dropped.
#pragma once

#include <windows.h>

struct IHostLogger;
struct IUnknown;

namespace tavrel {

constexpr long kLogLevelDebug = 1;
constexpr long kLogLevelWarning = 16;
constexpr size_t kLogMessageCapacity = 2048;  // at most 2047 characters of text

// printf-style wide formats ("%ls" for wide strings). Never fail towards the caller.
void LogDebugMessage(const wchar_t* format, ...);
void LogWarningMessage(const wchar_t* format, ...);

// The host logger is module-wide: the first one handed over is kept for the
// module's lifetime; later ones are ignored.
void SetHostLogger(IHostLogger* logger);
bool HasHostLogger();
// While the log has no host logger: the IHostLogger found from start becomes it.
void AdoptHostLogger(IUnknown* start);

// Module load and unload: the source name "Tavrel" and the logger reference.
void InitializeDiagnosticsLog();
void ShutdownDiagnosticsLog();

}  // namespace tavrel
