#pragma once

#include "PageFrame.h"

namespace tavrel {

class CRangeScrollDlg
    : public frame::CComObjectRootEx
    , public frame::CComCoClass<CRangeScrollDlg, &CLSID_RangeScrollDlg>
    , public frame::IPropertyPageImpl<CRangeScrollDlg>
    , public frame::CDialogImpl<CRangeScrollDlg>
{
public:
    static constexpr UINT IDD = IDD_RANGE_SCROLL;
    static constexpr UINT kTitleId = IDS_TITLE_RANGE_SCROLL;
    static constexpr UINT kHelpFileId = IDS_HELPFILE_RANGE_SCROLL;
    static constexpr UINT kDocStringId = IDS_DOCSTRING_RANGE_SCROLL;
    static constexpr UINT kApplyButtonId = IDC_APPLY;
    static constexpr bool kApplyClearsDirty = false;

    void* FindInterface(REFIID riid);
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    const wchar_t* HelpTopic() const { return L"xxx_range_and_scroll.html"; }

private:
    friend class frame::IPropertyPageImpl<CRangeScrollDlg>;

    LRESULT OnInitDialog();
};

}  // namespace tavrel
