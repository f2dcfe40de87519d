// Text report of a finished calculation: the input data, the derived wave
// speeds and the tables of pumping stages and time steps, as one UTF-8 text
// with CR LF line ends. Columns are right-aligned by character count.
//
// The text grows by appending into the caller's string (reserved once from
// an estimate); the progress window is told about every table row and asked
// for a cancellation before each one.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
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
#include "text/NumberText.h"
#include "text/Utf8Text.h"

namespace {

constexpr std::string_view LineEnd = "\r\n";

constexpr std::string_view PipeFilledLine = "----- ТРУБА ЗАПОЛНЕНА ПОЛНОСТЬЮ! -----";
constexpr std::string_view CancelledStart = "ГЕНЕРАЦИЯ ОТЧЁТА БЫЛА ПРЕРВАНА ПОЛЬЗОВАТЕЛЕМ (";

// The three driving-pipe cells of a step that the driving pipe did not record.
constexpr std::string_view NoDrivingCells = "        -           -           -   ";

// A wave speed that the report shows, or -1 when it is not a finite positive number.
double Shown(double C)
{
    return std::isfinite(C) && C > 0 ? C : -1;
}

class TReportWriter {
public:
    TReportWriter(const TCalc& Calc, std::string& Out, TProgress& Window)
        : Calc(Calc), Blow(BlowCalc), Out(Out), Window(Window)
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

    void Write()
    {
        Out.clear();
        ReserveEstimate();
        Line("ИСХОДНЫЕ ДАННЫЕ:");
        if (HammerMode)
            HammerInput();
        else
            Line("Постоянное внешнее разгоняющее давление ", V(Calc.Pressure), "Па.");
        LiquidAndPipe();
        ResultsHeading();
        if (Calc.StageCount > 0)
            StageTable();
        if (Calc.StageCount < 2)
            StepTable();
    }

private:
    const TCalc& Calc;
    const TCalc* Blow;
    std::string& Out;
    TProgress& Window;

    bool HammerMode = false;
    bool HasLosses = false;   // friction losses and Reynolds numbers were computed
    bool HasLength = false;   // the pipe has a finite length
    double LiquidSound = -1;  // speed of sound in the liquid
    double Shock = -1;        // shock-wave speed in the filled pipe
    bool PipeFilledWritten = false;
    bool Cancelled = false;
    std::string Cell;  // scratch text of the cell being written

    static inline const std::string Blank = " ";

    // Records 0..Count-1 must be there before anything reads them.
    static void CheckRecords(const TCalc& C)
    {
        if (C.Count > 0 && (C.Records == nullptr || C.Count > C.Capacity))
            throw std::logic_error("step records missing");
    }

    static std::string V(double X) { return FormatWithPrefix(ValueDigits, Blank, X, 0); }
    static std::string V4(double X) { return FormatWithPrefix(ValueDigits + 1, Blank, X, 0); }

    void EndLine() { Out += LineEnd; }

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

    void ReserveEstimate()
    {
        // Table rows dominate. A row takes one byte per character plus one
        // more for every Cyrillic letter of its units and prefixes (about 24
        // in a step row), and its line end.
        const std::size_t StepWidth = 13 + (HammerMode ? 36 : 0) + 12 + (HasLength ? 12 : 0) + 24 +
                                      (HasLosses ? 24 : 0) + (Shock >= 0 ? 12 : 0);
        const std::size_t Stages = static_cast<std::size_t>(std::max(Calc.StageCount, 0));
        const std::size_t Steps =
            Calc.StageCount < 2 ? static_cast<std::size_t>(std::max(Calc.Count, 0)) : 0;
        const std::size_t Estimate = 4096 + Stages * (111 + 40) + Steps * (StepWidth + 26);
        try {
            Out.reserve(Estimate);
        } catch (const std::bad_alloc&) {
            // Only an estimate: the text still grows as it is written.
        } catch (const std::length_error&) {}
    }

    // Appends S right-aligned in Width characters (a longer S whole).
    void AppendPadded(const std::string& S, std::size_t Width)
    {
        const std::size_t Length = Utf8Length(S);
        if (Length < Width)
            Out.append(Width - Length, ' ');
        Out += S;
    }
    void AppendCell(std::string Number, std::string_view Unit, std::size_t Width)
    {
        Cell = std::move(Number);
        Cell += Unit;
        AppendPadded(Cell, Width);
    }
    void AppendInteger(long long X, std::size_t Width)
    {
        char Buffer[24];
        const auto Result = std::to_chars(Buffer, Buffer + sizeof Buffer, X);
        const std::size_t Length = static_cast<std::size_t>(Result.ptr - Buffer);
        if (Length < Width)
            Out.append(Width - Length, ' ');
        Out.append(Buffer, Length);
    }
    // A Reynolds number rounded to a whole one, or "нет данных" when absent.
    void AppendReynolds(double Re)
    {
        if (Re < 0)
            Out += "  нет данных";
        else
            AppendCell(FloatToFixed(0, Re), "", 12);
    }

    void WritePipeFilledOnce(double Fill)
    {
        if (HasLength && Fill > Calc.Length && !PipeFilledWritten) {
            Line(PipeFilledLine);
            PipeFilledWritten = true;
        }
    }

