// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The join plan: which pieces a join takes, how each is named and where its data starts.
#include <cstdint>
#include <string>
#include <string_view>

namespace quimbel {

// Left by a successful analysis of one piece; the join follows it without looking again.
struct PlanUnir {
    int64_t PrimerTrozo = 0;      // number of the first piece to join
    int64_t UltimoTrozo = 0;      // number of the last; every number in between is joined, ascending
    int64_t TrozoFin = 0;         // the piece named ".fin" and read past its header, when ExtTrozos is ".fin"
    std::string ExtTrozos;        // the chosen piece's extension: the template of the other names
    bool CerosTrozos = false;     // numbers keep the template's width by leading zeros
    int64_t TamCabeceraHacha = 0; // header bytes to skip at the start of piece 0; 0 when none
    std::string ExtFicUnido;      // extension of the proposed joined name; for ".fin" sets, the header's
    // The ".fin" piece's extension as spelled on disk (".FIN"); empty: ".fin".
    std::string ExtFin;
    // The sizes a Hacha header records: the source's and the pieces'; 0 when the set has no header.
    int64_t TamFuente = 0;
    int64_t TamTrozo = 0;
    // A set numbered from 1 without zeros whose pieces all have one size: a ".fin" set whose
    // ".fin" piece, which holds the rest of the data, is missing. It is never joined as it is.
    bool SinFin = false;

    bool operator==(const PlanUnir&) const = default;
};

// The extension of piece n: with CerosTrozos, the template's characters in front of n's digits
// (".001" gives ".002", ".010"), never fewer than its dot (".999" is followed by ".1000");
// otherwise "." and n.
std::string ExtensionDeTrozo(const PlanUnir& plan, int64_t n);

// Whether an extension is ".fin", letter case aside.
bool EsExtensionFin(std::string_view extension);

// Whether piece n is the last piece of a ".fin" set, which carries the extension's header.
bool EsTrozoFin(const PlanUnir& plan, int64_t n);

// The full name of piece n: base (a piece's path) with its extension replaced. The ".fin" piece
// keeps the spelling the analysis found (pelicula.FIN).
std::string NombreTrozoUnir(std::string_view base, const PlanUnir& plan, int64_t n);

// Where the data of piece n starts: past the header of the ".fin" piece or of piece 0, else 0.
int64_t InicioDatosTrozo(const PlanUnir& plan, int64_t n);

} // namespace quimbel
