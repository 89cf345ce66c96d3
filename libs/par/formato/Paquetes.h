// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The packets of a PAR 2.0 set. Each has a 64-byte header (magic, packet length,
// MD5 of everything from the set ID on, set ID, type) and a body whose length is a
// multiple of 4. Integers are little-endian.
#include "Md5.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace quimbel::par {

using Bytes = std::vector<uint8_t>;

inline constexpr size_t CabeceraPaquete = 64;
// Where each field of a header starts: magic, packet length, packet MD5 (of everything from
// the set ID on), set ID, type.
inline constexpr std::string_view MagiaPaquete{"PAR2\0PKT", 8};
inline constexpr size_t PosicionLargo = 8;
inline constexpr size_t PosicionHash = 16;
inline constexpr size_t PosicionConjunto = 32;
inline constexpr size_t PosicionTipo = 48;
// The header of a recovery slice packet with its exponent; the slice's data follow.
inline constexpr size_t CabeceraRecuperacion = CabeceraPaquete + 4;

inline constexpr std::string_view TipoPrincipal{"PAR 2.0\0Main\0\0\0\0", 16};
inline constexpr std::string_view TipoDescripcion{"PAR 2.0\0FileDesc", 16};
inline constexpr std::string_view TipoVerificacion{"PAR 2.0\0IFSC\0\0\0\0", 16};
inline constexpr std::string_view TipoRecuperacion{"PAR 2.0\0RecvSlic", 16};
inline constexpr std::string_view TipoCreador{"PAR 2.0\0Creator\0", 16};

// The MD5 and CRC-32 of one input slice, zero-padded to the slice size.
struct HuellaRebanada {
    Huella md5{};
    uint32_t crc = 0;
};

// Appends n bytes to b. It grows and copies rather than inserting a range: GCC 12 warns
// falsely (-Wstringop-overflow) on a range inserted into a byte vector in optimised builds.
void Anexar(Bytes& b, const void* datos, size_t n);

// A whole packet: header and body (the body's length must be a multiple of 4).
Bytes Paquete(const Huella& conjunto, std::string_view tipo, std::span<const uint8_t> cuerpo);

// Main packet body: slice size, file count, the file IDs in set order (no files outside
// the recovery set). The set ID is the MD5 of this body.
Bytes CuerpoPrincipal(uint64_t tamanoRebanada, std::span<const Huella> ficheros);

// File ID: MD5 of the 16 KiB hash, the length and the name.
Huella IdDeFichero(const Huella& md5Inicio, uint64_t tamano, std::string_view nombre);

// File description body: ID, MD5 of the file, MD5 of its first 16 KiB, length, name
// zero-padded to a multiple of 4.
Bytes CuerpoDescripcion(const Huella& id, const Huella& md5, const Huella& md5Inicio, uint64_t tamano,
                        std::string_view nombre);

// Slice checksum body: the file ID, then MD5 and CRC-32 of each of its slices.
Bytes CuerpoVerificacion(const Huella& id, std::span<const HuellaRebanada> rebanadas);

// Creator body: the client's name, zero-padded to a multiple of 4.
Bytes CuerpoCreador(std::string_view texto);

// Set order: file IDs compared as 128-bit little-endian numbers.
bool MenorId(const Huella& a, const Huella& b);

// A recovery slice packet is hashed while its data are computed: its digest starts with
// these bytes (the set ID, the type and the exponent); the data are added in order.
std::array<uint8_t, 36> InicioHashRecuperacion(const Huella& conjunto, uint32_t exponente);

// The first CabeceraRecuperacion bytes of a recovery slice packet, given the digest of
// the rest once all data went in.
std::array<uint8_t, CabeceraRecuperacion> CabeceraDeRecuperacion(const Huella& conjunto, uint32_t exponente,
                                                                 uint64_t tamanoRebanada, const Huella& hash);

} // namespace quimbel::par
