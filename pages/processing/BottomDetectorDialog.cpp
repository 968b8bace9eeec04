// The bottom detection page: the depths between which a processing channel's bottom
// detector looks for the bottom, and its backstep minimum level. The page follows the
// three values through subscriptions at the host's parameter server while it lives,
// and writes a change back to the channel, or with "Apply to all" to every echogram
// view.
#include "framework/Page.h"

#include "framework/LadderTriad.h"

namespace tavrel {
namespace {

constexpr wchar_t kInvalidInput[] = L"CBottomDetectorDialog:Invalid input";
constexpr wchar_t kChannelId[] = L"ChannelID";
constexpr long kLayerLocked = 0;  // ILayerState: this channel may not be changed here

// The three values, in the order the page reads, subscribes and writes them.
enum DetectorValue { kMinDepth, kMaxDepth, kBackstep, kValueCount };

struct ValueInfo {
    const wchar_t* name;  // the channel's parameter
    double initial;       // shown when the channel gives no value
    int editId;
};
constexpr ValueInfo kValues[kValueCount] = {
    {L"UpperDetectorLimit", 5.0, IDC_BD_MIN_DEPTH_EDIT},
    {L"LowerDetectorLimit", 999.0, IDC_BD_MAX_DEPTH_EDIT},
    {L"BottomBackstep", -40.0, IDC_BD_BACKSTEP_EDIT},
};

// What an empty depth field stands for where the depths are kept in order: no
// limit on the other one.
constexpr double kEmptyField[] = {0.0, 10000.0};

// What a locked layer leaves the user: Cancel, Help and "Apply to all".
constexpr int kEditingControls[] = {IDC_BD_MIN_DEPTH_SLIDER, IDC_BD_MAX_DEPTH_SLIDER, IDC_BD_MIN_DEPTH_SPIN,
                                    IDC_BD_MAX_DEPTH_SPIN, IDC_BD_MIN_DEPTH_EDIT, IDC_BD_MAX_DEPTH_EDIT,
                                    IDC_BD_BACKSTEP_SPIN, IDC_BD_BACKSTEP_EDIT, IDC_APPLY, IDOK};
constexpr int kUnitLabels[] = {IDC_BD_MIN_DEPTH_UNIT, IDC_BD_MAX_DEPTH_UNIT, IDC_BD_MIN_ALARM_UNIT,
                               IDC_BD_MAX_ALARM_UNIT};

class CBottomDetectorDialog : public frame::CPage<CBottomDetectorDialog, &CLSID_BottomDetectorDialog>,
                              public frame::CParameterSubscriber<CBottomDetectorDialog, E_NOTIMPL>,
                              public frame::CFormControl<CBottomDetectorDialog, kInvalidInput> {
public:
    static constexpr frame::PageInfo kInfo{IDD_BOTTOM_DETECTOR, IDS_TITLE_BOTTOM_DETECTOR,
                                           L"xxx_bottom_detection.html", IDC_APPLY, frame::ApplyClearsDirty::Yes};
    using Interfaces = frame::InterfaceList<IPropertyPage, IParameterSubscriber2, IFormControl>;

    // Each run starts afresh: the path root, the values (the initial ones where the
    // channel gives none), the channel id and the subscriptions.
    BOOL OnInitDialog() {
        for (frame::CLadderTriad& depth : m_depths)
            depth.UseLadder(kDepthLadder);
        m_backstepSpin.SetDoubleRange(0, -80.0, 0.0);
        m_minAlarmSpin.SetDoubleRange(0, 0.0, 10000.0);
        m_maxAlarmSpin.SetDoubleRange(0, 0.0, 10000.0);
        ReadSelectedLayer();
        ReadChannelValues();
        SubscribeToChannelValues();
        LocateHelpViewer();
        if (GetApplicationKind(Object(frame::kViewObject)) == ApplicationKind::TK11)
            ShowControl(IDC_APPLY_TO_ALL, false);
        for (int value = 0; value < kValueCount; ++value)
            ShowValue(static_cast<DetectorValue>(value));
        for (int unit : kUnitLabels)
            SetControlText(unit, L"m");
        EnableApplyButton(false);
        return FALSE;  // the dialog manager leaves the focus alone
    }

    // The fields are the values of record. Exactly one route: all views, the
    // channel's parameters, or (without a parameter server) the channel's values.
    void WriteValues() {
        // On a locked layer OK and Apply are disabled; their command arriving all the
        // same (a host's own WM_COMMAND) writes nothing either.
        if (m_locked)
            return;
        if (IsChecked(IDC_APPLY_TO_ALL))
            WriteToAllViews();
        else if (m_server)
            WriteToChannelParameters();
        else
            WriteToChannelValues();
    }

    template <class Map>
    void MessageMap(Map& on) {
        for (frame::CLadderTriad& depth : m_depths)
            depth.Bind(on);
        on.Spin(IDC_BD_BACKSTEP_SPIN, m_backstepSpin);
        on.Spin(IDC_BD_MIN_ALARM_SPIN, m_minAlarmSpin);
        on.Spin(IDC_BD_MAX_ALARM_SPIN, m_maxAlarmSpin);
        on.Scroll(frame::kAnyControl, &CBottomDetectorDialog::OnAnyScroll);
        on.Scroll(IDC_BD_MIN_DEPTH_SLIDER, &CBottomDetectorDialog::OnDepthSliderMoved<kMinDepth>);
        on.Scroll(IDC_BD_MAX_DEPTH_SLIDER, &CBottomDetectorDialog::OnDepthSliderMoved<kMaxDepth>);
        on.Scroll(IDC_BD_MIN_DEPTH_SPIN, &CBottomDetectorDialog::OnDepthSpinStepped<kMinDepth>);
        on.Scroll(IDC_BD_MAX_DEPTH_SPIN, &CBottomDetectorDialog::OnDepthSpinStepped<kMaxDepth>);
        on.Command(IDC_BD_MIN_DEPTH_EDIT, EN_KILLFOCUS, &CBottomDetectorDialog::OnDepthEditLeft<kMinDepth>);
        on.Command(IDC_BD_MAX_DEPTH_EDIT, EN_KILLFOCUS, &CBottomDetectorDialog::OnDepthEditLeft<kMaxDepth>);
    }

    // The host reports a new value of a subscribed parameter: it becomes the last
    // known value and replaces whatever the field held. Neither Apply nor the dirty
    // flag changes. After the run only the value changes.
    HRESULT OnHostParameterChanged(long cookie, const VARIANT& value) {
        for (int which = 0; which < kValueCount; ++which) {
            if (!m_subscribed[which] || m_cookies[which] != cookie)
                continue;
            double reported = 0;
            if (frame::FromVariant(value, reported)) {
                m_values[which].FromHost(reported);
                if (m_hWnd)
                    ShowValue(static_cast<DetectorValue>(which));
            }
            return S_OK;
        }
        return E_NOTIMPL;
    }

private:
    // ---- Initialisation

    // The selected layer roots the parameter paths and may lock the channel. A
    // GetState that fails tells nothing: only a state of 0 the host answered locks.
    void ReadSelectedLayer() {
        Microsoft::WRL::ComPtr<IUnknown> layer;
        GetSelectedLayer(Object(frame::kViewObject), layer);
        m_pathRoot = ParameterPathRoot(layer.Get());
        m_locked = false;
        Microsoft::WRL::ComPtr<ILayerState> layerState;
        long state = -1;
        if (layer && SUCCEEDED(layer.As(&layerState)) && SUCCEEDED(layerState->GetState(&state)) &&
            state == kLayerLocked) {
            m_locked = true;
            for (int id : kEditingControls)
                EnableControl(id, false);
        }
    }

    // A value the channel does not give (or gives with another type) keeps its
    // initial value; without "ChannelID" the paths name no channel.
    void ReadChannelValues() {
        m_channelId.clear();
        for (int which = 0; which < kValueCount; ++which)
            m_values[which] = frame::Tracked<double>(kValues[which].initial);
        const frame::ValueStore store(Object(frame::kChannelObject));
        for (int which = 0; which < kValueCount; ++which)
            store.Read(kValues[which].name, m_values[which]);
        store.Read(kChannelId, m_channelId);
    }

    // The page's subscriber (never the page itself) follows the three parameters. A
    // cookie counts only from a Subscribe that succeeded with a status not negative:
    // a failed call hands out no cookie, so no report can pass for one with whatever
    // the host left in it. The parameter server stays for the writes.
    void SubscribeToChannelValues() {
        m_server = frame::ParameterServer(Object(frame::kViewObject));
        for (int which = 0; which < kValueCount; ++which) {
            m_subscribed[which] = false;
            if (!m_server)
                continue;
            long cookie = 0;
            long status = frame::kParameterStatusPreset;
            if (SUCCEEDED(m_server.Subscribe(PathOf(which), Subscriber(), cookie, status)) && status >= 0) {
                m_cookies[which] = cookie;
                m_subscribed[which] = true;
            }
        }
    }

    std::wstring PathOf(int which) const { return ParameterPath(m_pathRoot, m_channelId, kValues[which].name); }

    // The last known value in its field ("%.0f"), a depth also on its slider.
    void ShowValue(DetectorValue which) {
        const double value = m_values[which].HostValue();
        if (which == kBackstep)
            SetControlText(IDC_BD_BACKSTEP_EDIT, FormatWholeNumber(value));
        else
            m_depths[which].Show(value);
    }

    // ---- Writes. Each takes the fields in the order min depth, max depth, backstep.

    bool IsFieldEmpty(int which) const { return IsEditEmpty(m_hWnd, kValues[which].editId); }
    double FieldValue(int which) const { return ReadEditDouble(m_hWnd, kValues[which].editId); }

    // All three, changed or not, through the screen manager; an empty field stops
    // the sending, and the last known values stay: this channel may not follow.
    void WriteToAllViews() {
        const frame::ParameterAccess screen = frame::ParameterAccess::OfScreenManager(Object(frame::kViewObject));
        if (!screen)
            return;
        long status = frame::kParameterStatusPreset;
        for (int which = 0; which < kValueCount && !IsFieldEmpty(which); ++which)
            screen.Set(BottomDetectionApplyAllName(kValues[which].name), FieldValue(which), status);
    }

    // Each changed value at its path; an empty field is skipped. The value is known
    // to the host only when the host took it (status not negative), so a refused
    // one is tried again at the next Apply.
    void WriteToChannelParameters() {
        long status = frame::kParameterStatusPreset;
        for (int which = 0; which < kValueCount; ++which) {
            if (IsFieldEmpty(which))
                continue;
            m_values[which].value = FieldValue(which);
            if (m_values[which].Changed())
                m_server.SetValue(PathOf(which), m_values[which], status);
        }
    }

    // Each changed value under its plain name; an empty field stops the writing.
    // Nothing tells whether the store took a value, so the last known values stay.
    void WriteToChannelValues() {
        const frame::ValueStore store(Object(frame::kChannelObject));
        for (int which = 0; store && which < kValueCount && !IsFieldEmpty(which); ++which) {
            const double typed = FieldValue(which);
            if (typed != m_values[which].HostValue())
                store.Put(kValues[which].name, typed);
        }
    }

    // ---- Keeping the min depth no deeper than the max depth. Each side reads the
    // other side's field, an empty one standing for no limit.

    static constexpr DetectorValue OtherDepth(DetectorValue which) {
        return which == kMinDepth ? kMaxDepth : kMinDepth;
    }
    // Whether depth lies on the wrong side of the other field's depth.
    static bool Passes(DetectorValue which, double depth, double other) {
        return which == kMinDepth ? depth > other : other > depth;
    }
    double TypedDepth(DetectorValue which) const {
        return IsFieldEmpty(which) ? kEmptyField[which] : FieldValue(which);
    }
    // A depth that passes the other field's is replaced by it, shown in the field.
    double KeptInOrder(DetectorValue which, double depth) {
        const double other = TypedDepth(OtherDepth(which));
        if (!Passes(which, depth, other))
            return depth;
        m_depths[which].ShowValue(other);
        return other;
    }

    void OnAnyScroll(int /*scrollCode*/) { EnableApplyButton(true); }

    // A slider that passes the other field's depth goes back to the other slider's
    // entry, or one entry further back when that entry passes the typed depth too.
    template <DetectorValue which>
    void OnDepthSliderMoved(int scrollCode) {
        SetDirty();
        if (scrollCode == TB_ENDTRACK)
            return;
        frame::CLadderTriad& depth = m_depths[which];
        const double other = TypedDepth(OtherDepth(which));
        if (!Passes(which, depth.SliderValue(), other)) {
            depth.ShowValue(depth.SliderValue());
            return;
        }
        int back = m_depths[OtherDepth(which)].slider.GetPos();
        if (Passes(which, LadderValueAt(kDepthLadder, back), other))
            back += which == kMinDepth ? -1 : 1;  // LadderValueAt keeps it on the ladder
        depth.Show(LadderValueAt(kDepthLadder, back));
    }

    // Runs on every scroll code of the arrows, with the value their last step left.
    template <DetectorValue which>
    void OnDepthSpinStepped(int /*scrollCode*/) {
        SetDirty();
        m_depths[which].MoveSlider(KeptInOrder(which, m_depths[which].spin.m_dValue));
    }

    // A typed depth that differs from the last known one makes the page dirty.
    template <DetectorValue which>
    void OnDepthEditLeft() {
        const double depth = KeptInOrder(which, TypedDepth(which));
        m_depths[which].MoveSlider(depth);
        if (depth != m_values[which].HostValue()) {
            SetDirty();
            EnableApplyButton(true);
        }
    }

    // ---- State

    frame::CLadderTriad m_depths[2] = {
        frame::CLadderTriad({IDC_BD_MIN_DEPTH_SLIDER, IDC_BD_MIN_DEPTH_EDIT, IDC_BD_MIN_DEPTH_SPIN,
                             IDC_BD_MIN_DEPTH_TOP_LABEL, IDC_BD_MIN_DEPTH_BOTTOM_LABEL}),
        frame::CLadderTriad({IDC_BD_MAX_DEPTH_SLIDER, IDC_BD_MAX_DEPTH_EDIT, IDC_BD_MAX_DEPTH_SPIN,
                             IDC_BD_MAX_DEPTH_TOP_LABEL, IDC_BD_MAX_DEPTH_BOTTOM_LABEL}),
    };
    CSpinButtonDoubleCtrl m_backstepSpin;
    // The alarm group is never shown; its up-downs are only given their limits.
    CSpinButtonDoubleCtrl m_minAlarmSpin;
    CSpinButtonDoubleCtrl m_maxAlarmSpin;

    // Last known values: read, reported by the host, or taken by its parameter server.
    frame::Tracked<double> m_values[kValueCount];
    std::wstring m_pathRoot;
    std::wstring m_channelId;
    bool m_locked = false;
    frame::ParameterServer m_server;  // kept until the page goes
    long m_cookies[kValueCount] = {};
    bool m_subscribed[kValueCount] = {};
};

}  // namespace

HRESULT CreateBottomDetectorDialog(REFIID riid, void** page) {
    return frame::CreatePage<CBottomDetectorDialog>(riid, page);
}

}  // namespace tavrel
