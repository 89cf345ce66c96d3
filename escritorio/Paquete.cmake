# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package, made by `cpack -G DEB` in a build folder: quimbel_<version>_<arch>.deb,
# installed below /usr, its dependencies computed from the binaries by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quimbel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Equipo de Quimbel <quimbel@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "corta ficheros en trozos y los une, con SFV y PAR2")
# The extended description, below the summary line; CPack indents it.
set(CPACK_PACKAGE_DESCRIPTION
    "Quimbel corta un fichero grande en trozos de un tamaño elegido, como 700MB o
4G, con tres formas de nombrarlos (Normal, CortaArchivos y Hacha), vuelve a
unir un juego a partir de cualquiera de sus trozos, escribe y comprueba listas
SFV de sumas CRC-32 y renombra los ficheros erróneos, y crea, comprueba y
repara juegos de paridad PAR2, suyos o de otros programas. Trae la ventana
quimbel, con las páginas Cortar, Unir, Verificar y Reparar, y la orden
quimbel-cli, con cortar, unir, crc, verificar y reparar.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Besides the libraries dpkg-shlibdeps finds: the window draws its SVG icon through Qt's
# SVG plugins and speaks Qt's Spanish in its dialogs.
if(QUIMBEL_GUI)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, qt6-translations-l10n")
endif()
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_STRIP_FILES ON)
include(CPack)
