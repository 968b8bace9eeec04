#include "UserScript.h"

#include "PageHostText.h"
#include "SimText.h"
#include "driver/DialogDriver.h"

#include <commctrl.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cwchar>
#include <cwctype>
#include <iterator>

namespace tavrel::pagehost {

using hostsim::Quote;

namespace {

// ---- Parsing

struct NamedKey {
    const wchar_t* name;
    UINT key;
};

const NamedKey kKeys[] = {
    {L"up", VK_UP},     {L"down", VK_DOWN},   {L"left", VK_LEFT},     {L"right", VK_RIGHT},
    {L"pageup", VK_PRIOR}, {L"pagedown", VK_NEXT}, {L"home", VK_HOME}, {L"end", VK_END},
    {L"tab", VK_TAB},   {L"enter", VK_RETURN}, {L"escape", VK_ESCAPE}, {L"delete", VK_DELETE},
};

struct VerbSyntax {
    const wchar_t* name;
    Verb verb;
    const wchar_t* usage;
};

const VerbSyntax kVerbs[] = {
    {L"type", Verb::Type, L"type <control> <text>"},
    {L"leave", Verb::Leave, L"leave <control>"},
    {L"drag", Verb::Drag, L"drag <slider> <position>"},
    {L"step", Verb::Step, L"step <up-down> <delta>"},
    {L"press", Verb::Press, L"press <control> <key>"},
    {L"click", Verb::Click, L"click <button>"},
    {L"choose", Verb::Choose, L"choose <radio button> | choose <combo box> <entry>"},
    {L"tick", Verb::Tick, L"tick <tree> <item>"},
    {L"expect", Verb::Expect, L"expect <control> <text>|checked|unchecked|enabled|disabled"},
    {L"wait", Verb::Wait, L"wait [<milliseconds>]"},
    {L"controls", Verb::Controls, L"controls"},
};

bool ParseInteger(const std::wstring& text, int* value) {
    if (text.empty() || std::iswspace(text[0])) return false;
    wchar_t* end = nullptr;
    errno = 0;
    const long parsed = std::wcstol(text.c_str(), &end, 10);
    if (errno || *end || parsed < INT_MIN || parsed > INT_MAX) return false;
    *value = static_cast<int>(parsed);
    return true;
}

ControlName ToControlName(const Word& word) {
    ControlName name;
    int id = 0;
    if (!word.quoted && word.text.size() > 1 && word.text[0] == L'#' && std::iswdigit(word.text[1]) &&
        ParseInteger(word.text.substr(1), &id)) {
        name.id = id;
    } else {
        name.caption = word.text;
    }
    return name;
}

// Parses the words after the verb into the action; false with the reason.
bool ParseArguments(const std::vector<Word>& args, ScriptAction* action, std::wstring* reason) {
    const auto count = [&](std::size_t least, std::size_t most) {
        if (args.size() >= least && args.size() <= most) return true;
        *reason = args.size() < least ? L"too few words" : L"too many words (quote a text with blanks)";
        return false;
    };
    const auto number = [&](const Word& word, const wchar_t* what, int* value) {
        if (ParseInteger(word.text, value)) return true;
        *reason = std::wstring(what) + L" " + Quote(word.text) + L" is not an integer";
        return false;
    };

    switch (action->verb) {
    case Verb::Type:
        if (!count(2, 2)) return false;
        action->text = args[1].text;
        break;
    case Verb::Leave:
    case Verb::Click:
        if (!count(1, 1)) return false;
        break;
    case Verb::Drag:
        if (!count(2, 2) || !number(args[1], L"the position", &action->number)) return false;
        break;
    case Verb::Step:
        if (!count(2, 2) || !number(args[1], L"the delta", &action->number)) return false;
        if (action->number == 0) {
            *reason = L"a step of 0 is no click";
            return false;
        }
        break;
    case Verb::Press: {
        if (!count(2, 2)) return false;
        const auto found = std::find_if(std::begin(kKeys), std::end(kKeys),
                                        [&](const NamedKey& key) { return args[1].text == key.name; });
        if (found == std::end(kKeys)) {
            *reason = Quote(args[1].text) +
                      L" is not a key (up, down, left, right, pageup, pagedown, home, end, tab, enter, escape, "
                      L"delete)";
            return false;
        }
        action->key = found->key;
        break;
    }
    case Verb::Choose:
        if (!count(1, 2)) return false;
        if (args.size() == 2) action->text = args[1].text;
        break;
    case Verb::Tick:
        if (!count(2, 2)) return false;
        action->text = args[1].text;
        break;
    case Verb::Expect: {
        if (!count(2, 2)) return false;
        const Word& what = args[1];
        if (!what.quoted && what.text == L"checked") {
            action->expectation = Expectation::Checked;
        } else if (!what.quoted && what.text == L"unchecked") {
            action->expectation = Expectation::Unchecked;
        } else if (!what.quoted && what.text == L"enabled") {
            action->expectation = Expectation::Enabled;
        } else if (!what.quoted && what.text == L"disabled") {
            action->expectation = Expectation::Disabled;
        } else {
            action->text = what.text;
        }
        break;
    }
    case Verb::Wait:
        action->number = 100;
        if (!count(0, 1) || (args.size() == 1 && !number(args[0], L"the time", &action->number))) return false;
        if (action->number < 0 || action->number > 10000) {
            *reason = L"wait between 0 and 10000 milliseconds";
            return false;
        }
        return true;
    case Verb::Controls:
        return count(0, 0);
    }
    action->control = ToControlName(args[0]);
    return true;
}

std::wstring Trimmed(const std::wstring& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && std::iswspace(text[first])) ++first;
    while (last > first && std::iswspace(text[last - 1])) --last;
    return text.substr(first, last - first);
}

// The line without its comment, for echoing: the words joined again.
std::wstring SourceOf(const std::vector<Word>& words) {
    std::wstring source;
    for (const Word& word : words) {
        if (!source.empty()) source += L' ';
        const bool needsQuotes = word.quoted || word.text.empty() || word.text.find(L' ') != std::wstring::npos;
        source += needsQuotes ? Quote(word.text) : word.text;
    }
    return source;
}

// ---- Controls of the open dialog

enum class Kind { Any, Edit, Button, Trackbar, UpDown, Combo, Tree };

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

bool ClassIs(HWND window, const wchar_t* className) { return lstrcmpiW(ClassOf(window).c_str(), className) == 0; }

LONG StyleOf(HWND window) { return GetWindowLongW(window, GWL_STYLE); }

bool IsGroupBox(HWND window) { return ClassIs(window, L"Button") && (StyleOf(window) & BS_TYPEMASK) == BS_GROUPBOX; }

bool IsLabel(HWND window) { return ClassIs(window, L"Static") || IsGroupBox(window); }

bool IsKind(HWND window, Kind kind) {
    switch (kind) {
    case Kind::Any: return !IsLabel(window);
    case Kind::Edit: return ClassIs(window, L"Edit");
    case Kind::Button: return ClassIs(window, L"Button") && !IsGroupBox(window);
    case Kind::Trackbar: return ClassIs(window, TRACKBAR_CLASSW);
    case Kind::UpDown: return ClassIs(window, UPDOWN_CLASSW);
    case Kind::Combo: return ClassIs(window, L"ComboBox");
    case Kind::Tree: return ClassIs(window, WC_TREEVIEWW);
    }
    return false;
}

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

// A caption as compared: without '&' marks, outer blanks and a trailing ':', lower case.
std::wstring Normalized(const std::wstring& caption) {
    std::wstring text;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == L'&') {
            if (i + 1 < caption.size() && caption[i + 1] == L'&') text += caption[++i];
            continue;
        }
        text += caption[i];
    }
    text = Trimmed(text);
    if (!text.empty() && text.back() == L':') text = Trimmed(text.substr(0, text.size() - 1));
    if (!text.empty()) CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

