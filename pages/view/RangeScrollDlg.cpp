// The range and scroll page: the visual area of one echogram view (the depths shown)
// and its scroll area (the depths it can be scrolled through), edited together and
// written so that the scroll area always holds the visual area. In bottom-referenced
// mode it edits the bottom expansion scroll.
#include "framework/Page.h"

#include "framework/LadderTriad.h"

#include <algorithm>

namespace tavrel {
namespace {

constexpr wchar_t kEchogramType[] = L"EchogramType";
constexpr int kBottomReferenced = 1;  // "EchogramType"; any other value is surface-referenced
constexpr long kVisualArea = 8;
constexpr long kScrollArea = 16;

// The bottom-referenced ladders in metres: the range ladder is the surface one
// without its last entry.
constexpr ValueLadder kBottomRangeLadder{kSurfaceRangeValues, 20};
constexpr double kBottomStartValues[] = {-100, -75, -50, -20, -15, -10, -7, -5, -3, -2, -1,
                                         0,    1,   2,   3,   5,   7,   10,  15,  20,  50};

// The four triads, by their place in the page's array.
enum Triad { kVisualRange, kVisualStart, kScrollRange, kScrollStart, kTriadCount };

class CRangeScrollDlg : public frame::CPage<CRangeScrollDlg, &CLSID_RangeScrollDlg> {
public:
    static constexpr frame::PageInfo kInfo{IDD_RANGE_SCROLL, IDS_TITLE_RANGE_SCROLL, L"xxx_range_and_scroll.html",
                                           IDC_APPLY, frame::ApplyClearsDirty::No};
    using Interfaces = frame::InterfaceList<IPropertyPage>;

    BOOL OnInitDialog() {
        Microsoft::WRL::ComPtr<IEchogramRange> echogram;
        LocateHostInterface(Object(frame::kChannelObject), echogram);
        m_echogramType = 0;  // read afresh at every initialisation
        if (echogram)
            frame::ValueStore::Query(echogram.Get()).Read(kEchogramType, m_echogramType);
        const bool bottom = m_echogramType == kBottomReferenced;
        if (bottom) {
            ::SetWindowTextW(m_hWnd, L"Bottom Expansion Scroll");
            SetControlText(IDC_RSC_VISUAL_START_CAPTION, L"Start relative bottom");
            SetControlText(IDC_RSC_SCROLL_START_CAPTION, L"Start relative bottom");
        }
        const ValueLadder range = bottom ? kBottomRangeLadder : kSurfaceRangeLadder;
        const ValueLadder start = bottom ? LadderOf(kBottomStartValues) : kSurfaceStartLadder;
        for (Triad triad : {kVisualRange, kScrollRange})
            m_triads[triad].UseLadder(range);
        for (Triad triad : {kVisualStart, kScrollStart})
            m_triads[triad].UseLadder(start);

        // Both areas are asked for; the controls are filled only when both answer.
        const bool scrollRead = echogram && ReadArea(echogram.Get(), kScrollArea, kScrollRange, kScrollStart);
        const bool visualRead = echogram && ReadArea(echogram.Get(), kVisualArea, kVisualRange, kVisualStart);
        m_workingVisualRange = m_values[kVisualRange].value;
        m_workingScrollRange = m_values[kScrollRange].value;
        if (scrollRead && visualRead) {
            for (int triad = 0; triad < kTriadCount; ++triad)
                m_triads[triad].Show(m_values[triad].value);
        }
        SetControlText(IDC_RSC_VISUAL_START_UNIT, L"m");
        SetControlText(IDC_RSC_SCROLL_START_UNIT, L"m");
        LocateHelpViewer();
        EnableApplyButton(false);  // the edits' own change notifications enabled it
        return TRUE;               // the dialog manager focuses the first control
    }

    // A write that fails half way is logged, and the dialog goes on.
    void WriteValues() {
        const HRESULT written = CatchToHresult([&] {
            Write();
            return S_OK;
        });
        if (FAILED(written))
            LogWarningMessage(L"RangeScrollDlg: Exception in ApplyChanges");
    }

    void OnApplied() { EnableApplyButton(false); }

