#include "dialogs/TextFind.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <climits>

#include "controls/Beep.h"
#include "dialogs/MessageDialog.h"
#include "dialogs/ProgressWindow.h"
#include "dialogs/QtUserLink.h"
#include "dialogs/TextInput.h"
#include "text/TextSearch.h"

namespace {

QString Q(const std::u16string& S)
{
    return QString::fromStdU16String(S);
}

std::u16string U(const QString& S)
{
    return S.toStdU16String();
}

QStringList List(const std::vector<std::u16string>& History)
{
    QStringList L;
    L.reserve(static_cast<qsizetype>(History.size()));
    for (const std::u16string& S : History)
        L.append(Q(S));
    return L;
}

// Refuses (with a beep) while another job runs: its progress loop is still
// on the stack, and a second one inside it would outlive it.
bool Refused()
{
    if (Job_Running() <= 0)
        return false;
    Default_Beep();
    return true;
}

// The text of the edit area with one unit per cursor position (paragraph
// ends as U+2029, no-break spaces kept), as Find and Replace work on it.
std::u16string Text_Of(const QPlainTextEdit* Edit)
{
    return U(Edit->document()->toRawText());
}

// A scan of the edit area's text: counts as a job, shows a progress window
// with Caption, and keeps the edit area read-only so that nothing typed
// meanwhile is lost when the text is put back.
class TScan {
public:
    TScan(QPlainTextEdit* Edit, const QString& Caption)
        : FEdit(Edit), FRead_Only(Edit->isReadOnly()), FWindow(Percent_Open(Caption))
    {
        Edit->setReadOnly(true);
    }
    ~TScan()
    {
        Percent_Close(FWindow.data());
        if (FEdit)
            FEdit->setReadOnly(FRead_Only);
    }
    TScan(const TScan&) = delete;
    TScan& operator=(const TScan&) = delete;

    TSearch_Progress Progress()
    {
        return [this](std::size_t Position, std::size_t Total) {
            // Percent_Set counts in int.
            while (Total > static_cast<std::size_t>(INT_MAX)) {
                Position /= 2;
                Total /= 2;
            }
            Percent_Set(FWindow.data(), static_cast<int>(Position), static_cast<int>(Total));
            return !Percent_Cancelled(FWindow.data());
        };
    }

    // The edit area is still there.
    bool Alive() const { return !FEdit.isNull(); }

private:
    TJobGuard FJob;
    QPointer<QPlainTextEdit> FEdit;
    bool FRead_Only;
    QPointer<TForm_Percent> FWindow;
};

}  // namespace

bool Text_Find(QWidget* Owner, QPlainTextEdit* Edit)
{
    if (!Edit || Refused())
        return false;
    TSearch_Memory& M = Search_Memory();
    QPointer<TForm_ZoText> Form = new TForm_ZoText(Owner);
    Form->setWindowTitle(QStringLiteral("Найти"));
    Text_Set_History(Form, List(M.Search_History));
    Form->Set_Text(Q(M.Last_Search));
    const bool OK = Form->exec() == 1 && Form && !Form->Text().isEmpty();
    if (OK)
        M.Remember_Search(U(Form->Text()));
    delete Form;
    return OK && Text_Find_Next(Edit);
}

bool Text_Find_Next(QPlainTextEdit* Edit)
{
    if (!Edit || Refused())
        return false;
    const std::u16string What = Search_Memory().Last_Search;
    if (What.empty()) {
        Dialog_Warning(Q(Nothing_To_Find_Text()));
        return false;
    }
    QPointer<QPlainTextEdit> Guard(Edit);
    const QTextCursor Cursor = Edit->textCursor();
    const std::size_t Sel_Start = static_cast<std::size_t>(Cursor.selectionStart());
    const std::size_t Sel_Length = static_cast<std::size_t>(Cursor.selectionEnd()) - Sel_Start;
    TFind_Result R;
    {
        const std::u16string Text = Text_Of(Edit);
        TScan Scan(Edit, Q(Find_Caption(What)));
        R = Find_Next(Text, What, Sel_Start, Sel_Length, Scan.Progress());
    }
    if (!Guard || R.Status == TFind_Status::Cancelled)
        return false;
    if (R.Status != TFind_Status::Found) {
        Dialog_Warning(Q(Not_Found_Text(What, R.In_Selection)));
        return false;
    }
    QTextCursor Hit(Edit->document());
    Hit.setPosition(static_cast<int>(R.Position));
    Hit.setPosition(static_cast<int>(R.Position + What.size()), QTextCursor::KeepAnchor);
    Edit->setTextCursor(Hit);
    Edit->ensureCursorVisible();
    return true;
}

int Text_Replace(QWidget* Owner, QPlainTextEdit* Edit)
{
    if (!Edit || Refused())
        return -1;
    QPointer<QPlainTextEdit> Guard(Edit);
    TSearch_Memory& M = Search_Memory();
    QPointer<TForm_ZoText> Form = new TForm_ZoText(Owner);
    Form->setWindowTitle(QStringLiteral("Замена"));
    Text_Set_History(Form, List(M.Search_History));
    Form->Set_Text(Q(M.Last_Search));
    Form->Add_Second_Box(QStringLiteral("Искать"), QStringLiteral("Заменить"),
                         List(M.Replace_History), Q(M.Last_Replace));
    const bool OK = Form->exec() == 1 && Form && !Form->Text().isEmpty();
    const std::u16string What = OK ? U(Form->Text()) : std::u16string();
    const std::u16string With = OK ? U(Form->Second_Text()) : std::u16string();
    delete Form;
    if (!OK || !Guard)
        return -1;
    M.Remember_Replace(What, With);

    const QTextCursor Cursor = Edit->textCursor();
    const std::size_t Sel_Start = static_cast<std::size_t>(Cursor.selectionStart());
    const std::size_t Sel_Length = static_cast<std::size_t>(Cursor.selectionEnd()) - Sel_Start;
    TReplace_Result R;
    {
        const std::u16string Text = Text_Of(Edit);
        TScan Scan(Edit, Q(Replace_Caption(What, With)));
        R = Replace_All(Text, What, With, Sel_Start, Sel_Length, Scan.Progress());
    }
    if (!Guard || R.Cancelled)
        return -1;
    if (R.Changed()) {
        // Only the part that differs goes back, in one edit: one undo step.
        QTextCursor Change(Edit->document());
        Change.beginEditBlock();
        Change.setPosition(static_cast<int>(R.First));
        Change.setPosition(static_cast<int>(R.Old_End), QTextCursor::KeepAnchor);
        Change.insertText(Q(R.Text.substr(R.First, R.New_End - R.First)));
        Change.endEditBlock();
        QTextCursor Caret(Edit->document());
        Caret.setPosition(static_cast<int>(R.Caret));
        Edit->setTextCursor(Caret);
        Edit->ensureCursorVisible();
    }
    return static_cast<int>(std::min<std::size_t>(R.Count, INT_MAX));
}
