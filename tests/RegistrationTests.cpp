// Tavrel.dll as an installer and a host see it: registered with the system's regsvr32
// and through DllRegisterServer, the registry read back key by key, the type library,
// creation by ProgID, unregistration, the version and manifest resources, and
// registration-free activation, and the SDK's sample host run as its user would.
// Every test starts and ends unregistered.
#include "ComResource.h"
#include "Registrar.h"
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

#include <algorithm>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;
using tavrel::test::TavrelLibrary;

namespace {

const wchar_t kMissing[] = L"(missing)";
const wchar_t kLibraryId[] = L"{BB8B5ED5-969C-4E74-BC31-E0016816F37A}";

struct PageClass {
    const CLSID* clsid;
    const wchar_t* name;
    const wchar_t* progId;            // version-independent
    const wchar_t* versionedProgId;
    const wchar_t* description;
    const wchar_t* helpString;        // in the type library
    UINT scriptId;
};

// In class table order.
const PageClass kClasses[] = {
    {&CLSID_RangeSurfaceDialog, L"RangeSurfaceDialog", L"Kestrom.Tavrel.RangeSurfaceDialog",
     L"Kestrom.Tavrel.RangeSurfaceDialog.1", L"Kestrom RangeSurfaceDialog Class", L"RangeSurfaceDialog Class", 104},
    {&CLSID_HorizontalDistanceDialog, L"HorizontalDistanceDialog", L"Kestrom.Tavrel.HorizontalDistanceDialog",
     L"Kestrom.Tavrel.HorizontalDistanceDialog.1", L"Kestrom HorizontalDistanceDialog Class",
     L"Kestrom HorizontalDistanceDialog Class", 109},
    {&CLSID_TsDistributionDlg, L"TsDistributionDlg", L"Kestrom.Tavrel.TsDistributionDlg",
     L"Kestrom.Tavrel.TsDistributionDlg.1", L"Kestrom TsDistributionDlg Class", L"Kestrom TsDistributionDlg Class",
     119},
    {&CLSID_BottomDetectorDialog, L"BottomDetectorDialog", L"Kestrom.Tavrel.BottomDetectorDialog",
     L"Kestrom.Tavrel.BottomDetectorDialog.1", L"Kestrom BottomDetectorDialog Class",
     L"Kestrom BottomDetectorDialog Class", 124},
    {&CLSID_EchoTraceDialog, L"EchoTraceDialog", L"Kestrom.Tavrel.EchoTraceDialog",
     L"Kestrom.Tavrel.EchoTraceDialog.1", L"Kestrom EchoTraceDialog Class", L"EchoTraceDialog Class", 129},
    {&CLSID_ColorScaleDialog, L"ColorScaleDialog", L"Kestrom.Tavrel.ColorScaleDialog",
     L"Kestrom.Tavrel.ColorScaleDialog.1", L"Kestrom ColorScaleDialog Class", L"Kestrom ColorScaleDialog Class", 134},
    {&CLSID_ConfigureWindowDlg, L"ConfigureWindowDlg", L"Kestrom.Tavrel.ConfigureWindowDlg",
     L"Kestrom.Tavrel.ConfigureWindowDl.1", L"Kestrom ConfigureWindowDlg Class", L"Kestrom ConfigureWindowDlg Class",
     140},
    {&CLSID_RangeScrollDlg, L"RangeScrollDlg", L"Kestrom.Tavrel.RangeScrollDlg", L"Kestrom.Tavrel.RangeScrollD.1",
     L"Kestrom RangeScrollDlg Class", L"Kestrom RangeScrollDlg Class", 145},
    {&CLSID_ScopeDialog, L"ScopeDialog", L"Kestrom.Tavrel.ScopeDialog", L"Kestrom.Tavrel.ScopeDialog.1",
     L"Kestrom ScopeDialog Class", L"Kestrom ScopeDialog Class", 150},
};

const PageClass& Scope() { return kClasses[8]; }

// ---- Registry and text helpers

std::wstring GuidText(REFGUID guid) {
    wchar_t text[40];
    StringFromGUID2(guid, text, 40);
    return text;
}

std::wstring ClassKey(const PageClass& page) { return L"CLSID\\" + GuidText(*page.clsid); }

bool KeyExists(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
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

// Runs the system's regsvr32 with arguments; its exit code, or -1 when it did not run.
long RunRegsvr32(const std::wstring& arguments) {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(system) + L"\\regsvr32.exe\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    DWORD exitCode = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<long>(exitCode);
}

// The TS distribution page's dialog once the process shows it, waited for up to 30
// seconds; null when the process ended first or showed none.
HWND WaitForDialogOf(const PROCESS_INFORMATION& process) {
    for (int tries = 0; tries < 600; ++tries) {
        if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0)
            return nullptr;
        HWND dialog = FindWindowW(L"#32770", L"TS Distribution");
        DWORD owner = 0;
        if (dialog && GetWindowThreadProcessId(dialog, &owner) && owner == process.dwProcessId && IsWindowVisible(dialog))
            return dialog;
    }
    return nullptr;
}

// The SDK's sample host (samplehost.exe, beside Tavrel.dll) as its user runs it: the
// TS distribution page opens on the sample's view, the user chooses "TS" and presses
// OK. What it printed, or why it printed nothing.
std::string RunSampleHost(const std::wstring& directory, const std::wstring& arguments) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE output = nullptr;
    HANDLE childOutput = nullptr;
    if (!CreatePipe(&output, &childOutput, &inheritable, 0))
        return "no pipe";
    SetHandleInformation(output, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = childOutput;
    startup.hStdError = childOutput;
    std::wstring commandLine = L"\"" + directory + L"\\samplehost.exe\" " + arguments;
    PROCESS_INFORMATION process{};
    const BOOL started =
        CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(childOutput);
    if (!started) {
        CloseHandle(output);
        return "samplehost.exe did not start";
    }
    std::string printed;
    if (HWND dialog = WaitForDialogOf(process)) {
        SendMessageW(GetDlgItem(dialog, IDC_TS_TARGET_STRENGTH), BM_CLICK, 0, 0);
        SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    } else {
        printed = "(no dialog) ";
    }
    if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        printed += "(did not end) ";
    }
    char buffer[512];
    DWORD read = 0;
    while (ReadFile(output, buffer, sizeof buffer, &read, nullptr) && read > 0)
        printed.append(buffer, read);
    CloseHandle(output);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return printed;
}

