// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the desktop hears of a run, over the session's D-Bus: its progress on the program's
// taskbar entry (the com.canonical.Unity.LauncherEntry signal that docks read) and, when a
// long run comes to a box while the window is not active, a desktop notification
// (org.freedesktop.Notifications). Without a session bus, or with nobody listening, nothing
// happens and nothing waits.
#include <QElapsedTimer>
#include <QString>
#include <chrono>
#include <cstdint>
#include <optional>

class QDBusConnection;

namespace quimbel {

class AvisosEscritorio {
  public:
    // The runs of a window whose desktop entry has this ID (io.github.quimbel.Quimbel).
    explicit AvisosEscritorio(QString id);

    // A run starts: its clock starts, and it may notify once.
    void Empezar();
    // The run's progress, hechos of total bytes; a total below 0 takes the bar off the entry.
    // The signal goes out when the shown hundredth changes, or the bar appears or goes.
    void Progreso(int64_t hechos, int64_t total);
    // A box comes up during the run with texto: when the run has lasted at least Umbral and
    // the window is not active, the first such box of the run is also a notification (summary
    // "Quimbel", texto as its body, critical for an error).
    void Caja(const QString& texto, bool error, bool ventanaActiva);
    // The run is over: the bar leaves the entry.
    void Terminar();

    // How long a run must last before its box is notified (10 s).
    std::chrono::milliseconds umbral{10000};

  private:
    // The session bus, when the session has one: connected on first use, never autolaunched.
    static std::optional<QDBusConnection> Bus();
    void Lanzador(double progreso, bool visible) const;

    QString id_;
    QElapsedTimer reloj_;
    bool avisado_ = true;
    int centesimas_ = -1; // the hundredth last sent; -1: no bar on the entry
};

} // namespace quimbel
