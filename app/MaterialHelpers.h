#pragma once
// Put the pipe-material table into input controls: the material list and
// the value editors of roughness and Young's modulus.

class QComboBox;
class TEdit_Scalable;

// Clears the list and adds the names of materials 0 to 10 in index order,
// so that item index = material index.
void FillMaterialList(QComboBox* ComboBox);
// For materials 1 to 10 writes the row's roughness and Young's modulus (base
// units) into each editor given; any other index, or a null editor, changes
// nothing. The writes raise no OnChangeValue: the caller updates its window.
void SetMaterialValues(int Index, TEdit_Scalable* Rough, TEdit_Scalable* Young);
