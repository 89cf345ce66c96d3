// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text files: written with CR LF after every line; read with CR, LF or CR LF as
// line ends, and a Ctrl-Z byte ending the file.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Ficheros.h"
#include "Salidas.h"
#include "Temporales.h"

namespace quimbel {

// The longest line a reader keeps; a longer one is passed over whole, never held in memory.
inline constexpr size_t MaxLinea = 65536;

// A text file open for reading line by line.
class TextoEntrada {
  public:
    // The next line, without its end; false at the end of the file or on a read error.
    // Lines longer than MaxLinea bytes are skipped as if they were not there.
    bool LeerLinea(std::string& linea);
    // The system's error of a failed read; Hecho when the file simply ended.
    Desenlace Error() const { return error_; }
    // Closes the file; Hecho or the system's error.
    Desenlace Cerrar() { return fichero_.Cerrar(); }

  private:
    friend Desenlace AbrirTexto(TextoEntrada&, const std::string&);
    bool Rellenar();
    // Reads one line into linea; false at the end. `larga` tells it outgrew MaxLinea.
    bool LeerUna(std::string& linea, bool& larga);
    Fichero fichero_;
    std::vector<char> buffer_;
    size_t pos_ = 0;
    size_t fin_ = 0;
    bool acabado_ = false;
    Desenlace error_;
};

// A text file being written, every line ending in CR LF, under a temporary name until it is
// complete (files/Temporales.h): a reader never sees part of it under its name.
class TextoSalida {
  public:
    TextoSalida() = default;
    // Its temporary lives in a folder it may hold itself: it stays where it was made.
    TextoSalida(const TextoSalida&) = delete;
    TextoSalida& operator=(const TextoSalida&) = delete;

    // Writes one line and its end; Hecho, or the system's error of a failed write.
    Desenlace EscribirLinea(std::string_view linea);
    // Writes what is pending, flushes it and gives the file its name, in place of the file that
    // stood there when it was created; Hecho, or the first error met (also of earlier lines),
    // after which nothing of it remains.
    Desenlace Cerrar();
    // Gives up the file: nothing of it remains, and the name keeps what it had.
    void Descartar();

  private:
    friend Desenlace CrearTexto(TextoSalida&, const Carpeta&, const std::string&, const Protegidos&);
    friend Desenlace CrearTexto(TextoSalida&, const std::string&, const Protegidos&);
    Desenlace Vaciar();
    Carpeta propia_; // the folder of a path the user chose, opened for this file
    SalidaTemporal salida_;
    std::string nombre_;
    Protegidos protegidos_;
    std::optional<IdFichero> reemplazable_;
    std::string pendiente_;
    Desenlace error_;
};

// Opens an existing text file for reading, with AbrirFichero's outcomes.
Desenlace AbrirTexto(TextoEntrada& texto, const std::string& ruta);

// Starts a text file that will take the name `nombre` in carpeta (which must stay open until it
// is closed), in place of the regular file that stands there now, if any. A folder at the name
// is refused (EISDIR), a link, FIFO, socket or device NoEsFichero, one of protegidos Intocable;
// Hecho, or the system's error of the temporary's creation.
Desenlace CrearTexto(TextoSalida& texto, const Carpeta& carpeta, const std::string& nombre,
                     const Protegidos& protegidos = {});

// The same for a path the user chose (its folder is opened, links followed).
Desenlace CrearTexto(TextoSalida& texto, const std::string& ruta, const Protegidos& protegidos = {});

} // namespace quimbel
