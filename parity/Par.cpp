#include "Par.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

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
// The call in progress: the callback carries no context of its own.
struct EnCurso {
    Ventana* ventana = nullptr;
    Avance* avance = nullptr;
    int64_t inicio = 0; // where the run stood when the call began
    int64_t parte = 0;  // the call's share of the run's bytes
};
EnCurso enCurso;

class CallMientras {
  public:
    explicit CallMientras(const EnCurso& nuevo) : anterior_(enCurso) { enCurso = nuevo; }
    ~CallMientras() { enCurso = anterior_; }
    CallMientras(const CallMientras&) = delete;
    CallMientras& operator=(const CallMientras&) = delete;

  private:
    EnCurso anterior_;
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

std::optional<int> PorcentajePar(std::string_view linea) {
    const std::string_view prefijo = LLAMADA_PAR_PROGRESO;
    if (!linea.starts_with(prefijo) || !linea.ends_with(" %")) return std::nullopt;
    const std::string_view cifras = linea.substr(prefijo.size(), linea.size() - prefijo.size() - 2);
    if (cifras.empty() || cifras.size() > 3 ||
        cifras.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    const int valor = std::stoi(std::string(cifras));
    if (valor > 100) return std::nullopt;
    return valor;
}

int32_t ProgresoPar(const char* texto) {
    ultimaLinea = texto != nullptr ? texto : "";
    if (enCurso.ventana == nullptr) return 0;
    enCurso.ventana->AnadirLinea(Memo::Cortar, ultimaLinea);
    const std::optional<int> porcentaje = PorcentajePar(ultimaLinea);
    if (enCurso.avance != nullptr && porcentaje)
        enCurso.avance->Poner(enCurso.inicio + enCurso.parte * *porcentaje / 100);
    // The line shows as it comes; the user's input waits for the end of the call.
    enCurso.ventana->Repintar();
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

int32_t LlamarPar(Ventana& ventana, LlamadaPar& llamada, ProgresoParFuncion progreso, Avance* avance,
                  int64_t parte) {
    if (funcion == nullptr) return -1;
    // The library reads up to the null after the last argument: it must be inside the record.
    if (llamada.cuenta < 0 || llamada.cuenta >= LLAMADA_PAR_ENTRADAS ||
        llamada.argumentos[llamada.cuenta] != nullptr)
        return -1;
    llamada.progreso = progreso;
    const CallMientras mientras({&ventana, avance, avance != nullptr ? avance->Hechos() : 0, parte});
    const int32_t resultado = funcion(&llamada);
    if (avance != nullptr && parte > 0) avance->Poner(enCurso.inicio + parte);
    return resultado;
}

int32_t LlamarPar(Ventana& ventana, const std::vector<std::string>& argumentos, ProgresoParFuncion progreso,
                  Avance* avance, int64_t parte) {
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
    const int32_t resultado = LlamarPar(ventana, llamada, progreso, avance, parte);
    LiberarArgumentos(puestos, vector);
    return resultado;
}

Ventana* VentanaEnCurso() {
    return enCurso.ventana;
}

Avance* AvanceEnCurso() {
    return enCurso.avance;
}

} // namespace quimbel
