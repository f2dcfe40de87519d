#pragma once
// TEdit_Scalable: the editor of every physical input. A caption (left of or
// above the field), a number field and a list of unit scales. The value is
// kept in base units (the unit whose factor is 1) while the user sees and
// types it in the selected scale; choosing another scale converts the number
// shown and keeps the value.
//
// In list mode (Count > 0) the value is chosen from Values, shown in the
// current scale, instead of being typed.

#include "controls/NotifyEvent.h"

#include <QString>
#include <QWidget>

#include <vector>

class QComboBox;
class QLabel;
class TEdit_Num;

// One unit scale: value in this scale = (base value - Offset) / Factor.
class TOne_Scale {
public:
    QString Caption;         // text in the unit list, as "см"
    QString Format;          // one floating-point conversion; empty: "%g"
    double AuxFactor = 1.0;  // kept and copied, used for nothing else
    double Factor = 1.0;     // base units per one unit of this scale
    double Offset = 0.0;
};

class TEdit_Scalable : public QWidget {
    Q_OBJECT
public:
    explicit TEdit_Scalable(QWidget* Parent = nullptr);
    ~TEdit_Scalable() override;

    // Appends a scale; UpdateUnits shows the scales after the last one.
    void AddScale(const QString& Caption, const QString& Format, double AuxFactor, double Factor);
    // Brings the unit list in line with the scales.
    void UpdateUnits();
    // Makes current the first scale whose factor is nearest to Factor.
    void SelectUnits(double Factor);
    // Copies scales, limits, list values, unit and value of Source.
    void Assign(const TEdit_Scalable* Source);

    // The value in base units. Reading it while the user types in the field
    // takes the typed number first (it is checked and reported as on leaving).
    double Value();
    // Writing never raises OnChangeValue in edit mode; in list mode a write
    // that moves the selection does.
    void Set_Value(double V);
    double MinValue() const { return FMinValue; }
    void Set_MinValue(double V);
    double MaxValue() const { return FMaxValue; }
    void Set_MaxValue(double V);

    int UnitsIndex() const { return FUnitsIndex; }
    void Set_UnitsIndex(int I);
    int Scale_Count() const { return static_cast<int>(FScales.size()); }
    const TOne_Scale& Scale(int I) const { return FScales.at(static_cast<std::size_t>(I)); }
    // The scale at UnitsIndex, or null when there is none.
    const TOne_Scale* Current_Scale() const;
    double BaseToScale(double V) const;
    double ScaleToBase(double S) const;
    // Text of a base-unit value in the current scale (entries of the value list).
    QString FormatScaledValue(double V) const;

    int Count() const { return FCount; }
    void Set_Count(int N);
    double Values(int I) const;
    // Sets one entry of Values and shows the list texts again.
    void Set_Values(int I, double V);

    QString Caption() const { return FCaption; }
    void Set_Caption(const QString& V);
    int CaptionLayout() const { return FCaptionLayout; }
    void Set_CaptionLayout(int V);
    bool AutoHeight() const { return FAutoHeight; }
    void Set_AutoHeight(bool V) { FAutoHeight = V; }
    int DropDownCount() const { return FDropDownCount; }
    void Set_DropDownCount(int V);
    bool May_Direct_Edit() const { return FMay_Direct_Edit; }
    void Set_May_Direct_Edit(bool V);
    int MaxEditWidth() const { return FMaxEditWidth; }
    void Set_MaxEditWidth(int V);
    bool SeparateThousands() const { return FSeparateThousands; }
    void Set_SeparateThousands(bool V);
    bool ShowSignify() const { return FShowSignify; }
    void Set_ShowSignify(bool V);
    void Set_TabStop(bool V);
    int UnitsWidth() const { return FUnitsWidth; }
    void Set_UnitsWidth(int V);

    TEdit_Num* Number_Edit() const { return FEdit; }
    QComboBox* Value_List() const { return FValue_List; }
    QComboBox* Units_List() const { return FUnits; }
    QLabel* Caption_Label() const { return FLabel; }

    TNotifyEvent OnChangeValue;  // the user changed the value
    TNotifyEvent OnChangeUnits;  // the user chose another scale

    QSize sizeHint() const override { return {150, 21}; }

protected:
    void resizeEvent(QResizeEvent* Event) override;

private:
    bool Limits_On() const { return FMaxValue >= FMinValue; }
    void Write_Value(double V);
    void Rebuild_Editor();
    void Fill_Value_List();
    QComboBox* New_List();
    void Fix_Tab_Order();
    void Fit_Height();
    void Lay_Out(int Width, int Height);
    void Lay_Out() { Lay_Out(width(), height()); }
    void Edit_Changed();
    void Value_List_Changed();
    void Units_Changed();

    bool FAutoHeight = true;
    QString FCaption;
    int FCaptionLayout = 0;
    bool FUpdating = false;
    int FCount = 0;
    int FDropDownCount = 8;
    bool FMay_Direct_Edit = true;
    int FMaxEditWidth = 0;
    double FMaxValue = -1e307;
    double FMinValue = 1e307;
    bool FSeparateThousands = false;
    bool FShowSignify = true;
    bool FChild_TabStop = true;
    double FValue = 0.0;
    int FUnitsIndex = -1;
    int FUnitsWidth = 50;
    std::vector<double> FValues;
    std::vector<TOne_Scale> FScales;
    QComboBox* FValue_List = nullptr;
    TEdit_Num* FEdit = nullptr;
    QLabel* FLabel = nullptr;
    QComboBox* FUnits = nullptr;
};
