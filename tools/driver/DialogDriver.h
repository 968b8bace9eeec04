// Drives a modal dialog from inside its own message loop, the way a user would. The
// tests use it (tests/DialogDriver.h) and so does the page host (tools/pagehost).
//
//   bool ran = RunDialog([&] { hr = page->Activate(parent, &rect, TRUE); },
//                        [&](HWND dialog) {
//                            TypeText(dialog, IDC_DEPTH, L"12.5");
//                            LeaveField(dialog, IDC_DEPTH);
//                            Click(dialog, IDOK);
//                        });
//
// Every action works on the real control and produces the notifications the control
// (as Wine 8 implements it) sends for that user action. An action on a control a user
// could not reach (missing, disabled, hidden, read-only) reports a failure through the
// failure reporter and returns false instead of acting. The driver knows nothing of
// any test framework: the tests install a reporter that raises their failures.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tavrel::driver {

// ---- Failures

// Receives each failure the driver finds (one sentence, UTF-8). The default prints
// "dialog driver: <message>" to stderr.
using FailureReporter = std::function<void(const std::string& message)>;
// Tells whether the current body was stopped by a fatal failure of its own (a test
// framework's failed assertion), so that the driver does not add "dialog left open" to
// a failure that has already been reported. The default: never.
using FatalFailureCheck = std::function<bool()>;

// Install a hook for the whole process; each returns the one it replaces. An empty
// reporter restores the default.
FailureReporter SetFailureReporter(FailureReporter reporter);
FatalFailureCheck SetFatalFailureCheck(FatalFailureCheck check);

// ---- Running a dialog

struct RunDialogOptions {
    // Delay of the one-shot timer that hands control to the body.
    UINT startDelayMs = 10;
    // If the whole run takes longer, the driver cancels the top-most dialog of the
    // thread and reports a failure; 10 s later it ends the process. 0 turns it off.
    DWORD watchdogMs = 30000;
};

// Calls openModal, which is expected to block in a modal dialog loop (DialogBox*),
// and runs body(dialog) inside that loop with the newest dialog this thread created.
// If the dialog is still open when body returns, the driver ends it (EndDialog with
// IDCANCEL) and reports the failure "dialog left open". Returns whether body ran:
// false means no dialog showed before openModal returned.
// Runs nest: a body may call RunDialog for a message box its action opens.
[[nodiscard]] bool RunDialog(const std::function<void()>& openModal,
                             const std::function<void(HWND dialog)>& body,
                             const RunDialogOptions& options = {});

// The control with this id in the dialog (or in a dialog nested inside it);
// reports a failure and returns nullptr if there is none.
HWND Control(HWND dialog, int id);

// ---- User actions

// Focus the edit (as tabbing into it does), select all and replace the selection:
// EN_UPDATE and EN_CHANGE, the modified flag set. Replacing an empty text with an
// empty text changes nothing, so the edit sends nothing then.
bool TypeText(HWND dialog, int editId, const std::wstring& text);
// Tab into the edit (which selects its text) and send one WM_CHAR per character: the
// edit's own filters (ES_NUMBER, the text limit) apply, each accepted character sends
// EN_UPDATE and EN_CHANGE.
bool TypeChars(HWND dialog, int editId, const std::wstring& characters);
// Tab on from the edit: focus moves to the next tab stop, the edit sends EN_KILLFOCUS.
bool LeaveField(HWND dialog, int editId);

// Press and release a key in a control, through the dialog manager as the modal loop
// does (IsDialogMessage): arrow keys reach edits and trackbars; Tab, Enter and Escape
// act on the dialog. Non-character keys only.
bool PressKey(HWND dialog, int controlId, UINT virtualKey);
// VK_UP / VK_DOWN in an up-down's buddy edit: the up-down itself steps.
bool PressArrowKey(HWND dialog, int editId, UINT virtualKey);
// Arrow, Page and Home/End keys in a trackbar: TB_LINEUP ... then TB_ENDTRACK on release.
bool KeySlider(HWND dialog, int trackbarId, UINT virtualKey);

