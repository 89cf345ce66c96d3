// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the window opens: its saved placement, brought into the screens there are now.
#include <QList>
#include <QRect>
#include <QSize>

namespace quimbel {

// The placement for a window saved at guardada (position and size), given the available
// area of each screen (the primary one first) and the window's least size. A size below
// minimo grows to it. A placement lying wholly within the areas (across two screens too) is
// kept as it is. Otherwise it goes to the screen holding the largest part of it (when none
// does, the one whose centre is nearest its centre): its size cut to that screen's area,
// never below minimo, and its position moved the least that brings it inside; a window
// larger than the area keeps its top left corner in it. With no areas, guardada with its
// size grown to minimo.
QRect Colocar(const QRect& guardada, const QList<QRect>& areas, const QSize& minimo);

} // namespace quimbel
