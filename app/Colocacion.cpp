// SPDX-License-Identifier: GPL-3.0-or-later
#include "Colocacion.h"

#include <QRegion>
#include <algorithm>
#include <cstdint>

namespace quimbel {

namespace {

int64_t Area(const QRect& r) {
    return r.isEmpty() ? 0 : int64_t{r.width()} * r.height();
}

// The screen the window belongs on: most of it, or else the nearest centre.
QRect Pantalla(const QRect& ventana, const QList<QRect>& areas) {
    QRect mejor = areas.front();
    int64_t mayor = 0;
    for (const QRect& a : areas) {
        const int64_t comun = Area(a.intersected(ventana));
        if (comun > mayor) {
            mayor = comun;
            mejor = a;
        }
    }
    if (mayor > 0) return mejor;
    const auto distancia = [&](const QRect& a) {
        const QPoint d = a.center() - ventana.center();
        return int64_t{d.x()} * d.x() + int64_t{d.y()} * d.y();
    };
    return *std::min_element(areas.begin(), areas.end(),
                             [&](const QRect& a, const QRect& b) { return distancia(a) < distancia(b); });
}

// The start of a span of largo moved the least into [desde, desde + ancho); the start of the
// range when the span is longer.
int Dentro(int inicio, int largo, int desde, int ancho) {
    return std::max(desde, std::min(inicio, desde + ancho - largo));
}

} // namespace

QRect Colocar(const QRect& guardada, const QList<QRect>& areas, const QSize& minimo) {
    QRect ventana(guardada.topLeft(), guardada.size().expandedTo(minimo));
    if (areas.isEmpty()) return ventana;
    QRegion region;
    for (const QRect& a : areas)
        region += a;
    if (QRegion(ventana).subtracted(region).isEmpty()) return ventana;
    const QRect a = Pantalla(ventana, areas);
    const QSize tamano = ventana.size().boundedTo(a.size()).expandedTo(minimo);
    return {Dentro(ventana.x(), tamano.width(), a.x(), a.width()),
            Dentro(ventana.y(), tamano.height(), a.y(), a.height()), tamano.width(), tamano.height()};
}

} // namespace quimbel
