// SPDX-License-Identifier: GPL-3.0-or-later
#include "PasoSfv.h"

#include <cstdio>
#include <ctime>
#include <optional>
#include <utility>

#include "files/Ficheros.h"
#include "files/Interrupcion.h"
#include "files/Rutas.h"
#include "files/Salidas.h"
#include "files/Texto.h"
#include "verify/Crc.h"

namespace quimbel {

namespace {

struct FechaHora {
    int dia = 1, mes = 1, anio = 1980, hora = 0, minuto = 0;
};

FechaHora Ahora() {
    const time_t t = time(nullptr);
    struct tm local {};
    localtime_r(&t, &local);
    return {local.tm_mday, local.tm_mon + 1, local.tm_year + 1900, local.tm_hour, local.tm_min};
}

// The local time packed as InfoFichero reports it.
FechaHora DeFechaDos(int32_t fechaDos) {
    const auto v = static_cast<uint32_t>(fechaDos);
    return {static_cast<int>((v >> 16) & 0x1F), static_cast<int>((v >> 21) & 0x0F),
            static_cast<int>((v >> 25) & 0x7F) + 1980, static_cast<int>((v >> 11) & 0x1F),
            static_cast<int>((v >> 5) & 0x3F)};
}

std::string Fecha(const FechaHora& f) {
    char texto[32];
    std::snprintf(texto, sizeof texto, "%02d-%02d-%04d", f.dia, f.mes, f.anio);
    return texto;
}

std::string Hora(const FechaHora& f) {
    char texto[16];
    std::snprintf(texto, sizeof texto, "%02d:%02d", f.hora, f.minuto);
    return texto;
}

std::string Hex8(uint32_t crc) {
    char texto[9];
    std::snprintf(texto, sizeof texto, "%8.8x", crc);
    return texto;
}

std::string Rechazo(const std::string& ruta) {
    return "¡ Error, fichero " + ruta + " igual a fichero base !\r\r ¿ Qué intentas :) ?";
}

// The open SFV file and the way every stop of the step closes it.
class Escritura {
  public:
    Escritura(Ventana& v, std::string ruta) : v_(v), ruta_(std::move(ruta)) {}

    TextoSalida& Texto() { return texto_; }

    // Writes one line; a failed write stops the step.
    bool Linea(std::string_view linea) {
        if (texto_.EscribirLinea(linea).Bien()) return true;
        return Parar("¡ Error al escribir en fichero " + ruta_ + " !");
    }
    // Closes the file; a full disk often shows only here.
    bool Cerrar() {
        if (texto_.Cerrar().Bien()) return true;
        v_.Error("¡ Error al escribir en fichero " + ruta_ + " !");
        return false;
    }
    bool Parar(const std::string& mensaje) {
        texto_.Descartar();
        v_.Error(mensaje);
        return false;
    }

  private:
    Ventana& v_;
    std::string ruta_;
    TextoSalida texto_;
};

} // namespace

std::string RutaSfv(std::string_view fuente, std::string_view destino) {
    return std::string(destino) + CambiarExtension(NombreDeRuta(fuente), ".sfv");
}

std::optional<std::string> RechazoNombreSfv(std::string_view fuente) {
    const std::string nombre = NombreDeRuta(fuente);
    if (nombre.find_first_of("\r\n\x1A") == std::string::npos) return std::nullopt;
    return "¡ Error, nombre no válido para SFV: " + nombre + " !";
}

std::string NombreEnLineaSfv(std::string_view nombre) {
    if (!nombre.empty() && (nombre.front() == ';' || nombre.front() == '#' || nombre.front() == ' '))
        return "./" + std::string(nombre);
    return std::string(nombre);
}

namespace {

// A piece's CRC-32: the one computed as it was written, or read from the file.
std::optional<uint32_t> CrcDeTrozo(const EntradaSfv& e, int64_t k, const std::string& trozo) {
    if (e.crcs != nullptr) {
        if (const auto calculado = e.crcs->find(k); calculado != e.crcs->end()) return calculado->second;
    }
    return CrcFichero(trozo, e.avance);
}

} // namespace

bool PasoSfv(Ventana& v, const EntradaSfv& e) {
    if (const auto rechazo = RechazoNombreSfv(e.fuente)) {
        v.Error(*rechazo);
        return false;
    }
    const std::string ruta = RutaSfv(e.fuente, e.destino);
    if (ruta == e.fuente) {
        v.Error(Rechazo(ruta));
        return false;
    }
    v.AnadirLinea(Memo::Cortar, "Creando SFV: " + ruta);

    // Neither the source nor a listed piece is emptied, whatever name reaches them.
    Protegidos protegidos;
    protegidos.Anadir(e.fuente);
    std::vector<std::string> nombres;
    nombres.reserve(e.trozos.size());
    for (const int64_t k : e.trozos) {
        nombres.push_back(NombreDeRuta(NombreTrozo(e.fuente, "", k, e.n, e.tipo)));
        protegidos.Anadir(e.destino + nombres.back());
    }
    Carpeta propia;
    if (e.carpeta == nullptr) AbrirCarpeta(propia, e.destino);
    Escritura sfv(v, ruta);
    const Desenlace creado =
        CrearTexto(sfv.Texto(), e.carpeta ? *e.carpeta : propia, NombreDeRuta(ruta), protegidos);
    if (!creado.Bien()) {
        v.Error(creado.resultado == Resultado::Intocable ? Rechazo(ruta)
                                                         : "¡ Error al crear fichero " + ruta + " !");
        return false;
    }
    const FechaHora ahora = Ahora();
    if (!sfv.Linea(std::string(CabeceraSfv) + Fecha(ahora) + " a las " + Hora(ahora)) || !sfv.Linea(";"))
        return false;

    for (const std::string& nombre : nombres) {
        const std::string trozo = e.destino + nombre;
        InfoRegistro info;
        if (InfoFichero(trozo, info) != 0) return sfv.Parar("¡ Error al leer fichero " + trozo + " !");
        const FechaHora cambio = DeFechaDos(info.fechaDos);
        if (!sfv.Linea("; " + std::to_string(info.tamano) + " " + Hora(cambio) + " " + Fecha(cambio) + " " +
                       nombre))
            return false;
    }
    for (size_t i = 0; i < nombres.size(); ++i) {
        const std::string& nombre = nombres[i];
        const std::string trozo = e.destino + nombre;
        v.AnadirLinea(Memo::Cortar, "Calculando crc: " + trozo);
        const std::optional<uint32_t> crc = CrcDeTrozo(e, e.trozos[i], trozo);
        if (Interrumpida(v, Memo::Cortar)) {
            sfv.Texto().Descartar();
            return false;
        }
        if (!crc) return sfv.Parar("¡ Error al calcular CRC del fichero " + trozo + " !");
        if (!sfv.Linea(NombreEnLineaSfv(nombre) + " " + Hex8(*crc))) return false;
        v.ProcesarMensajes();
    }
    return sfv.Cerrar();
}

} // namespace quimbel
