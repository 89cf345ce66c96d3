// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for the whole PAR2 file reader: the files of a set found in its folder (the index,
// volumes under other names and cases, another set's file), read into one gathering and put
// together. The input after its first byte holds up to six files, each ended by the separator
// "\n=====\n": "j.par2" (the file named), "j.vol0+1.par2", "j.vol1+2.PAR2", "j.todo.par2",
// "otro.par2" and "j.par2.old" (no set file). When the first byte is odd, every header found in a
// file gets the MD5 its length asks for, so that mutated packets get past their checksum.
// Checks that the reading ends, that no file but those ending in ".par2" is read, that the
// gathering keeps its bound, and that a set accepted keeps its bounds and reads its recovery
// slices only inside the files that hold them.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "Avisos.h"
#include "JuegoLeido.h"
#include "JuegoPar.h"
#include "LectorPaquetes.h"
#include "LecturaJuego.h"
#include "files/Carpeta.h"

namespace {

using namespace quimbel::par;

void Exigir(bool condicion) {
    if (!condicion) std::abort();
}

// Gives every header of a plausible length its MD5, the last one first, as a packet's hash
// takes in those it holds.
void PonerHashes(std::string& d) {
    std::vector<size_t> magias;
    for (size_t p = d.find(MagiaPaquete); p != std::string::npos; p = d.find(MagiaPaquete, p + 1))
        magias.push_back(p);
    auto* b = reinterpret_cast<uint8_t*>(d.data());
    for (auto it = magias.rbegin(); it != magias.rend(); ++it) {
        if (d.size() - *it < CabeceraPaquete) continue;
        const uint64_t largo = Leer64(b + *it + PosicionLargo);
        if (largo < CabeceraPaquete || largo > d.size() - *it) continue;
        const Huella h = Md5De(b + *it + PosicionConjunto, largo - PosicionConjunto);
        std::memcpy(b + *it + PosicionHash, h.data(), h.size());
    }
}

const char* const Nombres[] = {"j.par2",      "j.vol0+1.par2", "j.vol1+2.PAR2",
                               "j.todo.par2", "otro.par2",     "j.par2.old"};
constexpr std::string_view Separador = "\n=====\n";

// A folder of this process's own, emptied of the files of the input before.
const std::string& CarpetaDeEntrada() {
    static const std::string ruta = [] {
        char plantilla[] = "/tmp/quimbel-fuzz-juego-XXXXXX";
        if (mkdtemp(plantilla) == nullptr) std::abort();
        return std::string(plantilla) + "/";
    }();
    for (const char* nombre : Nombres)
        unlink((ruta + nombre).c_str());
    return ruta;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* entrada, size_t tamano) {
    if (tamano == 0) return 0;
    const std::string_view todo(reinterpret_cast<const char*>(entrada) + 1, tamano - 1);
    const std::string& carpetaEntrada = CarpetaDeEntrada();
    std::vector<uint64_t> tamanos;
    size_t desde = 0;
    for (const char* nombre : Nombres) {
        if (desde > todo.size()) break;
        const size_t fin = std::min(todo.find(Separador, desde), todo.size());
        std::string fichero(todo.substr(desde, fin - desde));
        if (entrada[0] & 1) PonerHashes(fichero);
        FILE* f = std::fopen((carpetaEntrada + nombre).c_str(), "wb");
        Exigir(f != nullptr && std::fwrite(fichero.data(), 1, fichero.size(), f) == fichero.size());
        std::fclose(f);
        tamanos.push_back(fichero.size());
        desde = fin + Separador.size();
    }
    quimbel::Carpeta carpeta;
    Exigir(quimbel::AbrirCarpeta(carpeta, carpetaEntrada).Bien());
    Avisos avisos(nullptr);
    Limites limites;
    limites.hilos = 2;
    Recogida recogida;
    FicherosPar ficheros;
    if (const Fallo fallo =
            LeerFicherosPar(carpeta, "/mostrada/j.par2", limites, avisos, recogida, ficheros)) {
        Exigir(fallo->codigo == CodigoFallo::SinJuego && fallo->linea.rfind("¡ ", 0) == 0);
        return 0;
    }
    Exigir(recogida.Memoria() <= MemoriaGuardada);
    Exigir(ficheros.nombres.size() == ficheros.rutas.size() &&
           ficheros.nombres.size() == ficheros.ids.size());
    Exigir(!ficheros.nombres.empty() && ficheros.nombres[0] == "j.par2");
    for (size_t i = 0; i < ficheros.nombres.size(); ++i)
        Exigir(EsFicheroPar2(ficheros.nombres[i]) && ficheros.rutas[i] == "/mostrada/" + ficheros.nombres[i]);
    JuegoLeido juego;
    if (!fuzz::ArmarYExigir(recogida, "j.par2", juego)) return 0;
    for (const RebanadaRecuperacion& r : juego.recuperacion) {
        Exigir(r.origen < ficheros.nombres.size() && !(ficheros.ids[r.origen] == quimbel::IdFichero{}));
        const auto n = static_cast<size_t>(
            std::find(std::begin(Nombres), std::end(Nombres), ficheros.nombres[r.origen]) -
            std::begin(Nombres));
        Exigir(n < tamanos.size() && r.posicion + juego.tamanoRebanada <= tamanos[n]);
    }
    return 0;
}
