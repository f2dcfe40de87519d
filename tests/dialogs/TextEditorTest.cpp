// The text editor window as a user meets it: its captions, keys, hints and
// tool bar, the status bar, files in UTF-8 and Windows-1251 with the size
// limit, saving with the text's line ends, the place and font carried from
// one window to the next, the fixed-pitch fallback, word wrap, closing, long
// texts with a progress window, the refusal while a job runs, and find,
// replace and print run from its menu.

#include <QAction>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

#include "controls/ColorButton.h"
#include "dialogs/FileChoice.h"
#include "dialogs/MessageDialog.h"
#include "dialogs/ProgressWindow.h"
#include "dialogs/QtUserLink.h"
#include "dialogs/TextEditor.h"
#include "dialogs/TextInput.h"
#include "dialogs/TextPrinter.h"
#include "dialogs/WindowPlace.h"
#include "tests/QtHelpers.h"
#include "tests/TestFiles.h"
#include "text/Cp1251.h"
#include "text/Profile.h"
#include "text/TextSearch.h"

using namespace QtHelpers;

namespace {

QString Q(const std::string& S)
{
    return QString::fromStdString(S);
}

// Fresh editor settings, search memory and dialog answers for each test;
// every editor window a test opens is gone at its end.
class TextEditor : public testing::Test {
protected:
    void SetUp() override
    {
        Editor_Settings() = {};
        Search_Memory() = {};
        ZoEditor::Set_Language(1);
        ZoDialog::Take_Answered();
    }
    void TearDown() override
    {
        EXPECT_EQ(ZoDialog::Pending_Answers(), 0) << "a message expected by the test never came";
        EXPECT_EQ(FileChoice::Pending_Answers(), 0);
        while (ZoDialog::Pending_Answers() > 0)
            Dialog_Error(QStringLiteral("unused answer"));
        ZoDialog::Take_Answered();
        while (FileChoice::Pending_Answers() > 0)
            (void)Choose_Open_File(nullptr, {}, {}, {});
        for (const QPointer<TForm_Editor>& W : Windows)
            delete W.data();
    }

    // A shown editor window.
    TForm_Editor* Open()
    {
        auto* W = new TForm_Editor();
        Windows.append(W);
        W->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(W));
        return W;
    }

    // Closes W, answering a question with Answer when one is expected;
    // true when W was freed.
    static bool Close(QPointer<TForm_Editor> W)
    {
        W->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return W.isNull();
    }

    static void Select(TForm_Editor* W, int Start, int Length)
    {
        QTextCursor C(W->Memo->document());
        C.setPosition(Start);
        C.setPosition(Start + Length, QTextCursor::KeepAnchor);
        W->Memo->setTextCursor(C);
    }

    static QString Text_Of(TForm_Editor* W) { return W->Memo->document()->toRawText(); }

    TTempDir Dir;
    QList<QPointer<TForm_Editor>> Windows;
};

// Answers the next text input window with Text (and Second in a replace
// window's second box), or with Esc.
void Answer_Input(const QString& Text, const QString& Second = {}, bool Cancel = false)
{
    When_Modal([=](QWidget* W) {
        auto* F = qobject_cast<TForm_ZoText*>(W);
        ASSERT_NE(F, nullptr);
        if (Cancel) {
            Press_Key(F, Qt::Key_Escape);
            return;
        }
        F->Set_Text(Text);
        if (F->ComboBox_2)
            F->ComboBox_2->setEditText(Second);
        QTest::mouseClick(F->BitBtn_OK, Qt::LeftButton);
    });
}

// Runs Action once, as soon as a job starts (inside its progress loop).
QMetaObject::Connection When_Job_Runs(std::function<void()> Action)
{
    auto Done = std::make_shared<bool>(false);
    return QObject::connect(&TJob_State::Instance(), &TJob_State::Running_Changed, qApp,
                            [=](bool Running) {
                                if (!Running || *Done)
                                    return;
                                *Done = true;
                                QTimer::singleShot(0, qApp, Action);
                            });
}

// Presses Cancel in the progress window as soon as one is open.
void Cancel_Progress()
{
    auto* Poll = new QTimer(qApp);
    QObject::connect(Poll, &QTimer::timeout, Poll, [=] {
        if (TForm_Percent* W = Percent_Last()) {
            W->BitBtn_Cancel->click();
            Poll->stop();
            Poll->deleteLater();
        }
    });
    Poll->start(0);
}

std::string Repeat(const std::string& S, int N)
{
    std::string R;
    R.reserve(S.size() * N);
    for (int I = 0; I < N; ++I)
        R += S;
    return R;
}

}  // namespace

// -- The window ------------------------------------------------------------------