bool AnyClassRegistered() {
    for (const PageClass& page : kClasses) {
        if (KeyExists(ClassKey(page)) || KeyExists(page.progId) || KeyExists(page.versionedProgId))
            return true;
    }
    return KeyExists(std::wstring(L"TypeLib\\") + kLibraryId);
}

// Removes whatever is left of the registrations, so that one failing test does not
// fail the ones after it.
void DeleteEveryRegistration() {
    for (const PageClass& page : kClasses) {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKey(page).c_str());
        RegDeleteTreeW(HKEY_CLASSES_ROOT, page.progId);
        RegDeleteTreeW(HKEY_CLASSES_ROOT, page.versionedProgId);
    }
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (std::wstring(L"TypeLib\\") + kLibraryId).c_str());
}

// Every test starts unregistered and must leave the registry that way, with every page
// and class object released.
class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, TavrelLibrary::Instance().Module()) << "Tavrel.dll not loaded";
        modulePath = ModulePath();
        // A run that stopped half way may have left registrations behind.
        if (AnyClassRegistered())
            DeleteEveryRegistration();
        ASSERT_FALSE(AnyClassRegistered());
    }

    void TearDown() override {
        if (AnyClassRegistered())
            TavrelLibrary::Instance().UnregisterServer();
        const bool clean = !AnyClassRegistered();
        EXPECT_TRUE(clean) << "unregistering left registrations behind";
        if (!clean)
            DeleteEveryRegistration();
        EXPECT_TRUE(KeyExists(L"CLSID"));
        EXPECT_EQ(S_OK, TavrelLibrary::Instance().CanUnloadNow()) << "a page or class object is still alive";
    }

    HRESULT Register() { return TavrelLibrary::Instance().RegisterServer(); }
    HRESULT Unregister() { return TavrelLibrary::Instance().UnregisterServer(); }

    // Every key and value one class's script writes, and nothing more.
    void ExpectClassRegistered(const PageClass& page) {
        SCOPED_TRACE(page.name);
        const std::wstring clsid = GuidText(*page.clsid);
        const std::wstring versioned = page.versionedProgId;
        EXPECT_EQ(page.description, ReadString(versioned));
        EXPECT_EQ(clsid, ReadString(versioned + L"\\CLSID"));
        EXPECT_EQ(std::vector<std::wstring>{L"CLSID"}, Subkeys(versioned));

        const std::wstring independent = page.progId;
        EXPECT_EQ(page.description, ReadString(independent));
        EXPECT_EQ(clsid, ReadString(independent + L"\\CLSID"));
        EXPECT_EQ(versioned, ReadString(independent + L"\\CurVer"));
        EXPECT_EQ((std::vector<std::wstring>{L"CLSID", L"CurVer"}), Subkeys(independent));

        const std::wstring classKey = ClassKey(page);
        EXPECT_EQ(page.description, ReadString(classKey));
        EXPECT_EQ(versioned, ReadString(classKey + L"\\ProgID"));
        EXPECT_EQ(independent, ReadString(classKey + L"\\VersionIndependentProgID"));
        EXPECT_EQ(modulePath, ReadString(classKey + L"\\InprocServer32"));
        DWORD bytes = 0;
        RegGetValueW(HKEY_CLASSES_ROOT, (classKey + L"\\InprocServer32").c_str(), nullptr, RRF_RT_REG_SZ, nullptr,
                     nullptr, &bytes);
        EXPECT_EQ((modulePath.size() + 1) * sizeof(wchar_t), bytes) << "the path and its end, nothing after";
        EXPECT_EQ(L"Apartment", ReadString(classKey + L"\\InprocServer32", L"ThreadingModel"));
        EXPECT_EQ((std::vector<std::wstring>{L"", L"ThreadingModel"}), ValueNames(classKey + L"\\InprocServer32"));
        EXPECT_EQ(kLibraryId, ReadString(classKey + L"\\TypeLib"));
        EXPECT_EQ((std::vector<std::wstring>{L"InprocServer32", L"ProgID", L"TypeLib", L"VersionIndependentProgID"}),
                  Subkeys(classKey));
    }

    void ExpectClassUnregistered(const PageClass& page) {
        SCOPED_TRACE(page.name);
        EXPECT_FALSE(KeyExists(page.progId));
        EXPECT_FALSE(KeyExists(page.versionedProgId));
        EXPECT_FALSE(KeyExists(ClassKey(page)));
    }

    std::wstring modulePath;
};

