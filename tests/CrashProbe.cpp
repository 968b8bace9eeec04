// A test program that crashes on purpose. It is no CTest entry: scripts/test.sh runs it
// after the tests and checks that the bench turns a crash into a quick, readable failure.
//   CrashProbe.exe --gtest_filter=CrashProbe.InAControlHandler
//       a control handler follows a null pointer inside a driven modal dialog, as a
//       broken page would: TestMain's report names the exception, the module and the
//       frames, and the program ends at once.
//   CrashProbe.exe --gtest_filter=CrashProbe.WithoutTheReport
//       the same kind of crash left to Wine itself: the bench's environment keeps
//       Wine's debugger away, so the program still ends at once.
#include "DialogDriver.h"
#include "InMemoryDialog.h"

#include <windows.h>

#include <gtest/gtest.h>

using namespace tavrel::test;

namespace {

constexpr int IDC_CRASH = 100;

// volatile: the compiler may not drop a write through it.
int* volatile g_nowhere = nullptr;

INT_PTR CALLBACK CrashOnClick(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message != WM_COMMAND) return FALSE;
    if (LOWORD(wParam) == IDC_CRASH) *g_nowhere = 1;
    if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
    return TRUE;
}

TEST(CrashProbe, InAControlHandler) {
    DialogTemplate dialog(L"Crash probe", 120, 60);
    dialog.Add(L"Button", L"Crash", IDC_CRASH, BS_PUSHBUTTON | WS_TABSTOP, 10, 10, 50, 14);
    const bool ran = RunDialog(
        [&] { DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.Get(), nullptr, CrashOnClick, 0); },
        [](HWND shown) { Click(shown, IDC_CRASH); });
    ADD_FAILURE() << "the program is still running after the crash (body ran: " << ran << ")";
}

TEST(CrashProbe, WithoutTheReport) {
    SetUnhandledExceptionFilter(nullptr);
    *g_nowhere = 1;
    ADD_FAILURE() << "the program is still running after the crash";
}

}  // namespace
