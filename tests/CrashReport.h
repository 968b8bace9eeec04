// A test program that crashes says at once where, and ends.
#pragma once

namespace tavrel::test {

// Installs a process-wide unhandled-exception filter. When an exception is raised that
// nothing handles (an access violation in a page, say), it prints to stderr the
// exception code, the address and the module it lies in (name and offset), the test
// that was running and, on x64, a backtrace of the crashing thread as module+offset
// frames; then it ends the process with the exception code as its exit code (the low
// byte made non-zero), so the test run records a failure instead of waiting for a
// debugger. (GoogleTest built with MSVC catches structured exceptions in a test body
// itself; --gtest_catch_exceptions=0 leaves them to this report.)
void ReportCrashesAndExit();

}  // namespace tavrel::test
