#pragma once
// The text report of a finished calculation, written as it is made: the input
// data, the derived wave speeds and the tables of pumping stages and time
// steps, as UTF-8 text with CR LF line ends (TCalc::MakeReport gives it as one
// string).

#include <functional>
#include <string_view>

class TCalc;

// Receives a text piece by piece, in order. It may throw to end the writing.
using TTextSink = std::function<void(std::string_view Text)>;

// Writes the report of Calc (and of the driving pipe BlowCalc) to Sink in
// pieces of a few hundred kilobytes, so that memory stays the same whatever
// the number of steps; the step rows are formatted on two threads where the
// machine has them. The progress window "Генерация отчёта..." follows the
// table rows and is asked for a cancellation before each one, as MakeReport
// does. Throws std::logic_error, before anything reaches Sink, when the step
// records counted are not there; an exception of Sink, or one while the rows
// are made, ends the report with the text before it written.
void WriteReport(const TCalc& Calc, const TTextSink& Sink);

// The check WriteReport makes first: throws std::logic_error when the step
// records counted of Calc or of the driving pipe BlowCalc are not there.
void CheckReportRecords(const TCalc& Calc);
