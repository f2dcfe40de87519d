#include "app/EditorFit.h"

#include "controls/NumberEdit.h"
#include "controls/ScalableEdit.h"

#include <QComboBox>
#include <QLabel>
#include <QSizePolicy>

#include <algorithm>

namespace {
// Room a line edit keeps between its frame and its text, both sides together.
constexpr int Text_Margins = 8;
}  // namespace

void Fit_Editors(std::initializer_list<TEdit_Scalable*> Editors)
{
    int Units_Width = 0;
    int Caption_Width = 0;
    int Field_Width = 0;
    int Height = TEdit_Num::Default_Height;
    for (TEdit_Scalable* Editor : Editors) {
        Units_Width = std::max(Units_Width, Editor->UnitsWidth());
        if (QComboBox* Units = Editor->Units_List()) {
            Units_Width = std::max(Units_Width, Units->sizeHint().width());
            Height = std::max(Height, Units->height());
        }
        if (QLabel* Label = Editor->Caption_Label()) {
            // As the editor measures the room its caption takes.
            Caption_Width = std::max(Caption_Width, Label->fontMetrics().horizontalAdvance(
                                                        Editor->Caption() + QLatin1Char(' ')));
            Height = std::max(Height, Label->sizeHint().height());
        }
        Field_Width =
            std::max(Field_Width, Editor->MaxEditWidth() > 0 ? Editor->MaxEditWidth()
                                                             : int(TEdit_Num::Default_Width));
        if (TEdit_Num* Field = Editor->Number_Edit()) {
            // A number such as "-1234.500" in full beside the spin and
            // calculator buttons, whatever the font.
            const int Buttons = Field->Spin_Buttons()->width() + Field->Calc_Button()->width();
            const int Text = Field->fontMetrics().horizontalAdvance(QStringLiteral("-0000.000"));
            Field_Width = std::max(Field_Width, Buttons + Text + Text_Margins);
        }
        Height = std::max(Height, Editor->height());
    }
    for (TEdit_Scalable* Editor : Editors) {
        Editor->Set_MaxEditWidth(Field_Width);
        Editor->Set_UnitsWidth(Units_Width);
        Editor->setMinimumWidth(Caption_Width + Field_Width + Units_Width);
        Editor->setFixedHeight(Height);
        Editor->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
}
