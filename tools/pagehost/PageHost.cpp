#include "PageHost.h"

#include "ComResource.h"
#include "DialogPicture.h"
#include "HostDescription.h"
#include "HostInterfaces.h"
#include "PageHostText.h"
#include "SimHost.h"
#include "SimText.h"
#include "TavrelClasses.h"
#include "UserScript.h"
#include "driver/DialogDriver.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <ocidl.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <cctype>
#include <exception>

using Microsoft::WRL::ComPtr;

namespace tavrel::pagehost {

namespace {

// ---- The page classes, as a type library names them

struct PageClass {
    std::wstring name;  // the coclass name; the C++ class adds a 'C'
    CLSID clsid;
};

// The coclasses of a type library, in its order.
HRESULT ReadPageClasses(ITypeLib* library, std::vector<PageClass>* pages) {
    for (UINT index = 0; index < library->GetTypeInfoCount(); ++index) {
        TYPEKIND kind = TKIND_MAX;
        if (FAILED(library->GetTypeInfoType(index, &kind)) || kind != TKIND_COCLASS) continue;
        UniqueBstr name;
        ComPtr<ITypeInfo> info;
        TYPEATTR* attributes = nullptr;
        HRESULT hr = library->GetDocumentation(static_cast<INT>(index), name.put(), nullptr, nullptr, nullptr);
        if (SUCCEEDED(hr)) hr = library->GetTypeInfo(index, info.GetAddressOf());
        if (SUCCEEDED(hr)) hr = info->GetTypeAttr(&attributes);
        if (FAILED(hr)) return hr;
        pages->push_back({BstrText(name.get()), attributes->guid});
        info->ReleaseTypeAttr(attributes);
    }
    return S_OK;
}

bool SameText(const std::wstring& a, const std::wstring& b) { return lstrcmpiW(a.c_str(), b.c_str()) == 0; }

std::wstring GuidText(REFGUID guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

// A ProgID's class id without registration, from the DLL's side-by-side manifest
// (resource 2), which names both ProgIDs of every class:
//   <comClass clsid="{...}" ... progid="Kestrom.Tavrel.ScopeDialog">
//     <progid>Kestrom.Tavrel.ScopeDialog.1</progid>
//   </comClass>
// ProgIDs are compared without regard to case, as the registry does.
HRESULT ClassFromManifest(HMODULE module, const std::wstring& progId, CLSID* clsid) {
    const HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    const HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!data) return HRESULT_FROM_WIN32(ERROR_RESOURCE_DATA_NOT_FOUND);
    std::string manifest(data, SizeofResource(module, resource));
    std::string name = Utf8(progId);
    for (std::string* text : {&manifest, &name}) {
        for (char& c : *text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    for (std::size_t start = manifest.find("<comclass "); start != std::string::npos;
         start = manifest.find("<comclass ", start + 1)) {
        const std::string entry = manifest.substr(start, manifest.find("</comclass>", start) - start);
        const std::size_t id = entry.find("clsid=\"");
        if (id != std::string::npos && (entry.find("progid=\"" + name + "\"") != std::string::npos ||
                                        entry.find("<progid>" + name + "</progid>") != std::string::npos)) {
            return CLSIDFromString(FromUtf8(entry.substr(id + 7, 38)).c_str(), clsid);
        }
    }
    return CO_E_CLASSSTRING;
}

// ---- Messages

class Reporter {
public:
    Reporter(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}
    void Line(const std::wstring& text) { m_out << Utf8(text) << "\n"; }
    void Flush() { m_out.flush(); }
    // An error: "pagehost: <text>" on the error stream.
    int Error(const std::wstring& text, int status = kExitBadInput) {
        m_out.flush();
        m_err << "pagehost: " << Utf8(text) << "\n";
        m_err.flush();
        return status;
    }
    void Warning(const std::wstring& text) { m_out << "warning: " << Utf8(text) << "\n"; }
    std::ostream& Out() { return m_out; }

private:
    std::ostream& m_out;
    std::ostream& m_err;
};

const char kUsage[] =
    "usage: pagehost [--dll <path> | --registered] [--form] [--screenshot <file.png>]\n"
    "                <page> <host description> [<user script>]\n"
    "       pagehost [--dll <path> | --registered] --list\n"
    "       pagehost --help\n"
    "Opens a page of Tavrel.dll against the simulated host the description builds. Without a\n"
    "script the dialog waits for a person; with one, the script's actions run in the dialog.\n"
    "Then prints what the host received, the page's log lines and the reference check.\n"
    "  <page>         class name (TsDistributionDlg, CTsDistributionDlg), ProgID or {class id}\n"
    "  --dll <path>   load this DLL without registration (default: Tavrel.dll beside pagehost.exe)\n"
    "  --registered   create the page through the registry (the DLL registered with regsvr32)\n"
    "  --form         use IFormControl (SetFormObjects, ShowForm) instead of SetObjects and Activate\n"
    "  --screenshot <file.png>  a picture of the dialog as the script leaves it (without a script:\n"
    "                 as it opens; pagehost then closes it with Cancel)\n"
    "Exit status: 0 done, 1 bad input or setup, 2 the run failed (script or dialog).\n";

// ---- Arguments

struct Options {
    std::wstring page;
    std::wstring hostFile;
    std::wstring scriptFile;
    std::wstring dllPath;
    std::wstring screenshotFile;
    bool registered = false;
    bool form = false;
    bool help = false;
    bool list = false;
};

bool ParseOptions(const std::vector<std::wstring>& arguments, Options* options, std::wstring* error) {
    std::vector<std::wstring> positional;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        if (argument == L"--dll") {
            if (i + 1 >= arguments.size()) {
                *error = L"--dll needs a path";
                return false;
            }
            options->dllPath = arguments[++i];
        } else if (argument == L"--registered") {
            options->registered = true;
        } else if (argument == L"--form") {
            options->form = true;
        } else if (argument == L"--screenshot") {
            if (i + 1 >= arguments.size()) {
                *error = L"--screenshot needs a file name";
                return false;
            }
            options->screenshotFile = arguments[++i];
        } else if (argument == L"--help" || argument == L"-h" || argument == L"/?") {
            options->help = true;
        } else if (argument == L"--list") {
            options->list = true;
        } else if (argument.size() > 1 && argument[0] == L'-') {
            *error = L"unknown option " + argument;
            return false;
        } else {
            positional.push_back(argument);
        }
    }
    if (options->registered && !options->dllPath.empty()) {
        *error = L"--dll and --registered exclude each other";
        return false;
    }
    if (options->help || options->list) return true;
    if (positional.size() < 2 || positional.size() > 3) {
        *error = positional.empty() ? L"no page named" : positional.size() == 1 ? L"no host description named"
                                                                                : L"too many arguments";
        return false;
    }
    options->page = positional[0];
    options->hostFile = positional[1];
    if (positional.size() == 3) options->scriptFile = positional[2];
    return true;
}

// ---- COM and the library

// A single-threaded apartment for the run (the pages register their controls' classes).
class Apartment {
public:
    Apartment() : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~Apartment() {
        if (SUCCEEDED(m_result)) CoUninitialize();
    }
    Apartment(const Apartment&) = delete;
    Apartment& operator=(const Apartment&) = delete;
    HRESULT Result() const { return m_result; }

private:
    HRESULT m_result;
};

using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNowFunction = HRESULT(STDAPICALLTYPE*)();

template <class Function>
Function EntryPoint(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

std::wstring ModulePath(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    return std::wstring(path, length);
}

std::wstring DefaultDllPath() {
    std::wstring path = ModulePath(nullptr);
    const std::size_t slash = path.find_last_of(L"\\/");
    return (slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1)) + L"Tavrel.dll";
}

// The DLL loaded by pagehost itself (--dll); freed when it can unload, or on the way
// out of an error before any object was made.
class Library {
public:
    Library() = default;
    ~Library() {
        if (m_module && m_freeOnExit) FreeLibrary(m_module);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    bool Load(const std::wstring& path, std::wstring* error) {
        m_module = LoadLibraryW(path.c_str());
        if (!m_module) {
            const DWORD code = GetLastError();
            *error = L"cannot load the DLL " + path + L": " + HresultText(HRESULT_FROM_WIN32(code));
            return false;
        }
        m_path = ModulePath(m_module);
        return true;
    }
    HMODULE Module() const { return m_module; }
    const std::wstring& Path() const { return m_path; }
    // From here on the module stays loaded unless it says it can unload.
    void KeepUntilUnloadable() { m_freeOnExit = false; }
    // Asks DllCanUnloadNow; frees the module when it answers S_OK.
    HRESULT Unload() {
        auto canUnloadNow = EntryPoint<CanUnloadNowFunction>(m_module, "DllCanUnloadNow");
        const HRESULT hr = canUnloadNow ? canUnloadNow() : E_NOTIMPL;
        if (hr == S_OK) {
            FreeLibrary(m_module);
            m_module = nullptr;
        }
        return hr;
    }

private:
    HMODULE m_module = nullptr;
    std::wstring m_path;
    bool m_freeOnExit = true;
};

// The DLL a registered class lives in: its InprocServer32 path.
std::wstring RegisteredServerPath(REFCLSID clsid) {
    const std::wstring key = L"CLSID\\" + GuidText(clsid) + L"\\InprocServer32";
    wchar_t path[MAX_PATH] = {};
    DWORD size = sizeof path;
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, path, &size) != ERROR_SUCCESS) {
        return {};
    }
    return path;
}

// ---- The page's objects

std::vector<IUnknown*> Identities(const HostDescription& description) {
    std::vector<IUnknown*> objects;
    for (hostsim::HostObject* object : description.pageObjects) {
        objects.push_back(object ? object->Identity() : nullptr);
    }
    return objects;
}

std::wstring ObjectNames(const HostDescription& description) {
    std::wstring names;
    for (hostsim::HostObject* object : description.pageObjects) {
        names += (names.empty() ? L"" : L", ") + (object ? object->Name() : std::wstring(L"null"));
    }
    return names.empty() ? L"nothing" : names;
}

// IFormControl::SetFormObjects takes the objects as an array of VARIANTs, and the array.
HRESULT SetFormObjects(IFormControl* form, const std::vector<IUnknown*>& objects) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(objects.size()));
    if (!array) return E_OUTOFMEMORY;
    for (LONG i = 0; i < static_cast<LONG>(objects.size()); ++i) {
        VARIANT element;
        VariantInit(&element);
        element.vt = VT_UNKNOWN;
        element.punkVal = objects[static_cast<std::size_t>(i)];
        SafeArrayPutElement(array, &i, &element);  // copies, with its own reference
    }
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_ARRAY | VT_VARIANT;
    value.parray = array;
    // The page takes an array it accepts; one it refuses is still ours to free.
    const HRESULT hr = form->SetFormObjects(value);
    if (hr == E_INVALIDARG) VariantClear(&value);
    return hr;
}

