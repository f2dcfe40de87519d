#include "batch/BatchTool.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "batch/CommandLine.h"
#include "batch/Sweep.h"
#include "case/CaseModel.h"
#include "case/CaseOverrides.h"
#include "case/RunSetup.h"
#include "engine/Calc.h"
#include "engine/UserLink.h"
#include "results/Csv.h"
#include "results/Report.h"
#include "results/SvgCanvas.h"
#include "text/AtomicWrite.h"
#include "text/OrderedBlocks.h"
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
    "  --strict            строгая проверка файла параметров: перечислить ключи, текст\n"
    "                      которых не читается как значение, значения вне пределов,\n"
    "                      неизвестные и повторные ключи разделов [Data] и [BlowData];\n"
    "                      если они есть, расчёт не выполняется (код 2)\n"
    "  --set РАЗДЕЛ.КЛЮЧ=ЗНАЧЕНИЕ\n"
    "                      задать ключ файла параметров до его чтения (по тем же\n"
    "                      правилам, что и в файле); можно повторять\n"
    "\n"
    "Серия расчётов (все файлы вариантов — в папке --outputs):\n"
    "  --sweep РАЗДЕЛ.КЛЮЧ=ОТ:ДО:ЧИСЛО или РАЗДЕЛ.КЛЮЧ=З1,З2,...\n"
    "                      перебрать значения ключа (ЧИСЛО равноотстоящих значений,\n"
    "                      концы включены); несколько --sweep дают все сочетания,\n"
    "                      последний меняется быстрее всех; не больше 1000000\n"
    "  --summary ФАЙЛ      сводка CSV, строка на вариант (по умолчанию на\n"
    "                      стандартный вывод, если не указан --outputs)\n"
    "  --outputs ПАПКА     отчёт, шаги, этапы и графики каждого варианта\n"
    "  --jobs N            число потоков (по умолчанию — число процессоров)\n"
    "  --part K/N          только K-я из N чередующихся частей вариантов\n"
    "\n"
    "  --help              показать эту справку\n"
    "  --version           показать версию\n"
    "\n"
    "Параметры можно писать до и после файла, в виде «--параметр значение» или\n"
    "«--параметр=значение», каждый не больше одного раза. Без параметров вывода\n"
    "отчёт выводится на стандартный вывод. Сообщения программы выводятся на\n"
    "стандартный поток ошибок, по одному в строке.\n"
    "\n"
    "ФАЙЛ «-» — стандартный вывод (не больше чем для одного параметра). Файл\n"
    "результата заменяется только целиком, когда он полностью записан; при ошибке\n"
    "старый файл остаётся. Канал и символьное устройство записываются как есть,\n"
    "символьная ссылка остаётся ссылкой. До расчёта отвергаются: файл результата,\n"
    "совпадающий с файлом параметров или с другим файлом результата, папка,\n"
    "блочное устройство и файл, защищённый от записи. Если отчёт не создан,\n"
    "его файл не записывается.\n"
    "\n"
    "Файл параметров — текст UTF-8 или UTF-16 (с меткой порядка байтов), строки\n"
    "LF, CR LF или CR. Файл без разделов [Data] и [BlowData] не является файлом\n"
    "параметров и отвергается (код 2); пустой файл — расчёт со значениями по\n"
    "умолчанию.\n"
    "\n"
    "Код завершения: 0 — расчёт выполнен без сообщений об ошибках; 1 — было\n"
    "сообщение об ошибке; 2 — ошибка в командной строке, файл параметров не\n"
    "открывается, данных недостаточно для расчёта, файл результата отвергнут или\n"
    "не записан.\n";

struct TOptions {
    bool Help = false;
    bool Version = false;
    std::string CaseFile;
    std::optional<std::string> Report, Csv, StagesCsvFile, Svg;
    int Width = SvgDefaultWidth;
    int Height = SvgDefaultHeight;
    double Gravity = 9.81;
    bool Strict = false;
    std::vector<TCaseOverride> Sets;  // --set, in order

    bool AnyOutput() const { return Report || Csv || StagesCsvFile || Svg; }
};

// The name of standard output as an output file.
constexpr std::string_view StandardOutputName = "-";

// How an output reaches what its name stands for.
enum class TTargetKind {
    Replaced,        // a regular file, new or old: replaced whole (text/AtomicWrite.h)
    Stream,          // a pipe or a character device: opened and written as it is
    StandardOutput,  // "-"
};

// What an output's name stands for, looked at before the run.
struct TTarget {
    TTargetKind Kind = TTargetKind::Replaced;
    bool Exists = false;
    dev_t Device = 0;  // of the file itself, links followed, when it exists
    ino_t Inode = 0;
    std::string Path;     // when it does not: the absolute name, links followed
    std::string Refusal;  // why it may not be written, or empty
};

