// The horizontal axis page: what one screen of an echogram view covers, in distance,
// time or pings. So far it shows its template; the axis settings come next.
#include "framework/Page.h"

namespace tavrel {
namespace {

struct CHorizontalDistanceDialog
    : frame::CTemplateOnlyPage<CHorizontalDistanceDialog, &CLSID_HorizontalDistanceDialog, FALSE>,
      frame::CFormControl<CHorizontalDistanceDialog, nullptr> {  // refused objects are not logged
    static constexpr frame::PageInfo kInfo{IDD_HORIZONTAL_DISTANCE, IDS_TITLE_HORIZONTAL_DISTANCE,
                                           L"qz4_para_horizontal_axis.html", IDC_APPLY, frame::ApplyClearsDirty::No};
    using Interfaces = frame::InterfaceList<IPropertyPage, IFormControl>;
};

}  // namespace

HRESULT CreateHorizontalDistanceDialog(REFIID riid, void** page) {
    return frame::CreatePage<CHorizontalDistanceDialog>(riid, page);
}

}  // namespace tavrel
