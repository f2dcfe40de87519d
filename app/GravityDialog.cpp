#include "app/GravityDialog.h"

#include "app/EditorFit.h"
#include "app/EditorSetup.h"
#include "case/CaseModel.h"
#include "controls/ColorButton.h"
#include "controls/Glyphs.h"
#include "controls/ScalableEdit.h"
#include "dialogs/WindowPlace.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPointer>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int Gap = Placement_Gap;
constexpr int Client_Width = 300;

// A button of the given kind, Width wide unless its glyph and caption need more.
TBtn_Clr* New_Button(QDialog* Form, TBtn_Clr::TBitBtnKind Kind, const char* Name, int Width)
{
    auto* Button = new TBtn_Clr(Form);
    Button->Set_Kind(Kind);
    Button->setObjectName(QString::fromLatin1(Name));
    const QSize Text = Button->fontMetrics().size(Qt::TextShowMnemonic, Button->text());
    const QSize Glyph = Frame_Size(Button->Glyph(), Button->NumGlyphs());
    const int Content = Glyph.width() + (Glyph.isEmpty() ? 0 : Button->Spacing()) + Text.width();
    Button->setFixedWidth(std::max(Width, Content + 16));
    return Button;
}
}  // namespace

bool Edit_Gravity(QWidget* Owner, double& Gravity)
{
    // Guarded: should the owner go while the dialog is open, it takes the
    // dialog with it.
    QPointer<QDialog> Form = new QDialog(Owner);
    Form->setObjectName(QStringLiteral("Form_Gravity"));
    Form->setWindowTitle(QStringLiteral("Дополнительные параметры"));

    TEdit_Scalable* Editor = New_Editor(Form, TEditorId::Gravity);
    Fit_Editors({Editor});
    Editor->setMinimumWidth(std::max(Editor->minimumWidth(), Client_Width - 2 * Gap));

    TBtn_Clr* OK = New_Button(Form, TBtn_Clr::TBitBtnKind::bkOK, "BitBtn_OK", 60);
    OK->Set_Default(true);
    OK->setAccessibleName(QStringLiteral("OK"));
    TBtn_Clr* Cancel = New_Button(Form, TBtn_Clr::TBitBtnKind::bkCancel, "BitBtn_Cancel", 90);
    Cancel->setText(QStringLiteral("&Отмена"));
    Cancel->Set_Cancel(true);
    Cancel->setAccessibleName(QStringLiteral("Отмена"));

    // The two buttons centred, 4 gaps apart.
    auto* Buttons = new QHBoxLayout;
    Buttons->setSpacing(4 * Gap);
    Buttons->addStretch(1);
    Buttons->addWidget(OK);
    Buttons->addWidget(Cancel);
    Buttons->addStretch(1);

    auto* Layout = new QVBoxLayout(Form);
    Layout->setContentsMargins(Gap, Gap, Gap, Gap);
    Layout->setSpacing(Gap);
    Layout->addWidget(Editor);
    Layout->addSpacing(Gap);
    Layout->addLayout(Buttons);
    Layout->setSizeConstraint(QLayout::SetFixedSize);
    Layout->activate();

    Set_Window_Bounds(Form, NotSet, NotSet, NotSet, NotSet);
    Editor->Set_Value(Gravity);
    Editor->setFocus();

    const bool Accepted = Form->exec() == QDialog::Accepted && Form;
    if (Accepted)
        Gravity = Editor->Value();
    delete Form;
    return Accepted;
}
