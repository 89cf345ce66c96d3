# SPDX-License-Identifier: GPL-3.0-or-later
# Run by the install step: writes the desktop entry with the absolute path of the
# installed bin/quimbel. In: QUIMBEL_BIN, QUIMBEL_PLANTILLA, QUIMBEL_ENTRADA.
set(ruta "${QUIMBEL_BIN}/quimbel")
# A path with a reserved character is quoted, as the desktop entry format asks, and
# its backslashes doubled once more for the value's own escapes.
if(ruta MATCHES "[ \t\"'\\\\><~|&;$*?#()`]")
    string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" ruta "${ruta}")
    string(REPLACE "\\" "\\\\" ruta "${ruta}")
    set(ruta "\"${ruta}\"")
endif()
set(QUIMBEL_EXEC "${ruta}")
configure_file("${QUIMBEL_PLANTILLA}" "${QUIMBEL_ENTRADA}" @ONLY)
