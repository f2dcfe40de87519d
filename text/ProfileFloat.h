#pragma once
// Doubles stored as the text of a profile (INI) key.

#include <optional>
#include <string>
#include <string_view>

#include "text/Profile.h"

// The value of the longest leading part of Text that is a decimal number with
// "." as the decimal point (an optional sign, digits with one ".", an optional
// exponent), whatever the locale. A value beyond the range of a double gives
// ±infinity, one too small for it ±0. No number at the start: nullopt.
std::optional<double> LeadingRealValue(std::string_view Text);

// The value of Text when all of it is one decimal number as LeadingRealValue
// reads it (nothing before or after it, not even blanks); else nullopt.
std::optional<double> WholeRealValue(std::string_view Text);

// The number ReadFloat takes from a key's text: the number text that
// ExtractReal finds in it, converted by LeadingRealValue; nullopt when the text
// is empty or holds no number.
std::optional<double> RealInText(const std::string& Text);

// The key's number (RealInText of its text); Default when the key is missing or
// empty or holds no number.
double ReadFloat(TProfile& Ini, const std::string& Section, const std::string& Key, double Default);
// Writes Value in the 23-character scientific text of FloatToFixed(-1, Value),
// e.g. " 1.00000000000000E-0003".
void WriteFloat(TProfile& Ini, const std::string& Section, const std::string& Key, double Value);
