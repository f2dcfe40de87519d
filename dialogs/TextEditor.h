#pragma once
// TForm_Editor: the plain-text editor in which the main window shows a
// report: a menu, a tool bar of flat buttons, the edit area and a status bar
// with the number of lines and the size. The user can read, edit, find and
// replace (dialogs/TextFind.h), load a text file, save the text and print it
// (dialogs/TextPrinter.h).
//
// Files: a file that is UTF-8 is read as UTF-8, any other as Windows-1251;
// at most the first 30 000 bytes are loaded, after a question. The text is
// saved as UTF-8 with the line ends it had (those of its first line), and a
// file is replaced whole or not at all (text/AtomicWrite.h). The rules
// without Qt are in text/EditorText.h.
//
// Every editor window opens where the last one was closed, with the font it
// had (the editor settings, text/EditorSettings.h, kept in the settings file
// in the section "ZoEditor"). A closed window is freed. Closing a window
// whose text the user changed since it was set, loaded or saved asks first.
//
// While a job runs (Job_Running(), a calculation, a report, or a find,
// replace or print of any editor window), every editor window is read-only
// and its commands that would start another job, load, save, change the text
// or open a modal dialog beep and do nothing.

#include <QFont>
#include <QMainWindow>
#include <QSize>
#include <QString>
#include <functional>
#include <string>
#include <string_view>

#include "text/EditorSettings.h"
#include "text/EditorText.h"

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QToolButton;
class TProfile;

namespace ZoEditor {
enum class Text {
    Caption,
    Menu_File,
    Menu_File_New,
    Menu_File_Open,
    Menu_File_Save,
    Menu_File_SaveAs,
    Menu_File_Print,
    Menu_File_Close,
    Menu_File_OK,
    Menu_File_Cancel,
    Menu_Edit,
    Menu_Edit_Cut,
    Menu_Edit_Copy,
    Menu_Edit_Paste,
    Menu_Edit_Del,
    Menu_Edit_All,
    Menu_Edit_Find,
    Menu_Edit_Repeat,
    Menu_Edit_Replace,
    Menu_Setup,
    Menu_Setup_Wrap,
    Menu_Setup_Font,
    Hint_OK,
    Hint_OK_Fix,
    Hint_Cancel,
    Hint_New,
    Hint_Open,
    Hint_Save,
    Hint_Print,
    Hint_Cut,
    Hint_Copy,
    Hint_Paste,
    Hint_Del,
    Hint_All,
    Hint_Find,
    Hint_Wrap,
    Hint_Font,
    Status_Lines,  // "Строк: "
    Status_Size,   // "Размер: "
    Save_Error,    // "Ошибка записи текста в файл «"
    Load_Error,    // "Ошибка загрузки текста из файла «"
    File_Filter,   // "*.txt — текстовые файлы|*.txt|*.* — все файлы|*.*"
    Delete_All,    // "Удалить весь текст?"
    Size_Question_1,  // "Размер файла «"
    Size_Question_2,  // "» превышает максимальный объем редактируемого текста ("
    Size_Question_3,  // " байт)! Загрузить только начало файла?"
    Setting_Text,     // the progress window's caption while a long text goes in
    Discard_Question,  // closing a window whose text was changed
    Count_
};
// 1: Russian, any other value: English.
void Set_Language(int Language);
// The entry in the current language; Russian until Set_Language says otherwise.
const QString& Get_Text(Text Entry);

// Texts at least this long (in bytes or characters) go into the edit area
// with a progress window whose Cancel stops them.
inline constexpr std::size_t Progress_Threshold = 1 << 20;
}  // namespace ZoEditor

// The editor settings of the run, shared by every editor window.
TEditorSettings& Editor_Settings();
// Reads and writes the section "ZoEditor" of the settings file (see
// LoadEditorSettings, SaveEditorSettings); the caller opens and commits Ini.
void Editor_Settings_Load(TProfile& Ini);
void Editor_Settings_Save(TProfile& Ini);

// The font of the edit area for a stored family name and point size. A
// family the system lacks gives the system's fixed-pitch face at that size,
// since the report's tables line up only in one. Sizes below 1 give 10.
QFont Editor_Font(const QString& Name, int Size);

