// Fuzzed inputs, bounded and repeatable: fixed seeds and a fixed number of cases each.
// Texts typed into fields, registrar scripts someone edited by hand, whatever a host
// hands SetFormObjects, and host descriptions and user scripts for the page host.
#include "NumericControls.h"
#include "PageHost.h"
#include "PageTest.h"
#include "Registrar.h"
#include "resource.h"

#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace tavrel::test {
namespace {

const std::wstring kExamples = L"" TAVREL_EXAMPLES_DIR;

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// One random edit of text: a character dropped, doubled or replaced, or one of the
// characters that matter to the format put in.
std::wstring Mutate(std::wstring text, std::mt19937& random, const std::wstring& interesting) {
    const int edits = 1 + static_cast<int>(random() % 3);
    for (int i = 0; i < edits; ++i) {
        const std::size_t at = text.empty() ? 0 : random() % text.size();
        switch (random() % 4) {
        case 0:
            if (!text.empty())
                text.erase(at, 1);
            break;
        case 1:
            if (!text.empty())
                text.insert(at, 1, text[at]);
            break;
        case 2:
            if (!text.empty())
                text[at] = interesting[random() % interesting.size()];
            break;
        default:
            text.insert(at, 1, interesting[random() % interesting.size()]);
            break;
        }
    }
    return text;
}

TEST(Fuzz, EveryTextReadsAsAFiniteNumber) {
    std::mt19937 random(20261206);
    const std::wstring alphabet = L"0123456789+-.eEdDxXnNaAiIfFtT \t\n,;%$";
    for (int i = 0; i < 200000; ++i) {
        std::wstring text(random() % 20, L' ');
        for (wchar_t& c : text)
            c = random() % 16 ? alphabet[random() % alphabet.size()] : static_cast<wchar_t>(1 + random() % 0xFFFE);
        const double leading = ParseLeadingDouble(text.c_str());
        ASSERT_TRUE(std::isfinite(leading)) << Narrow(text);
        double strict = 12345;
        if (ParseStrictDouble(text.c_str(), strict)) {
            ASSERT_TRUE(std::isfinite(strict)) << Narrow(text);
            ASSERT_EQ(leading, strict) << "a text taken whole reads the same as its start: " << Narrow(text);
        } else {
            ASSERT_EQ(12345, strict) << "a refused text leaves the value: " << Narrow(text);
        }
    }
}

// A scratch key standing for HKEY_CLASSES_ROOT.
class ScratchRoot {
public:
    ScratchRoot() {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kPath);
        ::RegCreateKeyExW(HKEY_CURRENT_USER, kPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr);
    }
    ~ScratchRoot() {
        ::RegCloseKey(m_key);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kPath);
    }
    HKEY Key() const { return m_key; }
    bool Empty() const {
        DWORD subkeys = 1, values = 1;
        ::RegQueryInfoKeyW(m_key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                           nullptr, nullptr);
        return subkeys == 0 && values == 0;
    }
    void Clear() {
        ::RegDeleteTreeW(m_key, nullptr);
    }

private:
    static constexpr const wchar_t* kPath = L"Software\\TavrelFuzzScratch";
    HKEY m_key = nullptr;
};

