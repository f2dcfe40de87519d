// The text editor with the report of a million-step run, each figure beside
// Qt's own way of doing the same:
//
//   Report_In_Editor   the report command's way: the report written into a
//                      new editor window as it is made (its progress window
//                      open, Cancel polled), the window shown;
//   Bare_SetPlainText  the report made into a string, then QString::fromUtf8
//                      and QPlainTextEdit::setPlainText of that text (the time
//                      counts only the two calls; the memory everything held);
//   Find_At_End        Find next (F3) of the report's last line from the
//                      start of the text, against QPlainTextEdit::find;
//   Replace_Frequent   Replace of "м/с" by "m/s" in the whole text (two in
//                      every row) from the menu, against QString::replace on
//                      the plain text and setPlainText.
//
// Counters: peak_MiB, the highest resident memory during the benchmark above
// what was resident before it (the high-water mark is reset first); and for
// Report_In_Editor max_gap_ms, the longest time without event processing (as
// long as a press of Cancel could wait).
//
// Run on the offscreen platform, one benchmark a process for clean memory
// figures, e.g.:
//   QT_QPA_PLATFORM=offscreen bench/bench_editor --benchmark_filter=Report_In_Editor

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <string>

#include "bench/QtBench.h"
#include "case/CaseModel.h"
#include "case/RunSetup.h"
#include "dialogs/MessageDialog.h"
#include "dialogs/QtUserLink.h"
#include "dialogs/TextEditor.h"
#include "dialogs/TextInput.h"
#include "engine/Calc.h"
#include "engine/RunGlobals.h"
#include "engine/UserLink.h"
#include "results/Report.h"
#include "text/Profile.h"
#include "text/TextSearch.h"

