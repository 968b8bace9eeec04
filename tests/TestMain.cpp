// Main of every test program: a crash reported at once with where it happened, a
// single-threaded COM apartment, as a host's UI thread has, the common control classes
// the pages' dialogs use, and the dialog driver's failures raised as GoogleTest failures.
#include "CrashReport.h"
#include "DialogDriver.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    tavrel::test::ReportCrashesAndExit();
    ::testing::InitGoogleTest(&argc, argv);
    // A driver failure fails the running test (EXPECT_NONFATAL_FAILURE can catch it); a
    // body stopped by a failed ASSERT has already said why, so the driver adds nothing.
    tavrel::driver::SetFailureReporter([](const std::string& message) { ADD_FAILURE() << message; });
    tavrel::driver::SetFatalFailureCheck([] { return ::testing::Test::HasFatalFailure(); });

    const HRESULT initialized = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(initialized)) {
        std::fprintf(stderr, "CoInitializeEx failed: 0x%08lx\n", static_cast<unsigned long>(initialized));
        return 1;
    }
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_USEREX_CLASSES;
    if (!InitCommonControlsEx(&controls)) {
        std::fprintf(stderr, "InitCommonControlsEx failed\n");
        CoUninitialize();
        return 1;
    }

    const int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
