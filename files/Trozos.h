// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The piece-set format: how the pieces of a set are named and which piece carries one of
// the two headers (files/Cabeceras.h).
#include <cstdint>
#include <string>
#include <string_view>

namespace quimbel {

// The piece-naming scheme of a set.
enum class TipoCorte { Normal, CortaArchivos, Hacha };

// The most pieces a set may have: more would flood the folder and the list.
inline constexpr int64_t MaxTrozos = 100000;

// The message of a set that would pass MaxTrozos pieces, the limit written in it; the one text
// of every place that refuses such a set.
std::string ErrorDemasiadosTrozos();

// N: the piece count of a source of s bytes cut into pieces of p (>= 1) bytes,
// s / p rounded up (0 for an empty source).
int64_t NumeroTrozos(int64_t s, int64_t p);

// W: the digit width of Normal suffixes, the decimal digits of n but at least 3.
int AnchoNormal(int64_t n);

// "." and k in decimal, zeros in front up to `ancho` digits (".007"; ".1000" at width 3).
std::string SufijoConCeros(int64_t k, int ancho);

// The suffix of piece k of n under the scheme: ".001" (width W), ".1" .. ".fin", ".0" ..
std::string SufijoTrozo(TipoCorte tipo, int64_t k, int64_t n);

// The full path of piece k (1..n): destino (ending in "/", or empty) followed by the
// file-name part of fuente, with its extension replaced by the scheme's suffix.
std::string NombreTrozo(std::string_view fuente, std::string_view destino, int64_t k, int64_t n,
                        TipoCorte tipo);

// The source bytes piece k (1..n) holds: p, or what remains of s for the last piece.
int64_t DatosDeTrozo(int64_t s, int64_t p, int64_t k);

// Whether a piece carries a header: the last CortaArchivos piece (also when n = 1), and the
// first Hacha piece when n >= 2.
bool LlevaCabecera(TipoCorte tipo, int64_t k, int64_t n);

} // namespace quimbel
