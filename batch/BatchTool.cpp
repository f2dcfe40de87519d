#include "batch/BatchTool.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string_view>
#include <system_error>

#include "case/CaseModel.h"
#include "case/RunSetup.h"
#include "engine/Calc.h"
#include "engine/UserLink.h"
#include "results/SvgCanvas.h"
#include "text/AtomicWrite.h"
#include "text/Profile.h"

// HYD_VERSION and HYD_PRODUCT_NAME come from the build (the project version).

namespace {

constexpr const char* ToolName = "hyd-calc";

const char* const HelpText =
    "Использование: hyd-calc ФАЙЛ.Hyd [параметры]\n"
    "Расчёт заполнения трубы потоком по файлу параметров, без окон: так же, как\n"
    "команда «Расчёт» главного окна.\n"
    "\n"
    "  --report ФАЙЛ       записать отчёт (UTF-8, строки CR LF)\n"
    "  --csv ФАЙЛ          записать шаги расчёта: Time,Fill,Speed,Accel,Losses,Re\n"
    "  --stages-csv ФАЙЛ   записать этапы гидроудара: StartTime,StartSpeed,RestSpeed,\n"
    "                      PumpPressure,Pumped,PipeSpeed,PumpTime,Pause\n"
    "  --svg ФАЙЛ          записать графики в формате SVG\n"
    "  --size ШxВ          размер графиков в пикселях, 16..10000 (по умолчанию 800x500)\n"
    "  --gravity G         гравитационное ускорение, м/c2, 0..1e6 (по умолчанию 9.81)\n"
    "  --help              показать эту справку\n"
    "  --version           показать версию\n"
    "\n"
    "Параметры можно писать до и после файла, в виде «--параметр значение» или\n"
    "«--параметр=значение». Без параметров вывода отчёт выводится на стандартный\n"
    "вывод. Сообщения программы выводятся на стандартный поток ошибок, по одному\n"
    "в строке.\n"
    "\n"
    "Код завершения: 0 — расчёт выполнен без сообщений об ошибках; 1 — было\n"
    "сообщение об ошибке; 2 — ошибка в командной строке, файл параметров не\n"
    "открывается, данных недостаточно для расчёта или файл результата не записан.\n";

struct TUsageError : std::runtime_error {
    using runtime_error::runtime_error;
};

struct TOptions {
    bool Help = false;
    bool Version = false;
    std::string CaseFile;
    std::optional<std::string> Report, Csv, StagesCsvFile, Svg;
    int Width = SvgDefaultWidth;
    int Height = SvgDefaultHeight;
    double Gravity = 9.81;

