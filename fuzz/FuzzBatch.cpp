// hyd-calc as scripts call it: RunBatch with option lists built from the
// input (options in any order, repeated, "--name=value" or "--name value",
// odd sizes and gravities, help, version, unknown options, "--") on a small
// case file built from the input, with outputs named in a scratch folder: new
// names, files with known content, a read-only file, a folder, a name in a
// missing folder, symbolic links (to a file, to a missing name, to the case),
// the case file itself, two outputs to one name, "-".
//
// Properties that hold for any correct tool, whatever it chooses to refuse:
// - RunBatch returns 0, 1 or 2 and lets no exception out; what it writes to
//   standard output and standard error is UTF-8;
// - the case file never changes (an output named after another case file may
//   replace that one); no entry appears in the folder but the files named as
//   outputs (no temporary file stays behind); a file no output names never
//   changes;
// - an output file is either as it was or holds a whole output of a kind that
//   names it: exactly the text the libraries give for the case (report, step
//   CSV, stage CSV, chart) when the gravity and the size are not in doubt, a
//   complete text of its kind otherwise;
// - exit 2 with every output writable (a refusal, a usage error, a case that
//   cannot be read or calculated) changes no file; an unknown option, a bad
//   size or gravity, an empty or missing value, no case file or two of them
//   exit 2; help and version change no file and exit 0 or 2;
// - exit 0 or 1: the case could be read and calculated, every output file
//   holds its output, the report went to standard output when no output was
//   named, and the status is 1 exactly when the calculation showed an error
//   message, each of which is on standard error;
// - exit 1 or 2 says why on standard error;
// - "-" is standard output, never a file of that name; when standard output
//   fails (one input in 256) and is to take the report or an output, the
//   exit is 2.
//
// Step counts stay small (at most 100 steps; the water-hammer stages choose
// their own, a few hundred), so an execution takes milliseconds.

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "batch/BatchTool.h"
#include "case/CaseModel.h"
#include "case/RunSetup.h"
#include "engine/Calc.h"
#include "engine/UserLink.h"
#include "fuzz/FuzzCommon.h"
#include "results/Csv.h"
#include "results/SvgCanvas.h"
#include "text/Profile.h"

