#include "controls/Calculator.h"

#include "controls/Beep.h"
#include "controls/Glyphs.h"
#include "text/FloatFormat.h"
#include "text/NumberText.h"

#include <QApplication>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>

#include <cmath>

QPointer<TForm_Calculate> Form_Calculate;

TForm_Calculate* Calculator_Create()
{
    if (Form_Calculate)
        return Form_Calculate;
    try {
        Form_Calculate = new TForm_Calculate();
        // Owned by the application: freed when its event loop ends.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, Form_Calculate.data(),
                         &QObject::deleteLater);
    } catch (...) {
        Form_Calculate = nullptr;
    }
    return Form_Calculate;
}

namespace {
QString Text(ZoNumber::Text Entry)
{
    return QString::fromStdString(ZoNumber::Get_Text(Entry));
}

constexpr int Max_Tape_Lines = 100;
constexpr int Max_Number_Length = 29;
const QString Minus_Sign = QStringLiteral("\u2013");  // en dash on the tape
const QString Sign_Change = QStringLiteral("/\u2013/");

const QColor Colour_Lime(0, 255, 0);
const QColor Colour_Yellow(255, 255, 0);
const QColor Colour_Purple(128, 0, 128);

QString Tape_Sign(const QString& Operation)
{
    if (Operation == "+")
        return "+  ";
    if (Operation == "-")
        return Minus_Sign + "  ";
    if (Operation == "*")
        return "*  ";
    if (Operation == "/")
        return "/  ";
    return "    ";
}

// The number at the end of a tape line: digits, separators, "-" and single
// group separators between digits, read backwards.
QString Number_At_End(const QString& Line)
{
    int Start = Line.size();
    while (Start > 0) {
        const QChar C = Line[Start - 1];
        if (C.isDigit() || C == QLatin1Char(Decimal_Separator) || C == QLatin1Char('-')) {
            --Start;
            continue;
        }
        const bool Between_Digits = C == QLatin1Char(Group_Separator) && Start >= 2 &&
                                    Start < Line.size() && Line[Start - 2].isDigit() &&
                                    Line[Start].isDigit();
        if (!Between_Digits)
            break;
        --Start;
    }
    QString Number = Line.mid(Start);
    Number.remove(QLatin1Char(Group_Separator));
    return Number;
}

QPushButton* Key_Button(QWidget* Parent, const QString& Caption, const QString& Hint, int X, int Y,
                        int W = 36, int H = 28)
{
    auto* Button = new QPushButton(Caption, Parent);
    Button->setFocusPolicy(Qt::NoFocus);
    Button->setAutoDefault(false);
    Button->setGeometry(X, Y, W, H);
    if (!Hint.isEmpty())
        Button->setToolTip(Hint);
    return Button;
}
}  // namespace

TForm_Calculate::TForm_Calculate(QWidget* Parent) : QDialog(Parent)
{
    setWindowTitle(Text(ZoNumber::Text::CalcTitle));
    setAttribute(Qt::WA_DeleteOnClose, false);
    Create_Controls();
    Calculator_Release();
    Tape(Text(ZoNumber::Text::TapeStart));
    Show_On_Display(FDisplay);
    // The window sees keys before its controls.
    installEventFilter(this);
    for (QWidget* Child : findChildren<QWidget*>())
        Child->installEventFilter(this);
    ListBox_Check->viewport()->installEventFilter(this);
}

TForm_Calculate::~TForm_Calculate() = default;

