#include "dialogs/ProgressWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLocale>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTime>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <qdrawutil.h>

#include "dialogs/WindowPlace.h"
#include "engine/UserLink.h"
#include "engine/VectorState.h"
#include "text/NumberText.h"

namespace ZoPercent {
namespace {

const QString& Russian_Cancel()
{
    static const QString T = QStringLiteral("&Отмена");
    return T;
}

const QString& English_Cancel()
{
    static const QString T = QStringLiteral("&Cancel");
    return T;
}

const QString* Cancel_Text = nullptr;

}  // namespace

void Set_Language(int Language)
{
    Cancel_Text = Language == 1 ? &Russian_Cancel() : &English_Cancel();
}

const QString& Get_Text(Text)
{
    if (!Cancel_Text)
        Cancel_Text = &Russian_Cancel();
    return *Cancel_Text;
}

}  // namespace ZoPercent

namespace {

// The most recently opened window still open; the others hang on its Previous.
TForm_Percent* Last_Window = nullptr;

const QColor Filled_Brush(0, 0, 255);
const QColor Filled_Text(255, 255, 0);
const QColor Rest_Brush(255, 255, 255);
const QColor Rest_Text(0, 0, 0);

// Position of Total in hundredths of a percent; 0 when Total is 0.
int Permyriad_Of(int Position, int Total)
{
    if (Total == 0)
        return 0;
    const double P = std::nearbyint(static_cast<double>(Position) / Total * 10000.0);
    return static_cast<int>(std::clamp(P, -1e9, 1e9));
}

QString Percent_Text(int Permyriad)
{
    return QString::fromStdString(FixedToGrouped(0, Permyriad / 10000.0 * 100.0)) +
           QLatin1Char('%');
}

// The locale's long time format without a time-zone part.
QString Elapsed_Format()
{
    QString Format = QLocale().timeFormat(QLocale::LongFormat);
    Format.remove(QLatin1Char('t'));
    Format = Format.trimmed();
    return Format.isEmpty() ? QStringLiteral("H:mm:ss") : Format;
}

}  // namespace

TForm_Percent::TForm_Percent()
    : QWidget(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("Form_Percent"));
    setAttribute(Qt::WA_QuitOnClose, false);
    QFont F = font();
    F.setBold(true);
    F.setPixelSize(13);
    setFont(F);
    setFixedSize(389, 59);

    BitBtn_Cancel = new QPushButton(ZoPercent::Get_Text(ZoPercent::Text::Cancel_Button), this);
    BitBtn_Cancel->setObjectName(QStringLiteral("BitBtn_Cancel"));
    BitBtn_Cancel->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    BitBtn_Cancel->setIconSize(QSize(16, 16));
    BitBtn_Cancel->setGeometry(156, 32, 85, 25);
    connect(BitBtn_Cancel, &QPushButton::clicked, this, [this] { BitBtn_CancelClick(); });

    // The first window is centred; a later one stands at the previous one's
    // creation position + (8, 20), a coordinate that would leave the screen
    // at the right or the bottom becoming the screen's edge.
    const QRect Area = Screen_Area_Of(nullptr);
    const QSize Size = frameGeometry().size();
    if (Last_Window) {
        Own_Left = Last_Window->Own_Left + Percent_Offset_X;
        Own_Top = Last_Window->Own_Top + Percent_Offset_Y;
        if (Own_Left + Size.width() > Area.left() + Area.width())
            Own_Left = Area.left();
        if (Own_Top + Size.height() > Area.top() + Area.height())
            Own_Top = Area.top();
    } else {
        Own_Left = Area.left() + std::max(0, (Area.width() - Size.width()) / 2);
        Own_Top = Area.top() + std::max(0, (Area.height() - Size.height()) / 2);
    }
    move(Own_Left, Own_Top);

    Previous = Last_Window;
    if (Previous)
        Previous->Next = this;
    Last_Window = this;
}

TForm_Percent::~TForm_Percent()
{
    if (Previous)
        Previous->Next = Next;
    if (Next)
        Next->Previous = Previous;
    if (Last_Window == this)
        Last_Window = Previous;
}

void TForm_Percent::BitBtn_CancelClick()
{
    Running = false;
    Modal_Result = 2;
    hide();
}

void TForm_Percent::keyPressEvent(QKeyEvent* Event)
{
    if (Event->key() == Qt::Key_Escape && Event->modifiers() == Qt::NoModifier) {
        BitBtn_Cancel->click();
        return;
    }
    QWidget::keyPressEvent(Event);
}

void TForm_Percent::closeEvent(QCloseEvent* Event)
{
    // The window has no close button; closing it otherwise (by the window
    // manager's keys) counts as Cancel.
    BitBtn_CancelClick();
    Event->accept();
}

QString TForm_Percent::Clock_Text() const
{
    return QTime(0, 0)
        .addMSecs(static_cast<int>(std::min<qint64>(Start_Time.elapsed(), 86'399'999)))
        .toString(Elapsed_Format());
}

void TForm_Percent::TimerTimer()
{
    repaint(Bevel_Bar);
}

void TForm_Percent::paintEvent(QPaintEvent*)
{
    QPainter Painter(this);
    qDrawWinPanel(&Painter, Bevel_Bar, palette(), true);
    if (Timer) {
        Paint_Bar(Painter, std::max(Shown, 0), Clock_Text());
    } else {
        const int P = Permyriad_Of(Position, Total);
        Paint_Bar(Painter, P, Percent_Text(P));
    }
}

