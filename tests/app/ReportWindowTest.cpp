// The report command of the main window: a new editor window for every
// report with exactly the report's text, the commands disabled and the status
// text while it works, Cancel while a long report goes into the window, the
// editor settings through the settings file, and the exit with an editor
// whose text the user changed. Also the picture of a report window.

#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTextBlock>

#include "../FakeLink.h"
#include "../QtHelpers.h"
#include "../TestFiles.h"
#include "app/InputPanel.h"
#include "app/MainWindow.h"
#include "app/StatusLine.h"
#include "case/RunSetup.h"
#include "case/Workplace.h"
#include "controls/ColorButton.h"
#include "controls/NumberEdit.h"
#include "controls/ScalableEdit.h"
#include "dialogs/FileChoice.h"
#include "dialogs/MessageDialog.h"
#include "dialogs/ProgressWindow.h"
#include "dialogs/QtUserLink.h"
#include "dialogs/TextEditor.h"
#include "dialogs/WindowPlace.h"
#include "engine/Calc.h"
#include "engine/RunGlobals.h"
#include "text/Profile.h"

namespace {

const std::string Examples = HYD_EXAMPLES_DIR;

class ReportWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setApplicationName(QStringLiteral("Hyd"));
        IniFileName = Dir.File("Hyd.ini");
        DataFileName = Dir.File("Data.Hyd");
        PercentLeft = PercentTop = NotSet;
        Gravity = 9.81;
        Editor_Settings() = {};
        ZoDialog::Take_Answered();
    }
    void TearDown() override
    {
        EXPECT_EQ(ZoDialog::Pending_Answers(), 0) << "a message expected by the test never came";
        while (ZoDialog::Pending_Answers() > 0)
            Dialog_Error(QStringLiteral("unused answer"));
        ZoDialog::Take_Answered();
        while (FileChoice::Pending_Answers() > 0)
            (void)Choose_Open_File(nullptr, {}, {}, {});
    }

    std::unique_ptr<TForm_Main> Start(const std::string& Example = "constant-pressure")
    {
        DataFileName = Dir.File(Example + ".Hyd");
        WriteText(DataFileName, ReadText(Examples + "/" + Example + ".Hyd"));
        auto Form = std::make_unique<TForm_Main>();
        Form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        return Form;
    }

    static QList<TForm_Editor*> Editors(TForm_Main& Form)
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return Form.findChildren<TForm_Editor*>();
    }

    // The report of the window's last run, made as the command makes it.
    static std::string Report_Of(TForm_Main& Form)
    {
        TFakeLink Link;
        TRunSetup Setup(Form.Current_Case(), Form.Blow(), Gravity, Link);
        std::string Text;
        Form.Calc().MakeReport(Text);
        return Text;
    }

    static void Close(TForm_Main& Form)
    {
        ZoDialog::Answer_Next(6);
        Form.close();
        ZoDialog::Take_Answered();
    }

    TTempDir Dir;
};

}  // namespace

TEST_F(ReportWindowTest, EveryReportOpensANewWindowWithExactlyTheReportsText)
{
    for (const char* Example : {"constant-pressure", "repeated-hammer"}) {
        SCOPED_TRACE(Example);
        auto Form = Start(Example);
        Form->BitBtn_CalcClick();
        ZoDialog::Take_Answered();
        const std::string Expected = Report_Of(*Form);
        ASSERT_FALSE(Expected.empty());

        // While it works the six commands are off and the status line says so.
        bool Seen = false;
        const auto Check = [&] {
            if (Seen || Job_Running() == 0)
                return;
            Seen = true;
            EXPECT_FALSE(Form->Panel->BitBtn_Report->isEnabled());
            EXPECT_FALSE(Form->Panel->BitBtn_Calc->isEnabled());
            EXPECT_FALSE(Form->Panel->BitBtn_Cancel->isEnabled());
            EXPECT_FALSE(Form->Menu_File_Close->isEnabled());
            EXPECT_EQ(Form->StatusBar->text(), "Формирование отчёта по результатам расчёта...");
        };
        auto Watch = QObject::connect(&TJob_State::Instance(), &TJob_State::Running_Changed,
                                      Form.get(), [&](bool Running) {
                                          if (Running)
                                              QTimer::singleShot(0, Form.get(), Check);
                                      });
        Form->BitBtn_ReportClick();
        QObject::disconnect(Watch);
        EXPECT_TRUE(Seen);
        EXPECT_EQ(ZoDialog::Take_Answered(), QStringList());
        auto Windows = Editors(*Form);
        ASSERT_EQ(Windows.size(), 1);
        TForm_Editor* Editor = Windows[0];
        EXPECT_TRUE(Editor->isVisible());
        EXPECT_EQ(Editor->parent(), Form.get());
        EXPECT_EQ(Editor->Editor_Text(), Expected);
        EXPECT_EQ(Editor->Line_End(), TLineEnd::CrLf);
        EXPECT_TRUE(Editor->StatusBar_Size->text().startsWith("* Размер: "));
        EXPECT_TRUE(Form->Panel->BitBtn_Report->isEnabled());
        EXPECT_TRUE(Form->Panel->BitBtn_Cancel->isEnabled());
        EXPECT_TRUE(Form->Menu_File_Close->isEnabled());

        // A second report, a second window; the first stays.
        Form->BitBtn_ReportClick();
        Windows = Editors(*Form);
        ASSERT_EQ(Windows.size(), 2);
        EXPECT_TRUE(Windows[0]->isVisible() && Windows[1]->isVisible());
        EXPECT_EQ(Windows[1]->Editor_Text(), Expected);

        // A report not touched closes without a question and is freed.
        Windows[0]->close();
        EXPECT_EQ(Editors(*Form).size(), 1);
        EXPECT_EQ(ZoDialog::Take_Answered(), QStringList());
        Close(*Form);
    }
}

