#pragma once
// Number texts by a format of one floating-point conversion, as the value
// editors show them, and reading a whole text as one number. The decimal
// separator is "." whatever the locale. Texts are UTF-8.

#include <optional>
#include <string>
#include <string_view>

// True when Format holds exactly one floating-point conversion (e, E, f, F,
// g, G, a, A with flags "-+ #0", width and precision of at most three digits)
// besides any number of "%%".
bool Float_Format_Valid(std::string_view Format);
// Format applied to X with "." as the decimal separator, whatever the
// locale; nothing when the format is not valid. Text around the conversion
// is copied byte for byte.
std::optional<std::string> Format_Float(std::string_view Format, double X);
// The whole of Text read as a double ("1.", ".5", "-2.5e-3"); false when
// Text is not exactly one finite number.
bool Text_To_Double(std::string_view Text, double& Value);
// True when a formatted number shows nothing but zeros (signs, padding and
// the decimal separator aside): such a text hides a non-zero value.
bool Text_Shows_Only_Zeros(std::string_view Text);
