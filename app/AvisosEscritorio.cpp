// SPDX-License-Identifier: GPL-3.0-or-later
#include "AvisosEscritorio.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QFileInfo>
#include <QVariantMap>
#include <algorithm>

namespace quimbel {

AvisosEscritorio::AvisosEscritorio(QString id) : id_(std::move(id)) {}

std::optional<QDBusConnection> AvisosEscritorio::Bus() {
    // Without an address the bus library would try to start a bus of its own for the display.
    const QString tiempo = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") &&
        (tiempo.isEmpty() || !QFileInfo::exists(tiempo + QStringLiteral("/bus"))))
        return std::nullopt;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return std::nullopt;
    return bus;
}

void AvisosEscritorio::Empezar() {
    reloj_.start();
    avisado_ = false;
}

void AvisosEscritorio::Lanzador(double progreso, bool visible) const {
    const std::optional<QDBusConnection> bus = Bus();
    if (!bus) return;
    QDBusMessage senal = QDBusMessage::createSignal(
        QLatin1Char('/') + QString(id_).replace(QLatin1Char('.'), QLatin1Char('/')),
        QStringLiteral("com.canonical.Unity.LauncherEntry"), QStringLiteral("Update"));
    senal << QStringLiteral("application://") + id_ + QStringLiteral(".desktop")
          << QVariantMap{{QStringLiteral("progress"), progreso},
                         {QStringLiteral("progress-visible"), visible}};
    bus->send(senal);
}

void AvisosEscritorio::Progreso(int64_t hechos, int64_t total) {
    if (total < 0) {
        Terminar();
        return;
    }
    const int centesimas =
        total <= 0 ? 0 : static_cast<int>(std::clamp<int64_t>(hechos, 0, total) * 100 / total);
    if (centesimas == centesimas_) return;
    centesimas_ = centesimas;
    Lanzador(centesimas / 100.0, true);
}

void AvisosEscritorio::Terminar() {
    if (centesimas_ < 0) return;
    centesimas_ = -1;
    Lanzador(0, false);
}

void AvisosEscritorio::Caja(const QString& texto, bool error, bool ventanaActiva) {
    if (avisado_ || ventanaActiva || !reloj_.isValid() ||
        std::chrono::milliseconds(reloj_.elapsed()) < umbral)
        return;
    avisado_ = true;
    const std::optional<QDBusConnection> bus = Bus();
    if (!bus) return;
    QDBusMessage llamada = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    const QVariantMap pistas{{QStringLiteral("desktop-entry"), id_},
                             {QStringLiteral("urgency"), QVariant::fromValue<uchar>(error ? 2 : 1)}};
    llamada << QStringLiteral("Quimbel") << 0u << id_ << QStringLiteral("Quimbel") << texto << QStringList()
            << pistas << -1;
    // No answer is awaited: with no service there is nobody to tell.
    bus->asyncCall(llamada);
}

} // namespace quimbel
