// The registrar script runner on its own: every construct of the script format,
// registered into and unregistered from a scratch key under HKCU (the script's root
// keys are redirected there), and malformed scripts that must fail without writing.
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

bool ReadDword(HKEY root, const std::wstring& path, const wchar_t* name, DWORD& value) {
    DWORD size = sizeof value;
    return RegGetValueW(root, path.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size) == ERROR_SUCCESS;
}

bool ReadBinary(HKEY root, const std::wstring& path, const wchar_t* name, std::vector<BYTE>& bytes) {
    BYTE buffer[256];
    DWORD size = sizeof buffer;
    if (RegGetValueW(root, path.c_str(), name, RRF_RT_REG_BINARY, nullptr, buffer, &size) != ERROR_SUCCESS)
        return false;
    bytes.assign(buffer, buffer + size);
    return true;
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

// The scripts' HKCR, HKCU and HKLM lead to subkeys of a scratch key, made afresh for
// each test and deleted after it.
class RegistrarTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kScratchPath);
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kScratchPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                 KEY_ALL_ACCESS, nullptr, &m_scratch, nullptr));
        classes = OpenRoot(L"HKCR");
        user = OpenRoot(L"HKCU");
        machine = OpenRoot(L"HKLM");
        roots.Redirect(RootKey::ClassesRoot, classes);
        roots.Redirect(RootKey::CurrentUser, user);
        roots.Redirect(RootKey::LocalMachine, machine);
    }

    void TearDown() override {
        for (HKEY key : {classes, user, machine, m_scratch}) {
            if (key)
                RegCloseKey(key);
        }
        EXPECT_EQ(ERROR_SUCCESS, RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TavrelTests"));
    }

    HRESULT Register(const std::wstring& script) { return RunScript(script, replacements, Action::Register, roots, &error); }
    HRESULT Unregister(const std::wstring& script) {
        return RunScript(script, replacements, Action::Unregister, roots, &error);
    }

    // Nothing under any redirected root.
    bool NothingWritten() const {
        for (HKEY key : {classes, user, machine}) {
            if (!Subkeys(key, L"").empty() || ValueCount(key, L"") != 0)
                return false;
        }
        return true;
    }

    HKEY classes = nullptr;
    HKEY user = nullptr;
    HKEY machine = nullptr;
    RegistryRoots roots;
    Replacements replacements;
    std::wstring error;

private:
    HKEY OpenRoot(const wchar_t* name) {
        HKEY key = nullptr;
        RegCreateKeyExW(m_scratch, name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        return key;
    }

    HKEY m_scratch = nullptr;
};

// ---- Registering: keys, values, keywords, strings

TEST_F(RegistrarTest, KeysGetTheirDefaultValuesAndNestedKeys) {
    ASSERT_EQ(S_OK, Register(L"HKCR\n{\n  Alpha = s 'first'\n  {\n    Beta = s 'second'\n    Gamma\n  }\n}\n"));
    EXPECT_EQ(L"first", ReadString(classes, L"Alpha"));
    EXPECT_EQ(L"second", ReadString(classes, L"Alpha\\Beta"));
    EXPECT_TRUE(KeyExists(classes, L"Alpha\\Gamma"));
    EXPECT_EQ(kMissing, ReadString(classes, L"Alpha\\Gamma")) << "a key without '=' gets no default value";
}

TEST_F(RegistrarTest, NamedValuesOfEveryType) {
    ASSERT_EQ(S_OK, Register(L"HKCR { Alpha {\n"
                             L"  val Text = s 'some text'\n"
                             L"  val Decimal = d 4294967295\n"
                             L"  val Hex = d '0x1F'\n"
                             L"  val Bytes = b '00FF10a5'\n"
                             L"  val NoBytes = b ''\n"
                             L"} }"))
        << error;
    EXPECT_EQ(L"some text", ReadString(classes, L"Alpha", L"Text"));
    DWORD number = 0;
    ASSERT_TRUE(ReadDword(classes, L"Alpha", L"Decimal", number));
    EXPECT_EQ(0xFFFFFFFFu, number);
    ASSERT_TRUE(ReadDword(classes, L"Alpha", L"Hex", number));
    EXPECT_EQ(31u, number);
    std::vector<BYTE> bytes;
    ASSERT_TRUE(ReadBinary(classes, L"Alpha", L"Bytes", bytes));
    EXPECT_EQ((std::vector<BYTE>{0x00, 0xFF, 0x10, 0xA5}), bytes);
    ASSERT_TRUE(ReadBinary(classes, L"Alpha", L"NoBytes", bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(kMissing, ReadString(classes, L"Alpha")) << "val leaves the default value alone";
}

TEST_F(RegistrarTest, KeywordsRootNamesAndTypesIgnoreCase) {
    ASSERT_EQ(S_OK, Register(L"hkey_classes_root { noremove Alpha { VAL Name = S 'x' } FORCEremove Beta = s 'b' }\n"
                             L"HkCu { delete Gone }\n"
                             L"HKEY_LOCAL_MACHINE { Gamma = D 7 }"))
        << error;
    EXPECT_EQ(L"x", ReadString(classes, L"Alpha", L"Name"));
    EXPECT_EQ(L"b", ReadString(classes, L"Beta"));
    DWORD number = 0;
    EXPECT_TRUE(ReadDword(machine, L"Gamma", nullptr, number));
    EXPECT_EQ(7u, number);
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

TEST_F(RegistrarTest, ReplacementsAndPercentSigns) {
    const std::wstring path = L"C:\\Kestrom's pages\\100% sure\\Tavrel.dll";
    replacements.Add(L"MODULE", EscapeQuotes(path));
    ASSERT_EQ(S_OK, Register(L"HKCR { Server = s '%MODULE%' { Same = s '%module%' }\n"
                             L"Share = s '50%% done' }"))
        << error;
    EXPECT_EQ(path, ReadString(classes, L"Server")) << "the quote doubled for the script comes back single";
    EXPECT_EQ(path, ReadString(classes, L"Server\\Same")) << "replacement names ignore case";
    EXPECT_EQ(L"50% done", ReadString(classes, L"Share"));
}

TEST_F(RegistrarTest, EscapeQuotesDoublesEachQuote) {
    EXPECT_EQ(L"a''b''''c", EscapeQuotes(L"a'b''c"));
    EXPECT_EQ(L"plain", EscapeQuotes(L"plain"));
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

TEST_F(RegistrarTest, DeleteRemovesAKeyTreeWhenRegistering) {
    CreateKey(classes, L"Old\\Sub");
    CreateKey(classes, L"Kept");
    ASSERT_EQ(S_OK, Register(L"HKCR { Delete Old Delete NeverThere }")) << error;
    EXPECT_FALSE(KeyExists(classes, L"Old"));
    EXPECT_TRUE(KeyExists(classes, L"Kept"));

    CreateKey(classes, L"Old");
    ASSERT_EQ(S_OK, Unregister(L"HKCR { Delete Old }")) << error;
    EXPECT_TRUE(KeyExists(classes, L"Old")) << "Delete acts only when registering";
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
    const std::wstring script = L"HKCR { Alpha = s 'a' { Beta = s 'b' { Gamma } val Named = d 1 } }\n"
                                L"HKLM { Delta }";
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

// ---- The parsed tree

TEST_F(RegistrarTest, ParseBuildsTheWholeTreeInOrder) {
    Script script;
    ASSERT_EQ(S_OK, ParseScript(L"HKCU { NoRemove A = s 'x' { val V = d 0x10 Delete D } ForceRemove B } HKLM { }",
                                script, &error))
        << error;
    ASSERT_EQ(2u, script.roots.size());
    EXPECT_EQ(RootKey::CurrentUser, script.roots[0].root);
    EXPECT_EQ(RootKey::LocalMachine, script.roots[1].root);
    EXPECT_TRUE(script.roots[1].entries.empty());

    const auto& entries = script.roots[0].entries;
    ASSERT_EQ(2u, entries.size());
    const ScriptEntry& a = entries[0];
    EXPECT_EQ(L"A", a.name);
    EXPECT_TRUE(a.noRemove);
    EXPECT_FALSE(a.forceRemove);
    EXPECT_TRUE(a.hasValue);
    EXPECT_EQ(L"x", a.value.text);
    ASSERT_EQ(2u, a.children.size());
    EXPECT_EQ(ScriptEntry::Kind::NamedValue, a.children[0].kind);
    EXPECT_EQ(ScriptValue::Type::Dword, a.children[0].value.type);
    EXPECT_EQ(16u, a.children[0].value.number);
    EXPECT_EQ(ScriptEntry::Kind::DeleteKey, a.children[1].kind);
    EXPECT_EQ(L"D", a.children[1].name);
    EXPECT_TRUE(entries[1].forceRemove);
    EXPECT_FALSE(entries[1].hasValue);
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
    {"UnknownRootKey", L"HKEY_NOWHERE { A }"},
    {"QuotedRootKey", L"'HKCR' { A }"},
    {"RootWithoutBlock", L"HKCR A"},
    {"UnknownValueType", L"HKCR { A = x 'text' }"},
    {"LongValueType", L"HKCR { A = sz 'text' }"},
    {"MissingValueType", L"HKCR { A = 'text' }"},
    {"MissingData", L"HKCR { A = s }"},
    {"DwordNotANumber", L"HKCR { A = d 'ten' }"},
    {"DwordTooLarge", L"HKCR { A = d 4294967296 }"},
    {"BinaryOddDigits", L"HKCR { A = b 'ABC' }"},
    {"BinaryNotHex", L"HKCR { A = b 'GG' }"},
    {"ValWithoutValue", L"HKCR { A { val V } }"},
    {"ValWithBlock", L"HKCR { A { val V = s 'x' { B } } }"},
    {"DeleteWithValue", L"HKCR { Delete A = s 'x' }"},
    {"DeleteWithBlock", L"HKCR { Delete A { B } }"},
    {"TwoModifiers", L"HKCR { NoRemove ForceRemove A }"},
    {"EmptyKeyName", L"HKCR { '' = s 'x' }"},
    {"CompoundKeyName", L"HKCR { A\\B = s 'x' }"},
    {"MissingName", L"HKCR { = s 'x' }"},
    {"UnknownReplacement", L"HKCR { A = s '%UNKNOWN%' }"},
    {"LonePercentSign", L"HKCR { A = s '100% sure' }"},
};

class MalformedScriptTest : public RegistrarTest, public ::testing::WithParamInterface<MalformedCase> {};

TEST_P(MalformedScriptTest, FailsWithoutWriting) {
    replacements.Add(L"MODULE", L"C:\\x.dll");
    const std::wstring script = std::wstring(L"HKCR { Written = s 'yes' { Child } }\nHKCU { Written }\n") +
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
