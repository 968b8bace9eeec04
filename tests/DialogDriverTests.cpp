// The dialog driver against real controls in a dialog built in memory: each user action
// must produce what the control itself produces, in order.
#include "DialogDriver.h"
#include "InMemoryDialog.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cwchar>
#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

using namespace tavrel::test;

namespace {

enum : int {
    IDC_EDIT = 100,
    IDC_UPDOWN,
    IDC_SLIDER,
    IDC_PUSH,
    IDC_CHECK,
    IDC_RADIO1,
    IDC_RADIO2,
    IDC_COMBO,
    IDC_TREE,
};

// Readable names for what the tests expect; numbers for anything else.
std::string NameOf(int code, std::initializer_list<std::pair<int, const char*>> names, const char* kind) {
    for (const auto& name : names)
        if (name.first == code) return name.second;
    return std::string(kind) + " " + std::to_string(code);
}

std::string ControlName(int id) {
    static const char* const names[] = {"edit", "updown", "slider", "push", "check", "radio1", "radio2", "combo", "tree"};
    if (id >= IDC_EDIT && id <= IDC_TREE) return names[id - IDC_EDIT];
    return NameOf(id, {{IDOK, "ok"}, {IDCANCEL, "cancel"}}, "control");
}

// Command and notification codes by name; the codes these controls send are all distinct.
std::string CodeName(int code) {
    return NameOf(code,
                  {{EN_SETFOCUS, "EN_SETFOCUS"}, {EN_KILLFOCUS, "EN_KILLFOCUS"}, {EN_CHANGE, "EN_CHANGE"},
                   {EN_UPDATE, "EN_UPDATE"}, {CBN_SELCHANGE, "CBN_SELCHANGE"}, {CBN_SETFOCUS, "CBN_SETFOCUS"},
                   {CBN_SELENDOK, "CBN_SELENDOK"}, {CBN_KILLFOCUS, "CBN_KILLFOCUS"},
                   {CBN_SELENDCANCEL, "CBN_SELENDCANCEL"}, {BN_CLICKED, "BN_CLICKED"}, {NM_CLICK, "NM_CLICK"},
                   {NM_SETFOCUS, "NM_SETFOCUS"}, {NM_RELEASEDCAPTURE, "NM_RELEASEDCAPTURE"},
                   {static_cast<int>(TVN_SELCHANGINGW), "TVN_SELCHANGING"},
                   {static_cast<int>(TVN_SELCHANGEDW), "TVN_SELCHANGED"}},
                  "code");
}

std::string ScrollName(int id, int code) {
    if (id == IDC_SLIDER)
        return NameOf(code, {{TB_LINEDOWN, "TB_LINEDOWN"}, {TB_THUMBPOSITION, "TB_THUMBPOSITION"},
                             {TB_THUMBTRACK, "TB_THUMBTRACK"}, {TB_ENDTRACK, "TB_ENDTRACK"}}, "scroll");
    return NameOf(code, {{SB_THUMBPOSITION, "SB_THUMBPOSITION"}, {SB_ENDSCROLL, "SB_ENDSCROLL"}}, "scroll");
}

// What the dialog procedure saw, one readable line per notification, and how it answers.
struct DialogState {
    std::vector<std::string> events;
    bool refuseDeltaPos = false;
    int replaceDeltaWith = 0;
    INT_PTR result = -1;
};

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// Texts of the ticked items, to show when a click's toggle happens.
std::string CheckedItems(HWND tree) {
    std::string checked;
    for (HTREEITEM item = TreeView_GetRoot(tree); item; item = TreeView_GetNextSibling(tree, item)) {
        if (IsTreeItemChecked(GetParent(tree), IDC_TREE, item))
            checked += (checked.empty() ? "" : ",") + Narrow(GetTreeItemText(GetParent(tree), IDC_TREE, item));
    }
    return "[" + checked + "]";
}

// Where the click that is being handled happened, as a tree's parent asks: the text of
// the item and the part of it under the message position.
std::string ClickedItem(HWND tree) {
    const DWORD position = GetMessagePos();
    TVHITTESTINFO hit{};
    hit.pt = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    ScreenToClient(tree, &hit.pt);
    HTREEITEM item = TreeView_HitTest(tree, &hit);
    if (!item) return "nothing";
    return Narrow(GetTreeItemText(GetParent(tree), IDC_TREE, item)) +
           ((hit.flags & TVHT_ONITEMSTATEICON) ? " check box" : " elsewhere");
}

INT_PTR CALLBACK TestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        // The up-down's default range is 100..0 (reversed): always set one.
        SendDlgItemMessageW(dialog, IDC_UPDOWN, UDM_SETRANGE32, 0, 50);
        SendDlgItemMessageW(dialog, IDC_UPDOWN, UDM_SETPOS32, 0, 10);
        SendDlgItemMessageW(dialog, IDC_SLIDER, TBM_SETRANGE, FALSE, MAKELPARAM(0, 100));
        SendDlgItemMessageW(dialog, IDC_SLIDER, TBM_SETPOS, TRUE, 20);
        for (const wchar_t* entry : {L"alpha", L"beta", L"gamma"}) {
            SendDlgItemMessageW(dialog, IDC_COMBO, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
        }
        CheckRadioButton(dialog, IDC_RADIO1, IDC_RADIO2, IDC_RADIO1);
        // TVS_CHECKBOXES from a template: the state images made at the first paint reset
        // every item; switching the style off and on before inserting makes checks stick.
        HWND tree = GetDlgItem(dialog, IDC_TREE);
        const LONG style = GetWindowLongW(tree, GWL_STYLE);
        SetWindowLongW(tree, GWL_STYLE, style & ~TVS_CHECKBOXES);
        SetWindowLongW(tree, GWL_STYLE, style);
        const auto insert = [tree](HTREEITEM parent, const wchar_t* text) {
            TVINSERTSTRUCTW item{parent, TVI_LAST, {}};
            item.item.mask = TVIF_TEXT;
            item.item.pszText = const_cast<wchar_t*>(text);
            return TreeView_InsertItem(tree, &item);
        };
        insert(insert(TVI_ROOT, L"one"), L"one.a");
        insert(TVI_ROOT, L"two");
        insert(TVI_ROOT, L"three");
        return TRUE;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        state->events.push_back(ControlName(id) + " " + CodeName(HIWORD(wParam)));
        if (id == IDOK || id == IDCANCEL) EndDialog(dialog, id);
        return TRUE;
    }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        const int id = static_cast<int>(header->idFrom);
        if (header->code == static_cast<UINT>(NM_CUSTOMDRAW)) return FALSE;
        if (header->code == UDN_DELTAPOS) {
            auto* change = reinterpret_cast<NMUPDOWN*>(lParam);
            state->events.push_back(ControlName(id) + " UDN_DELTAPOS " + std::to_string(change->iPos) +
                                    " " + std::to_string(change->iDelta));
            if (state->replaceDeltaWith) change->iDelta = state->replaceDeltaWith;
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, state->refuseDeltaPos ? TRUE : FALSE);
            return TRUE;
        }
        std::string event = ControlName(id) + " " + CodeName(static_cast<int>(header->code));
        if (header->code == static_cast<UINT>(NM_CLICK) && id == IDC_TREE)
            event += " " + CheckedItems(header->hwndFrom) + " at " + ClickedItem(header->hwndFrom);
        state->events.push_back(event);
        return FALSE;
    }
    case WM_VSCROLL:
    case WM_HSCROLL: {
        const int id = lParam ? GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) : 0;
        state->events.push_back(ControlName(id) + " " + ScrollName(id, LOWORD(wParam)) + " " +
                                std::to_string(static_cast<short>(HIWORD(wParam))));
        return TRUE;
    }
    }
    return FALSE;
}