TEST_F(TextEditor, OpensCentredTwiceTheDesignedSizeWithItsCaptionsKeysAndHints)
{
    TForm_Editor* W = Open();
    EXPECT_EQ(W->windowTitle(), "Редактор текста");
    EXPECT_EQ(W->Client_Size(), QSize(792, 220));
    const QRect Screen = Screen_Area_Of(W);
    EXPECT_NEAR(W->frameGeometry().center().x(), Screen.center().x(), 2);
    EXPECT_NEAR(W->frameGeometry().center().y(), Screen.center().y(), 2);

    const struct {
        QAction* Item;
        const char* Caption;
        const char* Key;
    } Items[] = {
        {W->Menu_File_New, "&Новый текст", "Ctrl+N"},
        {W->Menu_File_Open, "&Открыть...", "Ctrl+O"},
        {W->Menu_File_Save, "&Сохранить", "Ctrl+S"},
        {W->Menu_File_SaveAs, "Сохранить &как...", ""},
        {W->Menu_File_Print, "&Печать", "Ctrl+P"},
        {W->Menu_File_Close, "&Закрыть", "Alt+F4"},
        {W->Menu_Edit_Cut, "В&ырезать", "Ctrl+X"},
        {W->Menu_Edit_Copy, "&Копировать", "Ctrl+C"},
        {W->Menu_Edit_Paste, "В&ставить", "Ctrl+V"},
        {W->Menu_Edit_Del, "О&чистить", "Ctrl+D"},
        {W->Menu_Edit_All, "&Выделить все", "Ctrl+A"},
        {W->Menu_Edit_Find, "По&иск", "Ctrl+F"},
        {W->Menu_Edit_Repeat, "Повторный поиск", "F3"},
        {W->Menu_Edit_Replace, "&Замена", "Ctrl+H"},
        {W->Menu_Setup_Wrap, "&Перенос концов строк", "Ctrl+W"},
        {W->Menu_Setup_Font, "&Шрифт", ""},  // Ctrl+F belongs to Find
    };
    for (const auto& I : Items) {
        EXPECT_EQ(I.Item->text(), QString::fromUtf8(I.Caption));
        EXPECT_EQ(I.Item->shortcut().toString(QKeySequence::PortableText), I.Key) << I.Caption;
        EXPECT_TRUE(I.Item->isVisible()) << I.Caption;
    }
    EXPECT_EQ(W->Menu_File->title(), "&Файл");
    EXPECT_EQ(W->Menu_Edit->title(), "&Правка");
    EXPECT_EQ(W->Menu_Setup->title(), "&Вид");
    EXPECT_FALSE(W->Menu_File_OK->isVisible());
    EXPECT_FALSE(W->Menu_File_Cancel->isVisible());

    // One row of flat 25-pixel buttons in groups that start 35 pixels after
    // the button before.
    const struct {
        QToolButton* Button;
        int Left;
        const char* Hint;
    } Buttons[] = {
        {W->SpeedButton_OK, 0, "Закрыть окно"},
        {W->SpeedButton_New, 35, "Новый текст (удалить все)"},
        {W->SpeedButton_Open, 60, "Загрузить текст из файла"},
        {W->SpeedButton_SaveAs, 85, "Сохранить текст в файле"},
        {W->SpeedButton_Print, 110, "Распечатка текста"},
        {W->SpeedButton_Cut, 145, "Вырезать выделенное (в clipboard)"},
        {W->SpeedButton_Copy, 170, "Копировать выделенное (в clipboard)"},
        {W->SpeedButton_Paste, 195, "Вставить (из clipboard)"},
        {W->SpeedButton_Del, 220, "Очистить выделенное"},
        {W->SpeedButton_All, 245, "Выделить все"},
        {W->SpeedButton_Find, 270, "Поиск"},
        {W->SpeedButton_Wrap, 305, "Автоматический перенос концов длинных строк"},
        {W->SpeedButton_Font, 330, "Выбор экранного шрифта"},
    };
    for (const auto& B : Buttons) {
        EXPECT_EQ(B.Button->geometry(), QRect(B.Left, 0, 25, 25)) << B.Hint;
        EXPECT_EQ(B.Button->toolTip(), QString::fromUtf8(B.Hint));
        EXPECT_TRUE(B.Button->autoRaise());
        EXPECT_TRUE(B.Button->isVisible());
        EXPECT_FALSE(B.Button->icon().isNull());
    }
    EXPECT_FALSE(W->SpeedButton_Cancel->isVisible());
    EXPECT_EQ(W->Panel_Tools->height(), 25);
    EXPECT_EQ(W->Memo->lineWrapMode(), QPlainTextEdit::NoWrap);

    // The English table, for a program that asks for it.
    ZoEditor::Set_Language(2);
    TForm_Editor* E = Open();
    ZoEditor::Set_Language(1);
    EXPECT_EQ(E->windowTitle(), "Text editor");
    EXPECT_EQ(E->Menu_File->title(), "&File");
    EXPECT_EQ(E->Menu_Setup_Wrap->text(), "&Break long lines");
    EXPECT_EQ(E->SpeedButton_Cancel->toolTip(), "Cancel (close witjout fixing)");
    EXPECT_EQ(E->StatusBar_Lines->text(), "Rows: 0");
    // A second window while the first is open stands in the same place.
    EXPECT_EQ(E->pos(), W->pos());
}

