// CPropertyPageBase: IPropertyPage for every page. Apart from PropertyPage.cpp, whose
// helpers programs without the module's state (ModuleState.h) use as well.
#include "PropertyPage.h"

namespace tavrel::frame {

CPropertyPageBase::~CPropertyPageBase() = default;

STDMETHODIMP CPropertyPageBase::SetPageSite(IPropertyPageSite* site) {
    if (site && m_pageSite)
        return E_UNEXPECTED;
    m_pageSite = site;
    return S_OK;
}

STDMETHODIMP CPropertyPageBase::Activate(HWND /*parent*/, LPCRECT rect, BOOL /*modal*/) {
    if (!rect)
        return E_POINTER;
    RunDialog(::GetActiveWindow());
    // The window is gone by now: Move answers E_UNEXPECTED, which is expected.
    Move(rect);
    m_size.cx = rect->right - rect->left;
    m_size.cy = rect->bottom - rect->top;
    return S_OK;
}

STDMETHODIMP CPropertyPageBase::Deactivate() {
    HWND& window = DialogWindow();
    if (window && ::IsWindow(window))
        ::DestroyWindow(window);
    window = nullptr;
    return S_OK;
}

STDMETHODIMP CPropertyPageBase::GetPageInfo(PROPPAGEINFO* info) {
    if (!info)
        return E_POINTER;
    return CatchToHresult([&] {
        SIZE size{};
        if (FAILED(GetDialogTemplateSize(ModuleInstance(), m_info.templateId, size)))
            return E_UNEXPECTED;
        m_size = size;
        info->cb = sizeof(PROPPAGEINFO);
        info->pszTitle = LoadTaskString(ModuleInstance(), m_info.titleId);
        info->size = m_size;
        info->pszHelpFile = LoadTaskString(ModuleInstance(), m_info.titleId + 1);
        info->pszDocString = LoadTaskString(ModuleInstance(), m_info.titleId + 2);
        info->dwHelpContext = m_helpContext;
        return S_OK;
    });
}

STDMETHODIMP CPropertyPageBase::SetObjects(ULONG count, IUnknown** objects) {
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

STDMETHODIMP CPropertyPageBase::Show(UINT showCommand) {
    HWND window = DialogWindow();
    if (!window)
        return E_UNEXPECTED;
    ::ShowWindow(window, static_cast<int>(showCommand));
    return S_OK;
}

STDMETHODIMP CPropertyPageBase::Move(LPCRECT rect) {
    HWND window = DialogWindow();
    if (!window)
        return E_UNEXPECTED;
    if (!rect)
        return E_POINTER;
    ::MoveWindow(window, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
    return S_OK;
}

STDMETHODIMP CPropertyPageBase::IsPageDirty() { return m_dirty ? S_OK : S_FALSE; }

STDMETHODIMP CPropertyPageBase::Apply() {
    if (m_info.applyClearsDirty == ApplyClearsDirty::Yes)
        m_dirty = false;
    return S_OK;
}

STDMETHODIMP CPropertyPageBase::Help(LPCOLESTR helpDirectory) {
    return CatchToHresult([&] {
        std::wstring helpFile;
        if (!LoadResourceString(ModuleInstance(), m_info.titleId + 1, helpFile))
            return E_OUTOFMEMORY;
        std::wstring path = helpDirectory ? helpDirectory : L"";
        path += L"\\";
        path += helpFile;
        ::WinHelpW(DialogWindow(), path.c_str(), HELP_CONTEXTPOPUP, 0);
        return S_OK;
    });
}

STDMETHODIMP CPropertyPageBase::TranslateAccelerator(MSG* message) {
    if (!message)
        return E_POINTER;
    bool keyboard = message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST;
    bool mouse = message->message >= WM_MOUSEFIRST && message->message <= WM_MOUSELAST;
    if (!keyboard && !mouse)
        return S_FALSE;
    return ::IsDialogMessageW(DialogWindow(), message) ? S_OK : S_FALSE;
}

}  // namespace tavrel::frame
