// Printing into PDF files through the program's printer: lines and pages by
// the font's line height, line ends, copies, Cancel from the progress window,
// the failure message, the print dialog and its remembered settings, and the
// refusal while another job runs.

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "controls/Beep.h"
#include "dialogs/MessageDialog.h"
#include "dialogs/ProgressWindow.h"
#include "dialogs/QtUserLink.h"
#include "dialogs/TextPrinter.h"
#include "tests/QtHelpers.h"
#include "text/PrintLayout.h"

using namespace QtHelpers;

namespace {

// The program's printer pointed at a PDF file in a folder of the test's own,
// with the settings of a fresh run.
class TextPrinter : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Folder.isValid());
        ZoPrinter::Settings() = {};
        QPrinter& P = ZoPrinter::Printer();
        P.setOutputFormat(QPrinter::PdfFormat);
        P.setOutputFileName(Pdf);
        P.setPageSize(QPageSize(QPageSize::A4));
        P.setPageOrientation(QPageLayout::Portrait);
        P.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
        P.setCopyCount(1);
        P.setCollateCopies(true);
        ZoDialog::Take_Answered();
    }
    void TearDown() override
    {
        EXPECT_EQ(ZoDialog::Pending_Answers(), 0);
        EXPECT_EQ(ZoPrinter::Pending_Answers(), 0);
        EXPECT_EQ(Percent_Last(), nullptr);
        EXPECT_EQ(Job_Running(), 0);
    }

    // Lines of Font that fit on a page of the printer.
    int Per_Page() const
    {
        QPrinter& P = ZoPrinter::Printer();
        return Lines_Per_Page(ZoPrinter::Line_Height(Font, &P), P.height());
    }

    QByteArray Pdf_Bytes() const
    {
        QFile F(Pdf);
        return F.open(QIODevice::ReadOnly) ? F.readAll() : QByteArray();
    }

    // Pages of the PDF file: its page objects (not the page tree).
    int Pages() const
    {
        static const QRegularExpression Page(QStringLiteral("/Type\\s*/Page(?![s\\w])"));
        return static_cast<int>(QString::fromLatin1(Pdf_Bytes()).count(Page));
    }

    QTemporaryDir Folder;
    const QString Pdf = Folder.filePath(QStringLiteral("out.pdf"));
    const QFont Font = [] {
        QFont F = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        F.setPointSize(10);
        return F;
    }();
};

// N numbered lines joined by End, with an empty line after every tenth.
QString Numbered(int N, const QString& End)
{
    QString T;
    for (int I = 1; I <= N; ++I) {
        T += QStringLiteral("Строка %1 yY|Й").arg(I) + End;
        if (I % 10 == 0)
            T += End;
    }
    return T;
}

// Presses Cancel in the progress window at its first event processing;
// Job_Running() then goes to Jobs.
void Cancel_Progress(int* Jobs = nullptr)
{
    auto* Poll = new QTimer(qApp);
    QObject::connect(Poll, &QTimer::timeout, Poll, [=] {
        if (TForm_Percent* W = Percent_Last()) {
            if (Jobs)
                *Jobs = Job_Running();
            W->BitBtn_Cancel->click();
            Poll->stop();
            Poll->deleteLater();
        }
    });
    Poll->start(0);
}

}  // namespace

// Before any other test touches the program's printer.
TEST(TextPrinterStart, WithoutAPrinterTheProgramPrintsIntoAPdfFile)
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "a printer is installed";
    EXPECT_EQ(ZoPrinter::Printer().outputFormat(), QPrinter::PdfFormat);
    EXPECT_TRUE(ZoPrinter::Printer().outputFileName().endsWith(QStringLiteral("/Hyd.pdf")));
}

TEST_F(TextPrinter, LinesAndPagesFollowTheFontsLineHeight)
{
    const int N = Per_Page();
    // A 10-point line is about 12 points high, in the printer's pixels.
    const double Point = ZoPrinter::Printer().resolution() / 72.0;
    EXPECT_NEAR(ZoPrinter::Line_Height(Font, &ZoPrinter::Printer()) / Point, 12, 2.5);
    ASSERT_GT(N, 40);  // on A4

    struct TCase {
        const char* Name;
        int Lines;  // printed lines, the empty ones included
        int Pages;
    };
    // 100 numbered lines and 10 empty ones; exactly a page; a page and a line.
    for (const TCase& C : std::vector<TCase>{{"110 lines", 110, (110 + N - 1) / N},
                                             {"one page", N, 1},
                                             {"a page and a line", N + 1, 2}}) {
        SCOPED_TRACE(C.Name);
        QStringList Lines;
        for (int I = 0; I < C.Lines; ++I)
            Lines << (I % 11 == 10 ? QString() : QStringLiteral("Строка %1").arg(I));
        Lines.back() = QStringLiteral("последняя");
        ASSERT_TRUE(Print_Lines(Lines, Font));
        EXPECT_TRUE(Pdf_Bytes().startsWith("%PDF-"));
        EXPECT_TRUE(Pdf_Bytes().trimmed().endsWith("%%EOF"));
        EXPECT_EQ(Pages(), C.Pages);  // no blank page after the last line
        ASSERT_TRUE(Print_Text(Lines.join(QLatin1Char('\n')), Font));
        EXPECT_EQ(Pages(), C.Pages);
    }
}

