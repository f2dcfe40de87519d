#pragma once
// The file dialogs of the program's windows, with a seam through which tests give
// the next answer instead of a user.

#include <QString>
#include <QStringList>

class QWidget;

// A filter of the form "description|patterns|description|patterns" as the
// file dialogs take it: "description (patterns);;…". "*.*" stands for every
// file, as it does on the system the filter was written for.
QString Dialog_Filter(const QString& Filter);

// The name the user chose, or an empty text when the dialog was cancelled.
QString Choose_Open_File(QWidget* Owner, const QString& Title, const QString& Filter,
                         const QString& Initial);
// Asks before an existing file is replaced.
QString Choose_Save_File(QWidget* Owner, const QString& Title, const QString& Filter,
                         const QString& Initial);

namespace FileChoice {
// The next file dialog answers Name (empty: cancelled) without showing.
void Answer_Next(const QString& Name);
int Pending_Answers();
}  // namespace FileChoice