    template <class Map>
    void MessageMap(Map& on) {
        for (frame::CLadderTriad& triad : m_triads)
            triad.Bind(on);
        on.Notify(frame::kAnyControl, UDN_DELTAPOS, &CRangeScrollDlg::OnArrowPressed);
        on.Scroll(frame::kAnyControl, &CRangeScrollDlg::OnAnyScroll);
        on.Scroll(IDC_RSC_VISUAL_RANGE_SLIDER, &CRangeScrollDlg::OnVisualRangeSliderMoved);
        on.Scroll(IDC_RSC_SCROLL_RANGE_SLIDER, &CRangeScrollDlg::OnScrollRangeSliderMoved);
        on.Scroll(IDC_RSC_VISUAL_START_SLIDER, &CRangeScrollDlg::OnStartSliderMoved<kVisualStart>);
        on.Scroll(IDC_RSC_SCROLL_START_SLIDER, &CRangeScrollDlg::OnStartSliderMoved<kScrollStart>);
        on.Scroll(IDC_RSC_VISUAL_RANGE_SPIN, &CRangeScrollDlg::OnSpinStepped<kVisualRange>);
        on.Scroll(IDC_RSC_VISUAL_START_SPIN, &CRangeScrollDlg::OnSpinStepped<kVisualStart>);
        on.Scroll(IDC_RSC_SCROLL_RANGE_SPIN, &CRangeScrollDlg::OnSpinStepped<kScrollRange>);
        on.Scroll(IDC_RSC_SCROLL_START_SPIN, &CRangeScrollDlg::OnSpinStepped<kScrollStart>);
        on.Command(IDC_RSC_VISUAL_RANGE_EDIT, EN_CHANGE, &CRangeScrollDlg::OnEditChanged<kVisualRange>);
        on.Command(IDC_RSC_VISUAL_START_EDIT, EN_CHANGE, &CRangeScrollDlg::OnEditChanged<kVisualStart>);
        on.Command(IDC_RSC_SCROLL_RANGE_EDIT, EN_CHANGE, &CRangeScrollDlg::OnEditChanged<kScrollRange>);
        on.Command(IDC_RSC_SCROLL_START_EDIT, EN_CHANGE, &CRangeScrollDlg::OnEditChanged<kScrollStart>);
    }

private:
    bool ReadArea(IEchogramRange* echogram, long area, Triad rangeTriad, Triad startTriad) {
        double range = 0, start = 0;
        if (echogram->GetDepthRange(&range, &start, area) != S_OK)
            return false;
        m_values[rangeTriad].FromHost(range);
        m_values[startTriad].FromHost(start);
        return true;
    }

    // The scroll area is widened to hold the visual area: it starts no lower and
    // reaches at least as deep. The edits keep what the user typed.
    void Write() {
        Microsoft::WRL::ComPtr<IEchogramRange> echogram;
        LocateHostInterface(Object(frame::kChannelObject), echogram);
        if (!echogram)
            return;
        for (const frame::CLadderTriad& triad : m_triads) {
            if (triad.IsEmpty())
                return;
        }
        for (int triad = 0; triad < kTriadCount; ++triad)
            m_values[triad].value = m_triads[triad].Value();
        double& scrollStart = m_values[kScrollStart].value;
        double& scrollRange = m_values[kScrollRange].value;
        const double visualStart = m_values[kVisualStart].value;
        const double visualEnd = visualStart + m_values[kVisualRange].value;
        scrollStart = std::min(scrollStart, visualStart);
        if (visualEnd > scrollStart + scrollRange)
            scrollRange = visualEnd - scrollStart;
        if (std::none_of(std::begin(m_values), std::end(m_values), [](const auto& v) { return v.Changed(); }))
            return;
        for (frame::Tracked<double>& value : m_values)
            value.MarkWritten();
        echogram->SetDepthRange(m_values[kVisualRange].value, visualStart, kVisualArea);
        echogram->SetDepthRange(scrollRange, scrollStart, kScrollArea);
    }

    // ---- Keeping the triads in step