TEST_F(TextEditor, CannotBeMadeSmallerThanTheDesignedClientArea)
{
    TForm_Editor* W = Open();
    W->resize(100, 40);
    Wait(10);
    EXPECT_EQ(W->Client_Size(), TForm_Editor::Design_Client);
    W->resize(500, 300);
    Wait(10);
    EXPECT_EQ(W->size(), QSize(500, 300));
    // The edit area keeps its place between the tool bar and the status bar.
    EXPECT_EQ(W->Memo->geometry().top(), W->Panel_Tools->geometry().bottom() + 1);
    EXPECT_GT(W->Memo->width(), 490);
}

TEST_F(TextEditor, StatusCountsLinesAndSizeAndMarksChanges)
{
    TForm_Editor* W = Open();
    EXPECT_EQ(W->StatusBar_Lines->text(), "Строк: 0");
    EXPECT_EQ(W->StatusBar_Size->text(), "Размер: 0");
    // Nothing to save or print in an empty text.
    for (QAction* A : {W->Menu_File_Save, W->Menu_File_SaveAs, W->Menu_File_Print})
        EXPECT_FALSE(A->isEnabled()) << A->text().toStdString();
    EXPECT_FALSE(W->SpeedButton_SaveAs->isEnabled());
    EXPECT_FALSE(W->SpeedButton_Print->isEnabled());

    // A set text counts as modified, CR LF line ends two characters each.
    W->Editor_Set_Text(std::string_view("Строка 1\r\nСтрока 2\r\n"));
    EXPECT_EQ(W->StatusBar_Lines->text(), "Строк: 2");
    EXPECT_EQ(W->StatusBar_Size->text(), "* Размер: 20");
    EXPECT_TRUE(W->Menu_File_Save->isEnabled());
    EXPECT_TRUE(W->SpeedButton_Print->isEnabled());
    EXPECT_FALSE(W->Changed_By_User());

    // Cut, copy and delete only with a selection; paste always.
    const struct {
        int Length;
        bool Enabled;
    } Selections[] = {{0, false}, {3, true}};
    for (const auto& S : Selections) {
        Select(W, 2, S.Length);
        for (QAction* A : {W->Menu_Edit_Cut, W->Menu_Edit_Copy, W->Menu_Edit_Del})
            EXPECT_EQ(A->isEnabled(), S.Enabled) << A->text().toStdString();
        for (QToolButton* B : {W->SpeedButton_Cut, W->SpeedButton_Copy, W->SpeedButton_Del})
            EXPECT_EQ(B->isEnabled(), S.Enabled);
        EXPECT_TRUE(W->Menu_Edit_Paste->isEnabled());
    }

    const std::string Name = Dir.File("a.txt");
    ASSERT_TRUE(W->Save_File(Q(Name)));
    EXPECT_EQ(W->StatusBar_Size->text(), "Размер: 20");
    // Typing one character marks the text again.
    W->Memo->moveCursor(QTextCursor::End);
    W->Memo->setFocus();
    QTest::keyClicks(W->Memo, "x");
    EXPECT_EQ(W->StatusBar_Lines->text(), "Строк: 3");
    EXPECT_EQ(W->StatusBar_Size->text(), "* Размер: 21");
    EXPECT_TRUE(W->Changed_By_User());
    W->Menu_File_SaveClick();  // into the same file, without a dialog
    EXPECT_EQ(W->StatusBar_Size->text(), "Размер: 21");
    EXPECT_EQ(ReadText(Name), "Строка 1\r\nСтрока 2\r\nx");

    // Digit groups.
    W->Editor_Set_Text(QString::fromStdString(Repeat("строка\n", 1234)));
    EXPECT_EQ(W->StatusBar_Lines->text(), "Строк: 1 234");
    EXPECT_EQ(W->StatusBar_Size->text(), "* Размер: 8 638");

    // New asks before it clears; no keeps the text, and both clear the mark.
    ZoDialog::Answer_Next(7);
    W->Menu_File_NewClick();
    EXPECT_EQ(ZoDialog::Take_Answered(), QStringList{"Удалить весь текст?"});
    EXPECT_EQ(W->StatusBar_Size->text(), "Размер: 8 638");
    ZoDialog::Answer_Next(6);
    W->Menu_File_NewClick();
    ZoDialog::Take_Answered();
    EXPECT_EQ(W->StatusBar_Lines->text(), "Строк: 0");
    EXPECT_EQ(W->StatusBar_Size->text(), "Размер: 0");
    EXPECT_FALSE(W->Menu_File_Save->isEnabled());
    W->Menu_File_NewClick();  // an empty text: no question
}

// -- Files -------------------------------------------------------------------------

