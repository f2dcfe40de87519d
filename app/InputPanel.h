#pragma once
// The input column of the main window: the three groups of inputs (general
// parameters, liquid, pipe), the drive row and the three command buttons. The
// editors are configured from the case model's table; the panel moves a case
// in and out of them and leaves every decision to the main window.

#include <QWidget>

#include "case/CaseModel.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class TBtn_Clr;
class TEdit_Num;
class TEdit_Scalable;

class TInput_Panel : public QWidget {
    Q_OBJECT
public:
    explicit TInput_Panel(QWidget* Parent = nullptr);

    QGroupBox* GroupBox_Common;
    TEdit_Scalable* Edit_Scalable_Time;
    TEdit_Num* Edit_Num_Steps;
    QLabel* Label_Period;
    TEdit_Scalable* Edit_Scalable_Press;
    TEdit_Scalable* Edit_Scalable_Fill;
    TEdit_Scalable* Edit_Scalable_Speed;
    TEdit_Scalable* Edit_Scalable_Slope;
    QGroupBox* GroupBox_Liq;
    QLabel* Label_Liq;
    QComboBox* ComboBox_Liq;
    TEdit_Scalable* Edit_Scalable_Dens;
    TEdit_Scalable* Edit_Scalable_Visc;
    TEdit_Scalable* Edit_Scalable_Cond;
    QGroupBox* GroupBox_Mat;
    TEdit_Scalable* Edit_Scalable_Diam;
    TEdit_Scalable* Edit_Scalable_Length;
    QLabel* Label_Mat;
    QComboBox* ComboBox_Mat;
    TEdit_Scalable* Edit_Scalable_Rough;
    TEdit_Scalable* Edit_Scalable_Young;
    TEdit_Scalable* Edit_Scalable_Walls;
    QCheckBox* CheckBox_Ram;
    TBtn_Clr* Btn_Clr_Ram;
    TBtn_Clr* BitBtn_Calc;
    TBtn_Clr* BitBtn_Report;
    TBtn_Clr* BitBtn_Cancel;

    // The drive is on: the check box is checked or grayed.
    bool DriveMode() const;

    // The main window's part of a case (section "Data" and "MayBlow") as the
    // editors hold it; reading an editor takes a number being typed.
    void Store_To(TCase& Case) const;
    // Writes the values into the editors (whose limits apply) and selects the
    // list indices without taking values from the tables; the check box is
    // checked or unchecked by MayBlow.
    void Load_From(const TCase& Case);

    // The editor of a main-window field of the case table.
    TEdit_Scalable* Editor(TEditorId Id) const;

private:
    void Build_Common();
    void Build_Liquid();
    void Build_Pipe();
    void Build_Drive_Row();
    void Build_Buttons();
    // Gives every editor of the column the same caption and unit widths, so
    // that the number fields stand in one column and no caption is cut.
    void Align_Editors();
};
