#pragma once

#include "PageFrame.h"

namespace tavrel {

class CBottomDetectorDialog
    : public frame::CComObjectRootEx
    , public frame::CComCoClass<CBottomDetectorDialog, &CLSID_BottomDetectorDialog>
    , public frame::IPropertyPageImpl<CBottomDetectorDialog>
    , public frame::CDialogImpl<CBottomDetectorDialog>
    , public IParameterSubscriber2
    , public IFormControl
{
public:
    static constexpr UINT IDD = IDD_BOTTOM_DETECTOR;
    static constexpr UINT kTitleId = IDS_TITLE_BOTTOM_DETECTOR;
    static constexpr UINT kHelpFileId = IDS_HELPFILE_BOTTOM_DETECTOR;
    static constexpr UINT kDocStringId = IDS_DOCSTRING_BOTTOM_DETECTOR;
    static constexpr UINT kApplyButtonId = IDC_APPLY;
    static constexpr bool kApplyClearsDirty = true;

    void* FindInterface(REFIID riid);
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    const wchar_t* HelpTopic() const { return L"xxx_bottom_detection.html"; }

// IFormControl
    STDMETHODIMP SetFormObjects(VARIANT objects) override;
    STDMETHODIMP ShowForm(long reserved1, long reserved2) override;

// IParameterSubscriber2
    STDMETHODIMP OnParameterChanged(long cookie, VARIANT value, long reserved1, long reserved2,
                                    long reserved3) override;
    STDMETHODIMP Notify(long word1, long word2, long word3, long word4, long word5, long word6,
                        long word7) override;

private:
    friend class frame::IPropertyPageImpl<CBottomDetectorDialog>;

    LRESULT OnInitDialog();
};

}  // namespace tavrel
