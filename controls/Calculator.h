#pragma once
// The pocket calculator with its checking tape: one window for the whole
// application, opened from the calculator button of a number field. Opened
// from a field it starts with the field's value and offers an accept button
// that hands the result back.

#include <QDialog>
#include <QPointer>
#include <QString>

class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

class TForm_Calculate : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Calculate(QWidget* Parent = nullptr);
    ~TForm_Calculate() override;

    // Accept mode (from a number field): the accept button is shown, OK ends
    // with result 1 and Close with 2. Release leaves accept mode.
    void Calculator_Prepare();
    void Calculator_Release();
    // Puts X on the display (fixed notation, 11 decimals at most).
    void Calculator_Set_Number(double X);

    double X() const { return FX; }
    double A() const { return FA; }
    QString Pending_Operation() const { return FPending; }
    bool Accept_Mode() const { return FAccept_Mode; }
    bool Error_Shown() const { return FError; }
    // The number as shown, with digit groups.
    QString Display_Text() const { return FDisplay; }
    int Tape_Counter() const { return FTape_Counter; }

    // The keys of the calculator, as the buttons and the keyboard use them.
    // Operations: "+", "-", "*", "/", "=", "%", "1/X", "ROUND", "SQRT", "/–/".
    void Do_Operation(const QString& Name);
    void Digit_Entry(QChar C);  // a digit or the decimal separator
    void Backspace();
    void Clear();

    QLabel* Image_Label;
    QGroupBox* GroupBox_Check;
    QListWidget* ListBox_Check;
    QFrame* Panel_Indicate;
    QLabel* Label_Indicate;
    QLabel* Label_Operation;
    QFrame* Panel_Digits;
    QFrame* Panel_Acts;
    QPushButton* BitBtn_Digit[10];
    QPushButton* BitBtn_Separate;
    QPushButton* BitBtn_Div;
    QPushButton* BitBtn_Mul;
    QPushButton* BitBtn_Sub;
    QPushButton* BitBtn_Add;
    QPushButton* BitBtn_Sign;
    QPushButton* BitBtn_Round;
    QPushButton* BitBtn_Sqrt;
    QPushButton* BitBtn_Inv;
    QPushButton* BitBtn_Del;
    QPushButton* BitBtn_Clr;
    QPushButton* BitBtn_Percent;
    QPushButton* BitBtn_Result;
    QPushButton* BitBtn_OK;
    QPushButton* BitBtn_Cancel;

    void BitBtn_OK_Click();
    void BitBtn_Cancel_Click();

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void showEvent(QShowEvent* Event) override;

private:
    void Create_Controls();
    void Set_Display_Text(const QString& T);
    void Show_On_Display(const QString& Text);
    void Show_Error(const QString& Message);
    void Set_Error_Colours(bool Error);
    void Tape(const QString& Text);
    bool Complete_Pending();
    bool Show_Result(double R);
    void Fail(const QString& Message);
    bool Key_Down(int Key, Qt::KeyboardModifiers Modifiers);
    bool Key_Char(QChar C);
    void Tape_Double_Click(const QPoint& Position);
    void Tape_Colours(bool Focused);
    QString Display_Number() const;

    double FX = 0.0;
    double FA = 0.0;
    QString FPending;
    QString FDisplay = "0";
    bool FNew_Number = true;
    bool FKey_Handled = false;
    bool FError = false;
    int FTape_Counter = 0;
    bool FAccept_Mode = false;
    qreal FDisplay_Point_Size = 10.0;
};

// The application's calculator window; null until the first number field
// needs it, and again after it was destroyed.
extern QPointer<TForm_Calculate> Form_Calculate;
// The calculator window, created on first use; null when it cannot be made.
TForm_Calculate* Calculator_Create();