TEST_F(TextPrinter, LineEndsOfEveryKindGiveTheSameLines)
{
    const int N = Per_Page();
    // 100 lines and 10 empty ones: (110 + N - 1) / N pages whatever the line ends.
    for (const QString& End : {QStringLiteral("\n"), QStringLiteral("\r\n"), QStringLiteral("\r"),
                               QString(QChar::ParagraphSeparator)}) {
        SCOPED_TRACE(End.toStdString());
        ASSERT_TRUE(Print_Text(Numbered(100, End), Font));
        EXPECT_EQ(Pages(), (110 + N - 1) / N);
    }
    // Two line ends in a row are an empty line: a page of them and a line
    // make two pages.
    ASSERT_TRUE(Print_Text(QString(N, QLatin1Char('\n')) + QStringLiteral("x"), Font));
    EXPECT_EQ(Pages(), 2);
    // Empty lines at the end print nothing.
    ASSERT_TRUE(Print_Text(QStringLiteral("x") + QString(3 * N, QLatin1Char('\n')), Font));
    EXPECT_EQ(Pages(), 1);
}

TEST_F(TextPrinter, CopiesOfAPdfFileAreWrittenOut)
{
    const int N = Per_Page();
    const QString Text = Numbered(N, QStringLiteral("\n"));  // N + N/10 lines: two pages
    ZoPrinter::Printer().setCopyCount(3);
    for (const bool Collate : {true, false}) {
        ZoPrinter::Printer().setCollateCopies(Collate);
        ASSERT_TRUE(Print_Text(Text, Font));
        EXPECT_EQ(Pages(), 6);
    }
}

TEST_F(TextPrinter, CancelAbortsTheDocumentAndKeepsTheOldFile)
{
    {
        QFile Old(Pdf);
        ASSERT_TRUE(Old.open(QIODevice::WriteOnly));
        Old.write("old");
    }
    int Jobs = 0;
    Cancel_Progress(&Jobs);
    EXPECT_FALSE(Print_Text(Numbered(300, QStringLiteral("\r\n")), Font));
    EXPECT_EQ(Jobs, 1);  // printing counted as a job
    EXPECT_EQ(Pdf_Bytes(), QByteArray("old"));
    EXPECT_TRUE(ZoDialog::Take_Answered().isEmpty());  // no failure message
    // Nothing else left in the folder.
    EXPECT_EQ(QDir(Folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("out.pdf")});

    Cancel_Progress();
    EXPECT_FALSE(Print_Lines({QStringLiteral("a"), QStringLiteral("b")}, Font));
    EXPECT_EQ(Pdf_Bytes(), QByteArray("old"));
}

TEST_F(TextPrinter, FailureShowsTheMessage)
{
    ZoPrinter::Printer().setOutputFileName(Folder.filePath(QStringLiteral("no/such/folder/x.pdf")));
    ZoDialog::Answer_Next(1);
    EXPECT_FALSE(Print_Text(QStringLiteral("abc"), Font));
    EXPECT_EQ(ZoDialog::Take_Answered(),
              QStringList{QStringLiteral("Ошибка вызова менеджера печати!")});
}

TEST_F(TextPrinter, ProgressCaptionNamesTheRange)
{
    struct TCase {
        int Range, From, To;
        QString Caption;
    };
    const std::vector<TCase> Cases = {
        {ZoPrinter::Range_All, 1, 1, QStringLiteral("Вывод на принтер (текст полностью)")},
        {ZoPrinter::Range_Selection, 1, 1, QStringLiteral("Вывод на принтер (только выделенное)")},
        {ZoPrinter::Range_Pages, 2, 5, QStringLiteral("Вывод на принтер (страницы с 2 по 5)")},
    };
    for (const TCase& C : Cases) {
        ZoPrinter::Settings().Range = C.Range;
        ZoPrinter::Settings().From_Page = C.From;
        ZoPrinter::Settings().To_Page = C.To;
        QString Seen;
        auto* Poll = new QTimer(qApp);
        QObject::connect(Poll, &QTimer::timeout, Poll, [&Seen, Poll] {
            if (TForm_Percent* W = Percent_Last()) {
                Seen = W->windowTitle();
                Poll->stop();
                Poll->deleteLater();
            }
        });
        Poll->start(0);
        // The page numbers do not limit what is printed.
        ASSERT_TRUE(Print_Text(QStringLiteral("a\nb"), Font));
        EXPECT_EQ(Seen, C.Caption);
        EXPECT_EQ(Pages(), 1);
    }
}

TEST_F(TextPrinter, LanguageTable)
{
    using ZoPrinter::Text;
    ZoPrinter::Set_Language(2);
    EXPECT_EQ(ZoPrinter::Get_Text(Text::Print_Failed), QStringLiteral("Print manager call error"));
    EXPECT_EQ(ZoPrinter::Get_Text(Text::Caption_Pages_To), QStringLiteral(" to "));
    ZoPrinter::Set_Language(1);
    EXPECT_EQ(ZoPrinter::Get_Text(Text::Dialog_Failed),
              QStringLiteral("Ошибка создания окна выбора параметров печати"));
    EXPECT_EQ(ZoPrinter::Get_Text(Text::Caption_Pages_From),
              QStringLiteral("Вывод на принтер (страницы с "));
}