bool IsDialog(HWND window) { return ClassIs(window, L"#32770"); }

// Collects the controls: the children whose parent is a dialog (windows inside a
// control, such as a combo box's edit, are not controls of their own). A named
// function: a lambda has the wrong calling convention on 32-bit Windows.
BOOL CALLBACK CollectControl(HWND child, LPARAM parameter) {
    if (!IsDialog(child) && IsDialog(GetParent(child))) {
        reinterpret_cast<std::vector<HWND>*>(parameter)->push_back(child);
    }
    return TRUE;
}

// The dialog's controls (and those of dialogs nested in it) in the dialog's order.
std::vector<HWND> ControlsOf(HWND dialog) {
    std::vector<HWND> controls;
    EnumChildWindows(dialog, CollectControl, reinterpret_cast<LPARAM>(&controls));
    return controls;
}

// The up-down whose buddy is this edit, or null.
HWND UpDownOf(HWND dialog, HWND edit) {
    for (HWND control : ControlsOf(dialog)) {
        if (ClassIs(control, UPDOWN_CLASSW) &&
            reinterpret_cast<HWND>(SendMessageW(control, UDM_GETBUDDY, 0, 0)) == edit) {
            return control;
        }
    }
    return nullptr;
}

// What a caption match names for an action that needs this kind of control.
HWND Named(HWND dialog, const std::vector<HWND>& controls, std::size_t index, Kind kind) {
    HWND match = controls[index];
    if (IsLabel(match)) {
        // A label names the first control after it that the action can work on.
        for (std::size_t i = index + 1; i < controls.size(); ++i) {
            if (IsKind(controls[i], kind)) {
                match = controls[i];
                break;
            }
        }
        if (IsLabel(match)) return nullptr;
    }
    if (kind == Kind::UpDown && ClassIs(match, L"Edit")) {
        if (HWND upDown = UpDownOf(dialog, match)) return upDown;
    }
    return match;
}