TEST(Fuzz, AMutatedRegistrarScriptEitherRunsOrWritesNothing) {
    const UINT scripts[] = {IDR_RANGE_SURFACE, IDR_HORIZONTAL_DISTANCE, IDR_TS_DISTRIBUTION,
                            IDR_BOTTOM_DETECTOR, IDR_ECHO_TRACE,          IDR_COLOR_SCALE,
                            IDR_CONFIGURE_WINDOW, IDR_RANGE_SCROLL,       IDR_SCOPE};
    ScratchRoot root;
    std::mt19937 random(1171);
    int refused = 0, ran = 0;
    for (int i = 0; i < 3000; ++i) {
        std::wstring script;
        ASSERT_EQ(S_OK, registrar::LoadScriptResource(TavrelLibrary::Instance().Module(),
                                                      scripts[i % std::size(scripts)], script));
        const std::wstring mutated = Mutate(script, random, L"{}'= %\n\tsdbvalNoRemoveForceRemoveDelete");
        const HRESULT hr =
            registrar::RunScript(mutated, L"C:\\Program Files\\It's here\\Tavrel.dll", registrar::Action::Register,
                                 root.Key());
        if (hr == registrar::kScriptError) {
            ++refused;
            ASSERT_TRUE(root.Empty()) << "a script that does not parse wrote something:\n" << Narrow(mutated);
        } else {
            ++ran;
            registrar::RunScript(mutated, L"C:\\x.dll", registrar::Action::Unregister, root.Key());
            root.Clear();
        }
    }
    std::printf("registrar fuzz: 3000 mutated scripts, %d refused, %d ran\n", refused, ran);
}

// Whatever a host hands SetFormObjects: only a one-dimensional array of VARIANTs is
// taken; everything else is refused, stays the caller's and leaves the page as it was.
TEST(Fuzz, SetFormObjectsTakesOnlyAnArrayOfVariants) {
    hostsim::Host host;
    hostsim::HostObject& view = host.Create(L"view");
    {
        ComPtr<IPropertyPage> page = TavrelLibrary::Instance().CreatePage(CLSID_BottomDetectorDialog);
        ComPtr<IFormControl> form;
        ASSERT_EQ(S_OK, page.As(&form));
        ASSERT_EQ(S_OK, GiveObjects(page.Get(), {&view}));

        std::mt19937 random(57670);
        const VARTYPE types[] = {VT_EMPTY, VT_NULL, VT_I2,   VT_I4,  VT_R4,  VT_R8,   VT_CY,  VT_DATE, VT_BSTR,
                                 VT_DISPATCH, VT_ERROR, VT_BOOL, VT_VARIANT, VT_UNKNOWN, VT_DECIMAL, VT_I1,
                                 VT_UI1, VT_UI2, VT_UI4,  VT_I8,  VT_UI8, VT_INT,  VT_UINT};
        int cases = 0;
        for (VARTYPE type : types) {
            for (VARTYPE flags : {VARTYPE(0), VARTYPE(VT_ARRAY), VARTYPE(VT_BYREF), VARTYPE(VT_ARRAY | VT_BYREF)}) {
                if (flags == VT_ARRAY && type == VT_VARIANT)
                    continue;  // the one that is taken
                // Random bits in the value: the page must look at nothing but vt.
                VARIANT value;
                VariantInit(&value);
                value.vt = static_cast<VARTYPE>(type | flags);
                SAFEARRAY* array = nullptr;
                if (flags & VT_ARRAY) {
                    array = SafeArrayCreateVector(type == VT_EMPTY ? VARTYPE(VT_I4) : type, 0, 2);
                    value.parray = array;
                } else {
                    value.llVal = static_cast<LONGLONG>(random());
                }
                EXPECT_EQ(E_INVALIDARG, form->SetFormObjects(value)) << "vt " << value.vt;
                if (array)
                    SafeArrayDestroy(array);
                ++cases;
            }
        }
        // Arrays that claim VARIANTs but are not a vector of them.
        SAFEARRAYBOUND square[2] = {{2, 0}, {2, 0}};
        SAFEARRAY* malformed[] = {SafeArrayCreate(VT_VARIANT, 2, square), SafeArrayCreateVector(VT_I4, 0, 3),
                                  SafeArrayCreateVector(VT_BSTR, 0, 3), nullptr};
        SAFEARRAY* withoutData = nullptr;
        ASSERT_EQ(S_OK, SafeArrayAllocDescriptorEx(VT_VARIANT, 1, &withoutData));
        withoutData->rgsabound[0].cElements = 4;
        malformed[3] = withoutData;
        for (SAFEARRAY* array : malformed) {
            VARIANT value;
            VariantInit(&value);
            value.vt = VT_ARRAY | VT_VARIANT;
            value.parray = array;
            EXPECT_EQ(E_INVALIDARG, form->SetFormObjects(value));
            ++cases;
        }
        SafeArrayDestroyDescriptor(withoutData);
        for (SAFEARRAY* array : {malformed[0], malformed[1], malformed[2]})
            SafeArrayDestroy(array);
        EXPECT_EQ(1u, view.OutstandingReferences()) << "every refusal keeps the objects held before";
        std::printf("SetFormObjects fuzz: %d values refused\n", cases);
    }
    EXPECT_TRUE(host.AllReferencesReturned()) << host.OutstandingText();
    EXPECT_EQ(S_OK, TavrelLibrary::Instance().CanUnloadNow());
}

