#include "Par.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace quimbel {

// The record is shared with a library built on its own: its C layout is fixed.
static_assert(offsetof(LlamadaPar, progreso) == 0);
static_assert(offsetof(LlamadaPar, cuenta) == sizeof(void*));
static_assert(offsetof(LlamadaPar, argumentos) == 2 * sizeof(void*));
static_assert(sizeof(LlamadaPar) == (2 + LLAMADA_PAR_ENTRADAS) * sizeof(void*));

namespace {

ManejadorBiblioteca biblioteca = nullptr;
CallParFuncion funcion = nullptr;
std::string ultimaLinea;
// The window of the call in progress: the callback carries no context of its own.
Ventana* ventanaEnCurso = nullptr;

class VentanaMientras {
  public:
    explicit VentanaMientras(Ventana& v) : anterior_(ventanaEnCurso) { ventanaEnCurso = &v; }
    ~VentanaMientras() { ventanaEnCurso = anterior_; }
    VentanaMientras(const VentanaMientras&) = delete;
    VentanaMientras& operator=(const VentanaMientras&) = delete;

  private:
    Ventana* anterior_;
};

} // namespace

void CargarPar(const std::string& carpetaPrimero) {
    LiberarPar();
    ultimaLinea.clear();
    biblioteca = CargarBiblioteca(NombreBibliotecaPar, carpetaPrimero);
    funcion = BuscarFuncion<CallParFuncion>(biblioteca, "call_par");
    if (funcion == nullptr) LiberarPar();
}

void LiberarPar() {
    funcion = nullptr;
    LiberarBiblioteca(biblioteca);
    biblioteca = nullptr;
}

bool ParCargada() {
    return funcion != nullptr;
}

const std::string& UltimaLineaPar() {
    return ultimaLinea;
}

int32_t ProgresoPar(const char* texto) {
    ultimaLinea = texto != nullptr ? texto : "";
    if (ventanaEnCurso != nullptr) ventanaEnCurso->AnadirLinea(Memo::Cortar, ultimaLinea);
    return 0;
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

int32_t LlamarPar(Ventana& ventana, LlamadaPar& llamada, ProgresoParFuncion progreso) {
    if (funcion == nullptr) return -1;
    // The library reads up to the null after the last argument: it must be inside the record.
    if (llamada.cuenta < 0 || llamada.cuenta >= LLAMADA_PAR_ENTRADAS ||
        llamada.argumentos[llamada.cuenta] != nullptr)
        return -1;
    llamada.progreso = progreso;
    const VentanaMientras enCurso(ventana);
    return funcion(&llamada);
}

int32_t LlamarPar(Ventana& ventana, const std::vector<std::string>& argumentos, ProgresoParFuncion progreso) {
    LlamadaPar llamada{};
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
    const int32_t resultado = LlamarPar(ventana, llamada, progreso);
    LiberarArgumentos(puestos, vector);
    return resultado;
}

Ventana* VentanaEnCurso() {
    return ventanaEnCurso;
}

} // namespace quimbel
