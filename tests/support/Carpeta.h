// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A fresh temporary folder per test, removed with everything in it afterwards,
// and small helpers to write and read whole files.
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quimbel::prueba {

class CarpetaTemporal {
  public:
    // Below the system's temporary folder, or below `base` when one is given.
    explicit CarpetaTemporal(const std::string& base = "");
    ~CarpetaTemporal();
    CarpetaTemporal(const CarpetaTemporal&) = delete;
    CarpetaTemporal& operator=(const CarpetaTemporal&) = delete;

    // The folder's path, ending in "/".
    const std::string& Ruta() const { return ruta_; }
    // The path of a name inside the folder.
    std::string operator/(std::string_view nombre) const { return ruta_ + std::string(nombre); }

  private:
    std::string ruta_;
};

void EscribirFichero(const std::string& ruta, std::string_view contenido);
std::string LeerFichero(const std::string& ruta);
bool Existe(const std::string& ruta);
// The names in a folder (hidden ones too: a leftover temporary is one), sorted.
std::vector<std::string> Nombres(const std::string& carpeta);
// Every name in a folder with the bytes of its file ("<carpeta>" for a folder): a folder compared
// before and after a run.
std::map<std::string, std::string> Contenido(const std::string& carpeta);
// Whether the folder's file system has at least bytes free (large-file tests skip otherwise).
bool HayEspacio(const std::string& carpeta, long long bytes);
// "/dev/shm" when it is a memory file system with at least bytes free, else "" (the temporary
// folder): for a test that must write gigabytes whole, which a disk takes seconds to store.
std::string CarpetaEnMemoria(long long bytes);
// Deterministic pseudo-random bytes, different for each semilla.
std::string Datos(size_t n, unsigned semilla = 1);

} // namespace quimbel::prueba
