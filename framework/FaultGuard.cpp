#include "FaultGuard.h"

#include <windows.h>

namespace tavrel {

#if defined(_MSC_VER)

bool RunGuardedAgainstAccessViolation(void (*work)(void*), void* context) {
    __try {
        work(context);
        return true;
    } __except (GetExceptionCode() == EXCEPTION_ACCESS_VIOLATION ? EXCEPTION_EXECUTE_HANDLER
                                                                  : EXCEPTION_CONTINUE_SEARCH) {
        return false;
    }
}

#else

// GCC has no structured exception handling: a vectored handler sends the thread back
// to a recovery point taken just before the guarded call.
namespace {

thread_local void* t_recoveryPoint[5];
thread_local bool t_guardArmed = false;

LONG CALLBACK ReturnToRecoveryPoint(EXCEPTION_POINTERS* info) {
    if (!t_guardArmed || info->ExceptionRecord->ExceptionCode != EXCEPTION_ACCESS_VIOLATION)
        return EXCEPTION_CONTINUE_SEARCH;
    t_guardArmed = false;
    __builtin_longjmp(t_recoveryPoint, 1);
}

// Kept out of line so that the recovery point's frame is this function's alone.
__attribute__((noinline)) bool RunFromRecoveryPoint(void (*work)(void*), void* context) {
    if (__builtin_setjmp(t_recoveryPoint) != 0)
        return false;
    t_guardArmed = true;
    work(context);
    t_guardArmed = false;
    return true;
}

}  // namespace

bool RunGuardedAgainstAccessViolation(void (*work)(void*), void* context) {
    PVOID handler = AddVectoredExceptionHandler(1, ReturnToRecoveryPoint);
    if (!handler) {
        work(context);
        return true;
    }
    bool completed = RunFromRecoveryPoint(work, context);
    t_guardArmed = false;
    RemoveVectoredExceptionHandler(handler);
    return completed;
}

#endif

}  // namespace tavrel
