#include "EditConBoton.h"

#include <QHBoxLayout>
#include <QStyle>

#include "EventosFoco.h"

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
    auto* foco = new EventosFoco(edit_);
    connect(foco, &EventosFoco::entrada, this, &EditConBoton::entrada);
    connect(foco, &EventosFoco::salida, this, &EditConBoton::salida);
    connect(boton_, &QToolButton::clicked, this, [this] { Examinar(); });
}

} // namespace quimbel
