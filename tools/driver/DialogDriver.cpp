#include "DialogDriver.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <sstream>
#include <thread>
#include <utility>

namespace tavrel::driver {
namespace {

constexpr UINT kRetryMs = 10;
constexpr DWORD kWatchdogGraceMs = 10000;
constexpr int kMaxPumpedMessages = 10000;

// ---- Failures: reported through the installed hooks (one set per process; the driver
// runs on the user-interface thread only).

void PrintToStderr(const std::string& message) {
    std::fprintf(stderr, "dialog driver: %s\n", message.c_str());
    std::fflush(stderr);
}

FailureReporter& Reporter() {
    static FailureReporter reporter = PrintToStderr;
    return reporter;
}

FatalFailureCheck& FatalCheck() {
    static FatalFailureCheck check;
    return check;
}

bool FatalFailureSeen() { return FatalCheck() && FatalCheck()(); }

// Collects one failure message with << and hands it to the reporter when the statement
// ends: Fail() << "no control with id " << id;
class Fail {
public:
    Fail() = default;
    Fail(const Fail&) = delete;
    Fail& operator=(const Fail&) = delete;
    ~Fail() {
        // A reporter must not throw; if one does, the failure is printed instead.
        try {
            Reporter()(m_text.str());
        } catch (...) {
            PrintToStderr(m_text.str());
        }
    }
    template <class T>
    Fail& operator<<(const T& value) {
        m_text << value;
        return *this;
    }

private:
    std::ostringstream m_text;
};

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), result.data(), size, nullptr,
                        nullptr);
    return result;
}

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

bool HasClass(HWND window, const wchar_t* className) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return lstrcmpiW(name, className) == 0;
}

bool IsDialogWindow(HWND window) { return HasClass(window, L"#32770"); }

LONG Style(HWND window) { return GetWindowLongW(window, GWL_STYLE); }

// A modal dialog that has ended is hidden until its loop destroys it.
bool IsOpen(HWND dialog) { return IsWindow(dialog) && (Style(dialog) & WS_VISIBLE) != 0; }

std::string Describe(HWND dialog) { return "dialog \"" + Utf8(WindowText(dialog)) + "\""; }

struct ControlSearch {
    int id;
    HWND found;
};

// Window enumeration callbacks are named functions: a lambda has the wrong calling
// convention on 32-bit Windows.
BOOL CALLBACK MatchControlId(HWND child, LPARAM parameter) {
    auto* search = reinterpret_cast<ControlSearch*>(parameter);
    if (GetDlgCtrlID(child) != search->id) return TRUE;
    search->found = child;
    return FALSE;
}

