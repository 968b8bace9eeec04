#include "Dialog.h"

namespace tavrel::frame {
namespace {
thread_local void* t_creationData = nullptr;
}

void SetCreationData(void* object) { t_creationData = object; }

void* TakeCreationData() {
    void* object = t_creationData;
    t_creationData = nullptr;
    return object;
}

void RegisterCommonControlClasses() {
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES |
                                                      ICC_TREEVIEW_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&classes);
}

INT_PTR DialogProcResult(HWND hWnd, UINT message, BOOL handled, LRESULT result) {
    if (!handled)
        return FALSE;
    switch (message) {
    // These messages return their answer directly rather than through DWLP_MSGRESULT.
    case WM_INITDIALOG:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return static_cast<INT_PTR>(result);
    default:
        // Under Wine setting a window's extra bytes is a round trip to its server:
        // a result already in place (0, for most notifications) is not set again,
        // which keeps a tree of 10,000 items quick to delete.
        if (::GetWindowLongPtrW(hWnd, DWLP_MSGRESULT) != result)
            ::SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
}

}  // namespace tavrel::frame
