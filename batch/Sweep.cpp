#include "batch/Sweep.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <functional>
#include <mutex>
#include <ostream>
#include <stdexcept>
#include <system_error>
#include <thread>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "batch/BatchTool.h"
#include "batch/CommandLine.h"
#include "case/CaseModel.h"
#include "case/RunSetup.h"
#include "engine/Calc.h"
#include "engine/UserLink.h"
#include "results/Csv.h"
#include "results/Report.h"
#include "results/SvgCanvas.h"
#include "text/AtomicWrite.h"
#include "text/OrderedBlocks.h"
#include "text/Profile.h"

namespace {

constexpr const char* ToolName = "hyd-calc";

std::string NumberText(double X);

// A swept value as a key's text: the shortest text that reads back the same,
// without an exponent where that stays short ("100000", not "1e+05").
std::string ValueText(double X)
{
    char Text[400];
    const auto [End, Ec] = std::to_chars(Text, Text + sizeof Text, X, std::chars_format::fixed);
    if (Ec == std::errc() && End - Text <= 17)
        return std::string(Text, End);
    return NumberText(X);
}

std::string NumberText(double X)
{
    char Text[32];
    const auto [End, Ec] = std::to_chars(Text, Text + sizeof Text, X);
    return Ec == std::errc() ? std::string(Text, End) : std::string();
}

bool ReadWhole(std::string_view Text, std::uint64_t& Value)
{
    const char* End = Text.data() + Text.size();
    const auto [Ptr, Ec] = std::from_chars(Text.data(), End, Value);
    return !Text.empty() && Ec == std::errc() && Ptr == End;
}

struct TSweepOptions {
    std::string CaseFile;
    std::vector<TCaseOverride> Sets;
    std::vector<TSweepAxis> Axes;
    std::optional<std::string> Summary, OutputDir;
    unsigned Jobs = 0;  // 0: the number of processors
    std::uint64_t Part = 1, Parts = 1;
    double Gravity = 9.81;
    int Width = SvgDefaultWidth, Height = SvgDefaultHeight;
    bool Strict = false;
};

TSweepOptions ParseSweepArgs(const std::vector<std::string>& Args)
{
    TSweepOptions Options;
    const auto KindOf = [](const std::string& Name) {
        if (Name == "--report" || Name == "--csv" || Name == "--stages-csv" || Name == "--svg")
            throw TUsageError("параметр " + Name +
                              " не применяется к серии расчётов: файлы вариантов пишет --outputs");
        if (Name == "--set" || Name == "--sweep")
            return TOptionKind::Repeated;
        if (Name == "--strict")
            return TOptionKind::Flag;
        if (Name == "--summary" || Name == "--outputs" || Name == "--jobs" || Name == "--part" ||
            Name == "--gravity" || Name == "--size")
            return TOptionKind::Value;
        return TOptionKind::Unknown;
    };
    const auto Take = [&](const std::string& Name, const std::string& Value) {
        if (Name == "--set") {
            Options.Sets.push_back(ReadCaseOverride(Value));
        } else if (Name == "--strict") {
            Options.Strict = true;
        } else if (Name == "--sweep") {
            std::string Error;
            auto Axis = ParseSweepAxis(Value, Error);
            if (!Axis)
                throw TUsageError("--sweep: " + Error);
            for (const TSweepAxis& Other : Options.Axes)
                if (Other.Key == Axis->Key)
                    throw TUsageError("--sweep: ключ " + Axis->Key.Name() + " задан дважды");
            Options.Axes.push_back(std::move(*Axis));
        } else if (Name == "--summary") {
            Options.Summary = Value;
        } else if (Name == "--outputs") {
            Options.OutputDir = Value;
        } else if (Name == "--jobs") {
            std::uint64_t Jobs = 0;
            if (!ReadWhole(Value, Jobs) || Jobs < 1 || Jobs > 1024)
                throw TUsageError("неверное число потоков " + Quoted(Value) +
                                  ": нужно целое число от 1 до 1024");
            Options.Jobs = static_cast<unsigned>(Jobs);
        } else if (Name == "--part") {
            const std::size_t Slash = Value.find('/');
            std::uint64_t K = 0, N = 0;
            if (Slash == std::string::npos || !ReadWhole(Value.substr(0, Slash), K) ||
                !ReadWhole(Value.substr(Slash + 1), N) || N < 1 || K < 1 || K > N)
                throw TUsageError("неверная часть " + Quoted(Value) +
                                  ": нужно K/N, целые числа, 1 <= K <= N");
            Options.Part = K;
            Options.Parts = N;
        } else if (Name == "--size") {
            ReadSvgSize(Value, Options.Width, Options.Height);
        } else {
            Options.Gravity = ReadGravity(Value);
        }
    };
    const std::optional<std::string> CaseFile = ReadCommandLine(Args, KindOf, Take);
    if (!CaseFile)
        throw TUsageError("не указан файл параметров");
    Options.CaseFile = *CaseFile;
    if (SweepVariantCount(Options.Axes) > SweepMaxVariants)
        throw TUsageError("слишком много вариантов: больше " + std::to_string(SweepMaxVariants));
    return Options;
}

// The messages of one variant, kept to be shown together under its index.
class TVariantLink : public TUserLink {
public:
    std::unique_ptr<TProgress> Percent_Open(const std::string&) override
    {
        return SilentProgress();
    }
    void Dialog_Error(const std::string& Text) override
    {
        ++ErrorCount;
        Messages.push_back(Text + "!");
    }
    void Dialog_Warning(const std::string& Text) override { Messages.push_back(Text + "!"); }
    int ErrorCount = 0;
    std::vector<std::string> Messages;
};

// What the summary holds of one variant.
struct TVariantResult {
    int Status = BatchOk;
    std::vector<std::string> Messages;
    bool Ran = false;
    TRunKind Kind = TRunKind::ConstantPressure;
    std::int64_t Steps = 0;
    double LastTime = 0, LastFill = 0, MaxSpeed = 0, MinSpeed = 0;
    std::optional<double> FillTime;
    std::int64_t Stages = 0;
    double Pumped = 0, LastStageStart = 0;
};

const char* KindName(TRunKind Kind)
{
    switch (Kind) {
    case TRunKind::ConstantPressure: return "constant";
    case TRunKind::SingleHammer: return "single-hammer";
    case TRunKind::RepeatedHammer: return "repeated-hammer";
    }
    return "";
}

void Summarise(const TCalc& Calc, TRunKind Kind, TVariantResult& Result)
{
    Result.Ran = true;
    Result.Kind = Kind;
    Result.Steps = Calc.Count;
    if (Calc.Count > 0) {
        const TCalcStep& Last = Calc.Records[Calc.Count - 1];
        Result.LastTime = Last.Time;
        Result.LastFill = Last.Fill;
        Result.MaxSpeed = Result.MinSpeed = Calc.Records[0].Speed;
    }
    for (std::int32_t I = 0; I < Calc.Count; ++I) {
        const TCalcStep& Step = Calc.Records[I];
        Result.MaxSpeed = std::max(Result.MaxSpeed, Step.Speed);
        Result.MinSpeed = std::min(Result.MinSpeed, Step.Speed);
        if (!Result.FillTime && Calc.Length > 0 && Step.Fill >= Calc.Length)
            Result.FillTime = Step.Time;
    }
    for (const TCalcStage* Stage = Calc.Stages; Stage; Stage = Stage->Next) {
        ++Result.Stages;
        Result.Pumped = Stage->Pumped;
        Result.LastStageStart = Stage->StartTime;
    }
}

// The file names of a variant's outputs, without their endings:
// "0007_Data.Step=0.002_Data.Slope=5".
std::string VariantBaseName(const TSweepOptions& Options, std::uint64_t Index,
                            const std::vector<std::size_t>& At)
{
    const std::string Number = std::to_string(Index + 1);
    const std::size_t Width = std::to_string(SweepVariantCount(Options.Axes)).size();
    std::string Name;
    Name.append(Width > Number.size() ? Width - Number.size() : 0, '0');
    Name.append(Number);
    for (std::size_t A = 0; A < Options.Axes.size(); ++A) {
        Name.push_back('_');
        Name.append(Options.Axes[A].Key.Name());
        Name.push_back('=');
        Name.append(Options.Axes[A].Values[At[A]]);
    }
    return Name;
}

void WriteVariantOutputs(const TSweepOptions& Options, const TCalc& Calc, TRunKind Kind,
                         const std::string& Base, TVariantLink& Link, TVariantResult& Result)
{
    const std::filesystem::path Dir(*Options.OutputDir);
    const auto Write = [&](const std::string& Ending,
                           const std::function<void(const TTextSink&)>& Produce) {
        const std::string Name = (Dir / (Base + Ending)).string();
        try {
            TAtomicFile File(Name);
            Produce([&File](std::string_view Text) { File.Write(Text); });
            File.Commit();
        } catch (const TAtomicWriteError& E) {
            Link.Messages.push_back("Ошибка записи файла " + Quoted(Name) + ": " + E.Reason());
            Result.Status = BatchFailure;
        }
    };
    bool ReportMade = true;
    try {
        CheckReportRecords(Calc);
    } catch (const std::exception&) {
        ReportMade = false;
    }
    if (ReportMade) {
        try {
            Write(".txt", [&](const TTextSink& Sink) { WriteReport(Calc, Sink); });
        } catch (const std::exception&) {
            ReportMade = false;
        }
    }
    if (!ReportMade)
        Link.Dialog_Error("Ошибка генерации отчёта");
    Write(".csv", [&](const TTextSink& Sink) { WriteRecordsCsv(Calc, Sink); });
    if (Kind != TRunKind::ConstantPressure)
        Write(".stages.csv", [&](const TTextSink& Sink) { WriteStagesCsv(Calc, Sink); });
    Write(".svg",
          [&](const TTextSink& Sink) { Sink(ChartSvg(Calc, Options.Width, Options.Height)); });
}

TVariantResult RunVariant(const TSweepOptions& Options, std::uint64_t Index)
{
    TVariantResult Result;
    const std::vector<std::size_t> At = SweepVariantAt(Options.Axes, Index);
    std::vector<TCaseOverride> Overrides = Options.Sets;
    for (std::size_t A = 0; A < Options.Axes.size(); ++A)
        Overrides.push_back({Options.Axes[A].Key, Options.Axes[A].Values[At[A]]});

    const auto Fail = [&Result](std::string Message) {
        Result.Status = BatchFailure;
        Result.Messages.push_back(std::move(Message));
        return Result;
    };
    TCase Case;
    std::vector<TCaseIssue> Issues;
    try {
        TProfile Profile(Options.CaseFile);
        if (!IsParameterFile(Profile))
            return Fail("Файл " + Quoted(Options.CaseFile) +
                        " не является файлом параметров расчёта!");
        ApplyCaseOverrides(Profile, Overrides);
        LoadCase(Profile, Case, Options.Strict ? &Issues : nullptr);
    } catch (const std::exception&) {
        return Fail("Ошибка открытия файла параметров " + Quoted(Options.CaseFile) + "!");
    }
    if (!Issues.empty()) {
        Result.Status = BatchFailure;
        for (const TCaseIssue& Issue : Issues)
            Result.Messages.push_back(IssueText(Issue));
        return Result;
    }
    if (!CanCalculate(Case))
        return Fail(CaseStatus(Case, Case.MayBlow).Text);

    TVariantLink Link;
    TCalc Calc;
    TCalc Blow;
    TRunSetup Setup(Case, Blow, Options.Gravity, Link);
    TRunKind Kind = TRunKind::ConstantPressure;
    try {
        Kind = Setup.Run(Case.MayBlow, Calc);
    } catch (const std::exception&) {
        Link.Dialog_Error("Ошибка выполнения расчётов!");
    }
    Summarise(Calc, Kind, Result);
    if (Options.OutputDir)
        WriteVariantOutputs(Options, Calc, Kind, VariantBaseName(Options, Index, At), Link, Result);
    if (Result.Status == BatchOk && Link.ErrorCount > 0)
        Result.Status = BatchCalcError;
    Result.Messages.insert(Result.Messages.begin(), Link.Messages.begin(), Link.Messages.end());
    return Result;
}

std::string CsvField(const std::string& Text)
{
    if (Text.find_first_of(",\"\r\n") == std::string::npos)
        return Text;
    std::string Quoted = "\"";
    for (char C : Text)
        Quoted += C == '"' ? std::string("\"\"") : std::string(1, C);
    return Quoted + "\"";
}

std::string SummaryHeader(const TSweepOptions& Options)
{
    std::string Line = "Variant";
    for (const TSweepAxis& Axis : Options.Axes) {
        Line.push_back(',');
        Line.append(Axis.Key.Name());
    }
    return Line + ",Status,Message,Kind,Steps,LastTime,LastFill,MaxSpeed,MinSpeed,FillTime,Stages,"
                  "Pumped,LastStageStart\n";
}

std::string SummaryRow(const TSweepOptions& Options, std::uint64_t Index, const TVariantResult& R)
{
    std::string Line = std::to_string(Index + 1);
    const std::vector<std::size_t> At = SweepVariantAt(Options.Axes, Index);
    for (std::size_t A = 0; A < Options.Axes.size(); ++A)
        Line += "," + Options.Axes[A].Values[At[A]];
    Line += "," + std::to_string(R.Status) + "," +
            CsvField(R.Messages.empty() ? std::string() : R.Messages.front()) + ",";
    if (R.Ran) {
        const bool Hammer = R.Kind != TRunKind::ConstantPressure;
        Line += std::string(KindName(R.Kind)) + "," + std::to_string(R.Steps) + ",";
        if (R.Steps > 0)
            Line += NumberText(R.LastTime) + "," + NumberText(R.LastFill) + "," +
                    NumberText(R.MaxSpeed) + "," + NumberText(R.MinSpeed) + ",";
        else
            Line += ",,,,";
        Line += (R.FillTime ? NumberText(*R.FillTime) : std::string()) + ",";
        if (Hammer)
            Line += std::to_string(R.Stages) + "," + (R.Stages ? NumberText(R.Pumped) : "") + "," +
                    (R.Stages ? NumberText(R.LastStageStart) : "");
        else
            Line += ",,";
    } else {
        Line += ",,,,,,,,,,";
    }
    return Line + "\n";
}

// A pipe or a character device, written as it is, as a shell's ">" would.
bool IsStream(const std::string& Name)
{
    struct stat Info {};
    return ::stat(Name.c_str(), &Info) == 0 && (S_ISFIFO(Info.st_mode) || S_ISCHR(Info.st_mode));
}

void WriteStream(const std::string& Name, std::string_view Text)
{
    const int Fd = ::open(Name.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (Fd < 0)
        throw std::runtime_error(std::generic_category().message(errno));
    while (!Text.empty()) {
        const ssize_t N = ::write(Fd, Text.data(), Text.size());
        if (N < 0 && errno == EINTR)
            continue;
        if (N <= 0) {
            const int Error = N < 0 ? errno : EIO;
            ::close(Fd);
            throw std::runtime_error(std::generic_category().message(Error));
        }
        Text.remove_prefix(static_cast<std::size_t>(N));
    }
    if (::close(Fd) != 0)
        throw std::runtime_error(std::generic_category().message(errno));
}

bool IsStandardOutput(const std::optional<std::string>& Name)
{
    return Name && *Name == "-";
}

// Refuses, before any run, what may not be written: one line each to Err.
bool CheckTargets(const TSweepOptions& Options, std::ostream& Err)
{
    namespace fs = std::filesystem;
    bool Good = true;
    std::error_code Ec;
    const auto Refuse = [&](const std::string& Text) {
        Err << ToolName << ": " << Text << "\n" << std::flush;
        Good = false;
    };
    if (Options.Summary && !IsStandardOutput(Options.Summary)) {
        const std::string& Name = *Options.Summary;
        const std::string Head = "файл сводки " + Quoted(Name) + " (--summary) ";
        if (fs::is_directory(Name, Ec))
            Refuse(Head + "является папкой");
        else if (fs::exists(Name, Ec) && fs::equivalent(Name, Options.CaseFile, Ec))
            Refuse(Head + "совпадает с файлом параметров " + Quoted(Options.CaseFile));
        else if (fs::exists(Name, Ec) && ((!fs::is_regular_file(Name, Ec) && !IsStream(Name)) ||
                                          ::access(Name.c_str(), W_OK) != 0 ||
                                          (fs::status(Name, Ec).permissions() &
                                           (fs::perms::owner_write | fs::perms::group_write |
                                            fs::perms::others_write)) == fs::perms::none))
            Refuse(Head + "защищён от записи или не является обычным файлом");
    }
    if (Options.OutputDir && fs::exists(*Options.OutputDir, Ec) &&
        !fs::is_directory(*Options.OutputDir, Ec))
        Refuse("папка результатов " + Quoted(*Options.OutputDir) +
               " (--outputs) не является папкой");
    return Good;
}

}  // namespace

std::optional<TSweepAxis> ParseSweepAxis(std::string_view Text, std::string& Error)
{
    const std::size_t Eq = Text.find('=');
    if (Eq == std::string_view::npos) {
        Error = "нужно РАЗДЕЛ.КЛЮЧ=ОТ:ДО:ЧИСЛО или РАЗДЕЛ.КЛЮЧ=З1,З2,...: " + Quoted(Text);
        return std::nullopt;
    }
    const std::string_view Name = Text.substr(0, Eq);
    const std::optional<TCaseKey> Key = FindCaseKey(Name);
    if (!Key) {
        Error = "неизвестный ключ " + Quoted(Name);
        return std::nullopt;
    }
    TSweepAxis Axis{*Key, {}};
    const std::string_view Value = Text.substr(Eq + 1);
    const auto NotNumber = [&](std::string_view Item) {
        Error = "значение " + Quoted(Item) + " ключа " + Key->Name() + " не является числом";
        return std::nullopt;
    };
    if (Value.find(':') != std::string_view::npos) {
        std::vector<std::string_view> Parts;
        for (std::size_t Start = 0;;) {
            const std::size_t Colon = Value.find(':', Start);
            Parts.push_back(Value.substr(Start, Colon - Start));
            if (Colon == std::string_view::npos)
                break;
            Start = Colon + 1;
        }
        if (Parts.size() != 3) {
            Error = "нужно ОТ:ДО:ЧИСЛО: " + Quoted(Value);
            return std::nullopt;
        }
        for (int I = 0; I < 2; ++I)
            if (!IsNumberText(Parts[I]))
                return NotNumber(Parts[I]);
        std::int64_t Count = 0;
        const char* End = Parts[2].data() + Parts[2].size();
        const auto [Ptr, Ec] = std::from_chars(Parts[2].data(), End, Count);
        if (Parts[2].empty() || Ec != std::errc() || Ptr != End || Count < 1) {
            Error = "число значений " + Quoted(Parts[2]) + " ключа " + Key->Name() +
                    " должно быть целым, не меньше 1";
            return std::nullopt;
        }
        if (static_cast<std::uint64_t>(Count) > SweepMaxVariants) {
            Error = "слишком много значений ключа " + Key->Name() + ": больше " +
                    std::to_string(SweepMaxVariants);
            return std::nullopt;
        }
        const double From = std::strtod(std::string(Parts[0]).c_str(), nullptr);
        const double To = std::strtod(std::string(Parts[1]).c_str(), nullptr);
        for (std::int64_t I = 0; I < Count; ++I) {
            const double X = I == 0           ? From
                             : I == Count - 1 ? To
                                              : From + (To - From) * static_cast<double>(I) /
                                                           static_cast<double>(Count - 1);
            Axis.Values.push_back(ValueText(X));
        }
        return Axis;
    }
    for (std::size_t Start = 0;;) {
        const std::size_t Comma = Value.find(',', Start);
        const std::string_view Item = Value.substr(Start, Comma - Start);
        if (!IsNumberText(Item))
            return NotNumber(Item);
        std::string Trim(Item);
        Trim.erase(0, Trim.find_first_not_of(" \t"));
        Trim.erase(Trim.find_last_not_of(" \t") + 1);
        Axis.Values.push_back(Trim);
        if (Axis.Values.size() > SweepMaxVariants) {
            Error = "слишком много значений ключа " + Key->Name();
            return std::nullopt;
        }
        if (Comma == std::string_view::npos)
            break;
        Start = Comma + 1;
    }
    return Axis;
}

std::uint64_t SweepVariantCount(const std::vector<TSweepAxis>& Axes)
{
    std::uint64_t Count = 1;
    for (const TSweepAxis& Axis : Axes)
        Count = std::min<std::uint64_t>(Count * Axis.Values.size(), SweepMaxVariants + 1);
    return Count;
}

std::vector<std::size_t> SweepVariantAt(const std::vector<TSweepAxis>& Axes, std::uint64_t Index)
{
    std::vector<std::size_t> At(Axes.size());
    for (std::size_t A = Axes.size(); A-- > 0;) {
        const std::uint64_t Size = Axes[A].Values.size();
        At[A] = static_cast<std::size_t>(Index % Size);
        Index /= Size;
    }
    return At;
}

bool IsSweepCommand(const std::vector<std::string>& Args)
{
    for (const std::string& Arg : Args) {
        if (Arg == "--")
            return false;
        const std::string Name = Arg.substr(0, Arg.find('='));
        if (Name == "--sweep" || Name == "--summary" || Name == "--outputs" || Name == "--jobs" ||
            Name == "--part")
            return true;
    }
    return false;
}

int RunSweep(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err)
{
    for (const std::string& Arg : Args) {
        if (Arg == "--")
            break;
        if (Arg == "--help" || Arg == "--version")
            return RunBatch({Arg}, Out, Err);
    }
    TSweepOptions Options;
    try {
        Options = ParseSweepArgs(Args);
    } catch (const TUsageError& E) {
        Err << ToolName << ": " << E.what() << "\n"
            << "Справка: " << ToolName << " --help\n"
            << std::flush;
        return BatchFailure;
    }
    std::error_code Ec;
    if (!std::filesystem::is_regular_file(Options.CaseFile, Ec)) {
        Err << "Ошибка открытия файла параметров " << Quoted(Options.CaseFile) << "!\n"
            << std::flush;
        return BatchFailure;
    }
    try {
        TProfile Profile(Options.CaseFile);
        if (!IsParameterFile(Profile)) {
            Err << "Файл " << Quoted(Options.CaseFile)
                << " не является файлом параметров расчёта!\n"
                << std::flush;
            return BatchFailure;
        }
    } catch (const std::exception&) {
        Err << "Ошибка открытия файла параметров " << Quoted(Options.CaseFile) << "!\n"
            << std::flush;
        return BatchFailure;
    }
    if (!CheckTargets(Options, Err))
        return BatchFailure;
    if (Options.OutputDir) {
        std::filesystem::create_directories(*Options.OutputDir, Ec);
        if (Ec) {
            Err << ToolName << ": папка результатов " << Quoted(*Options.OutputDir)
                << " не создана: " << Ec.message() << "\n"
                << std::flush;
            return BatchFailure;
        }
    }

    // This share of the variants: every Parts-th from the Part-th on.
    std::vector<std::uint64_t> Indices;
    for (std::uint64_t I = Options.Part - 1; I < SweepVariantCount(Options.Axes);
         I += Options.Parts)
        Indices.push_back(I);
    std::vector<TVariantResult> Results(Indices.size());
    unsigned Jobs = Options.Jobs ? Options.Jobs : std::max(1u, std::thread::hardware_concurrency());
    Jobs = static_cast<unsigned>(
        std::min<std::size_t>(Jobs, std::max<std::size_t>(1, Indices.size())));

    std::atomic<std::size_t> Next{0};
    std::mutex ErrLock;
    const auto Work = [&] {
        for (std::size_t I; (I = Next++) < Indices.size();) {
            Results[I] = RunVariant(Options, Indices[I]);
            const std::lock_guard Lock(ErrLock);
            for (const std::string& Message : Results[I].Messages)
                Err << ToolName << ": вариант " << Indices[I] + 1 << ": " << Message << "\n";
            Err << std::flush;
        }
    };
    if (Jobs == 1) {
        Work();
    } else {
        // The variants fill the processors; each formats its report alone.
        SetDefaultBlockThreads(1);
        std::vector<std::thread> Threads;
        for (unsigned J = 0; J < Jobs; ++J)
            Threads.emplace_back(Work);
        for (std::thread& Thread : Threads)
            Thread.join();
        SetDefaultBlockThreads(0);
    }

    int Status = BatchOk;
    std::string Summary = SummaryHeader(Options);
    for (std::size_t I = 0; I < Indices.size(); ++I) {
        Summary += SummaryRow(Options, Indices[I], Results[I]);
        Status = std::max(Status, Results[I].Status);
    }
    if (!Options.Summary && Options.OutputDir)
        return Status;
    if (!Options.Summary || IsStandardOutput(Options.Summary)) {
        if (!Out.write(Summary.data(), static_cast<std::streamsize>(Summary.size())).flush()) {
            Err << ToolName << ": ошибка вывода сводки на стандартный вывод\n" << std::flush;
            return BatchFailure;
        }
        return Status;
    }
    try {
        if (IsStream(*Options.Summary))
            WriteStream(*Options.Summary, Summary);
        else
            WriteFileAtomically(*Options.Summary, Summary);
    } catch (const std::exception& E) {
        const auto* Atomic = dynamic_cast<const TAtomicWriteError*>(&E);
        Err << ToolName << ": Ошибка записи файла " << Quoted(*Options.Summary) << ": "
            << (Atomic ? Atomic->Reason() : std::string(E.what())) << "\n"
            << std::flush;
        return BatchFailure;
    }
    return Status;
}
