// The colour scale page: a view's colour limits for its time-varied-gain family and
// the colour step between them. So far it shows its template; the limits come next.
#include "framework/Page.h"

namespace tavrel {
namespace {

struct CColorScaleDialog : frame::CTemplateOnlyPage<CColorScaleDialog, &CLSID_ColorScaleDialog, TRUE>,
                           frame::CWinDataExchange<CColorScaleDialog> {
    static constexpr frame::PageInfo kInfo{IDD_COLOR_SCALE, IDS_TITLE_COLOR_SCALE, L"qz4_para_colour_scale.html",
                                           IDC_APPLY_SMALL, frame::ApplyClearsDirty::No};
    using Interfaces = frame::InterfaceList<IPropertyPage>;
};

}  // namespace

HRESULT CreateColorScaleDialog(REFIID riid, void** page) { return frame::CreatePage<CColorScaleDialog>(riid, page); }

}  // namespace tavrel
