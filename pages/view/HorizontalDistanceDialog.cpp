// The horizontal axis page: what one page width of an echogram view covers (a sailed
// distance, a time span, or a number of pings, fixed or following the view size) and
// how the axis is labelled. Distance and time are shown in a unit the user picks; the
// view keeps nautical miles and seconds. The view's settings object (the second
// object) supplies and receives the values, and an optional third object with a value
// store receives every write as well.
#include "framework/Page.h"

#include <cmath>

namespace tavrel {
namespace {

constexpr wchar_t kHorizontalAxis[] = L"HorizontalAxis";
constexpr wchar_t kTimeSpan[] = L"TimeSpan";
constexpr wchar_t kPingSpan[] = L"PingSpan";
constexpr wchar_t kDistanceSpan[] = L"DistanceSpan";
constexpr wchar_t kUserScale[] = L"UserScale";
constexpr wchar_t kDistanceIntervalUnit[] = L"DistanceIntervalUnit";
constexpr wchar_t kTimeIntervalUnit[] = L"TimeIntervalUnit";

// "HorizontalAxis": what a page width measures.
constexpr int kPingsByViewSize = 2;
constexpr int kDistanceAxis = 3;
constexpr int kTimeAxis = 4;
constexpr int kFixedPings = 5;
// "UserScale": how the axis is labelled.
constexpr int kAutoLabels = 1;
constexpr int kPingLabels = 2;
constexpr int kDistanceLabels = 3;
constexpr int kTimeLabels = 4;

// A distance that differs from the view's by less than this (nautical miles) is not
// written: a distance typed in metres rarely converts back exactly.
constexpr double kDistanceTolerance = 0.1;
// Added before a time is cut to whole seconds, so that 0.05 hours (180 seconds, and a
// hair less in binary) stays 180.
constexpr double kWholeSecondMargin = 0.1;

// A unit a span is shown in: its entry in the unit box, its size in the row's
// smallest unit, the up-down's range in it, and the decimals a unit switch shows.
struct Unit {
    const wchar_t* name;
    double size;
    int decimals;
    double min;
    double max;
    int shownDecimals;
};

// The unit boxes are sorted lists, so an entry's index is the unit's number for the host.
// "TimeIntervalUnit": 0 hours, 1 minutes, 2 seconds; the view keeps seconds.
constexpr Unit kTimeUnits[] = {
    {L"hours", 3600, 1, 0.1, 2.0, 1},
    {L"minutes", 60, 1, 5.0, 60.0, 1},
    {L"seconds", 1, -1, 500, 3600, 0},
};
// "DistanceIntervalUnit": 0 metres, 1 nautical miles; the view keeps nautical miles.
constexpr Unit kDistanceUnits[] = {
    {L"meters", 1, 0, 5.0, 600000.0, 1},
    {L"nmi", 1852, 1, 0.1, 20.0, 1},
};
constexpr int kMinutes = 1;
constexpr int kSeconds = 2;
constexpr int kNauticalMiles = 1;

// The units the page starts with when the host supplies none, or not as VT_I4:
// minutes and nautical miles. They are the units the page shows any unit number it
// does not know in, so the unit the user sees is the one the arrows step in, a unit
// switch converts from and Apply converts with, and Apply writes back a unit the view
// knows. A unit number from the host that the page does not know is shown, stepped
// and converted in the same way (minutes, nautical miles) and written back as it
// came, until the user picks a unit.
constexpr int kInitialTimeUnit = kMinutes;
constexpr int kInitialDistanceUnit = kNauticalMiles;

// value from a unit of size from into a unit of size to, multiplied or divided by the
// whole ratio of the two (60, 3600, 1852), as a person converting would.
double ConvertUnits(double value, double from, double to) {
    return from >= to ? value * (from / to) : value / (to / from);
}

// One span shown in a unit of the user's choice: an edit with its up-down, and the
// unit box beside it.
class CUnitField {
public:
    struct Ids {
        int edit;
        int spin;
        int unitBox;
    };

    // units: the box's entries by number; fallback: the unit any other number is
    // shown in; hostUnit: the unit the view keeps the span in.
    template <size_t N>
    CUnitField(const Ids& ids, const Unit (&units)[N], int fallback, int hostUnit, int initialUnit)
        : unit(initialUnit), m_ids(ids), m_units(units), m_count(static_cast<int>(N)), m_fallback(fallback),
          m_hostUnit(hostUnit) {}

    template <class Map>
    void Bind(Map& on) {
        on.Spin(m_ids.spin, m_spin);
        on.Control(m_ids.unitBox, m_unitBox);
    }

