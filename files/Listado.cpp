// SPDX-License-Identifier: GPL-3.0-or-later
#include "Listado.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace quimbel {

std::optional<std::vector<std::string>>
ListarCarpeta(const Carpeta& carpeta, const std::function<bool(std::string_view)>& conservar) {
    if (!carpeta.Abierta()) return std::nullopt;
    // The folder's handle is path-only: listing needs one opened for reading.
    const int fd = openat(carpeta.Descriptor(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    DIR* d = fdopendir(fd);
    if (d == nullptr) {
        close(fd);
        return std::nullopt;
    }
    std::vector<std::string> nombres;
    while (const dirent* entrada = readdir(d)) {
        const std::string_view nombre = entrada->d_name;
        if (nombre == "." || nombre == "..") continue;
        if (conservar(nombre)) nombres.emplace_back(nombre);
    }
    closedir(d);
    return nombres;
}

} // namespace quimbel
