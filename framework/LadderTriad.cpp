#include "LadderTriad.h"

namespace tavrel::frame {

void CLadderTriad::UseLadder(const ValueLadder& ladder) {
    m_ladder = ladder;
    SetUpLadderTrackBar(slider, ladder);
    SetLadderEndLabels(::GetParent(slider), m_ids.firstLabel, m_ids.lastLabel, ladder);
    spin.SetDoubleRange(0, LadderValueAt(ladder, 0), LadderValueAt(ladder, ladder.lastIndex));
}

void CLadderTriad::ShowValue(double value) { ::SetWindowTextW(edit, FormatWholeNumber(value).c_str()); }

void CLadderTriad::Show(double value) {
    MoveSlider(value);
    ShowValue(value);
}

}  // namespace tavrel::frame