bool IsOpen(HWND dialog) { return IsWindow(dialog) && (GetWindowLongW(dialog, GWL_STYLE) & WS_VISIBLE) != 0; }

// Closes a dialog the script left open: Cancel as Escape sends it, then, if the page
// does not close, EndDialog.
void CancelDialog(HWND dialog) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
    if (IsOpen(dialog)) EndDialog(dialog, IDCANCEL);
}

int TotalWaitMs(const UserScript& script) {
    int total = 0;
    for (const ScriptAction& action : script.actions) {
        if (action.verb == Verb::Wait) total += action.number;
    }
    return total;
}

// ---- One run

class PageHostRun {
public:
    PageHostRun(const Options& options, Reporter& report) : m_options(options), m_report(report) {}
    int Run();

    // --list: the pages the type library names.
    int List();

private:
    // Loads the DLL (unless --registered) and reads the pages its type library names
    // (the registered one with --registered); a missing type library is noted in
    // m_pagesError, for the page names that need it.
    bool OpenLibrary(std::wstring* error);
    bool ChoosePage(std::wstring* error);
    bool GetClassObject(std::wstring* error);
    int Open();
    int OpenWithScript(IFormControl* form, const RECT& rect);
    // Writes the picture --screenshot asked for; status, or the failure's.
    int SavePicture(const DialogPicture& picture, int status);
    int Finish(int status);
    // "CTsDistributionDlg {9402C5E1-...}", or the class id alone for a class not known.
    std::wstring ClassLabel() const {
        return m_pageName == GuidText(m_clsid) ? m_pageName : m_pageName + L" " + GuidText(m_clsid);
    }

