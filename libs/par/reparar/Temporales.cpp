#include "Temporales.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "files/Salidas.h"

#include "NombreLibre.h"

namespace quimbel::par {

Temporales::~Temporales() {
    for (size_t t = 0; t < temporales_.size(); ++t)
        Descartar(t);
    // Innermost first; one that holds a file fails and stays.
    for (auto c = creadas_.rbegin(); c != creadas_.rend(); ++c) {
        quimbel::Carpeta padre;
        std::string hoja;
        if (ResolverBajo(carpeta_, *c, padre, hoja, true).Bien())
            unlinkat(padre.Descriptor(), hoja.c_str(), AT_REMOVEDIR);
    }
}

int Temporales::Padre(const Temporal& t, quimbel::Carpeta& padre) const {
    std::string hoja;
    const int error = ResolverBajo(carpeta_, t.nombre, padre, hoja, true).error;
    return error == 0 && hoja != t.hoja ? EINVAL : error;
}

int Temporales::Crear(const std::string& nombre) {
    Temporal t;
    t.nombre = nombre;
    if (const int error = CrearCarpetasBajo(carpeta_, nombre, creadas_).error; error != 0) return error;
    if (const int error = ResolverBajo(carpeta_, nombre, t.padre, t.hoja, true).error; error != 0)
        return error;
    const quimbel::Desenlace creado = PrimerNombreLibre(
        ".quimbel-reparando-",
        [&](const std::string& libre) { return CrearSalidaNueva(t.fichero, t.padre, libre); }, t.temporal);
    if (!creado.Bien()) return creado.error != 0 ? creado.error : EINVAL;
    t.id = t.fichero.Id();
    if (!mantener_) {
        t.fichero.Cerrar();
        t.padre = quimbel::Carpeta();
    }
    temporales_.push_back(std::move(t));
    return 0;
}

const quimbel::Fichero* Temporales::Abrir(size_t i, quimbel::Fichero& local) const {
    const Temporal& t = temporales_[i];
    if (t.fichero.Abierto()) return &t.fichero;
    quimbel::Carpeta padre;
    if (Padre(t, padre) != 0 || !AbrirSalida(local, padre, t.temporal).Bien() || !(local.Id() == t.id))
        return nullptr;
    return &local;
}

quimbel::Desenlace Temporales::AbrirLectura(size_t i, quimbel::Fichero& fichero) const {
    const Temporal& t = temporales_[i];
    quimbel::Carpeta resuelto;
    const quimbel::Carpeta* padre = &t.padre;
    if (!t.padre.Abierta()) {
        if (const int error = Padre(t, resuelto); error != 0) return quimbel::ErrorSistema(error);
        padre = &resuelto;
    }
    const quimbel::Desenlace abierto = AbrirFicheroEn(fichero, *padre, t.temporal);
    if (abierto.Bien() && !(fichero.Id() == t.id)) return quimbel::ErrorSistema(ESTALE);
    return abierto;
}

int Temporales::Colocar(size_t i, std::string& apartado) {
    Temporal& t = temporales_[i];
    apartado.clear();
    quimbel::Carpeta resuelto;
    const quimbel::Carpeta* padre = &t.padre;
    if (!t.padre.Abierta()) {
        if (const int error = Padre(t, resuelto); error != 0) return error;
        padre = &resuelto;
    }
    int error = RenombrarEn(*padre, t.temporal, t.hoja).error;
    if (error == EEXIST) {
        // Whatever stands at the name is kept beside it.
        std::string aparte;
        if (!PrimerNombreLibre(
                 t.hoja + ".", [&](const std::string& libre) { return RenombrarEn(*padre, t.hoja, libre); },
                 aparte)
                 .Bien())
            return EEXIST;
        error = RenombrarEn(*padre, t.temporal, t.hoja).error;
        if (error != 0) {
            RenombrarEn(*padre, aparte, t.hoja);
            return error;
        }
        apartado = t.nombre.substr(0, t.nombre.size() - t.hoja.size()) + aparte;
    }
    if (error != 0) return error;
    t.vivo = false;
    t.fichero.Cerrar();
    return 0;
}

void Temporales::Descartar(size_t i) {
    Temporal& t = temporales_[i];
    if (!t.vivo) return;
    t.vivo = false;
    t.fichero.Cerrar();
    quimbel::Carpeta resuelto;
    const quimbel::Carpeta* padre = &t.padre;
    if (!t.padre.Abierta()) {
        if (Padre(t, resuelto) != 0) return;
        padre = &resuelto;
    }
    // Only the file created: a name taken over meanwhile is left alone.
    const quimbel::Fichero ahora = quimbel::Fichero::Adoptar(
        openat(padre->Descriptor(), t.temporal.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (ahora.Abierto() && ahora.Id() == t.id) unlinkat(padre->Descriptor(), t.temporal.c_str(), 0);
}

} // namespace quimbel::par
