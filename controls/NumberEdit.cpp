#include "controls/NumberEdit.h"

#include "controls/Beep.h"
#include "controls/Calculator.h"
#include "controls/Glyphs.h"
#include "text/FloatFormat.h"
#include "text/NumberText.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace {
bool Same(double A, double B)
{
    return A == B || (std::isnan(A) && std::isnan(B));
}

bool Is_Digit(QChar C)
{
    return C >= QLatin1Char('0') && C <= QLatin1Char('9');
}

int64_t Hyp_Of(double V)
{
    return std::max(RoundToInt64(V), -std::numeric_limits<int64_t>::max());
}

// Where digits are counted from when the caret is kept over a reformat: the
// decimal separator, else the end of the last digit.
int Caret_Anchor(const QString& T)
{
    const int Separator = T.indexOf(QLatin1Char(Decimal_Separator));
    if (Separator >= 0)
        return Separator;
    for (int i = T.size(); i > 0; --i)
        if (Is_Digit(T[i - 1]))
            return i;
    return T.size();
}

// Digits between the caret and the anchor: positive left of it, negative right.
int Digit_Distance(const QString& T, int Caret)
{
    const int Anchor = Caret_Anchor(T);
    int D = 0;
    if (Caret <= Anchor) {
        for (int i = Caret; i < Anchor; ++i)
            D += Is_Digit(T[i]) ? 1 : 0;
        return D;
    }
    for (int i = Anchor; i < Caret && i < T.size(); ++i)
        D -= Is_Digit(T[i]) ? 1 : 0;
    return D;
}

// The caret position that stands Distance digits from the anchor of T.
int Caret_At_Distance(const QString& T, int Distance)
{
    int P = Caret_Anchor(T);
    int Count = 0;
    if (Distance >= 0) {
        while (Count < Distance && P > 0) {
            --P;
            Count += Is_Digit(T[P]) ? 1 : 0;
        }
        return P;
    }
    while (Count < -Distance && P < T.size()) {
        Count += Is_Digit(T[P]) ? 1 : 0;
        ++P;
    }
    return P;
}

class TFlag_Guard {
public:
    explicit TFlag_Guard(bool& Flag) : FFlag(Flag), FSaved(Flag) { FFlag = true; }
    ~TFlag_Guard() { FFlag = FSaved; }
    TFlag_Guard(const TFlag_Guard&) = delete;
    TFlag_Guard& operator=(const TFlag_Guard&) = delete;

private:
    bool& FFlag;
    bool FSaved;
};
}  // namespace

// ---------------------------------------------------------------------------
// TEdit_Num

TEdit_Num::TEdit_Num(QWidget* Parent)
    : QWidget(Parent), FEdit(new TCustom_Edit(this)), FSpin(new TSpin_Buttons(this)),
      FCalc_Button(new TEdit_Button(this))
{
    setMinimumSize(40, 2);
    setFocusProxy(FEdit);
    setFocusPolicy(Qt::StrongFocus);

    FEdit->setFrame(false);
    FEdit->setMaxLength(FMaxLength);
    FEdit->setText("0");
    FEdit->OnEnter = [this] { Do_Enter(); };
    FEdit->OnExit = [this] { Do_Exit(true); };
    FEdit->OnKeyDown = [this](QKeyEvent* Event) { return Inner_Key(Event); };
    connect(FEdit, &QLineEdit::textChanged, this, [this] { Text_Changed(); });

    FSpin->Set_TabStop(false);
    FSpin->Set_FocusControl(FEdit);
    FSpin->resize(15, 17);
    FSpin->OnUpClick = [this](QObject*) { Step_Up(); };
    FSpin->OnDownClick = [this](QObject*) { Step_Down(); };

    FCalc_Button->resize(15, 17);
    FCalc_Button->Set_NumGlyphs(Zo_Glyph_Count("CALCULATE"));
    FCalc_Button->Set_Glyph(Zo_Glyph("CALCULATE"));
    FCalc_Button->Set_FocusControl(FEdit);
    FCalc_Button->OnClick = [this](QObject*) { Calculator_Click(); };

    resize(Default_Width, Default_Height);
    Lay_Out();
}

TEdit_Num::~TEdit_Num()
{
    // The children outlive this object's own part: stop their calls back.
    FEdit->OnEnter = nullptr;
    FEdit->OnExit = nullptr;
    FEdit->OnKeyDown = nullptr;
    FEdit->disconnect(this);
    FSpin->OnUpClick = nullptr;
    FSpin->OnDownClick = nullptr;
    FCalc_Button->OnClick = nullptr;
}

