// Tavrel.dll as an installer and a host see it: registered with the system's regsvr32
// and through DllRegisterServer, the registry read back key by key, the type library,
// creation by ProgID, unregistration, the version and manifest resources, and
// registration-free activation, and the SDK's sample host run as its user would.
// Every test starts and ends unregistered.
#include "ComResource.h"
#include "RegistryNames.h"
#include "TavrelClasses.h"
#include "TavrelLibrary.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <ocidl.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;
using tavrel::test::TavrelLibrary;

namespace {

const wchar_t kMissing[] = L"(missing)";
const wchar_t kLibraryId[] = L"{BB8B5ED5-969C-4E74-BC31-E0016816F37A}";

// A class as a host finds it: ProgIDs "Kestrom.Tavrel.<name>" and, versioned, that
// (or a shortened name) with ".1"; the description "Kestrom <name> Class", which the
// type library's help string repeats unless it leaves out the maker.
struct PageClass {
    const CLSID* clsid;
    std::wstring name, progId, versionedProgId, description, helpString;
    PageClass(const CLSID& id, const wchar_t* className, const wchar_t* shortened, bool helpNamesMaker)
        : clsid(&id), name(className), progId(L"Kestrom.Tavrel." + name),
          versionedProgId(L"Kestrom.Tavrel." + (shortened ? std::wstring(shortened) : name) + L".1"),
          description(L"Kestrom " + name + L" Class"), helpString(helpNamesMaker ? description : name + L" Class") {}
};

// In class table order.
const PageClass kClasses[] = {
    {CLSID_RangeSurfaceDialog, L"RangeSurfaceDialog", nullptr, false},
    {CLSID_HorizontalDistanceDialog, L"HorizontalDistanceDialog", nullptr, true},
    {CLSID_TsDistributionDlg, L"TsDistributionDlg", nullptr, true},
    {CLSID_BottomDetectorDialog, L"BottomDetectorDialog", nullptr, true},
    {CLSID_EchoTraceDialog, L"EchoTraceDialog", nullptr, false},
    {CLSID_ColorScaleDialog, L"ColorScaleDialog", nullptr, true},
    {CLSID_ConfigureWindowDlg, L"ConfigureWindowDlg", L"ConfigureWindowDl", true},
    {CLSID_RangeScrollDlg, L"RangeScrollDlg", L"RangeScrollD", true},
    {CLSID_ScopeDialog, L"ScopeDialog", nullptr, true},
};

const PageClass& Scope() { return kClasses[8]; }
const std::wstring kTypeLibKey = std::wstring(L"TypeLib\\") + kLibraryId;

// ---- Registry and text helpers

std::wstring GuidText(REFGUID guid) {
    wchar_t text[40];
    StringFromGUID2(guid, text, 40);
    return text;
}

std::wstring ClassKey(const PageClass& page) { return L"CLSID\\" + GuidText(*page.clsid); }

// The keys of one class under HKEY_CLASSES_ROOT.
std::vector<std::wstring> KeysOf(const PageClass& page) { return {ClassKey(page), page.progId, page.versionedProgId}; }

bool KeyExists(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool CreateKey(HKEY root, const std::wstring& path, DWORD options = REG_OPTION_NON_VOLATILE) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, options, KEY_ALL_ACCESS, nullptr, &key, nullptr))
        return false;
    RegCloseKey(key);
    return true;
}

