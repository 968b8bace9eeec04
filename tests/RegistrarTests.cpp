// The registrar script runner on its own: every construct of the script format,
// registered into and unregistered from a scratch key under HKCU that stands for
// HKCR, and malformed scripts that must fail without writing.
#include "Registrar.h"
#include "RegistryNames.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
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

TEST_F(RegistrarTest, KeysGetTheirDefaultValuesAndNestedKeys) {
    ASSERT_EQ(S_OK, Register(L"HKCR\n{\n  Alpha = s 'first'\n  {\n    Beta = s 'second'\n    Gamma\n  }\n}\n"));
    EXPECT_EQ(L"first", ReadString(classes, L"Alpha"));
    EXPECT_EQ(L"second", ReadString(classes, L"Alpha\\Beta"));
    EXPECT_TRUE(KeyExists(classes, L"Alpha\\Gamma"));
    EXPECT_EQ(kMissing, ReadString(classes, L"Alpha\\Gamma")) << "a key without '=' gets no default value";
}

TEST_F(RegistrarTest, NamedValuesAndKeywordsIgnoringCase) {
    ASSERT_EQ(S_OK, Register(L"hkcr { noremove Alpha {\n"
                             L"  val Text = s 'some text'\n"
                             L"  VAL Other = S 'x'\n"
                             L"} FORCEremove Beta = s 'b' }\n"
                             L"HKCR { Gamma }"))
        << error;
    EXPECT_EQ(L"some text", ReadString(classes, L"Alpha", L"Text"));
    EXPECT_EQ(L"x", ReadString(classes, L"Alpha", L"Other"));
    EXPECT_EQ(kMissing, ReadString(classes, L"Alpha")) << "val leaves the default value alone";
    EXPECT_EQ(L"b", ReadString(classes, L"Beta"));
    EXPECT_TRUE(KeyExists(classes, L"Gamma")) << "a second HKCR block";
}

TEST_F(RegistrarTest, QuotedStringsHoldSpacesQuotesAndKeywords) {
    ASSERT_EQ(S_OK, Register(L"HKCR {\n"
                             L"  'two words' = s 'it''s here'\n"
                             L"  'NoRemove' = s ''\n"
                             L"  '{' = s '}'\n"
                             L"  Multi = s 'line one\nline two'\n"
                             L"  Bare = s Apartment\n"
                             L"}"))
        << error;
    EXPECT_EQ(L"it's here", ReadString(classes, L"two words"));
    EXPECT_EQ(L"", ReadString(classes, L"NoRemove")) << "a quoted keyword is a name";
    EXPECT_EQ(L"}", ReadString(classes, L"{"));
    EXPECT_EQ(L"line one\nline two", ReadString(classes, L"Multi"));
    EXPECT_EQ(L"Apartment", ReadString(classes, L"Bare"));
}

TEST_F(RegistrarTest, ClassIdKeyNamesNeedNoQuotes) {
    ASSERT_EQ(S_OK, Register(L"HKCR { NoRemove CLSID { ForceRemove {5AC55753-6774-47F4-9DD4-0709F9F16FB8} = s 'c'\n"
                             L"{ InprocServer32 = s 'x.dll' { val ThreadingModel = s 'Apartment' } } } }"))
        << error;
    const std::wstring classKey = L"CLSID\\{5AC55753-6774-47F4-9DD4-0709F9F16FB8}";
    EXPECT_EQ(L"c", ReadString(classes, classKey));
    EXPECT_EQ(L"x.dll", ReadString(classes, classKey + L"\\InprocServer32"));
    EXPECT_EQ(L"Apartment", ReadString(classes, classKey + L"\\InprocServer32", L"ThreadingModel"));
}