class TForm_Editor : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm_Editor(QWidget* Owner = nullptr);
    ~TForm_Editor() override;

    // The client area (below the menu) as designed; the window opens twice as
    // large and cannot be made smaller than this.
    static constexpr QSize Design_Client{396, 110};
    QSize Client_Size() const;

    QMenu* Menu_File = nullptr;
    QAction* Menu_File_New = nullptr;
    QAction* Menu_File_Open = nullptr;
    QAction* Menu_File_Save = nullptr;
    QAction* Menu_File_SaveAs = nullptr;
    QAction* Menu_File_Print = nullptr;
    QAction* Menu_File_Close = nullptr;
    QAction* Menu_File_OK = nullptr;
    QAction* Menu_File_Cancel = nullptr;
    QMenu* Menu_Edit = nullptr;
    QAction* Menu_Edit_Cut = nullptr;
    QAction* Menu_Edit_Copy = nullptr;
    QAction* Menu_Edit_Paste = nullptr;
    QAction* Menu_Edit_Del = nullptr;
    QAction* Menu_Edit_All = nullptr;
    QAction* Menu_Edit_Find = nullptr;
    QAction* Menu_Edit_Repeat = nullptr;
    QAction* Menu_Edit_Replace = nullptr;
    QMenu* Menu_Setup = nullptr;
    QAction* Menu_Setup_Wrap = nullptr;
    QAction* Menu_Setup_Font = nullptr;

    QWidget* Panel_Tools = nullptr;
    QToolButton* SpeedButton_OK = nullptr;
    QToolButton* SpeedButton_Cancel = nullptr;
    QToolButton* SpeedButton_New = nullptr;
    QToolButton* SpeedButton_Open = nullptr;
    QToolButton* SpeedButton_SaveAs = nullptr;
    QToolButton* SpeedButton_Print = nullptr;
    QToolButton* SpeedButton_Cut = nullptr;
    QToolButton* SpeedButton_Copy = nullptr;
    QToolButton* SpeedButton_Paste = nullptr;
    QToolButton* SpeedButton_Del = nullptr;
    QToolButton* SpeedButton_All = nullptr;
    QToolButton* SpeedButton_Find = nullptr;
    QToolButton* SpeedButton_Wrap = nullptr;
    QToolButton* SpeedButton_Font = nullptr;

    QPlainTextEdit* Memo = nullptr;
    QLabel* StatusBar_Lines = nullptr;  // the first panel
    QLabel* StatusBar_Size = nullptr;   // the second panel

    // The edit area gets Text (UTF-8; line ends CR LF, LF or CR) and the
    // status is updated; the text counts as modified, as typed text does, but
    // not as changed by the user. A long text goes in piece by piece with a
    // progress window: Cancel leaves the edit area empty and gives false.
    bool Editor_Set_Text(std::string_view Text);
    bool Editor_Set_Text(const QString& Text);
    // The same for a text that is made while it goes in, such as a long
    // report: Write hands it to the sink it is given, piece by piece (UTF-8;
    // a piece may end anywhere, also inside a character or between CR and
    // LF), and shows the progress itself. Each piece goes into the edit area
    // at once, so the whole text is never held twice. An exception of Write
    // leaves the edit area empty and goes on to the caller.
    using TText_Sink = std::function<void(std::string_view Piece)>;
    void Editor_Set_Text_From(const std::function<void(const TText_Sink& Sink)>& Write);
    // The text as Save writes it: UTF-8 with the text's line ends.
    std::string Editor_Text() const;

    // The text has changes that are not saved (the "* " of the status bar).
    bool Modified() const { return FModified; }
    // The user changed the text (typing, cutting, pasting, replacing) since
    // it was set, loaded, saved or cleared.
    bool Changed_By_User() const { return FChanged_By_User; }
    // The file Save writes into; empty: Save asks for one.
    const QString& File_Name() const { return FFile_Name; }
    // The line ends Save writes: those of the text set or loaded last.
    TLineEnd Line_End() const { return FLine_End; }
    // The family name of the edit area's font as stored or chosen, also when
    // the system lacks it and another face stands in.
    const QString& Font_Name() const { return FFont_Name; }
    // A command of this window works (find, replace, print).
    bool Busy() const { return FBusy; }

    // Loads the file Name as Open does once it is chosen: the size question
    // for a longer file, the file's bytes as UTF-8 or Windows-1251. True when
    // a text was loaded; a read error says so and changes nothing.
    bool Load_File(const QString& Name);
    // Writes the text into Name as Save does; a failure says so and leaves
    // the file as it was.
    bool Save_File(const QString& Name);

    void Update_Status();

    // The commands of the menu and the tool bar.
    void Menu_File_NewClick();
    void Menu_File_OpenClick();
    void Menu_File_SaveClick();
    void Menu_File_SaveAsClick();
    void Menu_File_PrintClick();
    void Menu_File_CloseClick();
    void Menu_Edit_CutClick();
    void Menu_Edit_CopyClick();
    void Menu_Edit_PasteClick();
    void Menu_Edit_DelClick();
    void Menu_Edit_AllClick();
    void Menu_Edit_FindClick();
    void Menu_Edit_RepeatClick();
    void Menu_Edit_ReplaceClick();
    void Menu_Setup_WrapClick();
    void Menu_Setup_FontClick();

protected:
    void closeEvent(QCloseEvent* Event) override;

private:
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void Apply_Language();
    void Lay_Out_Tools();
    void Settle_Layout();
    int Menu_Height() const;
    void MemoChange();
    void Job_State_Changed(bool Running);
    // A job runs: the command beeps and does nothing.
    bool Refuse_While_Busy();
    // Runs a command of this window that starts a job of its own.
    void Run_Busy(const std::function<void()>& Body);
    // Puts a text into the edit area piece by piece: Next_Cut(From) is where
    // the piece from From ends, Piece(From, To) its text, Total the end.
    bool Fill(std::size_t Total, const std::function<std::size_t(std::size_t)>& Next_Cut,
              const std::function<QString(std::size_t, std::size_t)>& Piece);
    void Set_Font(const QString& Name, int Size);
    void Set_Modified(bool Value);

    QString FFile_Name;
    QString FPart_Of;  // the file of which only the beginning was loaded
    QString FFont_Name;
    TLineEnd FLine_End = TLineEnd::Lf;
    bool FModified = false;
    bool FChanged_By_User = false;
    bool FBusy = false;
    bool FPrinting = false;
    bool Setting_Text = false;  // the window itself changes the text
};