// Drag a trackbar's thumb to a position (clamped to the range): the thumb gets the
// focus, then per intermediate position TB_THUMBTRACK, then TB_THUMBPOSITION,
// TB_ENDTRACK and NM_RELEASEDCAPTURE, with the trackbar as lParam. steps <= 0: one
// TB_THUMBTRACK per position, at most 8.
bool DragSlider(HWND dialog, int trackbarId, int toPosition, int steps = 0);
// The same drag with the mouse button still held at the end: the thumb gets the focus
// and moves to the position with one TB_THUMBTRACK; nothing more is sent.
bool HoldSlider(HWND dialog, int trackbarId, int toPosition);

// Click an up-down arrow once, the step carrying iDelta = delta (a held arrow's
// acceleration is a larger delta): focus to the buddy edit, UDN_DELTAPOS {iPos, iDelta};
// if the parent returns 0 the control moves by the (possibly changed) iDelta within
// its range and updates the buddy; then WM_VSCROLL/WM_HSCROLL SB_THUMBPOSITION (sent
// even when the parent refused), and on release SB_ENDSCROLL and the buddy's text
// selected.
bool StepUpDown(HWND dialog, int upDownId, int delta);
// An arrow held down for several steps: one press, one step per delta, one release.
bool HoldUpDown(HWND dialog, int upDownId, const std::vector<int>& deltas);

// BM_CLICK: push buttons, check boxes and radio buttons (the button takes the focus,
// automatic ones change their check, BN_CLICKED).
bool Click(HWND dialog, int buttonId);

// Choose a combo box entry as a keyboard user does: focus (CBN_SETFOCUS), the new
// selection, then CBN_SELENDOK and CBN_SELCHANGE (CB_SETCURSEL alone sends nothing).
bool ChooseComboEntry(HWND dialog, int comboId, int index);
bool ChooseComboEntry(HWND dialog, int comboId, const std::wstring& entryText);

// Click an item's check box in a TVS_CHECKBOXES tree: the item is scrolled into view,
// the mouse moves onto its state image and the real control gets the click there, so
// the check toggles and the tree sends what a click sends (NM_CLICK, the selection
// change, NM_SETFOCUS); the click's message position is the check box.
bool TickTreeItem(HWND dialog, int treeId, HTREEITEM item);
bool TickTreeItem(HWND dialog, int treeId, const std::wstring& itemText);
// Click in an item's row right of its label, where neither its check box, icon nor
// label is.
bool ClickTreeItemRow(HWND dialog, int treeId, const std::wstring& itemText);

// Dispatch whatever is posted to this thread, through IsDialogMessage for dialog
// windows as a modal loop does; returns without waiting.
void PumpMessages();

// ---- What the user sees

std::wstring GetText(HWND dialog, int id);
bool IsChecked(HWND dialog, int buttonId);
bool IsEnabled(HWND dialog, int id);
// The control's own WS_VISIBLE flag (what ShowWindow sets), whatever its parents show.
bool IsVisible(HWND dialog, int id);
// Id of the control with the focus, 0 if the focus is elsewhere.
int FocusedControlId(HWND dialog);

int SliderPosition(HWND dialog, int trackbarId);
std::pair<int, int> SliderRange(HWND dialog, int trackbarId);

int UpDownPosition(HWND dialog, int upDownId);
// {lower, upper} as set (lower > upper for a reversed range).
std::pair<int, int> UpDownRange(HWND dialog, int upDownId);
int UpDownAccelCount(HWND dialog, int upDownId);
std::vector<UDACCEL> UpDownAccel(HWND dialog, int upDownId);

int ComboSelection(HWND dialog, int comboId);
std::wstring ComboSelectedText(HWND dialog, int comboId);
std::vector<std::wstring> ComboEntries(HWND dialog, int comboId);

// First item with this text, depth first; nullptr (and a failure) if none.
HTREEITEM FindTreeItem(HWND dialog, int treeId, const std::wstring& itemText);
// An item's text; empty for a null item.
std::wstring GetTreeItemText(HWND dialog, int treeId, HTREEITEM item);
bool IsTreeItemChecked(HWND dialog, int treeId, HTREEITEM item);
bool IsTreeItemChecked(HWND dialog, int treeId, const std::wstring& itemText);

}  // namespace tavrel::driver
