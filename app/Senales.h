// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// SIGTERM and SIGINT close the window as its close button does, so a session that
// ends still saves the settings.
#include <QObject>
#include <functional>

namespace quimbel {

class CierrePorSenal : public QObject {
  public:
    // Runs cerrar on the GUI thread when the process is asked to terminate.
    explicit CierrePorSenal(std::function<void()> cerrar, QObject* padre = nullptr);
};

} // namespace quimbel
