#pragma once
// The dialog "Дополнительные параметры": the gravitational acceleration the
// next runs use. Built each time it opens and freed when it closes.

class QWidget;

// Shows the dialog modally over Owner with Gravity (m/s²) in its editor. On
// OK, Gravity takes the editor's value and the result is true; otherwise
// Gravity is left as it was and the result is false.
bool Edit_Gravity(QWidget* Owner, double& Gravity);