double TEdit_Num::Value()
{
    if (FTyping) {
        Do_Exit(false);
        FTyping = FMay_Direct_Edit;
    }
    return FValue;
}

int TEdit_Num::ValueInt()
{
    const int64_t R = RoundToInt64(Value());
    return static_cast<int>(std::clamp<int64_t>(R, -2147483647, 2147483647));
}

int64_t TEdit_Num::ValueHyp()
{
    return Hyp_Of(Value());
}

double TEdit_Num::Clamp(double V)
{
    if (FTyping)
        FChanged_While_Typing = true;
    if (!Limits_On())
        return V;
    double R = V;
    if (!FTyping) {
        if (V < FMinValue)
            R = FMinValue;
        else if (V > FMaxValue)
            R = FMaxValue;
    }
    FSpin->Set_Enabled_Down(V > FMinValue);
    FSpin->Set_Enabled_Up(V < FMaxValue);
    return R;
}

QString TEdit_Num::Value_Text() const
{
    if (FValue < No_Value_Threshold)
        return QString::fromStdString(ZoNumber::Get_Text(ZoNumber::Text::NoValueText));
    std::string S;
    std::optional<std::string> Formatted;
    if (!FFormat.isEmpty())
        Formatted = Format_Float(FFormat.toStdString(), FValue);
    if (Formatted || FRealNumber) {
        if (Formatted) {
            S = *Formatted;
        } else {
            S = FloatToFixed(11, FValue);
            if (S.find(Decimal_Separator) != std::string::npos) {
                while (!S.empty() && S.back() == '0')
                    S.pop_back();
                if (!S.empty() && S.back() == Decimal_Separator)
                    S.push_back('0');
            }
        }
        if (FShowSignify && FValue != 0.0 && Text_Shows_Only_Zeros(S))
            S = FormatSignificant(1, 1, FValue);
    } else {
        S = Int64ToText(Hyp_Of(FValue));
    }
    if (FSeparateThousands)
        S = InsertGroupSeparators(S);
    return QString::fromStdString(S);
}

void TEdit_Num::Put_Text(const QString& Text)
{
    const QString Old = FEdit->text();
    if (Old == Text)
        return;
    TFlag_Guard Guard(FReentry);
    int Caret = FEdit->hasSelectedText() ? FEdit->selectionEnd() : FEdit->cursorPosition();
    // A program's text is shown whole, even when it is longer than MaxLength.
    FEdit->setMaxLength(std::max<int>(FEdit->maxLength(), Text.size()));
    FEdit->setText(Text);
    FEdit->setMaxLength(std::max<int>(FMaxLength, Text.size()));
    if (FSeparateThousands && Text.size() > Old.size())
        ++Caret;
    FEdit->setCursorPosition(std::min<int>(Caret, Text.size()));
}

void TEdit_Num::Set_Value(double V)
{
    const double Old = FValue;
    FValue = Clamp(V);
    Put_Text(Value_Text());
    if (Old != 0.0 && FValue == 0.0) {
        const int Separator = FEdit->text().indexOf(QLatin1Char(Decimal_Separator));
        TFlag_Guard Guard(FReentry);
        FEdit->setCursorPosition(Separator >= 0 ? Separator : FEdit->text().size());
    }
    if (!Same(FValue, V) && FEdit->hasFocus())
        Default_Beep();
    // A clamped value is reported too: the owner must learn the value it got.
    if (!Same(FValue, Old) && OnChange && !FTyping &&
        (!Limits_On() || (FMinValue <= FValue && FValue <= FMaxValue)))
        OnChange(this);
}