    void CancelledLine(long long Done, long long Total)
    {
        Out += CancelledStart;
        AppendInteger(Done, 0);
        Out += " из ";
        AppendInteger(Total, 0);
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
             Calc.Density > 1 ? FormatWithPrefix(ValueDigits, Blank, Density, 1000) : V(Density),
             "г/куб.м.");
        Line("Динамическая вязкость жидкости ", V(Calc.Viscous * 1000), "г/(м·с).");
        if (Shock >= 0)
            Line("Сжимаемость жидкости ", V(Calc.Condens), "(Па-1).");
        if (!HasLosses) {
            Line("Расчёт потерь на трение не выполнялся (не указаны все необходимые данные).");
        } else if (Calc.Rough <= 0) {
            Line("Труба считается гидравлически гладкой.");
        } else {
            Line("Эквивалентная шероховатость трубы ", V(Calc.Rough), "м.");
        }
        Line("Уклон трубы ", FloatToFixed(1, Calc.Slope), "°.");
        if (HasLosses || Shock >= 0)
            Line("Диаметр трубы ", V(Calc.Diameter), "м.");
        if (Shock < 0) {
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
        if (LiquidSound >= 0)
            Line("Скорость звука в жидкости ", V(LiquidSound), "м/c.");
        if (Shock >= 0)
            Line("Скорость ударной волны ", V(Shock), "м/c.");
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
            try {
                WritePipeFilledOnce(Stage->Pumped);
                StageRow(Started, *Stage);
            } catch (...) {
                // The part of the row already written stays, with the message after it.
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

    void StageRow(int Number, const TCalcStage& S)
    {
        AppendInteger(Number, 5);
        AppendCell(V(S.StartTime), "с", 8);
        AppendCell(V(S.StartSpeed), "м/с", 13);
        AppendCell(V(S.RestSpeed), "м/с", 13);
        AppendCell(V(S.PipeSpeed), "м/с", 13);
        AppendCell(V(S.PumpPressure), "Па", 13);
        AppendCell(V(S.PumpPressure - Calc.Pressure), "Па", 13);
        if (!Blow)
            throw std::logic_error("no driving pipe for the pumped volume");
        const double Radius = Blow->Diameter / 2;
        AppendCell(V4(std::numbers::pi * Radius * Radius * S.Pumped * 1000), "л", 12);
        AppendCell(V(S.PumpTime), "с", 13);
        AppendCell(V(S.Pause), "с", 8);
        EndLine();
    }

    void StepTable()
    {
        Out += "   №№   Время ";
        if (HammerMode)
            Out += "Вх.давление Ост.скорость Продвижение";
        Out += " Заполнение";
        if (HasLength)
            Out += " Продвижение";
        Out += "    Скорость   Ускорение";
        if (HasLosses)
            Out += "      Потери          Re";
        if (Shock >= 0)
            Out += "  Сила удара";
        EndLine();

        InitialRow();

        const int Rows = std::max(Calc.Count, 0);
        int Started = 0;
        while (Started < Rows && !UserCancelled()) {
            ++Started;
            Window.Percent_Set(Started, Rows);
            const TCalcStep& R = Calc.Records[Started - 1];
            WritePipeFilledOnce(R.Fill);
            StepRow(Started, R);
        }
        if (Cancelled)
            CancelledLine(Started, Calc.Count);
    }

    // Row 0: the state at the start of the run.
    void InitialRow()
    {
        Out += "    0   0.0 c";
        if (HammerMode) {
            AppendCell(V(0), "Па", 12);
            AppendCell(V(Blow->InitialSpeed), "м/с", 12);
            AppendCell(V4(Blow->InitialFill), "м", 12);
        }
        if (HasLength) {
            AppendCell(V4(std::min(Calc.InitialFill, Calc.Length)), "м", 12);
            AppendCell(V(0), "м", 12);
        } else {
            AppendCell(V4(Calc.InitialFill), "м", 12);
        }
        AppendCell(V(Calc.InitialSpeed), "м/с", 12);
        if (HasLosses) {
            Out += "        -";
            Out += "            -  ";
            AppendReynolds(Calc.Reynolds(Calc.InitialSpeed));
        } else if (Shock >= 0) {
            // The acceleration dash fills its whole cell so that the
            // hammer force stays under its heading.
            Out += "        -   ";
        } else {
            Out += "        -";
        }
        if (Shock >= 0)
            AppendCell(V(Calc.InitialSpeed * Calc.Density * Shock), "Па", 12);
        EndLine();
    }

    void StepRow(int Number, const TCalcStep& R)
    {
        AppendInteger(Number, 5);
        AppendCell(V(R.Time), "с", 8);
        if (HammerMode) {
            if (Blow->Count >= Number) {
                const TCalcStep& B = Blow->Records[Number - 1];
                AppendCell(V(B.Losses), "Па", 12);
                AppendCell(V(B.Speed), "м/с", 12);
                AppendCell(V4(B.Fill), "м", 12);
            } else {
                Out += NoDrivingCells;
            }
        }
        if (HasLength) {
            AppendCell(V4(std::min(R.Fill, Calc.Length)), "м", 12);
            AppendCell(V4(R.Fill - Calc.InitialFill), "м", 12);
        } else {
            AppendCell(V4(R.Fill), "м", 12);
        }
        AppendCell(V(R.Speed), "м/с", 12);
        AppendCell(V(R.Accel), "м/с2", 12);
        if (HasLosses) {
            AppendCell(V(R.Losses), "Па", 12);
            AppendReynolds(R.Re);
        }
        if (Shock >= 0)
            AppendCell(V(R.Speed * Calc.Density * Shock), "Па", 12);
        EndLine();
    }
};

}  // namespace

void TCalc::MakeReport(std::string& Text) const
{
    const std::unique_ptr<TProgress> Window = OpenProgress("Генерация отчёта...");
    TReportWriter(*this, Text, *Window).Write();
}
