#include "BottomDetectorDialog.h"

namespace tavrel {

void* CBottomDetectorDialog::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IPropertyPage)
        return static_cast<IPropertyPage*>(this);
    if (riid == IID_IParameterSubscriber2)
        return static_cast<IParameterSubscriber2*>(this);
    if (riid == IID_IFormControl)
        return static_cast<IFormControl*>(this);
    return nullptr;
}

BOOL CBottomDetectorDialog::ProcessWindowMessage(HWND /*window*/, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_INITDIALOG:
        result = OnInitDialog();
        return TRUE;
    default:
        return ProcessCommonPageMessage(message, wParam, lParam, result);
    }
}

LRESULT CBottomDetectorDialog::OnInitDialog() {
    LocateHelpViewer();
    return FALSE;
}

HRESULT CBottomDetectorDialog::SetFormObjects(VARIANT objects) {
    return SetObjectsFromForm(objects, L"CBottomDetectorDialog:Invalid input");
}

HRESULT CBottomDetectorDialog::ShowForm(long /*reserved1*/, long /*reserved2*/) {
    return RunAsForm();
}

// The page has made no subscription, so no cookie is its own.
HRESULT CBottomDetectorDialog::OnParameterChanged(long /*cookie*/, VARIANT /*value*/, long, long, long) {
    return E_NOTIMPL;
}

HRESULT CBottomDetectorDialog::Notify(long, long, long, long, long, long, long) {
    return E_NOTIMPL;
}

}  // namespace tavrel
