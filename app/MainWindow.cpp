#include "app/MainWindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>

#include "app/ChartView.h"
#include "app/HammerDialog.h"
#include "app/InputPanel.h"
#include "app/LegendWindow.h"
#include "app/StatusLine.h"
#include "case/Workplace.h"
#include "controls/Beep.h"
#include "dialogs/MessageDialog.h"
#include "dialogs/QtUserLink.h"
#include "dialogs/WindowPlace.h"
#include "engine/Calc.h"
#include "results/Legend.h"

QString ProductText()
{
    // Name and version come from the build.
    const QString Name = QStringLiteral(HYD_PRODUCT_NAME);
    const QString Version = QStringLiteral(HYD_VERSION);
    return QLatin1Char(' ') + (Name.isEmpty() ? QStringLiteral("Hyd Flow") : Name) +
           (Version.isEmpty() ? QString()
                              : QStringLiteral(" v.") + Version + QStringLiteral("   "));
}

TForm_Main::TForm_Main(QWidget* Parent)
    : QMainWindow(Parent), FCalc(std::make_unique<TCalc>()), FBlow(std::make_unique<TCalc>())
{
    setObjectName(QStringLiteral("Form_Main"));
    Updating = false;
    setWindowTitle(QStringLiteral("Hyd — расчёт заполнения трубы потоком [") +
                   QString::fromStdString(IniFileName) + QLatin1Char(']'));
    createUi();
    createActions();
    createMenus();
    createStatusBar();
    Wire_Inputs();

    Form_Calc = new TForm_Calc(this);
    Form_Legend = new TForm_Legend(this);
    Set_Window_Bounds(Form_Calc, NotSet, NotSet, NotSet, NotSet);

    connect(&TJob_State::Instance(), &TJob_State::Running_Changed, this,
            [this](bool Running) { Set_Busy(Running); });
    Place_At_Start();
}

TForm_Main::~TForm_Main() = default;

void TForm_Main::createUi()
{
    auto* Central = new QWidget(this);
    Central->setObjectName(QStringLiteral("Client"));
    auto* Row = new QHBoxLayout(Central);
    Row->setContentsMargins(4, 4, 4, 0);
    Row->setSpacing(4);

    Panel = new TInput_Panel(Central);
    Row->addWidget(Panel, 0);

    // The chart area: a sunken frame around the paint box; it takes every
    // pixel the window grows by.
    auto* Frame = new QFrame(Central);
    Frame->setObjectName(QStringLiteral("ScrollBox"));
    Frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto* Inside = new QHBoxLayout(Frame);
    Inside->setContentsMargins(Frame->frameWidth(), Frame->frameWidth(), Frame->frameWidth(),
                               Frame->frameWidth());
    PaintBox = new TChart_View(Frame);
    PaintBox->setToolTip(
        QStringLiteral("Графики изменения параметров за весь рассчитанный период."));
    PaintBox->setAccessibleName(QStringLiteral("График"));
    PaintBox->Set_Calc(FCalc.get());
    PaintBox->OnMouseMove = [this](int X) { PaintBoxMouseMove(X); };
    PaintBox->OnClick = [this] { PaintBoxClick(); };
    Inside->addWidget(PaintBox);
    ScrollBox = Frame;
    Row->addWidget(Frame, 1);
    setCentralWidget(Central);
}

void TForm_Main::createStatusBar()
{
    StatusBar = new TStatus_Line(statusBar());
    // A permanent widget: menu hints never replace the status line.
    statusBar()->addPermanentWidget(StatusBar, 1);
    statusBar()->setSizeGripEnabled(true);
    StatusBar->OnDoubleClick = [this] { StatusBarDblClick(); };
}

void TForm_Main::Place_At_Start()
{
    // The smallest window is the one laid out now; the chart area then
    // widens to the width of the input column.
    if (QLayout* L = layout())
        L->activate();
    FMinimum_Client = minimumSizeHint().expandedTo(sizeHint().boundedTo(minimumSizeHint()));
    setMinimumSize(FMinimum_Client);
    const int Chart_Extra =
        std::max(0, Panel->sizeHint().width() - PaintBox->minimumSizeHint().width());
    resize(FMinimum_Client.width() + Chart_Extra, FMinimum_Client.height());
    Set_Window_Bounds(this, NotSet, NotSet, NotSet, NotSet);
}

void TForm_Main::showEvent(QShowEvent* Event)
{
    QMainWindow::showEvent(Event);
    if (!Shown_Once) {
        Shown_Once = true;
        FormShow();
    }
}

void TForm_Main::FormShow()
{
    Command([this] {
        LoadSettings();
        if (!FOpen_At_Start.empty())
            Open_Params(FOpen_At_Start);
        if (Form_Legend) {
            ApplyLegendColours();
            Form_Legend->ShowColorKey(false);
        }
        UpdateState();
        StatusBar->Set_Status(ProductText());
    });
}

bool TForm_Main::Refuse_While_Busy()
{
    if (Job_Running() <= 0)
        return false;
    Default_Beep();
    return true;
}

void TForm_Main::Set_Busy(bool Busy)
{
    // While a job runs only its progress window takes input: it is modal.
    // The results may change under a repaint: the chart shows its last image.
    PaintBox->Set_Frozen(Busy);
}

void TForm_Main::closeEvent(QCloseEvent* Event)
{
    if (Closing_Done) {
        Event->accept();
        return;
    }
    if (Job_Running() > 0 || Dialog_Confirm(QStringLiteral("Окончить работу с программой?")) != 6 ||
        !Close_Editors()) {
        Event->ignore();
        return;
    }
    // The input of this session is there again at the next start.
    Closing_Done = true;
    Command([this] { Save_Params(true); });
    Command([this] { SaveSettings(); });
    if (Form_Legend)
        Form_Legend->hide();
    Event->accept();
}

void TForm_Main::ShowFileTitle()
{
    setWindowTitle(QStringLiteral("Расчёт [") + QString::fromStdString(DataFileName) +
                   QLatin1Char(']'));
}

void TForm_Main::ApplyLegendColours()
{
    if (Form_Legend)
        Form_Legend->ApplyColours();
}

void TForm_Main::RedrawChart()
{
    PaintBox->RedrawChart();
}

void TForm_Main::PaintBoxClick()
{
    if (!Form_Legend)
        return;
    ApplyLegendColours();
    Form_Legend->show();
    Form_Legend->raise();
}

void TForm_Main::PaintBoxMouseMove(int X)
{
    if (!Form_Legend || Job_Running() > 0)
        return;
    Form_Legend->ShowValues(ReadoutAt(*FCalc, X, PaintBox->width()));
}

bool TForm_Main::DriveMode() const
{
    return Panel->DriveMode();
}

TCase TForm_Main::Current_Case() const
{
    TCase Case;
    Panel->Store_To(Case);
    if (Form_Calc)
        Form_Calc->Store_To(Case);
    return Case;
}
