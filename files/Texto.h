#pragma once
// Text files: written with CR LF after every line; read with CR, LF or CR LF as
// line ends, and a Ctrl-Z byte ending the file.
#include <string>
#include <string_view>
#include <vector>

#include "Ficheros.h"
#include "Salidas.h"

namespace quimbel {

// The longest line a reader keeps; a longer one is passed over whole, never held in memory.
inline constexpr size_t MaxLinea = 65536;

// A text file open for reading line by line.
class TextoEntrada {
  public:
    // The next line, without its end; false at the end of the file or on a read error.
    // Lines longer than MaxLinea bytes are skipped as if they were not there.
    bool LeerLinea(std::string& linea);
    // The error number of a failed read; 0 when the file simply ended.
    int Error() const { return error_; }
    int Cerrar() { return fichero_.Cerrar(); }

  private:
    friend int AbrirTexto(TextoEntrada&, const std::string&);
    bool Rellenar();
    // Reads one line into linea; false at the end. `larga` tells it outgrew MaxLinea.
    bool LeerUna(std::string& linea, bool& larga);
    Fichero fichero_;
    std::vector<char> buffer_;
    size_t pos_ = 0;
    size_t fin_ = 0;
    bool acabado_ = false;
    int error_ = 0;
};

// A text file open for writing; every line ends in CR LF.
class TextoSalida {
  public:
    // Writes one line and its end; 0, or the error number of a failed write.
    int EscribirLinea(std::string_view linea);
    // Writes what is pending and closes; 0, or the first error met (also of earlier lines).
    int Cerrar();

  private:
    friend int CrearTexto(TextoSalida&, const Carpeta&, const std::string&, const Protegidos&);
    int Vaciar();
    Fichero fichero_;
    std::string pendiente_;
    int error_ = 0;
};

// Opens an existing text file for reading. 0 or an error number.
int AbrirTexto(TextoEntrada& texto, const std::string& ruta);

// Creates or empties a text file for writing: the output `nombre` in carpeta, by the rules of
// CrearSalida. 0 or an error number.
int CrearTexto(TextoSalida& texto, const Carpeta& carpeta, const std::string& nombre,
               const Protegidos& protegidos = {});

// The same for a path the user chose (its folder is opened, links followed).
int CrearTexto(TextoSalida& texto, const std::string& ruta, const Protegidos& protegidos = {});

} // namespace quimbel