class DialogDriverTest : public ::testing::Test {
protected:
    DialogDriverTest() : m_template(L"Driver self-test", 300, 200) {
        m_template.Add(L"EDIT", L"", IDC_EDIT, ES_AUTOHSCROLL | ES_NUMBER | WS_BORDER | WS_TABSTOP, 10, 10, 50, 14);
        m_template.Add(UPDOWN_CLASSW, L"", IDC_UPDOWN, UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_ALIGNRIGHT | UDS_SETBUDDYINT,
                       0, 0, 0, 0);
        m_template.Add(TRACKBAR_CLASSW, L"", IDC_SLIDER, TBS_VERT | WS_TABSTOP, 80, 10, 20, 100);
        m_template.Add(L"BUTTON", L"Push", IDC_PUSH, BS_PUSHBUTTON | WS_TABSTOP, 110, 10, 50, 14);
        m_template.Add(L"BUTTON", L"Check", IDC_CHECK, BS_AUTOCHECKBOX | WS_TABSTOP, 110, 30, 50, 14);
        m_template.Add(L"BUTTON", L"One", IDC_RADIO1, BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 110, 50, 50, 14);
        m_template.Add(L"BUTTON", L"Two", IDC_RADIO2, BS_AUTORADIOBUTTON, 110, 70, 50, 14);
        m_template.Add(L"COMBOBOX", L"", IDC_COMBO, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 170, 10, 60,
                       80);
        m_template.Add(WC_TREEVIEWW, L"", IDC_TREE, TVS_CHECKBOXES | TVS_HASBUTTONS | WS_BORDER | WS_TABSTOP, 170, 40,
                       100, 80);
        m_template.Add(L"BUTTON", L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 180, 170, 50, 14);
        m_template.Add(L"BUTTON", L"Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 240, 170, 50, 14);
    }

    void Open() {
        m_state.result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), m_template.Get(), nullptr, TestDialogProc,
                                                 reinterpret_cast<LPARAM>(&m_state));
    }

    // Runs the dialog; the body starts with an empty event list.
    bool Run(const std::function<void(HWND)>& body, const RunDialogOptions& options = {}) {
        return RunDialog([this] { Open(); },
                         [&](HWND dialog) {
                             m_state.events.clear();
                             body(dialog);
                         },
                         options);
    }

    std::vector<std::string> TakeEvents() {
        std::vector<std::string> events;
        events.swap(m_state.events);
        return events;
    }

    DialogTemplate m_template;
    DialogState m_state;
};

