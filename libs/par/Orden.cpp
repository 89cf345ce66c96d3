#include "libs/par/Orden.h"

#include "libs/par/Nombres.h"

#include <limits>

namespace quimbel::par {
namespace {

// "-n" followed by decimal digits only; values beyond 64 bits stay at the largest.
bool LeerPares(const std::string& opcion, uint64_t& pares) {
    if (opcion.size() <= 2) return false;
    uint64_t valor = 0;
    for (size_t i = 2; i < opcion.size(); ++i) {
        const char c = opcion[i];
        if (c < '0' || c > '9') return false;
        const auto digito = static_cast<uint64_t>(c - '0');
        constexpr uint64_t maximo = std::numeric_limits<uint64_t>::max();
        valor = valor > (maximo - digito) / 10 ? maximo : valor * 10 + digito;
    }
    pares = valor;
    return true;
}

} // namespace

std::optional<OrdenPar> LeerOrden(std::span<const std::string> argumentos, std::string& error) {
    if (argumentos.size() < 2) {
        error = "¡ Error, falta la orden !";
        return std::nullopt;
    }
    if (argumentos[1] != "add") {
        error = "¡ Error, orden desconocida: " + argumentos[1] + " !";
        return std::nullopt;
    }
    OrdenPar orden;
    std::vector<std::string> ficheros;
    bool soloFicheros = false;
    for (size_t i = 2; i < argumentos.size(); ++i) {
        const std::string& a = argumentos[i];
        const bool esOpcion = !soloFicheros && !a.empty() && (a[0] == '-' || a[0] == '+');
        if (!esOpcion) {
            ficheros.push_back(a);
        } else if (a == "--") {
            soloFicheros = true;
        } else if (a == "-m") {
            orden.renombrarViejos = true;
        } else if (a == "+C") {
            orden.mayusculasIguales = true;
        } else if (a.rfind("-n", 0) == 0) {
            if (!LeerPares(a, orden.pares)) {
                error = "¡ Error en el número de pares " + a + " !";
                return std::nullopt;
            }
        } else {
            error = "¡ Error, opción desconocida: " + a + " !";
            return std::nullopt;
        }
    }
    if (ficheros.empty() || NombreSinCarpeta(ficheros[0]).empty()) {
        error = "¡ Error, falta el nombre del PAR !";
        return std::nullopt;
    }
    if (ficheros.size() < 2) {
        error = "¡ Error, no hay trozos para el PAR !";
        return std::nullopt;
    }
    orden.rutaPar = ficheros[0];
    orden.trozos.assign(ficheros.begin() + 1, ficheros.end());
    return orden;
}

} // namespace quimbel::par
