#include "dialogs/FileChoice.h"

#include <QFileDialog>
#include <deque>

namespace {

std::deque<QString> Next_Answers;

bool Take_Answer(QString& Name)
{
    if (Next_Answers.empty())
        return false;
    Name = Next_Answers.front();
    Next_Answers.pop_front();
    return true;
}

}  // namespace

void FileChoice::Answer_Next(const QString& Name)
{
    Next_Answers.push_back(Name);
}

int FileChoice::Pending_Answers()
{
    return static_cast<int>(Next_Answers.size());
}

QString Dialog_Filter(const QString& Filter)
{
    const QStringList Parts = Filter.split(QLatin1Char('|'));
    QStringList Filters;
    for (int I = 0; I + 1 < Parts.size(); I += 2) {
        QStringList Patterns = Parts[I + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& P : Patterns)
            if (P.trimmed() == QLatin1String("*.*"))
                P = QStringLiteral("*");
        Filters.append(Parts[I] + QStringLiteral(" (") + Patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')'));
    }
    return Filters.join(QStringLiteral(";;"));
}

QString Choose_Open_File(QWidget* Owner, const QString& Title, const QString& Filter,
                         const QString& Initial)
{
    QString Name;
    if (Take_Answer(Name))
        return Name;
    return QFileDialog::getOpenFileName(Owner, Title, Initial, Dialog_Filter(Filter));
}

QString Choose_Save_File(QWidget* Owner, const QString& Title, const QString& Filter,
                         const QString& Initial)
{
    QString Name;
    if (Take_Answer(Name))
        return Name;
    return QFileDialog::getSaveFileName(Owner, Title, Initial, Dialog_Filter(Filter));
}
