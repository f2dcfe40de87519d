#include "app/StatusLine.h"

#include <QApplication>
#include <QMouseEvent>
#include <algorithm>

TStatus_Line::TStatus_Line(QWidget* Parent) : QLabel(Parent)
{
    setObjectName(QStringLiteral("StatusBar"));
    setAutoFillBackground(true);
    setTextFormat(Qt::PlainText);
    setMargin(2);
    // A text longer than the window is wide wraps onto a second line rather
    // than widening the window or being cut.
    // The line's height follows its text at the width it has (Fit_Height).
    setWordWrap(true);
    setMinimumWidth(1);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    Fit_Height();
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
    Fit_Height();
    setToolTip(Text);  // the whole text, also when the line is too short for it
    setAccessibleDescription(Text);
}

void TStatus_Line::Fit_Height()
{
    const int One_Line = fontMetrics().height() + 2 * margin();
    setFixedHeight(std::max(One_Line, heightForWidth(width())));
}

void TStatus_Line::resizeEvent(QResizeEvent* Event)
{
    QLabel::resizeEvent(Event);
    Fit_Height();
}

void TStatus_Line::mouseDoubleClickEvent(QMouseEvent* Event)
{
    if (Event->button() == Qt::LeftButton && OnDoubleClick)
        OnDoubleClick();
    QLabel::mouseDoubleClickEvent(Event);
}
