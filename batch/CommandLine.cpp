#include "batch/CommandLine.h"

#include <charconv>
#include <set>

#include "results/SvgCanvas.h"

std::string Quoted(std::string_view Text)
{
    return "«" + std::string(Text) + "»";
}

std::optional<std::string>
ReadCommandLine(const std::vector<std::string>& Args,
                const std::function<TOptionKind(const std::string& Name)>& KindOf,
                const std::function<void(const std::string& Name, const std::string& Value)>& Take)
{
    std::optional<std::string> CaseFile;
    bool OptionsEnded = false;
    std::set<std::string> Given;
    for (std::size_t I = 0; I < Args.size(); ++I) {
        const std::string& Arg = Args[I];
        if (OptionsEnded || Arg.size() < 2 || Arg[0] != '-') {
            if (CaseFile)
                throw TUsageError("лишний файл параметров " + Quoted(Arg) +
                                  " (файл уже указан: " + Quoted(*CaseFile) + ")");
            CaseFile = Arg;
            continue;
        }
        if (Arg == "--") {
            OptionsEnded = true;
            continue;
        }
        const std::size_t Eq = Arg.find('=');
        const std::string Name = Arg.substr(0, Eq);
        const TOptionKind Kind = KindOf(Name);
        // A second value would silently win over the first.
        if (Kind != TOptionKind::Repeated && !Given.insert(Name).second)
            throw TUsageError("параметр " + Name + " указан дважды");
        if (Kind == TOptionKind::Flag) {
            if (Eq != std::string::npos)
                throw TUsageError("параметр " + Name + " не принимает значения");
            Take(Name, std::string());
            continue;
        }
        if (Kind == TOptionKind::Unknown)
            throw TUsageError("неизвестный параметр " + Quoted(Name));
        std::string Value;
        if (Eq != std::string::npos)
            Value = Arg.substr(Eq + 1);
        else if (I + 1 < Args.size() && Args[I + 1].compare(0, 2, "--") != 0)
            Value = Args[++I];
        if (Value.empty())
            throw TUsageError("для параметра " + Name + " не указано значение");
        Take(Name, Value);
    }
    return CaseFile;
}

double ReadGravity(std::string_view Text)
{
    double Value = 0;
    const char* End = Text.data() + Text.size();
    const auto [Ptr, Ec] = std::from_chars(Text.data(), End, Value);
    if (Text.empty() || Ec != std::errc() || Ptr != End || !(Value >= 0 && Value <= 1e6))
        throw TUsageError("неверное ускорение " + Quoted(Text) + ": нужно число от 0 до 1e6");
    return Value;
}

void ReadSvgSize(std::string_view Text, int& Width, int& Height)
{
    if (!ParseSvgSize(std::string(Text), Width, Height))
        throw TUsageError("неверный размер " + Quoted(Text) + ": нужно ШxВ, целые числа от " +
                          std::to_string(SvgMinSize) + " до " + std::to_string(SvgMaxSize));
}

TCaseOverride ReadCaseOverride(std::string_view Text)
{
    std::string Error;
    std::optional<TCaseOverride> Override = ParseCaseOverride(Text, Error);
    if (!Override)
        throw TUsageError("--set: " + Error);
    return std::move(*Override);
}
