// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The files a repair writes: each rebuilt file is first written under a temporary name
// (files/Temporales.h) in the folder its name resolves to beneath the set's folder (never
// through a link; the missing folders of its name are created, and removed again when they
// stay empty), held open and locked, and takes its name only once it is whole and flushed.
// The damaged file, or whatever stood at the name, is kept under the first free name
// "<name>.1", "<name>.2", ...; nothing is ever replaced.
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "files/Carpeta.h"
#include "files/Ficheros.h"
#include "files/Temporales.h"

namespace quimbel::par {

class Temporales {
  public:
    // listados: every name the set lists beneath carpeta. Each folder a temporary goes to is
    // first rid of temporaries left by runs that died, a listed name always left alone.
    Temporales(const quimbel::Carpeta& carpeta, std::set<std::string> listados)
        : carpeta_(carpeta), listados_(std::move(listados)) {}
    // Every temporary that did not take its name is removed, and every folder created that
    // stayed empty.
    ~Temporales();
    Temporales(const Temporales&) = delete;
    Temporales& operator=(const Temporales&) = delete;

    // Creates the temporary of the file named `nombre` beneath the folder, with room asked for
    // its `tamano` bytes (0: unknown); its number is the count of those created before. 0 or
    // an error number.
    int Crear(const std::string& nombre, uint64_t tamano = 0);
    // The temporary, open for reading and writing (positioned, from several threads); `local`
    // is not used. Null once it was placed or removed.
    const quimbel::Fichero* Abrir(size_t t, quimbel::Fichero& local) const;
    // The temporary takes its file's name once flushed: what stands there is first renamed to
    // the first free "<name>.<k>" (k up to 1000), returned in apartado as a name beneath the
    // folder (empty when the name was free). 0 or an error number; on an error the names are
    // as they were.
    int Colocar(size_t t, std::string& apartado);
    // Removes the temporary.
    void Descartar(size_t t);
    // Flushes the names of every folder a file took its name in.
    void Sincronizar() const;

  private:
    struct Temporal {
        std::string nombre; // of the file, beneath the folder
        std::string hoja;   // its last component
        const quimbel::Carpeta* padre = nullptr;
        mutable quimbel::SalidaTemporal salida;
    };
    // The folder that holds a file's last component, opened once per folder.
    int Padre(const std::string& nombre, const quimbel::Carpeta*& padre, std::string& hoja);

    const quimbel::Carpeta& carpeta_;
    std::set<std::string> listados_;
    std::map<std::string, std::unique_ptr<quimbel::Carpeta>> padres_; // by their path beneath carpeta_
    std::vector<Temporal> temporales_;
    std::vector<std::string> creadas_; // folders created, by name beneath the folder, outermost first
};

} // namespace quimbel::par
