// The TS distribution page: the scale of a TS distribution (histogram) view, one
// radio choice kept in the view's "HistogramScale".
#include "framework/Page.h"

namespace tavrel {
namespace {

constexpr wchar_t kHistogramScale[] = L"HistogramScale";

class CTsDistributionDlg : public frame::CPage<CTsDistributionDlg, &CLSID_TsDistributionDlg>,
                           public frame::CWinDataExchange<CTsDistributionDlg> {
public:
    static constexpr frame::PageInfo kInfo{IDD_TS_DISTRIBUTION, IDS_TITLE_TS_DISTRIBUTION,
                                           L"qz4_para_ts_distribution.html", frame::kNoApplyButton,
                                           frame::ApplyClearsDirty::Yes};
    using Interfaces = frame::InterfaceList<IPropertyPage>;

    BOOL OnInitDialog() {
        const frame::ValueStore store(Object(frame::kViewObject));
        LocateHelpViewer();
        store.Read(kHistogramScale, m_scale);
        DDX_Radio(frame::ExchangeDirection::Load, IDC_TS_LENGTH_CM, m_scale.value);
        return FALSE;  // the dialog manager leaves the focus alone
    }

    void WriteValues() {
        DDX_Radio(frame::ExchangeDirection::Save, IDC_TS_LENGTH_CM, m_scale.value);
        if (m_scale.Changed())
            frame::ValueStore(Object(frame::kViewObject)).Put(kHistogramScale, m_scale);
    }

private:
    // 0 length in cm, 1 length in inches, 2 weight, 3 TS; -1 no button checked.
    frame::Tracked<int> m_scale;
};

}  // namespace

HRESULT CreateTsDistributionDlg(REFIID riid, void** page) { return frame::CreatePage<CTsDistributionDlg>(riid, page); }

}  // namespace tavrel
