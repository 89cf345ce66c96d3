# The Debian package, made by `cpack -G DEB` in a build folder: quimbel_<version>_<arch>.deb,
# installed below /usr, its dependencies computed from the binaries by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quimbel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Equipo de Quimbel <quimbel@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "corta ficheros en trozos, los une y verifica listas SFV")
# The extended description, below the summary line; CPack indents it.
set(CPACK_PACKAGE_DESCRIPTION
    "Quimbel corta un fichero grande en trozos de un tamaño elegido con tres formas
de nombrarlos (Normal, CortaArchivos y Hacha), vuelve a unir un juego a partir
de cualquiera de sus trozos, escribe y comprueba listas SFV de sumas CRC-32 y
crea juegos de paridad PAR2. Trae la ventana quimbel y la orden quimbel-cli.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_STRIP_FILES ON)
include(CPack)
