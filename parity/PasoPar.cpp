#include "PasoPar.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

#include "files/Entero.h"
#include "files/Ficheros.h"
#include "files/Rutas.h"
#include "files/Salidas.h"
#include "parity/Par.h"

namespace quimbel {

namespace {

bool EmpiezaSinMayusculas(std::string_view texto, std::string_view prefijo) {
    if (texto.size() < prefijo.size()) return false;
    for (size_t i = 0; i < prefijo.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(texto[i])) !=
            std::tolower(static_cast<unsigned char>(prefijo[i])))
            return false;
    return true;
}

bool TerminaSinMayusculas(std::string_view texto, std::string_view sufijo) {
    return texto.size() >= sufijo.size() &&
           EmpiezaSinMayusculas(texto.substr(texto.size() - sufijo.size()), sufijo);
}

// The index of the set: the PAR path with its ".par" extension replaced by ".par2".
std::string NombreIndice(const std::string& rutaPar) {
    return TerminaSinMayusculas(rutaPar, ".par") ? rutaPar.substr(0, rutaPar.size() - 4) + ".par2"
                                                 : rutaPar + ".par2";
}

// Whether a file name (without folder) is one the library writes or moves for this set: the
// index, a recovery volume <base>.vol<n>+<m>.par2, or either with ".old" behind it.
bool EsSalidaDelJuego(std::string nombre, const std::string& indice) {
    if (TerminaSinMayusculas(nombre, ".old")) nombre.resize(nombre.size() - 4);
    if (nombre == indice) return true;
    const std::string base = indice.substr(0, indice.size() - 5) + ".vol";
    if (!nombre.starts_with(base) || !TerminaSinMayusculas(nombre, ".par2")) return false;
    const std::string_view numeros(nombre.data() + base.size(), nombre.size() - base.size() - 5);
    const size_t mas = numeros.find('+');
    const auto digitos = [](std::string_view s) {
        return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    return mas != std::string_view::npos && digitos(numeros.substr(0, mas)) &&
           digitos(numeros.substr(mas + 1));
}

// The first file the set's outputs would replace or move, or none: the source or a piece named
// like an output, or an existing output that is the same file as the source or a piece.
std::optional<std::string> SalidaQuePisa(const EntradaPar& e, const std::string& rutaPar) {
    const std::string indice = NombreDeRuta(NombreIndice(rutaPar));
    std::vector<std::string> leidos{e.fuente};
    for (const std::string& t : e.trozos)
        leidos.push_back(e.destino + t);
    Protegidos protegidos;
    for (const std::string& ruta : leidos) {
        if (CarpetaDeRuta(ruta) == e.destino && EsSalidaDelJuego(NombreDeRuta(ruta), indice)) return ruta;
        protegidos.Anadir(ruta);
    }
    // Outputs already on disk: whatever is there under an output's name.
    const std::string carpeta = e.destino.empty() ? "./" : e.destino;
    std::vector<std::string> existentes;
    if (DIR* d = opendir(carpeta.c_str())) {
        while (const dirent* entrada = readdir(d))
            if (EsSalidaDelJuego(entrada->d_name, indice)) existentes.push_back(e.destino + entrada->d_name);
        closedir(d);
    }
    std::sort(existentes.begin(), existentes.end());
    for (const std::string& ruta : existentes) {
        Fichero f;
        if (AbrirFichero(f, ruta).Bien() && protegidos.Contiene(f)) return ruta;
    }
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
        v.Informacion("¡ Error, el PAR sobrescribiría el fichero " + *pisado + " !");
    } else {
        std::vector<std::string> argumentos{"par.exe", "add", *opcionNumero, "-m", "+C", "--", rutaPar};
        argumentos.insert(argumentos.end(), e.trozos.begin(), e.trozos.end());
        resultado.hecho = LlamarPar(v, argumentos, &ProgresoPar, e.avance, e.bytes) == 0;
    }
    v.ProcesarMensajes();
    return resultado;
}

} // namespace quimbel
