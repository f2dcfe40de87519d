#pragma once
// Character-counted helpers for UTF-8 text.
//
// A character is one well-formed UTF-8 sequence (no overlong forms, no
// surrogates, nothing above U+10FFFF). Any byte that does not start such a
// sequence counts as one character of its own, so every byte string has a
// definite length and positions never split a well-formed character.

#include <cstddef>
#include <string>

// Bytes of the character that starts at byte Offset of S (1 for a stray
// byte, 0 at or past the end).
std::size_t Utf8CharSize(const std::string& S, std::size_t Offset);
// True when S is nothing but well-formed characters (no stray byte).
bool Utf8Valid(const std::string& S);
// Number of characters (code points) in S; a stray byte counts as one.
std::size_t Utf8Length(const std::string& S);
// Number of characters in the bytes [First, Last) of S.
std::size_t Utf8Length(const std::string& S, std::size_t First, std::size_t Last);
// Byte offset of the character with 0-based index Index; S.size() when S has
// Index characters or fewer.
std::size_t Utf8Offset(const std::string& S, std::size_t Index);

// Widest padding Pad_Left produces; a wider request is a caller's error and is
// cut down to this instead of allocating without bound.
inline constexpr int Pad_Max_Width = 1000000;
// S with blanks added in front until it is at least Width characters long;
// longer texts (and Width <= 0) leave S unchanged.
std::string Pad_Left(const std::string& S, int Width);
