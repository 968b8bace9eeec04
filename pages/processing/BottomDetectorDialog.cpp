// The bottom detection page: a processing channel's bottom detector limits and
// backstep level. So far it shows its template; the values and their subscriptions
// come next.
#include "framework/Page.h"

namespace tavrel {
namespace {

constexpr wchar_t kInvalidInput[] = L"CBottomDetectorDialog:Invalid input";

struct CBottomDetectorDialog
    : frame::CTemplateOnlyPage<CBottomDetectorDialog, &CLSID_BottomDetectorDialog, FALSE>,
      frame::CParameterSubscriber<CBottomDetectorDialog, E_NOTIMPL>,
      frame::CFormControl<CBottomDetectorDialog, kInvalidInput> {
    static constexpr frame::PageInfo kInfo{IDD_BOTTOM_DETECTOR, IDS_TITLE_BOTTOM_DETECTOR,
                                           L"xxx_bottom_detection.html", IDC_APPLY, frame::ApplyClearsDirty::Yes};
    using Interfaces = frame::InterfaceList<IPropertyPage, IParameterSubscriber2, IFormControl>;
};

}  // namespace

HRESULT CreateBottomDetectorDialog(REFIID riid, void** page) {
    return frame::CreatePage<CBottomDetectorDialog>(riid, page);
}

}  // namespace tavrel
