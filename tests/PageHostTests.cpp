// The page host as a user runs it: the examples' output, every kind of bad input with
// its message and exit status, scripts that go wrong, the interactive mode, creation
// through the registry; and the host description loader on its own.
#include "DialogDriver.h"
#include "HostDescription.h"
#include "HostSim.h"
#include "PageHost.h"
#include "PageHostText.h"
#include "TavrelLibrary.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;
namespace pagehost = tavrel::pagehost;
using tavrel::pagehost::RunPageHost;
using tavrel::test::TavrelLibrary;

namespace {

// The examples in the source tree (a Unix path: the tests run on Wine's Z: drive).
const std::wstring kExamples = L"" TAVREL_EXAMPLES_DIR;

const char kTsDistributionHost[] =
    "object help IHelpViewer\n"
    "object view IObjectSite IValueStore\n"
    "service view help\n"
    "service view view\n"
    "value view HistogramScale I4 0\n"
    "objects view\n";

struct HostRun {
    int status = -1;
    std::string out;
    std::string err;
};

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Files written for one test into a folder of their own, removed afterwards.
class ScratchFiles {
public:
    ScratchFiles() { std::filesystem::create_directories(m_folder); }
    ~ScratchFiles() {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    std::wstring Path(const std::wstring& name) const { return (m_folder / name).wstring(); }
    // Writes the text and answers the file's path.
    std::wstring Write(const std::wstring& name, const std::string& text) const {
        std::ofstream(m_folder / name, std::ios::binary) << text;
        return Path(name);
    }

private:
    std::filesystem::path m_folder =
        std::filesystem::temp_directory_path() / (L"pagehost-tests-" + std::to_wstring(GetCurrentProcessId()));
};

using pagehost::Utf8;

class PageHostTest : public ::testing::Test {
protected:
    void TearDown() override {
        // pagehost releases what it made; the module must be free of pages and class objects.
        EXPECT_EQ(S_OK, TavrelLibrary::Instance().CanUnloadNow()) << "a page or class object is still alive";
    }

    static HostRun Host(const std::vector<std::wstring>& arguments) {
        std::ostringstream out;
        std::ostringstream err;
        HostRun run;
        run.status = RunPageHost(arguments, out, err);
        run.out = out.str();
        run.err = err.str();
        return run;
    }

    // The end of every run that made a page: every reference back, the DLL unloadable.
    static void ExpectReferencesReturned(const HostRun& run) {
        EXPECT_TRUE(Contains(run.out, "Every reference the page took came back; the DLL can unload."))
            << run.out;
        EXPECT_FALSE(Contains(run.out, "warning:")) << run.out;
    }

