// The main window's menu: "Файл" and "Работа", with their accelerators and
// short cuts.

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "app/ChartView.h"
#include "app/MainWindow.h"

namespace {

QAction* New_Action(QObject* Owner, const char* Name, const QString& Caption,
                    const QKeySequence& Shortcut = {})
{
    auto* Action = new QAction(Caption, Owner);
    Action->setObjectName(QString::fromLatin1(Name));
    if (!Shortcut.isEmpty())
        Action->setShortcut(Shortcut);
    return Action;
}

}  // namespace

void TForm_Main::createActions()
{
    Menu_File_Open = New_Action(this, "Menu_File_Open", QStringLiteral("&Открыть..."),
                                QKeySequence(Qt::CTRL | Qt::Key_O));
    Menu_File_Save = New_Action(this, "Menu_File_Save", QStringLiteral("&Сохранить"),
                                QKeySequence(Qt::CTRL | Qt::Key_S));
    Menu_File_Save_As = New_Action(this, "Menu_File_Save_As", QStringLiteral("Сохранить &как..."),
                                   QKeySequence(Qt::ALT | Qt::Key_S));
    Menu_File_Close = New_Action(this, "Menu_File_Close", QStringLiteral("&Закрыть"),
                                 QKeySequence(Qt::ALT | Qt::Key_F4));
    Menu_Work_Calc = New_Action(this, "Menu_Work_Calc", QStringLiteral("&Расчёт"));
    Menu_Work_Report = New_Action(this, "Menu_Work_Report", QStringLiteral("&Отчёт"));

    Menu_Work_Save_Png =
        New_Action(this, "Menu_Work_Save_Png", QStringLiteral("Сохранить &график (PNG)..."));
    Menu_Work_Save_Svg =
        New_Action(this, "Menu_Work_Save_Svg", QStringLiteral("Сохранить график (&SVG)..."));
    Menu_Work_Save_Steps = New_Action(this, "Menu_Work_Save_Steps",
                                      QStringLiteral("Сохранить &шаги расчёта (CSV)..."));
    Menu_Work_Save_Stages = New_Action(this, "Menu_Work_Save_Stages",
                                       QStringLiteral("Сохранить &этапы гидроудара (CSV)..."));
    Menu_Work_Copy_Legend =
        New_Action(this, "Menu_Work_Copy_Legend", QStringLiteral("&Копировать значения легенды"));
    connect(Menu_Work_Save_Png, &QAction::triggered, this, [this] { Menu_Work_Save_PngClick(); });
    connect(Menu_Work_Save_Svg, &QAction::triggered, this, [this] { Menu_Work_Save_SvgClick(); });
    connect(Menu_Work_Save_Steps, &QAction::triggered, this,
            [this] { Menu_Work_Save_StepsClick(); });
    connect(Menu_Work_Save_Stages, &QAction::triggered, this,
            [this] { Menu_Work_Save_StagesClick(); });
    connect(Menu_Work_Copy_Legend, &QAction::triggered, this,
            [this] { Menu_Work_Copy_LegendClick(); });

    connect(Menu_File_Open, &QAction::triggered, this, [this] { Menu_File_OpenClick(); });
    connect(Menu_File_Save, &QAction::triggered, this, [this] { Menu_File_SaveClick(); });
    connect(Menu_File_Save_As, &QAction::triggered, this, [this] { Menu_File_Save_AsClick(); });
    connect(Menu_File_Close, &QAction::triggered, this, [this] { BitBtn_CancelClick(); });
    connect(Menu_Work_Calc, &QAction::triggered, this, [this] { BitBtn_CalcClick(); });
    connect(Menu_Work_Report, &QAction::triggered, this, [this] { BitBtn_ReportClick(); });
}

void TForm_Main::createMenus()
{
    Menu_File = menuBar()->addMenu(QStringLiteral("&Файл"));
    Menu_File->setObjectName(QStringLiteral("Menu_File"));
    Menu_File->addAction(Menu_File_Open);
    Menu_File->addAction(Menu_File_Save);
    Menu_File->addAction(Menu_File_Save_As);
    Menu_File->addSeparator()->setObjectName(QStringLiteral("Menu_File_N1"));
    Menu_File->addAction(Menu_File_Close);

    Menu_Work = menuBar()->addMenu(QStringLiteral("&Работа"));
    Menu_Work->setObjectName(QStringLiteral("Menu_Work"));
    Menu_Work->addAction(Menu_Work_Calc);
    Menu_Work->addAction(Menu_Work_Report);
    Menu_Work->addSeparator();
    const QList<QAction*> Exports = {Menu_Work_Save_Png, Menu_Work_Save_Svg, Menu_Work_Save_Steps,
                                     Menu_Work_Save_Stages, Menu_Work_Copy_Legend};
    Menu_Work->addActions(Exports);
    // The same commands on the chart's context menu.
    PaintBox->addActions(Exports);
    PaintBox->setContextMenuPolicy(Qt::ActionsContextMenu);
}