// One output: the option that asks for it and its file.
struct TOutput {
    std::string_view Option;
    const char* What;  // what it holds, for messages ("отчёта")
    std::string Name;
    TTarget Target;
};

TOptions ParseArgs(const std::vector<std::string>& Args)
{
    TOptions Options;
    const auto KindOf = [](const std::string& Name) {
        if (Name == "--set")
            return TOptionKind::Repeated;
        if (Name == "--help" || Name == "--version" || Name == "--strict")
            return TOptionKind::Flag;
        if (Name == "--report" || Name == "--csv" || Name == "--stages-csv" || Name == "--svg" ||
            Name == "--size" || Name == "--gravity")
            return TOptionKind::Value;
        return TOptionKind::Unknown;
    };
    const auto Take = [&](const std::string& Name, const std::string& Value) {
        if (Name == "--set")
            Options.Sets.push_back(ReadCaseOverride(Value));
        else if (Name == "--help")
            Options.Help = true;
        else if (Name == "--version")
            Options.Version = true;
        else if (Name == "--strict")
            Options.Strict = true;
        else if (Name == "--report")
            Options.Report = Value;
        else if (Name == "--csv")
            Options.Csv = Value;
        else if (Name == "--stages-csv")
            Options.StagesCsvFile = Value;
        else if (Name == "--svg")
            Options.Svg = Value;
        else if (Name == "--size")
            ReadSvgSize(Value, Options.Width, Options.Height);
        else
            Options.Gravity = ReadGravity(Value);
    };
    const std::optional<std::string> CaseFile = ReadCommandLine(Args, KindOf, Take);
    if (!CaseFile && !Options.Help && !Options.Version)
        throw TUsageError("не указан файл параметров");
    Options.CaseFile = CaseFile.value_or(std::string());
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

// The report could not be made (not: could not be written). No
// std::exception, so that it passes the handlers of write failures.
struct TReportFailed {};

using TProduce = std::function<void(const TSink&)>;

std::string SystemText(int Errno)
{
    return std::generic_category().message(Errno);
}

// Name with its symbolic links followed, absolute, without "." and "..": the
// file that writing to Name would create, where there is none yet.
std::string ResolvedPath(const std::string& Name)
{
    namespace fs = std::filesystem;
    std::error_code Ec;
    fs::path Path = fs::absolute(Name, Ec);
    for (int Hop = 0; Hop < 40; ++Hop) {  // as many as the system follows
        struct stat Link {};
        if (::lstat(Path.c_str(), &Link) != 0 || !S_ISLNK(Link.st_mode))
            break;
        const fs::path Next = fs::read_symlink(Path, Ec);
        if (Ec)
            break;
        Path = Next.is_absolute() ? Next : Path.parent_path() / Next;
    }
    const fs::path Canonical = fs::weakly_canonical(Path, Ec);
    return (Ec ? Path.lexically_normal() : Canonical).string();
}

TTarget LookAt(const std::string& Name)
{
    TTarget Target;
    struct stat Info {};
    if (::stat(Name.c_str(), &Info) != 0) {
        // A new file; or one the writing will find it cannot make, and say why.
        Target.Path = ResolvedPath(Name);
        return Target;
    }
    Target.Exists = true;
    Target.Device = Info.st_dev;
    Target.Inode = Info.st_ino;
    if (S_ISDIR(Info.st_mode))
        Target.Refusal = "является папкой";
    else if (!S_ISREG(Info.st_mode) && !S_ISFIFO(Info.st_mode) && !S_ISCHR(Info.st_mode))
        Target.Refusal = "не является обычным файлом, каналом или символьным устройством";
    // Judged from the mode bits too: the superuser may write anything, but a
    // file nobody may write is not meant to be replaced.
    else if ((Info.st_mode & 0222) == 0 ||
             ::faccessat(AT_FDCWD, Name.c_str(), W_OK, AT_EACCESS) != 0)
        Target.Refusal = "защищён от записи";
    else if (!S_ISREG(Info.st_mode))
        Target.Kind = TTargetKind::Stream;
    return Target;
}

bool SameFile(const TTarget& A, const TTarget& B)
{
    if (A.Kind == TTargetKind::StandardOutput || B.Kind == TTargetKind::StandardOutput)
        return A.Kind == B.Kind;
    if (A.Exists != B.Exists)
        return false;
    return A.Exists ? A.Device == B.Device && A.Inode == B.Inode : A.Path == B.Path;
}

// The outputs of Options with what their names stand for; without output
// options, the report on standard output. Refuses, one line each to Err, an
// output that would destroy the case file or another output, and one that
// cannot be written for what it is; returns false then, before any run.
bool PrepareOutputs(const TOptions& Options, std::vector<TOutput>& Outputs, std::ostream& Err)
{
    const std::pair<std::string_view, const std::optional<std::string>*> Asked[] = {
        {"--report", &Options.Report},
        {"--csv", &Options.Csv},
        {"--stages-csv", &Options.StagesCsvFile},
        {"--svg", &Options.Svg},
    };
    const char* const What[] = {"отчёта", "шагов расчёта", "этапов гидроудара", "графиков"};
    for (std::size_t I = 0; I < std::size(Asked); ++I)
        if (*Asked[I].second)
            Outputs.push_back({Asked[I].first, What[I], **Asked[I].second, {}});
    if (Outputs.empty())
        Outputs.push_back({"--report", What[0], std::string(StandardOutputName), {}});

    TTarget Case = LookAt(Options.CaseFile);
    Case.Refusal.clear();  // it is read, not written
    bool Good = true;
    auto Refuse = [&Err, &Good](const TOutput& Output, const std::string& Why) {
        Err << ToolName << ": файл результата " << Quoted(Output.Name) << " (" << Output.Option
            << ") " << Why << "\n"
            << std::flush;
        Good = false;
    };
    for (std::size_t I = 0; I < Outputs.size(); ++I) {
        TOutput& Output = Outputs[I];
        if (Output.Name == StandardOutputName)
            Output.Target.Kind = TTargetKind::StandardOutput;
        else
            Output.Target = LookAt(Output.Name);
        if (!Output.Target.Refusal.empty())
            Refuse(Output, Output.Target.Refusal);
        if (SameFile(Output.Target, Case))
            Refuse(Output, "совпадает с файлом параметров " + Quoted(Options.CaseFile));
        for (std::size_t J = 0; J < I; ++J)
            if (SameFile(Output.Target, Outputs[J].Target))
                Refuse(Output, "совпадает с файлом результата " + Quoted(Outputs[J].Name) + " (" +
                                   std::string(Outputs[J].Option) + ")");
    }
    return Good;
}

// A pipe or a character device, written as it is, as a shell's ">" would.
class TStreamFile {
public:
    explicit TStreamFile(const std::string& Name)
        : FFd(::open(Name.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC))
    {
        if (FFd < 0)
            throw std::runtime_error(SystemText(errno));
        struct stat Info {};
        // Looked at before the run; what stands there now may differ.
        if (::fstat(FFd, &Info) != 0 || (!S_ISFIFO(Info.st_mode) && !S_ISCHR(Info.st_mode)))
            throw std::runtime_error("не является каналом или символьным устройством");
    }
    ~TStreamFile()
    {
        if (FFd >= 0)
            ::close(FFd);
    }
    TStreamFile(const TStreamFile&) = delete;
    TStreamFile& operator=(const TStreamFile&) = delete;

    void Write(std::string_view Text)
    {
        while (!Text.empty()) {
            const ssize_t N = ::write(FFd, Text.data(), Text.size());
            if (N < 0 && errno == EINTR)
                continue;
            if (N <= 0)
                throw std::runtime_error(SystemText(N < 0 ? errno : EIO));
            Text.remove_prefix(static_cast<std::size_t>(N));
        }
    }
    void Close()
    {
        if (::close(std::exchange(FFd, -1)) != 0)
            throw std::runtime_error(SystemText(errno));
    }

private:
    int FFd;
};

// Writes one output: Produce hands the text to a sink. A regular file is
// written atomically (text/AtomicWrite.h): the text streams into a temporary
// file beside it, which takes its place once complete; on any failure the
// file stays as it was. A pipe, a character device and standard output take
// the text as it comes. Errors name the file and the reason.
void WriteOutput(const TOutput& Output, std::ostream& Out, const TProduce& Produce)
{
    try {
        switch (Output.Target.Kind) {
        case TTargetKind::Replaced: {
            TAtomicFile File(Output.Name);
            Produce([&File](std::string_view Text) { File.Write(Text); });
            File.Commit();
            break;
        }
        case TTargetKind::Stream: {
            TStreamFile File(Output.Name);
            Produce([&File](std::string_view Text) { File.Write(Text); });
            File.Close();
            break;
        }
        case TTargetKind::StandardOutput:
            Produce([&Out](std::string_view Text) {
                if (!Out.write(Text.data(), static_cast<std::streamsize>(Text.size())))
                    throw std::runtime_error("");
            });
            if (!Out.flush())
                throw std::runtime_error("");
            break;
        }
    } catch (const std::exception& E) {
        if (Output.Target.Kind == TTargetKind::StandardOutput)
            throw std::runtime_error(std::string("ошибка вывода ") + Output.What +
                                     " на стандартный вывод");
        const auto* Atomic = dynamic_cast<const TAtomicWriteError*>(&E);
        throw std::runtime_error("Ошибка записи файла " + Quoted(Output.Name) + ": " +
                                 (Atomic ? Atomic->Reason() : std::string(E.what())));
    }
}

// Step 4 onwards of a batch run: the case can be calculated and its outputs
// may be written.
int CalculateCase(const TOptions& Options, const std::vector<TOutput>& Outputs, const TCase& Case,
                  std::ostream& Out, std::ostream& Err)
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

    const auto ReportFailed = [&](const TOutput& Output) {
        Link.Dialog_Error("Ошибка генерации отчёта");
        Err << ToolName << ": отчёт не создан, "
            << (Output.Target.Kind == TTargetKind::StandardOutput
                    ? std::string("на стандартный вывод он не выведен")
                    : "файл " + Quoted(Output.Name) + " не записан")
            << "\n"
            << std::flush;
    };
    bool Failed = false;
    for (const TOutput& Output : Outputs) {
        TProduce Produce;
        if (Output.Option == "--report") {
            // Written as it is made. A report that cannot be made is no
            // report: its file keeps what it held, and is not even opened
            // when that shows before the first line.
            try {
                CheckReportRecords(Calc);
            } catch (const std::exception&) {
                ReportFailed(Output);
                continue;
            }
            Produce = [&](const TSink& Sink) {
                bool Writing = false;
                try {
                    WriteReport(Calc, [&](std::string_view Text) {
                        Writing = true;
                        Sink(Text);
                        Writing = false;
                    });
                } catch (const std::exception&) {
                    if (Writing)
                        throw;
                    throw TReportFailed{};
                }
            };
        } else if (Output.Option == "--csv") {
            Produce = [&](const TSink& Sink) { WriteRecordsCsv(Calc, Sink); };
        } else if (Output.Option == "--stages-csv") {
            Produce = [&](const TSink& Sink) { WriteStagesCsv(Calc, Sink); };
        } else {
            Produce = [&](const TSink& Sink) {
                Sink(ChartSvg(Calc, Options.Width, Options.Height));
            };
        }
        try {
            WriteOutput(Output, Out, Produce);
        } catch (const TReportFailed&) {
            ReportFailed(Output);
        } catch (const std::exception& E) {
            Err << ToolName << ": " << E.what() << "\n" << std::flush;
            Failed = true;
        }
    }
    if (Failed)
        return BatchFailure;
    return Link.ErrorCount > 0 ? BatchCalcError : BatchOk;
}

}  // namespace