HWND FindControl(HWND dialog, int id) {
    if (!IsWindow(dialog)) return nullptr;
    if (HWND direct = GetDlgItem(dialog, id)) return direct;
    ControlSearch search{id, nullptr};
    // Controls of a dialog nested in this one (a page inside a frame).
    EnumChildWindows(dialog, MatchControlId, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Finds the thread's top-most enabled, visible dialog (windows come top first).
BOOL CALLBACK MatchActiveDialog(HWND window, LPARAM parameter) {
    if (!IsDialogWindow(window) || !IsWindowVisible(window) || !IsWindowEnabled(window)) return TRUE;
    *reinterpret_cast<HWND*>(parameter) = window;
    return FALSE;
}

// The control a user could act on, or nullptr after recording why not.
HWND Reachable(HWND dialog, int id, const char* action, const wchar_t* className, const char* kind) {
    HWND control = Control(dialog, id);
    if (!control) return nullptr;
    if (className && !HasClass(control, className)) {
        Fail() << action << ": control " << id << " in " << Describe(dialog) << " is not " << kind;
        return nullptr;
    }
    if (!IsWindowEnabled(dialog)) {
        Fail() << action << ": " << Describe(dialog) << " is disabled (is another modal window open?)";
        return nullptr;
    }
    if (!(Style(control) & WS_VISIBLE)) {
        Fail() << action << ": control " << id << " in " << Describe(dialog) << " is hidden";
        return nullptr;
    }
    if (!IsWindowEnabled(control)) {
        Fail() << action << ": control " << id << " in " << Describe(dialog) << " is disabled";
        return nullptr;
    }
    return control;
}

// Moves the focus as Tab or a mnemonic does; for an edit this also selects its text.
void FocusLikeTab(HWND control) {
    if (GetFocus() != control) SendMessageW(GetParent(control), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

LRESULT Notify(HWND parent, HWND from, UINT code) {
    NMHDR header{};
    header.hwndFrom = from;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(from));
    header.code = code;
    return SendMessageW(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

// ---- RunDialog bookkeeping (per thread; runs nest)

struct Run {
    const std::function<void(HWND)>* body = nullptr;
    UINT_PTR timer = 0;  // the armed timer's id (the run's address), 0 when none is armed
    std::vector<HWND> dialogs;  // dialogs created during the run, oldest first
    bool searching = true;
    bool bodyRan = false;
};

thread_local std::vector<Run*> t_runs;
thread_local HHOOK t_creationHook = nullptr;
// Receives the runs' timers (see TimerWindowProc); exists while the thread has runs.
thread_local HWND t_timerWindow = nullptr;

// Records every dialog window the thread creates while a run is looking for its dialog.
LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (IsDialogWindow(window)) {
            for (Run* run : t_runs) {
                if (run->searching) run->dialogs.push_back(window);
            }
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

HWND NewestOpenDialog(const Run& run) {
    for (auto it = run.dialogs.rbegin(); it != run.dialogs.rend(); ++it) {
        if (IsOpen(*it)) return *it;
    }
    return nullptr;
}

void RunBody(Run& run, HWND dialog) {
    run.searching = false;
    run.bodyRan = true;
    const bool fatalBefore = FatalFailureSeen();
    bool aborted = false;
    // No exception may unwind through the system's message dispatch.
    try {
        (*run.body)(dialog);
    } catch (const std::exception& error) {
        Fail() << "the dialog body threw: " << error.what();
        aborted = true;
    } catch (...) {
        Fail() << "the dialog body threw an exception";
        aborted = true;
    }
    aborted = aborted || (!fatalBefore && FatalFailureSeen());
    if (!IsOpen(dialog)) return;
    // A body stopped by a failed assertion has already said what went wrong.
    if (!aborted) {
        Fail() << "dialog left open: the body returned with " << Describe(dialog)
                      << " still open; the driver ended it with IDCANCEL";
    }
    // EndDialog ends any DialogBox loop, whether or not the dialog handles IDCANCEL.
    EndDialog(dialog, IDCANCEL);
}

void ArmTimer(Run& run, UINT delayMs) {
    const UINT_PTR id = reinterpret_cast<UINT_PTR>(&run);
    run.timer = (t_timerWindow && SetTimer(t_timerWindow, id, delayMs, nullptr)) ? id : 0;
    if (!run.timer) Fail() << "could not set the timer that starts the dialog body (error " << GetLastError() << ")";
}

void OnRunTimer(UINT_PTR timer) {
    KillTimer(t_timerWindow, timer);
    auto found = std::find_if(t_runs.begin(), t_runs.end(), [timer](Run* run) { return run->timer == timer; });
    if (found == t_runs.end()) return;
    Run& run = **found;
    run.timer = 0;
    HWND dialog = NewestOpenDialog(run);
    if (!dialog) {
        // Not shown yet: the modal loop shows it once its queue is first idle.
        ArmTimer(run, kRetryMs);
        return;
    }
    RunBody(run, dialog);
}

// The bodies run from this window procedure rather than from a TIMERPROC callback: the
// system's dispatch of a timer callback swallows any exception raised in it (Windows
// by default, Wine always), so a body that crashed would leave its dialog open until
// the watchdog fired. From a window procedure a crash stays the process's unhandled
// exception, which a test program reports with where it happened.
LRESULT CALLBACK TimerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        OnRunTimer(wParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateTimerWindow() {
    static const wchar_t kClassName[] = L"TavrelDialogDriverTimer";
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&TimerWindowProc), &module);
    static const ATOM registered = [module] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = TimerWindowProc;
        windowClass.hInstance = module;
        windowClass.lpszClassName = kClassName;
        return RegisterClassW(&windowClass);
    }();
    if (!registered) return nullptr;
    return CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module, nullptr);
}

// Cancels a run that blocks for too long, then ends the process so CTest goes on.
class Watchdog {
public:
    explicit Watchdog(DWORD timeoutMs) : m_uiThread(GetCurrentThreadId()) {
        if (timeoutMs) m_thread = std::thread([this, timeoutMs] { Watch(timeoutMs); });
    }
    ~Watchdog() { Stop(); }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    void Stop() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_done = true;
        }
        m_wake.notify_all();
        if (m_thread.joinable()) m_thread.join();
    }
    bool Fired() const { return m_fired; }

private:
    void Watch(DWORD timeoutMs) {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_wake.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_done; })) return;
        m_fired = true;
        if (HWND top = TopDialog()) {
            PostMessageW(top, WM_COMMAND, IDCANCEL, reinterpret_cast<LPARAM>(GetDlgItem(top, IDCANCEL)));
        }
        if (m_wake.wait_for(lock, std::chrono::milliseconds(kWatchdogGraceMs), [this] { return m_done; })) return;
        std::fflush(stdout);
        std::fprintf(stderr,
                     "dialog driver watchdog: a dialog run is still blocked %lu ms after it started, "
                     "even after cancelling its top-most dialog; ending the test program.\n",
                     static_cast<unsigned long>(timeoutMs + kWatchdogGraceMs));
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
    }

    // The top-most enabled, visible dialog of the thread under test: the modal one.
    HWND TopDialog() const {
        HWND found = nullptr;
        EnumThreadWindows(m_uiThread, MatchActiveDialog, reinterpret_cast<LPARAM>(&found));
        return found;
    }

    DWORD m_uiThread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_done = false;
    std::atomic<bool> m_fired{false};
    std::thread m_thread;
};

