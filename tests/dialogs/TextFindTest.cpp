// Find, Find next and Replace on a real edit area: the input windows they
// ask with, the selection they leave, the warnings, the shared histories,
// Cancel in the progress window, one undo step, and the refusal while
// another job runs.

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextCursor>
#include <gtest/gtest.h>

#include "controls/Beep.h"
#include "controls/ColorButton.h"
#include "dialogs/MessageDialog.h"
#include "dialogs/ProgressWindow.h"
#include "dialogs/QtUserLink.h"
#include "dialogs/TextFind.h"
#include "dialogs/TextInput.h"
#include "tests/QtHelpers.h"
#include "text/TextSearch.h"

using namespace QtHelpers;

namespace {

// A fresh memory and an edit area for each test; leftover dialog answers are
// a test's fault.
class TextFind : public testing::Test {
protected:
    void SetUp() override
    {
        Search_Memory() = {};
        ZoDialog::Take_Answered();
    }
    void TearDown() override { EXPECT_EQ(ZoDialog::Pending_Answers(), 0); }

    void Set(const QString& Text, int Sel_Start = 0, int Sel_Length = 0)
    {
        Edit.setPlainText(Text);
        QTextCursor C(Edit.document());
        C.setPosition(Sel_Start);
        C.setPosition(Sel_Start + Sel_Length, QTextCursor::KeepAnchor);
        Edit.setTextCursor(C);
    }
    QString Selected() const { return Edit.textCursor().selectedText(); }
    int Sel_Start() const { return Edit.textCursor().selectionStart(); }

    QPlainTextEdit Edit;
};

// Answers the next text input window: first box Text, second box Second
// (when the window has one), then OK; or Esc when Cancel is set. What the
// window showed goes to Seen.
struct TSeen {
    QString Title, Text, Second_Text, Label_1, Label_2;
    QStringList Items, Second_Items;
};

QStringList Items_Of(QComboBox* Box)
{
    QStringList L;
    for (int I = 0; Box && I < Box->count(); ++I)
        L << Box->itemText(I);
    return L;
}

void Answer_Input(const QString& Text, const QString& Second = {}, TSeen* Seen = nullptr,
                  bool Cancel = false, std::function<void()> Before_OK = {})
{
    When_Modal([=](QWidget* W) {
        auto* F = qobject_cast<TForm_ZoText*>(W);
        ASSERT_NE(F, nullptr);
        if (Seen)
            *Seen = {F->windowTitle(),
                     F->Text(),
                     F->Second_Text(),
                     F->Label_1 ? F->Label_1->text() : QString(),
                     F->Label_2 ? F->Label_2->text() : QString(),
                     Items_Of(F->ComboBox),
                     Items_Of(F->ComboBox_2)};
        if (Cancel) {
            Press_Key(F, Qt::Key_Escape);
            return;
        }
        F->Set_Text(Text);
        if (F->ComboBox_2)
            F->ComboBox_2->setEditText(Second);
        if (Before_OK)
            Before_OK();
        QTest::mouseClick(F->BitBtn_OK, Qt::LeftButton);
    });
}

// Presses Cancel in the progress window as soon as one opens (at its first
// event processing); Job_Running() at that moment goes to Jobs.
void Cancel_Progress(int* Jobs = nullptr)
{
    auto* Poll = new QTimer(qApp);
    QObject::connect(Poll, &QTimer::timeout, Poll, [=] {
        if (TForm_Percent* W = Percent_Last()) {
            if (Jobs)
                *Jobs = Job_Running();
            W->BitBtn_Cancel->click();
            Poll->deleteLater();
            Poll->stop();
        }
    });
    Poll->start(0);
}

}  // namespace

TEST_F(TextFind, FindAsksWithTheHistoryAndSelectsTheHit)
{
    Set(QStringLiteral("Привет, мир; мир"));
    TSeen Seen;
    Answer_Input(QStringLiteral("мир"), {}, &Seen);
    EXPECT_TRUE(Text_Find(nullptr, &Edit));
    EXPECT_EQ(Seen.Title, QStringLiteral("Найти"));
    EXPECT_EQ(Seen.Text, QString());
    EXPECT_EQ(Sel_Start(), 8);  // a Cyrillic letter is one position
    EXPECT_EQ(Selected(), QStringLiteral("мир"));
    EXPECT_EQ(Search_Memory().Last_Search, u"мир");

    // The next Find offers the last text and the history, most recent first.
    Answer_Input(QStringLiteral("Привет"), {}, &Seen);
    Set(Edit.toPlainText());
    EXPECT_TRUE(Text_Find(nullptr, &Edit));
    EXPECT_EQ(Seen.Text, QStringLiteral("мир"));
    EXPECT_EQ(Seen.Items, QStringList{QStringLiteral("мир")});
    Answer_Input({}, {}, &Seen, true);
    EXPECT_FALSE(Text_Find(nullptr, &Edit));
    EXPECT_EQ(Seen.Items, (QStringList{QStringLiteral("Привет"), QStringLiteral("мир")}));
    EXPECT_EQ(Selected(), QStringLiteral("Привет"));  // cancelled: nothing changed
}

