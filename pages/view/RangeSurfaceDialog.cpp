#include "RangeSurfaceDialog.h"

namespace tavrel {

void* CRangeSurfaceDialog::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IPropertyPage)
        return static_cast<IPropertyPage*>(this);
    if (riid == IID_IFormControl)
        return static_cast<IFormControl*>(this);
    if (riid == IID_IParameterSubscriber2)
        return static_cast<IParameterSubscriber2*>(this);
    return nullptr;
}

BOOL CRangeSurfaceDialog::ProcessWindowMessage(HWND /*window*/, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_INITDIALOG:
        result = OnInitDialog();
        return TRUE;
    default:
        return ProcessCommonPageMessage(message, wParam, lParam, result);
    }
}

LRESULT CRangeSurfaceDialog::OnInitDialog() {
    LocateHelpViewer();
    return FALSE;
}

HRESULT CRangeSurfaceDialog::SetFormObjects(VARIANT objects) {
    return SetObjectsFromForm(objects, L"error");
}

HRESULT CRangeSurfaceDialog::ShowForm(long /*reserved1*/, long /*reserved2*/) {
    return RunAsForm();
}

// The page has made no subscription, so no cookie is its own.
HRESULT CRangeSurfaceDialog::OnParameterChanged(long /*cookie*/, VARIANT /*value*/, long, long, long) {
    return E_NOTIMPL;
}

HRESULT CRangeSurfaceDialog::Notify(long, long, long, long, long, long, long) {
    return S_OK;
}

}  // namespace tavrel
