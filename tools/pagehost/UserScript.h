// User scripts for the page host: what a person does in a page's dialog, one action
// per line, performed on the real controls by the dialog driver.
//
//   # TS distribution: choose the weight scale and confirm
//   choose Weight
//   click OK
//
// Words and comments are split as PageHostText.h describes: blanks separate words,
// "double quotes" hold a word with blanks, '#' begins a comment unless a digit follows it.
//
// A <control> is named by its caption ("OK", "Weight", "Min. threshold [dB]:"; '&'
// and a trailing ':' do not count, case does not matter) or by its id ("#1042"). A
// caption that is a label (static text or group box) names the first control after it
// in the dialog's order that the action can work on: the edit after "Range [m]:" for
// "type". Captions that name several controls need the id. The verb "controls" lists
// every control with its id.
//
//   type <control> <text>       replace the edit's text as typing does (EN_CHANGE)
//   leave <control>             tab on from the field (EN_KILLFOCUS)
//   drag <slider> <position>    drag the trackbar's thumb to a position
//   step <up-down> <delta>      click an up-down arrow once: +1 up, -1 down, a larger
//                               delta is a held arrow's acceleration; an edit with an
//                               up-down beside it names that up-down
//   press <control> <key>       a key in the control: up, down, left, right, pageup,
//                               pagedown, home, end, tab, enter, escape, delete
//   click <button>              push button, check box or radio button
//   choose <radio button>       the same as click, for a choice
//   choose <combo box> <entry>  pick the entry with this text
//   tick <tree> <item>          click the item's check box
//   expect <control> <text>     the control shows this text (a trackbar or up-down
//                               its position); quote a text that is a keyword below
//   expect <control> checked    also: unchecked, enabled, disabled
//   wait [<milliseconds>]       let the dialog run on its own (default 100, at most 10000)
//   controls                    print the dialog's controls with ids, kinds and texts
//
// A script should end by closing the dialog (click OK or Cancel).
#pragma once

#include <windows.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace tavrel::pagehost {

// A control as a script names it: by id when the caption is empty.
struct ControlName {
    int id = 0;
    std::wstring caption;
    std::wstring Text() const;  // "#1042" or the caption in quotes
};

enum class Verb { Type, Leave, Drag, Step, Press, Click, Choose, Tick, Expect, Wait, Controls };

// What "expect" checks.
enum class Expectation { Text, Checked, Unchecked, Enabled, Disabled };

struct ScriptAction {
    int line = 0;
    std::wstring source;  // the line as written, without comment and outer blanks
    Verb verb = Verb::Wait;
    ControlName control;
    std::wstring text;    // type: the text; choose: the entry (empty: a radio button);
                          // tick: the item; expect: the text
    int number = 0;       // drag: the position; step: the delta; wait: milliseconds
    UINT key = 0;         // press: the virtual key
    Expectation expectation = Expectation::Text;
};

struct UserScript {
    std::wstring fileName;
    std::vector<ScriptAction> actions;
};

// Reads the script file at path and parses it. On the first malformed line: false with
// "<path>:<line>: <reason>" (a file that cannot be read: "<path>: <reason>").
bool LoadUserScript(const std::wstring& path, UserScript* script, std::wstring* error);

struct ScriptOutcome {
    bool completed = false;     // every action was performed as written
    int closedByLine = 0;       // the line whose action closed the dialog, 0 if none did
    std::wstring problem;       // "<file>:<line>: <source>: <what went wrong>" when not completed
};

// Performs the script's actions in the open dialog, in order, from inside its modal
// loop; echoes each action to out. Stops at the first action that cannot be done or
// whose expectation fails, and at an action after the dialog has closed. Leaves the
// dialog as the actions left it. whileOpen (when given) sees the open dialog before
// each action and after the last one: the last call shows it as the script left it.
ScriptOutcome RunUserScript(HWND dialog, const UserScript& script, std::ostream& out,
                            const std::function<void(HWND)>& whileOpen = {});

}  // namespace tavrel::pagehost
