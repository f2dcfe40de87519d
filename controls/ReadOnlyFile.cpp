#include "controls/ReadOnlyFile.h"

void File_Open_Read(QFile& F, const QString& Name)
{
    if (F.isOpen())
        F.close();
    F.setFileName(Name);
    if (!F.open(QIODevice::ReadOnly))
        throw EIn_Out_Error(QStringLiteral("%1: %2").arg(Name, F.errorString()).toStdString());
}
