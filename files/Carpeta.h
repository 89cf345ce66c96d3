#pragma once
// Folders a run works in. The folder the user chose is opened once at the start of a run,
// following links (a linked ~/Descargas is still the user's folder); every create, check and
// rename of the run is made relative to that handle. Names that come from untrusted bytes
// (an SFV entry, a name stored in a piece or a PAR set) are resolved beneath it by the
// kernel, never by their text.
#include <string>
#include <string_view>

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

    bool Abierta() const { return fd_ >= 0; }
    int Descriptor() const { return fd_; }
    // Why it is not open: the error of the last open, EBADF when none was tried.
    int Error() const { return error_; }

  private:
    friend int AbrirCarpeta(Carpeta&, const std::string&);
    friend int ResolverBajo(const Carpeta&, std::string_view, Carpeta&, std::string&, bool);
    void Poner(int fd, int error);
    int fd_ = -1;
    int error_ = 9; // EBADF
};

// Opens the folder at ruta, following links; "" is the current folder. 0 or an error number.
int AbrirCarpeta(Carpeta& carpeta, const std::string& ruta);

// Resolves `relativa` beneath `carpeta`: padre receives the folder that holds its last
// component and hoja that component, which is not followed. A path that is absolute, climbs
// with "..", or passes a link that leads out of carpeta (or, with sinEnlaces, any link) is
// refused (EXDEV or ELOOP); so is an empty last component (EINVAL). 0 or an error number.
int ResolverBajo(const Carpeta& carpeta, std::string_view relativa, Carpeta& padre, std::string& hoja,
                 bool sinEnlaces = false);

// Opens as an input (see AbrirFichero) the file that `relativa` names beneath carpeta, with no
// link anywhere on the way, the file itself included (ErrorNoEsFichero for a link there).
int AbrirFicheroBajo(Fichero& fichero, const Carpeta& carpeta, std::string_view relativa);

// Renames `antigua` to `nueva` inside one open folder (both single components); fails,
// leaving both names as they were, when nueva exists or antigua does not. Never replaces
// a file, also where the file system lacks RENAME_NOREPLACE. 0 or an error number.
int RenombrarEn(const Carpeta& carpeta, const std::string& antigua, const std::string& nueva);

// Renames a file between two paths the user chose, by the same rule.
int RenombrarFichero(const std::string& antigua, const std::string& nueva);

// Renames a file named by untrusted bytes: relativa is resolved beneath carpeta and gets the
// new last component nuevaHoja in the same folder. 0 or an error number.
int RenombrarBajo(const Carpeta& carpeta, std::string_view relativa, const std::string& nuevaHoja);

// Test seam: resolve by walking the components with no-follow opens, as where the kernel's
// openat2 is unavailable (old kernels, some container filters).
void ForzarRecorridoSinOpenat2(bool forzar);

} // namespace quimbel
