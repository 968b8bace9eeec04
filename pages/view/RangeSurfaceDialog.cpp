// The surface and bottom range page: the displayed depth range and start of one
// echogram view. So far it shows its template; the range and start come next.
#include "framework/Page.h"

namespace tavrel {
namespace {

constexpr wchar_t kInvalidInput[] = L"error";

struct CRangeSurfaceDialog : frame::CTemplateOnlyPage<CRangeSurfaceDialog, &CLSID_RangeSurfaceDialog, FALSE>,
                             frame::CFormControl<CRangeSurfaceDialog, kInvalidInput>,
                             frame::CParameterSubscriber<CRangeSurfaceDialog, S_OK> {
    static constexpr frame::PageInfo kInfo{IDD_RANGE_SURFACE, IDS_TITLE_RANGE_SURFACE, L"xxx_surface_range.html",
                                           IDC_APPLY, frame::ApplyClearsDirty::No};
    using Interfaces = frame::InterfaceList<IPropertyPage, IFormControl, IParameterSubscriber2>;
};

}  // namespace

HRESULT CreateRangeSurfaceDialog(REFIID riid, void** page) { return frame::CreatePage<CRangeSurfaceDialog>(riid, page); }

}  // namespace tavrel