void TForm_Percent::Paint_Bar(QPainter& Painter, int Permyriad, const QString& Text)
{
    const int L = Bevel_Bar.left() + 2;
    const int R = Bevel_Bar.left() + Bevel_Bar.width() - 2;  // exclusive
    const int Top = Bevel_Bar.top() + 2;
    const int Bottom = Bevel_Bar.top() + Bevel_Bar.height() - 2;  // exclusive
    const int Fill = std::clamp(Permyriad, 0, 10000);
    const int X_New =
        static_cast<int>(std::nearbyint(Fill / 10000.0 * (Bevel_Bar.width() - 4))) + L;

    const QFontMetrics Metrics(font());
    const int X_Text = L + (R - L - Metrics.horizontalAdvance(Text)) / 2;
    const int Y_Text = Top + (Bottom - Top - Metrics.height()) / 2 + Metrics.ascent();

    auto Part = [&](const QRect& Rect, const QColor& Brush, const QColor& Pen) {
        Painter.save();
        Painter.fillRect(Rect, Brush);
        Painter.setClipRect(Rect);
        Painter.setPen(Pen);
        Painter.drawText(X_Text, Y_Text, Text);
        Painter.restore();
    };
    if (X_New > L)
        Part(QRect(QPoint(L, Top), QPoint(std::min(X_New, R) - 1, Bottom - 1)), Filled_Brush,
             Filled_Text);
    if (X_New < R)
        Part(QRect(QPoint(X_New, Top), QPoint(R - 1, Bottom - 1)), Rest_Brush, Rest_Text);

    Shown = Timer ? Shown : Permyriad;
    Bar_Text = Text;
}

void TForm_Percent::Flush()
{
    Flush_Pending = false;
    Last_Flush.start();
    repaint(Bevel_Bar);
    if (Flushing)
        return;  // called from a handler inside our own event processing
    // Let pending input through (Cancel among it). Handlers that run here may
    // free this window.
    QPointer<TForm_Percent> Self(this);
    Flushing = true;
    QCoreApplication::processEvents();
    if (Self)
        Flushing = false;
}

namespace {

// Shows a new window W with Caption at position 0 of 1.
TForm_Percent* Show_Window(TForm_Percent* W, const QString& Caption)
{
    W->Modal_Result = 0;
    W->Running = true;
    W->BitBtn_Cancel->show();
    W->setWindowTitle(Caption);
    W->setFixedSize(389, 59);
    W->setWindowModality(Qt::ApplicationModal);
    // Kept above the window the work was started from, without being owned by it.
    if (QWidget* Active = QApplication::activeWindow()) {
        W->winId();
        if (W->windowHandle() && Active->windowHandle())
            W->windowHandle()->setTransientParent(Active->windowHandle());
    }
    W->show();
    Percent_Set(W, 0, 1);  // hands back a clean vector state
    return W;
}

}  // namespace

TForm_Percent* Percent_Open(const QString& Caption)
{
    return Show_Window(new TForm_Percent, Caption);
}

TForm_Percent* Percent_Open(const QString& Caption, int Left, int Top)
{
    auto* W = new TForm_Percent;
    Set_Window_Bounds(W, Left, Top, NotSet, NotSet);
    return Show_Window(W, Caption);
}

void Percent_Set(TForm_Percent* Window, int Position, int Total)
{
    if (!Window)
        return;
    bool Force = false;
    if (Window->Timer) {
        // The percentage takes over from the clock.
        delete Window->Timer;
        Window->Timer = nullptr;
        Force = true;
    }
    const int P = Permyriad_Of(Position, Total);
    Window->Position = Position;
    Window->Total = Total;
    if (P == Window->Wanted && !Force)
        return;
    Window->Wanted = P;
    if (!Window->Last_Flush.isValid() || Window->Last_Flush.elapsed() >= Percent_Flush_Interval) {
        Window->Flush();
    } else if (!Window->Flush_Pending) {
        // Painted at the next flush, or whenever Qt processes events before it.
        Window->Flush_Pending = true;
        Window->update(Window->Bevel_Bar);
    }
    // The caller's loop goes on at full speed after Qt's code (see
    // engine/VectorState.h).
    ClearUpperVectorState();
}

bool Percent_Cancelled(const TForm_Percent* Window)
{
    return Window && Window->Modal_Result == 2;
}

void Percent_Start_Clock(TForm_Percent* Window)
{
    if (!Window)
        return;
    Window->Start_Time.start();
    if (!Window->Timer) {
        Window->Timer = new QTimer(Window);
        Window->Timer->setInterval(Percent_Clock_Interval);
        QObject::connect(Window->Timer, &QTimer::timeout, Window,
                         [Window] { Window->TimerTimer(); });
        Window->Timer->start();
    }
}

TForm_Percent* Percent_Last()
{
    return Last_Window;
}

void Percent_Set_Last(int Position, int Total)
{
    Percent_Set(Last_Window, Position, Total);
}

bool Percent_Cancelled_Last()
{
    return Percent_Cancelled(Last_Window);
}

void Percent_Close_Last()
{
    delete Last_Window;
}

void Percent_Close(TForm_Percent* Window)
{
    for (TForm_Percent* W = Last_Window; W; W = W->Previous)
        if (W == Window) {
            delete W;
            return;
        }
}