// Leaves the thread's run list and hook as they were, also if openModal throws.
class RunRegistration {
public:
    explicit RunRegistration(Run& run) : m_run(run) {
        t_runs.push_back(&run);
        if (!t_creationHook) t_creationHook = SetWindowsHookExW(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
        if (!t_timerWindow) t_timerWindow = CreateTimerWindow();
    }
    ~RunRegistration() {
        if (m_run.timer) KillTimer(t_timerWindow, m_run.timer);
        t_runs.erase(std::remove(t_runs.begin(), t_runs.end(), &m_run), t_runs.end());
        if (t_runs.empty() && t_creationHook) {
            UnhookWindowsHookEx(t_creationHook);
            t_creationHook = nullptr;
        }
        if (t_runs.empty() && t_timerWindow) {
            DestroyWindow(t_timerWindow);
            t_timerWindow = nullptr;
        }
    }
    RunRegistration(const RunRegistration&) = delete;
    RunRegistration& operator=(const RunRegistration&) = delete;

private:
    Run& m_run;
};

// ---- Up-down: what the control does for one step of a pressed arrow

int UpDownStepTarget(HWND upDown, int position, int delta) {
    int lower = 0;
    int upper = 0;
    SendMessageW(upDown, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper));
    const long long low = std::min(lower, upper);
    const long long high = std::max(lower, upper);
    long long target = static_cast<long long>(position) + delta;
    if (target >= low && target <= high) return static_cast<int>(target);
    if (Style(upDown) & UDS_WRAP) {
        const long long span = high - low + 1;
        target = low + ((target - low) % span + span) % span;
        return static_cast<int>(target);
    }
    return static_cast<int>(std::clamp(target, low, high));
}

