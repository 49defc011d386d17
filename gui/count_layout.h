// Where the controls of the drawer count screen sit: the screen takes the manager frame's place,
// with one row per amount box (label, box, expected figure) and its three buttons at the foot.
#pragma once

#include <QRect>
#include <vector>

#include "gui/layout.h"

namespace tillora::gui {

// The placements of fracount (at `frame`, the manager frame's rectangle) and of the controls in it.
std::vector<Placement> count_screen_placements(const QRect& frame);

}  // namespace tillora::gui
