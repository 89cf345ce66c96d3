// SPDX-License-Identifier: GPL-3.0-or-later
#include "Texto.h"

#include <cerrno>
#include <cstring>

#include "Rutas.h"

namespace quimbel {

namespace {
constexpr size_t TamLectura = 1 << 16;
constexpr size_t TamEscritura = 1 << 16;
constexpr char CtrlZ = '\x1A';
} // namespace

Desenlace AbrirTexto(TextoEntrada& texto, const std::string& ruta) {
    texto = TextoEntrada();
    const Desenlace abierto = AbrirFichero(texto.fichero_, ruta);
    if (abierto.Bien()) texto.buffer_.resize(TamLectura);
    return abierto;
}

bool TextoEntrada::Rellenar() {
    if (acabado_) return false;
    const int64_t leidos = fichero_.Leer(buffer_.data(), buffer_.size());
    if (leidos < 0) {
        error_ = ErrorSistema(errno == 0 ? EIO : errno);
        acabado_ = true;
        return false;
    }
    pos_ = 0;
    fin_ = static_cast<size_t>(leidos);
    if (fin_ == 0) acabado_ = true;
    return fin_ > 0;
}

namespace {

// Where the text of a line ends in p[0..n): the first CR, LF or Ctrl-Z, or n. memchr keeps a
// long line, even one of gigabytes, a fast scan.
size_t FinDeTexto(const char* p, size_t n) {
    size_t fin = n;
    for (const char c : {'\r', '\n', CtrlZ})
        if (const void* q = std::memchr(p, c, fin))
            fin = static_cast<size_t>(static_cast<const char*>(q) - p);
    return fin;
}

} // namespace

bool TextoEntrada::LeerUna(std::string& linea, bool& larga) {
    linea.clear();
    larga = false;
    bool algo = false; // something of a line was met: text or its end
    for (;;) {
        if (pos_ == fin_ && !Rellenar()) return algo && error_.Bien();
        const size_t texto = FinDeTexto(buffer_.data() + pos_, fin_ - pos_);
        if (texto > 0) {
            algo = true;
            if (!larga && linea.size() + texto > MaxLinea) {
                larga = true;
                std::string().swap(linea);
            }
            if (!larga) linea.append(buffer_.data() + pos_, texto);
            pos_ += texto;
            continue;
        }
        const char c = buffer_[pos_];
        if (c == CtrlZ) {
            acabado_ = true;
            pos_ = fin_ = 0;
            return algo;
        }
        ++pos_;
        if (c == '\n') return true;
        // A CR: the LF right after it belongs to the same line end.
        if (pos_ == fin_) Rellenar();
        if (pos_ < fin_ && buffer_[pos_] == '\n') ++pos_;
        return true;
    }
}

bool TextoEntrada::LeerLinea(std::string& linea) {
    bool larga = false;
    while (LeerUna(linea, larga)) {
        if (!larga) return true;
    }
    linea.clear();
    return false;
}

Desenlace CrearTexto(TextoSalida& texto, const Carpeta& carpeta, const std::string& nombre,
                     const Protegidos& protegidos) {
    texto.Descartar();
    texto.error_ = Hecho;
    const Ocupante o = MirarOcupante(carpeta, nombre, protegidos);
    if (o.intocable) return Resultado::Intocable;
    if (!o.Libre() && !o.estado.Bien()) return o.estado;
    if (const Desenlace creado = texto.salida_.Crear(carpeta); !creado.Bien()) return creado;
    texto.nombre_ = nombre;
    texto.protegidos_ = protegidos;
    texto.reemplazable_ = o.Libre() ? std::nullopt : std::optional<IdFichero>(o.id);
    return Hecho;
}

Desenlace CrearTexto(TextoSalida& texto, const std::string& ruta, const Protegidos& protegidos) {
    texto.Descartar();
    if (const Desenlace abierta = AbrirCarpeta(texto.propia_, CarpetaDeRuta(ruta)); !abierta.Bien())
        return abierta;
    return CrearTexto(texto, texto.propia_, NombreDeRuta(ruta), protegidos);
}

Desenlace TextoSalida::Vaciar() {
    if (pendiente_.empty()) return error_;
    if (error_.Bien()) error_ = salida_.Datos().Escribir(pendiente_.data(), pendiente_.size());
    pendiente_.clear();
    return error_;
}

Desenlace TextoSalida::EscribirLinea(std::string_view linea) {
    pendiente_ += linea;
    pendiente_ += "\r\n";
    if (pendiente_.size() >= TamEscritura) return Vaciar();
    return error_;
}

Desenlace TextoSalida::Cerrar() {
    if (nombre_.empty()) return error_;
    Vaciar();
    if (error_.Bien()) error_ = salida_.Publicar(nombre_, protegidos_, reemplazable_);
    Descartar();
    return error_;
}

void TextoSalida::Descartar() {
    salida_.Descartar();
    nombre_.clear();
    pendiente_.clear();
    protegidos_ = {};
    reemplazable_.reset();
}

} // namespace quimbel