TEST_F(RegistrarTest, ModulePathAndPercentSigns) {
    modulePath = L"C:\\Kestrom's pages\\100% sure\\it''s.dll";
    ASSERT_EQ(S_OK, Register(L"HKCR { Server = s '%MODULE%'\n"
                             L"Share = s '50%% done' }"))
        << error;
    EXPECT_EQ(modulePath, ReadString(classes, L"Server")) << "the path's quotes, doubled in the string, come back";
    EXPECT_EQ(L"50% done", ReadString(classes, L"Share"));
}

TEST_F(RegistrarTest, ForceRemoveReplacesAStaleTreeWhole) {
    CreateKey(classes, L"Alpha\\Stale\\Deeper");
    WriteString(classes, L"Alpha", L"StaleValue", L"old");
    WriteString(classes, L"Alpha", nullptr, L"old default");
    ASSERT_EQ(S_OK, Register(L"HKCR { ForceRemove Alpha = s 'new' { Fresh } }")) << error;
    EXPECT_EQ((std::vector<std::wstring>{L"Fresh"}), Subkeys(classes, L"Alpha"));
    EXPECT_EQ(kMissing, ReadString(classes, L"Alpha", L"StaleValue"));
    EXPECT_EQ(L"new", ReadString(classes, L"Alpha"));
}

