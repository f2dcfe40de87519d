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

// The key's number: the number text that ExtractReal finds in the key's text,
// converted by LeadingRealValue; Default when the key is missing or empty or
// holds no number.
double ReadFloat(TProfile& Ini, const std::string& Section, const std::string& Key, double Default);
// Writes Value in the 23-character scientific text of FloatToFixed(-1, Value),
// e.g. " 1.00000000000000E-0003".
void WriteFloat(TProfile& Ini, const std::string& Section, const std::string& Key, double Value);
