// What the benchmarks share: a clock, the best and the median of a series, and an
// owner window whose dialogs tell the bench when they have gone idle (the modal loop's
// first WM_ENTERIDLE: the dialog is up, painted and waiting for the user).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace tavrel::bench {

// Seconds on the performance counter.
double Seconds();
double Best(const std::vector<double>& values);
double Median(std::vector<double> values);

// Prints "<program>: <message>" and ends the bench with exit status 2.
[[noreturn]] void Fail(const wchar_t* program, const std::wstring& message);

// A visible, active top-level window that owns the dialogs the bench opens.
HWND CreateActiveOwner(const wchar_t* className);
// Runs once, with the dialog, when the next dialog owned by the owner goes idle.
void OnNextIdle(std::function<void(HWND dialog)> action);

}  // namespace tavrel::bench
