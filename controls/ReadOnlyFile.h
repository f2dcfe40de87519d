#pragma once
// Reading files without write access.

#include <QFile>
#include <QString>

#include <stdexcept>

// A file could not be opened or read; what() names the file and the reason.
class EIn_Out_Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Opens F on Name for reading only; nothing is created, locked or changed.
// Throws EIn_Out_Error when the file cannot be opened (missing, a folder, no
// permission), for the caller to report.
void File_Open_Read(QFile& F, const QString& Name);
