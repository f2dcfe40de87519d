// The legend window: its six lines, their colours, how it follows the mouse
// cheaply, and that closing it only hides it.

#include "app/LegendWindow.h"
#include "app/QtCanvas.h"
#include "engine/Tables.h"
#include "results/Canvas.h"
#include "tests/QtHelpers.h"

#include <QAccessible>
#include <QDir>
#include <QLabel>

#include <array>
#include <vector>

namespace {

std::array<QLabel*, 6> Lines(TForm_Legend& Legend)
{
    return {Legend.Label_Time,  Legend.Label_Fill, Legend.Label_Speed,
            Legend.Label_Accel, Legend.Label_Loss, Legend.Label_Re};
}

// What a screen reader hears for a label.
QString Spoken(QLabel* Label)
{
    QAccessibleInterface* Face = QAccessible::queryAccessibleInterface(Label);
    return Face ? Face->text(QAccessible::Name) : QString();
}

TLegendValues Step_Values()
{
    TLegendValues Values;
    Values.V = {0.0125, 100.0, 2.5, 0.5, -0.03, 1500.0, 3000.0};
    return Values;
}

// A stage after the first whose pumped column cannot catch up: the longest
// line the legend shows.
TLegendValues Late_Stage()
{
    TLegendValues Values;
    Values.StageMode = true;
    Values.V = {1.25, 10.0, 12.5, 0.0, 1.5, 0.25, 0.125};
    return Values;
}

using QtHelpers::Screenshot_Folder;

// Counts the layout requests a window receives and the paints of its children.
struct TEvent_Count : QObject {
    int Layouts = 0;
    int Paints = 0;
    bool eventFilter(QObject*, QEvent* Event) override
    {
        Layouts += Event->type() == QEvent::LayoutRequest;
        Paints += Event->type() == QEvent::Paint;
        return false;
    }
};

}  // namespace

TEST(LegendWindow, KeyTextsTopToBottomInBothModes)
{
    TForm_Legend Legend;
    EXPECT_EQ(Legend.windowTitle(), "Значения на графике");
    EXPECT_TRUE(Legend.windowFlags() & Qt::Tool);
    EXPECT_EQ(Legend.size(), QSize(300, 146));
    Legend.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Legend));

    const struct {
        bool StageMode;
        std::array<const char*, 6> Texts;
    } Cases[] = {
        {false,
         {"Цвета линий:", "заполнение", "скорость", "ускорение", "потери", "число Рейнольдса"}},
        {true,
         {"Цвета линий:", "заполнение закачки", "начальная скорость закачки",
          "начальная скорость удара", "длительность нагнетения", "длительность паузы"}},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.StageMode);
        Legend.ShowValues(Step_Values());  // then back to the key
        Legend.ShowColorKey(Case.StageMode);
        int Above = -1;
        for (std::size_t i = 0; i < 6; ++i) {
            QLabel* Label = Lines(Legend)[i];
            EXPECT_EQ(Label->text(), QString::fromUtf8(Case.Texts[i]));
            EXPECT_GT(Label->geometry().top(), Above) << "the lines keep their order";
            Above = Label->geometry().bottom();
        }
    }
    EXPECT_EQ(Legend.Label_Re->objectName(), "Label_Re");
}

TEST(LegendWindow, ValuesReachTheLinesAndScreenReadersAndAreNeverCut)
{
    TForm_Legend Legend;
    Legend.ApplyColours();
    Legend.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Legend));

    const char* Step_Starts[] = {
        "Время: ", "Заполнение: ", "Скорость: ", "Ускорение: ", "Потери: ", "Re = "};
    const char* Stage_Starts[] = {"Начало этапа: ",
                                  "Заполнение: ",
                                  "Начальная скорость закачки: ",
                                  "Начальная скорость удара: ",
                                  "Длительность закачки: ",
                                  "Длительность паузы: "};
    const struct {
        TLegendValues Values;
        const char** Starts;
        const char* Shot;
    } Cases[] = {{Step_Values(), Step_Starts, "legend-values.png"},
                 {Late_Stage(), Stage_Starts, "legend-stage.png"}};
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Starts[0]);
        Legend.ShowValues(Case.Values);
        QCoreApplication::sendPostedEvents();
        const TLegendLines Expected = LegendLines(Case.Values);
        for (std::size_t i = 0; i < 6; ++i) {
            QLabel* Label = Lines(Legend)[i];
            const QString Text = QString::fromStdString(Expected[i]);
            EXPECT_EQ(Label->text(), Text);
            EXPECT_TRUE(Label->text().startsWith(QString::fromUtf8(Case.Starts[i])));
            EXPECT_EQ(Spoken(Label), Text);
            EXPECT_GE(Label->width(), Label->sizeHint().width()) << "cut: " << Expected[i];
        }
        EXPECT_TRUE(QtHelpers::Grab(&Legend).save(Screenshot_Folder() + "/" + Case.Shot));
    }
    EXPECT_TRUE(Legend.Label_Speed->text().contains("не догонит")) << "the longest line";

    // A value that is absent shows its key text, the others their values.
    TLegendValues Partial = Step_Values();
    Partial.V[3] = NoValue;
    Legend.ShowValues(Partial);
    EXPECT_EQ(Legend.Label_Speed->text(), "скорость");
    EXPECT_TRUE(Legend.Label_Accel->text().startsWith("Ускорение: "));
}

