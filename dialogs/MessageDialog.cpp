#include "dialogs/MessageDialog.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStyle>
#include <QTextLayout>
#include <algorithm>
#include <array>
#include <deque>

#include "dialogs/WindowPlace.h"
#include "engine/UserLink.h"

namespace ZoDialog {
namespace {

using Table = std::array<QString, static_cast<int>(Text::Count_)>;

const Table& Russian()
{
    static const Table T = {QStringLiteral("Внимание!"), QStringLiteral("Подтвердите"),
                            QStringLiteral("Проблема"),  QStringLiteral("1OK"),
                            QStringLiteral("1&Да"),      QStringLiteral("2&Нет")};
    return T;
}

const Table& English()
{
    static const Table T = {QStringLiteral("Attention!"), QStringLiteral("Confirm"),
                            QStringLiteral("Problem"),    QStringLiteral("1OK"),
                            QStringLiteral("1&Yes"),      QStringLiteral("2&No")};
    return T;
}

const Table* Current = nullptr;

// The cascade of open dialogs.
int Open_Count = 0;
int Last_X = NotSet;
int Last_Y = NotSet;

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

int Open_Dialog_Count()
{
    return Open_Count;
}

}  // namespace ZoDialog

using namespace ZoDialog;

namespace {

constexpr int Picture_Size = 40;
constexpr int Image_Left = 8, Image_Top = 12;
constexpr int Button_Height = 27;
constexpr int Button_Spacing = 20;
constexpr int Glyph_Width = 16;

QString Kind_Title(int Kind)
{
    switch (Kind) {
    case Kind_Plain:
    case Kind_Warn: return Get_Text(Text::Title_Attention);
    case Kind_Flash:
    case Kind_Stop: return Get_Text(Text::Title_Problem);
    default: return Get_Text(Text::Title_Confirm);
    }
}

// A lightning flash on a red disc: the picture of a problem.
QPixmap Flash_Picture()
{
    QPixmap P(Picture_Size, Picture_Size);
    P.fill(Qt::transparent);
    QPainter G(&P);
    G.setRenderHint(QPainter::Antialiasing);
    G.setPen(QPen(QColor(120, 0, 0), 1.5));
    G.setBrush(QColor(200, 30, 30));
    G.drawEllipse(QRectF(2, 2, 36, 36));
    QPainterPath Bolt;
    Bolt.moveTo(23, 6);
    Bolt.lineTo(12, 22);
    Bolt.lineTo(19, 22);
    Bolt.lineTo(15, 34);
    Bolt.lineTo(28, 16);
    Bolt.lineTo(21, 16);
    Bolt.closeSubpath();
    G.setPen(QPen(QColor(90, 60, 0), 1));
    G.setBrush(QColor(255, 220, 0));
    G.drawPath(Bolt);
    return P;
}

// The picture of a kind (none for kind 0), 40×40 with a transparent background.
QPixmap Kind_Picture(int Kind, const QStyle* Style)
{
    if (Kind == Kind_Plain)
        return {};
    if (Kind == Kind_Flash)
        return Flash_Picture();
    const QStyle::StandardPixmap Icon = Kind == Kind_Warn   ? QStyle::SP_MessageBoxWarning
                                        : Kind == Kind_Stop ? QStyle::SP_MessageBoxCritical
                                                            : QStyle::SP_MessageBoxQuestion;
    const QPixmap Glyph = Style->standardIcon(Icon).pixmap(32, 32);
    if (Glyph.isNull())
        return {};
    QPixmap P(Picture_Size, Picture_Size);
    P.fill(Qt::transparent);
    QPainter G(&P);
    const QSize S = Glyph.deviceIndependentSize().toSize();
    G.drawPixmap((Picture_Size - S.width()) / 2, (Picture_Size - S.height()) / 2, Glyph);
    return P;
}

// Text broken into lines no wider than Max_Width for Font: at word boundaries
// where there are some, inside a word that is wider than the line by itself.
QString Wrap_Text(const QString& Text, const QFont& Font, int Max_Width)
{
    QStringList Lines;
    QTextOption Option;
    Option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    for (const QString& Paragraph : Text.split(QLatin1Char('\n'))) {
        QTextLayout Layout(Paragraph, Font);
        Layout.setTextOption(Option);
        Layout.beginLayout();
        for (QTextLine Line = Layout.createLine(); Line.isValid(); Line = Layout.createLine()) {
            Line.setLineWidth(Max_Width);
            QString Part = Paragraph.mid(Line.textStart(), Line.textLength());
            while (!Part.isEmpty() && Part.back().isSpace())
                Part.chop(1);
            Lines << Part;
        }
        Layout.endLayout();
        if (Paragraph.isEmpty())
            Lines << QString();
    }
    return Lines.join(QLatin1Char('\n'));
}

}  // namespace

TForm_Dialog::TForm_Dialog(QWidget* Owner)
    : QDialog(Owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form_Dialog"));
    setWindowTitle(QStringLiteral("Сообщение"));
    setAttribute(Qt::WA_QuitOnClose, false);
    QFont F = font();
    F.setBold(true);
    F.setPixelSize(13);
    setFont(F);

    Image_Rect = QRect(Image_Left, Image_Top, Picture_Size, Picture_Size);

    Label_Text = new QLabel(this);
    Label_Text->setObjectName(QStringLiteral("Label_Text"));
    Label_Text->setTextFormat(Qt::PlainText);
    Label_Text->setAlignment(Qt::AlignCenter);
    Label_Text->setTextInteractionFlags(Qt::NoTextInteraction);

    BitBtn_1 = new QPushButton(this);
    BitBtn_1->setObjectName(QStringLiteral("BitBtn_1"));
}

TForm_Dialog::~TForm_Dialog()
{
    if (Placed) {
        Open_Count = std::max(0, Open_Count - 1);
        Last_X = Prev_X;
        Last_Y = Prev_Y;
    }
}

TForm_Dialog::TButton TForm_Dialog::Apply_Role(QPushButton* Button, const QString& Source,
                                               int Position, int Flags)
{
    TButton B{Button, 100 + Position, false, false};
    const QChar Role = Source.isEmpty() ? QChar() : Source.front();
    const bool Has_Role =
        Role == QLatin1Char('1') || Role == QLatin1Char('2') || Role == QLatin1Char('3');
    Button->setText(Has_Role ? Source.mid(1) : Source);
    Button->setIcon(QIcon());
    if (!Has_Role)
        return B;

    const QStyle::StandardPixmap Glyph = Role == QLatin1Char('1')   ? QStyle::SP_DialogOkButton
                                         : Role == QLatin1Char('2') ? QStyle::SP_DialogNoButton
                                                                    : QStyle::SP_DialogCancelButton;
    Button->setIcon(style()->standardIcon(Glyph));
    Button->setIconSize(QSize(Glyph_Width, Glyph_Width));

    if (Flags & Flag_Ask) {
        B.Result = Role == QLatin1Char('1') ? 6 : Role == QLatin1Char('2') ? 7 : 2;
        B.Is_Default = Role == QLatin1Char('1');
        B.Is_Cancel = !B.Is_Default;
    } else if (Flags & Flag_Choose) {
        B.Is_Default = Role == QLatin1Char('1');
        B.Is_Cancel = !B.Is_Default;
    } else {
        B.Result = 1;
        B.Is_Default = B.Is_Cancel = true;
    }
    return B;
}

void TForm_Dialog::Lay_Out(const QString& Text)
{
    const QFontMetrics Metrics(font());
    const QRect Area = Screen_Area_Of(parentWidget());

    // Buttons: caption width + 20 + one glyph, in a row 20 pixels apart.
    int Row_Width = 0;
    const int Height = std::max(Button_Height, BitBtn_1->sizeHint().height());
    for (const TButton& B : Buttons) {
        QString Caption = B.Button->text();
        Caption.remove(QLatin1Char('&'));
        int Width = Metrics.horizontalAdvance(Caption) + 20;
        if (!B.Button->icon().isNull())
            Width += Glyph_Width;
        Width = std::max(Width, B.Button->sizeHint().width());
        B.Button->resize(Width, Height);
        Row_Width += Width + (Row_Width > 0 ? Button_Spacing : 0);
    }

    // The text: one line when it fits, else wrapped within the screen.
    const int Max_Width = Area.width() - Picture_Size - 60;
    Label_Text->setText(Text);
    if (Label_Text->sizeHint().width() > Max_Width)
        Label_Text->setText(Wrap_Text(Text, font(), Max_Width));
    const QSize Label_Size = Label_Text->sizeHint();

    const int R = Image_Rect.left() + Picture_Size + 20 + Label_Size.width();
    const int Client_Width = R > Row_Width + 20 ? R + 20 : Row_Width + 40;
    const int Client_Height = Height + std::max(Picture_Size, Label_Size.height()) + 12;
    setFixedSize(Client_Width, Client_Height);

    const int Top = Client_Height - Height - 4;
    int Left = (Client_Width - Row_Width) / 2;
    for (const TButton& B : Buttons) {
        B.Button->move(Left, Top);
        Left += B.Button->width() + Button_Spacing;
    }
    Label_Text->setGeometry(Image_Rect.left() + Picture_Size + 20, (Top - Label_Size.height()) / 2,
                            Label_Size.width(), Label_Size.height());
    Image_Rect.moveTop((Top - Picture_Size) / 2);
}

void TForm_Dialog::Place_In_Cascade()
{
    const QRect Area = Screen_Area_Of(parentWidget());
    const QSize Size = frameGeometry().size();
    long long X, Y;
    if (Open_Count == 0) {
        X = Area.left() + std::max(0, (Area.width() - Size.width()) / 2);
        Y = Area.top() + std::max(0, (Area.height() - Size.height()) / 2);
    } else {
        X = static_cast<long long>(Last_X) + Cascade_Step;
        Y = static_cast<long long>(Last_Y) + Cascade_Step;
        // Wrap round when leaving the screen at the right or the bottom, then
        // step forward into the screen.
        if (X + Size.width() > Area.left() + Area.width())
            X -= Area.width();
        if (Y + Size.height() > Area.top() + Area.height())
            Y -= Area.height();
        if (X < Area.left())
            X += (Area.left() - X + Cascade_Step - 1) / Cascade_Step * Cascade_Step;
        if (Y < Area.top())
            Y += (Area.top() - Y + Cascade_Step - 1) / Cascade_Step * Cascade_Step;
    }
    Prev_X = Last_X;
    Prev_Y = Last_Y;
    Last_X = static_cast<int>(X);
    Last_Y = static_cast<int>(Y);
    ++Open_Count;
    Placed = true;
    move(Last_X, Last_Y);
}

int TForm_Dialog::Dialog_Execute(int Flags, const QString& Text, const QString& B1,
                                 const QString& B2, const QString& B3, const QString& B4)
{
    const int Kind = Flags & 0xFF;
    setWindowTitle(Kind_Title(Kind));
    Picture = Kind_Picture(Kind, style());

    Buttons.clear();
    Buttons.push_back(Apply_Role(BitBtn_1, B1, 1, Flags));
    const QString* More[] = {&B2, &B3, &B4};
    for (int I = 0; I < 3; ++I) {
        if (More[I]->isEmpty())
            continue;
        auto* Button = new QPushButton(this);
        Button->setObjectName(QStringLiteral("BitBtn_%1").arg(Buttons.size() + 1));
        Buttons.push_back(Apply_Role(Button, *More[I], I + 2, Flags));
    }

    QPushButton* Focus = nullptr;
    for (const TButton& B : Buttons) {
        const int Result = B.Result;
        connect(B.Button, &QPushButton::clicked, this, [this, Result] { done(Result); });
        if (B.Is_Default && !Focus)
            Focus = B.Button;
    }
    if (Focus) {
        Focus->setDefault(true);
        Focus->setFocus();
    }

    Lay_Out(Text);
    Place_In_Cascade();
    return exec();
}

void TForm_Dialog::paintEvent(QPaintEvent* Event)
{
    QDialog::paintEvent(Event);
    QPainter Painter(this);
    Painter.fillRect(Image_Rect, palette().window());
    if (!Picture.isNull())
        Painter.drawPixmap(Image_Rect.topLeft(), Picture);
}

void TForm_Dialog::keyPressEvent(QKeyEvent* Event)
{
    if (Event->key() == Qt::Key_Escape && Event->modifiers() == Qt::NoModifier) {
        // Esc presses the first cancel button; without one it does nothing.
        for (const TButton& B : Buttons)
            if (B.Is_Cancel && B.Button->isEnabled()) {
                B.Button->click();
                return;
            }
        Event->accept();
        return;
    }
    QDialog::keyPressEvent(Event);
}

void TForm_Dialog::reject()
{
    done(2);
}

namespace {

std::deque<int> Next_Answers;
QStringList Answered;

int Run_Dialog(QWidget* Owner, int Flags, const QString& Text, const QString& B1,
               const QString& B2 = {}, const QString& B3 = {}, const QString& B4 = {})
{
    if (!Next_Answers.empty()) {
        const int Result = Next_Answers.front();
        Next_Answers.pop_front();
        Answered.append(Text);
        return Result;
    }
    auto* Dialog = new TForm_Dialog(Owner ? Owner : QApplication::activeWindow());
    Dialog->setAttribute(Qt::WA_DeleteOnClose);
    return Dialog->Dialog_Execute(Flags, Text, B1, B2, B3, B4);  // frees the dialog
}

}  // namespace

void Dialog_Error(const QString& Text)
{
    Run_Dialog(nullptr, Kind_Flash, Text + QLatin1Char('!'), Get_Text(ZoDialog::Text::Button_OK));
}

void Dialog_Warning(const QString& Text)
{
    Run_Dialog(nullptr, Kind_Warn, Text + QLatin1Char('!'), Get_Text(ZoDialog::Text::Button_OK));
}

int Dialog_Confirm(const QString& Text)
{
    return Dialog_Ask(nullptr, Kind_Query, Text);
}

void Dialog_Show(QWidget* Owner, int Kind, const QString& Text)
{
    Run_Dialog(Owner, Kind & 0xFF, Text, Get_Text(ZoDialog::Text::Button_OK));
}

int Dialog_Ask(QWidget* Owner, int Kind, const QString& Text)
{
    return Run_Dialog(Owner, (Kind & 0xFF) | Flag_Ask, Text, Get_Text(ZoDialog::Text::Button_Yes),
                      Get_Text(ZoDialog::Text::Button_No));
}

int Dialog_Choose(int Kind, const QString& Text, const QString& B1, const QString& B2,
                  const QString& B3, const QString& B4)
{
    return Run_Dialog(nullptr, (Kind & 0xFF) | Flag_Choose, Text, B1, B2, B3, B4);
}

int Dialog_Choose3(const QString& Text, const QString& B1, const QString& B2, const QString& B3)
{
    return Dialog_Choose(Kind_Query, Text, B1, B2, B3);
}

void ZoDialog::Answer_Next(int Result)
{
    Next_Answers.push_back(Result);
}

int ZoDialog::Pending_Answers()
{
    return static_cast<int>(Next_Answers.size());
}

QStringList ZoDialog::Take_Answered()
{
    QStringList Texts;
    Texts.swap(Answered);
    return Texts;
}
