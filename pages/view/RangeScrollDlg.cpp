#include "RangeScrollDlg.h"

namespace tavrel {

void* CRangeScrollDlg::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IPropertyPage)
        return static_cast<IPropertyPage*>(this);
    return nullptr;
}

BOOL CRangeScrollDlg::ProcessWindowMessage(HWND /*window*/, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_INITDIALOG:
        result = OnInitDialog();
        return TRUE;
    default:
        return ProcessCommonPageMessage(message, wParam, lParam, result);
    }
}

LRESULT CRangeScrollDlg::OnInitDialog() {
    LocateHelpViewer();
    return TRUE;
}

}  // namespace tavrel