    LRESULT OnArrowPressed(NMHDR& /*header*/) {
        EnableApplyButton(true);
        return 0;
    }
    void OnAnyScroll(int /*scrollCode*/) {
        EnableApplyButton(true);
        SetDirty();
    }
    // The visual range may not pass the working scroll range: it stops one ladder
    // entry short of it.
    void OnVisualRangeSliderMoved(int scrollCode) {
        if (scrollCode == TB_ENDTRACK)
            return;
        frame::CLadderTriad& visual = m_triads[kVisualRange];
        double range = visual.SliderValue();
        if (range > m_workingScrollRange) {
            range = LadderValueAt(visual.Ladder(), NearestLadderIndex(m_workingScrollRange, visual.Ladder()) - 1);
            visual.MoveSlider(range);
        }
        m_workingVisualRange = range;
        visual.ShowValue(range);
    }
    // The scroll range may not fall below the working visual range: it stops one
    // ladder entry beyond it.
    void OnScrollRangeSliderMoved(int scrollCode) {
        if (scrollCode == TB_ENDTRACK)
            return;
        frame::CLadderTriad& scroll = m_triads[kScrollRange];
        double range = scroll.SliderValue();
        if (range < m_workingVisualRange) {
            range = LadderValueAt(scroll.Ladder(), NearestLadderIndex(m_workingVisualRange, scroll.Ladder()) + 1);
            scroll.MoveSlider(range);
        }
        m_workingScrollRange = range;
        scroll.ShowValue(range);
    }
    template <Triad kStart>
    void OnStartSliderMoved(int scrollCode) {
        if (scrollCode != TB_ENDTRACK)
            m_triads[kStart].ShowValue(m_triads[kStart].SliderValue());
    }
    // The arrows check nothing against the other area.
    template <Triad kTriad>
    void OnSpinStepped(int /*scrollCode*/) {
        m_triads[kTriad].MoveSlider(m_triads[kTriad].spin.m_dValue);
    }
    // Typed or set by the page: the trackbar follows, the text stays as it is.
    template <Triad kTriad>
    void OnEditChanged() {
        EnableApplyButton(true);
        m_triads[kTriad].MoveSlider(m_triads[kTriad].Value());
    }

    frame::CLadderTriad m_triads[kTriadCount] = {
        frame::CLadderTriad({IDC_RSC_VISUAL_RANGE_SLIDER, IDC_RSC_VISUAL_RANGE_EDIT, IDC_RSC_VISUAL_RANGE_SPIN,
                             IDC_RSC_VISUAL_RANGE_TOP_LABEL, IDC_RSC_VISUAL_RANGE_BOTTOM_LABEL}),
        frame::CLadderTriad({IDC_RSC_VISUAL_START_SLIDER, IDC_RSC_VISUAL_START_EDIT, IDC_RSC_VISUAL_START_SPIN,
                             IDC_RSC_VISUAL_START_TOP_LABEL, IDC_RSC_VISUAL_START_BOTTOM_LABEL}),
        frame::CLadderTriad({IDC_RSC_SCROLL_RANGE_SLIDER, IDC_RSC_SCROLL_RANGE_EDIT, IDC_RSC_SCROLL_RANGE_SPIN,
                             IDC_RSC_SCROLL_RANGE_TOP_LABEL, IDC_RSC_SCROLL_RANGE_BOTTOM_LABEL}),
        frame::CLadderTriad({IDC_RSC_SCROLL_START_SLIDER, IDC_RSC_SCROLL_START_EDIT, IDC_RSC_SCROLL_START_SPIN,
                             IDC_RSC_SCROLL_START_TOP_LABEL, IDC_RSC_SCROLL_START_BOTTOM_LABEL}),
    };
    int m_echogramType = 0;
    frame::Tracked<double> m_values[kTriadCount];  // as last read from or written to the host
    // What the two range trackbars check each other against: the values read, then
    // the values these trackbars set.
    double m_workingVisualRange = 0;
    double m_workingScrollRange = 0;
};

}  // namespace

HRESULT CreateRangeScrollDlg(REFIID riid, void** page) { return frame::CreatePage<CRangeScrollDlg>(riid, page); }

}  // namespace tavrel