// ---- Registering and unregistering

TEST_F(RegistrationTest, RegisteringWritesEveryClassAndTheTypeLibraryAndUnregisteringRemovesThem) {
    ASSERT_EQ(S_OK, Register());
    for (const PageClass& page : kClasses)
        ExpectClassRegistered(page);
    // The shortened versioned ProgIDs stand everywhere the versioned ProgID stands.
    EXPECT_EQ(L"Kestrom.Tavrel.RangeScrollD.1", ReadString(L"Kestrom.Tavrel.RangeScrollDlg\\CurVer"));
    EXPECT_EQ(L"Kestrom.Tavrel.ConfigureWindowDl.1", ReadString(L"Kestrom.Tavrel.ConfigureWindowDlg\\CurVer"));
    EXPECT_FALSE(KeyExists(L"Kestrom.Tavrel.RangeScrollDlg.1"));
    EXPECT_FALSE(KeyExists(L"Kestrom.Tavrel.ConfigureWindowDlg.1"));

    // The type library, registered from the module: its nine coclasses in class table
    // order, each exposing IPropertyPage.
    const std::wstring versionKey = std::wstring(L"TypeLib\\") + kLibraryId + L"\\1.0";
    EXPECT_EQ(L"Tavrel 1.0 Type Library", ReadString(versionKey));
    EXPECT_EQ(modulePath, ReadString(versionKey + (sizeof(void*) == 8 ? L"\\0\\win64" : L"\\0\\win32")));
    ComPtr<ITypeLib> library;
    ASSERT_EQ(S_OK, LoadRegTypeLib(LIBID_TAVRELLib, 1, 0, LANG_NEUTRAL, library.GetAddressOf()));
    BSTR name = nullptr;
    BSTR help = nullptr;
    ASSERT_EQ(S_OK, library->GetDocumentation(-1, &name, &help, nullptr, nullptr));
    EXPECT_STREQ(L"TAVRELLib", name);
    EXPECT_STREQ(L"Tavrel 1.0 Type Library", help);
    SysFreeString(name);
    SysFreeString(help);
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
        ASSERT_EQ(S_OK, library->GetDocumentation(coclasses[i], &name, &help, nullptr, nullptr));
        EXPECT_STREQ(page.name, name);
        EXPECT_STREQ(page.helpString, help);
        SysFreeString(name);
        SysFreeString(help);
        ComPtr<ITypeInfo> coclass, implemented;
        HREFTYPE reference = 0;
        TYPEATTR* attributes = nullptr;
        ASSERT_EQ(S_OK, library->GetTypeInfo(coclasses[i], coclass.GetAddressOf()));
        ASSERT_EQ(S_OK, coclass->GetTypeAttr(&attributes));
        EXPECT_TRUE(IsEqualGUID(*page.clsid, attributes->guid));
        EXPECT_EQ(1, attributes->cImplTypes);
        coclass->ReleaseTypeAttr(attributes);
        ASSERT_EQ(S_OK, coclass->GetRefTypeOfImplType(0, &reference));
        ASSERT_EQ(S_OK, coclass->GetRefTypeInfo(reference, implemented.GetAddressOf()));
        ASSERT_EQ(S_OK, implemented->GetTypeAttr(&attributes));
        EXPECT_TRUE(IsEqualGUID(IID_IPropertyPage, attributes->guid));
        implemented->ReleaseTypeAttr(attributes);
    }
    library.Reset();

    // A host creates every class by either ProgID.
    for (const PageClass& page : kClasses) {
        SCOPED_TRACE(page.name);
        for (const wchar_t* progId : {page.progId, page.versionedProgId}) {
            CLSID clsid = GUID_NULL;
            ASSERT_EQ(S_OK, CLSIDFromProgID(progId, &clsid));
            EXPECT_TRUE(IsEqualCLSID(*page.clsid, clsid));
            ComPtr<IPropertyPage> created;
            ASSERT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                                             reinterpret_cast<void**>(created.GetAddressOf())));
            EXPECT_EQ(S_FALSE, TavrelLibrary::Instance().CanUnloadNow()) << "the page holds the module";
        }
    }

    // Unregistering removes every key it wrote, and what was added under a class key
    // later goes with it; CLSID stays.
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CLASSES_ROOT, (ClassKey(Scope()) + L"\\Added").c_str(), 0, nullptr,
                                             REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(key);
    ASSERT_EQ(S_OK, Unregister());
    for (const PageClass& page : kClasses)
        ExpectClassUnregistered(page);
    EXPECT_TRUE(KeyExists(L"CLSID"));
    EXPECT_FALSE(KeyExists(std::wstring(L"TypeLib\\") + kLibraryId));
    EXPECT_TRUE(FAILED(LoadRegTypeLib(LIBID_TAVRELLib, 1, 0, LANG_NEUTRAL, library.GetAddressOf())));
    CLSID clsid{};
    EXPECT_TRUE(FAILED(CLSIDFromProgID(L"Kestrom.Tavrel.ScopeDialog", &clsid)));
}

