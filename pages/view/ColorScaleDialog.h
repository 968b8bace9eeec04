#pragma once

#include "PageFrame.h"

namespace tavrel {

class CColorScaleDialog
    : public frame::CComObjectRootEx
    , public frame::CComCoClass<CColorScaleDialog, &CLSID_ColorScaleDialog>
    , public frame::IPropertyPageImpl<CColorScaleDialog>
    , public frame::CWinDataExchange<CColorScaleDialog>
    , public frame::CDialogImpl<CColorScaleDialog>
{
public:
    static constexpr UINT IDD = IDD_COLOR_SCALE;
    static constexpr UINT kTitleId = IDS_TITLE_COLOR_SCALE;
    static constexpr UINT kHelpFileId = IDS_HELPFILE_COLOR_SCALE;
    static constexpr UINT kDocStringId = IDS_DOCSTRING_COLOR_SCALE;
    static constexpr UINT kApplyButtonId = IDC_APPLY_SMALL;
    static constexpr bool kApplyClearsDirty = false;

    void* FindInterface(REFIID riid);
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    const wchar_t* HelpTopic() const { return L"qz4_para_colour_scale.html"; }

private:
    friend class frame::IPropertyPageImpl<CColorScaleDialog>;

    LRESULT OnInitDialog();
};

}  // namespace tavrel
