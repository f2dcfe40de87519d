#pragma once
// TForm_Calc: the modal dialog "Параметры гидроудара", in which the user
// describes the driving pipe of the water hammer: the flow speed when the
// flow is stopped, the pipe (diameter, length, slope, material, Young's
// modulus, wall thickness), how the leak's narrowing counts, and whether the
// cut-off chamber is calculated with repeated hammers.
//
// The dialog keeps its values between showings; the main window reads and
// writes them through Store_To and Load_From and puts them back itself when
// the dialog is not closed with OK.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class TBtn_Clr;
class TEdit_Scalable;
struct TCase;

class TForm_Calc : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Calc(QWidget* Parent = nullptr);

    // The six values (base units), the material and narrowing indices and
    // the truncation check box, whether or not it is enabled.
    void Store_To(TCase& Case);
    // Puts the values back in the order: material index, speed, diameter,
    // length, slope, Young's modulus, wall thickness, narrowing index, check
    // box. Selecting the material here does not fill its table values. Then
    // the state update.
    void Load_From(const TCase& Case);
    // Enables the material list for a diameter above 1e-12 m, Young's modulus
    // besides only for the free material (index 0), and the truncation check
    // box when both the speed and the length are above 0.
    void Update_State();

    TBtn_Clr* BitBtn_OK = nullptr;      // closes with result 1 (QDialog::Accepted)
    TBtn_Clr* BitBtn_Cancel = nullptr;  // closes with another result
    QGroupBox* GroupBox_Mat = nullptr;
    TEdit_Scalable* Edit_Scalable_Diam = nullptr;
    QLabel* Label_Mat = nullptr;
    QComboBox* ComboBox_Mat = nullptr;
    TEdit_Scalable* Edit_Scalable_Young = nullptr;
    TEdit_Scalable* Edit_Scalable_Walls = nullptr;
    TEdit_Scalable* Edit_Scalable_Speed = nullptr;
    QLabel* Label_Narrow = nullptr;
    QComboBox* ComboBox_Narrow = nullptr;
    QCheckBox* CheckBox_Trunc = nullptr;
    TEdit_Scalable* Edit_Scalable_Length = nullptr;
    TEdit_Scalable* Edit_Scalable_Slope = nullptr;

protected:
    void showEvent(QShowEvent* Event) override;

private:
    // The user chose a material: its Young's modulus from the table.
    void ComboBox_MatChange();
};