    ScratchFiles files;
};

// ---- The examples

TEST_F(PageHostTest, ExamplesRunAndReportWhatTheHostReceived) {
    // What the host received, as pagehost reports it: in full for two, the number of
    // calls for two more (the pages' own tests check every call, and the fault sweep
    // runs every example).
    const struct {
        const wchar_t* page;
        const wchar_t* host;
        const wchar_t* script;
        std::string received;
    } examples[] = {
        {L"TsDistributionDlg", L"/ts-distribution.host", L"/ts-distribution-weight.script",
         "The host received 1 call:\n  view.IValueStore::PutValue(\"HistogramScale\", VT_I4 2)\nThe page logged nothing.\n"},
        {L"Kestrom.Tavrel.ScopeDialog", L"/scope.host", L"/scope-linear.script",
         "The host received no calls.\nThe page logged nothing.\n"},
        {L"HorizontalDistanceDialog", L"/horizontal-axis.host", L"/horizontal-axis-hours.script", "received 4 calls:\n"},
        {L"BottomDetectorDialog", L"/bottom-detection.host", L"/bottom-detection-all.script", "received 6 calls:\n"},
    };
    for (const auto& example : examples) {
        SCOPED_TRACE(Utf8(example.script));
        const HostRun run = Host({example.page, kExamples + example.host, kExamples + example.script});
        EXPECT_EQ(0, run.status) << run.err;
        EXPECT_EQ("", run.err);
        EXPECT_TRUE(Contains(run.out, example.received)) << run.out;
        ExpectReferencesReturned(run);
    }
}

// The size of a PNG file's picture, from its header; 0 x 0 when it is no PNG.
SIZE PngSize(const std::wstring& path) {
    std::string header(24, '\0');
    std::ifstream(std::filesystem::path(path), std::ios::binary).read(&header[0], 24);
    if (header.compare(0, 16, std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16)) != 0)
        return SIZE{0, 0};
    // Width and height follow, big-endian.
    const auto number = [&](int at) {
        LONG value = 0;
        for (int i = at; i < at + 4; ++i) value = value << 8 | static_cast<unsigned char>(header[i]);
        return value;
    };
    return SIZE{number(16), number(20)};
}

TEST_F(PageHostTest, ScreenshotShowsTheDialogAsTheScriptLeavesIt) {
    // With a script: the dialog just before the script's OK closed it.
    const std::wstring picture = files.Path(L"range.png");
    HostRun run = Host({L"--screenshot", picture, L"RangeSurfaceDialog", kExamples + L"/range-surface.host",
                        kExamples + L"/range-surface-deeper.script"});
    EXPECT_EQ(0, run.status) << run.err;
    const SIZE size = PngSize(picture);
    EXPECT_GT(size.cx, 200);
    EXPECT_GT(size.cy, 200);
    EXPECT_TRUE(Contains(run.out, "  picture: ")) << run.out;
    ExpectReferencesReturned(run);

    // Without a script: the dialog as it opens, then closed with Cancel; nothing written.
    const std::wstring opened = files.Path(L"opened.png");
    run = Host({L"--screenshot", opened, L"TsDistributionDlg", kExamples + L"/ts-distribution.host"});
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_GT(PngSize(opened).cx, 0);
    EXPECT_TRUE(Contains(run.out, "The host received no calls.")) << run.out;
}

// ---- Scripts

TEST_F(PageHostTest, ScriptNamesControlsByCaptionOrIdAndChecksWhatTheUserSees) {
    const std::wstring host = files.Write(L"ts.host", kTsDistributionHost);
    const std::wstring script = files.Write(L"help.script",
                                            "controls\n"
                                            "click &Help          # '&' does not count\n"
                                            "choose \"ts\"        # nor does case\n"
                                            "expect #1196 checked\n"
                                            "expect \"Length cm\" unchecked\n"
                                            "expect OK \"OK\"\n"
                                            "wait 20\n"
                                            "click #1\n");
    const HostRun run = Host({L"{9402C5E1-07FE-4197-9BB8-FD4F8F2FB393}", host, script});
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_TRUE(Contains(run.out, "pagehost: CTsDistributionDlg {9402C5E1-07FE-4197-9BB8-FD4F8F2FB393}\n"))
        << "the class named by the DLL's type library\n" << run.out;
    EXPECT_TRUE(Contains(run.out, "#1042 radio button \"Weight\" unchecked\n")) << run.out;
    EXPECT_TRUE(Contains(run.out, "#1043 group box \"Scale\"\n")) << run.out;
    EXPECT_TRUE(Contains(run.out,
                         "The host received 2 calls:\n"
                         "  help.IHelpViewer::ShowTopic(0, \"qz4_para_ts_distribution.html\")\n"
                         "  view.IValueStore::PutValue(\"HistogramScale\", VT_I4 3)\n"))
        << run.out;
    ExpectReferencesReturned(run);
}

TEST_F(PageHostTest, AScriptThatGoesWrongIsStoppedTheDialogCancelledAndTheLineNamed) {
    const std::wstring host = files.Write(L"ts.host", kTsDistributionHost);
    struct Case {
        const char* script;
        const char* message;
    };
    const Case cases[] = {
        {"choose Weight\n", "open.script: the script ended with the dialog open; pagehost cancelled it"},
        {"choose Weight\nclick Nothing\nclick OK\n",
         "open.script:2: click Nothing: the dialog has no control with the caption \"Nothing\""},
        {"\n\nchoose OK\n", "open.script:3: choose OK: \"OK\" is a button, not a radio button"},
        {"type Weight 12\n", "open.script:1: type Weight 12: TypeText: control 1042 in dialog \"TS Distribution\" is "
                             "not an edit"},
        {"expect Weight checked\n",
         "open.script:1: expect Weight checked: expected \"Weight\" to be checked; it is not"},
        {"click OK\nclick Cancel\n", "open.script:2: click Cancel: the dialog has already closed (line 1 closed it)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        const std::wstring script = files.Write(L"open.script", c.script);
        const HostRun run = Host({L"TsDistributionDlg", host, script});
        EXPECT_EQ(2, run.status);
        EXPECT_TRUE(Contains(run.err, c.message)) << run.err;
        EXPECT_TRUE(Contains(run.out, "The host received no calls.")) << run.out;
        ExpectReferencesReturned(run);
    }
}

// ---- Interactive

TEST_F(PageHostTest, WithoutAScriptTheDialogWaitsForAPerson) {
    const std::wstring host = files.Write(L"ts.host", kTsDistributionHost);
    HostRun run;
    std::ostringstream out;
    std::ostringstream err;
    const bool shown = tavrel::test::RunDialog(
        [&] { run.status = RunPageHost({L"CTsDistributionDlg", host}, out, err); },
        [&](HWND dialog) {
            // The person: the page is waiting, every scale is offered.
            EXPECT_TRUE(Contains(out.str(), "The dialog is open: use it, then close it with OK or Cancel.\n"));
            tavrel::test::Click(dialog, IDC_TS_WEIGHT);
            tavrel::test::Click(dialog, IDOK);
        });
    run.out = out.str();
    EXPECT_TRUE(shown);
    EXPECT_EQ(0, run.status) << err.str();
    EXPECT_TRUE(Contains(run.out, "  view.IValueStore::PutValue(\"HistogramScale\", VT_I4 2)\n")) << run.out;
    ExpectReferencesReturned(run);
}

// ---- IFormControl

TEST_F(PageHostTest, FormOptionHandsTheObjectsAsAnArrayAndOpensThePageWithShowForm) {
    const std::wstring host = files.Write(L"form.host",
                                          "object help IHelpViewer\n"
                                          "object view IObjectSite IValueStore\n"
                                          "service view help\n"
                                          "objects view view\n");
    const std::wstring script = files.Write(L"cancel.script", "click Cancel\n");
    const HostRun run = Host({L"--form", L"HorizontalDistanceDialog", host, script});
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_TRUE(Contains(run.out, "  dialog \"Horizontal Axis\" is open\n")) << run.out;
    EXPECT_TRUE(Contains(run.out, ": click Cancel -> the dialog closed\n")) << run.out;
    ExpectReferencesReturned(run);
}

// ---- Bad input

TEST_F(PageHostTest, BadInputGetsAClearMessageAndStatus1) {
    const std::wstring host = files.Write(L"ts.host", kTsDistributionHost);
    const std::wstring badHost = files.Write(L"bad.host", "object view IObjectSite\n\nvalue view X I4 twelve\n");
    const std::wstring badScript = files.Write(L"bad.script", "click OK\n# fine so far\nsmile\n");
    const std::wstring notADll = files.Write(L"not-a.dll", "MZ? no.");
    struct Case {
        std::vector<std::wstring> arguments;
        std::string message;
    };
    const Case cases[] = {
        {{L"TsDistribution", host}, "unknown page \"TsDistribution\"; the pages are RangeSurfaceDialog,"},
        {{L"{not-a-class}", host}, "{not-a-class} is not a class id"},
        {{L"TsDistributionDlg", L"missing.host"}, "missing.host: cannot read the host description: No such file"},
        {{L"TsDistributionDlg", badHost}, "bad.host:3: value: \"twelve\" is not an I4 integer; usage: value"},
        {{L"TsDistributionDlg", host, L"none.script"}, "none.script: cannot read the script"},
        {{L"TsDistributionDlg", host, badScript}, "bad.script:3: unknown action \"smile\""},
        {{L"--dll", L"nowhere\\Tavrel.dll", L"TsDistributionDlg", host}, "cannot load the DLL nowhere\\Tavrel.dll"},
        {{L"--dll", notADll, L"TsDistributionDlg", host}, "cannot load the DLL"},
        {{L"--dll", L"kernel32.dll", L"TsDistributionDlg", host},
         "kernel32.dll holds no type library naming its pages"},
        {{L"--dll", L"kernel32.dll", L"{9402C5E1-07FE-4197-9BB8-FD4F8F2FB393}", host},
         "has no DllGetClassObject entry point"},
        {{L"--dll", L"ole32.dll", L"{9402C5E1-07FE-4197-9BB8-FD4F8F2FB393}", host},
         "does not offer the class {9402C5E1-07FE-4197-9BB8-FD4F8F2FB393}: DllGetClassObject returned 0x80040111 "
         "CLASS_E_CLASSNOTAVAILABLE"},
        {{L"Kestrom.Tavrel.RangeScrollDlg.1", host}, "the ProgID Kestrom.Tavrel.RangeScrollDlg.1 is not in the "
                                                     "manifest of"},
        {{L"{00000000-0000-0000-0000-000000000001}", host}, "does not offer the class {00000000-"},
        {{L"--form", L"TsDistributionDlg", host}, "CTsDistributionDlg does not offer IFormControl"},
        {{L"--registered", L"--dll", L"Tavrel.dll", L"ScopeDialog", host}, "--dll and --registered exclude"},
        {{L"--verbose", L"ScopeDialog", host}, "unknown option --verbose"},
        {{L"ScopeDialog"}, "no host description named"},
        {{L"TsDistributionDlg", L"--screenshot"}, "--screenshot needs a file name"},
        {{L"--screenshot", files.Path(L"no-such-folder\\x.png"), L"TsDistributionDlg", host},
         "x.png: the picture could not be written: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.arguments.front()) + " ... " + Utf8(c.arguments.back()));
        const HostRun run = Host(c.arguments);
        EXPECT_EQ(1, run.status);
        EXPECT_TRUE(Contains(run.err, "pagehost: " + c.message) || Contains(run.err, c.message)) << run.err;
        EXPECT_FALSE(Contains(run.out, "warning:")) << run.out;
    }
}

// ---- Through the registry

TEST_F(PageHostTest, RegisteredPagesAreCreatedByProgIdThroughTheRegistry) {
    const std::wstring host = files.Write(L"ts.host", kTsDistributionHost);
    const std::wstring script = files.Write(L"weight.script", "choose Weight\nclick OK\n");

    // Before registration neither the page names nor the ProgIDs are known.
    for (const auto& [page, message] :
         {std::pair{L"TsDistributionDlg", "the pages' type library TAVRELLib is not registered"},
          {L"Kestrom.Tavrel.TsDistributionDlg", "the ProgID Kestrom.Tavrel.TsDistributionDlg is not registered"}}) {
        const HostRun run = Host({L"--registered", page, host, script});
        EXPECT_EQ(1, run.status);
        EXPECT_TRUE(Contains(run.err, message)) << run.err;
    }

    ASSERT_EQ(S_OK, TavrelLibrary::Instance().RegisterServer());
    const HostRun byClassName = Host({L"--registered", L"TsDistributionDlg", host, script});
    const HostRun byProgId = Host({L"--registered", L"Kestrom.Tavrel.TsDistributionDlg.1", host, script});
    EXPECT_EQ(S_OK, TavrelLibrary::Instance().UnregisterServer());

    for (const HostRun& run : {byClassName, byProgId}) {
        EXPECT_EQ(0, run.status) << run.err;
        EXPECT_TRUE(Contains(run.out, "  view.IValueStore::PutValue(\"HistogramScale\", VT_I4 2)\n")) << run.out;
        ExpectReferencesReturned(run);
    }
}

// ---- Page names from the DLL

TEST_F(PageHostTest, TheDllsTypeLibraryNamesThePagesAndItsManifestTheirProgIds) {
    const HostRun list = Host({L"--list"});
    EXPECT_EQ(0, list.status) << list.err;
    EXPECT_EQ(0u, list.out.find("RangeSurfaceDialog  Kestrom.Tavrel.RangeSurfaceDialog  "
                                "{21020E84-2EC3-49AB-8F16-5A4103C8270B}\n"))
        << list.out;
    EXPECT_TRUE(Contains(list.out, "\nRangeScrollDlg  Kestrom.Tavrel.RangeScrollDlg  "
                                   "{05163D82-9A31-47B1-AFD0-9E148C2F20C8}\n"))
        << list.out;
    EXPECT_EQ(9, std::count(list.out.begin(), list.out.end(), '\n')) << list.out;
    EXPECT_TRUE(Contains(Host({L"--list", L"--dll", L"ole32.dll"}).err, "holds no type library naming its pages"));

    // Without registration the versioned ProgIDs are the manifest's: shortened for two
    // classes, in any case.
    const std::wstring host = files.Write(L"ts.host", kTsDistributionHost);
    const std::wstring script = files.Write(L"cancel.script", "click Cancel\n");
    for (const wchar_t* progId : {L"Kestrom.Tavrel.RangeScrollD.1", L"kestrom.tavrel.rangescrolldlg"}) {
        const HostRun run = Host({progId, host, script});
        EXPECT_EQ(0, run.status) << run.err;
        EXPECT_TRUE(Contains(run.out, "pagehost: CRangeScrollDlg {05163D82-9A31-47B1-AFD0-9E148C2F20C8}\n"))
            << run.out;
        ExpectReferencesReturned(run);
    }
}

// ---- The host description loader

class HostDescriptionTest : public ::testing::Test {
protected:
    bool Build(const std::wstring& text) { return pagehost::BuildHost(text, L"t.host", host, &description, &error); }

    hostsim::Host host;
    pagehost::HostDescription description;
    std::wstring error;
};

TEST_F(HostDescriptionTest, LinesBuildObjectsThatAnswerAsDescribed) {
    ASSERT_TRUE(Build(L"# an application with one view\n"
                      L"object app  IHostApplication\n"
                      L"object help IHelpViewer\n"
                      L"object view IObjectLocator IValueStore   # the view\n"
                      L"object view IEchogramRange IHostView\n"
                      L"service view help IObjectLocator\n"
                      L"string app AppName \"tk 11\"\n"
                      L"application view app\n"
                      L"value view Scale R8 -2.5\n"
                      L"value view Name BSTR \"a \\\"b\\\"\"\n"
                      L"value view Help UNKNOWN help\n"
                      L"depth-range view 8 250 10\n"
                      L"objects view null help\n"))
        << error;
    hostsim::HostObject* view = host.Find(L"view");
    ASSERT_NE(nullptr, view);
    EXPECT_TRUE(view->Offers(IID_IValueStore));
    EXPECT_TRUE(view->Offers(IID_IHostView)) << "a second object line offers more";
    EXPECT_EQ(L"VT_R8 -2.5", hostsim::FormatVariant(view->Values().Get(L"Scale").get()));
    EXPECT_EQ(L"VT_BSTR \"a \\\"b\\\"\"", hostsim::FormatVariant(view->Values().Get(L"Name").get()));
    EXPECT_EQ(host.Find(L"help"), view->Values().Find(L"Help")->object);
    double range = 0;
    double start = 0;
    EXPECT_TRUE(view->DepthRange(8, &range, &start));
    EXPECT_EQ(250.0, range);
    EXPECT_EQ(10.0, start);
    EXPECT_EQ((std::vector<hostsim::HostObject*>{view, nullptr, host.Find(L"help")}), description.pageObjects);

    // The services and strings answer through the host interfaces.
    ComPtr<IObjectLocator> locator;
    ASSERT_EQ(S_OK, view->QueryInterface(IID_IObjectLocator, reinterpret_cast<void**>(locator.GetAddressOf())));
    ComPtr<IUnknown> found;
    LONG status = 4;
    EXPECT_EQ(S_OK, locator->LocateObject(IID_IHelpViewer, found.GetAddressOf(), &status));
    EXPECT_TRUE(host.Find(L"help")->Owns(found.Get()));
    ComPtr<IHostApplication> application;
    ASSERT_EQ(S_OK, host.Find(L"app")->QueryInterface(IID_IHostApplication,
                                                      reinterpret_cast<void**>(application.GetAddressOf())));
    hostsim::Bstr name(L"AppName");
    hostsim::Bstr value;
    EXPECT_EQ(S_OK, application->GetStringValue(name.get(), value.put()));
    EXPECT_EQ(L"tk 11", value.str());
}

TEST_F(HostDescriptionTest, FaultLinesMakeOperationsMisbehave) {
    ASSERT_TRUE(Build(L"object view IValueStore\n"
                      L"value view A I4 1\n"
                      L"value view B I4 2\n"
                      L"fault view IValueStore::GetValue fail E_ACCESSDENIED for A times 1\n"
                      L"fault view IValueStore::GetValue returns R8 7.5 for B\n"
                      L"fault view QueryInterface fail E_NOINTERFACE for IValueStore times 1\n"
                      L"objects view\n"))
        << error;
    ComPtr<IValueStore> store;
    hostsim::HostObject& view = *host.Find(L"view");
    EXPECT_EQ(E_NOINTERFACE, view.QueryInterface(IID_IValueStore, reinterpret_cast<void**>(store.GetAddressOf())));
    ASSERT_EQ(S_OK, view.QueryInterface(IID_IValueStore, reinterpret_cast<void**>(store.GetAddressOf())));
    const auto read = [&](const wchar_t* name, hostsim::Variant* value) {
        hostsim::Bstr text(name);
        return store->GetValue(text.get(), value->put());
    };
    hostsim::Variant value;
    EXPECT_EQ(E_ACCESSDENIED, read(L"A", &value));
    EXPECT_EQ(S_OK, read(L"A", &value)) << "times 1";
    EXPECT_EQ(L"VT_I4 1", hostsim::FormatVariant(value.get()));
    EXPECT_EQ(S_OK, read(L"B", &value));
    EXPECT_EQ(L"VT_R8 7.5", hostsim::FormatVariant(value.get()));
}

TEST_F(HostDescriptionTest, AMalformedLineIsNamedByFileAndLine) {
    struct Case {
        const wchar_t* text;
        const wchar_t* message;
    };
    const Case cases[] = {
        {L"object view IObjectSite\nobjects view\nobjects view\n",
         L"t.host:3: objects: the page's objects were already given on line 2"},
        {L"objects\nobjekt view\n", L"t.host:2: unknown directive \"objekt\" (object, hide, service,"},
        {L"object view IValueStore IEverything\n", L"t.host:1: object: \"IEverything\" is not a host interface"},
        {L"object view\nservice view help\n",
         L"t.host:2: service: no object \"help\" (declare it with \"object help\" first)"},
        {L"object view\nservice view view IHelpViewer\n",
         L"t.host:2: service: a service answers through IObjectLocator, IObjectSite or IObjectContainer"},
        {L"object view\nvalue view X\n", L"t.host:2: value: the value type is missing"},
        {L"object view\nvalue view X I5 1\n", L"t.host:2: value: \"I5\" is not a value type"},
        {L"object view\nvalue view X I4 1 2\n", L"t.host:2: value: unexpected \"2\" at the end of the line"},
        {L"object view\nstring view AppName \"TK11\n", L"t.host:2: the quote opened at column 21 is not closed"},
        {L"object view\nfault view IValueStore::GetValue explode\n",
         L"t.host:2: fault: \"explode\" is not a fault (fail, status, type, returns, null)"},
        {L"object view\nfault view IValueStore::GetValue fail for\n",
         L"t.host:2: fault: the key after \"for\" is missing"},
        {L"object view\nfault view IValueStore::GetValue returns UNKNOWN view\n",
         L"t.host:2: fault: here an UNKNOWN value can only be null"},
        {L"object null\n", L"t.host:1: object: \"null\" stands for a null object"},
        {L"object view IValueStore\n", L"t.host: no \"objects\" line"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.text));
        hostsim::Host fresh;
        std::wstring message;
        EXPECT_FALSE(pagehost::BuildHost(c.text, L"t.host", fresh, nullptr, &message));
        EXPECT_EQ(0u, message.find(c.message)) << Utf8(message);
    }
}

TEST_F(HostDescriptionTest, WordsAreSplitAtBlanksAndQuotesAndCommentsEndTheLine) {
    std::vector<pagehost::Word> words;
    std::wstring reason;
    ASSERT_TRUE(pagehost::SplitWords(L"  click  \"Apply to all\" #1042 \"\" x#y # a comment \"", &words, &reason));
    std::vector<std::pair<std::wstring, bool>> split;  // text, quoted
    for (const pagehost::Word& word : words) split.emplace_back(word.text, word.quoted);
    // '#' and a digit name a control.
    EXPECT_EQ((std::vector<std::pair<std::wstring, bool>>{
                  {L"click", false}, {L"Apply to all", true}, {L"#1042", false}, {L"", true}, {L"x#y", false}}),
              split);
    EXPECT_FALSE(pagehost::SplitWords(L"type \"a\\q\"", &words, &reason));
    EXPECT_EQ(L"unknown escape \\q in a quoted word (\\\" \\\\ \\t \\n)", reason);
}

}  // namespace
