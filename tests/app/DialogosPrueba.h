// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's dialog service for tests: records every box and answers boxes and
// file dialogs from queues, so no test ever waits on a modal dialog.
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "app/Dialogos.h"

namespace quimbel::prueba {

struct Caja {
    ServicioDialogos::Icono icono;
    QString titulo;
    QString texto;
    bool pregunta;
};

class DialogosPrueba : public ServicioDialogos {
  public:
    Respuesta Mensaje(Icono icono, const QString& titulo, const QString& texto, bool preguntar) override {
        if (Terminado()) {
            sinMostrar << texto;
            return SinRespuesta(preguntar);
        }
        cajas.push_back({icono, titulo, texto, preguntar});
        if (alMostrar) alMostrar(cajas.back());
        if (!preguntar) return Respuesta::Si;
        if (respuestas.empty()) return Respuesta::Cancelar;
        const Respuesta r = respuestas.front();
        respuestas.pop_front();
        return r;
    }
    std::optional<QString> ElegirFichero(const OpcionesDialogo& opciones) override {
        if (Terminado()) return std::nullopt;
        dialogosFichero.push_back(opciones);
        if (ficheros.empty()) return std::nullopt;
        const std::optional<QString> f = ficheros.front();
        ficheros.pop_front();
        return f;
    }
    std::optional<QString> ElegirCarpeta(const QString& texto, const QString&) override {
        textosCarpeta.push_back(texto);
        if (carpetas.empty()) return std::nullopt;
        const std::optional<QString> c = carpetas.front();
        carpetas.pop_front();
        return c;
    }

    bool Confirmar(const QString& titulo, const QString& texto) override {
        if (Terminado()) return false;
        confirmaciones.push_back({titulo, texto});
        if (reemplazos.empty()) return false;
        const bool r = reemplazos.front();
        reemplazos.pop_front();
        return r;
    }

    // The texts of the boxes shown, in order.
    QStringList Textos() const {
        QStringList t;
        for (const Caja& c : cajas)
            t << c.texto;
        return t;
    }

    std::vector<Caja> cajas;
    QStringList sinMostrar; // boxes asked for once nobody could answer them
    std::deque<Respuesta> respuestas;
    std::deque<std::optional<QString>> ficheros; // none: the dialog is cancelled
    std::deque<std::optional<QString>> carpetas;
    std::vector<OpcionesDialogo> dialogosFichero;
    QStringList textosCarpeta;
    std::vector<std::pair<QString, QString>> confirmaciones; // title and text of each Yes/No question
    std::deque<bool> reemplazos;                             // the answers; none: No
    // Runs while a box is up: a test's stand-in for the user acting meanwhile.
    std::function<void(const Caja&)> alMostrar;
};

} // namespace quimbel::prueba
