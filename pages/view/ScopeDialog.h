#pragma once

#include "PageFrame.h"

namespace tavrel {

class CScopeDialog
    : public frame::CComObjectRootEx
    , public frame::CComCoClass<CScopeDialog, &CLSID_ScopeDialog>
    , public frame::IPropertyPageImpl<CScopeDialog>
    , public frame::CDialogImpl<CScopeDialog>
{
public:
    static constexpr UINT IDD = IDD_SCOPE;
    static constexpr UINT kTitleId = IDS_TITLE_SCOPE;
    static constexpr UINT kHelpFileId = IDS_HELPFILE_SCOPE;
    static constexpr UINT kDocStringId = IDS_DOCSTRING_SCOPE;
    static constexpr UINT kApplyButtonId = 0;
    static constexpr bool kApplyClearsDirty = true;

    void* FindInterface(REFIID riid);
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    const wchar_t* HelpTopic() const { return L"qz4_para_scope.html"; }

private:
    friend class frame::IPropertyPageImpl<CScopeDialog>;

    LRESULT OnInitDialog();
};

}  // namespace tavrel
