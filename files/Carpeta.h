// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Folders a run works in. The folder the user chose is opened once at the start of a run,
// following links (a linked ~/Descargas is still the user's folder); every create, check and
// rename of the run is made relative to that handle. Names that come from untrusted bytes
// (an SFV entry, a name stored in a piece or a PAR set) are resolved beneath it by the
// kernel, never by their text.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Resultado.h"
#include "Simulacion.h"

namespace quimbel {

class Fichero;

// An open folder (a path-only descriptor). Closes itself when it goes out of scope.
class Carpeta {
  public:
    Carpeta() = default;
    ~Carpeta();
    Carpeta(Carpeta&& otra) noexcept;
    Carpeta& operator=(Carpeta&& otra) noexcept;
    Carpeta(const Carpeta&) = delete;
    Carpeta& operator=(const Carpeta&) = delete;

    // Whether the folder is open.
    bool Abierta() const { return fd_ >= 0; }
    // The path-only descriptor, for calls relative to the folder; -1 when not open.
    int Descriptor() const { return fd_; }
    // Why it is not open: the system's error of the last open, EBADF when none was tried;
    // Hecho when it is open.
    Desenlace Error() const { return error_ == 0 ? Hecho : ErrorSistema(error_); }

  private:
    friend Desenlace AbrirCarpeta(Carpeta&, const std::string&);
    friend Desenlace CopiarCarpeta(Carpeta&, int);
    friend Desenlace ResolverBajo(const Carpeta&, std::string_view, Carpeta&, std::string&, bool);
    friend Desenlace CrearCarpetasBajo(const Carpeta&, std::string_view, std::vector<std::string>&);
    void Poner(int fd, int error);
    int fd_ = -1;
    int error_ = 9; // the system's error number of the last open (EBADF); 0 when open
};

// Opens the folder at ruta, following links; "" is the current folder. Hecho or the
// system's error.
Desenlace AbrirCarpeta(Carpeta& carpeta, const std::string& ruta);

// Takes a copy of a folder descriptor that another owner keeps open (the folder a caller hands
// the parity library), so that the folder stays the same whatever happens to its path. Hecho
// or the system's error (ENOTDIR for anything but a folder).
Desenlace CopiarCarpeta(Carpeta& carpeta, int descriptor);

// Resolves `relativa` beneath `carpeta`: padre receives the folder that holds its last
// component and hoja that component, which is not followed. A path that is absolute, climbs
// with "..", or passes a link that leads out of carpeta (or, with sinEnlaces, any link) is
// refused (EXDEV or ELOOP); so is an empty last component (EINVAL). Hecho or the system's
// error.
Desenlace ResolverBajo(const Carpeta& carpeta, std::string_view relativa, Carpeta& padre, std::string& hoja,
                       bool sinEnlaces = false);

// Opens as an input (see AbrirFichero) the file that `relativa` names beneath carpeta, with no
// link anywhere on the way, the file itself included (NoEsFichero for a link there).
Desenlace AbrirFicheroBajo(Fichero& fichero, const Carpeta& carpeta, std::string_view relativa);

// Creates beneath carpeta the folders that `relativa` (a file's name, untrusted bytes) names
// before its last component and that are missing, each in the one above it, never through a
// link (a link on the way is refused with ELOOP); those that exist are left as they are. Each
// folder created is added to creadas as its name beneath carpeta, outermost first. Hecho or
// the system's error (the folders created until then stay).
Desenlace CrearCarpetasBajo(const Carpeta& carpeta, std::string_view relativa,
                            std::vector<std::string>& creadas);

// Opens as an input (see AbrirFichero) the file that `relativa` names beneath carpeta as a list
// names it: its folders are resolved beneath carpeta (a link among them only while it stays
// inside), and a link at the name itself is followed as AbrirFicheroEn does (reading is no
// write). An output is never opened this way.
Desenlace AbrirEntradaBajo(Fichero& fichero, const Carpeta& carpeta, std::string_view relativa);

// Opens as an input (see AbrirFichero) the file at the single component `nombre` of carpeta,
// following a link there as AbrirFichero does (reading is no write).
Desenlace AbrirFicheroEn(Fichero& fichero, const Carpeta& carpeta, const std::string& nombre);

// Renames `antigua` to `nueva` inside one open folder (both single components); fails,
// leaving both names as they were, when nueva exists or antigua does not. Never replaces
// a file, also where the file system lacks RENAME_NOREPLACE. Hecho or the system's error
// (EEXIST when nueva is taken).
Desenlace RenombrarEn(const Carpeta& carpeta, const std::string& antigua, const std::string& nueva);

// Renames `hoja` in carpeta to the first of nombre(1), nombre(2) .. nombre(limite) that the
// rename takes (it never replaces; any failure moves on to the next); the name taken, or none
// when every attempt failed.
std::optional<std::string> RenombrarAlPrimerLibre(const Carpeta& carpeta, const std::string& hoja, int limite,
                                                  const std::function<std::string(int)>& nombre);

// Renames a file between two paths the user chose, by the same rule.
Desenlace RenombrarFichero(const std::string& antigua, const std::string& nueva);

// Renames a file named by untrusted bytes: relativa is resolved beneath carpeta and gets the
// new last component nuevaHoja in the same folder. Hecho or the system's error.
Desenlace RenombrarBajo(const Carpeta& carpeta, std::string_view relativa, const std::string& nuevaHoja);

} // namespace quimbel
