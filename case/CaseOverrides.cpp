#include "case/CaseOverrides.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <utility>

#include "case/CaseModel.h"
#include "text/Profile.h"
#include "text/ProfileFloat.h"

namespace {

// The integer and boolean keys, which no value editor reads.
const std::pair<const char*, const char*> OtherKeys[] = {
    {DataSection, "Steps"},    {DataSection, "LiquidKind"}, {DataSection, "PipeKind"},
    {BlowSection, "MayBlow"},  {BlowSection, "PipeKind"},   {BlowSection, "NarrowingKind"},
    {BlowSection, "MayTrunc"},
};

std::string_view Trimmed(std::string_view Text)
{
    const auto Blank = [](char C) { return C == ' ' || C == '\t'; };
    while (!Text.empty() && Blank(Text.front()))
        Text.remove_prefix(1);
    while (!Text.empty() && Blank(Text.back()))
        Text.remove_suffix(1);
    return Text;
}

}  // namespace

std::optional<TCaseKey> FindCaseKey(std::string_view Name)
{
    const std::size_t Dot = Name.find('.');
    if (Dot == std::string_view::npos)
        return std::nullopt;
    const std::string Section(Name.substr(0, Dot));
    const std::string Key(Name.substr(Dot + 1));
    for (const TEditorDef& Def : EditorDefs())
        if (Def.Field && Def.Section && Def.Key && SameProfileName(Def.Section, Section) &&
            SameProfileName(Def.Key, Key))
            return TCaseKey{Def.Section, Def.Key};
    for (const auto& [S, K] : OtherKeys)
        if (SameProfileName(S, Section) && SameProfileName(K, Key))
            return TCaseKey{S, K};
    return std::nullopt;
}

bool IsNumberText(std::string_view Text)
{
    // One number, read the same by the file's reading rules (ReadFloat) as a
    // whole; a number that overflows a double is none.
    const std::string Trim(Trimmed(Text));
    const std::optional<double> Whole = WholeRealValue(Trim);
    const std::optional<double> Read = RealInText(Trim);
    return !Trim.empty() && Whole && Read && std::isfinite(*Whole) &&
           std::bit_cast<std::uint64_t>(*Whole) == std::bit_cast<std::uint64_t>(*Read);
}

std::optional<TCaseOverride> ParseCaseOverride(std::string_view Text, std::string& Error)
{
    const std::size_t Eq = Text.find('=');
    const std::string_view Name = Text.substr(0, Eq);
    if (Eq == std::string_view::npos) {
        Error = "нужно РАЗДЕЛ.КЛЮЧ=ЗНАЧЕНИЕ: «" + std::string(Text) + "»";
        return std::nullopt;
    }
    const std::optional<TCaseKey> Key = FindCaseKey(Name);
    if (!Key) {
        Error = "неизвестный ключ «" + std::string(Name) + "»";
        return std::nullopt;
    }
    const std::string_view Value = Text.substr(Eq + 1);
    if (!IsNumberText(Value)) {
        Error =
            "значение «" + std::string(Value) + "» ключа " + Key->Name() + " не является числом";
        return std::nullopt;
    }
    return TCaseOverride{*Key, std::string(Trimmed(Value))};
}

void ApplyCaseOverrides(TProfile& Profile, const std::vector<TCaseOverride>& Overrides)
{
    for (const TCaseOverride& Override : Overrides)
        Profile.WriteString(Override.Key.Section, Override.Key.Key, Override.Value);
}
