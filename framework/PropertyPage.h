// IPropertyPage for pages that run as modal dialogs.
//
// Activate does not embed the page in the host's frame: it runs the page's template
// as a modal dialog owned by the thread's active window and returns when the user
// has closed it. The window therefore exists only during Activate, and Show, Move
// and Deactivate act on it only when they arrive from inside the modal loop.
//
// T (the page class) provides:
//   static constexpr UINT IDD, kTitleId, kHelpFileId, kDocStringId;
//   static constexpr UINT kApplyButtonId;     0 when the template has no Apply button
//   static constexpr bool kApplyClearsDirty;  whether IPropertyPage::Apply clears the flag
//   const wchar_t* HelpTopic() const;
//   void WriteValues();                       the page's write on OK and Apply
#pragma once

#include "ComResource.h"
#include "DiagnosticsLog.h"
#include "HostInterfaces.h"
#include "HostLookup.h"
#include "ModuleState.h"

#include <windows.h>
#include <ocidl.h>
#include <wrl/client.h>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

namespace tavrel::frame {

// Template size in pixels, converted from dialog units with the template's own font.
HRESULT GetDialogTemplateSize(HINSTANCE instance, UINT templateId, SIZE& size);
// A string table entry ("" when missing, reported through the flag).
bool LoadResourceString(HINSTANCE instance, UINT id, std::wstring& text);
// A task-allocator copy of a string table entry, or null when it cannot be loaded.
LPOLESTR LoadTaskString(HINSTANCE instance, UINT id);

template <class T>
class IPropertyPageImpl : public IPropertyPage {
public:
    IPropertyPageImpl() = default;
    IPropertyPageImpl(const IPropertyPageImpl&) = delete;
    IPropertyPageImpl& operator=(const IPropertyPageImpl&) = delete;
    // Destruction releases the help viewer, the site and every object.
    virtual ~IPropertyPageImpl() = default;

// IPropertyPage
    STDMETHODIMP SetPageSite(IPropertyPageSite* site) override {
        if (site && m_pageSite)
            return E_UNEXPECTED;
        m_pageSite = site;
        return S_OK;
    }

    STDMETHODIMP Activate(HWND /*parent*/, LPCRECT rect, BOOL /*modal*/) override {
        if (!rect)
            return E_POINTER;
        Page().DoModal(::GetActiveWindow());
        // The window is gone by now: Move answers E_UNEXPECTED, which is expected.
        static_cast<IPropertyPage*>(this)->Move(rect);
        m_size.cx = rect->right - rect->left;
        m_size.cy = rect->bottom - rect->top;
        return S_OK;
    }

    STDMETHODIMP Deactivate() override {
        if (Page().m_hWnd && ::IsWindow(Page().m_hWnd))
            ::DestroyWindow(Page().m_hWnd);
        Page().m_hWnd = nullptr;
        return S_OK;
    }

    STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override {
        if (!info)
            return E_POINTER;
        try {
            SIZE size{};
            if (FAILED(GetDialogTemplateSize(ModuleInstance(), T::IDD, size)))
                return E_UNEXPECTED;
            m_size = size;
            info->cb = sizeof(PROPPAGEINFO);
            info->pszTitle = LoadTaskString(ModuleInstance(), T::kTitleId);
            info->size = m_size;
            info->pszHelpFile = LoadTaskString(ModuleInstance(), T::kHelpFileId);
            info->pszDocString = LoadTaskString(ModuleInstance(), T::kDocStringId);
            info->dwHelpContext = m_helpContext;
            return S_OK;
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }

    STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override {
        if (!objects)
            return E_POINTER;
        return ReplaceObjects(count, [objects](ULONG i) { return objects[i]; });
    }

    STDMETHODIMP Show(UINT showCommand) override {
        if (!Page().m_hWnd)
            return E_UNEXPECTED;
        ::ShowWindow(Page().m_hWnd, static_cast<int>(showCommand));
        return S_OK;
    }

    STDMETHODIMP Move(LPCRECT rect) override {
        if (!Page().m_hWnd)
            return E_UNEXPECTED;
        if (!rect)
            return E_POINTER;
        ::MoveWindow(Page().m_hWnd, rect->left, rect->top, rect->right - rect->left,
                     rect->bottom - rect->top, TRUE);
        return S_OK;
    }

    STDMETHODIMP IsPageDirty() override { return m_dirty ? S_OK : S_FALSE; }

    // Values reach the host through the dialog's own OK and Apply buttons only.
    STDMETHODIMP Apply() override {
        if (T::kApplyClearsDirty)
            m_dirty = false;
        return S_OK;
    }

    STDMETHODIMP Help(LPCOLESTR helpDirectory) override {
        std::wstring helpFile;
        try {
            if (!LoadResourceString(ModuleInstance(), T::kHelpFileId, helpFile))
                return E_OUTOFMEMORY;
            std::wstring path = helpDirectory ? helpDirectory : L"";
            path += L"\\";
            path += helpFile;
            ::WinHelpW(Page().m_hWnd, path.c_str(), HELP_CONTEXTPOPUP, 0);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        return S_OK;
    }

    STDMETHODIMP TranslateAccelerator(MSG* message) override {
        if (!message)
            return E_POINTER;
        bool keyboard = message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST;
        bool mouse = message->message >= WM_MOUSEFIRST && message->message <= WM_MOUSELAST;
        if (!keyboard && !mouse)
            return S_FALSE;
        return ::IsDialogMessageW(Page().m_hWnd, message) ? S_OK : S_FALSE;
    }

// Frame state for the page's own use
    IUnknown* Object(ULONG index) const { return index < m_objects.size() ? m_objects[index].Get() : nullptr; }

protected:
    // IFormControl::SetFormObjects: the objects arrive as one VARIANT holding a
    // one-dimensional array of VARIANTs, each with an object. Anything else is
    // refused (logged with invalidInputText when given) and the held objects stay.
    HRESULT SetObjectsFromForm(const VARIANT& objects, const wchar_t* invalidInputText) {
        if (objects.vt != (VT_ARRAY | VT_VARIANT) || !objects.parray ||
            SafeArrayGetDim(objects.parray) != 1) {
            if (invalidInputText)
                LogDebugMessage(L"%ls", invalidInputText);
            return E_INVALIDARG;
        }
        SAFEARRAY* array = objects.parray;
        LONG lower = 0, upper = -1;
        SafeArrayGetLBound(array, 1, &lower);
        SafeArrayGetUBound(array, 1, &upper);
        HRESULT hr = SafeArrayLock(array);
        if (FAILED(hr))
            return hr;
        const auto* elements = static_cast<const VARIANT*>(array->pvData);
        ULONG count = upper >= lower ? static_cast<ULONG>(upper - lower + 1) : 0;
        hr = ReplaceObjects(count, [elements](ULONG i) -> IUnknown* {
            const VARIANT& element = elements[i];
            if (element.vt == VT_UNKNOWN || element.vt == VT_DISPATCH)
                return element.punkVal;
            return nullptr;
        });
        // The array stays the caller's: it passed the VARIANT and frees it.
        SafeArrayUnlock(array);
        return hr;
    }

    // IFormControl::ShowForm: the modal run with a fixed rectangle of 100 by 100.
    HRESULT RunAsForm() {
        const RECT formRect{0, 200, 100, 300};
        static_cast<IPropertyPage*>(this)->Activate(nullptr, &formRect, TRUE);
        return S_OK;
    }

    // The buttons every page has, and the frame's answer to style changes. Pages
    // call this from their dispatch for whatever they do not handle themselves.
    BOOL ProcessCommonPageMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        switch (message) {
        case WM_COMMAND: {
            const WORD id = LOWORD(wParam);
            const WORD code = HIWORD(wParam);
            if (id == IDOK && code == BN_CLICKED) {
                Page().OnOK();
                return TRUE;
            }
            if (id == IDCANCEL && code == BN_CLICKED) {
                Page().OnCancel();
                return TRUE;
            }
            if (T::kApplyButtonId != 0 && id == T::kApplyButtonId && code == BN_CLICKED) {
                Page().OnApply();
                return TRUE;
            }
            if (id == kHelpButtonId) {
                Page().OnHelp();
                return TRUE;
            }
            return FALSE;
        }
        case WM_STYLECHANGING:
            if (wParam == static_cast<WPARAM>(GWL_EXSTYLE)) {
                // Keeps tabbing working when the host nests the page in its own frame.
                reinterpret_cast<STYLESTRUCT*>(lParam)->styleNew |= WS_EX_CONTROLPARENT;
                result = 0;
            } else {
                result = 1;
            }
            return TRUE;
        default:
            return FALSE;
        }
    }

    // Default button handlers; a page hides the ones it does differently.
    void OnOK() {
        Page().WriteValues();
        Page().EndDialog(IDOK);
    }
    void OnCancel() { Page().EndDialog(IDCANCEL); }
    void OnApply() { Page().WriteValues(); }
    void OnHelp() { ShowHelpTopic(Page().HelpTopic()); }
    void WriteValues() {}

    // Shows a topic through the host's help viewer; without a viewer nothing happens.
    void ShowHelpTopic(const wchar_t* topic) {
        if (!m_helpViewer || !topic)
            return;
        UniqueBstr topicFile = MakeBstr(topic);
        m_helpViewer->ShowTopic(0, topicFile.get());
    }

    // The help viewer found from the first object, kept until the page goes.
    void LocateHelpViewer() { LocateHostInterface(Object(0), m_helpViewer); }

    static constexpr WORD kHelpButtonId = 57670;
    Microsoft::WRL::ComPtr<IHelpViewer> m_helpViewer;

private:
    T& Page() { return *static_cast<T*>(this); }

    // Releases the held objects, then takes count new ones (each with a reference).
    template <class ObjectAt>
    HRESULT ReplaceObjects(ULONG count, ObjectAt objectAt) {
        m_objects.clear();
        m_objects.shrink_to_fit();
        // An array whose byte size does not fit 32 bits cannot be had.
        if (static_cast<std::uint64_t>(count) * sizeof(IUnknown*) > 0xFFFFFFFFull)
            return E_OUTOFMEMORY;
        try {
            m_objects.reserve(count);
        } catch (...) {
            return E_OUTOFMEMORY;
        }
        for (ULONG i = 0; i < count; ++i)
            m_objects.emplace_back(objectAt(i));
        return S_OK;
    }

    Microsoft::WRL::ComPtr<IPropertyPageSite> m_pageSite;
    std::vector<Microsoft::WRL::ComPtr<IUnknown>> m_objects;
    SIZE m_size{0, 0};
    DWORD m_helpContext = 0;
    bool m_dirty = false;
};

}  // namespace tavrel::frame
