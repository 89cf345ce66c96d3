// SPDX-License-Identifier: GPL-3.0-or-later
#include "Par.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>

#include "parity/Bibliotecas.h"

namespace quimbel {

void CargarPar(const std::string& carpetaPrimero) {
    LasBibliotecas().CargarPar(carpetaPrimero);
}

void LiberarPar() {
    LasBibliotecas().LiberarPar();
}

bool ParCargada() {
    return LasBibliotecas().Par() != nullptr;
}

std::optional<std::pair<uint64_t, uint64_t>> LeerAvancePar(std::string_view texto) {
    const std::string_view prefijo = LLAMADA_PAR_AVANCE;
    if (!texto.starts_with(prefijo)) return std::nullopt;
    texto.remove_prefix(prefijo.size());
    const size_t barra = texto.find('/');
    if (barra == std::string_view::npos) return std::nullopt;
    uint64_t hecho = 0, total = 0;
    const char* fin = texto.data() + texto.size();
    const auto a = std::from_chars(texto.data(), texto.data() + barra, hecho);
    const auto b = std::from_chars(texto.data() + barra + 1, fin, total);
    if (a.ec != std::errc() || a.ptr != texto.data() + barra || b.ec != std::errc() || b.ptr != fin)
        return std::nullopt;
    return std::pair{hecho, total};
}

int32_t ProgresoPar(void* contexto, const char* texto) {
    if (contexto == nullptr) return 0;
    ContextoPar& c = *static_cast<ContextoPar*>(contexto);
    c.ultimaLinea = texto != nullptr ? texto : "";
    if (const auto avance = LeerAvancePar(c.ultimaLinea)) {
        const auto [hecho, total] = *avance;
        if (c.avance != nullptr && total > 0)
            c.avance->Poner(c.inicio + static_cast<int64_t>(static_cast<double>(c.parte) *
                                                            static_cast<double>(std::min(hecho, total)) /
                                                            static_cast<double>(total)));
    } else {
        c.ventana.AnadirLinea(Memo::Cortar, c.ultimaLinea);
    }
    // The line shows as it comes; the user's input waits for the end of the call.
    c.ventana.Repintar();
    return 0;
}

int32_t DetenerPar(void* contexto) {
    if (contexto == nullptr) return 0;
    return static_cast<ContextoPar*>(contexto)->ventana.Interrumpido() ? 1 : 0;
}

int32_t PonerArgumento(int32_t i, std::string_view texto, std::span<char*> vector) {
    if (i < 0 || static_cast<size_t>(i) + 1 >= vector.size()) return -1;
    auto* copia = static_cast<char*>(std::malloc(texto.size() + 1));
    if (copia == nullptr) {
        LiberarArgumentos(i, vector);
        return -1;
    }
    std::memcpy(copia, texto.data(), texto.size());
    copia[texto.size()] = '\0';
    vector[static_cast<size_t>(i)] = copia;
    return 0;
}

int32_t LiberarArgumentos(int32_t n, std::span<char*> vector) {
    const size_t hasta = n < 0 ? 0 : std::min(static_cast<size_t>(n), vector.size());
    for (size_t k = 0; k < hasta; ++k) {
        std::free(vector[k]);
        vector[k] = nullptr;
    }
    return 0;
}

int32_t LlamarPar(LlamadaParContexto& llamada, ProgresoParContextoFuncion progreso, ContextoPar& contexto,
                  int carpeta) {
    const CallParContextoFuncion funcion = LasBibliotecas().Par();
    if (funcion == nullptr) return -1;
    // The library reads up to the null after the last argument: it must be inside the record.
    if (llamada.cuenta < 0 || llamada.cuenta >= LLAMADA_PAR_ENTRADAS ||
        llamada.argumentos[llamada.cuenta] != nullptr)
        return -1;
    llamada.tamano = sizeof(LlamadaParContexto);
    llamada.version = LLAMADA_PAR_VERSION;
    llamada.progreso = progreso;
    llamada.contexto = &contexto;
    llamada.carpeta = carpeta;
    llamada.detener = &DetenerPar;
    contexto.inicio = contexto.avance != nullptr ? contexto.avance->Hechos() : 0;
    const int32_t resultado = funcion(&llamada);
    if (contexto.avance != nullptr && contexto.parte > 0)
        contexto.avance->Poner(contexto.inicio + contexto.parte);
    return resultado;
}

int32_t PonerArgumentos(const std::vector<std::string>& argumentos, LlamadaParContexto& llamada) {
    const std::span<char*> vector(llamada.argumentos);
    int32_t puestos = 0;
    for (const std::string& a : argumentos) {
        if (PonerArgumento(puestos, a, vector) != 0) break;
        ++puestos;
    }
    // PonerArgumento released what it had when it failed.
    if (puestos != static_cast<int32_t>(argumentos.size())) {
        LiberarArgumentos(puestos, vector);
        return -1;
    }
    llamada.cuenta = puestos;
    return 0;
}

int32_t LlamarPar(const std::vector<std::string>& argumentos, ProgresoParContextoFuncion progreso,
                  ContextoPar& contexto, int carpeta) {
    LlamadaParContexto llamada{};
    if (PonerArgumentos(argumentos, llamada) != 0) return -1;
    const int32_t resultado = LlamarPar(llamada, progreso, contexto, carpeta);
    LiberarArgumentos(llamada.cuenta, llamada.argumentos);
    return resultado;
}

} // namespace quimbel