TEST_F(ReportWindowTest, ALongReportGoesInAsItIsMadeAndCancelShowsThePartMade)
{
    auto Form = Start();
    Form->Panel->Edit_Num_Steps->Set_Value(100000);
    Form->Panel->Edit_Scalable_Time->Set_Value(1e-5);
    Form->UpdateState();
    Form->BitBtn_CalcClick();
    ZoDialog::Take_Answered();
    ASSERT_EQ(Form->Calc().Count, 100000);
    const std::string Whole = Report_Of(*Form);

    // Cancel once a tenth of the rows are in the window.
    int Blocks_At_Cancel = 0;
    auto* Poll = new QTimer(Form.get());
    QObject::connect(Poll, &QTimer::timeout, Poll, [&] {
        TForm_Percent* W = Percent_Last();
        if (!W || W->windowTitle() != "Генерация отчёта..." || W->Shown_Permyriad() < 1000)
            return;
        for (TForm_Editor* E : Form->findChildren<TForm_Editor*>())
            Blocks_At_Cancel = E->Memo->document()->blockCount();
        W->BitBtn_Cancel->click();
        Poll->stop();
    });
    Poll->start(0);
    Form->BitBtn_ReportClick();
    delete Poll;
    EXPECT_GT(Blocks_At_Cancel, 5000) << "the rows go into the window while they are made";
    const auto Windows = Editors(*Form);
    ASSERT_EQ(Windows.size(), 1);
    const std::string Text = Windows[0]->Editor_Text();
    const std::size_t Cut = Text.find("ГЕНЕРАЦИЯ ОТЧЁТА БЫЛА ПРЕРВАНА ПОЛЬЗОВАТЕЛЕМ (");
    ASSERT_NE(Cut, std::string::npos);
    EXPECT_LT(Text.size(), Whole.size() / 2);
    EXPECT_EQ(Text.substr(0, Cut), Whole.substr(0, Cut)) << "the beginning of the whole report";
    EXPECT_EQ(ZoDialog::Take_Answered(), QStringList());
    EXPECT_TRUE(Form->Panel->BitBtn_Report->isEnabled());
    EXPECT_EQ(Job_Running(), 0);
    Close(*Form);
}

