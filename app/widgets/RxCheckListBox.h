// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A list with a check mark per line. A click on the mark or the space bar toggles
// the focused line, "+" checks every line and "-" unchecks every line.
#include <QAbstractListModel>
#include <QListView>
#include <vector>

namespace quimbel {

class ModeloCheckList : public QAbstractListModel {
    Q_OBJECT
  public:
    using QAbstractListModel::QAbstractListModel;
    int rowCount(const QModelIndex& padre = {}) const override;
    QVariant data(const QModelIndex& indice, int rol) const override;
    bool setData(const QModelIndex& indice, const QVariant& valor, int rol) override;
    Qt::ItemFlags flags(const QModelIndex& indice) const override;

    void Poner(QStringList lineas);
    void MarcarTodas(bool marca);
    bool Marcada(int i) const { return marcas_[static_cast<size_t>(i)] != 0; }
    void Marcar(int i, bool marca);
    const QStringList& Lineas() const { return lineas_; }

  private:
    QStringList lineas_;
    std::vector<char> marcas_;
};

class TRxCheckListBox : public QListView {
    Q_OBJECT
  public:
    explicit TRxCheckListBox(QWidget* padre = nullptr);

    // Replaces the lines, every one checked.
    void PonerLineas(QStringList lineas);
    void Vaciar() { PonerLineas({}); }
    int Cuenta() const { return modelo_->rowCount(); }
    QString Linea(int i) const { return modelo_->Lineas().at(i); }
    bool Marcada(int i) const { return modelo_->Marcada(i); }
    void Marcar(int i, bool marca) { modelo_->Marcar(i, marca); }
    void MarcarTodas(bool marca) { modelo_->MarcarTodas(marca); }
    // The marks, entry i for line i.
    std::vector<bool> Marcas() const;

  protected:
    void keyPressEvent(QKeyEvent* evento) override;

  private:
    ModeloCheckList* modelo_;
};

} // namespace quimbel