TEST_F(TextEditor, LoadsUtf8AndWindows1251FilesReadably)
{
    const std::string Readable = "Скорость 20 м/с — «режим» №1\r\nВторая строка\r\n";
    const struct {
        const char* Name;
        std::string Bytes;
    } Files[] = {
        {"utf8.txt", Readable},
        {"cp1251.txt",
         "\xD1\xEA\xEE\xF0\xEE\xF1\xF2\xFC 20 \xEC/\xF1 \x97 \xAB\xF0\xE5\xE6\xE8\xEC\xBB"
         " \xB9"
         "1\r\n\xC2\xF2\xEE\xF0\xE0\xFF \xF1\xF2\xF0\xEE\xEA\xE0\r\n"},
    };
    TForm_Editor* W = Open();
    for (const auto& F : Files) {
        SCOPED_TRACE(F.Name);
        const std::string Name = Dir.File(F.Name);
        WriteText(Name, F.Bytes);
        FileChoice::Answer_Next(Q(Name));
        W->Menu_File_OpenClick();
        EXPECT_EQ(ZoDialog::Take_Answered(), QStringList());
        EXPECT_EQ(W->Editor_Text(), Readable);
        EXPECT_EQ(W->File_Name(), Q(Name));
        EXPECT_EQ(W->Line_End(), TLineEnd::CrLf);
        EXPECT_FALSE(W->Modified());
        EXPECT_EQ(W->Memo->document()->firstBlock().text(),
                  QStringLiteral("Скорость 20 м/с — «режим» №1"));
    }
}

TEST_F(TextEditor, AFileAboveTheLimitLoadsInPartOnlyAfterYes)
{
    // 45 000 bytes of Windows-1251 text: "Отчёт 123" and CR LF, 11 bytes a line.
    const std::string Line = "\xCE\xF2\xF7\xB8\xF2 123\r\n";
    const std::string Bytes = Repeat(Line, 45000 / 11) + std::string(45000 % 11, 'z');
    ASSERT_EQ(Bytes.size(), 45000u);
    const std::string Name = Dir.File("big.txt");
    WriteText(Name, Bytes);

    TForm_Editor* W = Open();
    W->Editor_Set_Text(std::string_view("старый текст"));
    const QString Question = "Размер файла «" + Q(Name) +
                             "» превышает максимальный объем редактируемого текста (30 000 байт)! "
                             "Загрузить только начало файла?";
    ZoDialog::Answer_Next(7);
    EXPECT_FALSE(W->Load_File(Q(Name)));
    EXPECT_EQ(ZoDialog::Take_Answered(), QStringList{Question});
    EXPECT_EQ(W->Editor_Text(), "старый текст");
    EXPECT_EQ(W->File_Name(), QString());

    ZoDialog::Answer_Next(6);
    EXPECT_TRUE(W->Load_File(Q(Name)));
    EXPECT_EQ(ZoDialog::Take_Answered(), QStringList{Question});
    EXPECT_EQ(W->Editor_Text(), Cp1251ToUtf8(std::string_view(Bytes).substr(0, 30000)));
    EXPECT_EQ(W->Memo->document()->characterCount() - 1 + W->Memo->document()->blockCount() - 1,
              30000)
        << "one character a byte";

    // The part is never saved over the whole file without a new choice.
    FileChoice::Answer_Next(QString());  // the save dialog, cancelled
    W->Menu_File_SaveClick();
    EXPECT_EQ(ReadText(Name), Bytes);

    // UTF-8 cut in the middle of a letter stays UTF-8.
    const std::string Utf8 = "a" + Repeat("Ж", 22500);
    WriteText(Name, Utf8);
    ZoDialog::Answer_Next(6);
    EXPECT_TRUE(W->Load_File(Q(Name)));
    ZoDialog::Take_Answered();
    EXPECT_EQ(W->Editor_Text(), "a" + Repeat("Ж", 14999));

    // Exactly the limit asks nothing.
    WriteText(Name, std::string(30000, 'q'));
    EXPECT_TRUE(W->Load_File(Q(Name)));
    EXPECT_EQ(W->Editor_Text().size(), 30000u);
    EXPECT_EQ(W->File_Name(), Q(Name));
}

TEST_F(TextEditor, SavesUtf8WithTheLineEndsOfTheText)
{
    TForm_Editor* W = Open();
    const struct {
        const char* Name;
        std::string Bytes;  // loaded
        std::string Saved;  // after "!" is typed at the end
    } Cases[] = {
        {"CR LF", "один\r\nдва\r\n", "один\r\nдва\r\n!"},
        {"LF", "один\nдва", "один\nдва!"},
        {"CR", "один\rдва\r", "один\rдва\r!"},
        {"Windows-1251", "\xEE\xE4\xE8\xED\r\n", "один\r\n!"},
        {"no-break space kept",
         "a\xC2\xA0"
         "b\n",
         "a\xC2\xA0"
         "b\n!"},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        const std::string Name = Dir.File("t.txt");
        WriteText(Name, C.Bytes);
        ASSERT_TRUE(W->Load_File(Q(Name)));
        W->Memo->moveCursor(QTextCursor::End);
        QTest::keyClicks(W->Memo, "!");
        W->Menu_File_SaveClick();
        EXPECT_EQ(ReadText(Name), C.Saved);
        EXPECT_FALSE(W->Modified());
    }

    // Without a name Save asks for one; the report keeps its CR LF.
    TForm_Editor* R = Open();
    R->Editor_Set_Text(std::string_view("Отчёт\r\n  1  2\r\n"));
    const std::string Report = Dir.File("report.txt");
    FileChoice::Answer_Next(Q(Report));
    R->Menu_File_SaveClick();
    EXPECT_EQ(ReadText(Report), "Отчёт\r\n  1  2\r\n");
    EXPECT_EQ(R->File_Name(), Q(Report));

    // A failed save says so and keeps the mark.
    WriteText(Dir.File("plain"), "x");
    const QString Bad = Q(Dir.File("plain") + "/report.txt");
    QTest::keyClicks(R->Memo, "z");
    FileChoice::Answer_Next(Bad);
    ZoDialog::Answer_Next(1);
    R->Menu_File_SaveAsClick();
    EXPECT_EQ(ZoDialog::Take_Answered(), QStringList{"Ошибка записи текста в файл «" + Bad + "»!"});
    EXPECT_TRUE(R->Modified());
    EXPECT_EQ(ReadText(Report), "Отчёт\r\n  1  2\r\n");
}

