#include "app/ToolTipTime.h"

#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

TToolTip_Time::TToolTip_Time(int Milliseconds, QObject* Parent)
    : QObject(Parent), FMilliseconds(Milliseconds)
{}

bool TToolTip_Time::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() != QEvent::ToolTip || !Watched->isWidgetType())
        return false;
    // The widget's own duration wins where one is set.
    auto* W = static_cast<QWidget*>(Watched);
    if (W->toolTipDuration() >= 0 || W->toolTip().isEmpty())
        return false;
    const auto* Help = static_cast<QHelpEvent*>(Event);
    QToolTip::showText(Help->globalPos(), W->toolTip(), W, {}, FMilliseconds);
    return true;
}
