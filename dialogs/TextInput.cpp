#include "dialogs/TextInput.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "controls/ColorButton.h"
#include "dialogs/WindowPlace.h"

namespace ZoText {
namespace {

struct TTable {
    QString Entries[static_cast<int>(Text::Count_)];
};

const TTable& Russian()
{
    static const TTable T{{QStringLiteral("Ввод текста"), QStringLiteral("&Отмена")}};
    return T;
}

const TTable& English()
{
    static const TTable T{{QStringLiteral("Text input"), QStringLiteral("&Cancel")}};
    return T;
}

const TTable* Current = nullptr;

int Left = NotSet;
int Top = NotSet;

}  // namespace

void Set_Language(int Language)
{
    Current = Language == 1 ? &Russian() : &English();
}

const QString& Get_Text(Text Entry)
{
    if (!Current)
        Current = &Russian();
    return Current->Entries[static_cast<int>(Entry)];
}

int Last_Left()
{
    return Left;
}

int Last_Top()
{
    return Top;
}

void Forget_Position()
{
    Left = Top = NotSet;
}

}  // namespace ZoText

namespace {

constexpr int Gap = Placement_Gap;
constexpr int Box_Width = 281;  // the input boxes, at least
// QLineEdit's own limit, which stands for "no limit".
constexpr int No_Limit = 32767;

TBtn_Clr* New_Button(QWidget* Form, TBtn_Clr::TBitBtnKind Kind, const char* Name, int Width)
{
    auto* Button = new TBtn_Clr(Form);
    Button->Set_Kind(Kind);
    Button->setObjectName(QString::fromLatin1(Name));
    Button->setFixedWidth(std::max(Width, Button->sizeHint().width()));
    return Button;
}

}  // namespace

TForm_ZoText::TForm_ZoText(QWidget* Owner) : QDialog(Owner)
{
    setObjectName(QStringLiteral("Form_ZoText"));
    setWindowTitle(ZoText::Get_Text(ZoText::Text::Caption));

    Edit = new QLineEdit(this);
    Edit->setObjectName(QStringLiteral("Edit"));
    Edit->setMinimumWidth(Box_Width);
    Edit->setMaxLength(No_Limit);

    BitBtn_OK = New_Button(this, TBtn_Clr::TBitBtnKind::bkOK, "BitBtn_OK", 65);
    BitBtn_OK->Set_Default(true);
    BitBtn_Cancel = New_Button(this, TBtn_Clr::TBitBtnKind::bkCancel, "BitBtn_Cancel", 81);
    BitBtn_Cancel->setText(ZoText::Get_Text(ZoText::Text::Cancel_Button));
    BitBtn_Cancel->setFixedWidth(std::max(81, BitBtn_Cancel->sizeHint().width()));
    BitBtn_Cancel->Set_Cancel(true);

    auto* Buttons = new QHBoxLayout;
    Buttons->setSpacing(2 * Gap);
    Buttons->addStretch(1);
    Buttons->addWidget(BitBtn_OK);
    Buttons->addWidget(BitBtn_Cancel);
    Buttons->addStretch(1);

    Layout = new QVBoxLayout(this);
    Layout->setContentsMargins(Gap, Gap, Gap, Gap);
    Layout->setSpacing(Gap);
    Layout->addWidget(Edit);
    Layout->addSpacing(Gap);
    Layout->addLayout(Buttons);
    Layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(Edit, BitBtn_OK);
    setTabOrder(BitBtn_OK, BitBtn_Cancel);
    Edit->setFocus();
}

TForm_ZoText::~TForm_ZoText() = default;

QWidget* TForm_ZoText::Input_Box() const
{
    return ComboBox ? static_cast<QWidget*>(ComboBox) : Edit;
}

QString TForm_ZoText::Text() const
{
    return ComboBox ? ComboBox->currentText() : Edit->text();
}

void TForm_ZoText::Set_Text(const QString& Value)
{
    if (ComboBox)
        ComboBox->setEditText(Value);
    else
        Edit->setText(Value);
}

void TForm_ZoText::Set_Max_Length(int Value)
{
    FMax_Length = std::max(Value, 0);
    Apply_Max_Length();
}