    bool AnyOutput() const { return Report || Csv || StagesCsvFile || Svg; }
};

std::string Quoted(std::string_view Text)
{
    return "«" + std::string(Text) + "»";
}

void ParseSize(const std::string& Text, TOptions& Options)
{
    int Width = 0, Height = 0;
    if (!ParseSvgSize(Text, Width, Height))
        throw TUsageError("неверный размер " + Quoted(Text) + ": нужно ШxВ, целые числа от " +
                          std::to_string(SvgMinSize) + " до " + std::to_string(SvgMaxSize));
    Options.Width = Width;
    Options.Height = Height;
}

void ParseGravity(std::string_view Text, TOptions& Options)
{
    double Value = 0;
    const char* End = Text.data() + Text.size();
    auto [Ptr, Ec] = std::from_chars(Text.data(), End, Value);
    if (Text.empty() || Ec != std::errc() || Ptr != End || !(Value >= 0 && Value <= 1e6))
        throw TUsageError("неверное ускорение " + Quoted(Text) + ": нужно число от 0 до 1e6");
    Options.Gravity = Value;
}

TOptions ParseArgs(const std::vector<std::string>& Args)
{
    TOptions Options;
    bool CaseGiven = false;
    bool OptionsEnded = false;
    auto SetFile = [](std::optional<std::string>& Slot, const std::string& Name,
                      const std::string& Value) {
        if (Slot)
            throw TUsageError("параметр " + Name + " указан дважды");
        Slot = Value;
    };
    for (std::size_t i = 0; i < Args.size(); ++i) {
        const std::string& Arg = Args[i];
        if (OptionsEnded || Arg.size() < 2 || Arg.compare(0, 1, "-") != 0) {
            if (CaseGiven)
                throw TUsageError("лишний файл параметров " + Quoted(Arg) +
                                  " (файл уже указан: " + Quoted(Options.CaseFile) + ")");
            Options.CaseFile = Arg;
            CaseGiven = true;
            continue;
        }
        if (Arg == "--") {
            OptionsEnded = true;
            continue;
        }
        const std::size_t Eq = Arg.find('=');
        const std::string Name = Arg.substr(0, Eq);
        if (Name == "--help" || Name == "--version") {
            if (Eq != std::string::npos)
                throw TUsageError("параметр " + Name + " не принимает значения");
            (Name == "--help" ? Options.Help : Options.Version) = true;
            continue;
        }
        const bool TakesValue = Name == "--report" || Name == "--csv" || Name == "--stages-csv" ||
                                Name == "--svg" || Name == "--size" || Name == "--gravity";
        if (!TakesValue)
            throw TUsageError("неизвестный параметр " + Quoted(Name));
        std::string Value;
        if (Eq != std::string::npos) {
            Value = Arg.substr(Eq + 1);
        } else if (i + 1 < Args.size() && Args[i + 1].compare(0, 2, "--") != 0) {
            Value = Args[++i];
        } else {
            throw TUsageError("для параметра " + Name + " не указано значение");
        }
        if (Value.empty())
            throw TUsageError("для параметра " + Name + " не указано значение");
        if (Name == "--report")
            SetFile(Options.Report, Name, Value);
        else if (Name == "--csv")
            SetFile(Options.Csv, Name, Value);
        else if (Name == "--stages-csv")
            SetFile(Options.StagesCsvFile, Name, Value);
        else if (Name == "--svg")
            SetFile(Options.Svg, Name, Value);
        else if (Name == "--size")
            ParseSize(Value, Options);
        else
            ParseGravity(Value, Options);
    }
    if (!CaseGiven && !Options.Help && !Options.Version)
        throw TUsageError("не указан файл параметров");
    return Options;
}

// Messages of the engine and of this tool that the desktop program would show
// in its message dialog: written to Err as shown, one per line, no progress.
class TBatchLink : public TStdErrLink {
public:
    explicit TBatchLink(std::ostream& Err) : Err(Err) {}
    void Dialog_Error(const std::string& Text) override
    {
        ++ErrorCount;
        Show(Text);
    }
    void Dialog_Warning(const std::string& Text) override { Show(Text); }

private:
    void Show(const std::string& Text) { Err << Text << "!\n" << std::flush; }
    std::ostream& Err;
};

// Receives the text of an output piece by piece.
using TSink = std::function<void(std::string_view)>;

// A file written atomically (text/AtomicWrite.h): Produce hands the text to a
// sink that streams it into a temporary file beside the target, which takes
// the target's place once it is complete; on any failure the target stays as
// it was. Errors name the file and the reason.
void WriteOutput(const std::string& Name, const std::function<void(const TSink&)>& Produce)
{
    try {
        TAtomicFile File(Name);
        Produce([&File](std::string_view Text) { File.Write(Text); });
        File.Commit();
    } catch (const TAtomicWriteError& E) {
        throw std::runtime_error("Ошибка записи файла " + Quoted(Name) + ": " + E.Reason());
    } catch (const std::exception& E) {
        throw std::runtime_error("Ошибка записи файла " + Quoted(Name) + ": " + E.what());
    }
}

// CSV text collected in a buffer that goes to the sink in large pieces.
class TCsvWriter {
public:
    explicit TCsvWriter(const TSink& Sink) : Sink(Sink) { Buffer.reserve(Chunk + 4096); }
    TCsvWriter(const TCsvWriter&) = delete;
    TCsvWriter& operator=(const TCsvWriter&) = delete;