// A string value under HKEY_CLASSES_ROOT, or kMissing. name nullptr: the default value.
std::wstring ReadString(const std::wstring& path, const wchar_t* name = nullptr) {
    wchar_t buffer[2048];
    DWORD size = sizeof buffer;
    if (RegGetValueW(HKEY_CLASSES_ROOT, path.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return kMissing;
    return buffer;
}

std::vector<std::wstring> Subkeys(const std::wstring& path) {
    return tavrel::test::RegistryNames(HKEY_CLASSES_ROOT, path, tavrel::test::RegistryNameKind::Subkeys);
}

// Names of the values of a key, the default value as "".
std::vector<std::wstring> ValueNames(const std::wstring& path) {
    return tavrel::test::RegistryNames(HKEY_CLASSES_ROOT, path, tavrel::test::RegistryNameKind::Values);
}

std::wstring ModulePath() {
    wchar_t path[MAX_PATH * 2];
    const DWORD length = GetModuleFileNameW(TavrelLibrary::Instance().Module(), path, MAX_PATH * 2);
    return std::wstring(path, length);
}

// Runs a program and answers what it printed, or why it printed nothing; exitCode gets
// its exit code (1 when it had to be stopped). With usePage, as the SDK's sample host's user:
// the TS distribution page opens on the sample's view (waited for up to 30 seconds), the
// user chooses "TS" and presses OK.
std::string RunProgram(std::wstring commandLine, bool usePage, long* exitCode = nullptr) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE output = nullptr;
    HANDLE childOutput = nullptr;
    if (!CreatePipe(&output, &childOutput, &inheritable, 0))
        return "no pipe";
    SetHandleInformation(output, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = childOutput;
    PROCESS_INFORMATION process{};
    const BOOL started =
        CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(childOutput);
    if (!started) {
        CloseHandle(output);
        return "(did not start)";
    }
    std::string printed = usePage ? "(no dialog) " : "";
    for (int tries = 0; usePage && tries < 600 && WaitForSingleObject(process.hProcess, 50) != WAIT_OBJECT_0; ++tries) {
        HWND dialog = FindWindowW(L"#32770", L"TS Distribution");
        DWORD owner = 0;
        if (dialog && GetWindowThreadProcessId(dialog, &owner) && owner == process.dwProcessId && IsWindowVisible(dialog)) {
            SendMessageW(GetDlgItem(dialog, IDC_TS_TARGET_STRENGTH), BM_CLICK, 0, 0);
            SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
            printed.clear();
            break;
        }
    }
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        printed += "(did not end) ";
    }
    GetExitCodeProcess(process.hProcess, &code);
    char buffer[512];
    DWORD read = 0;
    while (ReadFile(output, buffer, sizeof buffer, &read, nullptr) && read > 0)
        printed.append(buffer, read);
    CloseHandle(output);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (exitCode)
        *exitCode = static_cast<long>(code);
    return printed;
}

// The system's regsvr32 with arguments: its exit code.
long RunRegsvr32(const std::wstring& arguments) {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    long exitCode = -1;
    RunProgram(L"\"" + std::wstring(system) + L"\\regsvr32.exe\" " + arguments, false, &exitCode);
    return exitCode;
}

// Whether any class or the type library is registered; with remove, it removes whatever
// is left of them, so that one failing test does not fail the ones after it.
bool AnyRegistration(bool remove = false) {
    bool any = false;
    for (const PageClass& page : kClasses) {
        for (const std::wstring& key : KeysOf(page)) {
            any = any || KeyExists(key);
            if (remove)
                RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
        }
    }
    any = any || KeyExists(kTypeLibKey);
    if (remove)
        RegDeleteTreeW(HKEY_CLASSES_ROOT, kTypeLibKey.c_str());
    return any;
}

// Every test starts unregistered and must leave the registry that way, with every page
// and class object released.
class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, TavrelLibrary::Instance().Module()) << "Tavrel.dll not loaded";
        modulePath = ModulePath();
        // A run that stopped half way may have left registrations behind.
        AnyRegistration(true);
        ASSERT_FALSE(AnyRegistration());
    }

    void TearDown() override {
        if (AnyRegistration())
            Unregister();
        EXPECT_FALSE(AnyRegistration(true)) << "unregistering left registrations behind";
        EXPECT_TRUE(KeyExists(L"CLSID"));
        EXPECT_EQ(S_OK, TavrelLibrary::Instance().CanUnloadNow()) << "a page or class object is still alive";
    }

    HRESULT Register() { return TavrelLibrary::Instance().RegisterServer(); }
    HRESULT Unregister() { return TavrelLibrary::Instance().UnregisterServer(); }

    // Every key and value one class's script writes, and nothing more.
    void ExpectClassRegistered(const PageClass& page) {
        SCOPED_TRACE(page.name);
        const std::wstring clsid = GuidText(*page.clsid);
        const std::wstring& versioned = page.versionedProgId;
        const std::wstring& independent = page.progId;
        const std::wstring classKey = ClassKey(page);
        const std::wstring server = classKey + L"\\InprocServer32";
        const struct {
            std::wstring path;
            const wchar_t* name;
            std::wstring value;
        } values[] = {
            {versioned, nullptr, page.description}, {versioned + L"\\CLSID", nullptr, clsid},
            {independent, nullptr, page.description}, {independent + L"\\CLSID", nullptr, clsid},
            {independent + L"\\CurVer", nullptr, versioned}, {classKey, nullptr, page.description},
            {classKey + L"\\ProgID", nullptr, versioned}, {classKey + L"\\VersionIndependentProgID", nullptr, independent},
            {server, nullptr, modulePath}, {server, L"ThreadingModel", L"Apartment"},
            {classKey + L"\\TypeLib", nullptr, kLibraryId}};
        for (const auto& value : values)
            EXPECT_EQ(value.value, ReadString(value.path, value.name)) << value.path;
        DWORD bytes = 0;
        RegGetValueW(HKEY_CLASSES_ROOT, server.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, nullptr, &bytes);
        EXPECT_EQ((modulePath.size() + 1) * sizeof(wchar_t), bytes) << "the path and its end, nothing after";
        EXPECT_EQ((std::vector<std::wstring>{L"", L"ThreadingModel"}), ValueNames(server));
        EXPECT_EQ(std::vector<std::wstring>{L"CLSID"}, Subkeys(versioned));
        EXPECT_EQ((std::vector<std::wstring>{L"CLSID", L"CurVer"}), Subkeys(independent));
        EXPECT_EQ((std::vector<std::wstring>{L"InprocServer32", L"ProgID", L"TypeLib", L"VersionIndependentProgID"}),
                  Subkeys(classKey));
    }

    void ExpectClassUnregistered(const PageClass& page) {
        for (const std::wstring& key : KeysOf(page))
            EXPECT_FALSE(KeyExists(key)) << key;
    }

    std::wstring modulePath;
};

