#include "app/StatusLine.h"

#include <QApplication>
#include <QMouseEvent>

TStatus_Line::TStatus_Line(QWidget* Parent) : QLabel(Parent)
{
    setObjectName(QStringLiteral("StatusBar"));
    setAutoFillBackground(true);
    setTextFormat(Qt::PlainText);
    setMargin(2);
    // A long validation text is elided by the status bar rather than
    // widening the window.
    setMinimumWidth(1);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    setAccessibleName(QStringLiteral("Строка состояния"));
}

QColor TStatus_Line::Background() const
{
    switch (FColour) {
    case TStatus::TColour::Missing: return QColor(Qt::red);
    case TStatus::TColour::Warning: return QColor(Qt::yellow);
    case TStatus::TColour::Normal: break;
    }
    return QApplication::palette(this).color(QPalette::Window);
}

void TStatus_Line::Set_Status(const QString& Text, TStatus::TColour Colour)
{
    FColour = Colour;
    QPalette P = palette();
    P.setColor(QPalette::Window, Background());
    setPalette(P);
    setText(Text);
    setToolTip(Text);  // the whole text, also when the line is too short for it
    setAccessibleDescription(Text);
}

void TStatus_Line::mouseDoubleClickEvent(QMouseEvent* Event)
{
    if (Event->button() == Qt::LeftButton && OnDoubleClick)
        OnDoubleClick();
    QLabel::mouseDoubleClickEvent(Event);
}