    // Fills the unit box and shows the view's span in the page's unit, one decimal.
    void Show(HWND dialog, double span) {
        for (int i = 0; i < m_count; ++i)
            m_unitBox.AddString(m_units[i].name);
        const Unit& shown = Shown();
        RangeSpin(shown);
        ::SetWindowTextW(m_unitBox, shown.name);
        ::SetDlgItemTextW(dialog, m_ids.edit, FormatOneDecimal(ToShown(span)).c_str());
    }

    // The unit box's new entry: the field's value is converted into it, not clamped
    // to its range. An empty field changes nothing, not even the page's unit (the box
    // shows the new entry all the same). False when nothing changed.
    bool SwitchUnit(HWND dialog) {
        const int chosen = m_unitBox.GetCurSel();
        if (IsEditEmpty(dialog, m_ids.edit) || chosen == CB_ERR)
            return false;
        const Unit& to = m_units[chosen];
        const double value = ConvertUnits(ReadEditDouble(dialog, m_ids.edit), Shown().size, to.size);
        RangeSpin(to);
        unit = chosen;
        ::SetDlgItemTextW(dialog, m_ids.edit, FormatFixed(value, to.shownDecimals).c_str());
        return true;
    }

    // The field's value in the view's unit; false when the field is empty.
    bool ReadSpan(HWND dialog, double& span) const {
        if (IsEditEmpty(dialog, m_ids.edit))
            return false;
        span = ConvertUnits(ReadEditDouble(dialog, m_ids.edit), Shown().size, m_units[m_hostUnit].size);
        return true;
    }

    // The unit's number as the host knows it.
    int unit;

private:
    const Unit& Shown() const { return unit >= 0 && unit < m_count ? m_units[unit] : m_units[m_fallback]; }
    double ToShown(double span) const { return ConvertUnits(span, m_units[m_hostUnit].size, Shown().size); }
    void RangeSpin(const Unit& shown) { m_spin.SetDoubleRange(shown.decimals, shown.min, shown.max); }

    Ids m_ids;
    const Unit* m_units;
    int m_count;
    int m_fallback;
    int m_hostUnit;
    CSpinButtonDoubleCtrl m_spin;
    frame::CComboBox m_unitBox;
};

// The controls each axis kind uses; the others are disabled.
constexpr int kDistanceRow[] = {IDC_HA_DISTANCE_UNIT_COMBO, IDC_HA_DISTANCE_EDIT, IDC_HA_DISTANCE_SPIN};
constexpr int kTimeRow[] = {IDC_HA_TIME_UNIT_COMBO, IDC_HA_TIME_EDIT, IDC_HA_TIME_SPIN};
constexpr int kPingField[] = {IDC_HA_PING_EDIT, IDC_HA_PING_SPIN};

// The view's value store, and the third object's when it has one: every value goes
// to the first, then to the second.
struct Stores {
    frame::ValueStore view;
    frame::ValueStore third;

