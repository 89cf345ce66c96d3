// SPDX-License-Identifier: GPL-3.0-or-later
// The "Extraer" page: which pieces of the planned set the next split writes.
#include "app/FormMain.h"

namespace quimbel {

void TFormMain::ExplorerButtonCortarElegirClick() {
    PageControlQuimbel->setCurrentWidget(TabSheetExtraer);
    // The focus leaves the "Cortar" page, so a focused size box runs its exit handler.
    RxCheckListBoxCortarExtraer->setFocus(Qt::OtherFocusReason);
}

void TFormMain::ExplorerButtonExtraerTodosClick() {
    RxCheckListBoxCortarExtraer->MarcarTodas(true);
}

void TFormMain::ExplorerButtonExtraerNingunoClick() {
    RxCheckListBoxCortarExtraer->MarcarTodas(false);
}

void TFormMain::ExplorerButtonExtraerVolverClick() {
    PageControlQuimbel->setCurrentWidget(TabSheetCortar);
}

int32_t TFormMain::TrozosElegidos() const {
    int32_t elegidos = 0;
    for (int i = 0; i < RxCheckListBoxCortarExtraer->Cuenta(); ++i)
        if (RxCheckListBoxCortarExtraer->Marcada(i)) ++elegidos;
    return elegidos;
}

void TFormMain::ConectarExtraer() {
    connect(ExplorerButtonCortarElegir, &QToolButton::clicked, this,
            &TFormMain::ExplorerButtonCortarElegirClick);
    connect(ExplorerButtonExtraerTodos, &QToolButton::clicked, this,
            &TFormMain::ExplorerButtonExtraerTodosClick);
    connect(ExplorerButtonExtraerNinguno, &QToolButton::clicked, this,
            &TFormMain::ExplorerButtonExtraerNingunoClick);
    connect(ExplorerButtonExtraerVolver, &QToolButton::clicked, this,
            &TFormMain::ExplorerButtonExtraerVolverClick);
}

} // namespace quimbel