    const Options& m_options;
    Reporter& m_report;
    hostsim::Host m_host;
    HostDescription m_description;
    UserScript m_script;
    Library m_library;
    std::vector<PageClass> m_pages;
    std::wstring m_pagesError;
    CLSID m_clsid = CLSID_NULL;
    std::wstring m_pageName;
    std::wstring m_serverPath;  // the DLL the class object came from
    ComPtr<IClassFactory> m_factory;
    ComPtr<IPropertyPage> m_page;
};

const wchar_t kRegisterHint[] = L" (register Tavrel.dll with regsvr32, or leave out --registered)";

bool PageHostRun::OpenLibrary(std::wstring* error) {
    if (!m_options.registered &&
        !m_library.Load(m_options.dllPath.empty() ? DefaultDllPath() : m_options.dllPath, error)) {
        return false;
    }
    ComPtr<ITypeLib> library;
    HRESULT hr = m_options.registered ? LoadRegTypeLib(LIBID_TAVRELLib, 1, 0, LANG_NEUTRAL, library.GetAddressOf())
                                      : LoadTypeLibEx(m_library.Path().c_str(), REGKIND_NONE, library.GetAddressOf());
    if (SUCCEEDED(hr)) hr = ReadPageClasses(library.Get(), &m_pages);
    if (FAILED(hr)) {
        m_pagesError = m_options.registered
                           ? L"the pages' type library TAVRELLib is not registered: " + HresultText(hr) + kRegisterHint
                           : m_library.Path() + L" holds no type library naming its pages: " + HresultText(hr);
    }
    return true;
}