void TEdit_Num::Text_Changed()
{
    if (FReentry)
        return;
    TFlag_Guard Guard(FReentry);
    QString T = FEdit->text();
    int Caret = FEdit->hasSelectedText() ? FEdit->selectionEnd() : FEdit->cursorPosition();

    if (T == QString::fromStdString(ZoNumber::Get_Text(ZoNumber::Text::NoValueText))) {
        Set_Value(No_Value);
        FEdit->setCursorPosition(std::min<int>(Caret, FEdit->text().size()));
        return;
    }

    // "," and "." both mean the decimal separator; a second one is removed.
    QString Normal;
    Normal.reserve(T.size());
    bool Seen = false;
    int Normal_Caret = Caret;
    for (int i = 0; i < T.size(); ++i) {
        QChar C = T[i];
        if (C == QLatin1Char(',') || C == QLatin1Char('.'))
            C = QLatin1Char(Decimal_Separator);
        if (C == QLatin1Char(Decimal_Separator)) {
            if (Seen) {
                if (i < Caret)
                    --Normal_Caret;
                continue;
            }
            Seen = true;
        }
        Normal += C;
    }
    if (Normal != T) {
        FEdit->setText(Normal);
        T = Normal;
        Caret = Normal_Caret;
    }

    int Position = 1;
    const std::string Number = ExtractFixed(T.toStdString(), Position);
    if (Number.empty() || Number == "-" || Number == "+") {
        // Nothing to read yet: the value is 0, the text stays as typed.
        const double Old = FValue;
        if (Old != 0.0) {
            FValue = Clamp(0.0);
            if (!FTyping) {
                if (FValue != 0.0 && FEdit->hasFocus())
                    Default_Beep();
                if (OnChange && !Same(FValue, Old))
                    OnChange(this);
            }
        }
        FEdit->setCursorPosition(std::min<int>(Caret, FEdit->text().size()));
        return;
    }

    const int Distance = Digit_Distance(T, Caret);
    double V = 0.0;
    bool Ok;
    if (FRealNumber) {
        Ok = Text_To_Double(Number, V);
    } else {
        int64_t I = 0;
        const auto [End, Error] = std::from_chars(Number.data(), Number.data() + Number.size(), I);
        Ok = Error == std::errc() && End == Number.data() + Number.size();
        V = static_cast<double>(I);
    }
    if (Ok && !Same(V, FValue)) {
        Set_Value(V);
        const QString New_Text = FEdit->text();
        if (New_Text != T)
            Caret = Caret_At_Distance(New_Text, Distance);
    }
    FEdit->setCursorPosition(std::min<int>(Caret, FEdit->text().size()));
}

void TEdit_Num::Do_Enter()
{
    FChanged_While_Typing = false;
    FTyping = FMay_Direct_Edit;
    if (!FAutoSelect && FEdit->hasSelectedText())
        FEdit->deselect();
    if (OnEnter)
        OnEnter(this);
}

void TEdit_Num::Do_Exit(bool Leaving)
{
    FTyping = false;
    const double C = Clamp(FValue);
    if (!Same(C, FValue)) {
        Set_Value(C);
    } else if (FChanged_While_Typing && OnChange) {
        FChanged_While_Typing = false;
        OnChange(this);
    }
    FChanged_While_Typing = false;
    // A field that was left shows its value in its own notation again.
    if (Leaving)
        Put_Text(Value_Text());
}

void TEdit_Num::Step_Up()
{
    if (ReadOnly()) {
        Default_Beep();
        return;
    }
    const bool Typing = FTyping;
    FTyping = false;
    if (OnClickUp)
        OnClickUp(this);
    else
        Set_Value(FValue + FIncrement);
    FChanged_While_Typing = false;
    FTyping = Typing;
}

void TEdit_Num::Step_Down()
{
    if (ReadOnly()) {
        Default_Beep();
        return;
    }
    const bool Typing = FTyping;
    FTyping = false;
    if (OnClickDown)
        OnClickDown(this);
    else
        Set_Value(FValue - FIncrement);
    FChanged_While_Typing = false;
    FTyping = Typing;
}

void TEdit_Num::Calculator_Click()
{
    QPointer<TForm_Calculate> Form = Calculator_Create();
    if (!Form) {
        Default_Beep();
        return;
    }
    if (Form->isVisible())
        Form->hide();
    const double Start = Value();
    Form->Calculator_Prepare();
    Form->Calculator_Set_Number(Start);
    if (!Form->property("Zo_Placed").toBool()) {
        const QRect Owner = window()->frameGeometry();
        Form->move(Owner.center() - QPoint(Form->width() / 2, Form->height() / 2));
        Form->setProperty("Zo_Placed", true);
    }
    QPointer<TEdit_Num> Self(this);
    const int Result = Form->exec();
    if (!Form)
        return;
    if (Self && Result == 1 && !ReadOnly())
        Set_Value(Form->X());
    Form->Calculator_Release();
}

