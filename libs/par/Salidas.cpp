#include "libs/par/Salidas.h"

#include "libs/par/Disco.h"
#include "libs/par/Nombres.h"
#include "libs/par/Presentes.h"

#include "files/Carpeta.h"
#include "files/Salidas.h"

#include <cstdio>

namespace quimbel::par {

Fallo ExaminarSalidas(Salidas& salidas, std::span<const Entrada> entradas, bool renombrar) {
    salidas.presentes = SalidasPresentes(salidas.indice, false);
    Protegidos trozos;
    for (const Entrada& e : entradas)
        trozos.Anadir(e.nombre);

    std::vector<std::string> tocadas = salidas.presentes;
    tocadas.push_back(salidas.indice);
    tocadas.insert(tocadas.end(), salidas.volumenes.begin(), salidas.volumenes.end());
    for (const std::string& ruta : tocadas) {
        if (EsProtegido(ruta, trozos)) return LineaSobrescribiria(ruta);
        if (EsCarpeta(ruta)) return "¡ Error al crear fichero " + ruta + " !";
    }
    if (salidas.presentes.empty()) return std::nullopt;
    if (!renombrar) return "¡ Error, ya existe el fichero " + salidas.presentes.front() + " !";
    for (const std::string& ruta : salidas.presentes) {
        const std::string vieja = ruta + std::string(ExtensionVieja);
        if (EsProtegido(vieja, trozos)) return LineaSobrescribiria(vieja);
        if (EsCarpeta(vieja)) return "¡ Error al renombrar fichero " + ruta + " !";
    }
    return std::nullopt;
}

Renombradas::~Renombradas() {
    if (confirmado_) return;
    for (auto it = hechos_.rbegin(); it != hechos_.rend(); ++it)
        RenombrarFichero(it->second, it->first);
}

Fallo Renombradas::Renombrar(const Salidas& salidas) {
    for (const std::string& ruta : salidas.presentes) {
        const std::string vieja = ruta + std::string(ExtensionVieja);
        if (HayAlgo(vieja)) {
            // The older ".old" stays until the new set is whole.
            std::string aparte;
            for (int i = 1; aparte.empty() && i <= 1000; ++i)
                if (RenombrarFichero(vieja, vieja + "." + std::to_string(i)).Bien())
                    aparte = vieja + "." + std::to_string(i);
            if (aparte.empty()) return "¡ Error al renombrar fichero " + vieja + " !";
            hechos_.emplace_back(vieja, aparte);
            apartadas_.push_back(aparte);
        }
        if (!RenombrarFichero(ruta, vieja).Bien()) return "¡ Error al renombrar fichero " + ruta + " !";
        hechos_.emplace_back(ruta, vieja);
    }
    return std::nullopt;
}

void Renombradas::Confirmar() {
    confirmado_ = true;
    for (const std::string& ruta : apartadas_)
        std::remove(ruta.c_str());
}

} // namespace quimbel::par
