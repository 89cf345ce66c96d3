#pragma once
// Reading back the headers that one piece of a CortaArchivos or Hacha set carries.
// Their bytes come from a file anyone may have written: every length is checked.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quimbel {

// Bytes of CabeceraCA before the stored extension, and of CabeceraHacha that tell it is one.
inline constexpr size_t TamFijoCabeceraCA = 13;
inline constexpr size_t TamPruebaHacha = 14;

// The bounds of H, the length field of CabeceraHacha: the shortest header holds a name and two
// numbers of one character each; a longer one than 65,536 bytes is no header this format writes.
inline constexpr int32_t MinHachaH = 23;
inline constexpr int32_t MaxHachaH = 65536;

// A 32-bit little-endian signed integer at the start of p (4 bytes).
int32_t Entero32LE(const unsigned char* p);

// Whether the first 14 bytes of a .0 piece open a CabeceraHacha: bytes 0..4 and 9..13 all "?".
bool EsCabeceraHacha(std::span<const unsigned char, TamPruebaHacha> inicio);

// The three texts of a whole CabeceraHacha (its 9 + H bytes): the name of the file that was split,
// its size and the piece size. Each begins at its first byte and runs to the next "?"; the next
// begins 5 bytes past that "?". None when a text runs past the header's bytes.
std::optional<std::array<std::string, 3>> TextosCabeceraHacha(std::span<const unsigned char> cabecera);

// A name read from a header, reduced to its last path component so that it names a file beside
// the pieces. "/", "\" and a NUL byte all part components (a NUL would cut the name the system
// opens); "." and ".." count as no name: empty.
std::string NombreSeguro(std::string_view nombre);

} // namespace quimbel
