// SPDX-License-Identifier: GPL-3.0-or-later
#include "RxCheckListBox.h"

#include <QKeyEvent>

namespace quimbel {

int ModeloCheckList::rowCount(const QModelIndex& padre) const {
    return padre.isValid() ? 0 : static_cast<int>(lineas_.size());
}

QVariant ModeloCheckList::data(const QModelIndex& indice, int rol) const {
    if (!indice.isValid() || indice.row() >= lineas_.size()) return {};
    if (rol == Qt::DisplayRole) return lineas_.at(indice.row());
    if (rol == Qt::CheckStateRole) return Marcada(indice.row()) ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool ModeloCheckList::setData(const QModelIndex& indice, const QVariant& valor, int rol) {
    if (!indice.isValid() || rol != Qt::CheckStateRole) return false;
    Marcar(indice.row(), valor.value<Qt::CheckState>() == Qt::Checked);
    return true;
}

Qt::ItemFlags ModeloCheckList::flags(const QModelIndex& indice) const {
    if (!indice.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}

void ModeloCheckList::Poner(QStringList lineas) {
    beginResetModel();
    lineas_ = std::move(lineas);
    marcas_.assign(static_cast<size_t>(lineas_.size()), 1);
    endResetModel();
}

void ModeloCheckList::MarcarTodas(bool marca) {
    if (lineas_.isEmpty()) return;
    std::fill(marcas_.begin(), marcas_.end(), marca ? 1 : 0);
    emit dataChanged(index(0), index(static_cast<int>(lineas_.size()) - 1), {Qt::CheckStateRole});
}

void ModeloCheckList::Marcar(int i, bool marca) {
    marcas_[static_cast<size_t>(i)] = marca ? 1 : 0;
    emit dataChanged(index(i), index(i), {Qt::CheckStateRole});
}

TRxCheckListBox::TRxCheckListBox(QWidget* padre) : QListView(padre), modelo_(new ModeloCheckList(this)) {
    setModel(modelo_);
    setUniformItemSizes(true); // long lists lay out without measuring every line
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void TRxCheckListBox::PonerLineas(QStringList lineas) {
    modelo_->Poner(std::move(lineas));
}

std::vector<bool> TRxCheckListBox::Marcas() const {
    std::vector<bool> marcas(static_cast<size_t>(Cuenta()));
    for (int i = 0; i < Cuenta(); ++i)
        marcas[static_cast<size_t>(i)] = Marcada(i);
    return marcas;
}

void TRxCheckListBox::keyPressEvent(QKeyEvent* evento) {
    if (evento->text() == QLatin1String("+")) return MarcarTodas(true);
    if (evento->text() == QLatin1String("-")) return MarcarTodas(false);
    if (evento->key() == Qt::Key_Space && currentIndex().isValid()) {
        Marcar(currentIndex().row(), !Marcada(currentIndex().row()));
        return;
    }
    QListView::keyPressEvent(evento);
}

} // namespace quimbel