void TForm_Calculate::Create_Controls()
{
    setFixedSize(325, 358);

    Image_Label = new QLabel(this);
    Image_Label->setGeometry(8, 4, 32, 32);
    const QPixmap Glyph = Zo_Glyph("CALCULATE");
    Image_Label->setPixmap(Glyph.copy(0, 0, Glyph.width() / 2, Glyph.height())
                               .scaled(24, 29, Qt::KeepAspectRatio, Qt::FastTransformation));
    Image_Label->setAlignment(Qt::AlignCenter);

    Panel_Indicate = new QFrame(this);
    Panel_Indicate->setGeometry(48, 8, 261, 25);
    Panel_Indicate->setFrameShape(QFrame::Panel);
    Panel_Indicate->setFrameShadow(QFrame::Sunken);
    Panel_Indicate->setAutoFillBackground(true);
    Label_Operation = new QLabel(Panel_Indicate);
    Label_Operation->setGeometry(4, 2, 20, 21);
    Label_Operation->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label_Indicate = new QLabel(Panel_Indicate);
    Label_Indicate->setGeometry(24, 2, 233, 21);
    Label_Indicate->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont Display_Font = font();
    Display_Font.setBold(true);
    Display_Font.setPointSizeF(Display_Font.pointSizeF() * 1.2);
    Label_Indicate->setFont(Display_Font);
    Label_Operation->setFont(Display_Font);
    FDisplay_Point_Size = Display_Font.pointSizeF();
    Set_Error_Colours(false);

    GroupBox_Check = new QGroupBox(Text(ZoNumber::Text::TapeCaption), this);
    GroupBox_Check->setGeometry(8, 40, 301, 120);
    QPalette Group_Palette = GroupBox_Check->palette();
    Group_Palette.setColor(QPalette::WindowText, Colour_Purple);
    GroupBox_Check->setPalette(Group_Palette);
    ListBox_Check = new QListWidget(GroupBox_Check);
    ListBox_Check->setGeometry(8, 20, 285, 92);
    ListBox_Check->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox_Check->setFont(font());
    Tape_Colours(false);

    // Digits 7 8 9 / 4 5 6 / 1 2 3 / 0 and the separator.
    Panel_Digits = new QFrame(this);
    Panel_Digits->setGeometry(8, 168, 124, 136);
    Panel_Digits->setFrameShape(QFrame::StyledPanel);
    for (int D = 1; D <= 9; ++D) {
        const int Row = 2 - (D - 1) / 3;
        const int Col = (D - 1) % 3;
        BitBtn_Digit[D] =
            Key_Button(Panel_Digits, QString::number(D), {}, 4 + Col * 39, 4 + Row * 32);
    }
    BitBtn_Digit[0] = Key_Button(Panel_Digits, "0", {}, 4, 100, 75);
    BitBtn_Separate = Key_Button(Panel_Digits, QString(QLatin1Char(Decimal_Separator)),
                                 Text(ZoNumber::Text::HintSeparator), 82, 100);

    Panel_Acts = new QFrame(this);
    Panel_Acts->setGeometry(136, 168, 85, 136);
    Panel_Acts->setFrameShape(QFrame::StyledPanel);
    BitBtn_Div = Key_Button(Panel_Acts, "/", Text(ZoNumber::Text::HintDivide), 4, 4);
    BitBtn_Mul = Key_Button(Panel_Acts, "*", Text(ZoNumber::Text::HintMultiply), 43, 4);
    BitBtn_Sub = Key_Button(Panel_Acts, "-", Text(ZoNumber::Text::HintSubtract), 4, 36);
    BitBtn_Add = Key_Button(Panel_Acts, "+", Text(ZoNumber::Text::HintAdd), 43, 36);
    BitBtn_Sign = Key_Button(Panel_Acts, "\u00B1", Text(ZoNumber::Text::HintSign), 4, 68);
    BitBtn_Round = Key_Button(Panel_Acts, "R", Text(ZoNumber::Text::HintRound), 43, 68);
    BitBtn_Sqrt = Key_Button(Panel_Acts, "\u221Ax", Text(ZoNumber::Text::HintSqrt), 4, 100);
    BitBtn_Inv = Key_Button(Panel_Acts, "1/x", Text(ZoNumber::Text::HintInverse), 43, 100);

    BitBtn_Del = Key_Button(this, "\u2190", Text(ZoNumber::Text::HintBackspace), 228, 172, 40);
    BitBtn_Clr = Key_Button(this, "C", Text(ZoNumber::Text::HintClear), 270, 172, 40);
    BitBtn_Percent = Key_Button(this, "%", Text(ZoNumber::Text::HintPercent), 228, 204, 82);
    BitBtn_Result = Key_Button(this, "=", Text(ZoNumber::Text::HintResult), 228, 236, 82, 64);

    BitBtn_OK = new QPushButton(Text(ZoNumber::Text::AcceptButton), this);
    BitBtn_OK->setGeometry(8, 316, 145, 30);
    BitBtn_OK->setAutoDefault(false);
    BitBtn_Cancel = new QPushButton(Text(ZoNumber::Text::CloseButton), this);
    BitBtn_Cancel->setGeometry(164, 316, 145, 30);
    BitBtn_Cancel->setAutoDefault(false);

    for (int D = 0; D <= 9; ++D)
        connect(BitBtn_Digit[D], &QPushButton::clicked, this,
                [this, D] { Digit_Entry(QChar('0' + D)); });
    connect(BitBtn_Separate, &QPushButton::clicked, this,
            [this] { Digit_Entry(QLatin1Char(Decimal_Separator)); });
    const std::pair<QPushButton*, QString> Operations[] = {
        {BitBtn_Div, "/"},     {BitBtn_Mul, "*"},          {BitBtn_Sub, "-"},
        {BitBtn_Add, "+"},     {BitBtn_Sign, Sign_Change}, {BitBtn_Round, "ROUND"},
        {BitBtn_Sqrt, "SQRT"}, {BitBtn_Inv, "1/X"},        {BitBtn_Percent, "%"},
        {BitBtn_Result, "="},
    };
    for (const auto& [Button, Name] : Operations)
        connect(Button, &QPushButton::clicked, this, [this, Name = Name] { Do_Operation(Name); });
    connect(BitBtn_Del, &QPushButton::clicked, this, [this] { Backspace(); });
    connect(BitBtn_Clr, &QPushButton::clicked, this, [this] { Clear(); });
    connect(BitBtn_OK, &QPushButton::clicked, this, [this] { BitBtn_OK_Click(); });
    connect(BitBtn_Cancel, &QPushButton::clicked, this, [this] { BitBtn_Cancel_Click(); });
}

