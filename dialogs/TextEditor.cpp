#include "dialogs/TextEditor.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QResizeEvent>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <memory>

#include "controls/Beep.h"
#include "controls/ReadOnlyFile.h"
#include "dialogs/EditorGlyphs.h"
#include "dialogs/FileChoice.h"
#include "dialogs/MessageDialog.h"
#include "dialogs/QtUserLink.h"
#include "dialogs/TextFind.h"
#include "dialogs/TextPrinter.h"
#include "dialogs/WindowPlace.h"
#include "text/AtomicWrite.h"
#include "text/Profile.h"
#include "text/TextSearch.h"

// -- Texts --------------------------------------------------------------------

namespace ZoEditor {
namespace {

using Table = std::array<QString, static_cast<int>(Text::Count_)>;

Table Make_Table(std::initializer_list<const char*> Texts)
{
    Table T;
    int I = 0;
    for (const char* S : Texts)
        T[I++] = QString::fromUtf8(S);
    return T;
}

const Table& Russian()
{
    static const Table T = Make_Table({
        "Редактор текста",
        "&Файл",
        "&Новый текст",
        "&Открыть...",
        "&Сохранить",
        "Сохранить &как...",
        "&Печать",
        "&Закрыть",
        "OK (&фиксация)",
        "&Отмена",
        "&Правка",
        "В&ырезать",
        "&Копировать",
        "В&ставить",
        "О&чистить",
        "&Выделить все",
        "По&иск",
        "Повторный поиск",
        "&Замена",
        "&Вид",
        "&Перенос концов строк",
        "&Шрифт",
        "Закрыть окно",
        "Закрыть окно и зафиксировать изменения",
        "Отмена (закрыть окно без фиксации изменений)",
        "Новый текст (удалить все)",
        "Загрузить текст из файла",
        "Сохранить текст в файле",
        "Распечатка текста",
        "Вырезать выделенное (в clipboard)",
        "Копировать выделенное (в clipboard)",
        "Вставить (из clipboard)",
        "Очистить выделенное",
        "Выделить все",
        "Поиск",
        "Автоматический перенос концов длинных строк",
        "Выбор экранного шрифта",
        "Строк: ",
        "Размер: ",
        "Ошибка записи текста в файл «",
        "Ошибка загрузки текста из файла «",
        "*.txt — текстовые файлы|*.txt|*.* — все файлы|*.*",
        "Удалить весь текст?",
        "Размер файла «",
        "» превышает максимальный объем редактируемого текста (",
        " байт)! Загрузить только начало файла?",
        "Вывод текста в окно редактора",
        "Текст изменён и не сохранён. Закрыть окно без сохранения?",
    });
    return T;
}

const Table& English()
{
    static const Table T = Make_Table({
        "Text editor",
        "&File",
        "&New text",
        "&Open...",
        "&Save",
        "Save &as...",
        "&Print",
        "&Close",
        "OK (&fix)",
        "&Cancel",
        "&Edit",
        "Cu&t",
        "&Copy",
        "&Paste",
        "&Delete",
        "&Select all",
        "&Find",
        "Find again",
        "&Replace",
        "&Settings",
        "&Break long lines",
        "&Font",
        "Close",
        "Close and fix changes",
        "Cancel (close witjout fixing)",
        "New text (all erase)",
        "Load text from file",
        "Save text as file",
        "Print current text",
        "Cut selected to clipboard",
        "Copy selected to clipboard",
        "Paste from clipboard",
        "Delete selected text",
        "Select whole text",
        "Find",
        "Automatic breaks very long lines",
        "Select font to screen & print",
        "Rows: ",
        "Size: ",
        "Text saving error to file «",
        "Text loading error from file «",
        "*.txt — text files|*.txt|*.* — all files|*.*",
        "Delete whole text?",
        "Size of file «",
        "» exceeds maximal size of editable text (",
        " bytes)! Load only the beginning of file?",
        "Putting the text into the editor",
        "The text was changed and not saved. Close the window without saving?",
    });
    return T;
}

const Table* Current = nullptr;

}  // namespace

void Set_Language(int Language)
{
    Current = Language == 1 ? &Russian() : &English();
}

const QString& Get_Text(Text Entry)
{
    if (!Current)
        Current = &Russian();
    return (*Current)[static_cast<int>(Entry)];
}

}  // namespace ZoEditor

using ZoEditor::Get_Text;
using TText = ZoEditor::Text;

// -- Settings and font ----------------------------------------------------------

TEditorSettings& Editor_Settings()
{
    static TEditorSettings Settings;
    return Settings;
}

void Editor_Settings_Load(TProfile& Ini)
{
    LoadEditorSettings(Ini, Editor_Settings());
}

void Editor_Settings_Save(TProfile& Ini)
{
    SaveEditorSettings(Ini, Editor_Settings());
}

QFont Editor_Font(const QString& Name, int Size)
{
    QFont Font(Name);
    if (Name.trimmed().isEmpty() || !QFontDatabase::hasFamily(Name)) {
        // Not on this system: a fixed-pitch face rather than whatever the
        // font matching would pick for a name it does not know.
        Font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        Font.setStyleHint(QFont::TypeWriter);
        Font.setFixedPitch(true);
    }
    Font.setPointSize(Size >= 1 ? std::min(Size, 400) : 10);
    return Font;
}

