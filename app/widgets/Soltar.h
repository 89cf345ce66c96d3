// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a drop of files on the window carries, as the window takes it.
#include <QString>
#include <optional>

class QMimeData;

namespace quimbel {

// The path of the first URL dropped, when it is a local file (a folder too); none when
// the drag carries no URL or its first URL is not local. Never a URI.
std::optional<QString> RutaSoltada(const QMimeData* datos);

// The refusal for a path that is no existing file.
QString TextoErrorAbrir(const QString& ruta);

} // namespace quimbel
