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

}  // namespace tavrel::frame