int PageHostRun::List() {
    std::wstring error;
    if (!OpenLibrary(&error)) return m_report.Error(error);
    if (!m_pagesError.empty()) return m_report.Error(m_pagesError);
    for (const PageClass& page : m_pages) {
        m_report.Line(page.name + L"  Kestrom.Tavrel." + page.name + L"  " + GuidText(page.clsid));
    }
    return kExitDone;
}

bool PageHostRun::ChoosePage(std::wstring* error) {
    const std::wstring& name = m_options.page;
    if (!name.empty() && name[0] == L'{') {
        if (FAILED(CLSIDFromString(name.c_str(), &m_clsid))) {
            *error = name + L" is not a class id ({xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx})";
            return false;
        }
    } else if (name.find(L'.') != std::wstring::npos) {
        // A ProgID: the registry's, or the DLL's own in its manifest.
        const HRESULT hr = m_options.registered ? CLSIDFromProgID(name.c_str(), &m_clsid)
                                                : ClassFromManifest(m_library.Module(), name, &m_clsid);
        if (FAILED(hr)) {
            *error = L"the ProgID " + name +
                     (m_options.registered ? L" is not registered: " + HresultText(hr) + kRegisterHint
                                           : L" is not in the manifest of " + m_library.Path() + L": " +
                                                 HresultText(hr));
            return false;
        }
    } else {
        if (!m_pagesError.empty()) {
            *error = m_pagesError;
            return false;
        }
        std::wstring names;
        for (const PageClass& page : m_pages) {
            if (SameText(name, page.name) || SameText(name, L"C" + page.name)) m_clsid = page.clsid;
            names += (names.empty() ? L"" : L", ") + page.name;
        }
        if (IsEqualCLSID(m_clsid, CLSID_NULL)) {
            *error = L"unknown page " + hostsim::Quote(name) + L"; the pages are " + names +
                     L" (also with a leading C, as ProgIDs, or as {class id})";
            return false;
        }
    }
    m_pageName = GuidText(m_clsid);
    for (const PageClass& page : m_pages) {
        if (IsEqualCLSID(page.clsid, m_clsid)) m_pageName = L"C" + page.name;
    }
    return true;
}

bool PageHostRun::GetClassObject(std::wstring* error) {
    if (m_options.registered) {
        const HRESULT hr = CoGetClassObject(m_clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                            reinterpret_cast<void**>(m_factory.GetAddressOf()));
        if (FAILED(hr)) {
            *error = L"no registered class object for " + ClassLabel() + L": " + HresultText(hr);
            return false;
        }
        m_serverPath = RegisteredServerPath(m_clsid);
        return true;
    }
    m_serverPath = m_library.Path();
    auto getClassObject = EntryPoint<GetClassObjectFunction>(m_library.Module(), "DllGetClassObject");
    if (!getClassObject) {
        *error = m_serverPath + L" has no DllGetClassObject entry point: it is not a COM server";
        return false;
    }
    const HRESULT hr = getClassObject(m_clsid, IID_IClassFactory, reinterpret_cast<void**>(m_factory.GetAddressOf()));
    if (FAILED(hr)) {
        *error = m_serverPath + L" does not offer the class " + ClassLabel() + L": DllGetClassObject returned " +
                 HresultText(hr);
        return false;
    }
    return true;
}

