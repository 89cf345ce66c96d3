// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Loading of the libraries shipped beside the program. A library is looked up by its
// bare file name, first in one folder (as a rule the executable's own) and then by the
// system's order; a failed load is silent. Each library is loaded private to its handle,
// so an export is always looked up in that library and never in another one that
// happens to export the same name (zlib's crc32, for one).
#include <bit>
#include <string>

namespace quimbel {

// An open shared library; null when none was loaded.
using ManejadorBiblioteca = void*;

// The folder of the running executable, ending in "/"; empty when it cannot be read.
std::string CarpetaDelEjecutable();

// Loads the library "nombre" (a bare file name such as "libcrc32.so"). When the file
// exists in carpetaPrimero that copy is the one loaded (or none, if it cannot be);
// otherwise the system's search order applies. Null on failure; nothing is shown.
ManejadorBiblioteca CargarBiblioteca(const std::string& nombre, const std::string& carpetaPrimero);

// The address of an export of that library only; null when it has none or when the
// handle is null.
void* BuscarExportacion(ManejadorBiblioteca biblioteca, const char* nombre);

// The same, as a function pointer of type F.
template <class F> F BuscarFuncion(ManejadorBiblioteca biblioteca, const char* nombre) {
    return std::bit_cast<F>(BuscarExportacion(biblioteca, nombre));
}

// Releases the library; a null handle does nothing.
void LiberarBiblioteca(ManejadorBiblioteca biblioteca);

} // namespace quimbel
