// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Building piece sets by hand for the join tests, crafted headers included.
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "join/AnalisisUnir.h"

namespace quimbel {
// How a plan shows in a failed expectation.
void PrintTo(const PlanUnir& plan, std::ostream* os);
} // namespace quimbel

namespace quimbel::prueba {

// A plan by the seven values the analysis always sets; no ".fin" spelling, no Hacha sizes.
PlanUnir Plan(int64_t primero, int64_t ultimo, int64_t fin, std::string ext, bool ceros, int64_t cabecera,
              std::string unido);

// The four values of the "Unir" page: first "Tamaño:", "Trozos:", second "Tamaño:", and
// "Teórico:" (-1 while hidden).
std::vector<int64_t> Etiquetas(const AnalisisUnir& analisis);

// A 32-bit little-endian integer as 4 bytes.
std::string Entero32(int32_t valor);

// A CabeceraCA with any count and extension.
std::string CabeceraCAHecha(int32_t n, std::string_view extension);

// A CabeceraHacha whose length field is h and whose texts are given as they stand
// (with the marker between them and at the end).
std::string CabeceraHachaHecha(int32_t h, std::string_view nombre, std::string_view s, std::string_view p);

// Its length field as the format gives it for those texts.
int32_t LargoHacha(std::string_view nombre, std::string_view s, std::string_view p);

// A file of the given size, all holes: takes no room on disk.
void FicheroDisperso(const std::string& ruta, int64_t tamano);

// Whether two files hold the same bytes, read in blocks (for files too large for memory).
bool MismoContenido(const std::string& a, const std::string& b);

} // namespace quimbel::prueba
