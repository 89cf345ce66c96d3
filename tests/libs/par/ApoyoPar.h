// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers for the parity tests: running par2, reading the packets of PAR files,
// working inside a folder and taking its listing.
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "support/Carpeta.h"

namespace quimbel::prueba {

// Runs "par2 <argumentos>" in the current folder, output discarded; its exit status.
int Par2(const std::string& argumentos);

struct PaquetePar {
    std::string tipo;   // the 16-byte type
    std::string cuerpo; // everything after the 64-byte header
};

// The packets of a PAR file, checking magic, lengths and each packet's MD5.
std::vector<PaquetePar> LeerPaquetes(const std::string& ruta);

// Every distinct (type, body) in the files of the folder whose names start with
// prefijo and end in ".par2", creator packets left out.
std::set<std::pair<std::string, std::string>> PaquetesDeConjunto(const std::string& carpeta,
                                                                 const std::string& prefijo);

// The current folder for the life of the object.
class EnCarpeta {
  public:
    explicit EnCarpeta(const std::string& carpeta);
    ~EnCarpeta();
    EnCarpeta(const EnCarpeta&) = delete;
    EnCarpeta& operator=(const EnCarpeta&) = delete;

  private:
    std::string anterior_;
};

// Writes n pieces "<base>.001" ... of the given sizes with distinct data; their names.
std::vector<std::string> EscribirTrozos(const std::string& carpeta, const std::string& base,
                                        const std::vector<size_t>& tamanos);

inline const std::string TipoCreadorPar{"PAR 2.0\0Creator\0", 16};
inline const std::string TipoRecuperacionPar{"PAR 2.0\0RecvSlic", 16};
inline const std::string TipoPrincipalPar{"PAR 2.0\0Main\0\0\0\0", 16};

} // namespace quimbel::prueba
