// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A window for the engine tests: records everything an engine does through it and
// answers questions from a queue, so that no test ever waits for a person.
#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "files/Ventana.h"
#include "split/Plan.h"

namespace quimbel::prueba {

class Grabadora : public Ventana {
  public:
    void AnadirLinea(Memo memo, std::string_view linea) override {
        memos[memo].emplace_back(linea);
        eventos.push_back("linea: " + std::string(linea));
    }
    void LimpiarMemo(Memo memo) override {
        memos[memo].clear();
        eventos.emplace_back("limpiar");
    }
    void Error(std::string_view texto) override {
        errores.emplace_back(texto);
        eventos.push_back("error: " + std::string(texto));
    }
    void Informacion(std::string_view texto) override {
        informaciones.emplace_back(texto);
        eventos.push_back("info: " + std::string(texto));
    }
    Respuesta Pregunta(std::string_view texto) override {
        preguntas.emplace_back(texto);
        eventos.push_back("pregunta: " + std::string(texto));
        if (respuestas.empty()) return Respuesta::Cancelar;
        const Respuesta r = respuestas.front();
        respuestas.pop_front();
        return r;
    }
    bool Reemplazar(std::string_view ruta) override {
        reemplazos.emplace_back(ruta);
        eventos.push_back("reemplazar: " + std::string(ruta));
        if (respuestasReemplazar.empty()) return false;
        const bool r = respuestasReemplazar.front();
        respuestasReemplazar.pop_front();
        return r;
    }
    bool RepararYUnir(std::string_view motivo) override {
        preguntasReparar.emplace_back(motivo);
        eventos.push_back("reparar: " + std::string(motivo));
        if (respuestasReparar.empty()) return false;
        const bool r = respuestasReparar.front();
        respuestasReparar.pop_front();
        return r;
    }
    void Enfocar(Campo campo) override {
        foco = campo;
        eventos.emplace_back("foco");
    }
    void ActivarPagina(Pagina p) override {
        pagina = p;
        eventos.emplace_back("pagina");
    }
    void CursorOcupado() override {
        ocupado = true;
        eventos.emplace_back("cursor ocupado");
    }
    void CursorNormal() override {
        ocupado = false;
        eventos.emplace_back("cursor normal");
    }
    void ProcesarMensajes() override {
        ++respiros;
        if (alRespirar) alRespirar();
    }
    void MostrarPlan(const PlanCorte& plan) override {
        planes.push_back(plan);
        eventos.emplace_back("plan");
    }
    void Repintar() override { ++repintados; }
    void Progreso(int64_t hechos, int64_t total) override { progresos.emplace_back(hechos, total); }
    // A stop asked for at a chosen point: true from the interrumpirEn-th time the run asks on
    // (1: the first), never while it is below 1.
    bool Interrumpido() const override {
        ++preguntasInterrupcion;
        return interrumpirEn >= 1 && preguntasInterrupcion >= interrumpirEn;
    }

    const std::vector<std::string>& Memo(quimbel::Memo m) { return memos[m]; }
    // Whether a memo holds the line.
    bool TieneLinea(quimbel::Memo m, const std::string& linea) {
        const auto& lineas = memos[m];
        return std::find(lineas.begin(), lineas.end(), linea) != lineas.end();
    }

    std::map<quimbel::Memo, std::vector<std::string>> memos;
    std::vector<std::string> eventos;
    std::vector<std::string> errores;
    std::vector<std::string> informaciones;
    std::vector<std::string> preguntas;
    std::deque<Respuesta> respuestas;
    std::vector<std::string> reemplazos;       // the file each replace question named
    std::deque<bool> respuestasReemplazar;     // its answers; none left: No
    std::vector<std::string> preguntasReparar; // the message of each repair-and-join question
    std::deque<bool> respuestasReparar;        // its answers; none left: No
    std::optional<Campo> foco;                 // the last field focused, none before any
    Pagina pagina = Pagina::Cortar;
    bool ocupado = false;
    int respiros = 0;
    int repintados = 0;
    std::vector<PlanCorte> planes;                      // the plans the split showed, in order
    std::vector<std::pair<int64_t, int64_t>> progresos; // (done, total); total < 0: hidden
    // Runs while the engine lets the window breathe: a test's stand-in for the user.
    std::function<void()> alRespirar;
    int interrumpirEn = -1;
    mutable int preguntasInterrupcion = 0; // how many times the run asked whether to stop
};

} // namespace quimbel::prueba

namespace quimbel {
// A field in a failed assertion, by its number.
inline void PrintTo(Campo campo, std::ostream* os) {
    *os << "Campo(" << static_cast<int>(campo) << ")";
}
} // namespace quimbel