std::wstring IdText(HWND control) { return L"#" + std::to_wstring(GetDlgCtrlID(control)); }

// Finds the control a script names; null with the reason when there is none or the
// caption is ambiguous.
HWND Resolve(HWND dialog, const ControlName& name, Kind kind, std::wstring* reason) {
    if (name.caption.empty()) {
        for (HWND control : ControlsOf(dialog)) {
            if (GetDlgCtrlID(control) == name.id) return control;
        }
        *reason = L"the dialog has no control " + name.Text();
        return nullptr;
    }
    const std::wstring wanted = Normalized(name.caption);
    const std::vector<HWND> controls = ControlsOf(dialog);
    std::vector<HWND> found;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (Normalized(WindowText(controls[i])) != wanted) continue;
        HWND named = Named(dialog, controls, i, kind);
        if (named && std::find(found.begin(), found.end(), named) == found.end()) found.push_back(named);
    }
    if (found.size() == 1) return found.front();
    if (found.empty()) {
        *reason = L"the dialog has no control with the caption " + name.Text() +
                  L" (the \"controls\" action lists them)";
    } else {
        *reason = L"the caption " + name.Text() + L" names several controls (";
        for (std::size_t i = 0; i < found.size(); ++i) *reason += (i ? L", " : L"") + IdText(found[i]);
        *reason += L"): name one by its id";
    }
    return nullptr;
}

// What the user reads in a control: its text, or the position of a trackbar or up-down.
std::wstring Shown(HWND control) {
    if (ClassIs(control, TRACKBAR_CLASSW)) return std::to_wstring(SendMessageW(control, TBM_GETPOS, 0, 0));
    if (ClassIs(control, UPDOWN_CLASSW)) return std::to_wstring(SendMessageW(control, UDM_GETPOS32, 0, 0));
    return WindowText(control);
}

