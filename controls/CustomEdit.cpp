#include "controls/CustomEdit.h"

#include <QKeyEvent>

TCustom_Edit::TCustom_Edit(QWidget* Parent) : QLineEdit(Parent) {}

void TCustom_Edit::focusInEvent(QFocusEvent* Event)
{
    QLineEdit::focusInEvent(Event);
    if (OnEnter)
        OnEnter();
}

void TCustom_Edit::focusOutEvent(QFocusEvent* Event)
{
    QLineEdit::focusOutEvent(Event);
    if (OnExit)
        OnExit();
}

void TCustom_Edit::keyPressEvent(QKeyEvent* Event)
{
    if (OnKeyDown && OnKeyDown(Event)) {
        Event->accept();
        return;
    }
    QLineEdit::keyPressEvent(Event);
}
