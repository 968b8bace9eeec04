#include "BenchSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace tavrel::bench {
namespace {

std::function<void(HWND dialog)> g_onIdle;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX && g_onIdle) {
        auto onIdle = std::move(g_onIdle);
        g_onIdle = nullptr;
        onIdle(reinterpret_cast<HWND>(lParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

double Seconds() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / frequency;
}

double Best(const std::vector<double>& values) { return *std::min_element(values.begin(), values.end()); }

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void Fail(const wchar_t* program, const std::wstring& message) {
    std::fwprintf(stderr, L"%ls: %ls\n", program, message.c_str());
    std::exit(2);
}

HWND CreateActiveOwner(const wchar_t* className) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = OwnerProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);
    HWND owner = CreateWindowExW(0, className, L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480, nullptr,
                                 nullptr, windowClass.hInstance, nullptr);
    SetActiveWindow(owner);
    return owner;
}

void OnNextIdle(std::function<void(HWND dialog)> action) { g_onIdle = std::move(action); }

}  // namespace tavrel::bench
