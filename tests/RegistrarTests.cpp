// The registrar script runner on its own: every construct of the script format,
// registered into and unregistered from a scratch key under HKCU that stands for
// HKCR, and malformed scripts that must fail without writing.
#include "Registrar.h"
#include "RegistryNames.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

using namespace tavrel::registrar;

namespace {

const wchar_t kScratchPath[] = L"Software\\TavrelTests\\Registrar";
const wchar_t kMissing[] = L"(missing)";

// ---- Reading the registry back

bool KeyExists(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// A string value, or kMissing. name nullptr: the default value.
std::wstring ReadString(HKEY root, const std::wstring& path, const wchar_t* name = nullptr) {
    wchar_t buffer[1024];
    DWORD size = sizeof buffer;
    if (RegGetValueW(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return kMissing;
    return buffer;
}

std::vector<std::wstring> Subkeys(HKEY root, const std::wstring& path) {
    return tavrel::test::RegistryNames(root, path, tavrel::test::RegistryNameKind::Subkeys);
}

DWORD ValueCount(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    DWORD values = 0;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(key);
    return values;
}

void CreateKey(HKEY root, const std::wstring& path, DWORD options = REG_OPTION_NON_VOLATILE) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(root, path.c_str(), 0, nullptr, options, KEY_ALL_ACCESS, nullptr, &key,
                                             nullptr))
        << "creating " << path;
    RegCloseKey(key);
}

void WriteString(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& text) {
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(root, path.c_str(), name, REG_SZ, text.c_str(),
                                             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))));
}

// The scripts' HKCR leads to a scratch key, made afresh for each test and deleted after it.
class RegistrarTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kScratchPath);
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kScratchPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                 KEY_ALL_ACCESS, nullptr, &classes, nullptr));
    }

    void TearDown() override {
        if (classes)
            RegCloseKey(classes);
        EXPECT_EQ(ERROR_SUCCESS, RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TavrelTests"));
    }

    HRESULT Register(const std::wstring& script) {
        return RunScript(script, modulePath, Action::Register, classes, &error);
    }
    HRESULT Unregister(const std::wstring& script) {
        return RunScript(script, modulePath, Action::Unregister, classes, &error);
    }

    bool NothingWritten() const { return Subkeys(classes, L"").empty() && ValueCount(classes, L"") == 0; }

    HKEY classes = nullptr;
    std::wstring modulePath = L"C:\\x.dll";
    std::wstring error;
};

// ---- Registering: keys, values, keywords, strings