int RunBatch(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err)
{
    if (IsSweepCommand(Args))
        return RunSweep(Args, Out, Err);
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
        if (Out)
            return BatchOk;
        Err << ToolName << ": ошибка вывода на стандартный вывод\n" << std::flush;
        return BatchFailure;
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
    bool ParameterFile = false;
    std::vector<TCaseIssue> Issues;
    try {
        TProfile Profile(Options.CaseFile);
        ParameterFile = IsParameterFile(Profile);
        ApplyCaseOverrides(Profile, Options.Sets);
        if (ParameterFile)
            LoadCase(Profile, Case, Options.Strict ? &Issues : nullptr);
    } catch (const std::exception&) {
        Err << OpenError << "\n" << std::flush;
        return BatchFailure;
    }
    // Random bytes, text of another kind, UTF-16 without a byte-order mark:
    // not run as the default case.
    if (!ParameterFile) {
        Err << "Файл " << Quoted(Options.CaseFile) << " не является файлом параметров расчёта!\n"
            << std::flush;
        return BatchFailure;
    }
    if (!Issues.empty()) {
        for (const TCaseIssue& Issue : Issues)
            Err << IssueText(Issue) << "\n";
        Err << "Файл параметров " << Quoted(Options.CaseFile)
            << " не прошёл строгую проверку (замечаний: " << Issues.size() << ")!\n"
            << std::flush;
        return BatchFailure;
    }

    if (!CanCalculate(Case)) {
        Err << CaseStatus(Case, Case.MayBlow).Text << "\n" << std::flush;
        return BatchFailure;
    }
    std::vector<TOutput> Outputs;
    if (!PrepareOutputs(Options, Outputs, Err))
        return BatchFailure;
    return CalculateCase(Options, Outputs, Case, Out, Err);
}
