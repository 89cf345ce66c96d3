// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two headers of the piece-set format, written by the split and read back by the join:
// CabeceraCA in front of the data of the last CortaArchivos piece, CabeceraHacha in front of
// the data of the first Hacha piece of a set of two or more. The bytes read back come from a
// file anyone may have written: every length is checked.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quimbel {

// CabeceraCA: a length byte (7), the signature, N (32-bit little-endian), L, then the
// source's extension (L bytes): 13 + L bytes in all.
inline constexpr std::string_view FirmaCA = "cortarc";
inline constexpr size_t TamFijoCabeceraCA = 13;
inline constexpr size_t MaxCabeceraCA = TamFijoCabeceraCA + 255;

// CabeceraHacha: the marker, H (32-bit little-endian, the bytes that follow it), then the
// marker, the name, the marker, S, the marker, P and the marker: 9 + H bytes in all. Its
// first 14 bytes (marker, H, marker) tell a .0 piece that carries it.
inline constexpr std::string_view MarcaHacha = "?????";
inline constexpr size_t TamAntesDeHacha = 9;
inline constexpr size_t TamPruebaHacha = 14;
// The bounds of H: the shortest header holds a name and two numbers of one character each;
// a longer one than 65,536 bytes is no header this format writes.
inline constexpr int32_t MinHachaH = 23;
inline constexpr int32_t MaxHachaH = 65536;

// CabeceraCA for a set of n pieces of a source with that extension ("" when none).
std::vector<unsigned char> CabeceraCA(int32_t n, std::string_view extension);

// CabeceraHacha for a source named nombre (no folder) of s bytes cut into pieces of p.
std::vector<unsigned char> CabeceraHacha(std::string_view nombre, int64_t s, int64_t p);

// A 32-bit little-endian signed integer at the start of p (4 bytes).
int32_t Entero32LE(const unsigned char* p);

// What a CabeceraCA holds.
struct DatosCabeceraCA {
    int32_t n = 0;
    std::string extension;
    size_t tamano = 0; // 13 + L: where the piece's data start
};

// Reads a CabeceraCA from the first bytes of a ".fin" piece (as many as it has, up to
// MaxCabeceraCA). None when they are fewer than 13 + L; the signature is not examined.
std::optional<DatosCabeceraCA> LeerCabeceraCA(std::span<const unsigned char> inicio);

// Whether the first 14 bytes of a .0 piece open a CabeceraHacha: bytes 0..4 and 9..13 all "?".
bool EsCabeceraHacha(std::span<const unsigned char, TamPruebaHacha> inicio);

// The three texts of a whole CabeceraHacha (its 9 + H bytes): the name of the file that was
// split, its size and the piece size. The two numbers are taken from the end of the header,
// as digits never hold a "?", so that any name the split writes reads back, "?" included; the
// name is what lies between the second marker and the marker before the size. None when the
// header does not end in that shape.
std::optional<std::array<std::string, 3>> TextosCabeceraHacha(std::span<const unsigned char> cabecera);

// A name read from a header, reduced to a name beside the pieces: its last "/"-separated
// component (a NUL byte, which would cut the name the system opens, also parts it); "." and
// ".." count as no name: empty.
std::string NombreSeguro(std::string_view nombre);

} // namespace quimbel
