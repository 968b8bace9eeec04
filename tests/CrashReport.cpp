#include "CrashReport.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>

namespace tavrel::test {
namespace {

// The report is written straight to the standard error handle from buffers on the
// stack: the crash may have left the heap or a stream in a state that cannot be used.
void Print(const char* format, ...) {
    char line[512];
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    if (length <= 0) return;
    const DWORD size = length < static_cast<int>(sizeof line) ? static_cast<DWORD>(length) : sizeof line - 1;
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line, size, &written, nullptr);
}

const char* Describe(DWORD code) {
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION: return "access violation";
    case EXCEPTION_STACK_OVERFLOW: return "stack overflow";
    case EXCEPTION_ILLEGAL_INSTRUCTION: return "illegal instruction";
    case EXCEPTION_PRIV_INSTRUCTION: return "privileged instruction";
    case EXCEPTION_INT_DIVIDE_BY_ZERO: return "integer division by zero";
    case EXCEPTION_IN_PAGE_ERROR: return "in-page error";
    case EXCEPTION_BREAKPOINT: return "breakpoint";
    case 0xC0000374: return "heap corruption";
    case 0x20474343: return "C++ exception that nothing caught (GCC)";
    case 0xE06D7363: return "C++ exception that nothing caught (MSVC)";
    default: return "exception";
    }
}

// A module's file name without its folder, in UTF-8.
struct ModuleName {
    explicit ModuleName(HMODULE module) {
        wchar_t path[MAX_PATH] = {};
        const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
        const wchar_t* name = path;
        for (DWORD i = 0; i < length; ++i) {
            if (path[i] == L'\\' || path[i] == L'/') name = path + i + 1;
        }
        if (!WideCharToMultiByte(CP_UTF8, 0, name, -1, text, sizeof text, nullptr, nullptr)) text[0] = '\0';
    }
    char text[MAX_PATH * 3] = {};
};

// The module an address lies in, as "name+0xoffset"; false if it lies in none.
bool DescribeAddress(ULONG_PTR address, char* text, size_t size) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(address), &module)) {
        std::snprintf(text, size, "? (in no module)");
        return false;
    }
    std::snprintf(text, size, "%s+0x%llx", ModuleName(module).text,
                  static_cast<unsigned long long>(address - reinterpret_cast<ULONG_PTR>(module)));
    return true;
}

// Prints "#n 0x<address> module+0xoffset"; false if the address lies in no module.
bool PrintFrame(int number, ULONG_PTR address) {
    char where[MAX_PATH * 3 + 32];
    const bool inModule = DescribeAddress(address, where, sizeof where);
    Print("  #%-2d 0x%016llx %s\n", number, static_cast<unsigned long long>(address), where);
    return inModule;
}

#if defined(_M_X64) || defined(__x86_64__)
// Walks the crashing thread's stack from the exception context with the modules' unwind
// data, the way the system's own exception dispatch does. Frames after the first show
// return addresses (just after the call).
void PrintBacktrace(const CONTEXT& crashed) {
    constexpr int kMaxFrames = 64;
    // The report runs on the crashing thread's stack, below the crashed frames: a frame
    // worth reading lies between here and the top of the stack's reservation.
    MEMORY_BASIC_INFORMATION region{};
    const auto stackLow = reinterpret_cast<DWORD64>(&region);
    VirtualQuery(&region, &region, sizeof region);
    const PVOID reservation = region.AllocationBase;
    DWORD64 stackHigh = reinterpret_cast<DWORD64>(region.BaseAddress) + region.RegionSize;
    while (VirtualQuery(reinterpret_cast<LPCVOID>(stackHigh), &region, sizeof region) &&
           region.AllocationBase == reservation)
        stackHigh += region.RegionSize;
    const auto onStack = [stackLow, stackHigh](DWORD64 address) {
        return address >= stackLow && address + sizeof(DWORD64) <= stackHigh;
    };
    CONTEXT context = crashed;
    Print("backtrace of the crashing thread:\n");
    for (int frame = 0; frame < kMaxFrames; ++frame) {
        // Frame 0 may lie in no module (a call through a bad pointer): the return address
        // on top of the stack still leads on.
        if (!PrintFrame(frame, context.Rip) && frame > 0) return;
        const DWORD64 previousRsp = context.Rsp;
        DWORD64 imageBase = 0;
        if (PRUNTIME_FUNCTION function = RtlLookupFunctionEntry(context.Rip, &imageBase, nullptr)) {
            void* handlerData = nullptr;
            DWORD64 establisherFrame = 0;
            RtlVirtualUnwind(UNW_FLAG_NHANDLER, imageBase, context.Rip, function, &context, &handlerData,
                             &establisherFrame, nullptr);
        } else {
            // No unwind data (a leaf function or no code at all): the return address is on top.
            if (!onStack(context.Rsp)) return;
            context.Rip = *reinterpret_cast<const DWORD64*>(context.Rsp);
            context.Rsp += sizeof(DWORD64);
        }
        if (context.Rip == 0 || !onStack(context.Rsp) || context.Rsp <= previousRsp) return;
    }
    Print("  ... (more frames not shown)\n");
}
#else
void PrintBacktrace(const CONTEXT&) { Print("(no backtrace on this architecture)\n"); }
#endif

LONG WINAPI ReportAndExit(EXCEPTION_POINTERS* exception) {
    const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
    const DWORD code = record.ExceptionCode;
    // A crashed Windows process ends with the exception code. Wine hands its Unix parent
    // the low byte only, so a code ending in 00 would read as success there.
    const UINT exitCode = (code & 0xFF) != 0 ? code : (code | 1);

    // One report: a second crashing thread waits for the first to end the process, and a
    // crash inside the report itself ends it at once.
    static volatile LONG reportingThread = 0;
    const LONG self = static_cast<LONG>(GetCurrentThreadId());
    const LONG owner = InterlockedCompareExchange(&reportingThread, self, 0);
    if (owner == self) TerminateProcess(GetCurrentProcess(), exitCode);
    if (owner != 0) {
        Sleep(10000);
        TerminateProcess(GetCurrentProcess(), exitCode);
    }

    // What the test framework printed so far comes first.
    std::fflush(stdout);
    Print("\n*** %s crashed: exception 0x%08lX (%s)", ModuleName(nullptr).text, static_cast<unsigned long>(code),
          Describe(code));
    if (code == EXCEPTION_ACCESS_VIOLATION && record.NumberParameters >= 2) {
        const ULONG_PTR kind = record.ExceptionInformation[0];
        Print(", %s 0x%016llx", kind == 0 ? "reading" : kind == 1 ? "writing" : "executing",
              static_cast<unsigned long long>(record.ExceptionInformation[1]));
    }
    Print("\n");
    char where[MAX_PATH * 3 + 32];
    DescribeAddress(reinterpret_cast<ULONG_PTR>(record.ExceptionAddress), where, sizeof where);
    Print("at 0x%016llx %s, thread %lu\n",
          static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(record.ExceptionAddress)), where,
          static_cast<unsigned long>(GetCurrentThreadId()));
    if (const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info())
        Print("while running %s.%s\n", test->test_suite_name(), test->name());
    PrintBacktrace(*exception->ContextRecord);
    Print("*** ending the test program with exit code 0x%08X\n", exitCode);
    TerminateProcess(GetCurrentProcess(), exitCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

void ReportCrashesAndExit() { SetUnhandledExceptionFilter(ReportAndExit); }

}  // namespace tavrel::test
