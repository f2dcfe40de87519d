#include "dialogs/TextPrinter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QFontMetrics>
#include <QIODevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <algorithm>
#include <cmath>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

#include "controls/Beep.h"
#include "dialogs/MessageDialog.h"
#include "dialogs/ProgressWindow.h"
#include "dialogs/QtUserLink.h"
#include "text/AtomicWrite.h"
#include "text/PrintLayout.h"

namespace ZoPrinter {
namespace {

struct TTable {
    QString Entries[static_cast<int>(Text::Count_)];
};

const TTable& Russian()
{
    static const TTable T{{
        QStringLiteral("Ошибка создания окна выбора параметров печати"),
        QStringLiteral("Вывод на принтер (только выделенное)"),
        QStringLiteral("Вывод на принтер (страницы с "),
        QStringLiteral(" по "),
        QStringLiteral("Вывод на принтер (текст полностью)"),
        QStringLiteral("Ошибка вызова менеджера печати"),
    }};
    return T;
}

const TTable& English()
{
    static const TTable T{{
        QStringLiteral("Printing parameters window create error"),
        QStringLiteral("Print (selected only)"),
        QStringLiteral("Print (pages from "),
        QStringLiteral(" to "),
        QStringLiteral("Print (whole text)"),
        QStringLiteral("Print manager call error"),
    }};
    return T;
}

const TTable* Current = nullptr;

struct TAnswer {
    bool Accept;
    int Range;
};
std::deque<TAnswer> Answers;

QPrinter* The_Printer = nullptr;

// Where a printout goes when no printer is installed.
QString Default_Pdf_Name()
{
    QString Folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (Folder.isEmpty() || !QDir(Folder).exists())
        Folder = QDir::homePath();
    return QDir(Folder).filePath(QStringLiteral("Hyd.pdf"));
}

}  // namespace

void Set_Language(int Language)
{
    Current = Language == 1 ? &Russian() : &English();
}

const QString& Get_Text(Text Entry)
{
    if (!Current)
        Current = &Russian();
    return Current->Entries[static_cast<int>(Entry)];
}

TPrint_Settings& Settings()
{
    static TPrint_Settings S;
    return S;
}

QPrinter& Printer()
{
    if (!The_Printer) {
        The_Printer = new QPrinter(QPrinter::HighResolution);
        // Freed with the application object, before the print support goes.
        qAddPostRoutine([] {
            delete The_Printer;
            The_Printer = nullptr;
        });
        if (QPrinterInfo::availablePrinterNames().isEmpty()) {
            The_Printer->setOutputFormat(QPrinter::PdfFormat);
            The_Printer->setOutputFileName(Default_Pdf_Name());
        }
    }
    return *The_Printer;
}

void Answer_Next(bool Accept, int Range)
{
    Answers.push_back({Accept, Range});
}

int Pending_Answers()
{
    return static_cast<int>(Answers.size());
}

int Line_Height(const QFont& Font, QPaintDevice* Device)
{
    const QFontMetrics Metrics(QFont(Font, Device), Device);
    return std::max(1, Metrics.size(Qt::TextSingleLine, QStringLiteral("yY|Й")).height());
}

}  // namespace ZoPrinter

namespace {

using namespace ZoPrinter;

// Refuses (with a beep) while another job runs.
bool Refused()
{
    if (Job_Running() <= 0)
        return false;
    Default_Beep();
    return true;
}

QPrinter::PrintRange Qt_Range(int Range)
{
    switch (Range) {
    case Range_Selection: return QPrinter::Selection;
    case Range_Pages: return QPrinter::PageRange;
    default: return QPrinter::AllPages;
    }
}

int Own_Range(QPrinter::PrintRange Range)
{
    switch (Range) {
    case QPrinter::Selection: return Range_Selection;
    case QPrinter::PageRange: return Range_Pages;
    default: return Range_All;
    }
}

// A range the dialog did not offer counts as all.
int Offered(int Range, bool Has_Selection, bool Has_Pages)
{
    if ((Range == Range_Selection && !Has_Selection) || (Range == Range_Pages && !Has_Pages))
        return Range_All;
    return Range;
}

QString Progress_Caption()
{
    const TPrint_Settings& S = Settings();
    switch (S.Range) {
    case Range_Selection: return Get_Text(Text::Caption_Selection);
    case Range_Pages:
        return Get_Text(Text::Caption_Pages_From) + QString::number(S.From_Page) +
               Get_Text(Text::Caption_Pages_To) + QString::number(S.To_Page) + QLatin1Char(')');
    default: return Get_Text(Text::Caption_All);
    }
}

// The bytes of a PDF document on their way into an atomic file write.
class TAtomic_Device : public QIODevice {
public:
    explicit TAtomic_Device(TAtomicFile& File) : FFile(File) { open(QIODevice::WriteOnly); }
    bool Failed() const { return FFailed; }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* Data, qint64 Size) override
    {
        if (FFailed)
            return -1;
        try {
            FFile.Write(std::string_view(Data, static_cast<std::size_t>(Size)));
            return Size;
        } catch (const std::exception&) {
            FFailed = true;
            return -1;
        }
    }

private:
    TAtomicFile& FFile;
    bool FFailed = false;
};