std::wstring KindText(HWND control) {
    if (ClassIs(control, L"Static")) return L"label";
    if (ClassIs(control, L"Edit")) return L"edit";
    if (ClassIs(control, TRACKBAR_CLASSW)) return L"slider";
    if (ClassIs(control, UPDOWN_CLASSW)) return L"up-down";
    if (ClassIs(control, L"ComboBox")) return L"combo box";
    if (ClassIs(control, WC_TREEVIEWW)) return L"tree";
    if (ClassIs(control, L"Button")) {
        switch (StyleOf(control) & BS_TYPEMASK) {
        case BS_GROUPBOX: return L"group box";
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE: return L"check box";
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return L"radio button";
        default: return L"button";
        }
    }
    return ClassOf(control);
}

bool IsCheckable(HWND control) {
    const std::wstring kind = KindText(control);
    return kind == L"check box" || kind == L"radio button";
}

// One line per control, each begun with a line break: "#1042 radio button "Weight" checked".
void ListControls(HWND dialog, std::ostream& out) {
    for (HWND control : ControlsOf(dialog)) {
        std::wstring line = L"       " + IdText(control) + L" " + KindText(control);
        const std::wstring shown = Shown(control);
        if (!shown.empty() || ClassIs(control, L"Edit")) line += L" " + Quote(shown);
        if (IsCheckable(control)) {
            line += SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? L" checked" : L" unchecked";
        }
        if (!(StyleOf(control) & WS_VISIBLE)) line += L" hidden";
        if (!IsWindowEnabled(control)) line += L" disabled";
        out << "\n" << Utf8(line);
    }
}

Kind KindFor(const ScriptAction& action) {
    switch (action.verb) {
    case Verb::Type:
    case Verb::Leave: return Kind::Edit;
    case Verb::Drag: return Kind::Trackbar;
    case Verb::Step: return Kind::UpDown;
    case Verb::Click: return Kind::Button;
    case Verb::Choose: return action.text.empty() ? Kind::Button : Kind::Combo;
    case Verb::Tick: return Kind::Tree;
    case Verb::Expect:
        return action.expectation == Expectation::Checked || action.expectation == Expectation::Unchecked
                   ? Kind::Button
                   : Kind::Any;
    case Verb::Press:
    case Verb::Wait:
    case Verb::Controls: return Kind::Any;
    }
    return Kind::Any;
}

bool IsOpen(HWND dialog) { return IsWindow(dialog) && (StyleOf(dialog) & WS_VISIBLE) != 0; }

// Lets the dialog handle what is posted to it for a while, as it would while the user
// pauses.
void Wait(int milliseconds) {
    const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
    do {
        driver::PumpMessages();
        if (GetTickCount64() >= until) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount64() < until);
    driver::PumpMessages();
}

// Checks an expectation; false with what the user sees instead.
bool Check(HWND control, const ScriptAction& action, std::wstring* reason) {
    const std::wstring name = action.control.Text();
    switch (action.expectation) {
    case Expectation::Text: {
        const std::wstring shown = Shown(control);
        if (shown == action.text) return true;
        *reason = L"expected " + name + L" to show " + Quote(action.text) + L"; it shows " + Quote(shown);
        return false;
    }
    case Expectation::Checked:
    case Expectation::Unchecked: {
        const bool checked = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
        if (checked == (action.expectation == Expectation::Checked)) return true;
        *reason = L"expected " + name + (checked ? L" to be unchecked; it is checked" : L" to be checked; it is not");
        return false;
    }
    case Expectation::Enabled:
    case Expectation::Disabled: {
        const bool enabled = IsWindowEnabled(control) != FALSE;
        if (enabled == (action.expectation == Expectation::Enabled)) return true;
        *reason = L"expected " + name +
                  (enabled ? L" to be disabled; it is enabled" : L" to be enabled; it is disabled");
        return false;
    }
    }
    return false;
}

