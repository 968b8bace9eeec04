// What every page test shares: the library as a host sees it, a simulated host, and
// the end-of-test checks that the page gave back every reference it took and that
// the module can unload.
#pragma once

#include "DialogDriver.h"
#include "HostInterfaces.h"
#include "HostSim.h"
#include "TavrelClasses.h"
#include "TavrelLibrary.h"

#include <gtest/gtest.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace tavrel::test {

using Lines = std::vector<std::wstring>;

// One thing the user does in a dialog, or sees there, for Do.
struct Step {
    std::function<void(HWND dialog)> run;
};
Step Type(int editId, std::wstring text);
Step Leave(int editId);
Step Drag(int trackbarId, int position);
Step Hold(int trackbarId, int position);  // the thumb still held
Step Key(int trackbarId, UINT virtualKey);
Step Arrow(int upDownId, int delta);
Step Press(int buttonId);
// Expects a control's text, or the texts of several controls.
Step Shows(int id, std::wstring text);
Step Shows(std::vector<int> ids, Lines texts);
// Expects a trackbar's position; a control enabled, visible or checked; the
// dialog's title.
Step At(int trackbarId, int position);
Step At(std::vector<int> trackbarIds, std::vector<int> positions);
Step Enabled(int id, bool enabled = true);
Step Visible(int id, bool visible = true);
Step Checked(int buttonId, bool checked = true);
Step Titled(std::wstring title);
// Runs steps in order; a failure names its step.
void Do(HWND dialog, std::initializer_list<Step> steps);

class PageTest : public ::testing::Test {
protected:
    void TearDown() override;

    Microsoft::WRL::ComPtr<IPropertyPage> CreatePage(REFCLSID clsid);
    // A page already handed these host objects (GiveObjects).
    Microsoft::WRL::ComPtr<IPropertyPage> CreatePage(REFCLSID clsid,
                                                     std::initializer_list<hostsim::HostObject*> objects);
    // Activates the page and runs body inside its modal loop, as the user.
    // Returns false when no dialog opened.
    bool ActivateAndRun(IPropertyPage* page, const std::function<void(HWND dialog)>& body);

    // A host view whose services (here the help viewer) are found through IObjectSite.
    hostsim::HostObject& CreateViewWithHelp();

    // Activates the page and plays steps in it (Do); Run does so with page.
    bool Use(IPropertyPage* page, std::initializer_list<Step> steps);
    void Run(std::initializer_list<Step> steps) { Use(page.Get(), steps); }
    // Expects page's IPropertyPage::IsPageDirty answer.
    Step Dirty(bool dirty);
    // What the host received since the last call (or the test's start); clears it.
    Lines TakeLines();
    // Expects what TakeLines gives, half way through a run.
    Step Wrote(Lines expected);

    hostsim::Host host;
    // The page a test uses most, released before the end-of-test checks.
    Microsoft::WRL::ComPtr<IPropertyPage> page;
};

// Hands the page these host objects (null for a missing one) with IPropertyPage::SetObjects.
HRESULT GiveObjects(IPropertyPage* page, std::initializer_list<hostsim::HostObject*> objects);
// Runs use with a copy of the library under fileName, a module of its own whose log
// keeps the host logger it finds; expects it to unload afterwards, and deletes it.
void WithLibraryCopy(const wchar_t* fileName, const std::function<void(TavrelLibrary& library)>& use);
// Creates a page of the library, hands it the objects and runs body inside its modal
// loop, as the user; for a library loaded as a module of its own.
void RunPage(const TavrelLibrary& library, REFCLSID clsid, std::initializer_list<hostsim::HostObject*> objects,
             const std::function<void(HWND dialog)>& body);

// What a field shows with a trackbar's thumb held at each position from 0 to
// count - 1, in turn.
std::vector<std::wstring> FieldAtEachPosition(HWND dialog, int trackbarId, int editId, std::size_t count);

// Opens a single target detection page of library on view and cancels it; the page
// is given an empty settings store of its own, so it logs nothing itself. The
// module's log takes the host logger that the view's lookup finds and keeps it until
// the module unloads: use a copy of the library (TavrelLibrary::CopyBesideTheProgram).
void GiveLoggerTo(TavrelLibrary& library, hostsim::HostObject& view);

}  // namespace tavrel::test
