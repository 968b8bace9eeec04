// The range and scroll page: the visual area and the scroll area of a view, edited
// together. So far it shows its template; the two areas come next.
#include "framework/Page.h"

namespace tavrel {
namespace {

struct CRangeScrollDlg : frame::CTemplateOnlyPage<CRangeScrollDlg, &CLSID_RangeScrollDlg, TRUE> {
    static constexpr frame::PageInfo kInfo{IDD_RANGE_SCROLL, IDS_TITLE_RANGE_SCROLL, L"xxx_range_and_scroll.html",
                                           IDC_APPLY, frame::ApplyClearsDirty::No};
    using Interfaces = frame::InterfaceList<IPropertyPage>;
};

}  // namespace

HRESULT CreateRangeScrollDlg(REFIID riid, void** page) { return frame::CreatePage<CRangeScrollDlg>(riid, page); }

}  // namespace tavrel
