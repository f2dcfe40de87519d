// The desktop program's entry: hyd [SETTINGS-FILE] [--open CASE] [--help] [--version].

#include <QApplication>
#include <QStandardPaths>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/MainWindow.h"
#include "app/ToolTipTime.h"
#include "case/Workplace.h"

namespace {

constexpr const char* Usage =
    "Использование: hyd [ФАЙЛ-НАСТРОЕК] [--open ФАЙЛ.Hyd] [--help] [--version]\n"
    "Расчёт заполнения трубы потоком жидкости при постоянном давлении\n"
    "или при нагнетении гидроударом.\n"
    "\n"
    "  ФАЙЛ-НАСТРОЕК  файл настроек вместо Hyd.ini в папке настроек пользователя\n"
    "                 (имя берётся относительно текущей папки)\n"
    "  --open ФАЙЛ    открыть файл параметров расчёта после чтения настроек\n"
    "  --help         показать эту справку и выйти\n"
    "  --version      показать версию и выйти\n";

// --help and --version answer before any window system is needed.
int Early_Answer(int Argc, char** Argv)
{
    for (int I = 1; I < Argc; ++I) {
        const char* A = Argv[I];
        if (std::strcmp(A, "--help") == 0) {
            std::fputs(Usage, stdout);
        } else if (std::strcmp(A, "--version") == 0) {
            std::printf("hyd (%s) %s\n", HYD_PRODUCT_NAME, HYD_VERSION);
        } else {
            continue;
        }
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    }
    return -1;
}

}  // namespace

int main(int Argc, char** Argv)
{
    if (const int Done = Early_Answer(Argc, Argv); Done >= 0)
        return Done;
    QApplication App(Argc, Argv);  // takes away the options of Qt itself
    QApplication::setApplicationName(QStringLiteral("Hyd"));
    QApplication::setApplicationDisplayName(QStringLiteral(HYD_PRODUCT_NAME));
    QApplication::setApplicationVersion(QStringLiteral(HYD_VERSION));

    // The first argument that is no option names the settings file; --open
    // names a case to open after the settings are read. "--open" without a
    // name (a desktop entry started without a file) opens nothing.
    const QStringList Args = QApplication::arguments();
    std::string Open_Name;
    bool Settings_Named = false;
    for (int I = 1; I < Args.size(); ++I) {
        const QString& A = Args[I];
        if (A == QLatin1String("--open")) {
            if (I + 1 < Args.size())
                Open_Name = Args[++I].toStdString();
        } else if (A.startsWith(QLatin1String("--open="))) {
            Open_Name = A.mid(7).toStdString();
        } else if (A.startsWith(QLatin1String("--")) || Settings_Named) {
            std::fprintf(stderr, "hyd: неизвестный параметр «%s»\n", A.toUtf8().constData());
            std::fputs(Usage, stderr);
            return 2;
        } else {
            IniFileName = CommandLineFilePath(A.toStdString());
            Settings_Named = true;
        }
    }

    TToolTip_Time Tips(5000);
    App.installEventFilter(&Tips);
    TForm_Main Form_Main;
    if (!Open_Name.empty())
        Form_Main.Open_At_Start(CommandLineFilePath(Open_Name));
    Form_Main.show();
    return App.exec();
}
