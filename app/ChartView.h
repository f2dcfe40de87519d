#pragma once
// The chart area of the main window: draws the series of the last run through
// an off-screen image that is kept between repaints and redrawn only when the
// size or the results change, and reports the mouse to the value readout.

#include <QPixmap>
#include <QWidget>
#include <functional>

class TCalc;

class TChart_View : public QWidget {
    Q_OBJECT
public:
    explicit TChart_View(QWidget* Parent = nullptr);

    // The engine object whose results are drawn; nullptr draws nothing.
    void Set_Calc(const TCalc* Calc);
    // The results changed: the kept image is drawn again at the next repaint,
    // which is requested here.
    void Results_Changed();
    // Draws the chart into the kept image now (the image is made at the
    // widget's size in device pixels) and repaints the widget from it.
    void RedrawChart();

    // While frozen (a run changes the results) a repaint only copies the
    // kept image; the next repaint after thawing draws anew when needed.
    void Set_Frozen(bool Frozen);

    // The kept image; null until first drawn.
    const QPixmap& ChartBitmap() const { return FChartBitmap; }
    // Number of times the chart was drawn into the image (not copies).
    int Draw_Count() const { return FDraw_Count; }

    std::function<void(int X)> OnMouseMove;  // X in widget pixels
    std::function<void()> OnClick;

    QSize sizeHint() const override { return {117, 300}; }
    QSize minimumSizeHint() const override { return {117, 100}; }

protected:
    void paintEvent(QPaintEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;

private:
    // Whether the kept image no longer fits the widget or the results.
    bool Image_Stale() const;
    void Draw_Image();

    const TCalc* FCalc = nullptr;
    QPixmap FChartBitmap;
    bool FDirty = true;
    bool FFrozen = false;
    int FDraw_Count = 0;
};
