// Text report of a finished calculation: the input data, the derived wave
// speeds and the tables of pumping stages and time steps, as UTF-8 text with
// CR LF line ends. Columns are right-aligned by character count.
//
// The text is collected in a buffer that goes to the sink whenever it holds
// enough. The step rows, which depend on nothing but their record, are made
// in blocks on two threads (text/OrderedBlocks.h) and taken in order on the
// calling thread, which alone talks to the progress window: it is told about
// every table row and asked for a cancellation before each one.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <numbers>
#include <stdexcept>
#include <string>
#include <string_view>

#include "engine/Calc.h"
#include "engine/RunGlobals.h"
#include "engine/Tables.h"
#include "engine/UserLink.h"
#include "engine/WaveSpeed.h"
#include "results/Report.h"
#include "text/NumberText.h"
#include "text/OrderedBlocks.h"

namespace {

constexpr std::string_view LineEnd = "\r\n";

constexpr std::string_view PipeFilledLine = "----- ТРУБА ЗАПОЛНЕНА ПОЛНОСТЬЮ! -----";
constexpr std::string_view CancelledStart = "ГЕНЕРАЦИЯ ОТЧЁТА БЫЛА ПРЕРВАНА ПОЛЬЗОВАТЕЛЕМ (";

// The three driving-pipe cells of a step that the driving pipe did not record.
constexpr std::string_view NoDrivingCells = "        -           -           -   ";

// The buffer goes to the sink once it holds this much.
constexpr std::size_t PieceSize = 256 << 10;
// Step rows made together, on one thread.
constexpr int64_t RowsPerBlock = 2048;

// A wave speed that the report shows, or -1 when it is not a finite positive number.
double Shown(double C)
{
    return std::isfinite(C) && C > 0 ? C : -1;
}

std::string V(double X)
{
    return FormatWithPrefix(ValueDigits, " ", X, 0);
}

// Characters of UTF-8 text that is well formed, as every cell is (digits,
// signs and the program's own units and prefixes).
std::size_t CharCount(std::string_view Text)
{
    std::size_t Count = 0;
    for (const char C : Text)
        Count += (static_cast<unsigned char>(C) & 0xC0) != 0x80;
    return Count;
}

// One table row, made in a buffer of its own without allocations.
class TRow {
public:
    void Add(std::string_view Text)
    {
        std::memcpy(Reserve(Text.size()), Text.data(), Text.size());
        Size += Text.size();
    }
    void Blanks(std::size_t Count)
    {
        std::memset(Reserve(Count), ' ', Count);
        Size += Count;
    }
    // Text right-aligned in Width characters (a longer one whole).
    void Cell(std::string_view Text, std::size_t Width)
    {
        const std::size_t Length = CharCount(Text);
        if (Length < Width)
            Blanks(Width - Length);
        Add(Text);
    }
    std::string_view Text() const { return {Data, Size}; }

    // Room for Count more bytes, to be written at the pointer returned and
    // kept with Advance.
    char* Reserve(std::size_t Count)
    {
        // A row of a dozen cells takes a few hundred bytes at most.
        if (Count > sizeof Data - Size)
            throw std::length_error("report row too long");
        return Data + Size;
    }
    void Advance(const char* End) { Size = static_cast<std::size_t>(End - Data); }

private:
    char Data[2048];
    std::size_t Size = 0;
};

// A unit after a value, in a buffer that may be copied whole.
struct TUnit {
    char Text[16] = {};
    std::size_t Size = 0;
    std::size_t Chars = 0;

