// SPDX-License-Identifier: GPL-3.0-or-later
#include "Estorbos.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>

#include "files/Comparar.h"
#include "files/Listado.h"
#include "files/Numeracion.h"
#include "files/Rutas.h"
#include "files/Temporales.h"

namespace quimbel {

namespace {

// How many "<name>.k" names a stray piece may try.
constexpr int MaxApartados = 1000;

// Whether a suffix of the stem names a piece a join of the new set could take but the set has
// not: a number outside it in the set's numbering, or the head of another scheme's set.
bool Sobra(const std::string& sufijo, TipoCorte tipo, int64_t n) {
    const bool fin = IgualesSinMayusculas(sufijo, "fin");
    if (tipo == TipoCorte::Hacha) {
        if (fin) return true;
        return EnNumeracion(sufijo, 1) && *NumeroDeSufijo(sufijo) >= n;
    }
    if (tipo == TipoCorte::CortaArchivos)
        return EnNumeracion(sufijo, 1) && (*NumeroDeSufijo(sufijo) >= n || sufijo == "0");
    const int ancho = AnchoNormal(n);
    if (!EnNumeracion(sufijo, ancho)) return false;
    const int64_t k = *NumeroDeSufijo(sufijo);
    return k == 0 || k > n;
}

} // namespace

Estorbos BuscarEstorbos(const Carpeta& carpeta, const std::string& nombre, TipoCorte tipo, int64_t n,
                        const std::vector<std::string>& escritos, const Protegidos& protegidos) {
    Estorbos e;
    for (const std::string& escrito : escritos) {
        const Ocupante o = MirarOcupante(carpeta, escrito, protegidos);
        if (!o.estado.Bien() || o.intocable) continue;
        if (e.ocupados.empty()) e.primero = escrito;
        e.ocupados.emplace(escrito, o.id);
    }
    const std::string prefijo = NombreDeRuta(CambiarExtension(nombre, "")) + ".";
    const auto sobra = [&](std::string_view entrada) {
        if (!entrada.starts_with(prefijo) || entrada.size() == prefijo.size()) return false;
        const std::string nombreEntrada(entrada);
        if (!Sobra(nombreEntrada.substr(prefijo.size()), tipo, n)) return false;
        if (std::find(escritos.begin(), escritos.end(), nombreEntrada) != escritos.end()) return false;
        struct stat st {};
        if (fstatat(carpeta.Descriptor(), nombreEntrada.c_str(), &st, 0) != 0 || !S_ISREG(st.st_mode))
            return false;
        return !MirarOcupante(carpeta, nombreEntrada, protegidos).intocable;
    };
    if (auto sobrantes = ListarCarpeta(carpeta, sobra)) {
        std::sort(sobrantes->begin(), sobrantes->end());
        e.sobrantes = std::move(*sobrantes);
    }
    return e;
}

std::optional<std::string> ApartarSobrantes(const Carpeta& carpeta, const std::vector<std::string>& sobrantes,
                                            std::vector<Apartado>& apartados) {
    for (const std::string& sobrante : sobrantes) {
        auto nuevo = RenombrarAlPrimerLibre(carpeta, sobrante, MaxApartados,
                                            [&](int i) { return sobrante + "." + std::to_string(i); });
        if (!nuevo) return sobrante;
        apartados.push_back({sobrante, std::move(*nuevo)});
    }
    return std::nullopt;
}

void DevolverApartados(const Carpeta& carpeta, const std::vector<Apartado>& apartados) {
    for (const Apartado& a : apartados)
        RenombrarEn(carpeta, a.nuevo, a.original);
}

} // namespace quimbel
