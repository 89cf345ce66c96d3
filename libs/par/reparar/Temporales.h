#pragma once
// The files a repair writes: each rebuilt file is first written under a free temporary name
// in the folder its name resolves to beneath the set's folder (never through a link; the
// missing folders of its name are created, and removed again when they stay empty), and
// takes its name only once it is whole. The damaged file, or whatever stood at the name, is
// kept under the first free name "<name>.1", "<name>.2", ...; nothing is ever replaced.
#include <string>
#include <vector>

#include "files/Carpeta.h"
#include "files/Ficheros.h"

namespace quimbel::par {

class Temporales {
  public:
    // mantener: each temporary stays open from its creation on; otherwise it is opened again
    // for every use (when the files would not fit the bound on open files).
    Temporales(const quimbel::Carpeta& carpeta, bool mantener) : carpeta_(carpeta), mantener_(mantener) {}
    // Every temporary that did not take its name is removed, and every folder created that
    // stayed empty.
    ~Temporales();
    Temporales(const Temporales&) = delete;
    Temporales& operator=(const Temporales&) = delete;

    // Creates the temporary of the file named `nombre` beneath the folder; its number is the
    // count of those created before. 0 or an error number.
    int Crear(const std::string& nombre);
    // The temporary open for reading and writing: the one kept open, or a fresh open into
    // `local` that must still be the file created. Null when it cannot be opened.
    const quimbel::Fichero* Abrir(size_t t, quimbel::Fichero& local) const;
    // Opens the temporary again for reading, as an input: Hecho, or why not (ESTALE when the
    // name no longer holds the file created).
    quimbel::Desenlace AbrirLectura(size_t t, quimbel::Fichero& fichero) const;
    // The temporary takes its file's name: what stands there is first renamed to the first
    // free "<name>.<k>" (k up to 1000), returned in apartado as a name beneath the folder
    // (empty when the name was free). 0 or an error number; on an error the names are as they were.
    int Colocar(size_t t, std::string& apartado);
    // Removes the temporary.
    void Descartar(size_t t);

  private:
    struct Temporal {
        std::string nombre;   // of the file, beneath the folder
        std::string hoja;     // its last component
        std::string temporal; // the temporary's name beside it
        quimbel::IdFichero id;
        quimbel::Carpeta padre;   // kept open with mantener
        quimbel::Fichero fichero; // likewise
        bool vivo = true;         // not yet placed or removed
    };
    int Padre(const Temporal& t, quimbel::Carpeta& padre) const;

    const quimbel::Carpeta& carpeta_;
    bool mantener_;
    std::vector<Temporal> temporales_;
    std::vector<std::string> creadas_; // folders created, by name beneath the folder, outermost first
};

} // namespace quimbel::par