void UpDownStep(HWND upDown, int delta) {
    HWND parent = GetParent(upDown);
    const UINT scroll = (Style(upDown) & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL;
    // UDM_GETPOS32 first takes a valid number from the buddy, as the control does.
    const int position = static_cast<int>(SendMessageW(upDown, UDM_GETPOS32, 0, 0));
    NMUPDOWN change{};
    change.hdr.hwndFrom = upDown;
    change.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(upDown));
    change.hdr.code = UDN_DELTAPOS;
    change.iPos = position;
    change.iDelta = delta;
    if (!SendMessageW(parent, WM_NOTIFY, change.hdr.idFrom, reinterpret_cast<LPARAM>(&change))) {
        // The parent may have changed iDelta; the control moves by what it finds there.
        const int target = UpDownStepTarget(upDown, position, change.iDelta);
        if (target != position) SendMessageW(upDown, UDM_SETPOS32, 0, target);
    }
    // Wine sends the scroll message whether or not the parent allowed the change.
    const int now = static_cast<int>(SendMessageW(upDown, UDM_GETPOS32, 0, 0));
    SendMessageW(parent, scroll, MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(now)),
                 reinterpret_cast<LPARAM>(upDown));
}

// An item's text (at most 511 characters); empty when the tree has no such item.
std::wstring TreeItemText(HWND tree, HTREEITEM item) {
    wchar_t buffer[512] = {};
    TVITEMW data{};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = buffer;
    data.cchTextMax = 512;
    return item && TreeView_GetItem(tree, &data) ? std::wstring(buffer) : std::wstring();
}

HTREEITEM FindTreeItemIn(HWND tree, HTREEITEM item, const std::wstring& text) {
    for (; item; item = TreeView_GetNextSibling(tree, item)) {
        if (TreeItemText(tree, item) == text) return item;
        if (HTREEITEM found = FindTreeItemIn(tree, TreeView_GetChild(tree, item), text)) return found;
    }
    return nullptr;
}

}  // namespace

FailureReporter SetFailureReporter(FailureReporter reporter) {
    FailureReporter previous = std::move(Reporter());
    Reporter() = reporter ? std::move(reporter) : FailureReporter(PrintToStderr);
    return previous;
}

FatalFailureCheck SetFatalFailureCheck(FatalFailureCheck check) {
    FatalFailureCheck previous = std::move(FatalCheck());
    FatalCheck() = std::move(check);
    return previous;
}

bool RunDialog(const std::function<void()>& openModal, const std::function<void(HWND dialog)>& body,
               const RunDialogOptions& options) {
    Run run;
    run.body = &body;
    bool watchdogFired = false;
    {
        RunRegistration registration(run);
        ArmTimer(run, std::max<UINT>(options.startDelayMs, USER_TIMER_MINIMUM));
        Watchdog watchdog(options.watchdogMs);
        openModal();
        watchdog.Stop();
        watchdogFired = watchdog.Fired();
    }
    if (watchdogFired) {
        Fail() << "watchdog: the dialog run took longer than " << options.watchdogMs
                      << " ms; the driver cancelled the top-most dialog (a blocking call or a nested modal "
                         "window in the test body?)";
    }
    return run.bodyRan;
}

HWND Control(HWND dialog, int id) {
    HWND control = FindControl(dialog, id);
    if (!control) Fail() << "no control with id " << id << " in " << Describe(dialog);
    return control;
}

bool TypeText(HWND dialog, int editId, const std::wstring& text) {
    HWND edit = Reachable(dialog, editId, "TypeText", L"Edit", "an edit");
    if (!edit) return false;
    if (Style(edit) & ES_READONLY) {
        Fail() << "TypeText: edit " << editId << " in " << Describe(dialog) << " is read-only";
        return false;
    }
    FocusLikeTab(edit);
    // Replacing the selection is what typing or pasting does: the text limit applies
    // and the modified flag is set (WM_SETTEXT would clear it).
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    return true;
}

bool TypeChars(HWND dialog, int editId, const std::wstring& characters) {
    HWND edit = Reachable(dialog, editId, "TypeChars", L"Edit", "an edit");
    if (!edit) return false;
    FocusLikeTab(edit);
    for (wchar_t character : characters) SendMessageW(edit, WM_CHAR, character, 1);
    return true;
}

bool LeaveField(HWND dialog, int editId) {
    HWND edit = Reachable(dialog, editId, "LeaveField", nullptr, nullptr);
    if (!edit) return false;
    FocusLikeTab(edit);
    SendMessageW(GetParent(edit), WM_NEXTDLGCTL, 0, FALSE);
    if (GetFocus() == edit) {
        Fail() << "LeaveField: control " << editId << " in " << Describe(dialog)
                      << " is the only tab stop; the focus cannot move on";
        return false;
    }
    return true;
}