// ---------------------------------------------------------------------------
// Accept mode

void TForm_Calculate::Calculator_Prepare()
{
    FAccept_Mode = true;
    BitBtn_OK->show();
}

void TForm_Calculate::Calculator_Release()
{
    FAccept_Mode = false;
    BitBtn_OK->hide();
}

void TForm_Calculate::BitBtn_OK_Click()
{
    if (FAccept_Mode)
        done(1);
}

void TForm_Calculate::BitBtn_Cancel_Click()
{
    if (FAccept_Mode)
        done(2);
    else
        hide();
}

// ---------------------------------------------------------------------------
// Display

// X in fixed notation with at most 11 decimals, no trailing zeros.
static QString Number_Text(double X)
{
    QString T = QString::fromStdString(FloatToFixed(11, X)).trimmed();
    const QChar Separator = QLatin1Char(Decimal_Separator);
    if (T.contains(Separator)) {
        while (T.endsWith(QLatin1Char('0')))
            T.chop(1);
        if (T.endsWith(Separator))
            T.chop(1);
    }
    if (T.isEmpty() || T == "-")
        T = "0";
    return T;
}

void TForm_Calculate::Calculator_Set_Number(double X)
{
    const QString T = Number_Text(X);
    if (!std::isfinite(X) || T.size() >= Max_Number_Length)
        Fail(Text(ZoNumber::Text::NumberTooLong));
    else
        Set_Display_Text(T);
}

bool TForm_Calculate::Show_Result(double R)
{
    // A result the display cannot hold counts as an overflow.
    if (!std::isfinite(R))
        return false;
    const QString T = Number_Text(R);
    if (T.size() >= Max_Number_Length)
        return false;
    FX = R;
    Set_Display_Text(T);
    return true;
}

void TForm_Calculate::Set_Display_Text(const QString& T)
{
    if (T.size() >= Max_Number_Length) {
        Show_Error(Text(ZoNumber::Text::NumberTooLong));
        return;
    }
    double Number = 0.0;
    if (!Text_To_Double(T.toStdString(), Number)) {
        Default_Beep();
        return;
    }
    if (FError) {
        FError = false;
        Set_Error_Colours(false);
        Label_Operation->show();
    }
    FX = Number;
    FDisplay = QString::fromStdString(InsertGroupSeparators(T.toStdString()));
    Show_On_Display(FDisplay);
}

void TForm_Calculate::Set_Error_Colours(bool Error)
{
    QPalette Panel = Panel_Indicate->palette();
    Panel.setColor(QPalette::Window, Error ? QColor(255, 0, 0) : QColor(0, 0, 0));
    Panel_Indicate->setPalette(Panel);
    QPalette Number = Label_Indicate->palette();
    Number.setColor(QPalette::WindowText, Error ? Colour_Yellow : Colour_Lime);
    Label_Indicate->setPalette(Number);
    QPalette Operation = Label_Operation->palette();
    Operation.setColor(QPalette::WindowText, Colour_Yellow);
    Label_Operation->setPalette(Operation);
}

void TForm_Calculate::Show_Error(const QString& Message)
{
    FError = true;
    Set_Error_Colours(true);
    Label_Operation->hide();
    Show_On_Display(" " + Message + " ");
    FNew_Number = true;
    Default_Beep();
}

// A long text is shown in a smaller font rather than cut off.
void TForm_Calculate::Show_On_Display(const QString& Text)
{
    QFont Font = Label_Indicate->font();
    Font.setPointSizeF(FDisplay_Point_Size);
    while (QFontMetrics(Font).horizontalAdvance(Text) > Label_Indicate->width() &&
           Font.pointSizeF() > 5.0)
        Font.setPointSizeF(Font.pointSizeF() - 0.5);
    Label_Indicate->setFont(Font);
    Label_Indicate->setText(Text);
}

