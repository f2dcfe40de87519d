// What the main window costs its user, each figure beside a reference taken
// in the same loop:
//
//   Start          creation to the shown and painted window, against a plain
//                  main window of the same size;
//   Run            a million-step constant-pressure run from the window (its
//                  progress window, the chart drawn anew), against the same
//                  case run without a window, as hyd-calc runs it;
//   Repaint        a repaint of the chart area from the kept image, against
//                  drawing the image anew;
//   Readout        the value readout of a mouse movement over the chart with
//                  the legend shown, against making the readout's values and
//                  texts alone;
//   First_Draw     drawing the chart anew on a screen at pixel ratio 2,
//                  against the same window on a screen at pixel ratio 1.
//
// The settings and parameter files live in a temporary folder; a message the
// window would show fails the benchmark instead of waiting for a user.
//
// Run on the offscreen platform, e.g. with --benchmark_repetitions=3:
//   QT_QPA_PLATFORM=offscreen bench/bench_qt
//   --benchmark_filter='^BM_(Start|Run|Repaint|Readout|First_Draw)/'

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMainWindow>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWindow>
#include <benchmark/benchmark.h>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "app/ChartView.h"
#include "app/InputPanel.h"
#include "app/LegendWindow.h"
#include "app/MainWindow.h"
#include "bench/QtBench.h"
#include "case/CaseModel.h"
#include "case/RunSetup.h"
#include "case/Workplace.h"
#include "controls/NumberEdit.h"
#include "controls/ScalableEdit.h"
#include "dialogs/MessageDialog.h"
#include "dialogs/QtUserLink.h"
#include "dialogs/WindowPlace.h"
#include "engine/Calc.h"
#include "engine/RunGlobals.h"
#include "engine/UserLink.h"
#include "results/Legend.h"

namespace {

using TClock = std::chrono::steady_clock;

double Seconds_Since(TClock::time_point Start)
{
    return std::chrono::duration<double>(TClock::now() - Start).count();
}

// Set before main, so before any benchmark of this program makes the
// application object: a plain offscreen platform gets two screens of the same
// logical size, at pixel ratio 1 and 2 (offscreen-screens.json), so that the
// chart is drawn at both ratios by the same window in one process. Another
// platform is left as chosen.
[[maybe_unused]] const bool Screens_Chosen = [] {
    const QByteArray Platform = qgetenv("QT_QPA_PLATFORM");
    if (Platform.isEmpty() || Platform == "offscreen")
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + HYD_BENCH_SCREENS);
    return true;
}();

// The desktop program's workplace, away from the user's own: the settings
// and the parameter file are named into a temporary folder (names with a
// folder in them are used as they stand), removed when the program ends.
class TWorkplace {
public:
    TWorkplace()
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setApplicationName(QStringLiteral("Hyd"));
        IniFileName = File("Hyd.ini");
        DataFileName = File("Data.Hyd");
    }
    bool Valid() const { return Dir.isValid(); }

private:
    std::string File(const char* Name) const
    {
        return (Dir.path() + QLatin1Char('/') + QLatin1String(Name)).toStdString();
    }
    QTemporaryDir Dir;
};

// Every benchmark of the window starts here: Qt, the workplace, and the
// globals a previous benchmark may have changed.
bool Prepare(benchmark::State& State)
{
    Ensure_Qt();
    static TWorkplace Place;
    if (!Place.Valid()) {
        State.SkipWithError("no temporary folder for the workplace");
        return false;
    }
    PercentLeft = PercentTop = NotSet;
    Gravity = 9.81;
    return true;
}

// A message dialog is modal: shown here it would wait for ever. One answer
// stays queued while the guard lives, so that such a message is taken
// without showing, and Check tells the benchmark that one came.
class TMessageGuard {
public:
    TMessageGuard()
    {
        ZoDialog::Take_Answered();
        ZoDialog::Answer_Next(1);
    }
    ~TMessageGuard()
    {
        // The queued answer is taken by a message of our own.
        while (ZoDialog::Pending_Answers() > 0)
            Dialog_Error(QStringLiteral("—"));
        ZoDialog::Take_Answered();
    }
    bool Check(benchmark::State& State)
    {
        if (ZoDialog::Pending_Answers() == 1)
            return true;
        const QStringList Texts = ZoDialog::Take_Answered();
        const std::string Text = "the window showed a message: " +
                                 (Texts.isEmpty() ? std::string("?") : Texts.front().toStdString());
        State.SkipWithError(Text.c_str());
        ZoDialog::Answer_Next(1);
        return false;
    }
};

