#pragma once
// Printing plain text, line by line, in a font the caller gives (the editor
// gives its edit area's font), with a progress window whose Cancel aborts the
// printer document.
//
// The program keeps one printer for its run, ZoPrinter::Printer(): what the
// user chose in the print dialog (the printer or a PDF file, paper, margins)
// stays for the next dialog, and so do collate, copies and range
// (ZoPrinter::Settings()). Where no printer is installed the dialog opens on
// printing to a PDF file.
//
// Use, as the editor's Print command:
//   if (Print_Dialog(Has_Selection, false, this))
//       ZoPrinter::Settings().Range == ZoPrinter::Range_Selection
//           ? Print_Text(Selected, Memo->font())
//           : Print_Lines(Lines, Memo->font());
//
// Lines are written at the left edge of the printable area, one line height
// (the font's height of "yY|Й") apart, as many on a page as fit; lines longer
// than the page are cut. A PDF file is replaced only once the whole document
// is written (text/AtomicWrite.h): Cancel or a failure leaves the file as it
// was. While a print routine runs it counts as a job (TJobGuard); while
// another job runs, the routines and the dialog refuse with a beep and return
// false.

#include <QString>
#include <QStringList>

class QFont;
class QPaintDevice;
class QPrinter;
class QWidget;

namespace ZoPrinter {
enum class Text {
    Dialog_Failed,  // "Ошибка создания окна выбора параметров печати"
    Caption_Selection,   // "Вывод на принтер (только выделенное)"
    Caption_Pages_From,  // "Вывод на принтер (страницы с "
    Caption_Pages_To,    // " по "
    Caption_All,         // "Вывод на принтер (текст полностью)"
    Print_Failed,        // "Ошибка вызова менеджера печати"
    Count_
};
// 1: Russian, any other value: English.
void Set_Language(int Language);
// The entry in the current language; Russian until Set_Language says otherwise.
const QString& Get_Text(Text Entry);

enum TPrint_Range { Range_All = 0, Range_Selection = 1, Range_Pages = 2 };

// The settings remembered between print dialogs for the program's run.
struct TPrint_Settings {
    bool Collate = true;
    int Copies = 1;
    int Range = Range_All;
    int From_Page = 1;
    int To_Page = 1;
};
TPrint_Settings& Settings();

// The program's printer, made on first use and kept until the application
// object goes. Tests point it at a PDF file (setOutputFormat, setOutputFileName)
// and call the print routines directly.
QPrinter& Printer();

// For the tests: the next Print_Dialog calls take these answers instead of
// showing the dialog: Accept as if the user confirmed (false: cancelled) with
// Range chosen; collate and copies stay as remembered.
void Answer_Next(bool Accept, int Range = Range_All);
int Pending_Answers();

// The line height of Font on Device's resolution: the height of "yY|Й".
int Line_Height(const QFont& Font, QPaintDevice* Device);
}  // namespace ZoPrinter

// The print dialog on ZoPrinter::Printer(), with the remembered settings; the
// selection is offered as a range when Has_Selection, page numbers when
// Has_Pages. Confirmed: the dialog's settings become the remembered ones and
// the result is true.
bool Print_Dialog(bool Has_Selection, bool Has_Pages, QWidget* Owner = nullptr);

// Prints Text; a line ends at CR LF, or at a lone LF, CR, U+2028 or U+2029
// (the paragraph separator of QTextCursor::selectedText), so an empty line
// prints as an empty line space. True when the whole text went to the
// printer; Cancel aborts the document and gives false; a failure of the
// printer shows "Ошибка вызова менеджера печати!" and gives false.
bool Print_Text(const QString& Text, const QFont& Font);
// Prints Lines, one per line, the same way.
bool Print_Lines(const QStringList& Lines, const QFont& Font);