// ---- Registering and unregistering

TEST_F(RegistrationTest, RegisteringWritesEveryClassAndTheTypeLibraryAndUnregisteringRemovesThem) {
    // Registering again replaces a stale class key whole.
    ASSERT_EQ(S_OK, Register());
    const std::wstring scopeKey = ClassKey(Scope());
    ASSERT_TRUE(CreateKey(HKEY_CLASSES_ROOT, scopeKey + L"\\Bogus\\Deeper"));
    const wchar_t stale[] = L"C:\\old\\Tavrel.dll";
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CLASSES_ROOT, (scopeKey + L"\\InprocServer32").c_str(), nullptr,
                                             REG_SZ, stale, sizeof stale));
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CLASSES_ROOT, scopeKey.c_str(), L"Stale", REG_SZ, stale,
                                             sizeof stale));
    ASSERT_EQ(S_OK, Register());
    for (const PageClass& page : kClasses)
        ExpectClassRegistered(page);
    EXPECT_EQ((std::vector<std::wstring>{L""}), ValueNames(scopeKey));
    // The shortened versioned ProgIDs stand everywhere the versioned ProgID stands.
    EXPECT_FALSE(KeyExists(L"Kestrom.Tavrel.RangeScrollDlg.1"));
    EXPECT_FALSE(KeyExists(L"Kestrom.Tavrel.ConfigureWindowDlg.1"));

    // The type library, registered from the module: its nine coclasses in class table
    // order, each exposing IPropertyPage.
    const std::wstring versionKey = kTypeLibKey + L"\\1.0";
    EXPECT_EQ(L"Tavrel 1.0 Type Library", ReadString(versionKey));
    EXPECT_EQ(modulePath, ReadString(versionKey + (sizeof(void*) == 8 ? L"\\0\\win64" : L"\\0\\win32")));
    ComPtr<ITypeLib> library;
    ASSERT_EQ(S_OK, LoadRegTypeLib(LIBID_TAVRELLib, 1, 0, LANG_NEUTRAL, library.GetAddressOf()));
    const auto documentation = [&](INT index) {
        BSTR name = nullptr;
        BSTR help = nullptr;
        library->GetDocumentation(index, &name, &help, nullptr, nullptr);
        const std::wstring both = std::wstring(name ? name : L"") + L" / " + (help ? help : L"");
        SysFreeString(name);
        SysFreeString(help);
        return both;
    };
    const auto guidOf = [](ITypeInfo* info) {
        TYPEATTR* attributes = nullptr;
        GUID guid = GUID_NULL;
        if (info && SUCCEEDED(info->GetTypeAttr(&attributes))) {
            guid = attributes->guid;
            info->ReleaseTypeAttr(attributes);
        }
        return guid;
    };
    EXPECT_EQ(L"TAVRELLib / Tavrel 1.0 Type Library", documentation(-1));
    std::vector<UINT> coclasses;
    for (UINT index = 0; index < library->GetTypeInfoCount(); ++index) {
        TYPEKIND kind = TKIND_MAX;
        library->GetTypeInfoType(index, &kind);
        if (kind == TKIND_COCLASS)
            coclasses.push_back(index);
    }
    ASSERT_EQ(9u, coclasses.size());
    for (size_t i = 0; i < coclasses.size(); ++i) {
        const PageClass& page = kClasses[i];
        SCOPED_TRACE(page.name);
        EXPECT_EQ(page.name + L" / " + page.helpString, documentation(coclasses[i]));
        ComPtr<ITypeInfo> coclass, implemented;
        HREFTYPE reference = 0;
        ASSERT_EQ(S_OK, library->GetTypeInfo(coclasses[i], coclass.GetAddressOf()));
        EXPECT_TRUE(IsEqualGUID(*page.clsid, guidOf(coclass.Get())));
        ASSERT_EQ(S_OK, coclass->GetRefTypeOfImplType(0, &reference));
        ASSERT_EQ(S_OK, coclass->GetRefTypeInfo(reference, implemented.GetAddressOf()));
        EXPECT_TRUE(IsEqualGUID(IID_IPropertyPage, guidOf(implemented.Get())));
    }
    library.Reset();

    // A host creates every class by either ProgID.
    for (const PageClass& page : kClasses) {
        SCOPED_TRACE(page.name);
        for (const std::wstring& progId : {page.progId, page.versionedProgId}) {
            CLSID clsid = GUID_NULL;
            ASSERT_EQ(S_OK, CLSIDFromProgID(progId.c_str(), &clsid));
            EXPECT_TRUE(IsEqualCLSID(*page.clsid, clsid));
            ComPtr<IPropertyPage> created;
            ASSERT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                                             reinterpret_cast<void**>(created.GetAddressOf())));
            EXPECT_EQ(S_FALSE, TavrelLibrary::Instance().CanUnloadNow()) << "the page holds the module";
        }
    }

    // Unregistering removes every key it wrote, and what was added under a class key
    // later goes with it; CLSID stays (TearDown).
    ASSERT_TRUE(CreateKey(HKEY_CLASSES_ROOT, scopeKey + L"\\Added"));
    ASSERT_EQ(S_OK, Unregister());
    for (const PageClass& page : kClasses)
        ExpectClassUnregistered(page);
    EXPECT_FALSE(KeyExists(kTypeLibKey));
    EXPECT_TRUE(FAILED(LoadRegTypeLib(LIBID_TAVRELLib, 1, 0, LANG_NEUTRAL, library.GetAddressOf())));
    CLSID clsid{};
    EXPECT_TRUE(FAILED(CLSIDFromProgID(L"Kestrom.Tavrel.ScopeDialog", &clsid)));
}

