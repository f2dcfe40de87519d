#include "results/Csv.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <system_error>

#include "engine/Calc.h"
#include "text/OrderedBlocks.h"

namespace {

// One line of numbers in the shortest text that reads back to the same double.
void AppendCsvRow(std::string& Out, std::initializer_list<double> Values)
{
    bool First = true;
    for (double X : Values) {
        if (!First)
            Out += ',';
        First = false;
        char Text[32];
        const auto [End, Ec] = std::to_chars(Text, Text + sizeof Text, X);
        if (Ec != std::errc())
            throw std::runtime_error("number text");
        Out.append(Text, End);
    }
    Out += '\n';
}

}  // namespace

// The records are many and each line depends on its record alone: blocks of
// lines are made on two threads and handed to the sink in order.
void WriteRecordsCsv(const TCalc& Calc, const TTextSink& Sink)
{
    constexpr int64_t LinesPerBlock = 4096;
    Sink("Time,Fill,Speed,Accel,Losses,Re\n");
    const int64_t Count = Calc.Records ? std::max(Calc.Count, 0) : 0;
    MakeBlocksInOrder(
        (Count + LinesPerBlock - 1) / LinesPerBlock,
        [&Calc, Count](int64_t Block, TTextBlock& Text) {
            const int64_t End = std::min(Count, (Block + 1) * LinesPerBlock);
            for (int64_t I = Block * LinesPerBlock; I < End; ++I) {
                const TCalcStep& R = Calc.Records[I];
                AppendCsvRow(Text.Text, {R.Time, R.Fill, R.Speed, R.Accel, R.Losses, R.Re});
            }
        },
        [&Sink](int64_t, const TTextBlock& Text) {
            Sink(Text.Text);
            return true;
        });
}

void WriteStagesCsv(const TCalc& Calc, const TTextSink& Sink)
{
    std::string Text =
        "StartTime,StartSpeed,RestSpeed,PumpPressure,Pumped,PipeSpeed,PumpTime,Pause\n";
    for (const TCalcStage* S = Calc.Stages; S; S = S->Next)
        AppendCsvRow(Text, {S->StartTime, S->StartSpeed, S->RestSpeed, S->PumpPressure, S->Pumped,
                            S->PipeSpeed, S->PumpTime, S->Pause});
    Sink(Text);
}

std::string RecordsCsv(const TCalc& Calc)
{
    std::string Text;
    WriteRecordsCsv(Calc, [&Text](std::string_view Piece) { Text += Piece; });
    return Text;
}

std::string StagesCsv(const TCalc& Calc)
{
    std::string Text;
    WriteStagesCsv(Calc, [&Text](std::string_view Piece) { Text += Piece; });
    return Text;
}