// The lines of one printout: how many, the text of each, and how far through
// the job each one is (0..1).
struct TLines {
    std::size_t Count;
    std::function<QString(std::size_t)> Text;
    std::function<double(std::size_t)> Done;
};

enum class TOutcome { Printed, Cancelled, Failed };

// Prints Lines on Device with Painter begun on it. Pages are started only
// for lines that are drawn, so no blank page follows the last line.
TOutcome Print_Pages(QPainter& Painter, QPagedPaintDevice& Device, const TLines& Lines,
                     const QFont& Font, int Doc_Copies, int Page_Copies, TForm_Percent* Window)
{
    const QFont Device_Font(Font, &Device);
    Painter.setFont(Device_Font);
    Painter.setPen(Qt::black);
    const int Height = Line_Height(Font, &Device);
    const int Ascent = QFontMetrics(Device_Font, &Device).ascent();
    const std::size_t Per_Page = static_cast<std::size_t>(Lines_Per_Page(Height, Device.height()));

    // Pages up to the last line with something on it.
    std::size_t Last_Drawn = 0;
    for (std::size_t K = Lines.Count; K > 0; --K)
        if (!Lines.Text(K - 1).isEmpty()) {
            Last_Drawn = K;
            break;
        }
    const std::size_t Pages = Last_Drawn == 0 ? 1 : (Last_Drawn - 1) / Per_Page + 1;

    QPointer<TForm_Percent> Progress(Window);
    const double Runs = static_cast<double>(Doc_Copies) * Page_Copies;
    bool First_Page = true;
    double Run = 0;
    for (int D = 0; D < Doc_Copies; ++D)
        for (std::size_t P = 0; P < Pages; ++P)
            for (int C = 0; C < Page_Copies; ++C, ++Run) {
                if (!First_Page && !Device.newPage())
                    return TOutcome::Failed;
                First_Page = false;
                const std::size_t End = std::min(Lines.Count, (P + 1) * Per_Page);
                for (std::size_t K = P * Per_Page; K < End; ++K) {
                    const QString Line = Lines.Text(K);
                    if (!Line.isEmpty())
                        Painter.drawText(0, static_cast<int>(K - P * Per_Page) * Height + Ascent,
                                         Line);
                    const double Done = (Run + Lines.Done(K)) / Runs;
                    Percent_Set(Progress.data(), static_cast<int>(std::lround(Done * 1e6)),
                                1'000'000);
                    if (Percent_Cancelled(Progress.data()))
                        return TOutcome::Cancelled;
                }
            }
    return TOutcome::Printed;
}

// Prints Lines on the program's printer, or into its PDF file, with a
// progress window; the failure message when the printer fails.
bool Print_Job(const TLines& Lines, const QFont& Font)
{
    if (Refused())
        return false;
    TOutcome Outcome = TOutcome::Failed;
    {
        TJobGuard Job;
        QPrinter& Printer = ZoPrinter::Printer();
        TForm_Percent* Window = Percent_Open(Progress_Caption());
        QPointer<TForm_Percent> Progress(Window);
        try {
            const int Copies = std::max(1, Printer.copyCount());
            const bool To_Pdf = Printer.outputFormat() == QPrinter::PdfFormat;
            // A printer makes its copies itself; a PDF file gets them written out.
            const bool Own_Copies = To_Pdf || !Printer.supportsMultipleCopies();
            const int Doc_Copies = Own_Copies && Printer.collateCopies() ? Copies : 1;
            const int Page_Copies = Own_Copies && !Printer.collateCopies() ? Copies : 1;
            if (To_Pdf) {
                // Written whole or not at all: Cancel or a failure keeps the old file.
                TAtomicFile File(Printer.outputFileName().toStdString());
                TAtomic_Device Bytes(File);
                {
                    QPdfWriter Writer(&Bytes);
                    Writer.setPageLayout(Printer.pageLayout());
                    Writer.setResolution(Printer.resolution());
                    Writer.setCreator(Printer.creator());
                    Writer.setTitle(Printer.docName());
                    Writer.setPdfVersion(Printer.pdfVersion());
                    QPainter Painter;
                    if (Painter.begin(&Writer)) {
                        Outcome = Print_Pages(Painter, Writer, Lines, Font, Doc_Copies, Page_Copies,
                                              Window);
                        if (!Painter.end() && Outcome == TOutcome::Printed)
                            Outcome = TOutcome::Failed;
                    }
                }
                if (Outcome == TOutcome::Printed && Bytes.Failed())
                    Outcome = TOutcome::Failed;
                if (Outcome == TOutcome::Printed)
                    File.Commit();
            } else {
                QPainter Painter;
                if (Painter.begin(&Printer)) {
                    Outcome =
                        Print_Pages(Painter, Printer, Lines, Font, Doc_Copies, Page_Copies, Window);
                    if (Outcome == TOutcome::Cancelled)
                        Printer.abort();
                    if (!Painter.end() && Outcome == TOutcome::Printed)
                        Outcome = TOutcome::Failed;
                    if (Outcome == TOutcome::Printed && Printer.printerState() == QPrinter::Error)
                        Outcome = TOutcome::Failed;
                }
            }
        } catch (const std::exception&) {
            Outcome = TOutcome::Failed;
        }
        Percent_Close(Progress.data());
    }
    if (Outcome == TOutcome::Failed)
        Dialog_Error(Get_Text(Text::Print_Failed));
    return Outcome == TOutcome::Printed;
}

}  // namespace