TEST_F(RegistrationTest, RegisteringAgainReplacesAStaleClassKeyWhole) {
    ASSERT_EQ(S_OK, Register());
    const std::wstring classKey = ClassKey(Scope());
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CLASSES_ROOT, (classKey + L"\\Bogus\\Deeper").c_str(), 0, nullptr,
                                             REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(key);
    const wchar_t stale[] = L"C:\\old\\Tavrel.dll";
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CLASSES_ROOT, (classKey + L"\\InprocServer32").c_str(), nullptr,
                                             REG_SZ, stale, sizeof stale));
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CLASSES_ROOT, classKey.c_str(), L"Stale", REG_SZ, stale,
                                             sizeof stale));

    ASSERT_EQ(S_OK, Register());
    ExpectClassRegistered(Scope());
    EXPECT_EQ((std::vector<std::wstring>{L""}), ValueNames(classKey));
    ASSERT_EQ(S_OK, Unregister());
}

TEST_F(RegistrationTest, RegistrationStopsAtTheFirstFailingClass) {
    // The seventh class (the second table's first) cannot write below a volatile key.
    const wchar_t* blocked = kClasses[6].versionedProgId;
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CLASSES_ROOT, blocked, 0, nullptr, REG_OPTION_VOLATILE,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(key);

    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_CHILD_MUST_BE_VOLATILE), Register());
    for (size_t i = 0; i < 6; ++i)
        ExpectClassRegistered(kClasses[i]);
    for (size_t i = 7; i < 9; ++i)
        ExpectClassUnregistered(kClasses[i]);
    EXPECT_FALSE(KeyExists(std::wstring(L"TypeLib\\") + kLibraryId)) << "the type library comes after the classes";

    EXPECT_EQ(ERROR_SUCCESS, RegDeleteTreeW(HKEY_CLASSES_ROOT, blocked));
    // Unregistering still removes every class, then returns the failure to unregister
    // the type library, which was never registered.
    EXPECT_TRUE(FAILED(Unregister()));
    for (const PageClass& page : kClasses)
        ExpectClassUnregistered(page);
}

// ---- Resources

