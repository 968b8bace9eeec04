#pragma once

#include "PageFrame.h"

namespace tavrel {

class CTsDistributionDlg
    : public frame::CComObjectRootEx
    , public frame::CComCoClass<CTsDistributionDlg, &CLSID_TsDistributionDlg>
    , public frame::IPropertyPageImpl<CTsDistributionDlg>
    , public frame::CWinDataExchange<CTsDistributionDlg>
    , public frame::CDialogImpl<CTsDistributionDlg>
{
public:
    static constexpr UINT IDD = IDD_TS_DISTRIBUTION;
    static constexpr UINT kTitleId = IDS_TITLE_TS_DISTRIBUTION;
    static constexpr UINT kHelpFileId = IDS_HELPFILE_TS_DISTRIBUTION;
    static constexpr UINT kDocStringId = IDS_DOCSTRING_TS_DISTRIBUTION;
    static constexpr UINT kApplyButtonId = 0;
    static constexpr bool kApplyClearsDirty = true;

    void* FindInterface(REFIID riid);
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    const wchar_t* HelpTopic() const { return L"qz4_para_ts_distribution.html"; }

private:
    friend class frame::IPropertyPageImpl<CTsDistributionDlg>;

    LRESULT OnInitDialog();
    void OnOK();

    // Scale index: 0 length in cm, 1 length in inches, 2 weight, 3 TS; -1 no choice.
    int m_scale = 0;
    int m_initialScale = 0;  // as read at initialisation: OK writes only a change
};

}  // namespace tavrel