namespace {

namespace fs = std::filesystem;
using fuzz::Show;
using fuzz::ValidUtf8;

// ---------------------------------------------------------------------------
// The case file: every key of a case, each left out or given one value of a
// short list (sound values first, then zeros, negative and odd texts).

struct TKey {
    const char* Section;
    const char* Name;
    std::vector<const char*> Values;
};

const std::vector<TKey>& Keys()
{
    static const std::vector<TKey> List = {
        {"Data", "Step", {"1e-3", "5e-3", "0", "-1e-3", "abc", ""}},
        {"Data", "Steps", {"20", "100", "1", "0", "-5", "x"}},
        {"Data", "InitialFill", {"0", "1", "40", "-2"}},
        {"Data", "InitialSpeed", {"0", "2", "-3"}},
        {"Data", "Slope", {"0", "30", "-30", "90"}},
        {"Data", "Pressure", {"6e5", "0", "-1e5", "1e9"}},
        {"Data", "Density", {"999", "0", "13600", "1e-3"}},
        {"Data", "Viscous", {"1.004e-3", "0", "1"}},
        {"Data", "Condens", {"4.58e-10", "0"}},
        {"Data", "Diameter", {"0.015", "0", "-1", "1"}},
        {"Data", "Length", {"30", "0", "5", "1e-3"}},
        {"Data", "Rough", {"1e-4", "0"}},
        {"Data", "Young", {"2e11", "0"}},
        {"Data", "Walls", {"3e-3", "0"}},
        {"Data", "LiquidKind", {"2", "0", "99"}},
        {"Data", "PipeKind", {"4", "0", "-1"}},
        {"BlowData", "MayBlow", {"0", "1"}},
        {"BlowData", "Speed", {"2", "0", "-2"}},
        {"BlowData", "PipeKind", {"4", "0"}},
        {"BlowData", "Diameter", {"0.1", "0", "0.015"}},
        {"BlowData", "Length", {"50", "5", "0"}},
        {"BlowData", "Slope", {"0", "10"}},
        {"BlowData", "Young", {"2e11", "0"}},
        {"BlowData", "Walls", {"4e-3", "0"}},
        {"BlowData", "NarrowingKind", {"1", "0", "2"}},
        {"BlowData", "MayTrunc", {"0", "1"}},
    };
    return List;
}

std::string MakeCase(FuzzedDataProvider& In)
{
    const uint8_t Layout = In.ConsumeIntegral<uint8_t>();
    const char* const End = Layout & 1 ? "\r\n" : "\n";
    std::string Text;
    std::string Section;
    for (const TKey& Key : Keys()) {
        const uint8_t Pick = In.ConsumeIntegral<uint8_t>();
        if (Section != Key.Section) {
            Section = Key.Section;
            // Bits 1 and 2 leave out a section heading: its keys then belong
            // to the section before, or to none.
            const bool Skip = Section == "Data" ? (Layout & 2) != 0 : (Layout & 4) != 0;
            if (!Skip)
                Text += "[" + Section + "]" + End;
        }
        if (Pick == 0)
            continue;  // the key's default
        Text += std::string(Key.Name) + "=" + Key.Values[(Pick - 1u) % Key.Values.size()] + End;
    }
    if (Layout & 8)
        Text = "\xef\xbb\xbf" + Text;
    if (Layout & 16)
        Text += "garbage line without an equals sign";
    return Text;
}

// ---------------------------------------------------------------------------
// The scratch folder, made once per process and put back before every input.

const std::string& Dir()
{
    static const std::string Path = [] {
        std::string P = fuzz::ScratchDir() + "/batch";
        fs::create_directories(P);
        return P;
    }();
    return Path;
}

const char* const KnownText = "known content\n";

void PutFile(const std::string& Name, const std::string& Text)
{
    std::ofstream Out(Dir() + "/" + Name, std::ios::binary | std::ios::trunc);
    Out.write(Text.data(), static_cast<std::streamsize>(Text.size()));
    FUZZ_CHECK(Out.good(), "cannot write %s", Name.c_str());
}

void ResetFolder(const std::string& CaseText)
{
    std::error_code Ec;
    // Permissions first: a read-only file is removed like any other.
    fs::remove_all(Dir(), Ec);
    fs::create_directories(Dir() + "/sub");
    PutFile("case.Hyd", CaseText);
    PutFile("empty.Hyd", "");
    PutFile("known.txt", KnownText);
    PutFile("ro.txt", KnownText);
    chmod((Dir() + "/ro.txt").c_str(), 0444);
    PutFile("sub/keep.txt", KnownText);
    fs::create_symlink("known.txt", Dir() + "/link");
    fs::create_symlink("made.txt", Dir() + "/dangling");
    fs::create_symlink("case.Hyd", Dir() + "/case-link");
}

// One entry of the folder as it stands.
struct TEntry {
    char Kind = '?';      // f: file, d: folder, l: link, ?: other
    std::string Content;  // a file's bytes or a link's target
    fs::perms Perms = fs::perms::none;
    bool operator==(const TEntry&) const = default;
};

std::map<std::string, TEntry> Snapshot()
{
    std::map<std::string, TEntry> Entries;
    for (const auto& E : fs::recursive_directory_iterator(Dir())) {
        TEntry Entry;
        const fs::file_status S = E.symlink_status();
        Entry.Perms = S.permissions();
        if (fs::is_symlink(S)) {
            Entry.Kind = 'l';
            Entry.Content = fs::read_symlink(E.path()).string();
        } else if (fs::is_directory(S)) {
            Entry.Kind = 'd';
        } else if (fs::is_regular_file(S)) {
            Entry.Kind = 'f';
            std::ifstream File(E.path(), std::ios::binary);
            Entry.Content.assign(std::istreambuf_iterator<char>(File), {});
        }
        Entries[E.path().lexically_relative(Dir()).string()] = Entry;
    }
    return Entries;
}

// ---------------------------------------------------------------------------
// Options.

enum class TKind { Report, Csv, Stages, Svg };
const char* const KindOption[] = {"--report", "--csv", "--stages-csv", "--svg"};

// Output names: the name given, the folder entry the output lands in ("" for
// none: standard output, or a place where no file can be written).
struct TTarget {
    const char* Name;
    const char* Lands;
    bool Writable;
};
const TTarget Targets[] = {
    {"new-a.txt", "new-a.txt", true},
    {"new-b.csv", "new-b.csv", true},
    {"known.txt", "known.txt", true},
    {"ro.txt", "ro.txt", true},  // may be refused
    {"link", "known.txt", true},
    {"dangling", "made.txt", true},
    {"./known.txt", "known.txt", true},
    {"sub/inner.txt", "sub/inner.txt", true},
    {"case.Hyd", "case.Hyd", true},  // may be refused, never written
    {"case-link", "case.Hyd", true},
    {"-", "", true},
    {"sub", "", false},
    {"missing/x.txt", "", false},
};
constexpr std::size_t TargetCount = sizeof Targets / sizeof Targets[0];

struct TCaseName {
    const char* Name;
    const char* File;  // the folder entry read ("" for none)
};
const TCaseName CaseNames[] = {
    {"case.Hyd", "case.Hyd"},
    {"case-link", "case.Hyd"},
    {"empty.Hyd", "empty.Hyd"},
    {"absent.Hyd", ""},
    {"sub", ""},
};

struct TValue {
    const char* Text;
    bool Valid;
};
const TValue Sizes[] = {{"800x500", true}, {"16x16", true},      {"10000x16", true},
                        {"123x456", true}, {"15x16", false},     {"800x", false},
                        {"abc", false},    {"10001x500", false}, {"800x500x2", false}};
const TValue Gravities[] = {{"9.81", true},  {"0", true},    {"1e6", true},  {"1.62", true},
                            {"-1", false},   {"1e7", false}, {"nan", false}, {"abc", false},
                            {"9,81", false}, {"inf", false}};
const char* const Unknown[] = {"--bogus", "-x", "--Report", "--report-file", "--s", "---csv"};

struct TRun {
    std::vector<std::string> Args;
    std::vector<std::pair<TKind, std::size_t>> Outputs;  // kind, index into Targets
    std::vector<std::size_t> Cases;                      // indices into CaseNames
    std::set<std::string> GravityTexts, SizeTexts;       // valid values given
    bool Invalid = false;                                // usage that no tool may accept
    bool Help = false;                                   // --help or --version
};

// Appends an option with its value, as "--name=value" or "--name value".
void Option(TRun& Run, FuzzedDataProvider& In, const std::string& Name, const std::string& Value)
{
    if (In.ConsumeBool()) {
        Run.Args.push_back(Name + "=" + Value);
    } else {
        Run.Args.push_back(Name);
        Run.Args.push_back(Value);
    }
}

TRun MakeRun(FuzzedDataProvider& In)
{
    TRun Run;
    const std::size_t Count = In.ConsumeIntegralInRange<std::size_t>(0, 10);
    for (std::size_t I = 0; I < Count && In.remaining_bytes() > 0; ++I) {
        const int Op = In.ConsumeIntegralInRange(0, 15);
        if (Op <= 2) {  // the case file
            const std::size_t C = In.ConsumeIntegralInRange<std::size_t>(0, 4);
            Run.Cases.push_back(C);
            Run.Args.push_back(Dir() + "/" + CaseNames[C].Name);
        } else if (Op <= 9) {  // an output
            const auto Kind = static_cast<TKind>(In.ConsumeIntegralInRange(0, 3));
            const std::size_t T = In.ConsumeIntegralInRange<std::size_t>(0, TargetCount - 1);
            const std::string Name = Targets[T].Name;
            Option(Run, In, KindOption[static_cast<int>(Kind)],
                   Name == "-" ? Name : Dir() + "/" + Name);
            Run.Outputs.emplace_back(Kind, T);
        } else if (Op == 10) {
            const TValue& V =
                Sizes[In.ConsumeIntegralInRange<std::size_t>(0, std::size(Sizes) - 1)];
            Option(Run, In, "--size", V.Text);
            if (V.Valid)
                Run.SizeTexts.insert(V.Text);
            Run.Invalid = Run.Invalid || !V.Valid;
        } else if (Op == 11) {
            const TValue& V =
                Gravities[In.ConsumeIntegralInRange<std::size_t>(0, std::size(Gravities) - 1)];
            Option(Run, In, "--gravity", V.Text);
            if (V.Valid)
                Run.GravityTexts.insert(V.Text);
            Run.Invalid = Run.Invalid || !V.Valid;
        } else if (Op == 12) {
            Run.Args.push_back(In.ConsumeBool() ? "--help" : "--version");
            Run.Help = true;
        } else if (Op == 13) {
            Run.Args.push_back(Unknown[In.ConsumeIntegralInRange<std::size_t>(0, 5)]);
            Run.Invalid = true;
        } else if (Op == 14) {  // an empty value
            Run.Args.push_back(std::string(KindOption[In.ConsumeIntegralInRange(0, 3)]) + "=");
            Run.Invalid = true;
        } else {  // "--" and the case file after it, last
            const std::size_t C = In.ConsumeIntegralInRange<std::size_t>(0, 4);
            Run.Cases.push_back(C);
            Run.Args.push_back("--");
            Run.Args.push_back(Dir() + "/" + CaseNames[C].Name);
            break;
        }
    }
    if (In.ConsumeBool() && In.ConsumeBool()) {  // a value missing at the end
        Run.Args.push_back(In.ConsumeBool() ? "--csv" : "--gravity");
        Run.Invalid = true;
    }
    if (Run.Cases.size() != 1 && !(Run.Cases.empty() && Run.Help))
        Run.Invalid = true;
    return Run;
}

// ---------------------------------------------------------------------------
// What the libraries give for the case: the same run as the batch tool's.

class TCollectingLink : public TUserLink {
public:
    std::unique_ptr<TProgress> Percent_Open(const std::string&) override
    {
        return SilentProgress();
    }
    void Dialog_Error(const std::string& Text) override
    {
        ++Errors;
        Messages.push_back(Text);
    }
    void Dialog_Warning(const std::string& Text) override { Messages.push_back(Text); }
    int Errors = 0;
    std::vector<std::string> Messages;  // errors and warnings, in their order
};

struct TExpected {
    bool Readable = false;
    bool Calculable = false;
    int Errors = 0;
    std::vector<std::string> Messages;
    std::string Text[4];  // by TKind
};

TExpected Expect(const std::string& CaseFile, double Gravity, int Width, int Height,
                 bool ReportWanted)
{
    TExpected E;
    std::error_code Ec;
    if (!fs::is_regular_file(CaseFile, Ec))
        return E;
    TCase Case;
    try {
        TProfile Profile(CaseFile);
        LoadCase(Profile, Case);
    } catch (const std::exception&) {
        return E;
    }
    E.Readable = true;
    E.Calculable = CanCalculate(Case);
    if (!E.Calculable)
        return E;
    TCollectingLink Link;
    TCalc Calc;
    TCalc Blow;
    TRunSetup Setup(Case, Blow, Gravity, Link);
    try {
        Setup.Run(Case.MayBlow, Calc);
    } catch (const std::exception&) {
        ++Link.Errors;  // the tool's own message
    }
    if (ReportWanted) {
        try {
            Calc.MakeReport(E.Text[0]);
        } catch (const std::exception&) {
            ++Link.Errors;
        }
    }
    E.Text[1] = RecordsCsv(Calc);
    E.Text[2] = StagesCsv(Calc);
    E.Text[3] = ChartSvg(Calc, Width, Height);
    E.Errors = Link.Errors;
    E.Messages = Link.Messages;
    return E;
}

// A whole output of the kind, judged by its own text: the report ends its
// last line, a CSV has its header and only whole lines, the chart is closed.
bool Complete(TKind Kind, const std::string& Text)
{
    auto EndsWith = [&Text](const std::string& Tail) {
        return Text.size() >= Tail.size() &&
               Text.compare(Text.size() - Tail.size(), Tail.size(), Tail) == 0;
    };
    switch (Kind) {
    case TKind::Report: return EndsWith("\r\n") && ValidUtf8(Text);
    case TKind::Csv:
        return Text.rfind("Time,Fill,Speed,Accel,Losses,Re\n", 0) == 0 && EndsWith("\n");
    case TKind::Stages: return Text.rfind("StartTime,", 0) == 0 && EndsWith("\n");
    case TKind::Svg: return EndsWith("</svg>\n") || EndsWith("</svg>");
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, std::size_t Size)
{
    FuzzedDataProvider In(Data, Size);
    const std::string CaseText = MakeCase(In);
    const bool BadOut = In.ConsumeIntegral<uint8_t>() == 0xff;  // standard output fails
    const TRun Run = MakeRun(In);

    ResetFolder(CaseText);
    const auto Before = Snapshot();
    // "-" is standard output, never a file of that name in the current folder.
    const bool StrayBefore = fs::exists(fs::symlink_status("-"));

    std::ostringstream Out, Err;
    if (BadOut)
        Out.setstate(std::ios::badbit);
    int Status = -1;
    try {
        Status = RunBatch(Run.Args, Out, Err);
    } catch (const std::exception& E) {
        FUZZ_CHECK(false, "RunBatch let an exception out: %s", E.what());
    } catch (...) {
        FUZZ_CHECK(false, "RunBatch let an exception out");
    }
    const auto After = Snapshot();
    const std::string OutText = Out.str(), ErrText = Err.str();

    std::string Shown;
    for (const std::string& A : Run.Args)
        Shown += " " + Show(A);
    const char* const Args = Shown.c_str();

    FUZZ_CHECK(Status == BatchOk || Status == BatchCalcError || Status == BatchFailure,
               "exit %d for%s", Status, Args);
    FUZZ_CHECK(ValidUtf8(OutText) && ValidUtf8(ErrText), "output not UTF-8 for%s", Args);
    FUZZ_CHECK(Status == BatchOk || !ErrText.empty(), "exit %d without a message for%s", Status,
               Args);

    // The case file and the entries no output names.
    std::set<std::string> CaseFiles;
    for (std::size_t C : Run.Cases)
        if (*CaseNames[C].File)
            CaseFiles.insert(CaseNames[C].File);
    for (const std::string& Name : CaseFiles)
        FUZZ_CHECK(After.count(Name) && After.at(Name) == Before.at(Name),
                   "the case file %s changed (exit %d) for%s", Name.c_str(), Status, Args);
    std::map<std::string, std::vector<TKind>> Landing;  // folder entry -> kinds written there
    bool AllWritable = true, ToStdout = false;
    for (const auto& [Kind, T] : Run.Outputs) {
        if (*Targets[T].Lands)
            Landing[Targets[T].Lands].push_back(Kind);
        const bool Dash = std::string(Targets[T].Name) == "-";
        AllWritable = AllWritable && Targets[T].Writable && !(Dash && BadOut);
        ToStdout = ToStdout || Dash;
    }
    for (const auto& [Name, Entry] : After) {
        const auto Old = Before.find(Name);
        if (Old != Before.end() && Old->second == Entry)
            continue;
        FUZZ_CHECK(Landing.count(Name), "%s %s (exit %d) for%s",
                   Old == Before.end() ? "new entry" : "changed entry", Show(Name).c_str(), Status,
                   Args);
        FUZZ_CHECK(Entry.Kind == 'f', "output %s is not a file but %c (exit %d) for%s",
                   Show(Name).c_str(), Entry.Kind, Status, Args);
    }
    for (const auto& [Name, Entry] : Before)
        FUZZ_CHECK(After.count(Name), "%s is gone (exit %d) for%s", Show(Name).c_str(), Status,
                   Args);

    bool Changed = false;
    for (const auto& [Name, Kinds] : Landing) {
        const auto Old = Before.find(Name);
        const auto New = After.find(Name);
        Changed = Changed ||
                  (New != After.end() && (Old == Before.end() || !(Old->second == New->second)));
    }
    FUZZ_CHECK(!fs::exists(fs::symlink_status("-")) || StrayBefore,
               "\"-\" became a file (exit %d) for%s", Status, Args);
    if (Run.Invalid)
        FUZZ_CHECK(Status == BatchFailure, "wrong usage accepted (exit %d) for%s", Status, Args);
    else if (Run.Help)  // a repeated option may still be refused
        FUZZ_CHECK(Status != BatchCalcError, "help or version gave exit %d for%s", Status, Args);
    if (Run.Invalid || Run.Help || (Status == BatchFailure && AllWritable))
        FUZZ_CHECK(!Changed, "a file changed on exit %d for%s; messages %s", Status, Args,
                   Show(ErrText).c_str());
    if (BadOut && !Run.Help && (Run.Outputs.empty() || ToStdout))
        FUZZ_CHECK(Status == BatchFailure, "failed standard output, exit %d for%s", Status, Args);

    // What the outputs hold. The text expected is known when the gravity and
    // the size are not in doubt (a repeated option may be refused or not).
    const std::string CaseFile =
        Run.Cases.empty() ? "" : Dir() + "/" + CaseNames[Run.Cases.back()].Name;
    const bool Sure =
        Run.Cases.size() == 1 && Run.GravityTexts.size() <= 1 && Run.SizeTexts.size() <= 1;
    TExpected E;
    const bool NeedExpected = Sure && !Run.Help && (Changed || Status != BatchFailure);
    if (NeedExpected) {
        double Gravity = 9.81;
        if (!Run.GravityTexts.empty())
            Gravity = std::stod(*Run.GravityTexts.begin());
        int Width = SvgDefaultWidth, Height = SvgDefaultHeight;
        if (!Run.SizeTexts.empty())
            FUZZ_CHECK(ParseSvgSize(*Run.SizeTexts.begin(), Width, Height), "size");
        bool ReportWanted = Run.Outputs.empty();
        for (const auto& O : Run.Outputs)
            ReportWanted = ReportWanted || O.first == TKind::Report;
        E = Expect(CaseFile, Gravity, Width, Height, ReportWanted);
        if (!E.Readable || !E.Calculable)
            FUZZ_CHECK(Status == BatchFailure && !Changed,
                       "a case that cannot be %s gave exit %d, files changed: %d, for%s",
                       E.Readable ? "calculated" : "read", Status, Changed, Args);
    }
    for (const auto& [Name, Kinds] : Landing) {
        const auto Old = Before.find(Name);
        const auto New = After.find(Name);
        const bool Same = New != After.end() && Old != Before.end() && Old->second == New->second;
        if (Status != BatchFailure && !Run.Help)
            FUZZ_CHECK(New != After.end() && (!Same || CaseFiles.count(Name)),
                       "output %s not written on exit %d for%s", Show(Name).c_str(), Status, Args);
        if (Same || New == After.end())
            continue;
        bool Whole = false;
        for (TKind K : Kinds)
            Whole = Whole || (NeedExpected && E.Calculable
                                  ? New->second.Content == E.Text[static_cast<int>(K)]
                                  : Complete(K, New->second.Content));
        FUZZ_CHECK(Whole, "output %s holds %zu bytes that are not %s output (exit %d) for%s",
                   Show(Name).c_str(), New->second.Content.size(),
                   NeedExpected ? "the expected" : "a whole", Status, Args);
    }

    if (Status == BatchFailure || !NeedExpected)
        return 0;
    FUZZ_CHECK(E.Readable && E.Calculable, "exit %d for%s", Status, Args);
    FUZZ_CHECK((Status == BatchCalcError) == (E.Errors > 0), "exit %d with %d error messages for%s",
               Status, E.Errors, Args);
    std::size_t From = 0;
    for (const std::string& Message : E.Messages) {
        const std::size_t At = ErrText.find(Message, From);
        FUZZ_CHECK(At != std::string::npos, "message %s missing for%s", Show(Message).c_str(),
                   Args);
        From = At + Message.size();
    }
    if (Run.Outputs.empty())
        FUZZ_CHECK(OutText == E.Text[0], "standard output holds %zu bytes, not the report for%s",
                   OutText.size(), Args);
    if (ToStdout && !BadOut)
        for (const auto& [Kind, T] : Run.Outputs)
            if (std::string(Targets[T].Name) == "-")
                FUZZ_CHECK(OutText.find(E.Text[static_cast<int>(Kind)]) != std::string::npos,
                           "standard output lacks the %s for%s", KindOption[static_cast<int>(Kind)],
                           Args);
    return 0;
}