// -- The window -------------------------------------------------------------------

namespace {

// The caption of a menu item without its accelerator and dots, as a title.
QString Plain_Caption(QString Caption)
{
    Caption.remove(QLatin1Char('&'));
    if (Caption.endsWith(QStringLiteral("...")))
        Caption.chop(3);
    return Caption;
}

QString In_Guillemets(const QString& First, const QString& Name)
{
    return First + Name + QStringLiteral("»");
}

constexpr int Button_Size = 25;
constexpr int Group_Step = 35;

// Pieces of a long text: about this many bytes or characters, ended after a
// line feed so that a CR LF pair never falls apart.
constexpr std::size_t Piece_Size = 256 * 1024;

template <class TText_Of>
std::size_t Cut_After_Line_Feed(std::size_t From, std::size_t Total, const TText_Of& Char_At)
{
    std::size_t To = std::min(Total, From + Piece_Size);
    while (To < Total && Char_At(To - 1) != '\n')
        ++To;
    return To;
}

}  // namespace

TForm_Editor::TForm_Editor(QWidget* Owner) : QMainWindow(Owner)
{
    setObjectName(QStringLiteral("Form_Editor"));
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);

    auto* Client = new QWidget(this);
    Client->setObjectName(QStringLiteral("Client"));
    auto* Column = new QVBoxLayout(Client);
    Column->setContentsMargins(0, 0, 0, 0);
    Column->setSpacing(0);
    setCentralWidget(Client);

    createToolBar();
    Column->addWidget(Panel_Tools);

    Memo = new QPlainTextEdit(Client);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Both scroll bars always: the edit area keeps its width whatever the
    // text, and a new width would lay every line of a long text out anew.
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setMinimumSize(0, 0);
    Column->addWidget(Memo, 1);

    createMenus();
    createStatusBar();
    Apply_Language();

    const TEditorSettings& S = Editor_Settings();
    Set_Font(QString::fromStdString(S.FontName), S.FontSize);

    connect(Memo, &QPlainTextEdit::textChanged, this, [this] { MemoChange(); });
    connect(Memo, &QPlainTextEdit::selectionChanged, this, [this] { Update_Status(); });
    connect(Memo, &QPlainTextEdit::cursorPositionChanged, this, [this] { Update_Status(); });
    connect(&TJob_State::Instance(), &TJob_State::Running_Changed, this,
            [this](bool Running) { Job_State_Changed(Running); });

    // The client area twice the designed one, never below it.
    setMinimumSize(Design_Client.width(), Design_Client.height() + Menu_Height());
    resize(2 * Design_Client.width(), 2 * Design_Client.height() + Menu_Height());
    Set_Window_Bounds_Loose(this, S.WindowLeft, S.WindowTop, S.WindowWidth, S.WindowHeight);

    if (Job_Running() > 0)
        Job_State_Changed(true);
    Settle_Layout();
    Update_Status();
}

void TForm_Editor::Settle_Layout()
{
    // The edit area lays out every line anew when its width changes. A
    // hidden window gets its sizes only when it shows, which would lay out a
    // long text given to it meanwhile (a report) once more: the sizes are
    // settled now, while the edit area is empty.
    ensurePolished();
    if (QLayout* L = layout())
        L->activate();
    if (QLayout* L = centralWidget()->layout())
        L->activate();
    for (QWidget* W : {static_cast<QWidget*>(this), centralWidget(), static_cast<QWidget*>(Memo),
                       Memo->viewport()}) {
        if (W->testAttribute(Qt::WA_PendingResizeEvent)) {
            QResizeEvent Event(W->size(), QSize());
            QCoreApplication::sendEvent(W, &Event);
            W->setAttribute(Qt::WA_PendingResizeEvent, false);
        }
    }
}

TForm_Editor::~TForm_Editor() = default;

int TForm_Editor::Menu_Height() const
{
    return menuBar()->isNativeMenuBar() ? 0 : menuBar()->sizeHint().height();
}

QSize TForm_Editor::Client_Size() const
{
    return {width(), height() - Menu_Height()};
}

