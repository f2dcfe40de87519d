// The chart view draws into an image of its size in device pixels, one chart
// column a pixel, also on a dense screen (this test also runs with
// QT_SCALE_FACTOR=2), and copies that image on repaints.

#include <QPainter>

#include "../QtHelpers.h"
#include "app/ChartView.h"
#include "app/QtCanvas.h"
#include "case/CaseModel.h"
#include "case/RunSetup.h"
#include "engine/Calc.h"
#include "engine/UserLink.h"
#include "results/Canvas.h"
#include "text/Profile.h"

namespace {

// The example case with the constant inlet pressure, run.
void Run_Example(TCalc& Calc, TCalc& Blow)
{
    TProfile Profile(std::string(HYD_EXAMPLES_DIR) + "/constant-pressure.Hyd");
    TCase Case;
    LoadCase(Profile, Case);
    TStdErrLink Link;
    RunCase(Case, false, Calc, Blow, 9.81, Link);
}

}  // namespace

TEST(ChartView, DrawsInDevicePixelsAndRepaintsFromItsImage)
{
    TCalc Calc;
    TCalc Blow;
    Run_Example(Calc, Blow);
    ASSERT_GT(Calc.Count, 0);

    TChart_View View;
    View.Set_Calc(&Calc);
    View.resize(300, 200);
    View.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&View));
    View.RedrawChart();

    const qreal Ratio = View.devicePixelRatioF();
    EXPECT_EQ(Ratio, qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble());
    const QSize Pixels = (QSizeF(300, 200) * Ratio).toSize();
    const QPixmap& Bitmap = View.ChartBitmap();
    ASSERT_EQ(Bitmap.size(), Pixels);
    EXPECT_EQ(Bitmap.devicePixelRatio(), Ratio);

    // The same picture as the chart drawn straight into an image of that size.
    QImage Direct(Pixels, QImage::Format_RGB32);
    Direct.fill(Qt::white);
    {
        QPainter Painter(&Direct);
        TQtCanvas Canvas(Painter);
        Calc.DrawChart(Canvas, TRect{0, 0, Pixels.width(), Pixels.height()});
    }
    QImage Kept = Bitmap.toImage().convertToFormat(QImage::Format_RGB32);
    Kept.setDevicePixelRatio(1);
    EXPECT_TRUE(Kept == Direct) << "the kept image is not the chart in device pixels";

    const int Drawn = View.Draw_Count();
    View.repaint();
    EXPECT_EQ(View.Draw_Count(), Drawn) << "a repaint copies the kept image";
    View.Results_Changed();
    View.repaint();
    EXPECT_EQ(View.Draw_Count(), Drawn + 1) << "new results are drawn anew";
}
