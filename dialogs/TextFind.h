#pragma once
// Find and replace in an edit area, as the text editor's commands run them:
//
//   Find (Ctrl+F)     Text_Find(Window, Memo)
//   Find next (F3)    Text_Find_Next(Memo)
//   Replace (Ctrl+H)  N = Text_Replace(Window, Memo); after the editor's status
//                     update, N >= 0 puts Replace_Status_Text(N) (text/TextSearch.h)
//                     in front of the first status panel's text.
//
// The strings are asked for in a text input window (dialogs/TextInput.h) with
// the shared histories (Search_Memory, text/TextSearch.h); the scan shows a
// progress window fed every 4096 characters whose Cancel stops it; failures
// are warnings in the message dialog. While a scan runs it counts as a job
// (TJobGuard), so the main window refuses its commands meanwhile; and while
// another job runs (Job_Running() > 0) these routines refuse with a beep and
// do nothing.
//
// Replace works on a copy of the text and puts the changed part back in one
// edit (one undo step of the edit area); the edit area's textChanged tells
// the editor that its text was modified, as typing does.

class QPlainTextEdit;
class QWidget;

// Asks for the search text ("Найти"); OK with a text that is not empty makes
// it the last search text and runs Text_Find_Next. True when an occurrence was
// found and selected.
bool Text_Find(QWidget* Owner, QPlainTextEdit* Edit);

// Finds the next occurrence of the last search text from Edit's selection
// (Find_Next, text/TextSearch.h) and selects it, which scrolls it into view.
// No search text: the warning "Поиск невозможен — неизвестно, что искать!".
// Not found: "Текст «…» не найден!" or, within a selection, "В выделенном
// блоке текст «…» не найден!". Cancelled: nothing more. True when found.
bool Text_Find_Next(QPlainTextEdit* Edit);

// Asks for the search and the replacement text ("Замена"), then replaces every
// occurrence in Edit's selection, or in the whole text when nothing is
// selected; the caret goes to the selection start (moved with the text
// replaced before it). Returns the number of replacements (0: none found), or
// -1 when nothing ran: the window was cancelled, the search text was empty,
// the scan was cancelled (the text stays as it was) or another job runs.
int Text_Replace(QWidget* Owner, QPlainTextEdit* Edit);
