#pragma once
// The value editors of the program's windows, configured from the case
// model's editor table.

#include "case/CaseModel.h"

#include <QString>

class TEdit_Scalable;
class TEdit_Num;
class QString;
class QWidget;

// Names the editor after the table's control, sets caption, hint (tool tip)
// and accessible name, adds the scales in list order with the program's
// format, selects the initial scale and sets the limits and the field width.
// No value is set.
void SetUpEditor(TEdit_Scalable* Editor, TEditorId Id);
// A new editor of Parent set up by SetUpEditor.
TEdit_Scalable* New_Editor(QWidget* Parent, TEditorId Id);
// The step-count field: caption, hint, limits and the integer field's options.
void SetUpStepsEditor(TEdit_Num* Editor);
// Names an editor and its parts (field, unit list, spin and calculator
// buttons) for accessibility tools after its caption.
void NameEditorParts(QWidget* Editor, const QString& Caption);
// Object name, tool tip and accessible name of a plain control.
void NameControl(QWidget* Control, const char* Name, const QString& Hint,
                 const QString& AccessibleName);