using Events = std::vector<std::string>;

// ---- RunDialog

TEST_F(DialogDriverTest, TheBodyRunsInTheModalLoopADialogLeftOpenOrABodyThatThrowsFailsAndIsCancelled) {
    HWND seen = nullptr;
    EXPECT_TRUE(Run([&](HWND dialog) {
        seen = dialog;
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ(dialog, GetActiveWindow());
        EXPECT_EQ(IDC_EDIT, FocusedControlId(dialog));
        Click(dialog, IDOK);
    }));
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_EQ(IDOK, m_state.result);
    bool bodyCalled = false;
    EXPECT_FALSE(RunDialog([] {}, [&](HWND) { bodyCalled = true; })) << "no dialog opened";
    EXPECT_FALSE(bodyCalled);

    bool ran = false;
    EXPECT_NONFATAL_FAILURE(ran = Run([](HWND) {}), "dialog left open");
    EXPECT_TRUE(ran);
    EXPECT_EQ(IDCANCEL, m_state.result);
    m_state.result = -1;
    EXPECT_NONFATAL_FAILURE((void)Run([](HWND) { throw std::runtime_error("boom"); }), "threw: boom");
    EXPECT_EQ(IDCANCEL, m_state.result);
}

TEST_F(DialogDriverTest, WatchdogCancelsABodyBlockedInAModalWindow) {
    RunDialogOptions options;
    options.watchdogMs = 300;
    int answer = 0;
    EXPECT_NONFATAL_FAILURE((void)Run(
                                [&](HWND dialog) {
                                    answer = MessageBoxW(dialog, L"Nobody answers", L"Blocked", MB_OKCANCEL);
                                    Click(dialog, IDOK);
                                },
                                options),
                            "watchdog");
    EXPECT_EQ(IDCANCEL, answer);
    EXPECT_EQ(IDOK, m_state.result);
}

// ---- Edits and keys

TEST_F(DialogDriverTest, TypingSendsWhatTheEditSendsAndLeavingMovesToTheNextTabStop) {
    (void)Run([&](HWND dialog) {
        // Character by character through ES_NUMBER, which refuses the letter.
        TypeChars(dialog, IDC_EDIT, L"4x2");
        EXPECT_EQ(L"42", GetText(dialog, IDC_EDIT));
        EXPECT_EQ((Events{"edit EN_UPDATE", "edit EN_CHANGE", "edit EN_UPDATE", "edit EN_CHANGE"}), TakeEvents());
        SendDlgItemMessageW(dialog, IDC_EDIT, EM_SETMODIFY, FALSE, 0);
        // The same text again is still a change to the edit.
        EXPECT_TRUE(TypeText(dialog, IDC_EDIT, L"42"));
        EXPECT_EQ((Events{"edit EN_UPDATE", "edit EN_CHANGE"}), TakeEvents());
        EXPECT_EQ(L"42", GetText(dialog, IDC_EDIT));
        EXPECT_TRUE(SendDlgItemMessageW(dialog, IDC_EDIT, EM_GETMODIFY, 0, 0));
        EXPECT_TRUE(LeaveField(dialog, IDC_EDIT));
        EXPECT_EQ((Events{"edit EN_KILLFOCUS"}), TakeEvents());
        EXPECT_EQ(IDC_SLIDER, FocusedControlId(dialog));
        // From another control: the edit gets the focus first.
        TypeText(dialog, IDC_EDIT, L"7");
        EXPECT_EQ((Events{"edit EN_SETFOCUS", "edit EN_UPDATE", "edit EN_CHANGE"}), TakeEvents());
        // Keys go through the dialog manager: Tab moves on, Escape cancels.
        PressKey(dialog, IDC_EDIT, VK_TAB);
        EXPECT_EQ(IDC_SLIDER, FocusedControlId(dialog));
        PressKey(dialog, IDC_EDIT, VK_ESCAPE);
        EXPECT_FALSE(IsWindowVisible(dialog));
    });
    EXPECT_EQ(IDCANCEL, m_state.result);
}

