// The scope page: a choice between a logarithmic and a linear scale that stands for
// no host value. It reads nothing, writes nothing and obtains no help viewer.
#include "framework/Page.h"

namespace tavrel {
namespace {

class CScopeDialog : public frame::CPage<CScopeDialog, &CLSID_ScopeDialog> {
public:
    static constexpr frame::PageInfo kInfo{IDD_SCOPE, IDS_TITLE_SCOPE, L"qz4_para_scope.html", frame::kNoApplyButton,
                                           frame::ApplyClearsDirty::Yes};
    using Interfaces = frame::InterfaceList<IPropertyPage>;

    // Neither radio button starts checked, and the focus is left alone.
    BOOL OnInitDialog() { return FALSE; }
    void WriteValues() {}
};

}  // namespace

HRESULT CreateScopeDialog(REFIID riid, void** page) { return frame::CreatePage<CScopeDialog>(riid, page); }

}  // namespace tavrel