TEST_F(TextEditor, ALoadErrorSaysSoAndKeepsTheTextAndTheName)
{
    TForm_Editor* W = Open();
    const std::string Good = Dir.File("good.txt");
    WriteText(Good, "хорошо\n");
    ASSERT_TRUE(W->Load_File(Q(Good)));
    const std::string Pipe = Dir.File("pipe");
    ASSERT_EQ(mkfifo(Pipe.c_str(), 0600), 0);
    // A missing file, a folder, a pipe (which would wait for a writer), a device.
    for (const std::string& Bad :
         {Dir.File("missing.txt"), Dir.Path.string(), Pipe, std::string("/dev/zero")}) {
        FileChoice::Answer_Next(Q(Bad));
        ZoDialog::Answer_Next(1);
        W->Menu_File_OpenClick();
        EXPECT_EQ(ZoDialog::Take_Answered(),
                  QStringList{"Ошибка загрузки текста из файла «" + Q(Bad) + "»!"});
        EXPECT_EQ(W->Editor_Text(), "хорошо\n");
        EXPECT_EQ(W->File_Name(), Q(Good));
    }
    FileChoice::Answer_Next(QString());  // cancelled: nothing happens
    W->Menu_File_OpenClick();
    EXPECT_EQ(W->File_Name(), Q(Good));
}

// -- Place and font -------------------------------------------------------------------

TEST_F(TextEditor, PlaceAndFontCarryOverToTheNextWindowAndTheSettingsFile)
{
    TForm_Editor* A = Open();
    Set_Window_Bounds(A, 40, 30, 640, 300);
    Wait(10);
    When_Modal([](QWidget* D) {
        auto* F = qobject_cast<QFontDialog*>(D);
        ASSERT_NE(F, nullptr);
        QFont Chosen(QStringLiteral("DejaVu Serif"));
        Chosen.setPointSize(14);
        F->setCurrentFont(Chosen);
        F->accept();
    });
    A->Menu_Setup_FontClick();
    EXPECT_EQ(A->Memo->font().family(), "DejaVu Serif");
    EXPECT_EQ(A->Font_Name(), "DejaVu Serif");
    const QPoint Place = A->pos();
    const QSize Size = A->size();
    ASSERT_TRUE(Close(A));

    TForm_Editor* B = Open();
    EXPECT_EQ(B->pos(), Place);
    EXPECT_EQ(B->size(), Size);
    EXPECT_EQ(B->Memo->font().family(), "DejaVu Serif");
    EXPECT_EQ(B->Memo->font().pointSize(), 14);

    // A maximised window leaves the stored place as it was.
    B->showMaximized();
    Wait(20);
    ASSERT_TRUE(Close(B));
    EXPECT_EQ(Editor_Settings().WindowLeft, Place.x());
    EXPECT_EQ(Editor_Settings().WindowWidth, Size.width());

    // Through the settings file and back.
    const std::string Ini = Dir.File("Hyd.ini");
    {
        TProfile Profile(Ini);
        Editor_Settings_Save(Profile);
        Profile.Commit();
    }
    const TEditorSettings Saved = Editor_Settings();
    Editor_Settings() = {};
    TProfile Profile(Ini);
    Editor_Settings_Load(Profile);
    EXPECT_EQ(Editor_Settings(), Saved);
    EXPECT_EQ(Profile.ReadString("ZoEditor", "FontName", ""), "DejaVu Serif");
    EXPECT_EQ(Profile.ReadInteger("ZoEditor", "FontSize", 0), 14);
    EXPECT_EQ(Profile.ReadInteger("ZoEditor", "FontCharset", 0), 204);
}

