# SPDX-License-Identifier: GPL-3.0-or-later
# Run by the install step: writes the desktop entry with the absolute path of the
# installed bin/quimbel and installs it. In: QUIMBEL_BIN, QUIMBEL_PLANTILLA, QUIMBEL_TEMPORAL (a
# folder of the build tree), QUIMBEL_DESTINO (the entries' folder as the install step sees it),
# QUIMBEL_NOMBRE (the entry's file name).
set(ruta "${QUIMBEL_BIN}/quimbel")
# A path with a reserved character is quoted, as the desktop entry format asks, and
# its backslashes doubled once more for the value's own escapes.
if(ruta MATCHES "[ \t\"'\\\\><~|&;$*?#()`]")
    string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" ruta "${ruta}")
    string(REPLACE "\\" "\\\\" ruta "${ruta}")
    set(ruta "\"${ruta}\"")
endif()
set(QUIMBEL_EXEC "${ruta}")
# Written in a folder of this install's own: installs to other prefixes may run at once.
string(RANDOM LENGTH 16 aleatorio)
set(carpeta "${QUIMBEL_TEMPORAL}/entrada-${aleatorio}")
configure_file("${QUIMBEL_PLANTILLA}" "${carpeta}/${QUIMBEL_NOMBRE}" @ONLY)
file(INSTALL "${carpeta}/${QUIMBEL_NOMBRE}" DESTINATION "${QUIMBEL_DESTINO}")
file(REMOVE_RECURSE "${carpeta}")
