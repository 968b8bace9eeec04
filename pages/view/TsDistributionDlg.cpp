#include "TsDistributionDlg.h"

namespace tavrel {

void* CTsDistributionDlg::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IPropertyPage)
        return static_cast<IPropertyPage*>(this);
    return nullptr;
}

BOOL CTsDistributionDlg::ProcessWindowMessage(HWND /*window*/, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_INITDIALOG:
        result = OnInitDialog();
        return TRUE;
    default:
        return ProcessCommonPageMessage(message, wParam, lParam, result);
    }
}

namespace {
constexpr const wchar_t* kHistogramScale = L"HistogramScale";
}

LRESULT CTsDistributionDlg::OnInitDialog() {
    Microsoft::WRL::ComPtr<IValueStore> store;
    LocateHostInterface(Object(0), store);
    LocateHelpViewer();
    long scale = 0;
    if (ReadLongValue(store.Get(), kHistogramScale, scale)) {
        m_scale = static_cast<int>(scale);
        m_initialScale = m_scale;
    }
    DDX_Radio(frame::ExchangeDirection::Load, IDC_TS_LENGTH_CM, m_scale);
    return FALSE;
}

void CTsDistributionDlg::OnOK() {
    DDX_Radio(frame::ExchangeDirection::Save, IDC_TS_LENGTH_CM, m_scale);
    if (m_scale != m_initialScale) {
        Microsoft::WRL::ComPtr<IValueStore> store;
        if (SUCCEEDED(LocateHostInterface(Object(0), store)) && store)
            PutLongValue(store.Get(), kHistogramScale, m_scale);
    }
    EndDialog(IDOK);
}

}  // namespace tavrel