    void Line(std::string_view Text)
    {
        Buffer += Text;
        Buffer += '\n';
        Pass();
    }
    // One line of numbers in the shortest text that reads back to the same double.
    void Row(std::initializer_list<double> Values)
    {
        bool First = true;
        for (double X : Values) {
            if (!First)
                Buffer += ',';
            First = false;
            char Text[32];
            const auto [End, Ec] = std::to_chars(Text, Text + sizeof Text, X);
            if (Ec != std::errc())
                throw std::runtime_error("number text");
            Buffer.append(Text, End);
        }
        Buffer += '\n';
        Pass();
    }
    void Finish()
    {
        if (!Buffer.empty())
            Sink(Buffer);
        Buffer.clear();
    }

private:
    static constexpr std::size_t Chunk = 1 << 20;
    void Pass()
    {
        if (Buffer.size() >= Chunk)
            Finish();
    }
    const TSink& Sink;
    std::string Buffer;
};

void WriteRecordsCsv(const TCalc& Calc, const TSink& Sink)
{
    TCsvWriter Csv(Sink);
    Csv.Line("Time,Fill,Speed,Accel,Losses,Re");
    const int32_t Count = Calc.Records ? Calc.Count : 0;
    for (int32_t i = 0; i < Count; ++i) {
        const TCalcStep& R = Calc.Records[i];
        Csv.Row({R.Time, R.Fill, R.Speed, R.Accel, R.Losses, R.Re});
    }
    Csv.Finish();
}

void WriteStagesCsv(const TCalc& Calc, const TSink& Sink)
{
    TCsvWriter Csv(Sink);
    Csv.Line("StartTime,StartSpeed,RestSpeed,PumpPressure,Pumped,PipeSpeed,PumpTime,Pause");
    for (const TCalcStage* S = Calc.Stages; S; S = S->Next)
        Csv.Row({S->StartTime, S->StartSpeed, S->RestSpeed, S->PumpPressure, S->Pumped,
                 S->PipeSpeed, S->PumpTime, S->Pause});
    Csv.Finish();
}

std::string Collect(const std::function<void(const TSink&)>& Produce)
{
    std::string Text;
    Produce([&Text](std::string_view Piece) { Text += Piece; });
    return Text;
}

// Step 4 onwards of a batch run: the case can be calculated.
int CalculateCase(const TOptions& Options, const TCase& Case, std::ostream& Out, std::ostream& Err)
{
    TBatchLink Link(Err);
    TCalc Calc;
    TCalc Blow;
    // In force for the report and the chart too.
    TRunSetup Setup(Case, Blow, Options.Gravity, Link);
    try {
        Setup.Run(Case.MayBlow, Calc);
    } catch (const std::exception&) {
        // The engine reports its own faults; this catches what escapes it.
        Link.Dialog_Error("Ошибка выполнения расчётов!");
    }

    std::string Report;
    const bool ReportWanted = Options.Report || !Options.AnyOutput();
    if (ReportWanted) {
        try {
            Calc.MakeReport(Report);
        } catch (const std::exception&) {
            Link.Dialog_Error("Ошибка генерации отчёта");
        }
    }

    bool Failed = false;
    auto Write = [&](const std::optional<std::string>& Name,
                     const std::function<void(const TSink&)>& Produce) {
        if (!Name)
            return;
        try {
            WriteOutput(*Name, Produce);
        } catch (const std::exception& E) {
            Err << ToolName << ": " << E.what() << "\n" << std::flush;
            Failed = true;
        }
    };
    Write(Options.Report, [&](const TSink& Sink) { Sink(Report); });
    Write(Options.Csv, [&](const TSink& Sink) { WriteRecordsCsv(Calc, Sink); });
    Write(Options.StagesCsvFile, [&](const TSink& Sink) { WriteStagesCsv(Calc, Sink); });
    Write(Options.Svg,
          [&](const TSink& Sink) { Sink(ChartSvg(Calc, Options.Width, Options.Height)); });

    if (!Options.AnyOutput()) {
        Out.write(Report.data(), static_cast<std::streamsize>(Report.size()));
        Out.flush();
        if (!Out) {
            Err << ToolName << ": ошибка вывода отчёта на стандартный вывод\n" << std::flush;
            Failed = true;
        }
    }
    if (Failed)
        return BatchFailure;
    return Link.ErrorCount > 0 ? BatchCalcError : BatchOk;
}

}  // namespace

std::string RecordsCsv(const TCalc& Calc)
{
    return Collect([&Calc](const TSink& Sink) { WriteRecordsCsv(Calc, Sink); });
}

std::string StagesCsv(const TCalc& Calc)
{
    return Collect([&Calc](const TSink& Sink) { WriteStagesCsv(Calc, Sink); });
}

int RunBatch(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err)
{
    TOptions Options;
    try {
        Options = ParseArgs(Args);
    } catch (const TUsageError& E) {
        Err << ToolName << ": " << E.what() << "\n"
            << "Справка: " << ToolName << " --help\n"
            << std::flush;
        return BatchFailure;
    }
    if (Options.Help || Options.Version) {
        if (Options.Help)
            Out << HelpText;
        else
            Out << ToolName << " (" << HYD_PRODUCT_NAME << ") " << HYD_VERSION << "\n";
        Out.flush();
        return Out ? BatchOk : BatchFailure;
    }

    // The case file must exist and be readable; a missing file is not read as
    // the defaults here, unlike in the desktop program.
    const std::string OpenError =
        "Ошибка открытия файла параметров " + Quoted(Options.CaseFile) + "!";
    std::error_code Ec;
    if (!std::filesystem::is_regular_file(Options.CaseFile, Ec)) {
        Err << OpenError << "\n" << std::flush;
        return BatchFailure;
    }
    TCase Case;
    try {
        TProfile Profile(Options.CaseFile);
        LoadCase(Profile, Case);
    } catch (const std::exception&) {
        Err << OpenError << "\n" << std::flush;
        return BatchFailure;
    }

    if (!CanCalculate(Case)) {
        Err << CaseStatus(Case, Case.MayBlow).Text << "\n" << std::flush;
        return BatchFailure;
    }
    return CalculateCase(Options, Case, Out, Err);
}
