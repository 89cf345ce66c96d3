// SPDX-License-Identifier: GPL-3.0-or-later
#include "ComprobacionTrozo.h"

#include <algorithm>
#include <array>
#include <vector>

#include "files/Rutas.h"

namespace quimbel {

ComprobacionTrozo::ComprobacionTrozo(const ListaDelJuego* lista, const std::string& nombre) {
    if (lista == nullptr || !crc_.Disponible()) return;
    const auto entrada = lista->trozos.find(NombreDeRuta(nombre));
    if (entrada == lista->trozos.end()) return;
    const EsperadoTrozo& e = entrada->second;
    if (e.crc || (!e.crcsRebanadas.empty() && e.tamanoRebanada > 0)) esperado_ = &e;
}

bool ComprobacionTrozo::Cabecera(const Fichero& trozo, int64_t inicio) {
    std::vector<unsigned char> bytes(static_cast<size_t>(std::max<int64_t>(inicio, 0)));
    if (!bytes.empty() && !trozo.LeerEn(bytes.data(), bytes.size(), 0)) return false;
    Sumar(bytes.data(), bytes.size());
    return true;
}

void ComprobacionTrozo::Sumar(const unsigned char* datos, size_t n) {
    if (esperado_->crc) return crc_.Sumar(datos, n);
    while (n > 0) {
        const auto parte =
            static_cast<size_t>(std::min<uint64_t>(n, esperado_->tamanoRebanada - enRebanada_));
        crc_.Sumar(datos, parte);
        enRebanada_ += parte;
        datos += parte;
        n -= parte;
        if (enRebanada_ == esperado_->tamanoRebanada) CerrarRebanada();
    }
}

void ComprobacionTrozo::CerrarRebanada() {
    const auto& crcs = esperado_->crcsRebanadas;
    if (rebanada_ >= crcs.size() || crc_.Valor() != crcs[rebanada_]) bien_ = false;
    ++rebanada_;
    crc_ = CrcEnCurso();
    enRebanada_ = 0;
}

bool ComprobacionTrozo::Correcta() {
    if (esperado_->crc) return crc_.Valor() == *esperado_->crc;
    if (enRebanada_ > 0) {
        // The last slice counts as padded with zeros to the slice size.
        const std::array<unsigned char, 4096> ceros{};
        while (enRebanada_ < esperado_->tamanoRebanada) {
            const auto parte = static_cast<size_t>(
                std::min<uint64_t>(ceros.size(), esperado_->tamanoRebanada - enRebanada_));
            crc_.Sumar(ceros.data(), parte);
            enRebanada_ += parte;
        }
        CerrarRebanada();
    }
    return bien_ && rebanada_ == esperado_->crcsRebanadas.size();
}

} // namespace quimbel