TEST_F(DialogDriverTest, ActionsOnAControlAUserCannotReachFailAndAnswerFalse) {
    // Each refused action reports one failure naming the reason, and answers false (the
    // page host's scripts stop there).
    const auto expectRefused = [](const std::function<bool()>& action, const std::string& reason) {
        bool answered = true;
        EXPECT_NONFATAL_FAILURE(answered = action(), reason);
        EXPECT_FALSE(answered) << reason;
    };
    (void)Run([&](HWND dialog) {
        expectRefused([&] { return Click(dialog, 999); }, "no control with id 999");
        expectRefused([&] { return LeaveField(dialog, 999); }, "no control with id 999");
        EnableWindow(GetDlgItem(dialog, IDC_PUSH), FALSE);
        expectRefused([&] { return Click(dialog, IDC_PUSH); }, "is disabled");
        EnableWindow(GetDlgItem(dialog, IDC_PUSH), TRUE);
        ShowWindow(GetDlgItem(dialog, IDC_PUSH), SW_HIDE);
        EXPECT_FALSE(IsVisible(dialog, IDC_PUSH));
        expectRefused([&] { return Click(dialog, IDC_PUSH); }, "is hidden");
        expectRefused([&] { return ChooseComboEntry(dialog, IDC_COMBO, 3); }, "has no entry 3");
        SendDlgItemMessageW(dialog, IDC_EDIT, EM_SETREADONLY, TRUE, 0);
        expectRefused([&] { return TypeText(dialog, IDC_EDIT, L"1"); }, "read-only");
        expectRefused([&] { return TypeText(dialog, IDC_CHECK, L"1"); }, "is not an edit");
        // BM_CLICK itself would have clicked the hidden button: nothing reached it.
        EXPECT_EQ(Events{}, TakeEvents());
        Click(dialog, IDOK);
    });
}

// ---- Up-down

