// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Outputs that appear only when complete. A run writes each output under a temporary name in
// the folder it opened (PrefijoTemporal and random letters, locked with flock for as long as
// the run holds it), flushes it to disk and only then gives it its final name, so that no
// reader ever sees a partial file under a final name. A file that stood at that name is
// replaced only when it is the very file the user chose to replace. A temporary left by a run
// that died (a kill, a power cut) is removed by a later run in that folder.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "Carpeta.h"
#include "Ficheros.h"
#include "Salidas.h"

namespace quimbel {

// The start of every temporary's name: hidden, and recognisable by the runs that clean up.
inline constexpr std::string_view PrefijoTemporal = ".quimbel-tmp-";

// Whether a file name (no folder) is one of the temporaries.
bool EsTemporal(std::string_view nombre);

// What stands at an output's final name before the run writes it.
struct Ocupante {
    Desenlace estado; // Hecho: a regular file stands there; ENOENT: nothing; else why it cannot be an output
    IdFichero id;     // its identity, when a regular file stands there
    bool intocable = false; // that file is one of the run's protected files
    // Whether the name is free.
    bool Libre() const;
};

// Looks at the final name `nombre` (a single component) in carpeta, links not followed: free,
// a regular file (and whether it is protected: compared while it is open), or something no
// output may replace (a folder: EISDIR; a link, FIFO, socket or device: NoEsFichero).
Ocupante MirarOcupante(const Carpeta& carpeta, const std::string& nombre, const Protegidos& protegidos);

// One output being written.
class SalidaTemporal {
  public:
    SalidaTemporal() = default;
    // Removes the temporary unless it was published.
    ~SalidaTemporal();
    SalidaTemporal(SalidaTemporal&& otra) noexcept;
    SalidaTemporal& operator=(SalidaTemporal&& otra) noexcept;
    SalidaTemporal(const SalidaTemporal&) = delete;
    SalidaTemporal& operator=(const SalidaTemporal&) = delete;

    // Creates a new temporary in carpeta (which stays open as long as this output lives),
    // open for reading and writing at position 0 and locked. Hecho or the system's error.
    Desenlace Crear(const Carpeta& carpeta);

    // The open file the data go to.
    Fichero& Datos() { return fichero_; }

    // Flushes the data written so far to disk: Hecho, or the system's error (a full disk, a
    // failing device) that writes may report only now.
    Desenlace Volcar();

    // Flushes the data to disk and gives the temporary the final name `nombre` (a single
    // component) in its folder. A free name is taken; a regular file that stands there is
    // replaced only when its identity is `reemplazable` and it is none of protegidos (compared
    // while it is open); otherwise nothing changes: EEXIST for another file, Intocable for a
    // protected one, NoEsFichero or EISDIR for what no output replaces. On failure the
    // temporary stays, to be published again or discarded. Hecho or why not.
    Desenlace Publicar(const std::string& nombre, const Protegidos& protegidos = {},
                       std::optional<IdFichero> reemplazable = std::nullopt);

    // Removes the temporary now (closing it); nothing when there is none.
    void Descartar();

    // The temporary's name in its folder; empty when there is none.
    const std::string& Nombre() const { return nombre_; }

  private:
    const Carpeta* carpeta_ = nullptr;
    std::string nombre_;
    Fichero fichero_;
};

// Removes from an open folder the temporaries that no live run holds (their lock is free); one
// still under the name it is born with, before its run locks it, only once it has not changed
// for a minute. Called once by each run when it opens the folder it writes in. A name that
// `conservar` accepts is left alone whatever it holds (a file a set lists by such a name).
void LimpiarTemporales(const Carpeta& carpeta, const std::function<bool(std::string_view)>& conservar = {});

// Flushes a folder's names to disk after a run gave its outputs their final names.
void SincronizarCarpeta(const Carpeta& carpeta);

} // namespace quimbel