TEST_F(RegistrationTest, RegistrationStopsAtTheFirstFailingClass) {
    // The seventh class (the second table's first) cannot write below a volatile key.
    const std::wstring& blocked = kClasses[6].versionedProgId;
    ASSERT_TRUE(CreateKey(HKEY_CLASSES_ROOT, blocked, REG_OPTION_VOLATILE));

    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_CHILD_MUST_BE_VOLATILE), Register());
    for (size_t i = 0; i < 6; ++i)
        ExpectClassRegistered(kClasses[i]);
    for (size_t i = 7; i < 9; ++i)
        ExpectClassUnregistered(kClasses[i]);
    EXPECT_FALSE(KeyExists(kTypeLibKey)) << "the type library comes after the classes";

    EXPECT_EQ(ERROR_SUCCESS, RegDeleteTreeW(HKEY_CLASSES_ROOT, blocked.c_str()));
    // Unregistering still removes every class, then returns the failure to unregister
    // the type library, which was never registered.
    EXPECT_TRUE(FAILED(Unregister()));
    for (const PageClass& page : kClasses)
        ExpectClassUnregistered(page);
}

// ---- Resources

TEST_F(RegistrationTest, VersionResourceNamesVersionAndFile) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(modulePath.c_str(), &handle);
    ASSERT_NE(0u, size);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(modulePath.c_str(), 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ((std::vector<DWORD>(2, MAKELONG(1, 2))), (std::vector<DWORD>{fixed->dwFileVersionMS, fixed->dwProductVersionMS}));
    EXPECT_EQ((std::vector<DWORD>(2, MAKELONG(9, 0))), (std::vector<DWORD>{fixed->dwFileVersionLS, fixed->dwProductVersionLS}));

    const auto stringInfo = [&](const wchar_t* name) {
        void* value = nullptr;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
        if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || !value)
            return std::wstring(kMissing);
        return std::wstring(static_cast<const wchar_t*>(value));
    };
    EXPECT_EQ(L"Tavrel", stringInfo(L"InternalName"));
    EXPECT_EQ(L"Tavrel.dll", stringInfo(L"OriginalFilename"));
    EXPECT_EQ(L"2.1.0.9", stringInfo(L"FileVersion"));
    EXPECT_NE(kMissing, stringInfo(L"Build Date"));
}