// A real mouse click on an arrow, for comparison with StepUpDown.
void ClickArrowForReal(HWND dialog, bool up) {
    HWND upDown = GetDlgItem(dialog, IDC_UPDOWN);
    RECT area{};
    GetClientRect(upDown, &area);
    const LPARAM point = MAKELPARAM(area.right / 2, up ? area.bottom / 4 : area.bottom * 3 / 4);
    SendMessageW(upDown, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(upDown, WM_LBUTTONUP, 0, point);
}

struct UpDownCase {
    const char* name;
    int start;
    const wchar_t* typed;  // nullptr: leave the buddy's text as the position set it
    bool up;
    bool refuse;
    int replaceDelta;
};

TEST_F(DialogDriverTest, StepUpDownProducesWhatAClickOnTheArrowProduces) {
    const UpDownCase cases[] = {{"up", 10, nullptr, true, false, 0},          {"down", 10, nullptr, false, false, 0},
                                {"at the upper limit", 50, nullptr, true, false, 0},
                                {"at the lower limit", 0, nullptr, false, false, 0},
                                {"from typed text", 10, L"33", true, false, 0},
                                {"from text out of range", 10, L"99", true, false, 0},
                                {"parent refuses", 10, nullptr, true, true, 0},
                                {"parent changes the delta", 10, nullptr, true, false, 5},
                                {"parent's delta beyond the range", 48, nullptr, true, false, 5}};
    (void)Run([&](HWND dialog) {
        for (const UpDownCase& c : cases) {
            SCOPED_TRACE(c.name);
            // What each way leaves behind: events, text, position, focus, selection.
            const auto measure = [&](bool real) {
                SendDlgItemMessageW(dialog, IDC_UPDOWN, UDM_SETPOS32, 0, c.start);
                if (c.typed) SetDlgItemTextW(dialog, IDC_EDIT, c.typed);
                SetFocus(GetDlgItem(dialog, IDC_PUSH));
                m_state.refuseDeltaPos = c.refuse;
                m_state.replaceDeltaWith = c.replaceDelta;
                TakeEvents();
                if (real)
                    ClickArrowForReal(dialog, c.up);
                else
                    StepUpDown(dialog, IDC_UPDOWN, c.up ? 1 : -1);
                m_state.refuseDeltaPos = false;
                m_state.replaceDeltaWith = 0;
                Events events = TakeEvents();
                events.push_back("text " + Narrow(GetText(dialog, IDC_EDIT)) + " position " +
                                 std::to_string(UpDownPosition(dialog, IDC_UPDOWN)) + " focus " +
                                 std::to_string(FocusedControlId(dialog)) + " selection " +
                                 std::to_string(SendDlgItemMessageW(dialog, IDC_EDIT, EM_GETSEL, 0, 0)));
                return events;
            };
            const Events real = measure(true);
            EXPECT_EQ(real, measure(false));
            EXPECT_LT(1u, real.size());
        }
        Click(dialog, IDOK);
    });
}

TEST_F(DialogDriverTest, AcceleratedStepsHeldStepsAndArrowKeysSendWhatTheUpDownSends) {
    (void)Run([&](HWND dialog) {
        StepUpDown(dialog, IDC_UPDOWN, 5);
        EXPECT_EQ((Events{"updown UDN_DELTAPOS 10 5", "edit EN_UPDATE", "edit EN_CHANGE",
                          "updown SB_THUMBPOSITION 15", "updown SB_ENDSCROLL 15"}),
                  TakeEvents());
        HoldUpDown(dialog, IDC_UPDOWN, {1, 2, 40});
        EXPECT_EQ((Events{"updown UDN_DELTAPOS 15 1", "edit EN_UPDATE", "edit EN_CHANGE", "updown SB_THUMBPOSITION 16",
                          "updown UDN_DELTAPOS 16 2", "edit EN_UPDATE", "edit EN_CHANGE", "updown SB_THUMBPOSITION 18",
                          "updown UDN_DELTAPOS 18 40", "edit EN_UPDATE", "edit EN_CHANGE", "updown SB_THUMBPOSITION 50",
                          "updown SB_ENDSCROLL 50"}),
                  TakeEvents());
        EXPECT_EQ(L"50", GetText(dialog, IDC_EDIT));
        PressArrowKey(dialog, IDC_EDIT, VK_DOWN);
        EXPECT_EQ((Events{"updown UDN_DELTAPOS 50 -1", "edit EN_UPDATE", "edit EN_CHANGE",
                          "updown SB_THUMBPOSITION 49"}),
                  TakeEvents());
        PressArrowKey(dialog, IDC_EDIT, VK_UP);
        EXPECT_EQ(50, UpDownPosition(dialog, IDC_UPDOWN));
        Click(dialog, IDOK);
    });
}

// ---- Trackbar

TEST_F(DialogDriverTest, DragSliderSendsTrackingPositionsThenTheEndOfTheDragAndKeysMoveItByOne) {
    (void)Run([&](HWND dialog) {
        EXPECT_TRUE(DragSlider(dialog, IDC_SLIDER, 24));
        EXPECT_EQ((Events{"edit EN_KILLFOCUS", "slider TB_THUMBTRACK 21", "slider TB_THUMBTRACK 22",
                          "slider TB_THUMBTRACK 23", "slider TB_THUMBTRACK 24", "slider TB_THUMBPOSITION 24",
                          "slider TB_ENDTRACK 0", "slider NM_RELEASEDCAPTURE"}),
                  TakeEvents());
        EXPECT_EQ(24, SliderPosition(dialog, IDC_SLIDER));
        EXPECT_EQ(IDC_SLIDER, FocusedControlId(dialog));
        // Beyond the range: the thumb stops at the end, in at most 8 tracking steps.
        DragSlider(dialog, IDC_SLIDER, 500);
        const Events events = TakeEvents();
        ASSERT_EQ(11u, events.size());
        EXPECT_EQ("slider TB_THUMBTRACK 33", events.front());
        EXPECT_EQ("slider TB_THUMBTRACK 100", events[7]);
        EXPECT_EQ("slider TB_THUMBPOSITION 100", events[8]);
        // Down again in two steps.
        DragSlider(dialog, IDC_SLIDER, 0, 2);
        EXPECT_EQ((Events{"slider TB_THUMBTRACK 50", "slider TB_THUMBTRACK 0", "slider TB_THUMBPOSITION 0",
                          "slider TB_ENDTRACK 0", "slider NM_RELEASEDCAPTURE"}),
                  TakeEvents());
        KeySlider(dialog, IDC_SLIDER, VK_DOWN);
        EXPECT_EQ((Events{"slider TB_LINEDOWN 0", "slider TB_ENDTRACK 0"}), TakeEvents());
        EXPECT_EQ(1, SliderPosition(dialog, IDC_SLIDER));
        // Held at the end of the drag: one TB_THUMBTRACK and nothing more.
        EXPECT_TRUE(HoldSlider(dialog, IDC_SLIDER, 7));
        EXPECT_EQ((Events{"slider TB_THUMBTRACK 7"}), TakeEvents());
        EXPECT_EQ(7, SliderPosition(dialog, IDC_SLIDER));
        Click(dialog, IDOK);
    });
}

// ---- Buttons, combo box, tree

TEST_F(DialogDriverTest, ClickChooseAndTickSendWhatButtonsComboBoxesAndTreesSend) {
    (void)Run([&](HWND dialog) {
        Click(dialog, IDC_PUSH);
        EXPECT_EQ((Events{"edit EN_KILLFOCUS", "push BN_CLICKED"}), TakeEvents());
        EXPECT_EQ(IDC_PUSH, FocusedControlId(dialog));
        Click(dialog, IDC_CHECK);
        EXPECT_TRUE(IsChecked(dialog, IDC_CHECK));
        Click(dialog, IDC_CHECK);
        EXPECT_FALSE(IsChecked(dialog, IDC_CHECK));
        TakeEvents();
        Click(dialog, IDC_RADIO2);
        EXPECT_EQ((Events{"radio2 BN_CLICKED"}), TakeEvents());
        EXPECT_TRUE(IsChecked(dialog, IDC_RADIO2));
        EXPECT_FALSE(IsChecked(dialog, IDC_RADIO1));

        // A combo box choice.
        EXPECT_EQ((std::vector<std::wstring>{L"alpha", L"beta", L"gamma"}), ComboEntries(dialog, IDC_COMBO));
        ChooseComboEntry(dialog, IDC_COMBO, L"gamma");
        EXPECT_EQ((Events{"combo CBN_SETFOCUS", "combo CBN_SELENDOK", "combo CBN_SELCHANGE"}),
                  TakeEvents());
        EXPECT_EQ(2, ComboSelection(dialog, IDC_COMBO));
        ChooseComboEntry(dialog, IDC_COMBO, 0);
        EXPECT_EQ((Events{"combo CBN_SELENDOK", "combo CBN_SELCHANGE"}), TakeEvents());
        EXPECT_EQ(L"alpha", ComboSelectedText(dialog, IDC_COMBO));
        EXPECT_NONFATAL_FAILURE(ChooseComboEntry(dialog, IDC_COMBO, L"delta"), "\"alpha\" \"beta\" \"gamma\"");

        // A tree item's check box.
        TickTreeItem(dialog, IDC_TREE, L"two");
        EXPECT_TRUE(IsTreeItemChecked(dialog, IDC_TREE, L"two"));
        // NM_CLICK comes before the toggle, as on Windows.
        EXPECT_EQ((Events{"tree NM_CLICK [] at two check box", "combo CBN_SELENDCANCEL", "combo CBN_KILLFOCUS",
                          "tree TVN_SELCHANGING", "tree TVN_SELCHANGED", "tree NM_SETFOCUS"}),
                  TakeEvents());
        EXPECT_EQ(IDC_TREE, FocusedControlId(dialog));
        TickTreeItem(dialog, IDC_TREE, L"two");
        EXPECT_FALSE(IsTreeItemChecked(dialog, IDC_TREE, L"two"));
        EXPECT_EQ((Events{"tree NM_CLICK [two] at two check box"}), TakeEvents());
        // An item inside a collapsed branch is brought into view first.
        TickTreeItem(dialog, IDC_TREE, L"one.a");
        EXPECT_TRUE(IsTreeItemChecked(dialog, IDC_TREE, L"one.a"));
        EXPECT_FALSE(IsTreeItemChecked(dialog, IDC_TREE, L"one"));
        EXPECT_NONFATAL_FAILURE(TickTreeItem(dialog, IDC_TREE, L"four"), "no item \"four\"");
        Click(dialog, IDOK);
    });
}

}  // namespace
