// SPDX-License-Identifier: GPL-3.0-or-later
#include "PageControl.h"

#include <QStyleOptionTab>

namespace quimbel {

void BarraPestanas::initStyleOption(QStyleOptionTab* opcion, int indice) const {
    QTabBar::initStyleOption(opcion, indice);
    if (!isTabVisible(indice)) {
        opcion->rect = QRect();
        opcion->text.clear();
        opcion->icon = QIcon();
    }
}

TPageControl::TPageControl(QWidget* padre) : QTabWidget(padre) {
    setTabBar(new BarraPestanas(this));
}

} // namespace quimbel
