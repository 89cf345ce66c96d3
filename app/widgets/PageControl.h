// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tabbed page control. A page whose tab is hidden may still be the current one;
// its tab is then drawn nowhere, not even as the selected tab.
#include <QTabBar>
#include <QTabWidget>

namespace quimbel {

class BarraPestanas : public QTabBar {
    Q_OBJECT
  public:
    using QTabBar::QTabBar;

  protected:
    // A hidden tab gets an empty rectangle, text and icon, so drawing it draws nothing.
    void initStyleOption(QStyleOptionTab* opcion, int indice) const override;
};

class TPageControl : public QTabWidget {
    Q_OBJECT
  public:
    explicit TPageControl(QWidget* padre = nullptr);
};

} // namespace quimbel