    constexpr explicit TUnit(std::string_view Unit)
    {
        for (const char C : Unit) {
            Text[Size++] = C;
            Chars += (static_cast<unsigned char>(C) & 0xC0) != 0x80;
        }
    }
};

constexpr TUnit Seconds("с");
constexpr TUnit Metres("м");
constexpr TUnit MetresPerSecond("м/с");
constexpr TUnit Acceleration("м/с2");
constexpr TUnit Pascals("Па");
constexpr TUnit Litres("л");

// A value with its prefix and Unit, right-aligned in Width (at most 16)
// characters. The pieces are copied in blocks of fixed size, which the
// compiler writes out in a few moves: a table row has many cells.
void AddValue(TRow& Row, int Digits, double X, const TUnit& Unit, std::size_t Width)
{
    static constexpr char Spaces[16] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
                                        ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    char Number[PrefixedNumberRoom];
    std::string_view Prefix;
    const std::size_t Length = PrefixedNumberText(Digits, X, Number, Prefix);
    char* Out = Row.Reserve(sizeof Spaces + sizeof Number + 1 + Prefix.size() + sizeof Unit.Text);
    // The number is ASCII, the separator one blank.
    const std::size_t Chars = Length + 1 + CharCount(Prefix) + Unit.Chars;
    if (Chars < Width) {
        std::memcpy(Out, Spaces, sizeof Spaces);
        Out += Width - Chars;
    }
    std::memcpy(Out, Number, sizeof Number);
    Out += Length;
    *Out++ = ' ';
    for (const char C : Prefix)
        *Out++ = C;
    std::memcpy(Out, Unit.Text, sizeof Unit.Text);
    Row.Advance(Out + Unit.Size);
}
void AddValue(TRow& Row, double X, const TUnit& Unit, std::size_t Width)
{
    AddValue(Row, ValueDigits, X, Unit, Width);
}
void AddValue4(TRow& Row, double X, const TUnit& Unit, std::size_t Width)
{
    AddValue(Row, ValueDigits + 1, X, Unit, Width);
}

void AddInteger(TRow& Row, long long X, std::size_t Width)
{
    char Buffer[24];
    const auto Result = std::to_chars(Buffer, Buffer + sizeof Buffer, X);
    Row.Cell({Buffer, static_cast<std::size_t>(Result.ptr - Buffer)}, Width);
}

// A Reynolds number rounded to a whole one, or "нет данных" when absent.
void AddReynolds(TRow& Row, double Re)
{
    if (Re < 0) {
        Row.Add("  нет данных");
        return;
    }
    char Whole[24];
    if (const std::size_t Length = WholeNumberText(Re, Whole))
        Row.Cell({Whole, Length}, 12);
    else
        Row.Cell(FloatToFixed(0, Re), 12);
}

// What decides the report's layout, and the step rows, which read nothing
// else: they are made on any thread.
class TLayout {
public:
    TLayout(const TCalc& Calc, const TCalc* Blow) : Calc(Calc), Blow(Blow)
    {
        CheckRecords(Calc);
        if (Blow)
            CheckRecords(*Blow);
        HammerMode = Blow && Blow->Count > 0;
        if (Calc.Density > 0 && Calc.Condens > 0) {
            LiquidSound = Shown(WaveSpeed(Calc.Density, Calc.Condens));
            if (Calc.Diameter > 0 && Calc.Walls > 0 && Calc.Young > 0)
                Shock = Shown(
                    WaveSpeed(Calc.Density, Calc.Condens, Calc.Diameter, Calc.Walls, Calc.Young));
        }
        HasLosses = Calc.ReMax >= 0;
        HasLength = Calc.Length > 0;
    }

    const TCalc& Calc;
    const TCalc* Blow;
    bool HammerMode = false;
    bool HasLosses = false;   // friction losses and Reynolds numbers were computed
    bool HasLength = false;   // the pipe has a finite length
    double LiquidSound = -1;  // speed of sound in the liquid
    double Shock = -1;        // shock-wave speed in the filled pipe