TEST_F(RegistrarTest, WithoutForceRemoveExistingContentStays) {
    CreateKey(classes, L"Alpha\\Stale");
    ASSERT_EQ(S_OK, Register(L"HKCR { Alpha = s 'new' { Fresh } }")) << error;
    EXPECT_EQ((std::vector<std::wstring>{L"Fresh", L"Stale"}), Subkeys(classes, L"Alpha"));
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

TEST_F(RegistrarTest, UnregisterRemovesWhatTheScriptWrote) {
    const std::wstring script = L"HKCR { Alpha = s 'a' { Beta = s 'b' { Gamma } val Named = s 'n' } }\n"
                                L"HKCR { Delta }";
    ASSERT_EQ(S_OK, Register(script)) << error;
    ASSERT_EQ(S_OK, Unregister(script)) << error;
    EXPECT_TRUE(NothingWritten());
}

TEST_F(RegistrarTest, UnregisterKeepsNoRemoveKeysAndWhatOthersAdded) {
    const std::wstring script = L"HKCR { NoRemove Shared = s 'mine' { Own { Leaf } val Setting = s 'x' }\n"
                                L"Mixed { Own } }";
    ASSERT_EQ(S_OK, Register(script)) << error;
    CreateKey(classes, L"Shared\\Foreign");
    CreateKey(classes, L"Mixed\\Foreign");
    ASSERT_EQ(S_OK, Unregister(script)) << error;

    EXPECT_EQ((std::vector<std::wstring>{L"Foreign"}), Subkeys(classes, L"Shared")) << "NoRemove key kept";
    EXPECT_EQ(kMissing, ReadString(classes, L"Shared", L"Setting")) << "its named value removed";
    EXPECT_EQ((std::vector<std::wstring>{L"Foreign"}), Subkeys(classes, L"Mixed"))
        << "a key someone else still uses stays, without the script's own subkeys";

    // A NoRemove key stays even when nothing is left in it.
    RegDeleteKeyW(classes, L"Shared\\Foreign");
    ASSERT_EQ(S_OK, Unregister(script)) << error;
    EXPECT_TRUE(KeyExists(classes, L"Shared"));
}

TEST_F(RegistrarTest, UnregisterRemovesAForceRemoveKeyWhole) {
    const std::wstring script = L"HKCR { NoRemove CLSID { ForceRemove {Class} = s 'c' { Inproc } } }";
    ASSERT_EQ(S_OK, Register(script)) << error;
    CreateKey(classes, L"CLSID\\{Class}\\Added\\Deeper");
    ASSERT_EQ(S_OK, Unregister(script)) << error;
    EXPECT_FALSE(KeyExists(classes, L"CLSID\\{Class}"));
    EXPECT_TRUE(KeyExists(classes, L"CLSID"));
}

TEST_F(RegistrarTest, UnregisteringWhatIsNotThereSucceeds) {
    EXPECT_EQ(S_OK, Unregister(L"HKCR { Alpha { val V = s 'x' Beta } ForceRemove Gamma NoRemove Delta { Eps } }"))
        << error;
    EXPECT_TRUE(NothingWritten());
}

TEST_F(RegistrarTest, AnEmptyScriptDoesNothing) {
    EXPECT_EQ(S_OK, Register(L""));
    EXPECT_EQ(S_OK, Register(L"  \r\n\t "));
    EXPECT_TRUE(NothingWritten());
}

// ---- Malformed scripts: a clear failure, nothing written. Each case has valid
// entries before its error, so a runner that wrote as it parsed would leave them.

struct MalformedCase {
    const char* name;
    const wchar_t* error;  // the malformed part, after valid entries
};

void PrintTo(const MalformedCase& item, std::ostream* out) { *out << item.name; }

const MalformedCase kMalformed[] = {
    {"MissingCloseBrace", L"HKCR { Open { Inner }"},
    {"ExtraCloseBrace", L"HKCR { A } }"},
    {"UnterminatedString", L"HKCR { A = s 'no end }"},
    {"QuotedRootKey", L"'HKCR' { A }"},
    {"RootWithoutBlock", L"HKCR A"},
    {"LongValueType", L"HKCR { A = sz 'text' }"},
    {"MissingValueType", L"HKCR { A = 'text' }"},
    {"MissingData", L"HKCR { A = s }"},
    {"ValWithoutValue", L"HKCR { A { val V } }"},
    {"ValWithBlock", L"HKCR { A { val V = s 'x' { B } } }"},
    {"TwoModifiers", L"HKCR { NoRemove ForceRemove A }"},
    {"EmptyKeyName", L"HKCR { '' = s 'x' }"},
    {"CompoundKeyName", L"HKCR { A\\B = s 'x' }"},
    {"MissingName", L"HKCR { = s 'x' }"},
    {"UnknownReplacement", L"HKCR { A = s '%UNKNOWN%' }"},
    {"LonePercentSign", L"HKCR { A = s '100% sure' }"},
    // What the platform registrar knows but the scripts do not use.
    {"OtherRootKey", L"HKLM { A }"},
    {"OtherValueType", L"HKCR { A = d 1 }"},
    {"DeleteKeyword", L"HKCR { Delete A }"},
};

class MalformedScriptTest : public RegistrarTest, public ::testing::WithParamInterface<MalformedCase> {};

TEST_P(MalformedScriptTest, FailsWithoutWriting) {
    const std::wstring script = std::wstring(L"HKCR { Written = s 'yes' { Child } }\nHKCR { Second }\n") +
                                GetParam().error;
    EXPECT_EQ(kScriptError, Register(script));
    EXPECT_NE(std::wstring::npos, error.find(L"line ")) << "the error names the line: " << error;
    EXPECT_TRUE(NothingWritten());
    EXPECT_EQ(kScriptError, Unregister(script));
}

INSTANTIATE_TEST_SUITE_P(Registrar, MalformedScriptTest, ::testing::ValuesIn(kMalformed),
                         [](const ::testing::TestParamInfo<MalformedCase>& info) { return info.param.name; });

TEST_F(RegistrarTest, ErrorsNameTheLineAndTheProblem) {
    EXPECT_EQ(kScriptError, Register(L"HKCR\n{\n  A = q 'x'\n}"));
    EXPECT_NE(std::wstring::npos, error.find(L"line 3")) << "got: " << error;
    EXPECT_NE(std::wstring::npos, error.find(L"'q'"));

    EXPECT_EQ(kScriptError, Register(L"HKCR\n{\n  A = s 'open\n\n"));
    EXPECT_NE(std::wstring::npos, error.find(L"line 3")) << "a string's error names the line it starts on";
    EXPECT_NE(std::wstring::npos, error.find(L"unterminated"));
}

}  // namespace
