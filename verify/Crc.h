#pragma once
// The CRC-32 provider: the shipped library libcrc32.so, loaded once at start-up and
// released at the end, and CrcFichero, the one routine that computes a file's CRC-32
// through it. The state lives from loading to release; everything runs on one thread.
#include <cstdint>
#include <string>

#include "files/Avance.h"
#include "files/Biblioteca.h"

namespace quimbel {

// The provider's file name, looked up beside the executable first.
inline constexpr const char* NombreBibliotecaCrc = "libcrc32.so";

// Bytes read and folded in per step.
inline constexpr size_t BloqueCrc = 1000000;

// Loads the provider by its bare name (from carpetaPrimero, else by the system's order)
// and looks up its crc32 export. Silent: a missing library or export only leaves the
// provider unusable. Loading again first releases what was loaded before.
void CargarCrc(const std::string& carpetaPrimero = CarpetaDelEjecutable());

// Releases the provider; nothing happens when none was loaded.
void LiberarCrc();

// True once the library has been loaded (whether or not it had the export).
bool CrcCargada();

// Outcome of the last CrcFichero call: 0 success, -1 failure.
int32_t FalloCrc();

// The CRC-32 of the whole file, read front to back in blocks of BloqueCrc bytes, each counted
// in avance when given. Sets FalloCrc to 0, or to -1 with the result 0 when no provider with
// the export is loaded, the file cannot be opened, the buffer cannot be allocated or a read
// fails.
uint32_t CrcFichero(const std::string& ruta, Avance* avance = nullptr);

} // namespace quimbel