    // Bytes of the whole report, about.
    std::size_t Estimate() const
    {
        // Table rows dominate. A row takes one byte per character plus one
        // more for every Cyrillic letter of its units and prefixes (about 24
        // in a step row), and its line end.
        const std::size_t StepWidth = 13 + (HammerMode ? 36 : 0) + 12 + (HasLength ? 12 : 0) + 24 +
                                      (HasLosses ? 24 : 0) + (Shock >= 0 ? 12 : 0);
        const std::size_t Stages = static_cast<std::size_t>(std::max(Calc.StageCount, 0));
        const std::size_t Steps =
            Calc.StageCount < 2 ? static_cast<std::size_t>(std::max(Calc.Count, 0)) : 0;
        return 4096 + Stages * (111 + 40) + Steps * (StepWidth + 26);
    }

    // Step row Number (from 1) of record R, with its line end.
    void StepRow(TRow& Row, int Number, const TCalcStep& R) const
    {
        AddInteger(Row, Number, 5);
        AddValue(Row, R.Time, Seconds, 8);
        if (HammerMode) {
            if (Blow->Count >= Number) {
                const TCalcStep& B = Blow->Records[Number - 1];
                AddValue(Row, B.Losses, Pascals, 12);
                AddValue(Row, B.Speed, MetresPerSecond, 12);
                AddValue4(Row, B.Fill, Metres, 12);
            } else {
                Row.Add(NoDrivingCells);
            }
        }
        if (HasLength) {
            AddValue4(Row, std::min(R.Fill, Calc.Length), Metres, 12);
            AddValue4(Row, R.Fill - Calc.InitialFill, Metres, 12);
        } else {
            AddValue4(Row, R.Fill, Metres, 12);
        }
        AddValue(Row, R.Speed, MetresPerSecond, 12);
        AddValue(Row, R.Accel, Acceleration, 12);
        if (HasLosses) {
            AddValue(Row, R.Losses, Pascals, 12);
            AddReynolds(Row, R.Re);
        }
        if (Shock >= 0)
            AddValue(Row, R.Speed * Calc.Density * Shock, Pascals, 12);
        Row.Add(LineEnd);
    }

private:
    // Records 0..Count-1 must be there before anything reads them.
    static void CheckRecords(const TCalc& C)
    {
        if (C.Count > 0 && (C.Records == nullptr || C.Count > C.Capacity))
            throw std::logic_error("step records missing");
    }
};

class TReportWriter {
public:
    TReportWriter(const TLayout& Layout, const TTextSink& Sink, TProgress& Window)
        : Layout(Layout), Calc(Layout.Calc), Blow(Layout.Blow), Sink(Sink), Window(Window)
    {
        Out.reserve(PieceSize + 4096);
    }

    void Write()
    {
        Line("ИСХОДНЫЕ ДАННЫЕ:");
        if (Layout.HammerMode)
            HammerInput();
        else
            Line("Постоянное внешнее разгоняющее давление ", V(Calc.Pressure), "Па.");
        LiquidAndPipe();
        ResultsHeading();
        if (Calc.StageCount > 0)
            StageTable();
        if (Calc.StageCount < 2)
            StepTable();
        Flush();
    }

    // Hands the buffered text on.
    void Flush()
    {
        if (Out.empty())
            return;
        Sinking = true;
        Sink(Out);
        Sinking = false;
        Out.clear();
    }
    // A failure while the report is made: what was made before it is handed
    // on, unless the failure is the sink's own.
    void FlushAfterFailure()
    {
        if (Sinking)
            return;
        try {
            Flush();
        } catch (...) {
            // The report's own failure is the one to tell.
        }
    }

private:
    const TLayout& Layout;
    const TCalc& Calc;
    const TCalc* Blow;
    const TTextSink& Sink;
    TProgress& Window;
    std::string Out;       // the text not yet handed on
    bool Sinking = false;  // the sink has the text

    bool PipeFilledWritten = false;
    bool Cancelled = false;

    void Pass()
    {
        if (Out.size() >= PieceSize)
            Flush();
    }

    void EndLine()
    {
        Out += LineEnd;
        Pass();
    }