TEST_F(RegistrationTest, EachClassScriptIsAResourceOfItsOwn) {
    // Each class's script on its own, with a scratch key standing for HKEY_CLASSES_ROOT:
    // it writes the class's two ProgIDs and its class key, and unregistering leaves
    // only CLSID, which the script never removes, even when nothing is left in it.
    const wchar_t scratchPath[] = L"Software\\TavrelTests\\Classes";
    tavrel::UniqueHkey scratch;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, scratchPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                             KEY_ALL_ACCESS, nullptr, scratch.put(), nullptr));
    const auto subkeys = [&](const std::wstring& path) {
        return tavrel::test::RegistryNames(scratch.get(), path, tavrel::test::RegistryNameKind::Subkeys);
    };
    for (const PageClass& page : kClasses) {
        SCOPED_TRACE(page.name);
        std::wstring text;
        ASSERT_EQ(S_OK, tavrel::registrar::LoadScriptResource(TavrelLibrary::Instance().Module(), page.scriptId, text));
        std::wstring error;
        using tavrel::registrar::Action;
        ASSERT_EQ(S_OK, tavrel::registrar::RunScript(text, modulePath, Action::Register, scratch.get(), &error))
            << error;
        std::vector<std::wstring> expected{L"CLSID", page.progId, page.versionedProgId};
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(expected, subkeys(L""));
        EXPECT_EQ(std::vector<std::wstring>{GuidText(*page.clsid)}, subkeys(L"CLSID"));

        ASSERT_EQ(S_OK, tavrel::registrar::RunScript(text, modulePath, Action::Unregister, scratch.get(), &error))
            << error;
        EXPECT_EQ(std::vector<std::wstring>{L"CLSID"}, subkeys(L""));
        EXPECT_TRUE(subkeys(L"CLSID").empty());
    }
    scratch.reset();
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TavrelTests"));
}

std::wstring StringFileInfo(const std::vector<BYTE>& block, const wchar_t* name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
    if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || !value)
        return kMissing;
    return static_cast<const wchar_t*>(value);
}

TEST_F(RegistrationTest, VersionResourceNamesVersionAndFile) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(modulePath.c_str(), &handle);
    ASSERT_NE(0u, size);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(modulePath.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    for (DWORD version : {fixed->dwFileVersionMS, fixed->dwProductVersionMS})
        EXPECT_EQ(static_cast<DWORD>(MAKELONG(1, 2)), version);
    for (DWORD version : {fixed->dwFileVersionLS, fixed->dwProductVersionLS})
        EXPECT_EQ(static_cast<DWORD>(MAKELONG(9, 0)), version);

    EXPECT_EQ(L"Tavrel", StringFileInfo(block, L"InternalName"));
    EXPECT_EQ(L"Tavrel.dll", StringFileInfo(block, L"OriginalFilename"));
    EXPECT_EQ(L"2.1.0.9", StringFileInfo(block, L"FileVersion"));
    EXPECT_NE(kMissing, StringFileInfo(block, L"Build Date"));
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
        EXPECT_TRUE(has(L"progid=\"" + std::wstring(page.progId) + L"\">"));
        EXPECT_TRUE(has(L"<progid>" + std::wstring(page.versionedProgId) + L"</progid>"));
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
    const std::wstring directory = modulePath.substr(0, modulePath.find_last_of(L'\\'));
    const std::string chosen =
        "the page wrote HistogramScale = 3\r\nHistogramScale is 3; the page gave back every reference\r\n";
    EXPECT_EQ(chosen, RunSampleHost(directory, L"--dll \"" + modulePath + L"\""));

    EXPECT_NE(chosen, RunSampleHost(directory, L"")) << "not registered: the class is unknown";
    // The system's regsvr32 registers the DLL and unregisters it.
    ASSERT_EQ(0, RunRegsvr32(L"/s \"" + modulePath + L"\""));
    ExpectClassRegistered(Scope());
    EXPECT_TRUE(KeyExists(std::wstring(L"TypeLib\\") + kLibraryId));
    EXPECT_EQ(chosen, RunSampleHost(directory, L""));
    ASSERT_EQ(0, RunRegsvr32(L"/u /s \"" + modulePath + L"\""));
    for (const PageClass& page : kClasses)
        ExpectClassUnregistered(page);
    EXPECT_FALSE(KeyExists(std::wstring(L"TypeLib\\") + kLibraryId));
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
    EXPECT_FALSE(AnyClassRegistered());
    EXPECT_EQ(REGDB_E_CLASSNOTREG, CoCreateInstance(CLSID_ScopeDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                                                    reinterpret_cast<void**>(scope.GetAddressOf())));
}

}  // namespace