void TForm_Editor::createMenus()
{
    const auto Item = [this](QMenu* Menu, QAction*& Action, const char* Name,
                             const QKeySequence& Key, void (TForm_Editor::*Handler)()) {
        Action = Menu->addAction(QString());
        Action->setObjectName(QString::fromLatin1(Name));
        if (!Key.isEmpty())
            Action->setShortcut(Key);
        connect(Action, &QAction::triggered, this, [this, Handler] { (this->*Handler)(); });
    };
    Menu_File = menuBar()->addMenu(QString());
    Item(Menu_File, Menu_File_New, "Menu_File_New", QKeySequence(Qt::CTRL | Qt::Key_N),
         &TForm_Editor::Menu_File_NewClick);
    Item(Menu_File, Menu_File_Open, "Menu_File_Open", QKeySequence(Qt::CTRL | Qt::Key_O),
         &TForm_Editor::Menu_File_OpenClick);
    Item(Menu_File, Menu_File_Save, "Menu_File_Save", QKeySequence(Qt::CTRL | Qt::Key_S),
         &TForm_Editor::Menu_File_SaveClick);
    Item(Menu_File, Menu_File_SaveAs, "Menu_File_SaveAs", {}, &TForm_Editor::Menu_File_SaveAsClick);
    Menu_File->addSeparator();
    Item(Menu_File, Menu_File_Print, "Menu_File_Print", QKeySequence(Qt::CTRL | Qt::Key_P),
         &TForm_Editor::Menu_File_PrintClick);
    Menu_File->addSeparator();
    Item(Menu_File, Menu_File_Close, "Menu_File_Close", QKeySequence(Qt::ALT | Qt::Key_F4),
         &TForm_Editor::Menu_File_CloseClick);
    Item(Menu_File, Menu_File_OK, "Menu_File_OK", {}, &TForm_Editor::Menu_File_CloseClick);
    Item(Menu_File, Menu_File_Cancel, "Menu_File_Cancel", {}, &TForm_Editor::Menu_File_CloseClick);
    Menu_File_OK->setVisible(false);
    Menu_File_Cancel->setVisible(false);

    Menu_Edit = menuBar()->addMenu(QString());
    Item(Menu_Edit, Menu_Edit_Cut, "Menu_Edit_Cut", QKeySequence(Qt::CTRL | Qt::Key_X),
         &TForm_Editor::Menu_Edit_CutClick);
    Item(Menu_Edit, Menu_Edit_Copy, "Menu_Edit_Copy", QKeySequence(Qt::CTRL | Qt::Key_C),
         &TForm_Editor::Menu_Edit_CopyClick);
    Item(Menu_Edit, Menu_Edit_Paste, "Menu_Edit_Paste", QKeySequence(Qt::CTRL | Qt::Key_V),
         &TForm_Editor::Menu_Edit_PasteClick);
    Item(Menu_Edit, Menu_Edit_Del, "Menu_Edit_Del", QKeySequence(Qt::CTRL | Qt::Key_D),
         &TForm_Editor::Menu_Edit_DelClick);
    Item(Menu_Edit, Menu_Edit_All, "Menu_Edit_All", QKeySequence(Qt::CTRL | Qt::Key_A),
         &TForm_Editor::Menu_Edit_AllClick);
    Menu_Edit->addSeparator();
    Item(Menu_Edit, Menu_Edit_Find, "Menu_Edit_Find", QKeySequence(Qt::CTRL | Qt::Key_F),
         &TForm_Editor::Menu_Edit_FindClick);
    Item(Menu_Edit, Menu_Edit_Repeat, "Menu_Edit_Repeat", QKeySequence(Qt::Key_F3),
         &TForm_Editor::Menu_Edit_RepeatClick);
    Item(Menu_Edit, Menu_Edit_Replace, "Menu_Edit_Replace", QKeySequence(Qt::CTRL | Qt::Key_H),
         &TForm_Editor::Menu_Edit_ReplaceClick);

    Menu_Setup = menuBar()->addMenu(QString());
    Item(Menu_Setup, Menu_Setup_Wrap, "Menu_Setup_Wrap", QKeySequence(Qt::CTRL | Qt::Key_W),
         &TForm_Editor::Menu_Setup_WrapClick);
    Menu_Setup_Wrap->setCheckable(true);
    // Ctrl+F belongs to Find, which comes first.
    Item(Menu_Setup, Menu_Setup_Font, "Menu_Setup_Font", {}, &TForm_Editor::Menu_Setup_FontClick);

    const std::pair<QAction*, TEditor_Glyph> Pictures[] = {
        {Menu_File_New, TEditor_Glyph::New},    {Menu_File_Open, TEditor_Glyph::Open},
        {Menu_File_Save, TEditor_Glyph::Save},  {Menu_File_Print, TEditor_Glyph::Print},
        {Menu_File_Close, TEditor_Glyph::OK},   {Menu_Edit_Cut, TEditor_Glyph::Cut},
        {Menu_Edit_Copy, TEditor_Glyph::Copy},  {Menu_Edit_Paste, TEditor_Glyph::Paste},
        {Menu_Edit_Del, TEditor_Glyph::Delete}, {Menu_Edit_All, TEditor_Glyph::Select_All},
        {Menu_Edit_Find, TEditor_Glyph::Find},  {Menu_Setup_Font, TEditor_Glyph::Font},
    };
    for (const auto& [Action, Glyph] : Pictures)
        Action->setIcon(Editor_Glyph(Glyph));
}

