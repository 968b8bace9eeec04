// The single target detection page: the six thresholds of a channel's single-target
// detection and the calibration start. So far it shows its template and finds the
// host's logger for the diagnostics log; the thresholds come next.
#include "framework/Page.h"

namespace tavrel {
namespace {

constexpr wchar_t kInvalidInput[] = L"CEchoTraceDialog:Invalid input";

class CEchoTraceDialog : public frame::CTemplateOnlyPage<CEchoTraceDialog, &CLSID_EchoTraceDialog, TRUE>,
                         public frame::CWinDataExchange<CEchoTraceDialog>,
                         public frame::CFormControl<CEchoTraceDialog, kInvalidInput> {
public:
    static constexpr frame::PageInfo kInfo{IDD_ECHO_TRACE, IDS_TITLE_ECHO_TRACE, L"xxx_single_target_detection.html",
                                           IDC_APPLY, frame::ApplyClearsDirty::Yes};
    using Interfaces = frame::InterfaceList<IPropertyPage, IFormControl>;

    BOOL OnInitDialog() {
        LocateHelpViewer();
        // The first page of this class to open gives every page's log lines a host.
        AdoptHostLogger(Object(frame::kViewObject));
        return TRUE;
    }
};

}  // namespace

HRESULT CreateEchoTraceDialog(REFIID riid, void** page) { return frame::CreatePage<CEchoTraceDialog>(riid, page); }

}  // namespace tavrel
