#pragma once

#include "PageFrame.h"

namespace tavrel {

class CEchoTraceDialog
    : public frame::CComObjectRootEx
    , public frame::CComCoClass<CEchoTraceDialog, &CLSID_EchoTraceDialog>
    , public frame::CWinDataExchange<CEchoTraceDialog>
    , public frame::IPropertyPageImpl<CEchoTraceDialog>
    , public frame::CDialogImpl<CEchoTraceDialog>
    , public IFormControl
{
public:
    static constexpr UINT IDD = IDD_ECHO_TRACE;
    static constexpr UINT kTitleId = IDS_TITLE_ECHO_TRACE;
    static constexpr UINT kHelpFileId = IDS_HELPFILE_ECHO_TRACE;
    static constexpr UINT kDocStringId = IDS_DOCSTRING_ECHO_TRACE;
    static constexpr UINT kApplyButtonId = IDC_APPLY;
    static constexpr bool kApplyClearsDirty = true;

    void* FindInterface(REFIID riid);
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    const wchar_t* HelpTopic() const { return L"xxx_single_target_detection.html"; }

// IFormControl
    STDMETHODIMP SetFormObjects(VARIANT objects) override;
    STDMETHODIMP ShowForm(long reserved1, long reserved2) override;

private:
    friend class frame::IPropertyPageImpl<CEchoTraceDialog>;

    LRESULT OnInitDialog();
};

}  // namespace tavrel