void TForm_Editor::createToolBar()
{
    Panel_Tools = new QWidget(centralWidget());
    Panel_Tools->setObjectName(QStringLiteral("Panel_Tools"));
    Panel_Tools->setFixedHeight(Button_Size);
    Panel_Tools->setMinimumWidth(0);
    const auto Button = [this](QToolButton*& B, const char* Name, TEditor_Glyph Glyph,
                               void (TForm_Editor::*Handler)()) {
        B = new QToolButton(Panel_Tools);
        B->setObjectName(QString::fromLatin1(Name));
        B->setAutoRaise(true);  // flat
        B->setFixedSize(Button_Size, Button_Size);
        B->setIcon(Editor_Glyph(Glyph));
        B->setIconSize(QSize(16, 16));
        B->setFocusPolicy(Qt::NoFocus);
        connect(B, &QToolButton::clicked, this, [this, Handler] { (this->*Handler)(); });
    };
    Button(SpeedButton_OK, "SpeedButton_OK", TEditor_Glyph::OK,
           &TForm_Editor::Menu_File_CloseClick);
    Button(SpeedButton_Cancel, "SpeedButton_Cancel", TEditor_Glyph::Cancel,
           &TForm_Editor::Menu_File_CloseClick);
    Button(SpeedButton_New, "SpeedButton_New", TEditor_Glyph::New,
           &TForm_Editor::Menu_File_NewClick);
    Button(SpeedButton_Open, "SpeedButton_Open", TEditor_Glyph::Open,
           &TForm_Editor::Menu_File_OpenClick);
    Button(SpeedButton_SaveAs, "SpeedButton_SaveAs", TEditor_Glyph::Save,
           &TForm_Editor::Menu_File_SaveClick);
    Button(SpeedButton_Print, "SpeedButton_Print", TEditor_Glyph::Print,
           &TForm_Editor::Menu_File_PrintClick);
    Button(SpeedButton_Cut, "SpeedButton_Cut", TEditor_Glyph::Cut,
           &TForm_Editor::Menu_Edit_CutClick);
    Button(SpeedButton_Copy, "SpeedButton_Copy", TEditor_Glyph::Copy,
           &TForm_Editor::Menu_Edit_CopyClick);
    Button(SpeedButton_Paste, "SpeedButton_Paste", TEditor_Glyph::Paste,
           &TForm_Editor::Menu_Edit_PasteClick);
    Button(SpeedButton_Del, "SpeedButton_Del", TEditor_Glyph::Delete,
           &TForm_Editor::Menu_Edit_DelClick);
    Button(SpeedButton_All, "SpeedButton_All", TEditor_Glyph::Select_All,
           &TForm_Editor::Menu_Edit_AllClick);
    Button(SpeedButton_Find, "SpeedButton_Find", TEditor_Glyph::Find,
           &TForm_Editor::Menu_Edit_FindClick);
    Button(SpeedButton_Wrap, "SpeedButton_Wrap", TEditor_Glyph::Wrap,
           &TForm_Editor::Menu_Setup_WrapClick);
    Button(SpeedButton_Font, "SpeedButton_Font", TEditor_Glyph::Font,
           &TForm_Editor::Menu_Setup_FontClick);
    SpeedButton_Wrap->setCheckable(true);
    SpeedButton_Cancel->setVisible(false);
    Lay_Out_Tools();
}

void TForm_Editor::Lay_Out_Tools()
{
    // One row from the left edge, each button against the previous one; a
    // group starts Group_Step pixels after the left edge of the button before.
    const std::pair<QToolButton*, bool> Row[] = {
        {SpeedButton_OK, true},    {SpeedButton_Cancel, false}, {SpeedButton_New, true},
        {SpeedButton_Open, false}, {SpeedButton_SaveAs, false}, {SpeedButton_Print, false},
        {SpeedButton_Cut, true},   {SpeedButton_Copy, false},   {SpeedButton_Paste, false},
        {SpeedButton_Del, false},  {SpeedButton_All, false},    {SpeedButton_Find, false},
        {SpeedButton_Wrap, true},  {SpeedButton_Font, false},
    };
    int Left = 0;
    bool First = true;
    for (const auto& [Button, Group_Start] : Row) {
        if (Button->isHidden())
            continue;
        if (!First)
            Left += Group_Start ? Group_Step : Button_Size;
        Button->move(Left, 0);
        First = false;
    }
}

void TForm_Editor::createStatusBar()
{
    StatusBar_Lines = new QLabel(statusBar());
    StatusBar_Lines->setObjectName(QStringLiteral("StatusBar_Lines"));
    StatusBar_Lines->setMinimumWidth(100);
    StatusBar_Size = new QLabel(statusBar());
    StatusBar_Size->setObjectName(QStringLiteral("StatusBar_Size"));
    StatusBar_Size->setMinimumWidth(50);
    for (QLabel* L : {StatusBar_Lines, StatusBar_Size})
        L->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar()->addWidget(StatusBar_Lines, 3);
    statusBar()->addWidget(StatusBar_Size, 2);
}

