#pragma once

#include "PageFrame.h"

namespace tavrel {

class CConfigureWindowDlg
    : public frame::CComObjectRootEx
    , public frame::CComCoClass<CConfigureWindowDlg, &CLSID_ConfigureWindowDlg>
    , public frame::IPropertyPageImpl<CConfigureWindowDlg>
    , public frame::CDialogImpl<CConfigureWindowDlg>
{
public:
    static constexpr UINT IDD = IDD_CONFIGURE_WINDOW;
    static constexpr UINT kTitleId = IDS_TITLE_CONFIGURE_WINDOW;
    static constexpr UINT kHelpFileId = IDS_HELPFILE_CONFIGURE_WINDOW;
    static constexpr UINT kDocStringId = IDS_DOCSTRING_CONFIGURE_WINDOW;
    static constexpr UINT kApplyButtonId = IDC_APPLY_SMALL;
    static constexpr bool kApplyClearsDirty = false;

    void* FindInterface(REFIID riid);
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    const wchar_t* HelpTopic() const { return L"qz4_para_configure_window.html"; }

private:
    friend class frame::IPropertyPageImpl<CConfigureWindowDlg>;

    LRESULT OnInitDialog();
};

}  // namespace tavrel