// Host descriptions and user scripts with random edits: pagehost either runs them or
// names the file and line of the first bad one, with exit status 1; never a crash.
TEST(Fuzz, AMutatedHostDescriptionOrScriptGetsAClearMessage) {
    struct Example {
        const wchar_t* page;
        const wchar_t* host;
        const wchar_t* script;
    };
    const Example examples[] = {
        {L"RangeSurfaceDialog", L"range-surface.host", L"range-surface-deeper.script"},
        {L"ConfigureWindowDlg", L"configure-window.host", L"configure-window-hide-scope.script"},
        {L"ColorScaleDialog", L"color-scale.host", L"color-scale-apply-all.script"},
        {L"HorizontalDistanceDialog", L"horizontal-axis.host", L"horizontal-axis-hours.script"},
    };
    const auto read = [](const std::wstring& path) {
        std::wstring text;
        FILE* file = _wfopen(path.c_str(), L"rb");
        for (int c; file && (c = std::fgetc(file)) != EOF;)
            text.push_back(static_cast<wchar_t>(c));
        if (file)
            std::fclose(file);
        return text;
    };
    const auto write = [](const std::wstring& path, const std::wstring& text) {
        FILE* file = _wfopen(path.c_str(), L"wb");
        for (wchar_t c : text)
            std::fputc(static_cast<int>(c & 0x7F), file);
        std::fclose(file);
    };
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring hostFile = std::wstring(temp) + L"fuzz.host";
    const std::wstring scriptFile = std::wstring(temp) + L"fuzz.script";
    std::mt19937 random(219);
    int ranCleanly = 0, refused = 0, failedInTheDialog = 0;
    for (int i = 0; i < 120; ++i) {
        const Example& example = examples[i % std::size(examples)];
        std::wstring hostText = read(kExamples + L"/" + example.host);
        std::wstring scriptText = read(kExamples + L"/" + example.script);
        // Half the cases break the description, half the script.
        if (i % 2)
            hostText = Mutate(hostText, random, L" \"#\n\\objectvaluefaultI4R8BSTRUNKNOWNnull-0123456789");
        else
            scriptText = Mutate(scriptText, random, L" \"#\nclicktypedragstepexpectchecked-0123456789");
        write(hostFile, hostText);
        write(scriptFile, scriptText);
        std::ostringstream out, err;
        const int status = pagehost::RunPageHost({example.page, hostFile, scriptFile}, out, err);
        const std::string message = err.str();
        ASSERT_TRUE(status == 0 || status == 1 || status == 2) << status;
        if (status == 1) {
            ++refused;
            const std::string file = i % 2 ? "fuzz.host:" : "fuzz.script:";
            EXPECT_NE(std::string::npos, message.find(file)) << "no file and line:\n" << message;
        } else if (status == 2) {
            ++failedInTheDialog;
        } else {
            ++ranCleanly;
        }
    }
    ::DeleteFileW(hostFile.c_str());
    ::DeleteFileW(scriptFile.c_str());
    std::printf("pagehost fuzz: 120 mutated files, %d refused with file and line, %d stopped in the dialog, %d ran\n",
                refused, failedInTheDialog, ranCleanly);
    EXPECT_EQ(S_OK, TavrelLibrary::Instance().CanUnloadNow());
}

}  // namespace
}  // namespace tavrel::test