void TForm_Editor::Apply_Language()
{
    setWindowTitle(Get_Text(TText::Caption));
    const std::pair<QMenu*, TText> Menus[] = {{Menu_File, TText::Menu_File},
                                              {Menu_Edit, TText::Menu_Edit},
                                              {Menu_Setup, TText::Menu_Setup}};
    for (const auto& [Menu, Entry] : Menus)
        Menu->setTitle(Get_Text(Entry));
    const std::pair<QAction*, TText> Items[] = {
        {Menu_File_New, TText::Menu_File_New},       {Menu_File_Open, TText::Menu_File_Open},
        {Menu_File_Save, TText::Menu_File_Save},     {Menu_File_SaveAs, TText::Menu_File_SaveAs},
        {Menu_File_Print, TText::Menu_File_Print},   {Menu_File_Close, TText::Menu_File_Close},
        {Menu_File_OK, TText::Menu_File_OK},         {Menu_File_Cancel, TText::Menu_File_Cancel},
        {Menu_Edit_Cut, TText::Menu_Edit_Cut},       {Menu_Edit_Copy, TText::Menu_Edit_Copy},
        {Menu_Edit_Paste, TText::Menu_Edit_Paste},   {Menu_Edit_Del, TText::Menu_Edit_Del},
        {Menu_Edit_All, TText::Menu_Edit_All},       {Menu_Edit_Find, TText::Menu_Edit_Find},
        {Menu_Edit_Repeat, TText::Menu_Edit_Repeat}, {Menu_Edit_Replace, TText::Menu_Edit_Replace},
        {Menu_Setup_Wrap, TText::Menu_Setup_Wrap},   {Menu_Setup_Font, TText::Menu_Setup_Font},
    };
    for (const auto& [Action, Entry] : Items)
        Action->setText(Get_Text(Entry));
    const std::pair<QToolButton*, TText> Hints[] = {
        {SpeedButton_OK, TText::Hint_OK},       {SpeedButton_Cancel, TText::Hint_Cancel},
        {SpeedButton_New, TText::Hint_New},     {SpeedButton_Open, TText::Hint_Open},
        {SpeedButton_SaveAs, TText::Hint_Save}, {SpeedButton_Print, TText::Hint_Print},
        {SpeedButton_Cut, TText::Hint_Cut},     {SpeedButton_Copy, TText::Hint_Copy},
        {SpeedButton_Paste, TText::Hint_Paste}, {SpeedButton_Del, TText::Hint_Del},
        {SpeedButton_All, TText::Hint_All},     {SpeedButton_Find, TText::Hint_Find},
        {SpeedButton_Wrap, TText::Hint_Wrap},   {SpeedButton_Font, TText::Hint_Font},
    };
    for (const auto& [Button, Entry] : Hints) {
        Button->setToolTip(Get_Text(Entry));
        Button->setAccessibleName(Get_Text(Entry));
    }
}

void TForm_Editor::Set_Font(const QString& Name, int Size)
{
    FFont_Name = Name;
    Memo->setFont(Editor_Font(Name, Size));
}

void TForm_Editor::Set_Modified(bool Value)
{
    FModified = Value;
    Update_Status();
}

// -- Status --------------------------------------------------------------------------

void TForm_Editor::Update_Status()
{
    const QTextDocument* Doc = Memo->document();
    const bool Has_Text = Doc->characterCount() > 1;
    const bool Has_Selection = Memo->textCursor().hasSelection();
    const bool Busy_Now = Job_Running() > 0;
    const bool Free = !Busy_Now;

    // What a running job forbids: another job, a modal dialog, a new text.
    Menu_File_New->setEnabled(Free);
    Menu_File_Open->setEnabled(Free);
    Menu_File_Save->setEnabled(Has_Text && Free);
    Menu_File_SaveAs->setEnabled(Has_Text && Free);
    Menu_File_Print->setEnabled(Has_Text && Free);
    Menu_Edit_Cut->setEnabled(Has_Selection && Free);
    Menu_Edit_Copy->setEnabled(Has_Selection);
    Menu_Edit_Del->setEnabled(Has_Selection && Free);
    Menu_Edit_Paste->setEnabled(Free);
    Menu_Edit_Find->setEnabled(Free);
    Menu_Edit_Repeat->setEnabled(Free);
    Menu_Edit_Replace->setEnabled(Free);
    Menu_Setup_Wrap->setEnabled(Free);
    Menu_Setup_Font->setEnabled(Free);

    const std::pair<QToolButton*, QAction*> Buttons[] = {
        {SpeedButton_OK, Menu_File_Close},    {SpeedButton_Cancel, Menu_File_Cancel},
        {SpeedButton_New, Menu_File_New},     {SpeedButton_Open, Menu_File_Open},
        {SpeedButton_SaveAs, Menu_File_Save}, {SpeedButton_Print, Menu_File_Print},
        {SpeedButton_Cut, Menu_Edit_Cut},     {SpeedButton_Copy, Menu_Edit_Copy},
        {SpeedButton_Paste, Menu_Edit_Paste}, {SpeedButton_Del, Menu_Edit_Del},
        {SpeedButton_All, Menu_Edit_All},     {SpeedButton_Find, Menu_Edit_Find},
        {SpeedButton_Wrap, Menu_Setup_Wrap},  {SpeedButton_Font, Menu_Setup_Font},
    };
    for (const auto& [Button, Action] : Buttons)
        Button->setEnabled(Action->isEnabled());
    // Held down while this window prints (a disabled button would come up).
    if (FPrinting) {
        SpeedButton_Print->setEnabled(true);
        SpeedButton_Print->setDown(true);
    }
    SpeedButton_OK->setToolTip(Get_Text(TText::Hint_OK));

    const std::int64_t Blocks = Doc->blockCount();
    const std::int64_t Lines = EditorLineCount(Blocks, Doc->lastBlock().length() <= 1);
    const std::int64_t Size = EditorTextSize(Doc->characterCount() - 1, Blocks - 1, FLine_End);
    StatusBar_Lines->setText(QString::fromStdString(
        EditorLinesText(Get_Text(TText::Status_Lines).toStdString(), Lines)));
    StatusBar_Size->setText(QString::fromStdString(
        EditorSizeText(Get_Text(TText::Status_Size).toStdString(), Size, FModified)));
}

