#pragma once

#include "PageFrame.h"

namespace tavrel {

class CRangeSurfaceDialog
    : public frame::CComObjectRootEx
    , public frame::CComCoClass<CRangeSurfaceDialog, &CLSID_RangeSurfaceDialog>
    , public frame::IPropertyPageImpl<CRangeSurfaceDialog>
    , public frame::CDialogImpl<CRangeSurfaceDialog>
    , public IFormControl
    , public IParameterSubscriber2
{
public:
    static constexpr UINT IDD = IDD_RANGE_SURFACE;
    static constexpr UINT kTitleId = IDS_TITLE_RANGE_SURFACE;
    static constexpr UINT kHelpFileId = IDS_HELPFILE_RANGE_SURFACE;
    static constexpr UINT kDocStringId = IDS_DOCSTRING_RANGE_SURFACE;
    static constexpr UINT kApplyButtonId = IDC_APPLY;
    static constexpr bool kApplyClearsDirty = false;

    void* FindInterface(REFIID riid);
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    const wchar_t* HelpTopic() const { return L"xxx_surface_range.html"; }

// IFormControl
    STDMETHODIMP SetFormObjects(VARIANT objects) override;
    STDMETHODIMP ShowForm(long reserved1, long reserved2) override;

// IParameterSubscriber2
    STDMETHODIMP OnParameterChanged(long cookie, VARIANT value, long reserved1, long reserved2,
                                    long reserved3) override;
    STDMETHODIMP Notify(long word1, long word2, long word3, long word4, long word5, long word6,
                        long word7) override;

private:
    friend class frame::IPropertyPageImpl<CRangeSurfaceDialog>;

    LRESULT OnInitDialog();
};

}  // namespace tavrel