bool TEdit_Num::Inner_Key(QKeyEvent* Event)
{
    if (Event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    if (Event->key() == Qt::Key_Up) {
        Step_Up();
        return true;
    }
    if (Event->key() == Qt::Key_Down) {
        Step_Down();
        return true;
    }
    return false;
}

void TEdit_Num::keyPressEvent(QKeyEvent* Event)
{
    if (Inner_Key(Event)) {
        Event->accept();
        return;
    }
    QWidget::keyPressEvent(Event);
}

// ---------------------------------------------------------------------------
// Properties

void TEdit_Num::Set_MinValue(double V)
{
    FMinValue = FRealNumber ? V : static_cast<double>(RoundToInt64(V));
}

void TEdit_Num::Set_MaxValue(double V)
{
    FMaxValue = FRealNumber ? V : static_cast<double>(RoundToInt64(V));
}

void TEdit_Num::Set_Increment(double V)
{
    FIncrement = FRealNumber ? V : std::fabs(static_cast<double>(RoundToInt64(V)));
    if (FIncrement == 0.0 || std::isnan(FIncrement))
        FIncrement = 1.0;
}

void TEdit_Num::Set_Format(const QString& V)
{
    if (V == FFormat)
        return;
    FFormat = V;
    Put_Text(Value_Text());
}

void TEdit_Num::Set_RealNumber(bool V)
{
    FRealNumber = V;
    Put_Text(Value_Text());
}

void TEdit_Num::Set_SeparateThousands(bool V)
{
    FSeparateThousands = V;
    Set_Value(FValue);
}

void TEdit_Num::Set_ShowSignify(bool V)
{
    if (V == FShowSignify)
        return;
    FShowSignify = V;
    Set_Value(FValue);
}

bool TEdit_Num::ReadOnly() const
{
    return FEdit->isReadOnly();
}

void TEdit_Num::Set_ReadOnly(bool V)
{
    FEdit->setReadOnly(V);
    FSpin->setEnabled(!V);
}

void TEdit_Num::Set_Calculator(bool V)
{
    FCalculator = V;
    FCalc_Button->setVisible(V);
    Lay_Out();
}

bool TEdit_Num::SpinEnabled() const
{
    return !FSpin->isHidden();
}

void TEdit_Num::Set_SpinEnabled(bool V)
{
    FSpin->setVisible(V);
    Lay_Out();
}

void TEdit_Num::Set_MaxLength(int V)
{
    FMaxLength = V > 0 ? V : 32767;
    FEdit->setMaxLength(std::max<int>(FMaxLength, FEdit->text().size()));
}

bool TEdit_Num::TabStop() const
{
    return FEdit->focusPolicy() == Qt::StrongFocus;
}

void TEdit_Num::Set_TabStop(bool V)
{
    FEdit->setFocusPolicy(V ? Qt::StrongFocus : Qt::ClickFocus);
}

void TEdit_Num::Set_MaxEditWidth(int V)
{
    FMaxEditWidth = V;
    Lay_Out();
}

void TEdit_Num::Set_Caption(const QString& V)
{
    if (V == FCaption)
        return;
    FCaption = V;
    if (!V.isEmpty()) {
        if (!FLabel) {
            FLabel = new QLabel(this);
            FLabel->show();
        }
        FLabel->setText(V);
    } else {
        delete FLabel;
        FLabel = nullptr;
    }
    Lay_Out();
}

// ---------------------------------------------------------------------------
// Layout and painting

void TEdit_Num::Lay_Out(int Width, int Height)
{
    Width = std::max(Width, 40);
    Height = std::max(Height, 2);
    int M = 2;
    if (!FCalc_Button->isHidden()) {
        M += FCalc_Button->width() - 1;
        FCalc_Button->setGeometry(Width - M, 1, FCalc_Button->width(), Height - 2);
    } else {
        FCalc_Button->move(Width, FCalc_Button->y());
    }
    if (!FSpin->isHidden()) {
        M += FSpin->width() - 1;
        FSpin->setGeometry(Width - M, 1, FSpin->width(), Height - 2);
    } else {
        FSpin->move(Width, FSpin->y());
    }
    int X = 0;
    if (FLabel) {
        FLabel->adjustSize();
        X = std::max(std::min(FLabel->width() + 2, Width - 40), 1);
        FLabel->setGeometry(0, (Height - FLabel->height()) / 2, std::max(X - 2, 0),
                            FLabel->height());
    }
    int W = Width - M - X;
    if (FMaxEditWidth >= 1 && FMaxEditWidth < W) {
        W = FMaxEditWidth;
        X = Width - M - FMaxEditWidth;
    }
    FEdit->setGeometry(X + 1, 1, W, Height - 2);
    FFrame = QRect(X, 0, Width - X, Height);
    update();
}

void TEdit_Num::resizeEvent(QResizeEvent* Event)
{
    QWidget::resizeEvent(Event);
    Lay_Out();
}

void TEdit_Num::paintEvent(QPaintEvent*)
{
    // The inner box sits one pixel inside a frame that also holds the buttons.
    QPainter P(this);
    P.fillRect(FFrame, palette().color(isEnabled() ? QPalette::Base : QPalette::Window));
    P.setPen(palette().color(QPalette::Mid));
    P.drawRect(FFrame.adjusted(0, 0, -1, -1));
}