void TForm_Editor::MemoChange()
{
    if (!Setting_Text) {
        FModified = true;
        FChanged_By_User = true;
    }
    Update_Status();
}

void TForm_Editor::Job_State_Changed(bool Running)
{
    // Nothing typed may change a text that a job reads or will put back.
    Memo->setReadOnly(Running);
    Update_Status();
}

bool TForm_Editor::Refuse_While_Busy()
{
    if (Job_Running() <= 0)
        return false;
    Default_Beep();
    return true;
}

void TForm_Editor::Run_Busy(const std::function<void()>& Body)
{
    // The window cannot close while its own job runs.
    FBusy = true;
    try {
        Body();
    } catch (...) {
        FBusy = FPrinting = false;
        SpeedButton_Print->setDown(false);
        throw;
    }
    FBusy = false;
}

// -- Text in and out ----------------------------------------------------------------

bool TForm_Editor::Fill(std::size_t Total, const std::function<std::size_t(std::size_t)>& Next_Cut,
                        const std::function<QString(std::size_t, std::size_t)>& Piece)
{
    QTextDocument* Doc = Memo->document();
    Setting_Text = true;
    // Loading is no edit to undo; it also forgets the edits before.
    Doc->setUndoRedoEnabled(false);
    Doc->clear();
    bool Done = true;
    try {
        TQtUserLink Link;
        std::unique_ptr<TProgress> Progress;
        if (Total >= ZoEditor::Progress_Threshold)
            Progress = Link.Percent_Open(Get_Text(TText::Setting_Text).toStdString());
        QTextCursor Cursor(Doc);
        for (std::size_t From = 0; From < Total;) {
            const std::size_t To = Next_Cut(From);
            Cursor.insertText(Piece(From, To));
            From = To;
            if (Progress) {
                Progress->Percent_Set(static_cast<int>(From * 10000.0 / Total), 10000);
                if (Progress->Percent_Cancelled()) {
                    Done = false;
                    break;
                }
            }
        }
    } catch (...) {
        Doc->clear();
        Doc->setUndoRedoEnabled(true);
        Setting_Text = false;
        throw;
    }
    if (!Done)
        Doc->clear();
    Doc->setUndoRedoEnabled(true);
    Memo->moveCursor(QTextCursor::Start);
    Setting_Text = false;
    return Done;
}

bool TForm_Editor::Editor_Set_Text(std::string_view Text)
{
    FLine_End = FirstLineEnd(Text, FLine_End);
    const bool Done = Fill(
        Text.size(),
        [&](std::size_t From) {
            return Cut_After_Line_Feed(From, Text.size(), [&](std::size_t I) { return Text[I]; });
        },
        [&](std::size_t From, std::size_t To) {
            return QString::fromUtf8(Text.data() + From, static_cast<qsizetype>(To - From));
        });
    FChanged_By_User = false;
    Set_Modified(Done);  // cancelled: nothing went in
    return Done;
}

bool TForm_Editor::Editor_Set_Text(const QString& Text)
{
    const std::size_t Total = static_cast<std::size_t>(Text.size());
    // The first line end decides; the characters before it are plain.
    qsizetype End = 0;
    while (End < Text.size() && Text[End] != QLatin1Char('\r') && Text[End] != QLatin1Char('\n'))
        ++End;
    FLine_End = FirstLineEnd(Text.mid(End, 2).toStdString(), FLine_End);
    const bool Done = Fill(
        Total,
        [&](std::size_t From) {
            return Cut_After_Line_Feed(From, Total, [&](std::size_t I) {
                return static_cast<char>(Text[static_cast<qsizetype>(I)].unicode() == '\n' ? '\n'
                                                                                           : 0);
            });
        },
        [&](std::size_t From, std::size_t To) {
            return Text.mid(static_cast<qsizetype>(From), static_cast<qsizetype>(To - From));
        });
    FChanged_By_User = false;
    Set_Modified(Done);  // cancelled: nothing went in
    return Done;
}

