// One value shown three ways: a trackbar on a value ladder with its two end labels,
// an edit holding the value's text, and the up-down that steps it. The edit's text
// is the value of record; the page decides when the three are brought in step.
#pragma once

#include "NumericControls.h"
#include "Window.h"

#include <windows.h>

namespace tavrel::frame {

class CLadderTriad {
public:
    struct Ids {
        int slider;
        int edit;
        int spin;
        int firstLabel;  // above a vertical trackbar: the ladder's first entry
        int lastLabel;   // below it: the last entry
    };

    explicit CLadderTriad(const Ids& ids) : m_ids(ids) {}

    // Lists the three controls in a page's message map: attached at initialisation,
    // and the up-down's arrow presses step the edit's value.
    template <class Map>
    void Bind(Map& on) {
        on.Control(m_ids.slider, slider);
        on.Control(m_ids.edit, edit);
        on.Spin(m_ids.spin, spin);
    }

    // Puts the triad on a ladder: the trackbar's range, the end labels, and the
    // up-down's limits (the ladder's ends, whole numbers).
    void UseLadder(const ValueLadder& ladder);

    // The ladder entry at the thumb.
    double SliderValue() const { return LadderTrackBarValue(slider, m_ladder); }
    // The thumb to the entry nearest to value.
    void MoveSlider(double value) { SetLadderTrackBarValue(slider, m_ladder, value); }
    // The value as the edit's text, "%.0f".
    void ShowValue(double value);
    // Both: the thumb to the nearest entry and the value into the edit.
    void Show(double value);

    bool IsEmpty() const { return ::GetWindowTextLengthW(edit) == 0; }
    // The edit's text read as a number (0 when there is none).
    double Value() const { return ReadEditDouble(edit); }

    const ValueLadder& Ladder() const { return m_ladder; }

    CTrackBarCtrl slider;
    CWindow edit;
    CSpinButtonDoubleCtrl spin;

private:
    Ids m_ids;
    ValueLadder m_ladder{kDepthLadderValues, 0};
};

}  // namespace tavrel::frame
