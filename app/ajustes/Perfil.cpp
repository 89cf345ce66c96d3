// SPDX-License-Identifier: GPL-3.0-or-later
#include "Perfil.h"

#include <cerrno>
#include <utility>

#include "files/Texto.h"

namespace quimbel {

namespace {

std::string_view Recortar(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// The section name of a "[name]" line, or nothing for any other line.
bool EsSeccion(std::string_view linea, std::string_view& nombre) {
    linea = Recortar(linea);
    if (linea.size() < 2 || linea.front() != '[') return false;
    const size_t cierre = linea.find(']');
    if (cierre == std::string_view::npos) return false;
    nombre = Recortar(linea.substr(1, cierre - 1));
    return true;
}

bool EsClave(std::string_view linea, std::string_view& clave, std::string_view& valor) {
    const size_t igual = linea.find('=');
    if (igual == std::string_view::npos) return false;
    clave = Recortar(linea.substr(0, igual));
    valor = Recortar(linea.substr(igual + 1));
    return !clave.empty() && clave.front() != ';';
}

// The file's lines; none when it does not exist. False when it exists but cannot be read.
bool LeerLineas(const std::string& ruta, std::vector<std::string>& lineas) {
    TextoEntrada texto;
    const Desenlace abierto = AbrirTexto(texto, ruta);
    if (abierto == ErrorSistema(ENOENT)) return true;
    if (!abierto.Bien()) return false;
    std::string linea;
    while (lineas.size() < MaxLineasPerfil && texto.LeerLinea(linea))
        lineas.push_back(linea);
    return texto.Error().Bien();
}

} // namespace

std::vector<std::pair<std::string, std::string>> Perfil::LeerSeccion(std::string_view seccion) const {
    std::vector<std::string> lineas;
    std::vector<std::pair<std::string, std::string>> claves;
    if (!LeerLineas(ruta_, lineas)) return claves;
    bool dentro = false;
    for (const std::string& linea : lineas) {
        std::string_view nombre, clave, valor;
        if (EsSeccion(linea, nombre))
            dentro = IgualesSinMayusculas(nombre, seccion);
        else if (dentro && EsClave(linea, clave, valor))
            claves.emplace_back(clave, valor);
    }
    return claves;
}

namespace {

// Sets one key in the lines of a file, as EscribirClave describes.
void PonerClave(std::vector<std::string>& lineas, std::string_view seccion, std::string_view clave,
                std::string_view valor) {
    const std::string nueva = std::string(clave) + "=" + std::string(valor);
    size_t cabecera = lineas.size();
    for (size_t i = 0; i < lineas.size() && cabecera == lineas.size(); ++i) {
        std::string_view nombre;
        if (EsSeccion(lineas[i], nombre) && IgualesSinMayusculas(nombre, seccion)) cabecera = i;
    }
    if (cabecera == lineas.size()) {
        // Appended, not "[" + std::string: GCC 12 warns falsely (-Wrestrict) on that when optimising.
        std::string linea = "[";
        linea += seccion;
        linea += ']';
        lineas.push_back(std::move(linea));
        lineas.push_back(nueva);
        return;
    }
    size_t fin = cabecera + 1; // behind the section's last non-blank line
    for (size_t i = cabecera + 1; i < lineas.size(); ++i) {
        std::string_view nombre, k, v;
        if (EsSeccion(lineas[i], nombre)) break;
        if (EsClave(lineas[i], k, v) && IgualesSinMayusculas(k, clave)) {
            lineas[i] = nueva;
            return;
        }
        if (!Recortar(lineas[i]).empty()) fin = i + 1;
    }
    lineas.insert(lineas.begin() + static_cast<std::ptrdiff_t>(fin), nueva);
}

} // namespace

Desenlace Perfil::EscribirClave(std::string_view seccion, std::string_view clave,
                                std::string_view valor) const {
    return EscribirClaves(seccion, {{std::string(clave), std::string(valor)}});
}

Desenlace Perfil::EscribirClaves(std::string_view seccion,
                                 const std::vector<std::pair<std::string, std::string>>& claves) const {
    std::vector<std::string> lineas;
    if (!LeerLineas(ruta_, lineas)) return ErrorSistema(EIO);
    for (const auto& [clave, valor] : claves)
        PonerClave(lineas, seccion, clave, valor);
    TextoSalida salida;
    if (const Desenlace creado = CrearTexto(salida, ruta_); !creado.Bien()) return creado;
    for (const std::string& l : lineas)
        salida.EscribirLinea(l);
    return salida.Cerrar();
}

} // namespace quimbel