// The legend follows every mouse move over the chart: the same texts again
// cost neither a layout nor a paint.
TEST(LegendWindow, SameTextsAgainCostNothing)
{
    TForm_Legend Legend;
    Legend.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Legend));
    Legend.ShowValues(Step_Values());
    QtHelpers::Wait(20);
    const QSize Size = Legend.size();

    TEvent_Count Count;
    Legend.installEventFilter(&Count);
    for (QLabel* Label : Lines(Legend))
        Label->installEventFilter(&Count);
    for (int i = 0; i < 50; ++i)
        Legend.ShowValues(Step_Values());
    QtHelpers::Wait(20);
    EXPECT_EQ(Count.Layouts, 0);
    EXPECT_EQ(Count.Paints, 0);

    TLegendValues Next = Step_Values();
    Next.V[0] = 0.02;
    Legend.ShowValues(Next);
    QtHelpers::Wait(20);
    EXPECT_GT(Count.Paints, 0) << "a new time is painted";
    EXPECT_EQ(Legend.size(), Size) << "a line that fits does not resize the window";
    Legend.removeEventFilter(&Count);
    for (QLabel* Label : Lines(Legend))
        Label->removeEventFilter(&Count);
}

TEST(LegendWindow, EachLineInTheColourOfItsSeries)
{
    TForm_Legend Legend;
    Legend.ApplyColours();
    Legend.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Legend));
    QCoreApplication::sendPostedEvents();
    const QImage Picture = QtHelpers::Grab(&Legend);
    EXPECT_TRUE(Picture.save(Screenshot_Folder() + "/legend-key.png"));

    EXPECT_EQ(Picture.pixelColor(Legend.width() - 2, Legend.height() - 2), ToQColor(BackColor));
    const std::array<TColor, 6> Colours = {TextColor,  FillColor, SpeedColor,
                                           AccelColor, LossColor, ReColor};
    for (std::size_t i = 0; i < 6; ++i) {
        QLabel* Label = Lines(Legend)[i];
        const QColor Colour = ToQColor(Colours[i]);
        SCOPED_TRACE(Label->objectName().toStdString());
        EXPECT_EQ(Label->palette().color(QPalette::WindowText), Colour);
        // The text is drawn in that colour (its stems at least) and nothing
        // else but the background and the blends between the two.
        const qreal Ratio = Legend.devicePixelRatioF();  // image pixels per widget pixel
        const QRect Area = QRect(Label->pos() * Ratio, Label->size() * Ratio) & Picture.rect();
        const QColor Back = ToQColor(BackColor);
        auto Near = [](QColor A, QColor B) {
            return std::abs(A.red() - B.red()) + std::abs(A.green() - B.green()) +
                       std::abs(A.blue() - B.blue()) <
                   60;
        };
        EXPECT_GT(QtHelpers::Count_Pixels(Picture, Area, [&](QColor C) { return Near(C, Colour); }),
                  5);
        auto Between = [&](QColor C) {
            // On the line from the background to the text colour.
            const int D = std::abs(Back.red() - Colour.red()) +
                          std::abs(Back.green() - Colour.green()) +
                          std::abs(Back.blue() - Colour.blue());
            const int A = std::abs(C.red() - Back.red()) + std::abs(C.green() - Back.green()) +
                          std::abs(C.blue() - Back.blue());
            const int B = std::abs(C.red() - Colour.red()) + std::abs(C.green() - Colour.green()) +
                          std::abs(C.blue() - Colour.blue());
            return A + B <= D + 40;
        };
        EXPECT_EQ(QtHelpers::Count_Pixels(Picture, Area, [&](QColor C) { return !Between(C); }), 0);
    }
}

TEST(LegendWindow, ClosingOnlyHidesIt)
{
    QWidget Main;
    Main.show();
    QPointer<TForm_Legend> Legend = new TForm_Legend(&Main);
    Legend->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Legend));
    EXPECT_TRUE(Legend->close());
    QtHelpers::Wait(10);
    ASSERT_TRUE(Legend) << "the window lives on";
    EXPECT_TRUE(Legend->isHidden());
    EXPECT_TRUE(Main.isVisible());
    Legend->ShowValues(Step_Values());
    Legend->show();
    EXPECT_TRUE(Legend->isVisible());
    EXPECT_TRUE(Legend->Label_Time->text().startsWith("Время: "));
}
