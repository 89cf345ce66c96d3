// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The commands of quimbel-cli. Each takes the arguments after its command word and
// returns the exit status: 0 done, 1 stopped on a message or a step not carried out,
// 2 a usage error.
#include <span>
#include <string>

namespace quimbel {

inline constexpr int SalidaBien = 0;
inline constexpr int SalidaFallo = 1;
inline constexpr int SalidaUso = 2;

int OrdenCortar(std::span<const std::string> argumentos);
int OrdenCrc(std::span<const std::string> ficheros);
int OrdenUnir(std::span<const std::string> argumentos);
int OrdenVerificar(std::span<const std::string> argumentos);
int OrdenReparar(std::span<const std::string> argumentos);

// Prints a usage error to standard error and returns SalidaUso.
int ErrorDeUso(const std::string& mensaje);

} // namespace quimbel