bool PressKey(HWND dialog, int controlId, UINT virtualKey) {
    HWND control = Reachable(dialog, controlId, "PressKey", nullptr, nullptr);
    if (!control) return false;
    FocusLikeTab(control);
    HWND target = GetFocus();
    if (!target) target = control;
    const UINT scanCode = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    const bool extended = virtualKey == VK_UP || virtualKey == VK_DOWN || virtualKey == VK_LEFT ||
                          virtualKey == VK_RIGHT || virtualKey == VK_HOME || virtualKey == VK_END ||
                          virtualKey == VK_PRIOR || virtualKey == VK_NEXT || virtualKey == VK_INSERT ||
                          virtualKey == VK_DELETE;
    const LPARAM down = 1 | (static_cast<LPARAM>(scanCode & 0xFF) << 16) | (extended ? (1L << 24) : 0);
    const LPARAM up = down | (1L << 30) | (static_cast<LPARAM>(1) << 31);
    // Posted and pumped, so the keys pass through IsDialogMessage like real input.
    PostMessageW(target, WM_KEYDOWN, virtualKey, down);
    PostMessageW(target, WM_KEYUP, virtualKey, up);
    PumpMessages();
    return true;
}

bool PressArrowKey(HWND dialog, int editId, UINT virtualKey) { return PressKey(dialog, editId, virtualKey); }

bool KeySlider(HWND dialog, int trackbarId, UINT virtualKey) {
    if (!Reachable(dialog, trackbarId, "KeySlider", TRACKBAR_CLASSW, "a trackbar")) return false;
    return PressKey(dialog, trackbarId, virtualKey);
}

