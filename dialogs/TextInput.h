#pragma once
// The text input window: a small modal window that asks for one line of text,
// with OK and Cancel. Given a history it offers the earlier entries in a
// drop-down box. The editor's Replace extends it with a second box (a label
// over each). Every text input window opens where the last one was closed;
// the first one of a run is centred.
//
// Use:
//   TForm_ZoText Form(Owner);
//   Form.setWindowTitle(...);                 // "Ввод текста" unless set
//   Text_Set_History(&Form, History);         // optional: a drop-down box
//   Form.Set_Text(Last);
//   if (Form.exec() == 1) ... Form.Text() ...  // 1: OK; Cancel 2, Esc 0

#include <QDialog>
#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QVBoxLayout;
class TBtn_Clr;

namespace ZoText {
enum class Text { Caption, Cancel_Button, Count_ };
// 1: Russian ("Ввод текста", "&Отмена"), any other value: English.
void Set_Language(int Language);
// The entry in the current language; Russian until Set_Language says otherwise.
const QString& Get_Text(Text Entry);

// Where the last text input window was when it closed (frame position);
// NotSet until one has closed.
int Last_Left();
int Last_Top();
// For the tests: forget it, as at the start of a run.
void Forget_Position();
}  // namespace ZoText

class TForm_ZoText : public QDialog {
    Q_OBJECT
public:
    explicit TForm_ZoText(QWidget* Owner = nullptr);
    ~TForm_ZoText() override;

    // The single-line edit at creation; nullptr once Text_Set_History has put
    // a drop-down box in its place.
    QLineEdit* Edit = nullptr;
    QComboBox* ComboBox = nullptr;  // the drop-down box, once there is one
    TBtn_Clr* BitBtn_OK = nullptr;
    TBtn_Clr* BitBtn_Cancel = nullptr;
    // Made by Add_Second_Box: the labels over the boxes and the second box.
    QLabel* Label_1 = nullptr;
    QLabel* Label_2 = nullptr;
    QComboBox* ComboBox_2 = nullptr;

    // The input box: ComboBox when there is one, else Edit.
    QWidget* Input_Box() const;
    // The text of the input box.
    QString Text() const;
    void Set_Text(const QString& Value);
    // Greatest length of the texts in the input boxes; 0: no limit.
    int Max_Length() const { return FMax_Length; }
    void Set_Max_Length(int Value);

    // The replace window: First_Label over the input box, and below it
    // Second_Label over a second drop-down box with History and Text. The
    // window grows to hold them. Once only.
    void Add_Second_Box(const QString& First_Label, const QString& Second_Label,
                        const QStringList& History, const QString& Text);
    // The text of the second box (empty without one).
    QString Second_Text() const;

    // Ends the modal loop (1 OK, 0 Cancel) and remembers where the window was.
    void done(int Result) override;

protected:
    void showEvent(QShowEvent* Event) override;

private:
    friend void Text_Set_History(TForm_ZoText* Window, const QStringList* History);
    QComboBox* New_Box();
    void Apply_Max_Length();

    QVBoxLayout* Layout = nullptr;
    int FMax_Length = 0;
    bool Placed = false;  // placed at the remembered position on its first show
};

// Puts a drop-down box in place of the window's Edit when it has none yet
// (same text, font, enabled state, focus), then, when History is given, makes
// its items a copy of History (in that order). The box takes no entries of
// its own; the caller keeps the history.
void Text_Set_History(TForm_ZoText* Window, const QStringList* History);
inline void Text_Set_History(TForm_ZoText* Window, const QStringList& History)
{
    Text_Set_History(Window, &History);
}
