// The single target detection page: the six settings of a channel's single-target
// (TS) detection, each an edit with its up-down and a slider, written back to the
// host's settings store when they change. For a channel whose transceiver can
// calibrate, "Calibration..." applies them and hands them, with the channel's id, to
// the transceiver to start a calibration.
//
// Which object holds the settings depends on the host application: under "TK22" the
// processing unit's modified bottom, under "TK33" the processing unit's settings,
// elsewhere the settings of the channel's processing component.
//
// With fewer than two objects the page looks for nothing on the missing ones: it
// finds no channel and no settings store, logs that, shows the values it holds and
// writes nothing.
#include "framework/Page.h"

#include <utility>

namespace tavrel {
namespace {

constexpr wchar_t kInvalidInput[] = L"CEchoTraceDialog:Invalid input";
constexpr wchar_t kNoSettingsStore[] = L"EchoTrace dialog failed to connect to selected layer";
constexpr wchar_t kModifiedBottom[] = L"ModifiedBottom";
constexpr wchar_t kLocalLayer[] = L"Local";     // the layer of the channels this computer runs
constexpr wchar_t kEchoChannelPrefix[] = L"Echo";  // a channel replayed from its origin
constexpr long kProcessingComponent = 2;           // the channel's component with the settings
constexpr double kWriteTolerance = 0.05;           // smaller changes are not written
constexpr int kTickFrequency = 10;
// The dialog's result when it ends by starting a calibration.
constexpr INT_PTR kCalibrationStarted = IDC_ET_CALIBRATION;

// The six settings, in the order the page reads and writes them.
enum Setting { kMinEchoLength, kMaxEchoLength, kMinTs, kMaxGainCompensation, kMaxPhaseDeviation, kMinSpacing, kCount };

// One row of the dialog: the edit holds the value, the up-down steps it within its
// limits, and the slider spans the same limits: position = value x scale + offset,
// cut toward zero. The field exchange checks a typed value against wider limits.
struct Row {
    const wchar_t* parameter;
    double initial;
    int edit, spin, slider, firstLabel, lastLabel;
    int decimals;  // of the up-down and of the text a slider writes
    double low, high;
    double scale, offset;
    double exchangeLow, exchangeHigh;
};
constexpr Row kRows[kCount] = {
    {L"MinEchoLength", 0.8, IDC_ET_MIN_ECHO_LENGTH_EDIT, IDC_ET_MIN_ECHO_LENGTH_SPIN, IDC_ET_MIN_ECHO_LENGTH_SLIDER,
     IDC_ET_MIN_ECHO_LENGTH_LEFT_LABEL, IDC_ET_MIN_ECHO_LENGTH_RIGHT_LABEL, 1, 0, 5, 10, 0, 0, 10},
    {L"MaxEchoLength", 1.8, IDC_ET_MAX_ECHO_LENGTH_EDIT, IDC_ET_MAX_ECHO_LENGTH_SPIN, IDC_ET_MAX_ECHO_LENGTH_SLIDER,
     IDC_ET_MAX_ECHO_LENGTH_LEFT_LABEL, IDC_ET_MAX_ECHO_LENGTH_RIGHT_LABEL, 1, 0, 5, 10, 0, 0, 10},
    {L"MinTSValue", -50.0, IDC_ET_MIN_TS_EDIT, IDC_ET_MIN_TS_SPIN, IDC_ET_MIN_TS_SLIDER, IDC_ET_MIN_TS_LEFT_LABEL,
     IDC_ET_MIN_TS_RIGHT_LABEL, 0, -100, 0, 1, 100, -100, 0},
    {L"MaxGainCompensation", 3.0, IDC_ET_MAX_GAIN_COMP_EDIT, IDC_ET_MAX_GAIN_COMP_SPIN, IDC_ET_MAX_GAIN_COMP_SLIDER,
     IDC_ET_MAX_GAIN_COMP_LEFT_LABEL, IDC_ET_MAX_GAIN_COMP_RIGHT_LABEL, 1, 0, 6, 10, 0, 0, 10},
    {L"MaxPhaseDeviation", 20.0, IDC_ET_MAX_PHASE_DEV_EDIT, IDC_ET_MAX_PHASE_DEV_SPIN, IDC_ET_MAX_PHASE_DEV_SLIDER,
     IDC_ET_MAX_PHASE_DEV_LEFT_LABEL, IDC_ET_MAX_PHASE_DEV_RIGHT_LABEL, 1, 0, 20, 10, 0, 0, 20},
    {L"MinSpacing", 0.0, IDC_ET_MIN_SPACING_EDIT, IDC_ET_MIN_SPACING_SPIN, IDC_ET_MIN_SPACING_SLIDER,
     IDC_ET_MIN_SPACING_LEFT_LABEL, IDC_ET_MIN_SPACING_RIGHT_LABEL, 1, 0, 5, 10, 0, 0, 10},
};

int SliderPosition(const Row& row, double value) {
    return static_cast<int>(CutTowardZero(value * row.scale + row.offset));
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

// The settings the processing unit hands out, as a value store.
frame::ValueStore SettingsOf(IProcessingUnit* unit) {
    Microsoft::WRL::ComPtr<IUnknown> settings;
    if (!unit || unit->GetSettings(settings.GetAddressOf()) != S_OK)
        return {};
    return frame::ValueStore::Query(settings.Get());
}

class CEchoTraceDialog : public frame::CPage<CEchoTraceDialog, &CLSID_EchoTraceDialog>,
                         public frame::CWinDataExchange<CEchoTraceDialog>,
                         public frame::CFormControl<CEchoTraceDialog, kInvalidInput> {
public:
    static constexpr frame::PageInfo kInfo{IDD_ECHO_TRACE, IDS_TITLE_ECHO_TRACE, L"xxx_single_target_detection.html",
                                           IDC_APPLY, frame::ApplyClearsDirty::Yes};
    using Interfaces = frame::InterfaceList<IPropertyPage, IFormControl>;

    CEchoTraceDialog() {
        for (int setting = 0; setting < kCount; ++setting)
            m_values[setting] = frame::Tracked<double>(kRows[setting].initial);
    }

    // The values keep what the previous run left where the host gives none.
    BOOL OnInitDialog() {
        SetUpRows();
        Microsoft::WRL::ComPtr<ITransceiverDirectory> directory;
        Microsoft::WRL::ComPtr<IChannel> channel;
        LocateHostInterface(Object(frame::kViewObject), directory);
        LocateHostInterface(Object(frame::kChannelObject), channel);
        LocateHelpViewer();
        // The first page of this class to open gives every page's log lines a host.
        AdoptHostLogger(Object(frame::kViewObject));
        FindSettingsStore(GetApplicationKind(Object(frame::kViewObject)), channel.Get(), directory.Get());
        ReadSettings();
        ExchangeFields(frame::ExchangeDirection::Load);  // each field's handler moves its slider
        EnableApplyButton(false);
        return TRUE;  // the dialog manager focuses the first field
    }

    // A field that fails the exchange (beep, focus) stops it; the values taken so
    // far are written all the same.
    void WriteValues() {
        ExchangeFields(frame::ExchangeDirection::Save);
        if (!m_store)
            return;
        for (int setting = 0; setting < kCount; ++setting) {
            if (m_values[setting].ChangedBeyond(kWriteTolerance))
                m_store.Put(kRows[setting].parameter, m_values[setting]);
        }
    }

    void OnApplied() { EnableApplyButton(false); }
    // OK and Cancel let the settings store go; a calibration start keeps it until
    // the next run or the page's end.
    void OnDialogEnding() { m_store = {}; }

    template <class Map>
    void MessageMap(Map& on) {
        BindRows(on, std::make_integer_sequence<int, kCount>());
        on.Notify(frame::kAnyControl, UDN_DELTAPOS, &CEchoTraceDialog::OnArrowPressed);
        on.Scroll(frame::kAnyControl, &CEchoTraceDialog::OnAnyScroll);
        on.Command(IDC_ET_CALIBRATION, BN_CLICKED, &CEchoTraceDialog::OnCalibrationClicked);
    }

private:
    // Each row: its up-down steps the field, its slider writes the field, and the
    // field moves the slider.
    template <class Map, int... setting>
    void BindRows(Map& on, std::integer_sequence<int, setting...>) {
        (BindRow<static_cast<Setting>(setting)>(on), ...);
    }
    template <Setting setting, class Map>
    void BindRow(Map& on) {
        on.Spin(kRows[setting].spin, m_spins[setting]);
        on.Control(kRows[setting].slider, m_sliders[setting]);
        on.Command(kRows[setting].edit, EN_CHANGE, &CEchoTraceDialog::OnFieldChanged<setting>);
        on.Scroll(kRows[setting].slider, &CEchoTraceDialog::OnSliderMoved<setting>);
    }

    // ---- Initialisation

    void SetUpRows() {
        for (int setting = 0; setting < kCount; ++setting) {
            const Row& row = kRows[setting];
            SetControlText(row.firstLabel, FormatWholeNumber(row.low));
            SetControlText(row.lastLabel, FormatWholeNumber(row.high));
            m_spins[setting].SetDoubleRange(row.decimals, row.low, row.high);
            m_sliders[setting].SetRange(SliderPosition(row, row.low), SliderPosition(row, row.high));
            m_sliders[setting].SetTicFreq(kTickFrequency);
        }
    }

    // The settings store by the application's route, and the calibration control
    // where this channel's transceiver offers one.
    void FindSettingsStore(ApplicationKind kind, IChannel* channel, ITransceiverDirectory* directory) {
        m_store = {};
        m_calibration.Reset();
        m_channelId.clear();
        if (!channel) {
            HideCalibrationButton();
            m_store = frame::ValueStore::Query(Object(frame::kChannelObject));
        } else if (kind == ApplicationKind::TK22 || kind == ApplicationKind::TK33) {
            HideCalibrationButton();
            m_store = ProcessingUnitStore(kind);
        } else {
            const bool busy = FindCalibrationControl(channel, directory);
            if (!m_calibration || busy)
                EnableControl(IDC_ET_CALIBRATION, false);
            m_store = ChannelSettingsStore(channel);
        }
    }

    void HideCalibrationButton() { ShowControl(IDC_ET_CALIBRATION, false); }

    // "TK22" keeps the settings in the processing unit's modified bottom, "TK33" in
    // the processing unit's own settings.
    frame::ValueStore ProcessingUnitStore(ApplicationKind kind) {
        Microsoft::WRL::ComPtr<IProcessingUnit> unit;
        LocateHostInterface(Object(frame::kViewObject), unit);
        if (!unit)
            return {};
        if (kind == ApplicationKind::TK33)
            return SettingsOf(unit.Get());
        UniqueVariant bottom;
        if (!frame::ValueStore::Query(unit.Get()).Get(kModifiedBottom, bottom) || bottom.get().vt != VT_UNKNOWN)
            return {};
        return frame::ValueStore::Query(bottom.get().punkVal);
    }

    frame::ValueStore ChannelSettingsStore(IChannel* channel) {
        Microsoft::WRL::ComPtr<IUnknown> component;
        Microsoft::WRL::ComPtr<IProcessingUnit> unit;
        channel->GetComponent(kProcessingComponent, component.GetAddressOf());
        if (!component || FAILED(component.As(&unit)))
            return {};
        return SettingsOf(unit.Get());
    }

    // Only the channels of the local layer can be calibrated from here, and only
    // those of a "KTA" or "KTB" transceiver. Returns whether the directory says it
    // is busy.
    bool FindCalibrationControl(IChannel* channel, ITransceiverDirectory* directory) {
        Microsoft::WRL::ComPtr<IUnknown> layer;
        const bool hasLayerSelection = GetSelectedLayer(Object(frame::kViewObject), layer);
        std::wstring layerName;  // a layer without a name is named ""
        GetLayerName(layer.Get(), layerName);
        if (hasLayerSelection && layerName != kLocalLayer)
            return IsBusy(directory);
        m_channelId = ChannelIdOf(channel);
        if (!directory || !(StartsWith(m_channelId, L"KTA") || StartsWith(m_channelId, L"KTB")))
            return false;
        Microsoft::WRL::ComPtr<IUnknown> transceiver;
        const UniqueBstr id = MakeBstr(m_channelId);
        if (directory->GetTransceiver(id.get(), transceiver.GetAddressOf()) == S_OK && transceiver)
            transceiver.As(&m_calibration);
        return IsBusy(directory);
    }

    // A directory whose IsBusy fails counts as not busy: the calibration control's
    // own IsBusy is asked again before a calibration starts.
    static bool IsBusy(ITransceiverDirectory* directory) {
        unsigned char busy = 0;
        return directory && SUCCEEDED(directory->IsBusy(&busy)) && busy != 0;
    }

    // A replayed channel ("Echo..." and more) is known by its origin's id. An id
    // the channel or its origin cannot give is empty, which no transceiver has.
    static std::wstring ChannelIdOf(IChannel* channel) {
        UniqueBstr id;
        if (FAILED(channel->GetChannelID(id.put())))
            return {};
        std::wstring text = BstrText(id.get());
        if (text.size() <= 4 || !StartsWith(text, kEchoChannelPrefix))
            return text;
        Microsoft::WRL::ComPtr<IChannelOrigin> origin;
        UniqueBstr originId;
        if (FAILED(channel->QueryInterface(IID_IChannelOrigin, reinterpret_cast<void**>(origin.GetAddressOf()))) ||
            FAILED(origin->GetOriginID(originId.put())))
            return {};
        return BstrText(originId.get());
    }

    void ReadSettings() {
        if (!m_store) {
            LogWarningMessage(L"%ls", kNoSettingsStore);
            return;
        }
        for (int setting = 0; setting < kCount; ++setting)
            m_store.Read(kRows[setting].parameter, m_values[setting]);
    }

    // The validated exchange, in the fields' own order; saving stops at the first
    // field that is not a number within its exchange limits.
    bool ExchangeFields(frame::ExchangeDirection direction) {
        return DDX_FloatFields(direction, {Field(kMinEchoLength), Field(kMaxEchoLength), Field(kMinTs),
                                           Field(kMaxPhaseDeviation), Field(kMaxGainCompensation), Field(kMinSpacing)});
    }
    frame::FloatField Field(Setting setting) {
        const Row& row = kRows[setting];
        return {row.edit, &m_values[setting].value, row.exchangeLow, row.exchangeHigh};
    }

    // ---- Control handlers

    // Typed, stepped or written by the page: the slider follows a field that holds
    // text.
    template <Setting setting>
    void OnFieldChanged() {
        const std::wstring text = frame::CWindow(::GetDlgItem(m_hWnd, kRows[setting].edit)).GetWindowText();
        if (text.empty())
            return;
        m_sliders[setting].SetPos(SliderPosition(kRows[setting], ParseLeadingDouble(text.c_str())));
        EnableApplyButton(true);
    }

    template <Setting setting>
    void OnSliderMoved(int /*scrollCode*/) {
        const Row& row = kRows[setting];
        const double value = (m_sliders[setting].GetPos() - row.offset) / row.scale;
        SetControlText(row.edit, FormatFixed(value, row.decimals));
    }

    void OnAnyScroll(int /*scrollCode*/) { EnableApplyButton(true); }
    LRESULT OnArrowPressed(NMHDR& /*header*/) {
        EnableApplyButton(true);
        return 0;
    }

    // Only a transceiver that answers that it is not busy calibrates. The settings
    // are applied first; the dialog then ends with its own result.
    void OnCalibrationClicked() {
        VARIANT_BOOL busy = VARIANT_TRUE;
        if (!m_calibration || m_calibration->IsBusy(&busy) != S_OK || busy != VARIANT_FALSE)
            return;
        WriteValues();
        const UniqueBstr text = MakeBstr(CalibrationSettings());
        m_calibration->StartCalibration(text.get());
        EndDialog(kCalibrationStarted);
    }
    double ValueOf(Setting setting) const { return m_values[setting].value; }

    // "TSDetection,ChannelID=<id>,MinTSValue=<v>,...,MinSpacing=<v>," with each value
    // to one decimal; the channel id counts up to its first NUL, as in any host text.
    std::wstring CalibrationSettings() const {
        std::wstring text = L"TSDetection,ChannelID=";
        text += m_channelId.c_str();
        text += L',';
        for (Setting setting :
             {kMinTs, kMinEchoLength, kMaxEchoLength, kMaxGainCompensation, kMaxPhaseDeviation, kMinSpacing}) {
            text += kRows[setting].parameter;
            text += L'=';
            text += FormatOneDecimal(ValueOf(setting));
            text += L',';
        }
        return text;
    }

    // ---- State

    CSpinButtonDoubleCtrl m_spins[kCount];
    frame::CTrackBarCtrl m_sliders[kCount];
    // The values as shown or taken from the fields, each with what the host last had.
    frame::Tracked<double> m_values[kCount];
    std::wstring m_channelId;  // read only where a calibration may start
    frame::ValueStore m_store;
    Microsoft::WRL::ComPtr<ICalibrationControl> m_calibration;
};

}  // namespace

HRESULT CreateEchoTraceDialog(REFIID riid, void** page) { return frame::CreatePage<CEchoTraceDialog>(riid, page); }

}  // namespace tavrel
