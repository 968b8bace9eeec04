#pragma once

#include "PageFrame.h"

namespace tavrel {

class CHorizontalDistanceDialog
    : public frame::CComObjectRootEx
    , public frame::CComCoClass<CHorizontalDistanceDialog, &CLSID_HorizontalDistanceDialog>
    , public frame::IPropertyPageImpl<CHorizontalDistanceDialog>
    , public IFormControl
    , public frame::CDialogImpl<CHorizontalDistanceDialog>
{
public:
    static constexpr UINT IDD = IDD_HORIZONTAL_DISTANCE;
    static constexpr UINT kTitleId = IDS_TITLE_HORIZONTAL_DISTANCE;
    static constexpr UINT kHelpFileId = IDS_HELPFILE_HORIZONTAL_DISTANCE;
    static constexpr UINT kDocStringId = IDS_DOCSTRING_HORIZONTAL_DISTANCE;
    static constexpr UINT kApplyButtonId = IDC_APPLY;
    static constexpr bool kApplyClearsDirty = false;

    void* FindInterface(REFIID riid);
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    const wchar_t* HelpTopic() const { return L"qz4_para_horizontal_axis.html"; }

// IFormControl
    STDMETHODIMP SetFormObjects(VARIANT objects) override;
    STDMETHODIMP ShowForm(long reserved1, long reserved2) override;

private:
    friend class frame::IPropertyPageImpl<CHorizontalDistanceDialog>;

    LRESULT OnInitDialog();
};

}  // namespace tavrel
