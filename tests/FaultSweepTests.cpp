// The fault sweep: every page of the library, run as its example runs it (the example
// host description and user script), then run again once for every host operation
// that run called and every fault that operation can show: an error result, a negative
// status, a value of the wrong type, a null object, a missing interface. Whatever the
// host does, every run must end with every reference returned and the module free to
// unload; Cancel must write nothing; and a fault must not make a page write anything
// the page does not write without it.
#include "HostDescription.h"
#include "PageTest.h"
#include "UserScript.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace tavrel::test {
namespace {

const std::wstring kExamples = L"" TAVREL_EXAMPLES_DIR;

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
    bool ran = false;
};

// Runs the page on a host built from its example description, with fault applied to
// one operation (or none), performing the example script or only Cancel.
RunOutcome RunExample(const ExamplePage& example, const Operation* faulted, const hostsim::Fault& fault,
                      bool cancelOnly) {
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
                                    if (!cancelOnly)
                                        pagehost::RunUserScript(dialog, script, ignored);
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

TEST(FaultSweep, EveryPageSurvivesEveryFaultOfEveryOperationItCalls) {
    int runs = 0;
    int changed = 0;  // runs in which the fault changed what the host received
    std::size_t operationCount = 0;
    std::size_t pairs = 0;
    for (const ExamplePage& example : kPages) {
        SCOPED_TRACE(example.name);
        const RunOutcome normal = RunExample(example, nullptr, hostsim::Fault{}, false);
        ASSERT_TRUE(normal.ran) << "the example opened no dialog";
        const std::set<std::wstring> normalWrites = WritesOf(normal.journal);
        EXPECT_TRUE(WritesOf(RunExample(example, nullptr, hostsim::Fault{}, true).journal).empty())
            << "Cancel writes nothing";
        operationCount += normal.operations.size();
        for (const Operation& operation : normal.operations) {
            for (const auto& [faultName, fault] : FaultsFor(operation)) {
                SCOPED_TRACE(Narrow(operation.object + L"." + operation.name + L" " + operation.key) + ": " +
                             faultName);
                const RunOutcome faulted = RunExample(example, &operation, fault, false);
                const RunOutcome cancelled = RunExample(example, &operation, fault, true);
                runs += 2;
                ++pairs;
                if (faulted.journal != normal.journal)
                    ++changed;
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
    std::printf("fault sweep: 9 pages in %zu example runs x %zu host operations x up to 4 faults = %zu faulted "
                "operations, %d runs (OK and Cancel each); %d faults changed what the host received\n",
                std::size(kPages), operationCount, pairs, runs, changed);
}

}  // namespace
}  // namespace tavrel::test