TEST_F(RegistrationTest, ManifestDescribesEveryClass) {
    const HMODULE module = TavrelLibrary::Instance().Module();
    const HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(24));
    ASSERT_NE(nullptr, resource);
    const char* data = static_cast<const char*>(LockResource(LoadResource(module, resource)));
    ASSERT_NE(nullptr, data);
    const std::string manifest(data, SizeofResource(module, resource));
    const auto has = [&](const std::wstring& text) {
        return manifest.find(std::string(text.begin(), text.end())) != std::string::npos;
    };

    // The product is "x86"; this 64-bit test build names its own processor.
    const std::wstring architecture = sizeof(void*) == 8 ? L"amd64" : L"x86";
    EXPECT_TRUE(has(L"<assemblyIdentity name=\"Tavrel\" version=\"2.1.0.9\" processorArchitecture=\"" +
                    architecture + L"\" type=\"win32\"/>"));
    EXPECT_TRUE(has(L"<file name=\"Tavrel\" hashalg=\"SHA1\">"));
    for (const PageClass& page : kClasses) {
        SCOPED_TRACE(page.name);
        EXPECT_TRUE(has(L"clsid=\"" + GuidText(*page.clsid) + L"\" tlbid=\"" + kLibraryId + L"\" description=\"" +
                        page.description + L"\""));
        EXPECT_TRUE(has(L"progid=\"" + page.progId + L"\">"));
        EXPECT_TRUE(has(L"<progid>" + page.versionedProgId + L"</progid>"));
    }
    EXPECT_TRUE(has(L"<file name=\"Tavrel.tlb\">"));
    EXPECT_TRUE(has(L"<typelib tlbid=\"" + std::wstring(kLibraryId) +
                    L"\" version=\"1.0\" helpdir=\"\" flags=\"HASDISKIMAGE\"/>"));
}

// ---- Registration-free activation

// The sample host finds the page by its ProgID once the DLL is registered, or loads
// the DLL it is given; either way the user's choice reaches its view and the page
// returns the view's every reference.
TEST_F(RegistrationTest, SampleHostShowsThePageRegisteredOrNot) {
    const std::wstring host = L"\"" + modulePath.substr(0, modulePath.find_last_of(L'\\')) + L"\\samplehost.exe\"";
    const std::string chosen =
        "the page wrote HistogramScale = 3\r\nHistogramScale is 3; the page gave back every reference\r\n";
    EXPECT_EQ(chosen, RunProgram(host + L" --dll \"" + modulePath + L"\"", true));

    EXPECT_NE(chosen, RunProgram(host, true)) << "not registered: the class is unknown";
    // The system's regsvr32 registers the DLL and unregisters it.
    ASSERT_EQ(0, RunRegsvr32(L"/s \"" + modulePath + L"\""));
    ExpectClassRegistered(Scope());
    EXPECT_TRUE(KeyExists(kTypeLibKey));
    EXPECT_EQ(chosen, RunProgram(host, true));
    ASSERT_EQ(0, RunRegsvr32(L"/u /s \"" + modulePath + L"\""));
    for (const PageClass& page : kClasses)
        ExpectClassUnregistered(page);
    EXPECT_FALSE(KeyExists(kTypeLibKey));
}

TEST_F(RegistrationTest, ActivationContextCreatesPagesWithoutRegistration) {
    ACTCTXW context{};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
    context.lpSource = modulePath.c_str();
    context.hModule = TavrelLibrary::Instance().Module();
    context.lpResourceName = MAKEINTRESOURCEW(2);
    const HANDLE activationContext = CreateActCtxW(&context);
    ASSERT_NE(INVALID_HANDLE_VALUE, activationContext) << "CreateActCtxW error " << GetLastError();

    ULONG_PTR cookie = 0;
    ASSERT_TRUE(ActivateActCtx(activationContext, &cookie));
    for (const PageClass& page : kClasses) {
        SCOPED_TRACE(page.name);
        ComPtr<IPropertyPage> created;
        EXPECT_EQ(S_OK, CoCreateInstance(*page.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                                         reinterpret_cast<void**>(created.GetAddressOf())));
        EXPECT_EQ(S_FALSE, TavrelLibrary::Instance().CanUnloadNow());
    }
    ComPtr<IPropertyPage> scope;
    EXPECT_TRUE(DeactivateActCtx(0, cookie));
    ReleaseActCtx(activationContext);

    // Without the context the class is unknown again: it was never registered.
    EXPECT_FALSE(AnyRegistration());
    EXPECT_EQ(REGDB_E_CLASSNOTREG, CoCreateInstance(CLSID_ScopeDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                                                    reinterpret_cast<void**>(scope.GetAddressOf())));
}

}  // namespace