    void Line(std::string_view Text)
    {
        Out += Text;
        EndLine();
    }
    void Line(std::string_view Label, const std::string& Value, std::string_view Unit)
    {
        Out += Label;
        Out += Value;
        Out += Unit;
        EndLine();
    }

    void WritePipeFilledOnce(double Fill)
    {
        if (Layout.HasLength && Fill > Calc.Length && !PipeFilledWritten) {
            Line(PipeFilledLine);
            PipeFilledWritten = true;
        }
    }

    void CancelledLine(long long Done, long long Total)
    {
        Out += CancelledStart;
        Out += std::to_string(Done);
        Out += " из ";
        Out += std::to_string(Total);
        Line(")!");
    }

    // True when the user has pressed Cancel; asked before every table row and
    // remembered for the rest of the report.
    bool UserCancelled()
    {
        if (!Cancelled)
            Cancelled = Window.Percent_Cancelled();
        return Cancelled;
    }

    void HammerInput()
    {
        const double Rho = Calc.Density;
        const double Beta = Calc.Condens;
        Line("Разгон под действием внешнего гидроудара с параметрами:");
        Line("   cкорость потока во внешней трубе перед ударом ", V(Blow->InitialSpeed), "м/с,");
        Line("   диаметр внешней трубы ", V(Blow->Diameter), "м,");
        Line("   толщина стенки внешней трубы ", V(Blow->Walls), "м,");
        Line("   модуль упругости внешней трубы ", V(Blow->Young), "Па,");
        Line("   противодавление на выходе рассчитываемой трубы ", V(Calc.Pressure), "Па.");
        if (!(Beta > 0 && Rho > 0))
            return;
        const bool Elastic = Blow->Diameter > 0 && Blow->Walls > 0 && Blow->Young > 0;
        const double Hammer = WaveSpeed(Rho, Beta, Blow->Diameter, Blow->Walls, Blow->Young);
        Out += "Расчётная скорость ударной волны нагнетающего гидроудара ";
        if (!Elastic)
            Out += "(без учёта упругости стенок трубы) ";
        Line("", V(Hammer), "м/с.");
        if (Hammer > 0 && Blow->Length > 0)
            Line("Расчётная длительность нагнетающего гидроудара ", V(Blow->Length / Hammer), "с.");
    }

    void LiquidAndPipe()
    {
        const double Density = Calc.Density * 1000;  // g/m³
        Line("Плотность жидкости ",
             Calc.Density > 1 ? FormatWithPrefix(ValueDigits, " ", Density, 1000) : V(Density),
             "г/куб.м.");
        Line("Динамическая вязкость жидкости ", V(Calc.Viscous * 1000), "г/(м·с).");
        if (Layout.Shock >= 0)
            Line("Сжимаемость жидкости ", V(Calc.Condens), "(Па-1).");
        if (!Layout.HasLosses) {
            Line("Расчёт потерь на трение не выполнялся (не указаны все необходимые данные).");
        } else if (Calc.Rough <= 0) {
            Line("Труба считается гидравлически гладкой.");
        } else {
            Line("Эквивалентная шероховатость трубы ", V(Calc.Rough), "м.");
        }
        Line("Уклон трубы ", FloatToFixed(1, Calc.Slope), "°.");
        if (Layout.HasLosses || Layout.Shock >= 0)
            Line("Диаметр трубы ", V(Calc.Diameter), "м.");
        if (Layout.Shock < 0) {
            Line("Расчёт скорости ударной волны и силы гидроудара не выполнялся "
                 "(не указаны все необходимые данные).");
        } else {
            Line("Толщина стенок трубы ", V(Calc.Walls), "м.");
            Line("Модуль упругости материала трубы (модуль Юнга) ", V(Calc.Young), "Па.");
        }
        EndLine();
    }