TEST_F(TextPrinter, DialogOffersTheSelectionAndRemembersTheChoice)
{
    struct TSeen {
        bool Selection_Offered = false, Pages_Offered = false, To_File = false;
        QPrinter::PrintRange Range = QPrinter::AllPages;
        int Copies = 0;
        bool Collate = false;
    };
    // Looks at the dialog, then sets Range, Copies and Collate and confirms.
    auto Answer = [](TSeen* Seen, QPrinter::PrintRange Range, int Copies, bool Collate,
                     bool Accept = true) {
        When_Modal([=](QWidget* W) {
            auto* D = qobject_cast<QPrintDialog*>(W);
            ASSERT_NE(D, nullptr);
            QPrinter* P = D->printer();
            *Seen = {D->testOption(QAbstractPrintDialog::PrintSelection),
                     D->testOption(QAbstractPrintDialog::PrintPageRange),
                     D->testOption(QAbstractPrintDialog::PrintToFile),
                     P->printRange(),
                     P->copyCount(),
                     P->collateCopies()};
            if (!Accept) {
                D->reject();
                return;
            }
            // What the dialog's own controls would set on confirming.
            D->accept();
            P->setPrintRange(Range);
            P->setCopyCount(Copies);
            P->setCollateCopies(Collate);
        });
    };
    TSeen Seen;
    Answer(&Seen, QPrinter::Selection, 2, false);
    ASSERT_TRUE(Print_Dialog(true, false));
    EXPECT_TRUE(Seen.Selection_Offered);
    EXPECT_FALSE(Seen.Pages_Offered);
    EXPECT_TRUE(Seen.To_File);
    EXPECT_EQ(Seen.Range, QPrinter::AllPages);
    EXPECT_EQ(Seen.Copies, 1);
    EXPECT_TRUE(Seen.Collate);
    EXPECT_EQ(ZoPrinter::Settings().Range, ZoPrinter::Range_Selection);
    EXPECT_EQ(ZoPrinter::Settings().Copies, 2);
    EXPECT_FALSE(ZoPrinter::Settings().Collate);

    // The next dialog starts from the choice; cancelled, it changes nothing.
    Answer(&Seen, QPrinter::AllPages, 5, true, false);
    EXPECT_FALSE(Print_Dialog(true, false));
    EXPECT_EQ(Seen.Range, QPrinter::Selection);
    EXPECT_EQ(Seen.Copies, 2);
    EXPECT_FALSE(Seen.Collate);
    EXPECT_EQ(ZoPrinter::Settings().Range, ZoPrinter::Range_Selection);
    EXPECT_EQ(ZoPrinter::Settings().Copies, 2);

    // Without a selection the dialog neither offers nor starts on it.
    Answer(&Seen, QPrinter::AllPages, 1, true);
    EXPECT_TRUE(Print_Dialog(false, false));
    EXPECT_FALSE(Seen.Selection_Offered);
    EXPECT_EQ(Seen.Range, QPrinter::AllPages);
    EXPECT_EQ(ZoPrinter::Settings().Range, ZoPrinter::Range_All);
}

TEST_F(TextPrinter, AnswersForTheDialogFromTests)
{
    ZoPrinter::Answer_Next(true, ZoPrinter::Range_Selection);
    EXPECT_TRUE(Print_Dialog(true, false));
    EXPECT_EQ(ZoPrinter::Settings().Range, ZoPrinter::Range_Selection);
    // A range the dialog did not offer counts as all.
    ZoPrinter::Answer_Next(true, ZoPrinter::Range_Selection);
    EXPECT_TRUE(Print_Dialog(false, false));
    EXPECT_EQ(ZoPrinter::Settings().Range, ZoPrinter::Range_All);
    ZoPrinter::Answer_Next(false, ZoPrinter::Range_Selection);
    EXPECT_FALSE(Print_Dialog(true, false));
    EXPECT_EQ(ZoPrinter::Settings().Range, ZoPrinter::Range_All);
}

TEST_F(TextPrinter, RefusedWithABeepWhileAnotherJobRuns)
{
    int Beeps = 0;
    const auto Old = Set_Beep_Hook([&] { ++Beeps; });
    {
        TJobGuard Job;
        ZoPrinter::Answer_Next(true);
        EXPECT_FALSE(Print_Dialog(false, false));
        EXPECT_FALSE(Print_Text(QStringLiteral("abc"), Font));
        EXPECT_FALSE(Print_Lines({QStringLiteral("abc")}, Font));
    }
    Set_Beep_Hook(Old);
    EXPECT_EQ(Beeps, 3);
    EXPECT_EQ(ZoPrinter::Pending_Answers(), 1);  // the dialog never came
    EXPECT_TRUE(Print_Dialog(false, false));
    EXPECT_FALSE(QFile::exists(Pdf));
}