bool HoldSlider(HWND dialog, int trackbarId, int toPosition) {
    HWND slider = Reachable(dialog, trackbarId, "HoldSlider", TRACKBAR_CLASSW, "a trackbar");
    if (!slider) return false;
    const UINT scroll = (Style(slider) & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
    SetFocus(slider);
    SendMessageW(slider, TBM_SETPOS, TRUE, toPosition);
    const int position = static_cast<int>(SendMessageW(slider, TBM_GETPOS, 0, 0));
    SendMessageW(GetParent(slider), scroll, MAKEWPARAM(TB_THUMBTRACK, static_cast<WORD>(position)),
                 reinterpret_cast<LPARAM>(slider));
    return true;
}

bool DragSlider(HWND dialog, int trackbarId, int toPosition, int steps) {
    HWND slider = Reachable(dialog, trackbarId, "DragSlider", TRACKBAR_CLASSW, "a trackbar");
    if (!slider) return false;
    HWND parent = GetParent(slider);
    const UINT scroll = (Style(slider) & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
    const LPARAM from = reinterpret_cast<LPARAM>(slider);
    const int start = static_cast<int>(SendMessageW(slider, TBM_GETPOS, 0, 0));
    const int low = static_cast<int>(SendMessageW(slider, TBM_GETRANGEMIN, 0, 0));
    const int high = static_cast<int>(SendMessageW(slider, TBM_GETRANGEMAX, 0, 0));
    const int target = std::clamp(toPosition, low, high);
    const long long distance = static_cast<long long>(target) - start;
    const long long count = distance == 0 ? 0 : (steps > 0 ? steps : std::min<long long>(std::llabs(distance), 8));

    SetFocus(slider);  // pressing the thumb focuses the trackbar
    int last = start;
    for (long long i = 1; i <= count; ++i) {
        const int position = static_cast<int>(start + distance * i / count);
        if (position == last) continue;
        last = position;
        // TBM_SETPOS moves the thumb silently (TBM_SETPOSNOTIFY does nothing in Wine 8).
        SendMessageW(slider, TBM_SETPOS, TRUE, position);
        SendMessageW(parent, scroll, MAKEWPARAM(TB_THUMBTRACK, static_cast<WORD>(position)), from);
    }
    // Button released. Wine's own trackbar sends TB_ENDTRACK twice here (once more when
    // it loses the capture); a drag sends it once.
    SendMessageW(parent, scroll, MAKEWPARAM(TB_THUMBPOSITION, static_cast<WORD>(target)), from);
    SendMessageW(parent, scroll, MAKEWPARAM(TB_ENDTRACK, 0), from);
    Notify(parent, slider, NM_RELEASEDCAPTURE);
    return true;
}

bool StepUpDown(HWND dialog, int upDownId, int delta) { return HoldUpDown(dialog, upDownId, {delta}); }

bool HoldUpDown(HWND dialog, int upDownId, const std::vector<int>& deltas) {
    HWND upDown = Reachable(dialog, upDownId, "StepUpDown", UPDOWN_CLASSW, "an up-down control");
    if (!upDown) return false;
    HWND buddy = reinterpret_cast<HWND>(SendMessageW(upDown, UDM_GETBUDDY, 0, 0));
    const bool buddyIsEdit = buddy && HasClass(buddy, L"Edit");
    // Button down: the control gives an edit buddy the focus.
    if (buddyIsEdit) SetFocus(buddy);
    for (int delta : deltas) UpDownStep(upDown, delta);
    // Button up: SB_ENDSCROLL, then the buddy's text selected.
    const int position = static_cast<int>(SendMessageW(upDown, UDM_GETPOS32, 0, 0));
    SendMessageW(GetParent(upDown), (Style(upDown) & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL,
                 MAKEWPARAM(SB_ENDSCROLL, static_cast<WORD>(position)), reinterpret_cast<LPARAM>(upDown));
    if (buddyIsEdit) SendMessageW(buddy, EM_SETSEL, 0, -1);
    return true;
}

bool Click(HWND dialog, int buttonId) {
    HWND button = Reachable(dialog, buttonId, "Click", L"Button", "a button");
    if (!button) return false;
    // BM_CLICK acts even on a disabled or hidden button, hence the checks above.
    SendMessageW(button, BM_CLICK, 0, 0);
    return true;
}

bool ChooseComboEntry(HWND dialog, int comboId, int index) {
    HWND combo = Reachable(dialog, comboId, "ChooseComboEntry", L"ComboBox", "a combo box");
    if (!combo) return false;
    const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    if (index < 0 || index >= count) {
        Fail() << "ChooseComboEntry: combo box " << comboId << " in " << Describe(dialog) << " has no entry "
                      << index << " (it has " << count << ")";
        return false;
    }
    FocusLikeTab(combo);
    // CB_SETCURSEL notifies nobody; the keyboard choice sends CBN_SELENDOK, CBN_SELCHANGE.
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    HWND parent = GetParent(combo);
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    return true;
}

bool ChooseComboEntry(HWND dialog, int comboId, const std::wstring& entryText) {
    HWND combo = Control(dialog, comboId);
    if (!combo) return false;
    const LRESULT index = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(entryText.c_str()));
    if (index == CB_ERR) {
        std::string entries;
        for (const std::wstring& entry : ComboEntries(dialog, comboId)) entries += " \"" + Utf8(entry) + "\"";
        Fail() << "ChooseComboEntry: combo box " << comboId << " in " << Describe(dialog) << " has no entry \""
                      << Utf8(entryText) << "\"; it has:" << entries;
        return false;
    }
    return ChooseComboEntry(dialog, comboId, static_cast<int>(index));
}

// A left click at a point of a tree's client area. The mouse goes there first, as a
// user's does: a handler that asks where the click happened (GetMessagePos,
// GetCursorPos) finds the point.
static void ClickTreeAt(HWND tree, POINT point) {
    POINT onScreen = point;
    ClientToScreen(tree, &onScreen);
    SetCursorPos(onScreen.x, onScreen.y);
    const LPARAM position = MAKELPARAM(point.x, point.y);
    // The tree tracks the mouse after a button-down until a button message is queued:
    // queue the release first, then press.
    PostMessageW(tree, WM_LBUTTONUP, 0, position);
    SendMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, position);
    MSG left;
    if (PeekMessageW(&left, tree, WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE))
        SendMessageW(tree, WM_LBUTTONUP, 0, position);
}

bool TickTreeItem(HWND dialog, int treeId, HTREEITEM item) {
    HWND tree = Reachable(dialog, treeId, "TickTreeItem", WC_TREEVIEWW, "a tree view");
    if (!tree) return false;
    if (!(Style(tree) & TVS_CHECKBOXES) || !item) {
        Fail() << "TickTreeItem: tree " << treeId << " in " << Describe(dialog)
                      << (item ? " has no check boxes" : ": no item given");
        return false;
    }
    TreeView_EnsureVisible(tree, item);
    RECT text{};
    if (!TreeView_GetItemRect(tree, item, &text, TRUE)) {
        Fail() << "TickTreeItem: the item is not shown in tree " << treeId;
        return false;
    }
    // The check box is the state image left of the label: find it by hit testing.
    const int y = (text.top + text.bottom) / 2;
    int first = -1;
    int last = -1;
    for (int x = 0; x < text.left; ++x) {
        TVHITTESTINFO hit{};
        hit.pt = {x, y};
        TreeView_HitTest(tree, &hit);
        if (hit.hItem == item && (hit.flags & TVHT_ONITEMSTATEICON)) {
            if (first < 0) first = x;
            last = x;
        }
    }
    if (first < 0) {
        Fail() << "TickTreeItem: no check box found beside the item in tree " << treeId
                      << " (its state image list is made at the first paint)";
        return false;
    }
    ClickTreeAt(tree, {(first + last) / 2, y});
    return true;
}

bool ClickTreeItemRow(HWND dialog, int treeId, const std::wstring& itemText) {
    HWND tree = Reachable(dialog, treeId, "ClickTreeItemRow", WC_TREEVIEWW, "a tree view");
    HTREEITEM item = tree ? FindTreeItem(dialog, treeId, itemText) : nullptr;
    if (!item) return false;
    TreeView_EnsureVisible(tree, item);
    RECT text{};
    RECT client{};
    if (!TreeView_GetItemRect(tree, item, &text, TRUE) || !GetClientRect(tree, &client)) {
        Fail() << "ClickTreeItemRow: the item is not shown in tree " << treeId;
        return false;
    }
    TVHITTESTINFO hit{};
    hit.pt = {(text.right + client.right) / 2, (text.top + text.bottom) / 2};
    TreeView_HitTest(tree, &hit);
    if (hit.hItem != item || !(hit.flags & TVHT_ONITEMRIGHT)) {
        Fail() << "ClickTreeItemRow: tree " << treeId << " has no room right of the item's label";
        return false;
    }
    ClickTreeAt(tree, hit.pt);
    return true;
}

bool TickTreeItem(HWND dialog, int treeId, const std::wstring& itemText) {
    HTREEITEM item = FindTreeItem(dialog, treeId, itemText);
    return item && TickTreeItem(dialog, treeId, item);
}

void PumpMessages() {
    MSG message;
    for (int i = 0; i < kMaxPumpedMessages && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));  // leave it for the loop that owns it
            return;
        }
        HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        if (root && IsDialogWindow(root) && IsDialogMessageW(root, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

std::wstring GetText(HWND dialog, int id) {
    HWND control = Control(dialog, id);
    return control ? WindowText(control) : std::wstring();
}

bool IsChecked(HWND dialog, int buttonId) {
    HWND button = Control(dialog, buttonId);
    return button && SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool IsEnabled(HWND dialog, int id) {
    HWND control = Control(dialog, id);
    return control && IsWindowEnabled(control);
}

bool IsVisible(HWND dialog, int id) {
    HWND control = Control(dialog, id);
    return control && (Style(control) & WS_VISIBLE) != 0;
}

int FocusedControlId(HWND dialog) {
    HWND focus = GetFocus();
    if (!focus || !IsChild(dialog, focus)) return 0;
    // The focus may be inside a control (a combo box's edit): report the control.
    while (GetParent(focus) && !IsDialogWindow(GetParent(focus))) focus = GetParent(focus);
    return GetDlgCtrlID(focus);
}

int SliderPosition(HWND dialog, int trackbarId) {
    HWND slider = Control(dialog, trackbarId);
    return slider ? static_cast<int>(SendMessageW(slider, TBM_GETPOS, 0, 0)) : 0;
}

std::pair<int, int> SliderRange(HWND dialog, int trackbarId) {
    HWND slider = Control(dialog, trackbarId);
    if (!slider) return {0, 0};
    return {static_cast<int>(SendMessageW(slider, TBM_GETRANGEMIN, 0, 0)),
            static_cast<int>(SendMessageW(slider, TBM_GETRANGEMAX, 0, 0))};
}

int UpDownPosition(HWND dialog, int upDownId) {
    HWND upDown = Control(dialog, upDownId);
    return upDown ? static_cast<int>(SendMessageW(upDown, UDM_GETPOS32, 0, 0)) : 0;
}

std::pair<int, int> UpDownRange(HWND dialog, int upDownId) {
    int lower = 0;
    int upper = 0;
    if (HWND upDown = Control(dialog, upDownId)) {
        SendMessageW(upDown, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper));
    }
    return {lower, upper};
}

int UpDownAccelCount(HWND dialog, int upDownId) {
    HWND upDown = Control(dialog, upDownId);
    return upDown ? static_cast<int>(SendMessageW(upDown, UDM_GETACCEL, 0, 0)) : 0;
}

std::vector<UDACCEL> UpDownAccel(HWND dialog, int upDownId) {
    HWND upDown = Control(dialog, upDownId);
    if (!upDown) return {};
    std::vector<UDACCEL> table(static_cast<size_t>(SendMessageW(upDown, UDM_GETACCEL, 0, 0)));
    if (!table.empty()) {
        const LRESULT copied = SendMessageW(upDown, UDM_GETACCEL, table.size(), reinterpret_cast<LPARAM>(table.data()));
        table.resize(static_cast<size_t>(copied));
    }
    return table;
}

int ComboSelection(HWND dialog, int comboId) {
    HWND combo = Control(dialog, comboId);
    return combo ? static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)) : CB_ERR;
}

