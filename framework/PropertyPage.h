// IPropertyPage for pages that run as modal dialogs.
//
// Activate does not embed the page in the host's frame: it runs the page's template
// as a modal dialog owned by the thread's active window and returns when the user
// has closed it. The window therefore exists only during Activate, and Show, Move
// and Deactivate act on it only when they arrive from inside the modal loop.
//
// T (the page class) provides kInfo (PageInfo below); Page.h says what else a page
// supplies and what the frame does for it.
#pragma once

#include "ComResource.h"
#include "ModuleState.h"

#include <windows.h>
#include <ocidl.h>
#include <wrl/client.h>
#include <cstdint>
#include <string>
#include <vector>

namespace tavrel::frame {

enum class ApplyClearsDirty : bool { No, Yes };
inline constexpr UINT kNoApplyButton = 0;

// Everything fixed about a page class.
struct PageInfo {
    UINT templateId;
    UINT titleId;                       // the string table has the help file name and the
                                        // doc string right after the title
    const wchar_t* helpTopic;           // shown by the Help button through the host's viewer
    UINT applyButtonId;                 // kNoApplyButton when the template has none
    ApplyClearsDirty applyClearsDirty;  // whether IPropertyPage::Apply clears the dirty flag
};

// The objects a host hands a page, by their place in the list.
enum ObjectIndex : ULONG {
    kViewObject = 0,     // the host's view
    kChannelObject = 1,  // the view's processing channel or settings object
    kThirdObject = 2,    // the optional third object of the range pages
};

// Template size in pixels, converted from dialog units with the template's own font.
HRESULT GetDialogTemplateSize(HINSTANCE instance, UINT templateId, SIZE& size);
// A string table entry ("" when missing, reported through the flag).
bool LoadResourceString(HINSTANCE instance, UINT id, std::wstring& text);
// A task-allocator copy of a string table entry, or null when it cannot be loaded.
LPOLESTR LoadTaskString(HINSTANCE instance, UINT id);
// Whether array is a one-dimensional array of VARIANTs with its elements' memory: the
// array itself must say so, since the VARIANT that carries it may lie.
bool IsVariantVector(SAFEARRAY* array);

template <class T>
class IPropertyPageImpl : public IPropertyPage {
public:
    IPropertyPageImpl() = default;
    IPropertyPageImpl(const IPropertyPageImpl&) = delete;
    IPropertyPageImpl& operator=(const IPropertyPageImpl&) = delete;
    // Destruction releases the site and every object.
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
        return CatchToHresult([&] {
            SIZE size{};
            if (FAILED(GetDialogTemplateSize(ModuleInstance(), T::kInfo.templateId, size)))
                return E_UNEXPECTED;
            m_size = size;
            info->cb = sizeof(PROPPAGEINFO);
            info->pszTitle = LoadTaskString(ModuleInstance(), T::kInfo.titleId);
            info->size = m_size;
            info->pszHelpFile = LoadTaskString(ModuleInstance(), T::kInfo.titleId + 1);
            info->pszDocString = LoadTaskString(ModuleInstance(), T::kInfo.titleId + 2);
            info->dwHelpContext = m_helpContext;
            return S_OK;
        });
    }

    // The held objects are released first; each new one is held with a reference.
    STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override {
        if (!objects)
            return E_POINTER;
        m_objects.clear();
        m_objects.shrink_to_fit();
        // An array whose byte size does not fit 32 bits cannot be had.
        if (static_cast<std::uint64_t>(count) * sizeof(IUnknown*) > 0xFFFFFFFFull)
            return E_OUTOFMEMORY;
        return CatchToHresult([&] {
            m_objects.assign(objects, objects + count);
            return S_OK;
        });
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
        if (T::kInfo.applyClearsDirty == ApplyClearsDirty::Yes)
            m_dirty = false;
        return S_OK;
    }

    STDMETHODIMP Help(LPCOLESTR helpDirectory) override {
        return CatchToHresult([&] {
            std::wstring helpFile;
            if (!LoadResourceString(ModuleInstance(), T::kInfo.titleId + 1, helpFile))
                return E_OUTOFMEMORY;
            std::wstring path = helpDirectory ? helpDirectory : L"";
            path += L"\\";
            path += helpFile;
            ::WinHelpW(Page().m_hWnd, path.c_str(), HELP_CONTEXTPOPUP, 0);
            return S_OK;
        });
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
    // Control handlers that change what the page would write mark it dirty.
    void SetDirty(bool dirty = true) { m_dirty = dirty; }

private:
    T& Page() { return *static_cast<T*>(this); }

    Microsoft::WRL::ComPtr<IPropertyPageSite> m_pageSite;
    std::vector<Microsoft::WRL::ComPtr<IUnknown>> m_objects;
    SIZE m_size{0, 0};
    DWORD m_helpContext = 0;
    bool m_dirty = false;
};

}  // namespace tavrel::frame
