// SPDX-License-Identifier: GPL-3.0-or-later
// What the desktop sees of the program: the desktop file name and the installed icon, the
// taskbar progress and the notification of a long run, heard by a stand-in notification
// service on the private session bus this test runs on (dbus-run-session).
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QIcon>
#include <QtTest>
#include <algorithm>

#include "Ventana.h"
#include "app/Arranque.h"

using namespace quimbel;
using quimbel::prueba::VentanaDePrueba;

namespace {

const QString Id = QStringLiteral("io.github.quimbel.Quimbel");

struct Notificacion {
    QString aplicacion, icono, resumen, cuerpo;
    QVariantMap pistas;
};

struct Entrada {
    QString uri;
    double progreso;
    bool visible;
};

} // namespace

// The desktop's side: a notification service and a dock reading the launcher signal.
class Escritorio : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
  public:
    QList<Notificacion> notificaciones;
    QList<Entrada> entradas;
  public slots:
    uint Notify(const QString& aplicacion, uint, const QString& icono, const QString& resumen,
                const QString& cuerpo, const QStringList&, const QVariantMap& pistas, int) {
        notificaciones.push_back({aplicacion, icono, resumen, cuerpo, pistas});
        return static_cast<uint>(notificaciones.size());
    }
    void Update(const QString& uri, const QVariantMap& propiedades) {
        entradas.push_back({uri, propiedades.value(QStringLiteral("progress")).toDouble(),
                            propiedades.value(QStringLiteral("progress-visible")).toBool()});
    }
};

class EscritorioTest : public QObject {
    Q_OBJECT
  private slots:
    void nombreEIconoInstalado();
    void sinServicioNadaEspera();
    void progresoYAvisoDeUnaCorridaLarga();

  private:
    // A split of 3 pieces run from the window; false when it did not end with its box.
    static bool Cortar(VentanaDePrueba& v, TFormMain& f);
};

bool EscritorioTest::Cortar(VentanaDePrueba& v, TFormMain& f) {
    v.Escribir(QStringLiteral("f.bin"), QByteArray(30, 'y'));
    f.FilenameEditFicheroCortar->setText(v.Ruta(QStringLiteral("f.bin")));
    f.ComboBoxSizes->setEditText(QStringLiteral("10"));
    const size_t antes = v.dialogos.cajas.size();
    v.dialogos.reemplazos = {true}; // the pieces of an earlier run
    f.ExplorerButtonCortar->click();
    return v.dialogos.cajas.size() == antes + 1 &&
           v.dialogos.cajas.back().texto == QStringLiteral("¡ Proceso finalizado !");
}

void EscritorioTest::nombreEIconoInstalado() {
    // The icon theme as installed: the entry's icon under hicolor, described by its index.
    QTemporaryDir datos;
    const QString apps = datos.path() + QStringLiteral("/icons/hicolor/scalable/apps/");
    QVERIFY(QDir().mkpath(apps));
    QFile indice(datos.path() + QStringLiteral("/icons/hicolor/index.theme"));
    QVERIFY(indice.open(QIODevice::WriteOnly));
    indice.write("[Icon Theme]\nName=Hicolor\nDirectories=scalable/apps\n\n"
                 "[scalable/apps]\nSize=48\nMinSize=1\nMaxSize=512\nType=Scalable\n");
    indice.close();
    QVERIFY(QFile::copy(QStringLiteral(CARPETA_FUENTES "/escritorio/") + Id + QStringLiteral(".svg"),
                        apps + Id + QStringLiteral(".svg")));
    QIcon::setThemeSearchPaths({datos.path() + QStringLiteral("/icons")});
    QIcon::setThemeName(QStringLiteral("hicolor"));
    PrepararAplicacion(*qApp);
    QCOMPARE(QGuiApplication::desktopFileName(), Id);
    QCOMPARE(QApplication::applicationName(), QStringLiteral("Quimbel"));
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    QCOMPARE(f.windowIcon().name(), Id);
    const QImage instalado = f.windowIcon().pixmap(QSize(48, 48)).toImage();
    QVERIFY(!instalado.isNull());

    // Without it in the theme, the same picture from the program itself.
    QIcon::setThemeSearchPaths({datos.path() + QStringLiteral("/nada")});
    PrepararAplicacion(*qApp);
    QVERIFY(f.windowIcon().name().isEmpty());
    QCOMPARE(f.windowIcon().pixmap(QSize(48, 48)).toImage(), instalado);
}

void EscritorioTest::sinServicioNadaEspera() {
    QVERIFY(QDBusConnection::sessionBus().isConnected());
    QVERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(
        QStringLiteral("org.freedesktop.Notifications")));
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    f.Avisos().umbral = std::chrono::milliseconds(0);
    QElapsedTimer reloj;
    reloj.start();
    QVERIFY(Cortar(v, f));
    QVERIFY2(reloj.elapsed() < 2000, "nothing waits for an answer");
}

void EscritorioTest::progresoYAvisoDeUnaCorridaLarga() {
    QDBusConnection bus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("escritorio"));
    Escritorio escritorio;
    QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &escritorio,
                               QDBusConnection::ExportAllSlots));
    QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.Notifications")));
    QVERIFY(bus.connect(QString(), QString(), QStringLiteral("com.canonical.Unity.LauncherEntry"),
                        QStringLiteral("Update"), &escritorio, SLOT(Update(QString, QVariantMap))));

    // A short run, then a long one in the active window: progress only. Then a long one
    // behind other windows: its box is also a notification, the only one.
    VentanaDePrueba v;
    TFormMain& activa = v.CrearActiva();
    QVERIFY(Cortar(v, activa));
    activa.Avisos().umbral = std::chrono::milliseconds(0);
    QVERIFY(Cortar(v, activa));
    VentanaDePrueba w;
    TFormMain& detras = w.Crear();
    detras.Avisos().umbral = std::chrono::milliseconds(0);
    QVERIFY(Cortar(w, detras));
    QTRY_COMPARE(escritorio.notificaciones.size(), 1);
    const Notificacion& n = escritorio.notificaciones[0];
    QCOMPARE(n.aplicacion, QStringLiteral("Quimbel"));
    QCOMPARE(n.cuerpo, QStringLiteral("¡ Proceso finalizado !"));
    QCOMPARE(n.icono, Id);
    QCOMPARE(n.pistas.value(QStringLiteral("desktop-entry")).toString(), Id);

    // Each of the three runs: the bar appears at 0, grows to 1 and goes.
    const auto ocultas = [&] {
        return std::count_if(escritorio.entradas.begin(), escritorio.entradas.end(),
                             [](const Entrada& e) { return !e.visible; });
    };
    QTRY_COMPARE(ocultas(), 3);
    double anterior = -1;
    for (const Entrada& e : escritorio.entradas) {
        QCOMPARE(e.uri, QStringLiteral("application://") + Id + QStringLiteral(".desktop"));
        if (!e.visible) {
            QCOMPARE(anterior, 1.0);
            anterior = -1;
            continue;
        }
        QVERIFY(anterior < 0 ? e.progreso == 0 : e.progreso > anterior);
        anterior = e.progreso;
    }
}

QTEST_MAIN(EscritorioTest)
#include "EscritorioTest.moc"