// Processes events until Ready holds; false after five seconds without.
bool Process_Until(const std::function<bool()>& Ready)
{
    QElapsedTimer Timer;
    Timer.start();
    while (!Ready()) {
        if (Timer.elapsed() > 5000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

bool Exposed(const QWidget& W)
{
    const QWindow* Handle = W.windowHandle();
    return Handle && Handle->isExposed();
}

// Shows a window and waits until it is on the screen and painted.
bool Show_And_Wait(QWidget& W)
{
    W.show();
    if (!Process_Until([&W] { return Exposed(W); }))
        return false;
    QCoreApplication::processEvents();  // what the exposure posted (layout, paint)
    return true;
}

// Destroys a window the way the program's end does, without the closing
// question (only close() asks), and lets its deferred deletions happen.
template <class TWindow> void Destroy(std::unique_ptr<TWindow>& W)
{
    W.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// -- The case -----------------------------------------------------------------

constexpr int Run_Steps = 1'000'000;
constexpr double Run_Step = 1e-5;  // s: ten seconds in a million steps

// The default case with a million steps of 10 µs, every value as its editor
// holds it: the case the window runs after its editors are set so.
TCase Million_Step_Case()
{
    TCase Case;
    for (const TEditorDef& Def : EditorDefs())
        if (Def.Field)
            Case.*Def.Field = EditorValue(Def, Case.*Def.Field);
    Case.Steps = StepsValue(Run_Steps);
    Case.Step = EditorValue(TEditorId::Time, Run_Step);
    return Case;
}

// hyd-calc's user link without outputs: no progress shown, messages counted.
class TSilentLink : public TUserLink {
public:
    std::unique_ptr<TProgress> Percent_Open(const std::string&) override
    {
        return SilentProgress();
    }
    void Dialog_Error(const std::string&) override { ++Messages; }
    void Dialog_Warning(const std::string&) override { ++Messages; }
    int Messages = 0;
};

// A shown main window whose editors hold the million-step case.
std::unique_ptr<TForm_Main> Window_For_Run(benchmark::State& State)
{
    auto Form = std::make_unique<TForm_Main>();
    if (!Show_And_Wait(*Form)) {
        State.SkipWithError("the main window was never exposed");
        return nullptr;
    }
    Form->Panel->Edit_Num_Steps->Set_Value(Run_Steps);
    Form->Panel->Edit_Scalable_Time->Set_Value(Run_Step);
    QCoreApplication::processEvents();
    if (!(Form->Current_Case() == Million_Step_Case())) {
        State.SkipWithError("the window's case is not the million-step case");
        return nullptr;
    }
    return Form;
}

// Runs the window's case from its run button; true when a million records
// came out.
bool Run_From_Window(benchmark::State& State, TForm_Main& Form)
{
    Form.BitBtn_CalcClick();
    QCoreApplication::processEvents();  // what the run left to paint
    if (Form.Calc().Count != Run_Steps) {
        State.SkipWithError("the window's run did not make a million records");
        return false;
    }
    return true;
}

// A shown main window after a million-step run.
std::unique_ptr<TForm_Main> Window_After_Run(benchmark::State& State, TMessageGuard& Guard)
{
    auto Form = Window_For_Run(State);
    if (!Form || !Run_From_Window(State, *Form) || !Guard.Check(State))
        return nullptr;
    return Form;
}

// -- Start-up ---------------------------------------------------------------

// A main window of the toolkit alone, of the same size as the program's.
std::unique_ptr<QMainWindow> Plain_Window(QSize Size)
{
    auto W = std::make_unique<QMainWindow>();
    W->setCentralWidget(new QWidget(W.get()));
    W->resize(Size);
    return W;
}

void BM_Start(benchmark::State& State)
{
    if (!Prepare(State))
        return;
    TMessageGuard Guard;
    // The first window of each kind loads what every later one finds ready;
    // the first main window of the process is kept apart as the cold start.
    static double Cold = 0;
    auto Form = std::make_unique<TForm_Main>();
    const auto First_Start = TClock::now();
    const bool First_Shown = Show_And_Wait(*Form);
    if (Cold == 0)
        Cold = Seconds_Since(First_Start);
    const QSize Size = Form->size();
    Destroy(Form);
    auto Plain = Plain_Window(Size);
    Show_And_Wait(*Plain);
    Destroy(Plain);
    if (!First_Shown || !Guard.Check(State)) {
        if (!First_Shown)
            State.SkipWithError("the main window was never exposed");
        return;
    }

    double Window_Sum = 0, Plain_Sum = 0;
    for (auto _ : State) {
        auto Start = TClock::now();
        Form = std::make_unique<TForm_Main>();
        const bool Shown = Show_And_Wait(*Form);
        const double Window = Seconds_Since(Start);
        Destroy(Form);

        Start = TClock::now();
        Plain = Plain_Window(Size);
        Show_And_Wait(*Plain);
        const double Reference = Seconds_Since(Start);
        Destroy(Plain);

        if (!Shown) {
            State.SkipWithError("the main window was never exposed");
            break;
        }
        if (!Guard.Check(State))
            break;
        State.SetIterationTime(Window);
        Window_Sum += Window;
        Plain_Sum += Reference;
    }
    const double N = static_cast<double>(State.iterations());
    State.counters["Window_ms"] = 1e3 * Window_Sum / N;
    State.counters["Plain_ms"] = 1e3 * Plain_Sum / N;
    State.counters["Ratio"] = Window_Sum / Plain_Sum;
    State.counters["Cold_ms"] = 1e3 * Cold;
    State.SetLabel("x plain main window; target < 300 ms");
}

// -- A run ------------------------------------------------------------------

void BM_Run(benchmark::State& State)
{
    if (!Prepare(State))
        return;
    TMessageGuard Guard;
    auto Form = Window_For_Run(State);
    if (!Form)
        return;
    const TCase Case = Million_Step_Case();
    // Like the window's, the batch run's engine objects are kept from run to
    // run, so that both reuse the block of records.
    TCalc Calc, Blow;
    TSilentLink Link;
    // Untimed, one run each makes the block of records that later runs reuse.
    if (!Run_From_Window(State, *Form) || !Guard.Check(State))
        return;
    RunCase(Case, false, Calc, Blow, 9.81, Link);

    double Window_Sum = 0, Batch_Sum = 0;
    for (auto _ : State) {
        const int Draws = Form->PaintBox->Draw_Count();
        auto Start = TClock::now();
        const bool Ran = Run_From_Window(State, *Form);
        const double Window = Seconds_Since(Start);
        if (!Ran || !Guard.Check(State))
            break;
        if (Form->PaintBox->Draw_Count() != Draws + 1) {
            State.SkipWithError("the window's run did not draw the chart exactly once");
            break;
        }

        Start = TClock::now();
        RunCase(Case, false, Calc, Blow, 9.81, Link);
        const double Batch = Seconds_Since(Start);
        if (Calc.Count != Run_Steps || Link.Messages != 0) {
            State.SkipWithError("the batch run did not make a million records");
            break;
        }
        const TCalcStep& A = Form->Calc().Records[Run_Steps - 1];
        const TCalcStep& B = Calc.Records[Run_Steps - 1];
        if (A.Fill != B.Fill || A.Speed != B.Speed) {
            State.SkipWithError("the window's run and the batch run differ");
            break;
        }

        State.SetIterationTime(Window);
        Window_Sum += Window;
        Batch_Sum += Batch;
    }
    const double N = static_cast<double>(State.iterations());
    State.counters["Window_ms"] = 1e3 * Window_Sum / N;
    State.counters["Batch_ms"] = 1e3 * Batch_Sum / N;
    State.counters["Ratio"] = Window_Sum / Batch_Sum;
    // Of the window's time, the share of the chart drawn anew (measured apart,
    // on the same results).
    const auto Redraw_Start = TClock::now();
    Form->PaintBox->RedrawChart();
    State.counters["Redraw_ms"] = 1e3 * Seconds_Since(Redraw_Start);
    State.SetItemsProcessed(State.iterations() * Run_Steps);
    State.SetLabel("x RunCase with a silent link; target <= 1.3");
    Destroy(Form);
}

// -- A repaint from the kept image --------------------------------------------

void BM_Repaint(benchmark::State& State)
{
    if (!Prepare(State))
        return;
    TMessageGuard Guard;
    auto Form = Window_After_Run(State, Guard);
    if (!Form)
        return;
    TChart_View& View = *Form->PaintBox;

    // The reference: the image drawn anew, as after a run.
    constexpr int Redraws = 5;
    const auto Redraw_Start = TClock::now();
    for (int I = 0; I < Redraws; ++I)
        View.RedrawChart();
    const double Redraw = Seconds_Since(Redraw_Start) / Redraws;

    const int Draws = View.Draw_Count();
    double Repaint_Sum = 0;
    for (auto _ : State) {
        const auto Start = TClock::now();
        View.repaint();
        const double Repaint = Seconds_Since(Start);
        State.SetIterationTime(Repaint);
        Repaint_Sum += Repaint;
    }
    if (View.Draw_Count() != Draws) {
        State.SkipWithError("a repaint drew the chart anew");
        return;
    }
    if (!Guard.Check(State))
        return;
    const double N = static_cast<double>(State.iterations());
    State.counters["Repaint_ms"] = 1e3 * Repaint_Sum / N;
    State.counters["Redraw_ms"] = 1e3 * Redraw;
    State.counters["Ratio"] = Repaint_Sum / N / Redraw;
    State.SetLabel("x drawing anew; target < 2 ms");
    Destroy(Form);
}

// -- The readout under the mouse --------------------------------------------

void BM_Readout(benchmark::State& State)
{
    if (!Prepare(State))
        return;
    TMessageGuard Guard;
    auto Form = Window_After_Run(State, Guard);
    if (!Form)
        return;
    if (!Show_And_Wait(*Form->Form_Legend)) {
        State.SkipWithError("the legend was never exposed");
        return;
    }
    const int Width = Form->PaintBox->width();
    const TCalc& Calc = Form->Calc();

    // The mouse sweeps to and fro across the chart, a pixel a movement.
    int X = 0, Dir = 1;
    double Window_Sum = 0, Values_Sum = 0, Events_Sum = 0;
    int64_t Changes = 0;
    QString Last = Form->Form_Legend->Label_Time->text();
    for (auto _ : State) {
        auto Start = TClock::now();
        Form->PaintBoxMouseMove(X);
        const double Window = Seconds_Since(Start);

        // What the legend's repaint costs afterwards, in the next pass of
        // the event loop.
        Start = TClock::now();
        QCoreApplication::processEvents();
        Events_Sum += Seconds_Since(Start);

        // The reference: the values and their texts alone.
        Start = TClock::now();
        const TLegendLines Lines = LegendLines(ReadoutAt(Calc, X, Width));
        benchmark::DoNotOptimize(Lines);
        Values_Sum += Seconds_Since(Start);

        const QString Now = Form->Form_Legend->Label_Time->text();
        if (Now != Last)
            ++Changes;
        Last = Now;
        State.SetIterationTime(Window);
        Window_Sum += Window;
        if (X + Dir < 0 || X + Dir >= Width)
            Dir = -Dir;
        X += Dir;
    }
    if (!Guard.Check(State))
        return;
    if (Changes == 0) {
        State.SkipWithError("the readout never changed the legend");
        return;
    }
    const double N = static_cast<double>(State.iterations());
    State.counters["Window_us"] = 1e6 * Window_Sum / N;
    State.counters["Values_us"] = 1e6 * Values_Sum / N;
    State.counters["Ratio"] = Window_Sum / Values_Sum;
    State.counters["Events_us"] = 1e6 * Events_Sum / N;
    State.counters["Changed"] = static_cast<double>(Changes) / N;
    State.SetLabel("x readout values alone; target < 0.1 ms");
    Destroy(Form);
}

// -- The first drawing at pixel ratio 2 ---------------------------------------

// The first screen at pixel ratio 1 and the first at another ratio, each
// large enough for the window.
bool Find_Screens(QSize Size, QScreen*& One, QScreen*& Dense)
{
    One = Dense = nullptr;
    for (QScreen* S : QGuiApplication::screens()) {
        if (S->geometry().width() < Size.width() || S->geometry().height() < Size.height())
            continue;
        if (S->devicePixelRatio() == 1 && !One)
            One = S;
        else if (S->devicePixelRatio() > 1 && !Dense)
            Dense = S;
    }
    return One && Dense;
}

// Moves the window onto Screen and waits until the chart area takes the
// screen's ratio and is painted there.
bool Move_To(TForm_Main& Form, QScreen* Screen)
{
    Form.windowHandle()->setScreen(Screen);
    Form.move(Screen->geometry().topLeft());
    return Process_Until([&] {
        return Form.PaintBox->devicePixelRatioF() == Screen->devicePixelRatio() &&
               Form.PaintBox->ChartBitmap().devicePixelRatio() == Screen->devicePixelRatio();
    });
}

void BM_First_Draw(benchmark::State& State)
{
    if (!Prepare(State))
        return;
    TMessageGuard Guard;
    auto Form = Window_After_Run(State, Guard);
    if (!Form)
        return;
    QScreen *One = nullptr, *Dense = nullptr;
    if (!Find_Screens(Form->frameGeometry().size(), One, Dense)) {
        State.SkipWithError("no screens at pixel ratio 1 and 2 (run on the offscreen platform "
                            "with offscreen-screens.json)");
        return;
    }
    TChart_View& View = *Form->PaintBox;

    // Draws anew at the screen's ratio; the time of the drawing alone.
    const auto Draw_On = [&](QScreen* Screen, double& Seconds, QSize& Pixels) {
        if (!Move_To(*Form, Screen))
            return false;
        const int Draws = View.Draw_Count();
        const auto Start = TClock::now();
        View.RedrawChart();
        Seconds = Seconds_Since(Start);
        Pixels = View.ChartBitmap().size();
        return View.Draw_Count() == Draws + 1;
    };

    double One_Sum = 0, Dense_Sum = 0;
    QSize One_Pixels, Dense_Pixels;
    const QSize Logical = View.size();
    for (auto _ : State) {
        double One_Time = 0, Dense_Time = 0;
        if (!Draw_On(One, One_Time, One_Pixels) || !Draw_On(Dense, Dense_Time, Dense_Pixels)) {
            State.SkipWithError("the chart was not drawn at the screen's ratio");
            break;
        }
        if (View.size() != Logical) {
            State.SkipWithError("the chart area changed its size between the screens");
            break;
        }
        State.SetIterationTime(Dense_Time);
        One_Sum += One_Time;
        Dense_Sum += Dense_Time;
    }
    if (!Guard.Check(State))
        return;
    const double N = static_cast<double>(State.iterations());
    State.counters["Ratio1_ms"] = 1e3 * One_Sum / N;
    State.counters["Ratio2_ms"] = 1e3 * Dense_Sum / N;
    State.counters["Ratio"] = Dense_Sum / One_Sum;
    State.counters["Pixels1"] = One_Pixels.width() * One_Pixels.height();
    State.counters["Pixels2"] = Dense_Pixels.width() * Dense_Pixels.height();
    State.SetLabel(QStringLiteral("%1x%2 points at ratio %3 x ratio 1; target <= 2")
                       .arg(Logical.width())
                       .arg(Logical.height())
                       .arg(Dense->devicePixelRatio())
                       .toStdString());
    Destroy(Form);
}

}  // namespace

BENCHMARK(BM_Start)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Run)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Repaint)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Readout)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_First_Draw)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