    template <class V>
    void Put(const wchar_t* name, const V& value) const {
        view.Put(name, value);
        third.Put(name, value);
    }
};

class CHorizontalDistanceDialog
    : public frame::CPage<CHorizontalDistanceDialog, &CLSID_HorizontalDistanceDialog>,
      public frame::CFormControl<CHorizontalDistanceDialog, nullptr> {  // refused objects are not logged
public:
    static constexpr frame::PageInfo kInfo{IDD_HORIZONTAL_DISTANCE, IDS_TITLE_HORIZONTAL_DISTANCE,
                                           L"qz4_para_horizontal_axis.html", IDC_APPLY, frame::ApplyClearsDirty::No};
    using Interfaces = frame::InterfaceList<IPropertyPage, IFormControl>;

    BOOL OnInitDialog() {
        const frame::ValueStore store = frame::ValueStore::Query(Object(frame::kChannelObject));
        store.Read(kHorizontalAxis, m_axisKind);
        store.Read(kTimeSpan, m_timeSpan);
        store.Read(kPingSpan, m_pingSpan);
        store.Read(kDistanceSpan, m_distanceSpan);
        store.Read(kUserScale, m_labelKind);
        store.Read(kDistanceIntervalUnit, m_distance.unit);
        store.Read(kTimeIntervalUnit, m_time.unit);
        ShowAxisKind();
        ShowLabelKind();
        SetDirty(false);
        m_pingSpin.SetDoubleRange(-1, 100, 2000);
        m_time.Show(m_hWnd, m_timeSpan);
        m_distance.Show(m_hWnd, m_distanceSpan);
        SetControlText(IDC_HA_PING_EDIT, FormatCount(m_pingSpan));
        LocateHelpViewer();
        EnableApplyButton(false);
        return FALSE;  // the dialog manager leaves the focus alone
    }

    // Compares each span with the one read at initialisation (not with an earlier
    // Apply's) and stops at the first empty field: the writes before it stand, and the
    // axis, label and unit settings after the spans are not written.
    void WriteValues() {
        const Stores stores{frame::ValueStore::Query(Object(frame::kChannelObject)),
                            frame::ValueStore::Query(Object(frame::kThirdObject))};
        if (!stores.view)
            return;
        double seconds = 0;
        if (!m_time.ReadSpan(m_hWnd, seconds))
            return;
        const int timeSpan = static_cast<int>(CutTowardZero(seconds + kWholeSecondMargin));
        if (timeSpan != m_timeSpan)
            stores.Put(kTimeSpan, timeSpan);
        double nauticalMiles = 0;
        if (!m_distance.ReadSpan(m_hWnd, nauticalMiles))
            return;
        if (std::fabs(nauticalMiles - m_distanceSpan) >= kDistanceTolerance)
            stores.Put(kDistanceSpan, nauticalMiles);
        if (IsEditEmpty(m_hWnd, IDC_HA_PING_EDIT))
            return;
        const int pingSpan = static_cast<int>(ReadEditLong(m_hWnd, IDC_HA_PING_EDIT));
        if (pingSpan != m_pingSpan)
            stores.Put(kPingSpan, pingSpan);
        stores.Put(kHorizontalAxis, m_axisKind);
        stores.Put(kUserScale, m_labelKind);
        stores.Put(kDistanceIntervalUnit, m_distance.unit);
        stores.Put(kTimeIntervalUnit, m_time.unit);
    }

    void OnApplied() { EnableApplyButton(false); }

    template <class Map>
    void MessageMap(Map& on) {
        on.Command(IDC_HA_DISTANCE_RADIO, BN_CLICKED, &CHorizontalDistanceDialog::OnDistanceChosen);
        on.Command(IDC_HA_TIME_RADIO, BN_CLICKED, &CHorizontalDistanceDialog::OnTimeChosen);
        on.Command(IDC_HA_PING_RADIO, BN_CLICKED, &CHorizontalDistanceDialog::OnPingsChosen);
        on.Command(IDC_HA_VIEW_SIZE, BN_CLICKED, &CHorizontalDistanceDialog::OnViewSizeClicked);
        on.Command(IDC_HA_LABEL_AUTO, frame::kAnyCode, &CHorizontalDistanceDialog::OnLabelChosen<kAutoLabels>);
        on.Command(IDC_HA_LABEL_TIME, frame::kAnyCode, &CHorizontalDistanceDialog::OnLabelChosen<kTimeLabels>);
        on.Command(IDC_HA_LABEL_PING, frame::kAnyCode, &CHorizontalDistanceDialog::OnLabelChosen<kPingLabels>);
        on.Command(IDC_HA_LABEL_DISTANCE, frame::kAnyCode,
                   &CHorizontalDistanceDialog::OnLabelChosen<kDistanceLabels>);
        on.Command(IDC_HA_DISTANCE_UNIT_COMBO, CBN_SELCHANGE, &CHorizontalDistanceDialog::OnDistanceUnitChosen);
        on.Command(IDC_HA_TIME_UNIT_COMBO, CBN_SELCHANGE, &CHorizontalDistanceDialog::OnTimeUnitChosen);
        on.Notify(frame::kAnyControl, UDN_DELTAPOS, &CHorizontalDistanceDialog::OnArrowPressed);
        on.Spin(IDC_HA_PING_SPIN, m_pingSpin);
        m_time.Bind(on);
        m_distance.Bind(on);
    }

private:
    // The axis kind's row: kinds other than distance, time and fixed pings show pings
    // following the view size.
    void ShowAxisKind() {
        if (m_axisKind == kDistanceAxis) {
            ::CheckRadioButton(m_hWnd, IDC_HA_DISTANCE_RADIO, IDC_HA_PING_RADIO, IDC_HA_DISTANCE_RADIO);
            OnDistanceChosen();
        } else if (m_axisKind == kTimeAxis) {
            ::CheckRadioButton(m_hWnd, IDC_HA_DISTANCE_RADIO, IDC_HA_PING_RADIO, IDC_HA_TIME_RADIO);
            OnTimeChosen();
        } else {
            ::CheckRadioButton(m_hWnd, IDC_HA_DISTANCE_RADIO, IDC_HA_PING_RADIO, IDC_HA_PING_RADIO);
            if (m_axisKind != kFixedPings)
                ::CheckDlgButton(m_hWnd, IDC_HA_VIEW_SIZE, BST_CHECKED);
            OnPingsChosen();
        }
    }

    // Ping labels (a kind the user cannot choose) check the hidden button, so that no
    // visible one is checked; any other unknown kind shows as automatic. The kind
    // itself stays as read until the user picks one.
    void ShowLabelKind() {
        int button = IDC_HA_LABEL_AUTO;
        if (m_labelKind == kPingLabels)
            button = IDC_HA_LABEL_PING;
        else if (m_labelKind == kDistanceLabels)
            button = IDC_HA_LABEL_DISTANCE;
        else if (m_labelKind == kTimeLabels)
            button = IDC_HA_LABEL_TIME;
        ::CheckRadioButton(m_hWnd, IDC_HA_LABEL_AUTO, IDC_HA_LABEL_DISTANCE, button);
    }

    // ---- The axis rows: each choice marks the page dirty and enables Apply.

    void OnDistanceChosen() {
        ChooseAxis(kDistanceAxis);
        EnableRows(true, false);
        EnableControl(IDC_HA_VIEW_SIZE, false);
        EnablePingField(false);
    }
    void OnTimeChosen() {
        ChooseAxis(kTimeAxis);
        EnableRows(false, true);
        EnableControl(IDC_HA_VIEW_SIZE, false);
        EnablePingField(false);
    }
    void OnPingsChosen() {
        const bool viewSize = IsChecked(IDC_HA_VIEW_SIZE);
        ChooseAxis(viewSize ? kPingsByViewSize : kFixedPings);
        EnableRows(false, false);
        EnableControl(IDC_HA_VIEW_SIZE, true);
        EnablePingField(!viewSize);
    }
    // With "View size" the page width in pings follows the view; without, it is the field's.
    void OnViewSizeClicked() {
        const bool viewSize = IsChecked(IDC_HA_VIEW_SIZE);
        ChooseAxis(viewSize ? kPingsByViewSize : kFixedPings);
        EnablePingField(!viewSize);
    }

    void ChooseAxis(int axisKind) {
        SetDirty();
        m_axisKind = axisKind;
        EnableApplyButton(true);
    }
    void EnableRows(bool distance, bool time) {
        for (int id : kDistanceRow)
            EnableControl(id, distance);
        for (int id : kTimeRow)
            EnableControl(id, time);
    }
    void EnablePingField(bool enable) {
        for (int id : kPingField)
            EnableControl(id, enable);
    }

    // ---- Labels, units and arrows: typing alone neither enables Apply nor marks the page dirty.

    // Enables Apply without marking the page dirty.
    template <int kLabelKind>
    void OnLabelChosen() {
        m_labelKind = kLabelKind;
        EnableApplyButton(true);
    }
    void OnDistanceUnitChosen() {
        if (m_distance.SwitchUnit(m_hWnd))
            EnableApplyButton(true);
    }
    void OnTimeUnitChosen() {
        if (m_time.SwitchUnit(m_hWnd))
            EnableApplyButton(true);
    }
    // Every arrow; the frame's up-downs then step their fields.
    LRESULT OnArrowPressed(NMHDR& /*header*/) {
        SetDirty();
        EnableApplyButton(true);
        return 0;
    }

    int m_axisKind = kPingsByViewSize;
    int m_labelKind = kAutoLabels;
    // The spans as read at initialisation: every Apply of the activation compares with these.
    int m_timeSpan = 1200;  // seconds
    int m_pingSpan = 1000;
    double m_distanceSpan = 5.0;  // nautical miles
    CUnitField m_time{{IDC_HA_TIME_EDIT, IDC_HA_TIME_SPIN, IDC_HA_TIME_UNIT_COMBO}, kTimeUnits, kMinutes, kSeconds,
                      kInitialTimeUnit};
    CUnitField m_distance{{IDC_HA_DISTANCE_EDIT, IDC_HA_DISTANCE_SPIN, IDC_HA_DISTANCE_UNIT_COMBO},
                          kDistanceUnits, kNauticalMiles, kNauticalMiles, kInitialDistanceUnit};
    CSpinButtonDoubleCtrl m_pingSpin;
};

}  // namespace

HRESULT CreateHorizontalDistanceDialog(REFIID riid, void** page) {
    return frame::CreatePage<CHorizontalDistanceDialog>(riid, page);
}

}  // namespace tavrel
