// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Between the engines' UTF-8 texts and byte paths, and Qt's strings.
#include <QFile>
#include <QString>
#include <string>
#include <string_view>

namespace quimbel {

inline QString DeUtf8(std::string_view texto) {
    return QString::fromUtf8(texto.data(), static_cast<qsizetype>(texto.size()));
}

// A path as the file system takes it.
inline std::string ARuta(const QString& ruta) {
    return QFile::encodeName(ruta).toStdString();
}

// A path as the window shows it.
inline QString DeRuta(std::string_view ruta) {
    return QFile::decodeName(QByteArray(ruta.data(), static_cast<qsizetype>(ruta.size())));
}

} // namespace quimbel