QString TForm_Calculate::Display_Number() const
{
    int Position = 1;
    return QString::fromStdString(ExtractFixed(FDisplay.toStdString(), Position));
}

// ---------------------------------------------------------------------------
// Keys

void TForm_Calculate::Digit_Entry(QChar C)
{
    const QString Number = Display_Number();
    if (C == QLatin1Char(Decimal_Separator)) {
        if (FNew_Number)
            Set_Display_Text(QStringLiteral("0") + C);
        else if (!Number.contains(C))
            Set_Display_Text(Number + C);
        else
            Default_Beep();
    } else if (!FNew_Number && FDisplay != "0") {
        Set_Display_Text(Number + C);
    } else {
        Set_Display_Text(C);
    }
    // After a refused digit the next one starts a new number.
    if (!FError)
        FNew_Number = false;
}

void TForm_Calculate::Backspace()
{
    QString Number = Display_Number();
    Number.chop(1);
    if (Number.isEmpty() || Number == "-" || Number == QString(QLatin1Char(Decimal_Separator)))
        Number = "0";
    Set_Display_Text(Number);
}

void TForm_Calculate::Clear()
{
    // First the number, then (with 0 on the display) the pending operation.
    const bool Had_Number = FX != 0.0;
    if (Had_Number || FError)
        Set_Display_Text("0");
    if (Had_Number)
        return;
    FPending.clear();
    Label_Operation->clear();
}

// ---------------------------------------------------------------------------
// Operations

void TForm_Calculate::Tape(const QString& Line)
{
    ++FTape_Counter;
    ListBox_Check->addItem(QString::number(FTape_Counter) + ".  " + Line);
    while (ListBox_Check->count() > Max_Tape_Lines)
        delete ListBox_Check->takeItem(0);
    ListBox_Check->clearSelection();
    ListBox_Check->setCurrentRow(-1);
    ListBox_Check->scrollToBottom();
}

void TForm_Calculate::Fail(const QString& Message)
{
    FX = 0.0;
    FA = 0.0;
    FPending.clear();
    FDisplay = "0";
    Show_Error(Message);
}

bool TForm_Calculate::Complete_Pending()
{
    Tape(Tape_Sign(FPending) + FDisplay);
    if (FPending.isEmpty())
        return true;
    double Result = FX;
    if (FPending == "+")
        Result = FA + FX;
    else if (FPending == "-")
        Result = FA - FX;
    else if (FPending == "*")
        Result = FA * FX;
    else if (FPending == "/") {
        if (FX == 0.0)
            return false;
        Result = FA / FX;
    }
    return Show_Result(Result);
}

void TForm_Calculate::Do_Operation(const QString& Name)
{
    bool Ok = true;
    if (Name == "+" || Name == "-" || Name == "*" || Name == "/") {
        Ok = Complete_Pending();
        if (Ok) {
            FA = FX;
            FPending = Name;
        }
    } else if (Name == "=") {
        if (!FPending.isEmpty()) {
            Ok = Complete_Pending();
            if (Ok)
                Tape("=  " + FDisplay);
        }
        FPending.clear();
    } else if (Name == "%") {
        if (!FPending.isEmpty()) {
            Tape(Tape_Sign(FPending) + FDisplay);
            double Result = FX;
            if (FPending == "-")
                Result = (1.0 - FX / 100.0) * FA;
            else if (FPending == "+")
                Result = (1.0 + FX / 100.0) * FA;
            else if (FPending == "/")
                Result = FX == 0.0 ? HUGE_VAL : FA / FX * 100.0;
            else if (FPending == "*")
                Result = FX / 100.0 * FA;
            Ok = Show_Result(Result);
            if (Ok)
                Tape("%  " + FDisplay);
            FPending.clear();
        }
    } else {
        double Result = FX;
        if (Name == "1/X")
            Result = FX == 0.0 ? HUGE_VAL : 1.0 / FX;
        else if (Name == "ROUND")
            // Only numbers that fit in 64 bits are rounded.
            Result = (FX >= -9223372036854775808.0 && FX < 9223372036854775808.0)
                         ? static_cast<double>(RoundToInt64(FX))
                         : HUGE_VAL;
        else if (Name == "SQRT")
            Result = FX < 0.0 ? HUGE_VAL : std::sqrt(FX);
        else if (Name == Sign_Change)
            Result = -FX;
        else
            return;
        Ok = Show_Result(Result);
        if (Ok)
            Tape(Name + "  " + FDisplay);
    }
    if (!Ok)
        Fail(Text(ZoNumber::Text::OperationFailed));
    Label_Operation->setText(FPending);
    FNew_Number = true;
}

