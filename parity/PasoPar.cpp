#include "PasoPar.h"

#include <unistd.h>

#include "files/Entero.h"
#include "files/Rutas.h"
#include "files/Salidas.h"
#include "libs/par/Nombres.h"
#include "libs/par/Presentes.h"
#include "parity/Par.h"

namespace quimbel {

namespace {

// The first file the set's outputs would replace or move, or none: the source or a piece named
// like an output, or an existing output that is the same file as the source or a piece.
std::optional<std::string> SalidaQuePisa(const EntradaPar& e, const std::string& rutaPar) {
    const std::string indice = par::NombreIndice(rutaPar);
    const std::string nombreIndice = NombreDeRuta(indice);
    std::vector<std::string> leidos{e.fuente};
    for (const std::string& t : e.trozos)
        leidos.push_back(e.destino + t);
    Protegidos protegidos;
    for (const std::string& ruta : leidos) {
        if (CarpetaDeRuta(ruta) == e.destino && par::EsSalidaDe(NombreDeRuta(ruta), nombreIndice))
            return ruta;
        protegidos.Anadir(ruta);
    }
    for (const std::string& ruta : par::SalidasPresentes(indice, true))
        if (par::EsProtegido(ruta, protegidos)) return ruta;
    return std::nullopt;
}

} // namespace

std::string RutaPar(const std::string& destino, const std::string& fuente) {
    return CambiarExtension(destino + NombreDeRuta(fuente), ".par");
}

std::optional<std::string> OpcionNumeroPar(const std::string& numero) {
    if (numero.empty()) return "-n0";
    const std::optional<int32_t> valor = LeerEntero(numero);
    if (!valor) return std::nullopt;
    return "-n" + std::to_string(static_cast<uint32_t>(*valor));
}

ResultadoPar PasoPar(Ventana& v, const EntradaPar& e) {
    const std::string rutaPar = RutaPar(e.destino, e.fuente);
    v.AnadirLinea(Memo::Cortar, "Creando PAR: " + rutaPar);
    const std::optional<std::string> opcionNumero = OpcionNumeroPar(e.numero);
    if (!opcionNumero) {
        v.Informacion("¡ Error en el número de pares !");
        v.CursorNormal();
        return {true, false};
    }
    if (chdir(e.destino.c_str()) != 0) v.Informacion("¡ Error al cambiar al directorio " + e.destino + " !");

    ResultadoPar resultado;
    if (!ParCargada()) {
        v.Informacion("¡ Error en la DLL Par.dll !");
    } else if (e.trozos.size() > MaxTrozosPar) {
        v.Informacion("¡ Demasiados trozos para crear el PAR: el máximo es 993 !");
    } else if (const std::optional<std::string> pisado = SalidaQuePisa(e, rutaPar)) {
        v.Informacion(par::LineaSobrescribiria(*pisado));
    } else {
        std::vector<std::string> argumentos{"par.exe", "add", *opcionNumero, "-m", "+C", "--", rutaPar};
        argumentos.insert(argumentos.end(), e.trozos.begin(), e.trozos.end());
        resultado.hecho = LlamarPar(v, argumentos, &ProgresoPar, e.avance, e.bytes) == 0;
    }
    v.ProcesarMensajes();
    return resultado;
}

} // namespace quimbel
