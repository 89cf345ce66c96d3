// SPDX-License-Identifier: GPL-3.0-or-later
#include "PaginaDeFichero.h"

#include <QFileInfo>

namespace quimbel {

namespace {

bool TrasPuntoSoloCifras(const QString& nombre) {
    const qsizetype punto = nombre.lastIndexOf(QLatin1Char('.'));
    if (punto < 0 || punto + 1 == nombre.size()) return false;
    for (qsizetype i = punto + 1; i < nombre.size(); ++i)
        if (nombre[i] < QLatin1Char('0') || nombre[i] > QLatin1Char('9')) return false;
    return true;
}

} // namespace

PaginaFichero PaginaDeFichero(const QString& ruta) {
    const QString nombre = QFileInfo(ruta).fileName();
    if (nombre.endsWith(QLatin1String(".sfv"), Qt::CaseInsensitive)) return PaginaFichero::Verificar;
    if (nombre.endsWith(QLatin1String(".par2"), Qt::CaseInsensitive)) return PaginaFichero::Reparar;
    if (nombre.endsWith(QLatin1String(".fin"), Qt::CaseInsensitive) || TrasPuntoSoloCifras(nombre))
        return PaginaFichero::Unir;
    return PaginaFichero::Cortar;
}

} // namespace quimbel