TEST_F(TextEditor, AFamilyTheSystemLacksFallsBackToAFixedPitchFace)
{
    ASSERT_FALSE(QFontDatabase::hasFamily(QStringLiteral("Courier New Cyr")));
    Editor_Settings().FontSize = 12;
    TForm_Editor* W = Open();
    const QFontInfo Shown(W->Memo->font());
    EXPECT_TRUE(Shown.fixedPitch()) << Shown.family().toStdString();
    EXPECT_EQ(Shown.pointSize(), 12);
    const QFontMetrics M(W->Memo->font());
    EXPECT_EQ(M.horizontalAdvance(QStringLiteral("WWWW")),
              M.horizontalAdvance(QStringLiteral("iiii")));
    EXPECT_EQ(M.horizontalAdvance(QStringLiteral("Ж")), M.horizontalAdvance(QStringLiteral("1")));
    // The name stays as stored.
    EXPECT_EQ(W->Font_Name(), "Courier New Cyr");
    ASSERT_TRUE(Close(W));
    EXPECT_EQ(Editor_Settings().FontName, "Courier New Cyr");
    EXPECT_EQ(Editor_Settings().FontSize, 12);

    // A family that exists is taken as it is; a size below 1 gives 10.
    EXPECT_EQ(Editor_Font(QStringLiteral("DejaVu Serif"), 11).family(), "DejaVu Serif");
    const QFont Blank = Editor_Font(QString(), 0);
    EXPECT_TRUE(QFontInfo(Blank).fixedPitch());
    EXPECT_EQ(Blank.pointSize(), 10);
}

// -- Word wrap ------------------------------------------------------------------------

