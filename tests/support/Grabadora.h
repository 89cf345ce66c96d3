#pragma once
// A window for the engine tests: records everything an engine does through it and
// answers questions from a queue, so that no test ever waits for a person.
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "files/Ventana.h"

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
    void Enfocar(std::string_view control) override {
        foco = control;
        eventos.push_back("foco: " + std::string(control));
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
    void MostrarProgreso(uint64_t hecho, uint64_t total) override { progreso.emplace_back(hecho, total); }

    const std::vector<std::string>& Memo(quimbel::Memo m) { return memos[m]; }

    std::map<quimbel::Memo, std::vector<std::string>> memos;
    std::vector<std::string> eventos;
    std::vector<std::string> errores;
    std::vector<std::string> informaciones;
    std::vector<std::string> preguntas;
    std::deque<Respuesta> respuestas;
    std::string foco;
    Pagina pagina = Pagina::Cortar;
    bool ocupado = false;
    int respiros = 0;
    std::vector<std::pair<uint64_t, uint64_t>> progreso; // every share shown, in order
    // Runs while the engine lets the window breathe: a test's stand-in for the user.
    std::function<void()> alRespirar;
};

} // namespace quimbel::prueba
