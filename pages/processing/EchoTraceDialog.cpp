#include "EchoTraceDialog.h"

namespace tavrel {

void* CEchoTraceDialog::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IPropertyPage)
        return static_cast<IPropertyPage*>(this);
    if (riid == IID_IFormControl)
        return static_cast<IFormControl*>(this);
    return nullptr;
}

BOOL CEchoTraceDialog::ProcessWindowMessage(HWND /*window*/, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_INITDIALOG:
        result = OnInitDialog();
        return TRUE;
    default:
        return ProcessCommonPageMessage(message, wParam, lParam, result);
    }
}

LRESULT CEchoTraceDialog::OnInitDialog() {
    LocateHelpViewer();
    return TRUE;
}

HRESULT CEchoTraceDialog::SetFormObjects(VARIANT objects) {
    return SetObjectsFromForm(objects, L"CEchoTraceDialog:Invalid input");
}

HRESULT CEchoTraceDialog::ShowForm(long /*reserved1*/, long /*reserved2*/) {
    return RunAsForm();
}

}  // namespace tavrel