namespace {

constexpr int Steps = 1000000;

long Status_KiB(const char* Key)
{
    std::ifstream In("/proc/self/status");
    std::string Line;
    while (std::getline(In, Line))
        if (Line.rfind(Key, 0) == 0)
            return std::stol(Line.substr(std::string(Key).size()));
    return 0;
}

// Measures the peak of resident memory from construction on.
class TPeak {
public:
    TPeak()
    {
        malloc_trim(0);
        std::ofstream("/proc/self/clear_refs") << "5";  // resets the high-water mark
        Start = Status_KiB("VmRSS:");
    }
    double MiB() const { return (Status_KiB("VmHWM:") - Start) / 1024.0; }

private:
    long Start = 0;
};

// The engine objects of a million-step run at constant pressure, made once.
struct TRun {
    TCase Case;
    TCalc Calc;
    TCalc Blow;
    TRun()
    {
        TProfile Profile(std::string(HYD_EXAMPLES_DIR) + "/constant-pressure.Hyd");
        LoadCase(Profile, Case);
        Case.Steps = Steps;
        TStdErrLink Link;
        RunCase(Case, false, Calc, Blow, Gravity, Link);
    }
};

TRun& Run()
{
    static TRun* R = new TRun;
    return *R;
}

// Puts the report into Editor as the report command does.
void Report_Into(TForm_Editor& Editor)
{
    TRun& R = Run();
    TQtUserLink Link;
    TRunSetup Setup(R.Case, R.Blow, Gravity, Link);
    Editor.Editor_Set_Text_From(
        [&](const TForm_Editor::TText_Sink& Sink) { WriteReport(R.Calc, Sink); });
}

std::string Report_Text()
{
    TRun& R = Run();
    TStdErrLink Link;
    TRunSetup Setup(R.Case, R.Blow, Gravity, Link);
    std::string Text;
    R.Calc.MakeReport(Text);
    return Text;
}

// The longest time between two ticks of a timer that wants to tick every
// millisecond: how long the event loop was not reached.
class TGap_Watch {
public:
    TGap_Watch()
    {
        Clock.start();
        Timer.setInterval(1);
        QObject::connect(&Timer, &QTimer::timeout,
                         [this] { Max = std::max(Max, Clock.restart()); });
        Timer.start();
    }
    qint64 Max_Ms() const { return Max; }

private:
    QTimer Timer;
    QElapsedTimer Clock;
    qint64 Max = 0;
};

void BM_Report_In_Editor(benchmark::State& State)
{
    Ensure_Qt();
    Run();
    for (auto _ : State) {
        State.PauseTiming();
        QApplication::processEvents();
        TPeak Peak;
        State.ResumeTiming();
        TGap_Watch Gaps;
        auto Editor = std::make_unique<TForm_Editor>();
        Report_Into(*Editor);
        Editor->show();
        QApplication::processEvents();
        State.PauseTiming();
        State.counters["peak_MiB"] = Peak.MiB();
        State.counters["max_gap_ms"] = static_cast<double>(Gaps.Max_Ms());
        State.counters["lines"] = Editor->Memo->document()->blockCount();
        Editor.reset();
        State.ResumeTiming();
    }
}
BENCHMARK(BM_Report_In_Editor)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_Bare_SetPlainText(benchmark::State& State)
{
    Ensure_Qt();
    Run();
    for (auto _ : State) {
        State.PauseTiming();
        QApplication::processEvents();
        TPeak Peak;
        auto Text = std::make_unique<std::string>(Report_Text());
        QPlainTextEdit Edit;
        Edit.setLineWrapMode(QPlainTextEdit::NoWrap);
        Edit.resize(792, 220);
        Edit.show();
        QApplication::processEvents();
        State.ResumeTiming();
        Edit.setPlainText(QString::fromUtf8(*Text));
        QApplication::processEvents();
        State.PauseTiming();
        State.counters["peak_MiB"] = Peak.MiB();
        State.counters["lines"] = Edit.document()->blockCount();
        State.ResumeTiming();
    }
}
BENCHMARK(BM_Bare_SetPlainText)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// An editor window with the report, made once for the find and replace figures.
TForm_Editor& Editor_With_Report()
{
    static TForm_Editor* Editor = [] {
        auto* E = new TForm_Editor;
        Report_Into(*E);
        E->show();
        return E;
    }();
    return *Editor;
}

QString Last_Line(const QTextDocument& Doc)
{
    QTextBlock B = Doc.lastBlock();
    while (B.isValid() && B.text().isEmpty())
        B = B.previous();
    return B.text();
}

void BM_Find_At_End(benchmark::State& State)
{
    Ensure_Qt();
    TForm_Editor& Editor = Editor_With_Report();
    const QString Last = Last_Line(*Editor.Memo->document());
    Search_Memory().Remember_Search(Last.toStdU16String());
    for (auto _ : State) {
        Editor.Memo->moveCursor(QTextCursor::Start);
        Editor.Menu_Edit_RepeatClick();
        if (Editor.Memo->textCursor().selectedText() != Last)
            State.SkipWithError("not found");
    }
}
BENCHMARK(BM_Find_At_End)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Qt_Find_At_End(benchmark::State& State)
{
    Ensure_Qt();
    TForm_Editor& Editor = Editor_With_Report();
    const QString Last = Last_Line(*Editor.Memo->document());
    for (auto _ : State) {
        Editor.Memo->moveCursor(QTextCursor::Start);
        if (!Editor.Memo->find(Last, QTextDocument::FindCaseSensitively))
            State.SkipWithError("not found");
    }
}
BENCHMARK(BM_Qt_Find_At_End)->Unit(benchmark::kMillisecond)->UseRealTime();

// Answers the next text input window of Replace with What and With.
void Answer_Replace(const QString& What, const QString& With)
{
    auto* Poll = new QTimer(qApp);
    QObject::connect(Poll, &QTimer::timeout, Poll, [=] {
        auto* Form = qobject_cast<TForm_ZoText*>(QApplication::activeModalWidget());
        if (!Form)
            return;
        Form->Set_Text(What);
        if (Form->ComboBox_2)
            Form->ComboBox_2->setEditText(With);
        Form->done(1);
        Poll->stop();
        Poll->deleteLater();
    });
    Poll->start(1);
}

void BM_Replace_Frequent(benchmark::State& State)
{
    Ensure_Qt();
    TForm_Editor& Editor = Editor_With_Report();
    for (auto _ : State) {
        State.PauseTiming();
        Editor.Memo->moveCursor(QTextCursor::Start);
        // Back and forth: the text is the same at every start.
        const bool Forth = Editor.Memo->document()->find(QStringLiteral("м/с")).isNull() == false;
        const QString What = Forth ? QStringLiteral("м/с") : QStringLiteral("m/s");
        const QString With = Forth ? QStringLiteral("m/s") : QStringLiteral("м/с");
        Answer_Replace(What, With);
        TPeak Peak;
        State.ResumeTiming();
        Editor.Menu_Edit_ReplaceClick();
        State.PauseTiming();
        State.counters["peak_MiB"] = Peak.MiB();
        if (!Editor.StatusBar_Lines->text().startsWith(QStringLiteral("Выполнено замен: ")))
            State.SkipWithError("nothing replaced");
        State.ResumeTiming();
    }
}
BENCHMARK(BM_Replace_Frequent)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

void BM_Qt_Replace_Frequent(benchmark::State& State)
{
    Ensure_Qt();
    TForm_Editor& Editor = Editor_With_Report();
    for (auto _ : State) {
        State.PauseTiming();
        const bool Forth = Editor.Memo->document()->find(QStringLiteral("м/с")).isNull() == false;
        const QString What = Forth ? QStringLiteral("м/с") : QStringLiteral("m/s");
        const QString With = Forth ? QStringLiteral("m/s") : QStringLiteral("м/с");
        TPeak Peak;
        State.ResumeTiming();
        QString Text = Editor.Memo->toPlainText();
        Text.replace(What, With);
        Editor.Memo->setPlainText(Text);
        State.PauseTiming();
        State.counters["peak_MiB"] = Peak.MiB();
        State.ResumeTiming();
    }
}
BENCHMARK(BM_Qt_Replace_Frequent)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

}  // namespace