bool Print_Dialog(bool Has_Selection, bool Has_Pages, QWidget* Owner)
{
    if (Refused())
        return false;
    TPrint_Settings& S = Settings();
    if (!Answers.empty()) {
        const TAnswer A = Answers.front();
        Answers.pop_front();
        if (A.Accept)
            S.Range = Offered(A.Range, Has_Selection, Has_Pages);
        return A.Accept;
    }
    try {
        QPrinter& P = Printer();
        P.setCollateCopies(S.Collate);
        P.setCopyCount(std::max(1, S.Copies));
        P.setPrintRange(Qt_Range(Offered(S.Range, Has_Selection, Has_Pages)));
        P.setFromTo(std::max(1, S.From_Page), std::max({1, S.From_Page, S.To_Page}));

        QPointer<QPrintDialog> Dialog = new QPrintDialog(&P, Owner);
        Dialog->setObjectName(QStringLiteral("Form_Print"));
        Dialog->setOption(QAbstractPrintDialog::PrintToFile, true);
        Dialog->setOption(QAbstractPrintDialog::PrintCollateCopies, true);
        Dialog->setOption(QAbstractPrintDialog::PrintShowPageSize, true);
        Dialog->setOption(QAbstractPrintDialog::PrintSelection, Has_Selection);
        Dialog->setOption(QAbstractPrintDialog::PrintPageRange, Has_Pages);
        Dialog->setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        const bool Accepted = Dialog->exec() == QDialog::Accepted && Dialog;
        delete Dialog;
        if (Accepted) {
            S.Collate = P.collateCopies();
            S.Copies = std::max(1, P.copyCount());
            S.Range = Offered(Own_Range(P.printRange()), Has_Selection, Has_Pages);
            if (S.Range == Range_Pages) {
                S.From_Page = std::max(1, P.fromPage());
                S.To_Page = std::max(S.From_Page, P.toPage());
            }
        }
        return Accepted;
    } catch (const std::exception&) {
        Dialog_Error(Get_Text(Text::Dialog_Failed));
        return false;
    }
}

bool Print_Text(const QString& Text, const QFont& Font)
{
    const std::u16string_view View(reinterpret_cast<const char16_t*>(Text.utf16()),
                                   static_cast<std::size_t>(Text.size()));
    const std::vector<TPrint_Line> Lines = Split_Print_Lines(View);
    const double Total = std::max<double>(1, static_cast<double>(Text.size()));
    return Print_Job({Lines.size(),
                      [&](std::size_t K) {
                          return Text.mid(static_cast<qsizetype>(Lines[K].Start),
                                          static_cast<qsizetype>(Lines[K].Length));
                      },
                      [&](std::size_t K) { return static_cast<double>(Lines[K].End) / Total; }},
                     Font);
}

bool Print_Lines(const QStringList& Lines, const QFont& Font)
{
    const double Total = std::max<double>(1, static_cast<double>(Lines.size()));
    return Print_Job({static_cast<std::size_t>(Lines.size()),
                      [&](std::size_t K) { return Lines[static_cast<qsizetype>(K)]; },
                      [&](std::size_t K) { return static_cast<double>(K + 1) / Total; }},
                     Font);
}