TEST_F(RegistrarTest, ScriptsWriteTheirKeysAndValues) {
    // A value read back: kKeyOnly for a key that exists without a default value.
    struct Read {
        std::wstring path;
        const wchar_t* name;  // nullptr: the default value
        std::wstring value;
    };
    const wchar_t* const kKeyOnly = L"(key only)";
    modulePath = L"C:\\Kestrom's pages\\100% sure\\it''s.dll";
    const std::wstring classKey = L"CLSID\\{5AC55753-6774-47F4-9DD4-0709F9F16FB8}";
    const struct {
        const wchar_t* script;
        std::vector<Read> reads;
    } cases[] = {
        {L"HKCR\n{\n  Alpha = s 'first'\n  {\n    Beta = s 'second'\n    Gamma\n  }\n}\n",
         {{L"Alpha", nullptr, L"first"}, {L"Alpha\\Beta", nullptr, L"second"}, {L"Alpha\\Gamma", nullptr, kKeyOnly}}},
        // Keywords in any case; val leaves the default value alone; a second HKCR block.
        {L"hkcr { noremove Alpha {\n  val Text = s 'some text'\n  VAL Other = S 'x'\n} FORCEremove Beta = s 'b' }\n"
         L"HKCR { Gamma }",
         {{L"Alpha", L"Text", L"some text"}, {L"Alpha", L"Other", L"x"}, {L"Alpha", nullptr, kKeyOnly},
          {L"Beta", nullptr, L"b"}, {L"Gamma", nullptr, kKeyOnly}}},
        // Quoted strings hold spaces, quotes, keywords and braces; a quoted keyword is a name.
        {L"HKCR {\n  'two words' = s 'it''s here'\n  'NoRemove' = s ''\n  '{' = s '}'\n"
         L"  Multi = s 'line one\nline two'\n  Bare = s Apartment\n}",
         {{L"two words", nullptr, L"it's here"}, {L"NoRemove", nullptr, L""}, {L"{", nullptr, L"}"},
          {L"Multi", nullptr, L"line one\nline two"}, {L"Bare", nullptr, L"Apartment"}}},
        // Class id key names need no quotes.
        {L"HKCR { NoRemove CLSID { ForceRemove {5AC55753-6774-47F4-9DD4-0709F9F16FB8} = s 'c'\n"
         L"{ InprocServer32 = s 'x.dll' { val ThreadingModel = s 'Apartment' } } } }",
         {{classKey, nullptr, L"c"}, {classKey + L"\\InprocServer32", nullptr, L"x.dll"},
          {classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"}}},
        // The module path's quotes, doubled in the string, come back; %% is one %.
        {L"HKCR { Server = s '%MODULE%'\nShare = s '50%% done' Icon = s '%MODULE%,1' }",
         {{L"Server", nullptr, modulePath}, {L"Share", nullptr, L"50% done"}, {L"Icon", nullptr, modulePath + L",1"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.script, c.script + std::wcslen(c.script)));
        ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeW(classes, nullptr));
        ASSERT_EQ(S_OK, Register(c.script)) << error;
        for (const Read& read : c.reads) {
            SCOPED_TRACE(std::string(read.path.begin(), read.path.end()));
            if (read.value == kKeyOnly) {
                EXPECT_TRUE(KeyExists(classes, read.path));
            }
            EXPECT_EQ(read.value == kKeyOnly ? kMissing : read.value, ReadString(classes, read.path, read.name));
        }
    }
}

TEST_F(RegistrarTest, ForceRemoveReplacesAStaleTreeWholeOtherKeysKeepTheirContent) {
    CreateKey(classes, L"Alpha\\Stale\\Deeper");
    WriteString(classes, L"Alpha", L"StaleValue", L"old");
    WriteString(classes, L"Alpha", nullptr, L"old default");
    CreateKey(classes, L"Beta\\Stale");
    ASSERT_EQ(S_OK, Register(L"HKCR { ForceRemove Alpha = s 'new' { Fresh } Beta = s 'new' { Fresh } }")) << error;
    EXPECT_EQ((std::vector<std::wstring>{L"Fresh"}), Subkeys(classes, L"Alpha"));
    EXPECT_EQ(kMissing, ReadString(classes, L"Alpha", L"StaleValue"));
    EXPECT_EQ(L"new", ReadString(classes, L"Alpha"));
    EXPECT_EQ((std::vector<std::wstring>{L"Fresh", L"Stale"}), Subkeys(classes, L"Beta"));
}

TEST_F(RegistrarTest, AFailingWriteStopsTheRunAndIsReturned) {
    // A volatile key takes no lasting subkeys.
    CreateKey(classes, L"Volatile", REG_OPTION_VOLATILE);
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_CHILD_MUST_BE_VOLATILE),
              Register(L"HKCR { Before Volatile { Child } After }"));
    EXPECT_TRUE(KeyExists(classes, L"Before"));
    EXPECT_FALSE(KeyExists(classes, L"After")) << "nothing after the failure is written";
}

// ---- Unregistering

TEST_F(RegistrarTest, UnregisterRemovesWhatTheScriptWroteAndSucceedsWhenNothingIsThere) {
    const std::wstring script = L"HKCR { Alpha = s 'a' { Beta = s 'b' { Gamma } val Named = s 'n' } }\n"
                                L"HKCR { Delta }";
    ASSERT_EQ(S_OK, Register(script)) << error;
    ASSERT_EQ(S_OK, Unregister(script)) << error;
    EXPECT_TRUE(NothingWritten());
    EXPECT_EQ(S_OK, Unregister(L"HKCR { Alpha { val V = s 'x' Beta } ForceRemove Gamma NoRemove Delta { Eps } }"))
        << error;
    EXPECT_EQ(S_OK, Register(L"  \r\n\t "));
    EXPECT_TRUE(NothingWritten());
}

TEST_F(RegistrarTest, UnregisterKeepsNoRemoveKeysAndWhatOthersAdded) {
    const std::wstring script = L"HKCR { NoRemove Shared = s 'mine' { Own { Leaf } val Setting = s 'x' }\n"
                                L"Mixed { Own } NoRemove CLSID { ForceRemove {Class} = s 'c' { Inproc } } }";
    ASSERT_EQ(S_OK, Register(script)) << error;
    CreateKey(classes, L"Shared\\Foreign");
    CreateKey(classes, L"Mixed\\Foreign");
    CreateKey(classes, L"CLSID\\{Class}\\Added\\Deeper");
    ASSERT_EQ(S_OK, Unregister(script)) << error;

    EXPECT_EQ((std::vector<std::wstring>{L"Foreign"}), Subkeys(classes, L"Shared")) << "NoRemove key kept";
    EXPECT_EQ(kMissing, ReadString(classes, L"Shared", L"Setting")) << "its named value removed";
    EXPECT_EQ((std::vector<std::wstring>{L"Foreign"}), Subkeys(classes, L"Mixed"))
        << "a key someone else still uses stays, without the script's own subkeys";
    EXPECT_TRUE(KeyExists(classes, L"CLSID"));
    EXPECT_TRUE(Subkeys(classes, L"CLSID").empty()) << "a ForceRemove key goes whole";

    // A NoRemove key stays even when nothing is left in it.
    RegDeleteKeyW(classes, L"Shared\\Foreign");
    ASSERT_EQ(S_OK, Unregister(script)) << error;
    EXPECT_TRUE(KeyExists(classes, L"Shared"));
}

// ---- Malformed scripts: a clear failure naming the line, nothing written. Each case has
// valid entries before its error, so a runner that wrote as it parsed would leave them.

TEST_F(RegistrarTest, MalformedScriptsFailWithoutWriting) {
    const wchar_t* const malformed[] = {
        L"HKCR { Open { Inner }", L"HKCR { A } }", L"HKCR { A = s 'no end }", L"'HKCR' { A }", L"HKCR A",
        L"HKCR { A = sz 'text' }", L"HKCR { A = 'text' }", L"HKCR { A = s }", L"HKCR { A { val V } }",
        L"HKCR { A { val V = s 'x' { B } } }", L"HKCR { NoRemove ForceRemove A }", L"HKCR { '' = s 'x' }",
        L"HKCR { A\\B = s 'x' }", L"HKCR { = s 'x' }", L"HKCR { A = s '%UNKNOWN%' }", L"HKCR { A = s '100% sure' }",
        // What the platform registrar knows but the scripts do not use.
        L"HKLM { A }", L"HKCR { A = d 1 }", L"HKCR { Delete A }"};
    for (const wchar_t* part : malformed) {
        SCOPED_TRACE(std::string(part, part + std::wcslen(part)));
        const std::wstring script = std::wstring(L"HKCR { Written = s 'yes' { Child } }\nHKCR { Second }\n") + part;
        EXPECT_EQ(kScriptError, Register(script));
        EXPECT_NE(std::wstring::npos, error.find(L"line ")) << "the error names the line: " << error;
        EXPECT_TRUE(NothingWritten());
        EXPECT_EQ(kScriptError, Unregister(script));
    }

    EXPECT_EQ(kScriptError, Register(L"HKCR\n{\n  A = q 'x'\n}"));
    EXPECT_NE(std::wstring::npos, error.find(L"line 3")) << "got: " << error;
    EXPECT_NE(std::wstring::npos, error.find(L"'q'"));
    EXPECT_EQ(kScriptError, Register(L"HKCR\n{\n  A = s 'two\nlines'\n  B = q 'x'\n}"));
    EXPECT_NE(std::wstring::npos, error.find(L"line 5")) << "lines inside a string count: " << error;
    EXPECT_EQ(kScriptError, Register(L"HKCR\n{\n  A = s 'open\n\n"));
    EXPECT_NE(std::wstring::npos, error.find(L"line 3")) << "a string's error names the line it starts on";
    EXPECT_NE(std::wstring::npos, error.find(L"unterminated"));
}

}  // namespace