    void ResultsHeading()
    {
        Out += "РЕЗУЛЬТАТЫ";
        if (Calc.StageCount == 1)
            Out += " (НАГНЕТЕНИЕ ОДИНОЧНЫМ ГИДРОУДАРОМ)";
        else if (Calc.StageCount > 1)
            Out += " (НАГНЕТЕНИЕ ГИДРОУДАРОМ)";
        Line(":");
        if (Layout.LiquidSound >= 0)
            Line("Скорость звука в жидкости ", V(Layout.LiquidSound), "м/c.");
        if (Layout.Shock >= 0)
            Line("Скорость ударной волны ", V(Layout.Shock), "м/c.");
    }

    void StageTable()
    {
        const TCalcStage* Stage = Calc.Stages;
        if (Stage)
            Line(Stage->Pause == 0 ? "Растянутый гидроудар (с большими утечками — без отбоя)."
                                   : "Отсечённый гидроудар с повторами.");
        Out += "   №№   Время";
        Out += " Нач.скорость Ост.скорость Нап.скорость";
        Out += " Нагнет.давл. Нагн.разность   Закачано ";
        Line("Время нагнет.  Пауза");

        int Started = 0;
        while (Stage && Started < Calc.StageCount && !UserCancelled()) {
            ++Started;
            Window.Percent_Set(Started, Calc.StageCount);
            WritePipeFilledOnce(Stage->Pumped);
            TRow Row;
            try {
                StageRow(Row, Started, *Stage);
                Out += Row.Text();
                Pass();
            } catch (...) {
                // The part of the row already made stays, with the message after it.
                Out += Row.Text();
                Line(" ОШИБКА ФОРМИРОВАНИЯ ОТЧЁТА!");
            }
            Stage = Stage->Next;
        }

        if (Cancelled)
            CancelledLine(Started, Calc.StageCount);
        else if (Started != Calc.StageCount)
            Line(" ОТЧЁТ СФОРМИРОВАН НЕ ПОЛНОСТЬЮ!");
        if (Calc.StageCount == 1) {
            EndLine();
            Line("ПОДРОБНЫЕ РЕЗУЛЬТАТЫ НАГНЕТЕНИЯ ОДИНОЧНЫМ ГИДРОУДАРОМ:");
        }
    }

    void StageRow(TRow& Row, int Number, const TCalcStage& S) const
    {
        AddInteger(Row, Number, 5);
        AddValue(Row, S.StartTime, Seconds, 8);
        AddValue(Row, S.StartSpeed, MetresPerSecond, 13);
        AddValue(Row, S.RestSpeed, MetresPerSecond, 13);
        AddValue(Row, S.PipeSpeed, MetresPerSecond, 13);
        AddValue(Row, S.PumpPressure, Pascals, 13);
        AddValue(Row, S.PumpPressure - Calc.Pressure, Pascals, 13);
        if (!Blow)
            throw std::logic_error("no driving pipe for the pumped volume");
        const double Radius = Blow->Diameter / 2;
        AddValue4(Row, std::numbers::pi * Radius * Radius * S.Pumped * 1000, Litres, 12);
        AddValue(Row, S.PumpTime, Seconds, 13);
        AddValue(Row, S.Pause, Seconds, 8);
        Row.Add(LineEnd);
    }

