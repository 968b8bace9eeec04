// Modal dialogs run from a template in the module's resources, bound to a C++ object.
//
// Binding: before the dialog is created the object is parked in the thread's
// window-creation slot; the dialog's first message (WM_SETFONT for set-font
// templates) takes it from there, stores it in the window's user data and switches
// the window to the bound procedure, so every later message reaches
// T::ProcessWindowMessage.
#pragma once

#include "ComResource.h"
#include "ModuleState.h"
#include "Window.h"

namespace tavrel::frame {

// The thread's window-creation slot (one dialog is created at a time per thread).
void SetCreationData(void* object);
void* TakeCreationData();
// The templates use up-downs, trackbars and tree views: their window classes must be
// registered before a dialog is created, whatever the host did.
void RegisterCommonControlClasses();
// What a dialog procedure answers for a message its page handled (with result) or
// did not handle.
INT_PTR DialogProcResult(HWND hWnd, UINT message, BOOL handled, LRESULT result);

// T provides:
//   kInfo.templateId   the template
//   BOOL ProcessWindowMessage(UINT, WPARAM, LPARAM, LRESULT& result);
//     returns TRUE when it handled the message (WM_INITDIALOG: result is the focus answer)
template <class T>
class CDialogImpl : public CWindow {
public:
    // Runs the dialog modally; returns the EndDialog result, or -1 when it failed to open.
    INT_PTR DoModal(HWND owner, LPARAM initParam = 0) {
        RegisterCommonControlClasses();
        SetCreationData(static_cast<T*>(this));
        INT_PTR result = ::DialogBoxParamW(ModuleInstance(), MAKEINTRESOURCEW(T::kInfo.templateId), owner,
                                           StartDialogProc, initParam);
        // A dialog that never got its first message leaves the slot set: clear it.
        TakeCreationData();
        return result;
    }

    BOOL EndDialog(INT_PTR result) { return ::EndDialog(m_hWnd, result); }

private:
    static INT_PTR CALLBACK StartDialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = static_cast<T*>(TakeCreationData());
        if (!self)
            return FALSE;
        self->m_hWnd = hWnd;
        ::SetWindowLongPtrW(hWnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        ::SetWindowLongPtrW(hWnd, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(&DialogProc));
        return DialogProc(hWnd, message, wParam, lParam);
    }

    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<T*>(::GetWindowLongPtrW(hWnd, DWLP_USER));
        if (!self)
            return FALSE;
        LRESULT result = 0;
        BOOL handled = FALSE;
        // A handler that throws has not handled its message.
        CatchToHresult([&] {
            handled = self->ProcessWindowMessage(message, wParam, lParam, result);
            return S_OK;
        });
        if (message == WM_NCDESTROY) {
            ::SetWindowLongPtrW(hWnd, DWLP_USER, 0);
            self->m_hWnd = nullptr;
        }
        return DialogProcResult(hWnd, message, handled, result);
    }
};

}  // namespace tavrel::frame
