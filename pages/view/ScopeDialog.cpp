#include "ScopeDialog.h"

namespace tavrel {

void* CScopeDialog::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IPropertyPage)
        return static_cast<IPropertyPage*>(this);
    return nullptr;
}

BOOL CScopeDialog::ProcessWindowMessage(HWND /*window*/, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_INITDIALOG:
        result = OnInitDialog();
        return TRUE;
    default:
        return ProcessCommonPageMessage(message, wParam, lParam, result);
    }
}

LRESULT CScopeDialog::OnInitDialog() {
    return FALSE;
}

}  // namespace tavrel
