// An error that no handler catches ends only that handler and is shown in the
// application's box titled "Quimbel".
#include <QtTest>
#include <stdexcept>

#include "Ventana.h"
#include "app/Aplicacion.h"

using namespace quimbel;
using quimbel::prueba::VentanaDePrueba;

namespace {
class Lanzador : public QObject {
  public:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) throw std::runtime_error("Cannot create file /x/Sizes.txt");
        return QObject::event(e);
    }
};
} // namespace

class AplicacionTest : public QObject {
    Q_OBJECT
  private slots:
    void errorNoCapturado() {
        VentanaDePrueba v;
        TFormMain& f = v.Crear();
        auto* app = static_cast<Aplicacion*>(QCoreApplication::instance());
        app->PonerManejadorError([&](const QString& texto) { f.ErrorAplicacion(texto); });
        Lanzador l;
        QEvent evento(QEvent::User);
        QCoreApplication::sendEvent(&l, &evento);
        QCOMPARE(v.dialogos.Textos(), QStringList{QStringLiteral("Cannot create file /x/Sizes.txt.")});
        QCOMPARE(v.dialogos.cajas[0].titulo, QStringLiteral("Quimbel"));
        QCOMPARE(v.dialogos.cajas[0].icono, ServicioDialogos::Icono::Error);
        // The application goes on.
        f.ExplorerButtonCortar->click();
        QCOMPARE(v.dialogos.Textos().size(), 2);
    }
};

int main(int argc, char** argv) {
    Aplicacion app(argc, argv);
    AplicacionTest prueba;
    return QTest::qExec(&prueba, argc, argv);
}
#include "AplicacionTest.moc"