TEST_F(ReportWindowTest, EditorPlaceAndFontComeFromTheSettingsFileAndGoBackIntoIt)
{
    WriteText(IniFileName,
              "[ZoEditor]\nWindowLeft=50\nWindowTop=60\nWindowWidth=700\n"
              "WindowHeight=400\nFontName=DejaVu Serif\nFontSize=13\nFontCharset=204\n");
    auto Form = Start();
    Form->BitBtn_CalcClick();
    Form->BitBtn_ReportClick();
    auto Windows = Editors(*Form);
    ASSERT_EQ(Windows.size(), 1);
    TForm_Editor* Editor = Windows[0];
    EXPECT_EQ(Editor->pos(), QPoint(50, 60));
    EXPECT_EQ(Editor->size(), QSize(700, 400));
    EXPECT_EQ(Editor->Memo->font().family(), "DejaVu Serif");
    EXPECT_EQ(Editor->Memo->font().pointSize(), 13);

    Editor->move(80, 90);
    Editor->resize(720, 410);
    QtHelpers::Wait(10);
    Close(*Form);  // closes the editor window, which leaves its place
    TProfile Ini(IniFileName);
    EXPECT_EQ(Ini.ReadInteger("ZoEditor", "WindowLeft", 0), 80);
    EXPECT_EQ(Ini.ReadInteger("ZoEditor", "WindowTop", 0), 90);
    EXPECT_EQ(Ini.ReadInteger("ZoEditor", "WindowWidth", 0), 720);
    EXPECT_EQ(Ini.ReadInteger("ZoEditor", "WindowHeight", 0), 410);
    EXPECT_EQ(Ini.ReadString("ZoEditor", "FontName", ""), "DejaVu Serif");
    EXPECT_EQ(Ini.ReadInteger("ZoEditor", "FontSize", 0), 13);
    EXPECT_EQ(Ini.ReadInteger("ZoEditor", "FontCharset", 0), 204);
    EXPECT_NE(Ini.ReadString("Window", "Width", ""), "") << "the main window's keys as before";

    // The next run opens its editor windows there.
    Editor_Settings() = {};
    auto Next = Start();
    Next->BitBtn_CalcClick();
    Next->BitBtn_ReportClick();
    Windows = Editors(*Next);
    ASSERT_EQ(Windows.size(), 1);
    EXPECT_EQ(Windows[0]->pos(), QPoint(80, 90));
    EXPECT_EQ(Windows[0]->size(), QSize(720, 410));
    Close(*Next);
}

TEST_F(ReportWindowTest, ExitAsksAboutAReportTheUserChanged)
{
    auto Form = Start();
    Form->BitBtn_CalcClick();
    Form->BitBtn_ReportClick();
    auto Windows = Editors(*Form);
    ASSERT_EQ(Windows.size(), 1);
    QPointer<TForm_Editor> Editor = Windows[0];
    Editor->Memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(Editor->Memo, "note");

    ZoDialog::Answer_Next(6);  // end the program: yes
    ZoDialog::Answer_Next(7);  // throw the changed text away: no
    Form->close();
    EXPECT_EQ(ZoDialog::Take_Answered(),
              (QStringList{"Окончить работу с программой?",
                           "Текст изменён и не сохранён. Закрыть окно без сохранения?"}));
    EXPECT_TRUE(Form->isVisible());
    EXPECT_TRUE(Editor && Editor->isVisible());
    EXPECT_FALSE(fs::exists(IniFileName)) << "nothing written while the program goes on";

    ZoDialog::Answer_Next(6);
    ZoDialog::Answer_Next(6);
    Form->close();
    ZoDialog::Take_Answered();
    EXPECT_FALSE(Form->isVisible());
    EXPECT_TRUE(fs::exists(IniFileName));
}

TEST_F(ReportWindowTest, PictureOfAReportWindow)
{
    auto Form = Start("single-hammer");
    Form->BitBtn_CalcClick();
    ZoDialog::Take_Answered();
    Form->BitBtn_ReportClick();
    auto Windows = Editors(*Form);
    ASSERT_EQ(Windows.size(), 1);
    TForm_Editor* Editor = Windows[0];
    const QString Folder = QtHelpers::Screenshot_Folder();
    // As it opens, and larger, at the first rows of the step table.
    QtHelpers::Wait(30);
    EXPECT_TRUE(QtHelpers::Grab(Editor).save(Folder + QStringLiteral("/editor-report.png")));
    Editor->resize(1000, 520);
    // The edit area scrolls by lines: the step table's heading at the top.
    const QTextBlock Heading = Editor->Memo->document()->find(QStringLiteral("ПОДРОБНЫЕ")).block();
    ASSERT_TRUE(Heading.isValid());
    Editor->Memo->verticalScrollBar()->setValue(Heading.blockNumber());
    QtHelpers::Wait(30);
    EXPECT_TRUE(QtHelpers::Grab(Editor).save(Folder + QStringLiteral("/editor-report-large.png")));
    // The table's columns line up: each character of a row is as wide as a digit.
    const QTextDocument* Doc = Editor->Memo->document();
    const QFontMetrics M(Editor->Memo->font());
    int Rows = 0;
    for (QTextBlock B = Doc->begin(); B.isValid() && Rows < 60; B = B.next()) {
        const QString Line = B.text();
        if (Line.size() < 20 || !Line.trimmed().front().isDigit())
            continue;
        EXPECT_EQ(M.horizontalAdvance(Line),
                  M.horizontalAdvance(QString(Line.size(), QLatin1Char('0'))))
            << Line.toStdString();
        ++Rows;
    }
    EXPECT_GT(Rows, 10);
    Close(*Form);
}
