#include "HorizontalDistanceDialog.h"

namespace tavrel {

void* CHorizontalDistanceDialog::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IPropertyPage)
        return static_cast<IPropertyPage*>(this);
    if (riid == IID_IFormControl)
        return static_cast<IFormControl*>(this);
    return nullptr;
}

BOOL CHorizontalDistanceDialog::ProcessWindowMessage(HWND /*window*/, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_INITDIALOG:
        result = OnInitDialog();
        return TRUE;
    default:
        return ProcessCommonPageMessage(message, wParam, lParam, result);
    }
}

LRESULT CHorizontalDistanceDialog::OnInitDialog() {
    LocateHelpViewer();
    return FALSE;
}

HRESULT CHorizontalDistanceDialog::SetFormObjects(VARIANT objects) {
    return SetObjectsFromForm(objects, nullptr);
}

HRESULT CHorizontalDistanceDialog::ShowForm(long /*reserved1*/, long /*reserved2*/) {
    return RunAsForm();
}

}  // namespace tavrel
