// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A Windows-style profile (ini) file: sections of key=value lines. Reading gives all
// keys of a section; writing changes keys in place and keeps every other line. Only the first
// MaxLineasPerfil lines count: a settings file holds a few dozen, and a longer one costs no
// more to read and write than that.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/Comparar.h" // IgualesSinMayusculas, how sections and keys match
#include "files/Resultado.h"

namespace quimbel {

inline constexpr size_t MaxLineasPerfil = 4096;

class Perfil {
  public:
    explicit Perfil(std::string ruta) : ruta_(std::move(ruta)) {}

    const std::string& Ruta() const { return ruta_; }

    // The key=value pairs of a section in file order, keys and values trimmed of blanks;
    // section names are matched without regard to case. Empty when the file or the section
    // is missing.
    std::vector<std::pair<std::string, std::string>> LeerSeccion(std::string_view seccion) const;

    // Writes one key: replaces the value of the key (matched without regard to case) or
    // adds it at the end of the section, creating the file and the section when missing.
    // Hecho, or why the file could not be read or written.
    Desenlace EscribirClave(std::string_view seccion, std::string_view clave, std::string_view valor) const;

    // Writes several keys of a section as EscribirClave writes one, reading the file once and
    // writing it once, as a new file that takes the name only when complete.
    Desenlace EscribirClaves(std::string_view seccion,
                             const std::vector<std::pair<std::string, std::string>>& claves) const;

  private:
    std::string ruta_;
};

} // namespace quimbel
