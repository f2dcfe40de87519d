#pragma once
// Parameter-file keys given on the command line ("Data.Step=0.002") and set in
// a case file's profile before the case is read, so that they pass the same
// reading rules as the file's own keys (limits, clamping, defaults).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TProfile;

// One key of the parameter file, spelled as the case model spells it.
struct TCaseKey {
    std::string Section;  // DataSection or BlowSection
    std::string Key;

    std::string Name() const { return Section + "." + Key; }  // "Data.Step"
    bool operator==(const TCaseKey&) const = default;
};

// The key "SECTION.KEY" names (letter case aside), or nothing when the case
// model reads no such key. The position of the water-hammer dialog ("Top",
// "Left") is no parameter and not found.
std::optional<TCaseKey> FindCaseKey(std::string_view Name);

// Whether Text, blanks around it aside, is one decimal number and nothing else
// ("2.5e-3", "-1", "+5"): not empty, no unit, no infinity or NaN.
bool IsNumberText(std::string_view Text);

struct TCaseOverride {
    TCaseKey Key;
    std::string Value;  // a number text (IsNumberText)
    bool operator==(const TCaseOverride&) const = default;
};

// Reads "SECTION.KEY=VALUE". On a fault returns nothing and sets Error to a
// Russian text naming it (an unknown key, a value that is not a number).
std::optional<TCaseOverride> ParseCaseOverride(std::string_view Text, std::string& Error);

// Writes every override into Profile, in order (a later one wins), without
// committing: LoadCase then reads them as if the file held them.
void ApplyCaseOverrides(TProfile& Profile, const std::vector<TCaseOverride>& Overrides);