int PageHostRun::Run() {
    // The files the user wrote are checked before the DLL is touched; the page names
    // come from the DLL.
    std::wstring error;
    if (!LoadHostDescription(m_options.hostFile, m_host, &m_description, &error)) {
        return m_report.Error(error);
    }
    if (!m_options.scriptFile.empty() && !LoadUserScript(m_options.scriptFile, &m_script, &error)) {
        return m_report.Error(error);
    }
    if (!OpenLibrary(&error) || !ChoosePage(&error) || !GetClassObject(&error)) return m_report.Error(error);
    // From here on the page's objects may live in the module: keep it until it can unload.
    m_library.KeepUntilUnloadable();

    HRESULT hr = m_factory->CreateInstance(nullptr, IID_IPropertyPage, reinterpret_cast<void**>(m_page.GetAddressOf()));
    if (FAILED(hr)) {
        return Finish(m_report.Error(L"the class object could not create " + m_pageName + L": " + HresultText(hr)));
    }
    return Finish(Open());
}

int PageHostRun::Open() {
    m_report.Line(L"pagehost: " + ClassLabel());
    m_report.Line(L"  DLL:    " + (m_serverPath.empty() ? std::wstring(L"(registered)") : m_serverPath));
    m_report.Line(L"  host:   " + m_options.hostFile + L" (the page is given " + ObjectNames(m_description) + L")");

    // The journal shows the page by name where it passes itself (as a subscriber).
    ComPtr<IUnknown> identity;
    m_page.As(&identity);
    m_host.NameObject(identity.Get(), L"page");
    ComPtr<IParameterSubscriber2> subscriber;
    if (SUCCEEDED(m_page.As(&subscriber))) m_host.NameObject(subscriber.Get(), L"page");
    subscriber.Reset();

    std::vector<IUnknown*> objects = Identities(m_description);
    ComPtr<IFormControl> form;
    HRESULT hr = S_OK;
    if (m_options.form) {
        if (FAILED(m_page.As(&form))) return m_report.Error(m_pageName + L" does not offer IFormControl (--form)");
        hr = SetFormObjects(form.Get(), objects);
        if (FAILED(hr)) return m_report.Error(L"IFormControl::SetFormObjects returned " + HresultText(hr));
    } else {
        hr = m_page->SetObjects(static_cast<ULONG>(objects.size()), objects.empty() ? nullptr : objects.data());
        if (FAILED(hr)) return m_report.Error(L"IPropertyPage::SetObjects returned " + HresultText(hr));
    }

    const RECT rect{10, 20, 310, 220};
    if (!m_options.scriptFile.empty() || !m_options.screenshotFile.empty()) return OpenWithScript(form.Get(), rect);

    m_report.Line(L"The dialog is open: use it, then close it with OK or Cancel.");
    m_report.Flush();
    hr = form ? form->ShowForm(0, 0) : m_page->Activate(nullptr, &rect, TRUE);
    if (FAILED(hr)) m_report.Warning((form ? L"ShowForm returned " : L"Activate returned ") + HresultText(hr));
    return kExitDone;
}

int PageHostRun::OpenWithScript(IFormControl* form, const RECT& rect) {
    const bool scripted = !m_options.scriptFile.empty();
    if (scripted) m_report.Line(L"  script: " + m_options.scriptFile);
    DialogPicture picture;
    std::function<void(HWND)> takePicture;
    if (!m_options.screenshotFile.empty()) takePicture = [&picture](HWND dialog) { picture.Take(dialog); };
    FailureCollector driverFailures;
    ScriptOutcome outcome;
    bool cancelled = false;
    HRESULT hr = E_FAIL;
    driver::RunDialogOptions runOptions;
    runOptions.watchdogMs = 30000 + static_cast<DWORD>(TotalWaitMs(m_script));
    const bool ran = driver::RunDialog(
        [&] { hr = form ? form->ShowForm(0, 0) : m_page->Activate(nullptr, &rect, TRUE); },
        [&](HWND dialog) {
            wchar_t caption[256] = {};
            GetWindowTextW(dialog, caption, 256);
            m_report.Line(L"  dialog " + hostsim::Quote(caption) + L" is open");
            outcome = RunUserScript(dialog, m_script, m_report.Out(), takePicture);
            if (IsOpen(dialog)) {
                CancelDialog(dialog);
                // Without a script the picture is all there is to do: no fault.
                cancelled = scripted;
            }
        },
        runOptions);
    const std::wstring driverSaid = driverFailures.TakeText();

    int status = kExitDone;
    if (!ran) {
        status = m_report.Error(m_pageName + L" opened no dialog (" + (form ? L"ShowForm" : L"Activate") +
                                    L" returned " + HresultText(hr) + L")",
                                kExitScriptFailed);
    } else if (!outcome.completed) {
        status = m_report.Error(outcome.problem + (cancelled ? L"; pagehost cancelled the dialog" : L""),
                                kExitScriptFailed);
    } else if (cancelled) {
        status = m_report.Error(
            m_options.scriptFile + L": the script ended with the dialog open; pagehost cancelled it",
            kExitScriptFailed);
    }
    if (!driverSaid.empty()) status = m_report.Error(driverSaid, kExitScriptFailed);
    if (ran && FAILED(hr)) m_report.Warning((form ? L"ShowForm returned " : L"Activate returned ") + HresultText(hr));
    if (ran && takePicture) status = SavePicture(picture, status);
    return status;
}

