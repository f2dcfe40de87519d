// Opening files for reading only.

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>

#include "controls/ReadOnlyFile.h"

TEST(FileOpenRead, ReadsWithoutChangingAndReportsFailures)
{
    QTemporaryDir Dir;
    ASSERT_TRUE(Dir.isValid());
    const QString Name = Dir.filePath(QStringLiteral("Отчёт.txt"));
    {
        QFile F(Name);
        ASSERT_TRUE(F.open(QIODevice::WriteOnly));
        F.write("строка\r\n");
    }
    QFile::setPermissions(Name, QFileDevice::ReadOwner);  // read-only file
    QFile F;
    File_Open_Read(F, Name);
    EXPECT_FALSE(F.isWritable());
    EXPECT_EQ(F.readAll(), QByteArray("строка\r\n"));  // neither truncated nor converted
    F.close();

    // A missing file and a folder are reported, with the name, and nothing is created.
    const QString Missing = Dir.filePath(QStringLiteral("нет.txt"));
    try {
        File_Open_Read(F, Missing);
        ADD_FAILURE() << "no error for a missing file";
    } catch (const EIn_Out_Error& E) {
        EXPECT_NE(std::string(E.what()).find("нет.txt"), std::string::npos);
    }
    EXPECT_FALSE(QFileInfo::exists(Missing));
    EXPECT_THROW(File_Open_Read(F, Dir.path()), EIn_Out_Error);
    EXPECT_FALSE(F.isOpen());
}