void TForm_Editor::Editor_Set_Text_From(const std::function<void(const TText_Sink&)>& Write)
{
    QTextDocument* Doc = Memo->document();
    Setting_Text = true;
    Doc->setUndoRedoEnabled(false);
    Doc->clear();
    QTextCursor Cursor(Doc);
    bool Line_End_Known = false;
    // Whole lines go in; the rest of a piece waits for the next one, so that
    // neither a character nor a CR LF pair is ever cut in two.
    std::string Carry;
    const auto Insert = [&](std::string_view Lines) {
        if (!Line_End_Known && Lines.find_first_of("\r\n") != std::string_view::npos) {
            FLine_End = FirstLineEnd(Lines, FLine_End);
            Line_End_Known = true;
        }
        Cursor.insertText(QString::fromUtf8(Lines.data(), static_cast<qsizetype>(Lines.size())));
    };
    try {
        Write([&](std::string_view Piece) {
            const std::size_t Last = Piece.rfind('\n');
            if (Last == std::string_view::npos) {
                Carry.append(Piece);
                return;
            }
            if (Carry.empty()) {
                Insert(Piece.substr(0, Last + 1));
            } else {
                Carry.append(Piece.substr(0, Last + 1));
                Insert(Carry);
            }
            Carry.assign(Piece.substr(Last + 1));
        });
        Insert(Carry);
    } catch (...) {
        Doc->clear();
        Doc->setUndoRedoEnabled(true);
        Setting_Text = false;
        Update_Status();
        throw;
    }
    Doc->setUndoRedoEnabled(true);
    Memo->moveCursor(QTextCursor::Start);
    Setting_Text = false;
    FChanged_By_User = false;
    Set_Modified(true);
}

std::string TForm_Editor::Editor_Text() const
{
    // The raw text keeps what the plain text would change (no-break spaces);
    // paragraph and line separators are its line ends.
    QString Text = Memo->document()->toRawText();
    Text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    Text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return EncodeEditorText(Text.toStdString(), FLine_End);
}

bool TForm_Editor::Load_File(const QString& Name)
{
    QByteArray Bytes;
    bool Cut = false;
    try {
        // A pipe would wait for a writer and a device has no length: only
        // regular files (links followed) are loaded.
        if (!QFileInfo(Name).isFile())
            throw EIn_Out_Error("not a regular file");
        QFile File;
        File_Open_Read(File, Name);
        const qint64 Size = File.size();
        if (Size > static_cast<qint64>(EditorFileLimit)) {
            const std::string Question = EditorSizeQuestion(
                Get_Text(TText::Size_Question_1).toStdString(), Name.toStdString(),
                Get_Text(TText::Size_Question_2).toStdString(),
                Get_Text(TText::Size_Question_3).toStdString());
            if (Dialog_Confirm(QString::fromStdString(Question)) != 6)
                return false;
            Cut = true;
        }
        const qint64 Wanted = std::min<qint64>(Size, static_cast<qint64>(EditorFileLimit));
        Bytes = File.read(Wanted);
        if (Bytes.size() != Wanted && !(Bytes.size() < Wanted && File.atEnd()))
            throw EIn_Out_Error("short read");
        if (File.error() != QFileDevice::NoError)
            throw EIn_Out_Error(File.errorString().toStdString());
    } catch (const std::exception&) {
        Dialog_Error(In_Guillemets(Get_Text(TText::Load_Error), Name));
        return false;
    }
    const TEditorFileText Text = DecodeEditorFile(
        std::string_view(Bytes.constData(), static_cast<std::size_t>(Bytes.size())), Cut);
    FLine_End = Text.LineEnd;
    Fill(
        Text.Text.size(), [&](std::size_t) { return Text.Text.size(); },
        [&](std::size_t From, std::size_t To) {
            return QString::fromUtf8(Text.Text.data() + From, static_cast<qsizetype>(To - From));
        });
    // Saving a part over the whole file would cut the file short: a file
    // loaded in part is saved only under a name chosen anew.
    FFile_Name = Cut ? QString() : Name;
    FPart_Of = Cut ? Name : QString();
    FChanged_By_User = false;
    Set_Modified(false);
    return true;
}

bool TForm_Editor::Save_File(const QString& Name)
{
    try {
        WriteFileAtomically(QFile::encodeName(Name).toStdString(), Editor_Text());
    } catch (const std::exception&) {
        Dialog_Error(In_Guillemets(Get_Text(TText::Save_Error), Name));
        return false;
    }
    FFile_Name = Name;
    FPart_Of.clear();
    FChanged_By_User = false;
    Set_Modified(false);
    return true;
}

// -- Commands -------------------------------------------------------------------------

void TForm_Editor::Menu_File_NewClick()
{
    if (Refuse_While_Busy())
        return;
    if (Memo->document()->characterCount() > 1 &&
        Dialog_Confirm(Get_Text(TText::Delete_All)) == 6) {
        Setting_Text = true;
        Memo->document()->clear();
        Setting_Text = false;
        FChanged_By_User = false;
    }
    Set_Modified(false);
}

void TForm_Editor::Menu_File_OpenClick()
{
    if (Refuse_While_Busy())
        return;
    const QString Name = Choose_Open_File(this, Plain_Caption(Get_Text(TText::Menu_File_Open)),
                                          Get_Text(TText::File_Filter),
                                          FFile_Name.isEmpty() ? FPart_Of : FFile_Name);
    if (!Name.isEmpty())
        Load_File(Name);
    Update_Status();
}

void TForm_Editor::Menu_File_SaveClick()
{
    if (Refuse_While_Busy())
        return;
    if (FFile_Name.isEmpty())
        Menu_File_SaveAsClick();
    else
        Save_File(FFile_Name);
}