TEST_F(TextFind, EmptyTextSearchesNothing)
{
    Set(QStringLiteral("abc"));
    Answer_Input(QString());
    EXPECT_FALSE(Text_Find(nullptr, &Edit));
    EXPECT_TRUE(Search_Memory().Search_History.empty());
    EXPECT_TRUE(ZoDialog::Take_Answered().isEmpty());
}

TEST_F(TextFind, FindNextWalksOnWithoutWrapAroundAndWarns)
{
    struct TCase {
        const char* Name;
        QString Text;
        QString What;
        int Sel_Start, Sel_Length;
        int Hit;  // -1: not found
        QString Warning;
    };
    const QString T = QStringLiteral("abc xx abc");
    const std::vector<TCase> Cases = {
        {"nothing to search",
         T,
         {},
         0,
         0,
         -1,
         QStringLiteral("Поиск невозможен — неизвестно, что искать!")},
        {"from the caret", T, QStringLiteral("abc"), 1, 0, 7, {}},
        {"after the selected hit", T, QStringLiteral("abc"), 0, 3, 7, {}},
        {"no wrap-around", T, QStringLiteral("abc"), 7, 3, -1,
         QStringLiteral("Текст «abc» не найден!")},
        {"within the selection", T, QStringLiteral("abc"), 2, 6, -1,
         QStringLiteral("В выделенном блоке текст «abc» не найден!")},
        {"found in the selection", T, QStringLiteral("xx"), 2, 6, 4, {}},
        {"letter case counts", T, QStringLiteral("ABC"), 0, 0, -1,
         QStringLiteral("Текст «ABC» не найден!")},
        {"over a line end", QStringLiteral("ab\ncd\nab"), QStringLiteral("ab"), 1, 0, 6, {}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        Set(C.Text, C.Sel_Start, C.Sel_Length);
        Search_Memory().Last_Search = C.What.toStdU16String();
        if (!C.Warning.isEmpty())
            ZoDialog::Answer_Next(1);
        EXPECT_EQ(Text_Find_Next(&Edit), C.Hit >= 0);
        if (C.Hit >= 0) {
            EXPECT_EQ(Sel_Start(), C.Hit);
            EXPECT_EQ(Selected(), C.What);
        } else {
            EXPECT_EQ(Sel_Start(), C.Sel_Start);  // the selection stays
        }
        EXPECT_EQ(ZoDialog::Take_Answered(),
                  C.Warning.isEmpty() ? QStringList() : QStringList{C.Warning});
    }
}

TEST_F(TextFind, ReplaceInTheWholeTextAsksForBothAndCounts)
{
    Set(QStringLiteral("aaa"), 1);
    TSeen Seen;
    Answer_Input(QStringLiteral("a"), QStringLiteral("aa"), &Seen);
    EXPECT_EQ(Text_Replace(nullptr, &Edit), 3);
    EXPECT_EQ(Edit.toPlainText(), QStringLiteral("aaaaaa"));
    EXPECT_EQ(Seen.Title, QStringLiteral("Замена"));
    EXPECT_EQ(Seen.Label_1, QStringLiteral("Искать"));
    EXPECT_EQ(Seen.Label_2, QStringLiteral("Заменить"));
    // The caret stood after the first a: it moves along with the text.
    EXPECT_EQ(Sel_Start(), 2);
    EXPECT_FALSE(Edit.textCursor().hasSelection());

    // One undo step brings the old text back.
    Edit.undo();
    EXPECT_EQ(Edit.toPlainText(), QStringLiteral("aaa"));

    // Both strings are remembered and offered next time (the search history
    // is the one Find uses).
    Answer_Input(QStringLiteral("x"), QStringLiteral("y"), &Seen);
    EXPECT_EQ(Text_Replace(nullptr, &Edit), 0);
    EXPECT_EQ(Seen.Text, QStringLiteral("a"));
    EXPECT_EQ(Seen.Second_Text, QStringLiteral("aa"));
    EXPECT_EQ(Seen.Items, QStringList{QStringLiteral("a")});
    EXPECT_EQ(Seen.Second_Items, QStringList{QStringLiteral("aa")});
    EXPECT_EQ(Edit.toPlainText(), QStringLiteral("aaa"));
    EXPECT_EQ(Search_Memory().Search_History, (std::vector<std::u16string>{u"x", u"a"}));
    EXPECT_EQ(Search_Memory().Replace_History, (std::vector<std::u16string>{u"y", u"aa"}));
}

TEST_F(TextFind, ReplaceWithinASelectionOnly)
{
    // Across lines and in Cyrillic; outside the selection nothing changes.
    Set(QStringLiteral("мир\nмир мир\nмир"), 2, 10);
    Answer_Input(QStringLiteral("мир"), QStringLiteral("world"));
    EXPECT_EQ(Text_Replace(nullptr, &Edit), 2);
    EXPECT_EQ(Edit.toPlainText(), QStringLiteral("мир\nworld world\nмир"));
    EXPECT_EQ(Sel_Start(), 2);
    EXPECT_EQ(Edit.document()->blockCount(), 3);
}

TEST_F(TextFind, NotRunWhenTheWindowIsCancelledOrTheTextEmpty)
{
    Set(QStringLiteral("abc"));
    Answer_Input({}, {}, nullptr, true);
    EXPECT_EQ(Text_Replace(nullptr, &Edit), -1);
    Answer_Input(QString(), QStringLiteral("x"));
    EXPECT_EQ(Text_Replace(nullptr, &Edit), -1);
    EXPECT_EQ(Edit.toPlainText(), QStringLiteral("abc"));
    EXPECT_FALSE(Edit.document()->isUndoAvailable());
    EXPECT_TRUE(Search_Memory().Search_History.empty());
}

TEST_F(TextFind, CancelInTheProgressWindowLeavesTheTextAsItWas)
{
    const QString Text = QString(20000, QLatin1Char('a')) + QStringLiteral("b");
    Set(Text);
    int Jobs = 0;
    Answer_Input(QStringLiteral("a"), QStringLiteral("c"), nullptr, false,
                 [&] { Cancel_Progress(&Jobs); });
    EXPECT_EQ(Text_Replace(nullptr, &Edit), -1);
    EXPECT_EQ(Jobs, 1);  // the scan counted as a job
    EXPECT_EQ(Job_Running(), 0);
    EXPECT_EQ(Edit.toPlainText(), Text);
    EXPECT_FALSE(Edit.isReadOnly());  // given back as it was
    EXPECT_EQ(Percent_Last(), nullptr);

    // Find next says nothing and selects nothing.
    Search_Memory().Last_Search = u"b";
    Cancel_Progress();
    EXPECT_FALSE(Text_Find_Next(&Edit));
    EXPECT_FALSE(Edit.textCursor().hasSelection());
    EXPECT_TRUE(ZoDialog::Take_Answered().isEmpty());
    EXPECT_EQ(Percent_Last(), nullptr);
}

TEST_F(TextFind, ReadOnlyEditStaysReadOnlyAndTheScanKeepsTypingOut)
{
    Set(QString(10000, QLatin1Char('a')));
    Edit.setReadOnly(true);
    Search_Memory().Last_Search = u"b";
    bool Read_Only_During = false;
    auto* Poll = new QTimer(qApp);
    QObject::connect(Poll, &QTimer::timeout, Poll, [&, Poll] {
        if (Percent_Last()) {
            Read_Only_During = Edit.isReadOnly();
            Poll->deleteLater();
            Poll->stop();
        }
    });
    Poll->start(0);
    ZoDialog::Answer_Next(1);
    EXPECT_FALSE(Text_Find_Next(&Edit));
    EXPECT_TRUE(Read_Only_During);
    EXPECT_TRUE(Edit.isReadOnly());
    Edit.setReadOnly(false);
    ZoDialog::Take_Answered();
}

TEST_F(TextFind, RefusedWithABeepWhileAnotherJobRuns)
{
    Set(QStringLiteral("abc abc"));
    Search_Memory().Remember_Replace(u"abc", u"x");
    int Beeps = 0;
    const auto Old = Set_Beep_Hook([&] { ++Beeps; });
    {
        TJobGuard Job;
        // No input window, no warning, no change.
        EXPECT_FALSE(Text_Find(nullptr, &Edit));
        EXPECT_FALSE(Text_Find_Next(&Edit));
        EXPECT_EQ(Text_Replace(nullptr, &Edit), -1);
    }
    Set_Beep_Hook(Old);
    EXPECT_EQ(Beeps, 3);
    EXPECT_EQ(Edit.toPlainText(), QStringLiteral("abc abc"));
    EXPECT_FALSE(Edit.textCursor().hasSelection());
    EXPECT_TRUE(ZoDialog::Take_Answered().isEmpty());
}
