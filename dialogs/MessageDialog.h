#pragma once
// The message dialog: every message, warning and question of the program is
// shown in this one small modal window — a picture at the left, the text
// word-wrapped to fit the screen, and one to four buttons whose captions carry
// their role in a leading digit:
//
//   "1"  message: result 1, default and cancel; question: result 6, default;
//        choice: default and focused, positional result
//   "2"  message: result 1, default and cancel; question: result 7, cancel;
//        choice: cancel, positional result
//   "3"  message: result 1, default and cancel; question: result 2, cancel;
//        choice: cancel, positional result
//   else positional result (101 to 104 by position), neither default nor cancel
//
// "Default" buttons are pressed by Enter, "cancel" buttons by Esc. Closing the
// window by its title-bar button gives 2. A dialog frees itself when it closes.

#include <QDialog>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <vector>

class QLabel;
class QPushButton;

namespace ZoDialog {
enum class Text {
    Title_Attention,
    Title_Confirm,
    Title_Problem,
    Button_OK,
    Button_Yes,
    Button_No,
    Count_
};
// 1: Russian, any other value: English.
void Set_Language(int Language);
// The entry in the current language; Russian until Set_Language says otherwise.
const QString& Get_Text(Text Entry);

// Flags of Dialog_Execute above the kind (the low byte).
inline constexpr int Flag_Ask = 0x100;     // a yes/no question
inline constexpr int Flag_Choose = 0x200;  // a choice between captions
// Kinds: 0 no picture, 1 problem (flash), 2 warning, 3 question, 4 problem (stop).
inline constexpr int Kind_Plain = 0, Kind_Flash = 1, Kind_Warn = 2, Kind_Query = 3, Kind_Stop = 4;

// Pixels between stacked dialogs.
inline constexpr int Cascade_Step = 24;
// Dialogs shown and not yet destroyed.
int Open_Dialog_Count();

// Tests answer the next dialogs of the functions below instead of a user: each
// call queues one modal result, and a dialog that finds one in the queue takes
// it without showing; Take_Answered returns (and forgets) the texts of the
// dialogs answered so, as they would have been shown (with the "!" that
// Dialog_Error and Dialog_Warning add).
void Answer_Next(int Result);
int Pending_Answers();
QStringList Take_Answered();
}  // namespace ZoDialog

class TForm_Dialog : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Dialog(QWidget* Owner = nullptr);
    ~TForm_Dialog() override;

    // Lays the dialog out for Flags, Text and the button strings B1 to B4
    // (an empty B2 to B4 means no button), places it and runs it modally.
    // Returns the modal result. With Qt::WA_DeleteOnClose set the dialog is
    // freed before this returns.
    int Dialog_Execute(int Flags, const QString& Text, const QString& B1, const QString& B2 = {},
                       const QString& B3 = {}, const QString& B4 = {});

    QLabel* Label_Text;     // the message, plain text ("&" and "<" shown as they are)
    QPushButton* BitBtn_1;  // the first button; further ones are BitBtn_2 to BitBtn_4
    QRect Image_Rect;       // where the kind's picture is painted

protected:
    void paintEvent(QPaintEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;

public slots:
    // Closing without a button (title-bar button) ends with result 2.
    void reject() override;

private:
    struct TButton {
        QPushButton* Button;
        int Result;
        bool Is_Default;
        bool Is_Cancel;
    };
    TButton Apply_Role(QPushButton* Button, const QString& Source, int Position, int Flags);
    void Lay_Out(const QString& Text);
    void Place_In_Cascade();

    std::vector<TButton> Buttons;
    QPixmap Picture;
    bool Placed = false;         // counted among the open dialogs
    int Prev_X = 0, Prev_Y = 0;  // last dialog position before this one was placed
};

// Kind 1, Text + "!", button "1OK".
void Dialog_Error(const QString& Text);
// Kind 2, Text + "!", button "1OK".
void Dialog_Warning(const QString& Text);
// Kind 3 as a question with "1&Да" and "2&Нет": 6 yes, 7 no, 2 closed.
int Dialog_Confirm(const QString& Text);
// Kind with button "1OK"; Owner nullptr: the active window.
void Dialog_Show(QWidget* Owner, int Kind, const QString& Text);
// Kind as a question with "1&Да" and "2&Нет": 6 yes, 7 no, 2 closed.
int Dialog_Ask(QWidget* Owner, int Kind, const QString& Text);
// Kind as a choice with up to four buttons (empty strings: absent):
// 101 to 104 by position, 2 when closed by the title-bar button.
int Dialog_Choose(int Kind, const QString& Text, const QString& B1, const QString& B2,
                  const QString& B3 = {}, const QString& B4 = {});
// Dialog_Choose with kind 3 and three buttons.
int Dialog_Choose3(const QString& Text, const QString& B1, const QString& B2, const QString& B3);
