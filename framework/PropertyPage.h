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

// IPropertyPage for every page, written once: what differs between pages is their
// PageInfo and their dialog, which IPropertyPageImpl<T> below supplies.
class CPropertyPageBase : public IPropertyPage {
public:
    CPropertyPageBase(const CPropertyPageBase&) = delete;
    CPropertyPageBase& operator=(const CPropertyPageBase&) = delete;
    // Destruction releases the site and every object.
    virtual ~CPropertyPageBase();

// IPropertyPage
    STDMETHODIMP SetPageSite(IPropertyPageSite* site) override;
    STDMETHODIMP Activate(HWND parent, LPCRECT rect, BOOL modal) override;
    STDMETHODIMP Deactivate() override;
    STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override;
    // The held objects are released first; each new one is held with a reference.
    STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override;
    STDMETHODIMP Show(UINT showCommand) override;
    STDMETHODIMP Move(LPCRECT rect) override;
    STDMETHODIMP IsPageDirty() override;
    // Values reach the host through the dialog's own OK and Apply buttons only.
    STDMETHODIMP Apply() override;
    STDMETHODIMP Help(LPCOLESTR helpDirectory) override;
    STDMETHODIMP TranslateAccelerator(MSG* message) override;

// Frame state for the page's own use
    IUnknown* Object(ULONG index) const { return index < m_objects.size() ? m_objects[index].Get() : nullptr; }

protected:
    explicit CPropertyPageBase(const PageInfo& info) : m_info(info) {}

    // Control handlers that change what the page would write mark it dirty.
    void SetDirty(bool dirty = true) { m_dirty = dirty; }

private:
    // The page's dialog: run modally (Activate), and its window while it is open.
    virtual void RunDialog(HWND owner) = 0;
    virtual HWND& DialogWindow() = 0;

    const PageInfo& m_info;
    Microsoft::WRL::ComPtr<IPropertyPageSite> m_pageSite;
    std::vector<Microsoft::WRL::ComPtr<IUnknown>> m_objects;
    SIZE m_size{0, 0};
    DWORD m_helpContext = 0;
    bool m_dirty = false;
};

template <class T>
class IPropertyPageImpl : public CPropertyPageBase {
public:
    IPropertyPageImpl() : CPropertyPageBase(T::kInfo) {}

private:
    void RunDialog(HWND owner) override { static_cast<T*>(this)->DoModal(owner); }
    HWND& DialogWindow() override { return static_cast<T*>(this)->m_hWnd; }
};

}  // namespace tavrel::frame
