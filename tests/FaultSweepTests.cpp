// The fault sweep: every page of the library, run as its example runs it (the example
// host description and user script), then run again once for every host operation
// that run called and every fault that operation can show: an error result, a negative
// status, a value of the wrong type, a null object, a missing interface. Whatever the
// host does, every run must end with every reference returned and the module free to
// unload; Cancel must write nothing; and a fault must not make a page write anything
// the page does not write without it. What the pages were seen to call is checked
// against the integration guide, docs/integration.md.
#include "HostDescription.h"
#include "PageTest.h"
#include "UserScript.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace tavrel::test {
namespace {

const std::wstring kExamples = L"" TAVREL_EXAMPLES_DIR;
const int kHelpButton = 57670;

struct ExamplePage {
    const char* name;
    const CLSID* clsid;
    const wchar_t* host;
    const wchar_t* script;
    // A write the page makes only when its usual route is gone, e.g. straight into
    // the channel when the host has no parameter server to hand.
    const wchar_t* fallbackWrite = nullptr;
};

const ExamplePage kPages[] = {
    {"RangeSurfaceDialog", &CLSID_RangeSurfaceDialog, L"range-surface.host", L"range-surface-deeper.script"},
    {"RangeSurfaceDialog", &CLSID_RangeSurfaceDialog, L"range-surface.host", L"range-surface-apply-all.script"},
    {"HorizontalDistanceDialog", &CLSID_HorizontalDistanceDialog, L"horizontal-axis.host",
     L"horizontal-axis-hours.script"},
    {"TsDistributionDlg", &CLSID_TsDistributionDlg, L"ts-distribution.host", L"ts-distribution-weight.script"},
    {"BottomDetectorDialog", &CLSID_BottomDetectorDialog, L"bottom-detection.host", L"bottom-detection-deeper.script",
     L"channel.IValueStore::PutValue("},
    {"BottomDetectorDialog", &CLSID_BottomDetectorDialog, L"bottom-detection.host", L"bottom-detection-all.script"},
    {"EchoTraceDialog", &CLSID_EchoTraceDialog, L"echo-trace.host", L"echo-trace-threshold.script"},
    {"EchoTraceDialog", &CLSID_EchoTraceDialog, L"echo-trace.host", L"echo-trace-calibrate.script"},
    {"ColorScaleDialog", &CLSID_ColorScaleDialog, L"color-scale.host", L"color-scale-apply-all.script"},
    {"ConfigureWindowDlg", &CLSID_ConfigureWindowDlg, L"configure-window.host",
     L"configure-window-hide-scope.script"},
    {"RangeScrollDlg", &CLSID_RangeScrollDlg, L"range-scroll.host", L"range-scroll-deeper.script"},
    {"ScopeDialog", &CLSID_ScopeDialog, L"scope.host", L"scope-linear.script"},
};

// One host operation of one object, as the host counted it; key names the interface
// of a "QueryInterface".
struct Operation {
    std::wstring object;
    std::wstring name;
    std::wstring key;
};

// The faults an operation can show, by what it hands back.
std::vector<std::pair<const char*, hostsim::Fault>> FaultsFor(const Operation& operation) {
    if (operation.name == L"QueryInterface")
        return {{"missing interface", hostsim::Fault::Fail(E_NOINTERFACE)}};
    const std::wstring& name = operation.name;
    const auto is = [&name](std::initializer_list<const wchar_t*> names) {
        for (const wchar_t* candidate : names) {
            if (name == candidate)
                return true;
        }
        return false;
    };
    std::vector<std::pair<const char*, hostsim::Fault>> faults = {{"error result", hostsim::Fault::Fail()}};
    if (is({L"IObjectLocator::LocateObject", L"IParameterAccess::GetParameter", L"IParameterAccess::SetParameter",
            L"IParameterServer::Subscribe", L"IParameterServer::SetValue"}))
        faults.push_back({"negative status", hostsim::Fault::Status(-1)});
    if (is({L"IValueStore::GetValue", L"IParameterAccess::GetParameter"})) {
        faults.push_back({"wrong type (VT_BSTR)", hostsim::Fault::WrongType(VT_BSTR)});
        faults.push_back({"wrong type (VT_R4)", hostsim::Fault::WrongType(VT_R4)});
    }
    if (is({L"IObjectLocator::LocateObject", L"IObjectSite::GetObject", L"IObjectContainer::GetObject",
            L"ILayerSelection::GetSelectedLayer", L"ILayer::GetName", L"IHostNode::GetName",
            L"IHostNode::GetChildren", L"IHostView::GetApplication", L"IHostApplication::GetStringValue",
            L"IHostCollection::GetEnumerator", L"ITransceiverDirectory::GetTransceiver", L"IChannel::GetChannelID",
            L"IChannel::GetComponent", L"IChannelOrigin::GetOriginID", L"IProcessingUnit::GetSettings"}))
        faults.push_back({"null object", hostsim::Fault::NullObject()});
    return faults;
}

// What writes to the host look like in its journal.
bool IsWrite(const std::wstring& line) {
    for (const wchar_t* write : {L"::PutValue(", L"::SetValue(", L"::SetParameter(", L"::SetDepthRange(",
                                 L"::ExecuteCommand(", L"::StartCalibration("}) {
        if (line.find(write) != std::wstring::npos)
            return true;
    }
    return false;
}

// A write without its value: "object.Interface::Operation(\"name\"" or, for writes
// that name nothing, the operation alone. A parameter path loses its root: a page
// whose layer cannot be named writes under "Local/" what it would otherwise write
// under the layer's own root, and that is the same write.
std::wstring WhatIsWritten(const std::wstring& line) {
    const std::size_t open = line.find(L'(');
    const std::size_t comma = line.find(L", ", open);
    if (line[open + 1] != L'"' || comma == std::wstring::npos)
        return line.substr(0, open);
    std::wstring name = line.substr(open + 2, comma - open - 2);
    const std::size_t slash = name.find(L'/');
    if (slash != std::wstring::npos)
        name.erase(0, slash + 1);
    return line.substr(0, open + 2) + name;
}

// Numbers a host must never receive.
bool HoldsNonFiniteNumber(const std::wstring& line) {
    return line.find(L"nan") != std::wstring::npos || line.find(L"inf") != std::wstring::npos;
}

struct RunOutcome {
    std::vector<std::wstring> journal;
    std::vector<Operation> operations;
    std::vector<std::pair<std::wstring, std::wstring>> keys;  // (operation, what it named)
    bool ran = false;
    std::wstring scriptProblem;  // why the script stopped short, if it did
};

// What the user does once the page is open.
enum class Play { Script, CancelOnly, HelpThenCancel };

// Runs the page on a host built from its example description, with fault applied to
// one operation (or none).
RunOutcome RunExample(const ExamplePage& example, const Operation* faulted, const hostsim::Fault& fault,
                      Play play) {
    RunOutcome outcome;
    hostsim::Host host;
    pagehost::HostDescription description;
    std::wstring error;
    if (!pagehost::LoadHostDescription(kExamples + L"/" + example.host, host, &description, &error)) {
        ADD_FAILURE() << std::string(error.begin(), error.end());
        return outcome;
    }
    pagehost::UserScript script;
    if (!pagehost::LoadUserScript(kExamples + L"/" + example.script, &script, &error)) {
        ADD_FAILURE() << std::string(error.begin(), error.end());
        return outcome;
    }
    if (faulted) {
        hostsim::HostObject* object = host.Find(faulted->object);
        if (faulted->key.empty())
            object->SetFault(faulted->name, fault);
        else
            object->SetFault(faulted->name, faulted->key, fault);
    }
    {
        ComPtr<IPropertyPage> page = TavrelLibrary::Instance().CreatePage(*example.clsid);
        std::vector<IUnknown*> objects;
        for (hostsim::HostObject* object : description.pageObjects)
            objects.push_back(object ? object->Identity() : nullptr);
        IUnknown* none = nullptr;
        EXPECT_EQ(S_OK, page->SetObjects(static_cast<ULONG>(objects.size()), objects.empty() ? &none : objects.data()));
        const RECT rect{0, 0, 300, 200};
        RunDialogOptions options;
        options.watchdogMs = 15000;  // a message box or a hang fails the run
        outcome.ran = RunDialog([&] { page->Activate(nullptr, &rect, TRUE); },
                                [&](HWND dialog) {
                                    std::ostringstream ignored;
                                    if (play == Play::Script)
                                        outcome.scriptProblem = pagehost::RunUserScript(dialog, script, ignored).problem;
                                    if (play == Play::HelpThenCancel)
                                        ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kHelpButton, BN_CLICKED),
                                                       reinterpret_cast<LPARAM>(::GetDlgItem(dialog, kHelpButton)));
                                    // A script a fault stopped half way, and a page that
                                    // stays open, are closed as a user would.
                                    if (::IsWindow(dialog))
                                        ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                                },
                                options);
    }
    host.ReleaseSubscribers();
    EXPECT_TRUE(host.AllReferencesReturned()) << host.OutstandingText();
    EXPECT_EQ(S_OK, TavrelLibrary::Instance().CanUnloadNow()) << "a page or class object is still alive";
    outcome.journal = host.Lines();
    for (hostsim::HostObject* object : host.Objects()) {
        for (const std::wstring& name : object->CalledOperations()) {
            for (const std::wstring& key : object->CalledKeys(name))
                outcome.keys.push_back({name, key});
            if (name == L"QueryInterface") {
                for (const std::wstring& key : object->CalledKeys(name))
                    outcome.operations.push_back({object->Name(), name, key});
            } else {
                outcome.operations.push_back({object->Name(), name, L""});
            }
        }
    }
    return outcome;
}