    void StepTable()
    {
        Out += "   №№   Время ";
        if (Layout.HammerMode)
            Out += "Вх.давление Ост.скорость Продвижение";
        Out += " Заполнение";
        if (Layout.HasLength)
            Out += " Продвижение";
        Out += "    Скорость   Ускорение";
        if (Layout.HasLosses)
            Out += "      Потери          Re";
        if (Layout.Shock >= 0)
            Out += "  Сила удара";
        EndLine();

        InitialRow();

        const int Rows = std::max(Calc.Count, 0);
        int Started = 0;
        // A cancellation in the stage table holds for this one too: no row is made.
        if (Rows > 0 && !Cancelled) {
            const TMakeBlock Make = [&](int64_t Block, TTextBlock& Text) {
                const int64_t First = Block * RowsPerBlock;
                const int64_t End = std::min<int64_t>(First + RowsPerBlock, Rows);
                for (int64_t K = First; K < End; ++K) {
                    TRow Row;
                    Layout.StepRow(Row, static_cast<int>(K + 1), Calc.Records[K]);
                    Text.Text += Row.Text();
                    Text.EndRow();
                }
            };
            const TTakeBlock Take = [&](int64_t, const TTextBlock& Text) {
                std::size_t From = 0;
                for (const std::size_t RowEnd : Text.RowEnds) {
                    if (UserCancelled())
                        return false;
                    ++Started;
                    Window.Percent_Set(Started, Rows);
                    WritePipeFilledOnce(Calc.Records[Started - 1].Fill);
                    Out.append(Text.Text, From, RowEnd - From);
                    From = RowEnd;
                    Pass();
                }
                return true;
            };
            MakeBlocksInOrder((Rows + RowsPerBlock - 1) / RowsPerBlock, Make, Take);
        }
        if (Cancelled)
            CancelledLine(Started, Calc.Count);
    }

    // Row 0: the state at the start of the run.
    void InitialRow()
    {
        TRow Row;
        Row.Add("    0   0.0 c");
        if (Layout.HammerMode) {
            AddValue(Row, 0, Pascals, 12);
            AddValue(Row, Blow->InitialSpeed, MetresPerSecond, 12);
            AddValue4(Row, Blow->InitialFill, Metres, 12);
        }
        if (Layout.HasLength) {
            AddValue4(Row, std::min(Calc.InitialFill, Calc.Length), Metres, 12);
            AddValue(Row, 0, Metres, 12);
        } else {
            AddValue4(Row, Calc.InitialFill, Metres, 12);
        }
        AddValue(Row, Calc.InitialSpeed, MetresPerSecond, 12);
        if (Layout.HasLosses) {
            Row.Add("        -");
            Row.Add("            -  ");
            AddReynolds(Row, Calc.Reynolds(Calc.InitialSpeed));
        } else if (Layout.Shock >= 0) {
            // The acceleration dash fills its whole cell so that the
            // hammer force stays under its heading.
            Row.Add("        -   ");
        } else {
            Row.Add("        -");
        }
        if (Layout.Shock >= 0)
            AddValue(Row, Calc.InitialSpeed * Calc.Density * Layout.Shock, Pascals, 12);
        Out += Row.Text();
        EndLine();
    }
};

// Writes the report, handing on the text made before a failure of the rows
// (a failure of the sink itself ends the writing at once).
void Write(const TLayout& Layout, const TTextSink& Sink, TProgress& Window)
{
    TReportWriter Writer(Layout, Sink, Window);
    try {
        Writer.Write();
    } catch (...) {
        Writer.FlushAfterFailure();
        throw;
    }
}

}  // namespace

void WriteReport(const TCalc& Calc, const TTextSink& Sink)
{
    const std::unique_ptr<TProgress> Window = OpenProgress("Генерация отчёта...");
    const TLayout Layout(Calc, BlowCalc);
    Write(Layout, Sink, *Window);
}

void CheckReportRecords(const TCalc& Calc)
{
    const TLayout Layout(Calc, BlowCalc);
}

void TCalc::MakeReport(std::string& Text) const
{
    const std::unique_ptr<TProgress> Window = OpenProgress("Генерация отчёта...");
    const TLayout Layout(*this, BlowCalc);
    Text.clear();
    try {
        Text.reserve(Layout.Estimate());
    } catch (const std::bad_alloc&) {
        // Only an estimate: the text still grows as it is written.
    } catch (const std::length_error&) {}
    Write(
        Layout, [&Text](std::string_view Piece) { Text += Piece; }, *Window);
}