// Performs one action; false with the reason when it cannot be done or an expectation
// fails. The driver's own complaints arrive through the failure collector.
bool Perform(HWND dialog, const ScriptAction& action, std::ostream& out, std::wstring* reason) {
    if (action.verb == Verb::Wait) {
        Wait(action.number);
        return true;
    }
    if (action.verb == Verb::Controls) {
        ListControls(dialog, out);
        return true;
    }
    HWND control = Resolve(dialog, action.control, KindFor(action), reason);
    if (!control) return false;
    if (action.verb == Verb::Expect) return Check(control, action, reason);

    const int id = GetDlgCtrlID(control);
    switch (action.verb) {
    case Verb::Type: return driver::TypeText(dialog, id, action.text);
    case Verb::Leave: return driver::LeaveField(dialog, id);
    case Verb::Drag: return driver::DragSlider(dialog, id, action.number);
    case Verb::Step: return driver::StepUpDown(dialog, id, action.number);
    case Verb::Press: return driver::PressKey(dialog, id, action.key);
    case Verb::Click: return driver::Click(dialog, id);
    case Verb::Choose:
        if (action.text.empty()) {
            if (KindText(control) != L"radio button") {
                *reason = action.control.Text() + L" is a " + KindText(control) +
                          L", not a radio button (\"choose <combo box> <entry>\" picks an entry)";
                return false;
            }
            return driver::Click(dialog, id);
        }
        return driver::ChooseComboEntry(dialog, id, action.text);
    case Verb::Tick: return driver::TickTreeItem(dialog, id, action.text);
    default: return false;
    }
}

}  // namespace

std::wstring ControlName::Text() const { return caption.empty() ? L"#" + std::to_wstring(id) : Quote(caption); }

bool LoadUserScript(const std::wstring& path, UserScript* script, std::wstring* error) {
    UserScript parsed;
    parsed.fileName = path;
    const auto parseLine = [&](const VerbSyntax& syntax, int lineNumber, const std::vector<Word>& words,
                               std::wstring* reason) {
        ScriptAction action;
        action.line = lineNumber;
        action.source = SourceOf(words);
        action.verb = syntax.verb;
        if (!ParseArguments(std::vector<Word>(words.begin() + 1, words.end()), &action, reason)) return false;
        parsed.actions.push_back(std::move(action));
        return true;
    };
    std::wstring text;
    if (!ReadTextFile(path, L"script", &text, error) ||
        !ParseKeywordLines(text, path, kVerbs, L"action", parseLine, error)) {
        return false;
    }
    *script = std::move(parsed);
    return true;
}

ScriptOutcome RunUserScript(HWND dialog, const UserScript& script, std::ostream& out,
                            const std::function<void(HWND)>& whileOpen) {
    ScriptOutcome outcome;
    FailureCollector failures;
    const auto look = [&] {
        if (whileOpen && IsOpen(dialog))
            whileOpen(dialog);
    };
    for (const ScriptAction& action : script.actions) {
        look();
        out << "  " << action.line << ": " << Utf8(action.source);
        std::wstring reason;
        bool done = false;
        if (!IsOpen(dialog)) {
            reason = L"the dialog has already closed (line " + std::to_wstring(outcome.closedByLine) + L" closed it)";
        } else {
            done = Perform(dialog, action, out, &reason);
            driver::PumpMessages();
        }
        // The driver says why it could not act.
        const std::wstring driverSaid = failures.TakeText();
        if (reason.empty()) reason = driverSaid;
        if (!done || !reason.empty()) {
            out << " <- failed\n";
            outcome.problem = script.fileName + L":" + std::to_wstring(action.line) + L": " + action.source + L": " +
                              (reason.empty() ? L"the action could not be done" : reason);
            return outcome;
        }
        if (!outcome.closedByLine && !IsOpen(dialog)) {
            outcome.closedByLine = action.line;
            out << " -> the dialog closed";
        }
        out << "\n";
    }
    look();
    outcome.completed = true;
    return outcome;
}

}  // namespace tavrel::pagehost