std::set<std::wstring> WritesOf(const std::vector<std::wstring>& journal) {
    std::set<std::wstring> writes;
    for (const std::wstring& line : journal) {
        if (IsWrite(line))
            writes.insert(WhatIsWritten(line));
    }
    return writes;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// What the sweep saw one page do to its host, in every run of it.
struct PageRecord {
    std::set<std::wstring> calls;          // "IValueStore::GetValue"
    std::set<std::wstring> asksFor;        // interfaces queried of host objects
    std::set<std::wstring> valueNames;     // values and parameters read, written or followed
    std::set<std::wstring> applyAllNames;  // parameter names starting "ApplyAll:"
    std::set<std::wstring> helpTopics;
};

struct SweepOutcome {
    std::map<std::string, PageRecord> pages;
    std::size_t operations = 0;
    std::size_t pairs = 0;  // (operation, fault) pairs
    int runs = 0;
    int changed = 0;  // faulted runs in which the host received something else
};

// Operations whose key is a value name or a parameter path.
bool NamesAValue(const std::wstring& operation) {
    for (const wchar_t* named :
         {L"IValueStore::GetValue", L"IValueStore::PutValue", L"IParameterAccess::GetParameter",
          L"IParameterAccess::SetParameter", L"IParameterServer::Subscribe", L"IParameterServer::SetValue",
          L"IParameterNotifier::Subscribe", L"IHostApplication::GetStringValue"}) {
        if (operation == named)
            return true;
    }
    return false;
}

void Note(PageRecord& record, const RunOutcome& run) {
    for (const Operation& operation : run.operations) {
        if (operation.name == L"QueryInterface")
            record.asksFor.insert(operation.key);
        else
            record.calls.insert(operation.name);
    }
    for (const auto& [operation, key] : run.keys) {
        if (operation == L"IHelpViewer::ShowTopic")
            record.helpTopics.insert(key);
        else if (key.rfind(L"ApplyAll:", 0) == 0)
            record.applyAllNames.insert(key);
        else if (NamesAValue(operation))
            record.valueNames.insert(key.substr(key.rfind(L'/') + 1));  // a path by its parameter
    }
}

// Runs the sweep once for the tests below.
const SweepOutcome& Sweep() {
    static const SweepOutcome outcome = [] {
        SweepOutcome sweep;
        for (const ExamplePage& example : kPages) {
            SCOPED_TRACE(example.name);
            PageRecord& record = sweep.pages[example.name];
            const RunOutcome normal = RunExample(example, nullptr, hostsim::Fault{}, Play::Script);
            EXPECT_TRUE(normal.ran) << "the example opened no dialog";
            EXPECT_EQ("", Narrow(normal.scriptProblem)) << "the example script does not run as written";
            if (!normal.ran)
                continue;
            Note(record, normal);
            Note(record, RunExample(example, nullptr, hostsim::Fault{}, Play::HelpThenCancel));
            const std::set<std::wstring> normalWrites = WritesOf(normal.journal);
            EXPECT_TRUE(WritesOf(RunExample(example, nullptr, hostsim::Fault{}, Play::CancelOnly).journal).empty())
                << "Cancel writes nothing";
            sweep.operations += normal.operations.size();
            for (const Operation& operation : normal.operations) {
                for (const auto& [faultName, fault] : FaultsFor(operation)) {
                    SCOPED_TRACE(Narrow(operation.object + L"." + operation.name + L" " + operation.key) + ": " +
                                 faultName);
                    const RunOutcome faulted = RunExample(example, &operation, fault, Play::Script);
                    const RunOutcome cancelled = RunExample(example, &operation, fault, Play::CancelOnly);
                    Note(record, faulted);
                    sweep.runs += 2;
                    ++sweep.pairs;
                    if (faulted.journal != normal.journal)
                        ++sweep.changed;
                    for (const std::wstring& line : faulted.journal) {
                        if (!IsWrite(line))
                            continue;
                        const bool fallback = example.fallbackWrite && line.find(example.fallbackWrite) == 0;
                        EXPECT_TRUE(fallback || normalWrites.count(WhatIsWritten(line)))
                            << "a write the page makes only under the fault: " << Narrow(line);
                        EXPECT_FALSE(HoldsNonFiniteNumber(line)) << Narrow(line);
                    }
                    EXPECT_TRUE(WritesOf(cancelled.journal).empty()) << "Cancel wrote under the fault";
                }
            }
        }
        return sweep;
    }();
    return outcome;
}

TEST(FaultSweep, EveryPageSurvivesEveryFaultOfEveryOperationItCalls) {
    const SweepOutcome& sweep = Sweep();
    EXPECT_EQ(9u, sweep.pages.size());
    std::printf("fault sweep: %zu pages in %zu example runs x %zu host operations x up to 4 faults = %zu faulted "
                "operations, %d runs (OK and Cancel each); %d faults changed what the host received\n",
                sweep.pages.size(), std::size(kPages), sweep.operations, sweep.pairs, sweep.runs, sweep.changed);
}

// docs/integration.md tells a host developer, page by page, what the page calls. Each
// page's section (from its "## `Name`" heading to the next heading of that level) must
// name every host operation, interface, value, "ApplyAll:" name and help topic the sweep saw
// the page use, and every "Interface::Operation" it names must be one the sweep saw, so
// that the guide cannot drift from the pages. TAVREL_PRINT_RECORDS=1 prints what was seen.
TEST(FaultSweep, IntegrationGuideNamesWhatEachPageCalls) {
    std::ifstream file(TAVREL_DOCS_DIR "/integration.md", std::ios::binary);
    ASSERT_TRUE(file) << "docs/integration.md is missing";
    std::stringstream text;
    text << file.rdbuf();
    const std::string bytes = text.str();
    const std::wstring guide(bytes.begin(), bytes.end());  // the names looked for are ASCII
    if (std::getenv("TAVREL_PRINT_RECORDS")) {
        for (const auto& [page, record] : Sweep().pages) {
            for (const auto& [what, names] : {std::pair{"call", &record.calls}, {"interface", &record.asksFor},
                                              {"value", &record.valueNames}, {"name", &record.applyAllNames}, {"help topic", &record.helpTopics}}) {
                for (const std::wstring& name : *names)
                    std::printf("%s %s: %s\n", page.c_str(), what, Narrow(name).c_str());
            }
        }
    }
    for (const auto& [page, record] : Sweep().pages) {
        SCOPED_TRACE(page);
        const std::wstring heading = L"\n## `" + std::wstring(page.begin(), page.end()) + L"`";
        const std::size_t from = guide.find(heading);
        ASSERT_NE(std::wstring::npos, from) << "docs/integration.md has no section " << Narrow(heading.substr(1));
        const std::size_t to = guide.find(L"\n## ", from + heading.size());
        const std::wstring section = guide.substr(from, to == std::wstring::npos ? to : to - from);
        const auto expectNamed = [&](const std::set<std::wstring>& names, const char* what) {
            for (const std::wstring& name : names) {
                EXPECT_NE(std::wstring::npos, section.find(L"`" + name + L"`"))
                    << "the guide does not name the " << what << " `" << Narrow(name) << "`";
            }
        };
        expectNamed(record.calls, "call");
        expectNamed(record.asksFor, "interface");
        expectNamed(record.valueNames, "value");
        expectNamed(record.applyAllNames, "name");
        expectNamed(record.helpTopics, "help topic");
        // Every `IName::Operation` the section names is one the page was seen to call.
        for (std::size_t tick = section.find(L"`I"); tick != std::wstring::npos;
             tick = section.find(L"`I", tick + 1)) {
            const std::size_t close = section.find(L'`', tick + 1);
            const std::wstring named = section.substr(tick + 1, close - tick - 1);
            if (named.find(L"::") != std::wstring::npos) {
                EXPECT_TRUE(record.calls.count(named)) << "the guide names `" << Narrow(named)
                                                        << "`, which the page was not seen to call";
            }
            tick = close;
        }
    }
}

}  // namespace
}  // namespace tavrel::test
