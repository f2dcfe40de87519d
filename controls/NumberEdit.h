#pragma once
// TEdit_Num: the number field. An edit box that accepts only a number and
// keeps it as a double, shows it in the library's fixed notation (or by a
// format of one floating-point conversion), enforces optional limits, and
// carries spin buttons and a calculator button at its right edge and an
// optional caption at its left.
//
// While the user types (with May_Direct_Edit on) the field neither clamps
// nor reports: the typed number is checked and reported once, when the field
// loses the focus or a program reads Value.

#include "controls/CustomEdit.h"
#include "controls/EditButton.h"
#include "controls/NotifyEvent.h"
#include "controls/SpinButtons.h"

#include <QString>
#include <QWidget>

#include <cstdint>

class QLabel;

class TEdit_Num : public QWidget {
    Q_OBJECT
public:
    static constexpr int Default_Width = 100;
    static constexpr int Default_Height = 21;

    explicit TEdit_Num(QWidget* Parent = nullptr);
    ~TEdit_Num() override;

    // Reading while the user types checks and reports the typed number first.
    double Value();
    void Set_Value(double V);
    // Value rounded; saturates at ±2147483647 and ±9223372036854775807.
    int ValueInt();
    void Set_ValueInt(int V) { Set_Value(V); }
    int64_t ValueHyp();
    void Set_ValueHyp(int64_t V) { Set_Value(static_cast<double>(V)); }
    // The stored number, without the check of a number being typed.
    double Stored_Value() const { return FValue; }

    double MinValue() const { return FMinValue; }
    void Set_MinValue(double V);
    double MaxValue() const { return FMaxValue; }
    void Set_MaxValue(double V);
    double Increment() const { return FIncrement; }
    void Set_Increment(double V);
    QString Format() const { return FFormat; }
    void Set_Format(const QString& V);
    bool RealNumber() const { return FRealNumber; }
    void Set_RealNumber(bool V);
    bool SeparateThousands() const { return FSeparateThousands; }
    void Set_SeparateThousands(bool V);
    bool ShowSignify() const { return FShowSignify; }
    void Set_ShowSignify(bool V);
    bool May_Direct_Edit() const { return FMay_Direct_Edit; }
    void Set_May_Direct_Edit(bool V) { FMay_Direct_Edit = V; }
    bool ReadOnly() const;
    void Set_ReadOnly(bool V);
    bool Calculator() const { return FCalculator; }
    void Set_Calculator(bool V);
    bool SpinEnabled() const;
    void Set_SpinEnabled(bool V);
    bool EditorEnabled() const { return FEditorEnabled; }
    void Set_EditorEnabled(bool V) { FEditorEnabled = V; }
    bool AutoSelect() const { return FAutoSelect; }
    void Set_AutoSelect(bool V) { FAutoSelect = V; }
    int MaxLength() const { return FMaxLength; }
    void Set_MaxLength(int V);
    bool TabStop() const;
    void Set_TabStop(bool V);
    int MaxEditWidth() const { return FMaxEditWidth; }
    void Set_MaxEditWidth(int V);
    QString Caption() const { return FCaption; }
    void Set_Caption(const QString& V);

    // The text the current value is shown with.
    QString Value_Text() const;
    // The user is typing: no clamping, no report until the field is left.
    bool Is_Typing() const { return FTyping; }

    TCustom_Edit* Inner_Edit() const { return FEdit; }
    TSpin_Buttons* Spin_Buttons() const { return FSpin; }
    TEdit_Button* Calc_Button() const { return FCalc_Button; }
    QLabel* Caption_Label() const { return FLabel; }

    // Steps by Increment (spin buttons, Up and Down keys); OnClickUp and
    // OnClickDown, when set, replace the built-in step.
    virtual void Step_Up();
    virtual void Step_Down();
    // The calculator button: the calculator opens with Value and, when it is
    // accepted, its number is written back.
    virtual void Calculator_Click();

    TNotifyEvent OnChange;
    TNotifyEvent OnClickUp;
    TNotifyEvent OnClickDown;
    TNotifyEvent OnEnter;

    QSize sizeHint() const override { return {Default_Width, Default_Height}; }

protected:
    virtual void Text_Changed();
    void resizeEvent(QResizeEvent* Event) override;
    void paintEvent(QPaintEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;

private:
    double Clamp(double V);
    bool Limits_On() const { return FMaxValue >= FMinValue; }
    void Put_Text(const QString& Text);
    void Do_Enter();
    void Do_Exit(bool Leaving);
    bool Inner_Key(QKeyEvent* Event);
    void Lay_Out(int Width, int Height);
    void Lay_Out() { Lay_Out(width(), height()); }

    TCustom_Edit* FEdit;
    TSpin_Buttons* FSpin;
    TEdit_Button* FCalc_Button;
    QLabel* FLabel = nullptr;
    QRect FFrame;

    bool FCalculator = true;
    bool FTyping = false;
    bool FChanged_While_Typing = false;
    bool FMay_Direct_Edit = true;
    int FMaxEditWidth = 0;
    bool FEditorEnabled = true;
    QString FFormat;
    double FIncrement = 1.0;
    double FMaxValue = -1.0;
    double FMinValue = 0.0;
    bool FRealNumber = false;
    bool FSeparateThousands = false;
    bool FShowSignify = false;
    double FValue = 0.0;
    bool FReentry = false;
    bool FAutoSelect = true;
    int FMaxLength = 24;
    QString FCaption;
};
