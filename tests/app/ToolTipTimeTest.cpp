// Tool tips are shown by the program's own filter, for a fixed time.

#include <QHelpEvent>
#include <QLabel>
#include <QToolTip>

#include "../QtHelpers.h"
#include "app/ToolTipTime.h"

TEST(ToolTipTime, ShowsTheHintAndHidesItAfterItsTime)
{
    TToolTip_Time Filter(300);
    qApp->installEventFilter(&Filter);
    QLabel Hinted(QStringLiteral("Диаметр"));
    Hinted.setToolTip(QStringLiteral("Внутренний диаметр трубы"));
    Hinted.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Hinted));

    QHelpEvent Event(QEvent::ToolTip, QPoint(2, 2), Hinted.mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(&Hinted, &Event);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), Hinted.toolTip());
    QtHelpers::Wait(900);
    EXPECT_FALSE(QToolTip::isVisible()) << "the hint outlived its time";
    qApp->removeEventFilter(&Filter);
}
