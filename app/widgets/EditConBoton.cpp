// SPDX-License-Identifier: GPL-3.0-or-later
#include "EditConBoton.h"

#include <QDropEvent>
#include <QHBoxLayout>
#include <QStyle>

#include "EventosFoco.h"
#include "Soltar.h"

namespace quimbel {

EditConBoton::EditConBoton(QWidget* padre)
    : QWidget(padre), edit_(new QLineEdit(this)), boton_(new QToolButton(this)) {
    auto* fila = new QHBoxLayout(this);
    fila->setContentsMargins(0, 0, 0, 0);
    fila->setSpacing(0);
    fila->addWidget(edit_);
    fila->addWidget(boton_);
    boton_->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    boton_->setFocusPolicy(Qt::NoFocus);
    setFocusProxy(edit_);
    // Drops reach the box, which takes a path, not the edit, which would insert a URI.
    edit_->setAcceptDrops(false);
    setAcceptDrops(true);
    auto* foco = new EventosFoco(edit_);
    connect(foco, &EventosFoco::entrada, this, &EditConBoton::entrada);
    connect(foco, &EventosFoco::salida, this, &EditConBoton::salida);
    connect(boton_, &QToolButton::clicked, this, [this] { Examinar(); });
}

std::optional<QString> EditConBoton::RutaAceptada(const QMimeData* datos) const {
    if (soltarPermitido_ && !soltarPermitido_()) return std::nullopt;
    const std::optional<QString> ruta = RutaSoltada(datos);
    if (!ruta || !AceptaSoltar(*ruta)) return std::nullopt;
    return ruta;
}

void EditConBoton::dragEnterEvent(QDragEnterEvent* evento) {
    if (RutaAceptada(evento->mimeData())) evento->acceptProposedAction();
}

void EditConBoton::dragMoveEvent(QDragMoveEvent* evento) {
    if (RutaAceptada(evento->mimeData())) evento->acceptProposedAction();
}

void EditConBoton::dropEvent(QDropEvent* evento) {
    const std::optional<QString> ruta = RutaAceptada(evento->mimeData());
    if (!ruta) return;
    evento->acceptProposedAction();
    Soltar(*ruta);
}

} // namespace quimbel