// ---------------------------------------------------------------------------
// Keyboard: keys are seen here before the controls get them.

bool TForm_Calculate::Key_Down(int Key, Qt::KeyboardModifiers Modifiers)
{
    if (Modifiers & Qt::KeypadModifier) {
        if (Key >= Qt::Key_0 && Key <= Qt::Key_9) {
            Digit_Entry(QChar('0' + (Key - Qt::Key_0)));
            return true;
        }
        switch (Key) {
        case Qt::Key_Asterisk: Do_Operation("*"); return true;
        case Qt::Key_Plus: Do_Operation("+"); return true;
        case Qt::Key_Minus: Do_Operation("-"); return true;
        case Qt::Key_Slash: Do_Operation("/"); return true;
        case Qt::Key_Period:
        case Qt::Key_Comma: Digit_Entry(QLatin1Char(Decimal_Separator)); return true;
        default: break;
        }
    }
    switch (Key) {
    case Qt::Key_Backspace: Backspace(); return true;
    case Qt::Key_Delete: Set_Display_Text("0"); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: Do_Operation("="); return true;
    default: return false;
    }
}

bool TForm_Calculate::Key_Char(QChar C)
{
    const ushort Code = C.unicode();
    if (C.isDigit() && Code < 128) {
        Digit_Entry(C);
        return true;
    }
    switch (Code) {
    case ',':
    case '.': Digit_Entry(QLatin1Char(Decimal_Separator)); return true;
    case '+':
    case '-':
    case '*':
    case '/':
    case '%':
    case '=': Do_Operation(QString(C)); return true;
    case 'R':
    case 'r': Do_Operation("ROUND"); return true;
    case 'S':
    case 's': Do_Operation("SQRT"); return true;
    case '\\': Do_Operation("1/X"); return true;
    case '_': Do_Operation(Sign_Change); return true;
    default: break;
    }
    // Blanks and control characters keep their usual meaning (buttons,
    // dialog keys); every other character is refused.
    if (C.isSpace() || C.category() == QChar::Other_Control)
        return false;
    Default_Beep();
    return true;
}

bool TForm_Calculate::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::KeyPress) {
        auto* Key = static_cast<QKeyEvent*>(Event);
        if (Key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return QDialog::eventFilter(Watched, Event);
        // Key-down stage: keypad keys, Backspace, Delete, Enter.
        if (Key_Down(Key->key(), Key->modifiers())) {
            FKey_Handled = true;
            return true;
        }
        // Character stage, unless the key was already handled.
        if (!FKey_Handled && Key->text().size() == 1 && Key_Char(Key->text().at(0)))
            return true;
        return QDialog::eventFilter(Watched, Event);
    }
    if (Event->type() == QEvent::KeyRelease) {
        FKey_Handled = false;
        return QDialog::eventFilter(Watched, Event);
    }
    if (Watched == ListBox_Check->viewport() && Event->type() == QEvent::MouseButtonDblClick) {
        Tape_Double_Click(static_cast<QMouseEvent*>(Event)->position().toPoint());
        return true;
    }
    if (Watched == ListBox_Check &&
        (Event->type() == QEvent::FocusIn || Event->type() == QEvent::FocusOut))
        Tape_Colours(Event->type() == QEvent::FocusIn);
    return QDialog::eventFilter(Watched, Event);
}

void TForm_Calculate::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    FNew_Number = true;
    // The keys are read by the window itself; the focus rests on a command
    // button rather than on the tape.
    (BitBtn_OK->isVisibleTo(this) ? BitBtn_OK : BitBtn_Cancel)->setFocus();
}

// ---------------------------------------------------------------------------
// Tape

void TForm_Calculate::Tape_Double_Click(const QPoint& Position)
{
    QListWidgetItem* Item = ListBox_Check->itemAt(Position);
    if (!Item) {
        Default_Beep();
        return;
    }
    ListBox_Check->setCurrentItem(Item);
    const QString Number = Number_At_End(Item->text());
    double Value = 0.0;
    if (Number.isEmpty() || !Text_To_Double(Number.toStdString(), Value)) {
        Default_Beep();
        return;
    }
    Set_Display_Text(Number);
    FNew_Number = true;
}

void TForm_Calculate::Tape_Colours(bool Focused)
{
    QPalette Palette = QApplication::palette(ListBox_Check);
    if (!Focused) {
        Palette.setColor(QPalette::Base, Palette.color(QPalette::Button));
        Palette.setColor(QPalette::Text, Colour_Purple);
    }
    ListBox_Check->setPalette(Palette);
}