TEST_F(TextEditor, WordWrapKeepsTheCaretAndHidesTheHorizontalScrollBar)
{
    TForm_Editor* W = Open();
    W->Editor_Set_Text(QString::fromStdString(Repeat(Repeat("длинная строка ", 40) + "\n", 200)));
    QTextCursor C = W->Memo->textCursor();
    C.setPosition(150 * 601 + 300);
    W->Memo->setTextCursor(C);
    for (const bool Wrap : {true, false}) {
        W->Menu_Setup_WrapClick();
        EXPECT_EQ(W->Memo->lineWrapMode() != QPlainTextEdit::NoWrap, Wrap);
        EXPECT_EQ(W->Menu_Setup_Wrap->isChecked(), Wrap);
        EXPECT_EQ(W->SpeedButton_Wrap->isChecked(), Wrap);
        EXPECT_EQ(W->Memo->horizontalScrollBarPolicy(),
                  Wrap ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
        EXPECT_EQ(W->Memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        EXPECT_EQ(W->Memo->textCursor().position(), 150 * 601 + 300);
        Wait(10);
        EXPECT_TRUE(W->Memo->viewport()->rect().contains(W->Memo->cursorRect()));
    }
    // The button runs the same command.
    QTest::mouseClick(W->SpeedButton_Wrap, Qt::LeftButton);
    EXPECT_NE(W->Memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_TRUE(W->SpeedButton_Wrap->isChecked());
}

// -- Closing ------------------------------------------------------------------------------

TEST_F(TextEditor, AClosedWindowIsFreedAndAsksOnlyAboutChangesOfTheUser)
{
    // A report just set closes without a question.
    TForm_Editor* Report = Open();
    Report->Editor_Set_Text(std::string_view("Отчёт\r\n"));
    EXPECT_TRUE(Close(Report));
    EXPECT_EQ(ZoDialog::Take_Answered(), QStringList());

    // Typed text is not thrown away without asking.
    TForm_Editor* W = Open();
    W->Editor_Set_Text(std::string_view("Отчёт\r\n"));
    QTest::keyClicks(W->Memo, "edit");
    ZoDialog::Answer_Next(7);
    QTest::mouseClick(W->SpeedButton_OK, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(ZoDialog::Take_Answered(),
              QStringList{"Текст изменён и не сохранён. Закрыть окно без сохранения?"});
    ASSERT_TRUE(W->isVisible());
    ZoDialog::Answer_Next(6);
    EXPECT_TRUE(Close(W));
    ZoDialog::Take_Answered();

    // Saved changes close without a question, and so does an emptied text.
    TForm_Editor* S = Open();
    QTest::keyClicks(S->Memo, "abc");
    ASSERT_TRUE(S->Save_File(Q(Dir.File("s.txt"))));
    EXPECT_TRUE(Close(S));
    TForm_Editor* E = Open();
    QTest::keyClicks(E->Memo, "a");
    QTest::keyClick(E->Memo, Qt::Key_Backspace);
    EXPECT_TRUE(Close(E));
    EXPECT_EQ(ZoDialog::Take_Answered(), QStringList());
}

// -- Long texts and jobs --------------------------------------------------------------

TEST_F(TextEditor, ALongTextGoesInWithAProgressWindowWhoseCancelEmptiesTheEditArea)
{
    const std::string Text = Repeat("    12  0.012 с   3.5 м/с   Re 123456\r\n", 60000);
    ASSERT_GT(Text.size(), ZoEditor::Progress_Threshold);
    TForm_Editor* W = Open();
    int Jobs = 0;
    auto Seen = When_Job_Runs([&] { Jobs = Job_Running(); });
    EXPECT_TRUE(W->Editor_Set_Text(std::string_view(Text)));
    QObject::disconnect(Seen);
    EXPECT_GT(Jobs, 0) << "no progress window";
    EXPECT_EQ(W->Memo->document()->blockCount(), 60001);
    EXPECT_EQ(W->Editor_Text(), Text);
    EXPECT_EQ(W->Memo->textCursor().position(), 0);
    EXPECT_FALSE(W->Memo->document()->isUndoAvailable()) << "setting a text is no edit";

    Cancel_Progress();
    EXPECT_FALSE(W->Editor_Set_Text(QString::fromStdString(Text)));
    EXPECT_EQ(W->Memo->document()->characterCount(), 1);
    EXPECT_EQ(W->StatusBar_Size->text(), "Размер: 0");
    EXPECT_EQ(Percent_Last(), nullptr);
    EXPECT_FALSE(W->Memo->isReadOnly());
}

TEST_F(TextEditor, ATextMadeWhileItGoesInMayComeInPiecesCutAnywhere)
{
    const std::string Text = "Отчёт\r\n  №  Время\r\n" + Repeat("  12  0.5 с\r\n", 1000) + "конец";
    TForm_Editor* W = Open();
    // Every cut: inside a two-byte letter, between CR and LF, pieces without
    // a line end.
    for (const std::size_t Step : {std::size_t(1), std::size_t(3), std::size_t(7), Text.size()}) {
        SCOPED_TRACE(Step);
        W->Editor_Set_Text_From([&](const TForm_Editor::TText_Sink& Sink) {
            for (std::size_t From = 0; From < Text.size(); From += Step)
                Sink(std::string_view(Text).substr(From, Step));
        });
        EXPECT_EQ(W->Editor_Text(), Text);
        EXPECT_EQ(W->Memo->document()->blockCount(), 1003);
        EXPECT_EQ(W->Line_End(), TLineEnd::CrLf);
        EXPECT_TRUE(W->Modified());
        EXPECT_FALSE(W->Changed_By_User());
    }
    // A failure while the text is made leaves nothing and goes on to the caller.
    EXPECT_THROW(W->Editor_Set_Text_From([&](const TForm_Editor::TText_Sink& Sink) {
        Sink("первая строка\n");
        throw std::runtime_error("report failed");
    }),
                 std::runtime_error);
    EXPECT_EQ(W->Memo->document()->characterCount(), 1);
    EXPECT_EQ(W->StatusBar_Lines->text(), "Строк: 0");
}

TEST_F(TextEditor, WhileAJobRunsTheTextIsReadOnlyAndCommandsRefuse)
{
    TForm_Editor* W = Open();
    W->Editor_Set_Text(std::string_view("текст\n"));
    const std::string Other = Dir.File("other.txt");
    WriteText(Other, "другой\n");
    {
        TJobGuard Job;
        EXPECT_TRUE(W->Memo->isReadOnly());
        for (QAction* A :
             {W->Menu_File_New, W->Menu_File_Open, W->Menu_File_Save, W->Menu_File_Print,
              W->Menu_Edit_Paste, W->Menu_Edit_Find, W->Menu_Edit_Replace, W->Menu_Setup_Font})
            EXPECT_FALSE(A->isEnabled()) << A->text().toStdString();
        EXPECT_FALSE(W->SpeedButton_Open->isEnabled());
        EXPECT_TRUE(W->Menu_Edit_Copy->isEnabled() || !W->Memo->textCursor().hasSelection());
        EXPECT_TRUE(W->Menu_Edit_All->isEnabled());
        FileChoice::Answer_Next(Q(Other));
        W->Menu_File_OpenClick();
        EXPECT_EQ(FileChoice::Pending_Answers(), 1) << "no dialog while a job runs";
        (void)Choose_Open_File(nullptr, {}, {}, {});
        W->Menu_Edit_RepeatClick();
        W->Menu_File_NewClick();
        QTest::keyClicks(W->Memo, "x");
        EXPECT_EQ(W->Editor_Text(), "текст\n");
    }
    EXPECT_FALSE(W->Memo->isReadOnly());
    EXPECT_TRUE(W->Menu_File_Open->isEnabled());

    // A window cannot close under its own find.
    W->Editor_Set_Text(QString::fromStdString(Repeat("abcdefgh\n", 400000)));
    Search_Memory().Remember_Search(u"нет такого");
    bool Tried = false;
    QPointer<TForm_Editor> Guard(W);
    auto Try = When_Job_Runs([&] {
        Tried = true;
        W->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(Guard.isNull());
        EXPECT_TRUE(W->isVisible());
        if (TForm_Percent* P = Percent_Last())
            P->BitBtn_Cancel->click();
    });
    W->Menu_Edit_RepeatClick();
    QObject::disconnect(Try);
    EXPECT_TRUE(Tried);
    ASSERT_FALSE(Guard.isNull());
    EXPECT_FALSE(W->Busy());
    EXPECT_EQ(ZoDialog::Take_Answered(), QStringList()) << "cancelled: nothing said";
}

// -- Find, replace and print from the menu --------------------------------------------------

TEST_F(TextEditor, FindGoesOnAfterAHitStaysInASelectionAndNeverWrapsAround)
{
    TForm_Editor* W = Open();
    W->Editor_Set_Text(QStringLiteral("Ёж abc Ёж abc Ёж abc"));

    ZoDialog::Answer_Next(1);
    W->Menu_Edit_RepeatClick();  // nothing searched yet
    EXPECT_EQ(ZoDialog::Take_Answered(), QStringList{"Поиск невозможен — неизвестно, что искать!"});

    Answer_Input(QStringLiteral("Ёж"));
    W->Menu_Edit_FindClick();
    // Positions count letters: "Ёж" is two.
    EXPECT_EQ(W->Memo->textCursor().selectionStart(), 0);
    EXPECT_EQ(W->Memo->textCursor().selectedText(), "Ёж");
    const int Hits[] = {7, 14};
    for (int Hit : Hits) {
        W->Menu_Edit_RepeatClick();
        EXPECT_EQ(W->Memo->textCursor().selectionStart(), Hit);
    }
    ZoDialog::Answer_Next(1);
    W->Menu_Edit_RepeatClick();  // after the last: no wrap-around
    EXPECT_EQ(ZoDialog::Take_Answered(), QStringList{"Текст «Ёж» не найден!"});
    EXPECT_EQ(W->Memo->textCursor().selectionStart(), 14);

    // Within another selection only.
    Select(W, 4, 8);  // "bc Ёж ab"
    Answer_Input(QStringLiteral("abc"));
    ZoDialog::Answer_Next(1);
    W->Menu_Edit_FindClick();
    EXPECT_EQ(ZoDialog::Take_Answered(), QStringList{"В выделенном блоке текст «abc» не найден!"});
    Select(W, 2, 9);  // " abc Ёж a"
    W->Menu_Edit_RepeatClick();
    EXPECT_EQ(W->Memo->textCursor().selectionStart(), 3);
    EXPECT_EQ(W->Memo->textCursor().selectedText(), "abc");
}

TEST_F(TextEditor, ReplaceCountsInTheStatusBarAndKeepsToTheSelection)
{
    TForm_Editor* W = Open();
    W->Editor_Set_Text(QStringLiteral("aaa"));
    Answer_Input(QStringLiteral("a"), QStringLiteral("aa"));
    W->Menu_Edit_ReplaceClick();
    EXPECT_EQ(Text_Of(W), "aaaaaa");
    EXPECT_EQ(W->StatusBar_Lines->text(), "Выполнено замен: 3. Строк: 1");
    EXPECT_TRUE(W->Changed_By_User());
    // One undo step puts it back.
    W->Memo->undo();
    EXPECT_EQ(Text_Of(W), "aaa");

    W->Editor_Set_Text(QStringLiteral("ab ab ab"));
    Select(W, 2, 3);
    Answer_Input(QStringLiteral("ab"), QStringLiteral("ЖЖЖ"));
    W->Menu_Edit_ReplaceClick();
    EXPECT_EQ(Text_Of(W), "ab ЖЖЖ ab");

    Answer_Input(QStringLiteral("нет"), QStringLiteral("да"));
    W->Menu_Edit_ReplaceClick();
    EXPECT_EQ(W->StatusBar_Lines->text(), "Замены не найдены. Строк: 1");
    EXPECT_EQ(Text_Of(W), "ab ЖЖЖ ab");

    // Cancel during a long scan leaves the text as it was.
    const QString Long = QString::fromStdString(Repeat("a b c d\n", 300000));
    W->Editor_Set_Text(Long);
    Answer_Input(QStringLiteral("b"), QStringLiteral("bb"));
    Cancel_Progress();
    W->Menu_Edit_ReplaceClick();
    EXPECT_EQ(W->Editor_Text(), Long.toStdString());
    EXPECT_FALSE(W->Changed_By_User());
}

TEST_F(TextEditor, PrintHoldsItsButtonDownAndWritesTheDocument)
{
    TForm_Editor* W = Open();
    W->Editor_Set_Text(QString::fromStdString(Repeat("строка отчёта\r\n", 3000)));
    const std::string Pdf = Dir.File("print.pdf");
    QPrinter& Printer = ZoPrinter::Printer();
    Printer.setOutputFormat(QPrinter::PdfFormat);
    Printer.setOutputFileName(Q(Pdf));
    bool Down = false;
    auto Watch = QObject::connect(&TJob_State::Instance(), &TJob_State::Running_Changed, W,
                                  [&](bool Running) {
                                      if (Running)
                                          Down = W->SpeedButton_Print->isDown();
                                  });
    ZoPrinter::Answer_Next(true, ZoPrinter::Range_All);
    W->Menu_File_PrintClick();
    QObject::disconnect(Watch);
    EXPECT_TRUE(Down);
    EXPECT_FALSE(W->SpeedButton_Print->isDown());
    EXPECT_EQ(ZoDialog::Take_Answered(), QStringList());
    EXPECT_EQ(ReadText(Pdf).substr(0, 5), "%PDF-");

    // Cancelled in the dialog: nothing printed.
    std::filesystem::remove(Pdf);
    ZoPrinter::Answer_Next(false);
    W->Menu_File_PrintClick();
    EXPECT_FALSE(std::filesystem::exists(Pdf));
}