int PageHostRun::SavePicture(const DialogPicture& picture, int status) {
    const std::wstring& file = m_options.screenshotFile;
    if (picture.Empty()) {
        return m_report.Error(file + L": no picture of the dialog: it needs a display (under Wine, an X server "
                                     L"such as Xvfb, not the null graphics driver)",
                              kExitScriptFailed);
    }
    const HRESULT hr = picture.SavePng(file);
    if (FAILED(hr)) return m_report.Error(file + L": the picture could not be written: " + HresultText(hr));
    m_report.Line(L"  picture: " + file + L" (" + std::to_wstring(picture.Width()) + L" x " +
                  std::to_wstring(picture.Height()) + L" pixels)");
    return status;
}

int PageHostRun::Finish(int status) {
    // What the host received, its log lines apart.
    std::vector<std::wstring> calls;
    std::vector<std::wstring> logged;
    for (const std::wstring& line : m_host.Lines()) {
        (line.find(L".IHostLogger::LogMessage(") != std::wstring::npos ? logged : calls).push_back(line);
    }
    const auto count = [](std::size_t n, const wchar_t* one, const wchar_t* many) {
        return std::to_wstring(n) + L" " + (n == 1 ? one : many);
    };
    if (calls.empty()) {
        m_report.Line(L"The host received no calls.");
    } else {
        m_report.Line(L"The host received " + count(calls.size(), L"call:", L"calls:"));
        for (const std::wstring& line : calls) m_report.Line(L"  " + line);
    }
    if (logged.empty()) {
        m_report.Line(L"The page logged nothing.");
    } else {
        m_report.Line(L"The page logged " + count(logged.size(), L"line:", L"lines:"));
        for (const std::wstring& line : logged) m_report.Line(L"  " + line);
    }

    // Release everything, then check that every reference came back.
    m_host.ReleaseSubscribers();
    m_page.Reset();
    m_factory.Reset();
    // A DLL loaded here is freed once it can unload; a registered one is only asked.
    HRESULT unload = E_NOTIMPL;  // no answer
    if (m_options.registered) {
        HMODULE module = m_serverPath.empty() ? nullptr : GetModuleHandleW(m_serverPath.c_str());
        auto canUnloadNow = EntryPoint<CanUnloadNowFunction>(module, "DllCanUnloadNow");
        if (canUnloadNow)
            unload = canUnloadNow();
    } else if (m_library.Module()) {
        unload = m_library.Unload();
    }
    std::wstring moduleState;
    if (unload == S_OK)
        moduleState = L"; the DLL can unload";
    else if (unload != E_NOTIMPL)
        m_report.Warning(L"the DLL cannot unload: a page or class object is still alive");
    const std::vector<std::wstring> outstanding = m_host.Outstanding();
    for (const std::wstring& line : outstanding) m_report.Warning(line);
    if (outstanding.empty()) m_report.Line(L"Every reference the page took came back" + moduleState + L".");
    m_report.Flush();
    return status;
}

}  // namespace

int RunPageHost(const std::vector<std::wstring>& arguments, std::ostream& out, std::ostream& err) {
    Reporter report(out, err);
    try {
        Options options;
        std::wstring error;
        if (!ParseOptions(arguments, &options, &error)) {
            report.Error(error);
            err << kUsage;
            return kExitBadInput;
        }
        if (options.help) {
            out << kUsage;
            return kExitDone;
        }
        Apartment apartment;
        if (FAILED(apartment.Result())) {
            return report.Error(L"cannot enter a single-threaded COM apartment: " + HresultText(apartment.Result()));
        }
        PageHostRun run(options, report);
        return options.list ? run.List() : run.Run();
    } catch (const std::exception& failure) {
        return report.Error(L"unexpected failure: " + FromUtf8(failure.what()));
    }
}

}  // namespace tavrel::pagehost
