// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers shared by the split tests: the inputs of a run, the plan the window would hold,
// and the data a piece carries behind its header.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "files/Rutas.h"
#include "files/Trozos.h"
#include "split/Corte.h"
#include "split/Plan.h"
#include "support/Carpeta.h"
#include "support/Grabadora.h"
#include "support/PlanEnVigor.h"

namespace quimbel::prueba {

inline EntradaCorte Entrada(const std::string& fuente, const std::string& destino, int64_t p,
                            TipoCorte tipo) {
    EntradaCorte e;
    e.fuente = fuente;
    e.destino = destino;
    e.tamano = std::to_string(p);
    e.tipo = tipo;
    return e;
}

// The data a piece carries: its bytes with the scheme's header skipped.
inline std::string DatosDeTrozo(const std::string& trozo, TipoCorte tipo, int64_t k, int64_t n) {
    const std::string bytes = LeerFichero(trozo);
    if (!LlevaCabecera(tipo, k, n)) return bytes;
    if (tipo == TipoCorte::CortaArchivos) return bytes.substr(13 + static_cast<unsigned char>(bytes.at(12)));
    uint32_t h = 0;
    for (size_t i = 0; i < 4; ++i)
        h |= static_cast<uint32_t>(static_cast<unsigned char>(bytes.at(5 + i))) << (8 * i);
    return bytes.substr(9 + h);
}

// A sparse file of s bytes, made in no time whatever its size.
inline void FicheroDisperso(const std::string& ruta, int64_t s) {
    const int fd = open(ruta.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << ruta;
    ASSERT_EQ(ftruncate(fd, s), 0);
    close(fd);
}

} // namespace quimbel::prueba