void TForm_ZoText::Apply_Max_Length()
{
    const int Limit = FMax_Length > 0 ? FMax_Length : No_Limit;
    for (QLineEdit* E : {Edit, ComboBox ? ComboBox->lineEdit() : nullptr,
                         ComboBox_2 ? ComboBox_2->lineEdit() : nullptr})
        if (E)
            E->setMaxLength(Limit);
}

QComboBox* TForm_ZoText::New_Box()
{
    auto* Box = new QComboBox(this);
    Box->setEditable(true);
    // The caller keeps the history; what is typed is taken as it stands
    // (no completion from the list, which would also ignore letter case).
    Box->setInsertPolicy(QComboBox::NoInsert);
    Box->setCompleter(nullptr);
    Box->setMaxVisibleItems(20);
    Box->setMinimumWidth(Box_Width);
    Box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return Box;
}

void TForm_ZoText::Add_Second_Box(const QString& First_Label, const QString& Second_Label,
                                  const QStringList& History, const QString& Text)
{
    if (ComboBox_2)
        return;
    QWidget* First = Input_Box();
    Label_1 = new QLabel(First_Label, this);
    Label_1->setObjectName(QStringLiteral("Label_1"));
    Label_1->setBuddy(First);
    Label_2 = new QLabel(Second_Label, this);
    Label_2->setObjectName(QStringLiteral("Label_2"));
    ComboBox_2 = New_Box();
    ComboBox_2->setObjectName(QStringLiteral("ComboBox_2"));
    ComboBox_2->addItems(History);
    ComboBox_2->setEditText(Text);
    Label_2->setBuddy(ComboBox_2);

    const int At = Layout->indexOf(First);
    Layout->insertWidget(At, Label_1);
    // The second pair stands a little apart from the first.
    Layout->insertSpacing(At + 2, Gap);
    Layout->insertWidget(At + 3, Label_2);
    Layout->insertWidget(At + 4, ComboBox_2);
    setTabOrder(First, ComboBox_2);
    setTabOrder(ComboBox_2, BitBtn_OK);
    Apply_Max_Length();
}

QString TForm_ZoText::Second_Text() const
{
    return ComboBox_2 ? ComboBox_2->currentText() : QString();
}

void TForm_ZoText::showEvent(QShowEvent* Event)
{
    if (!Placed) {
        // Where the last text input window was closed; centred the first time.
        Placed = true;
        layout()->activate();
        Set_Window_Bounds_Loose(this, ZoText::Last_Left(), ZoText::Last_Top(), NotSet, NotSet);
    }
    QDialog::showEvent(Event);
}

void TForm_ZoText::done(int Result)
{
    int Width = 0, Height = 0;
    int Left = ZoText::Last_Left(), Top = ZoText::Last_Top();
    Get_Window_Bounds(this, Left, Top, Width, Height);
    ZoText::Left = Left;
    ZoText::Top = Top;
    QDialog::done(Result);
}

void Text_Set_History(TForm_ZoText* Window, const QStringList* History)
{
    if (!Window)
        return;
    if (!Window->ComboBox) {
        QLineEdit* Edit = Window->Edit;
        QComboBox* Box = Window->New_Box();
        Box->setObjectName(QStringLiteral("ComboBox"));
        Box->setFont(Edit->font());
        Box->setPalette(Edit->palette());
        Box->setEditText(Edit->text());
        Box->setEnabled(Edit->isEnabled());
        Box->setVisible(Edit->isVisibleTo(Window));
        const bool Had_Focus = Window->focusWidget() == Edit;
        delete Window->Layout->replaceWidget(Edit, Box);
        QWidget::setTabOrder(Box, Window->ComboBox_2 ? static_cast<QWidget*>(Window->ComboBox_2)
                                                     : Window->BitBtn_OK);
        if (Window->Label_1)
            Window->Label_1->setBuddy(Box);
        Window->ComboBox = Box;
        Window->Edit = nullptr;
        delete Edit;
        if (Had_Focus)
            Box->setFocus();
        Window->Apply_Max_Length();
    }
    if (History) {
        const QString Text = Window->ComboBox->currentText();
        Window->ComboBox->clear();
        Window->ComboBox->addItems(*History);
        Window->ComboBox->setEditText(Text);
    }
}
