// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/libs/par/ApoyoPar.h"

#include "support/Carpeta.h"

#include <openssl/evp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace quimbel::prueba {
namespace {

uint64_t Leer64(const std::string& d, size_t p) {
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | static_cast<uint8_t>(d[p + static_cast<size_t>(i)]);
    return v;
}

std::string Md5(const std::string& datos) {
    unsigned char h[EVP_MAX_MD_SIZE];
    unsigned int n = 0;
    EVP_Digest(datos.data(), datos.size(), h, &n, EVP_md5(), nullptr);
    return std::string(reinterpret_cast<const char*>(h), n);
}

} // namespace

int Par2(const std::string& argumentos) {
    const int r = std::system(("par2 " + argumentos + " >/dev/null 2>&1").c_str());
    return WIFEXITED(r) ? WEXITSTATUS(r) : -1;
}

std::vector<PaquetePar> LeerPaquetes(const std::string& ruta) {
    const std::string d = LeerFichero(ruta);
    std::vector<PaquetePar> paquetes;
    for (size_t p = 0; p < d.size();) {
        if (d.size() - p < 64 || d.compare(p, 8, std::string("PAR2\0PKT", 8)) != 0)
            throw std::runtime_error("paquete mal formado en " + ruta);
        const uint64_t largo = Leer64(d, p + 8);
        if (largo < 64 || largo % 4 != 0 || largo > d.size() - p)
            throw std::runtime_error("largo de paquete erróneo en " + ruta);
        if (Md5(d.substr(p + 32, largo - 32)) != d.substr(p + 16, 16))
            throw std::runtime_error("MD5 de paquete erróneo en " + ruta);
        paquetes.push_back({d.substr(p + 48, 16), d.substr(p + 64, largo - 64)});
        p += largo;
    }
    return paquetes;
}

std::set<std::pair<std::string, std::string>> PaquetesDeConjunto(const std::string& carpeta,
                                                                 const std::string& prefijo) {
    std::set<std::pair<std::string, std::string>> todos;
    for (const auto& [nombre, contenido] : Contenido(carpeta)) {
        if (!nombre.starts_with(prefijo) || !nombre.ends_with(".par2")) continue;
        for (PaquetePar& p : LeerPaquetes(carpeta + "/" + nombre))
            if (p.tipo != TipoCreadorPar) todos.emplace(std::move(p.tipo), std::move(p.cuerpo));
    }
    return todos;
}

EnCarpeta::EnCarpeta(const std::string& carpeta) : anterior_(std::filesystem::current_path().string()) {
    std::filesystem::current_path(carpeta);
}

EnCarpeta::~EnCarpeta() {
    std::error_code ec;
    std::filesystem::current_path(anterior_, ec);
}

std::vector<std::string> EscribirTrozos(const std::string& carpeta, const std::string& base,
                                        const std::vector<size_t>& tamanos) {
    std::vector<std::string> nombres;
    for (size_t i = 0; i < tamanos.size(); ++i) {
        const std::string numero = std::to_string(i + 1);
        nombres.push_back(base + "." + std::string(numero.size() < 3 ? 3 - numero.size() : 0, '0') + numero);
        EscribirFichero(carpeta + nombres.back(), Datos(tamanos[i], static_cast<unsigned>(i + 7)));
    }
    return nombres;
}

} // namespace quimbel::prueba
