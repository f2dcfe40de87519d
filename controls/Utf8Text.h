#pragma once
// Character-counted helpers for UTF-8 text.

#include <cstddef>
#include <string>

// Number of characters (code points) in S; a stray byte counts as one.
std::size_t Utf8Length(const std::string& S);
// S with blanks added in front until it is at least Width characters long.
std::string Pad_Left(const std::string& S, int Width);
