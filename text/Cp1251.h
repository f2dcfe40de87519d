#pragma once
// Windows-1251, the Cyrillic single-byte code page of older text files.

#include <string>
#include <string_view>

// The character of Byte in Windows-1251. The one byte the code page leaves
// undefined (0x98) gives U+FFFD.
char32_t Cp1251Char(unsigned char Byte);

// Bytes read as Windows-1251, written as UTF-8. Every byte gives one
// character, so nothing is lost or merged.
std::string Cp1251ToUtf8(std::string_view Bytes);
