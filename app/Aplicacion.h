// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application object: every error that no handler catches ends only the handler
// that raised it, and is shown in the application's error box.
#include <QApplication>
#include <functional>

namespace quimbel {

class Aplicacion : public QApplication {
  public:
    Aplicacion(int& argc, char** argv) : QApplication(argc, argv) {}
    // Where uncaught errors are shown (the main window's "Quimbel" box).
    void PonerManejadorError(std::function<void(const QString&)> manejador) {
        manejador_ = std::move(manejador);
    }
    bool notify(QObject* receptor, QEvent* evento) override;

  private:
    std::function<void(const QString&)> manejador_;
};

} // namespace quimbel