void TForm_Editor::Menu_File_SaveAsClick()
{
    if (Refuse_While_Busy())
        return;
    const QString Name = Choose_Save_File(this, Plain_Caption(Get_Text(TText::Menu_File_SaveAs)),
                                          Get_Text(TText::File_Filter),
                                          FFile_Name.isEmpty() ? FPart_Of : FFile_Name);
    if (!Name.isEmpty())
        Save_File(Name);
    Update_Status();
}

void TForm_Editor::Menu_File_PrintClick()
{
    if (Refuse_While_Busy() || Memo->document()->characterCount() <= 1)
        return;
    const QTextCursor Cursor = Memo->textCursor();
    const bool Has_Selection = Cursor.hasSelection();
    if (!Print_Dialog(Has_Selection, false, this))
        return;
    Run_Busy([&] {
        FPrinting = true;
        SpeedButton_Print->setDown(true);
        SpeedButton_Print->repaint();
        if (Has_Selection && ZoPrinter::Settings().Range == ZoPrinter::Range_Selection) {
            Print_Text(Cursor.selectedText(), Memo->font());
        } else {
            const QTextDocument* Doc = Memo->document();
            QStringList Lines;
            Lines.reserve(Doc->blockCount());
            for (QTextBlock B = Doc->begin(); B.isValid(); B = B.next())
                Lines.append(B.text());
            // A line end at the very end opens no line to print.
            if (Lines.size() > 1 && Lines.back().isEmpty())
                Lines.removeLast();
            Print_Lines(Lines, Memo->font());
        }
        FPrinting = false;
        SpeedButton_Print->setDown(false);
    });
    Update_Status();
}

void TForm_Editor::Menu_File_CloseClick()
{
    close();
}

void TForm_Editor::Menu_Edit_CutClick()
{
    if (Refuse_While_Busy())
        return;
    Memo->cut();
}

void TForm_Editor::Menu_Edit_CopyClick()
{
    Memo->copy();
}

void TForm_Editor::Menu_Edit_PasteClick()
{
    if (Refuse_While_Busy())
        return;
    Memo->paste();
}

void TForm_Editor::Menu_Edit_DelClick()
{
    if (Refuse_While_Busy())
        return;
    QTextCursor Cursor = Memo->textCursor();
    Cursor.removeSelectedText();
    Memo->setTextCursor(Cursor);
}

void TForm_Editor::Menu_Edit_AllClick()
{
    Memo->selectAll();
}

void TForm_Editor::Menu_Edit_FindClick()
{
    if (Refuse_While_Busy())
        return;
    Run_Busy([this] { Text_Find(this, Memo); });
    Update_Status();
}

void TForm_Editor::Menu_Edit_RepeatClick()
{
    if (Refuse_While_Busy())
        return;
    Run_Busy([this] { Text_Find_Next(Memo); });
    Update_Status();
}

void TForm_Editor::Menu_Edit_ReplaceClick()
{
    if (Refuse_While_Busy())
        return;
    int Count = -1;
    Run_Busy([&] { Count = Text_Replace(this, Memo); });
    Update_Status();
    if (Count >= 0)
        StatusBar_Lines->setText(
            QString::fromStdU16String(Replace_Status_Text(static_cast<std::size_t>(Count))) +
            StatusBar_Lines->text());
}

void TForm_Editor::Menu_Setup_WrapClick()
{
    if (Refuse_While_Busy()) {
        SpeedButton_Wrap->setChecked(Memo->lineWrapMode() != QPlainTextEdit::NoWrap);
        return;
    }
    const QTextCursor Caret = Memo->textCursor();
    const bool Wrap = Memo->lineWrapMode() == QPlainTextEdit::NoWrap;
    Memo->setLineWrapMode(Wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    // Wrapped lines need no horizontal scroll bar.
    Memo->setHorizontalScrollBarPolicy(Wrap ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
    Memo->setTextCursor(Caret);
    Memo->ensureCursorVisible();
    Menu_Setup_Wrap->setChecked(Wrap);
    SpeedButton_Wrap->setChecked(Wrap);
    Update_Status();
}

void TForm_Editor::Menu_Setup_FontClick()
{
    if (Refuse_While_Busy())
        return;
    bool Accepted = false;
    const QFont Chosen = QFontDialog::getFont(&Accepted, Memo->font(), this);
    if (Accepted) {
        FFont_Name = Chosen.family();
        Memo->setFont(Chosen);
    }
    Update_Status();
}

void TForm_Editor::closeEvent(QCloseEvent* Event)
{
    if (FBusy) {
        Default_Beep();
        Event->ignore();
        return;
    }
    if (FChanged_By_User && Memo->document()->characterCount() > 1 &&
        Dialog_Confirm(Get_Text(TText::Discard_Question)) != 6) {
        Event->ignore();
        return;
    }
    // The next editor window opens here, with this font.
    TEditorSettings& S = Editor_Settings();
    Get_Window_Bounds(this, S.WindowLeft, S.WindowTop, S.WindowWidth, S.WindowHeight);
    S.FontName = FFont_Name.toStdString();
    if (Memo->font().pointSize() > 0)
        S.FontSize = Memo->font().pointSize();
    Event->accept();
}