std::wstring ComboSelectedText(HWND dialog, int comboId) {
    const int index = ComboSelection(dialog, comboId);
    if (index == CB_ERR) return {};
    const std::vector<std::wstring> entries = ComboEntries(dialog, comboId);
    return static_cast<size_t>(index) < entries.size() ? entries[static_cast<size_t>(index)] : std::wstring();
}

std::vector<std::wstring> ComboEntries(HWND dialog, int comboId) {
    std::vector<std::wstring> entries;
    HWND combo = Control(dialog, comboId);
    if (!combo) return entries;
    const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring entry(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        const LRESULT copied =
            SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(entry.data()));
        entry.resize(static_cast<size_t>(std::max<LRESULT>(copied, 0)));
        entries.push_back(entry);
    }
    return entries;
}

HTREEITEM FindTreeItem(HWND dialog, int treeId, const std::wstring& itemText) {
    HWND tree = Control(dialog, treeId);
    if (!tree) return nullptr;
    HTREEITEM item = FindTreeItemIn(tree, TreeView_GetRoot(tree), itemText);
    if (!item) Fail() << "no item \"" << Utf8(itemText) << "\" in tree " << treeId << " of " << Describe(dialog);
    return item;
}

std::wstring GetTreeItemText(HWND dialog, int treeId, HTREEITEM item) {
    HWND tree = Control(dialog, treeId);
    return tree ? TreeItemText(tree, item) : std::wstring();
}

bool IsTreeItemChecked(HWND dialog, int treeId, HTREEITEM item) {
    HWND tree = Control(dialog, treeId);
    if (!tree || !item) return false;
    // State image 1 is the empty box, 2 the ticked one.
    return (TreeView_GetItemState(tree, item, TVIS_STATEIMAGEMASK) >> 12) == 2;
}

bool IsTreeItemChecked(HWND dialog, int treeId, const std::wstring& itemText) {
    HTREEITEM item = FindTreeItem(dialog, treeId, itemText);
    return item && IsTreeItemChecked(dialog, treeId, item);
}

}  // namespace tavrel::driver
