// The configure window page: every view of a window in a tree, shown or hidden one
// by one or in all windows. So far it shows its template; the tree comes next.
#include "framework/Page.h"

namespace tavrel {
namespace {

struct CConfigureWindowDlg : frame::CTemplateOnlyPage<CConfigureWindowDlg, &CLSID_ConfigureWindowDlg, TRUE> {
    static constexpr frame::PageInfo kInfo{IDD_CONFIGURE_WINDOW, IDS_TITLE_CONFIGURE_WINDOW,
                                           L"qz4_para_configure_window.html", IDC_APPLY_SMALL,
                                           frame::ApplyClearsDirty::No};
    using Interfaces = frame::InterfaceList<IPropertyPage>;
};

}  // namespace

HRESULT CreateConfigureWindowDlg(REFIID riid, void** page) { return frame::CreatePage<CConfigureWindowDlg>(riid, page); }

}  // namespace tavrel
