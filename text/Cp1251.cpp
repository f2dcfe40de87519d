#include "text/Cp1251.h"

namespace {

// 0x80 to 0xBF; 0xC0 to 0xFF are А to я in order, below 0x80 is ASCII.
constexpr char16_t Upper_Half[64] = {
    u'\u0402', u'\u0403', u'\u201A', u'\u0453', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u20AC', u'\u2030', u'\u0409', u'\u2039', u'\u040A', u'\u040C', u'\u040B', u'\u040F',
    u'\u0452', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\uFFFD', u'\u2122', u'\u0459', u'\u203A', u'\u045A', u'\u045C', u'\u045B', u'\u045F',
    u'\u00A0', u'\u040E', u'\u045E', u'\u0408', u'\u00A4', u'\u0490', u'\u00A6', u'\u00A7',
    u'\u0401', u'\u00A9', u'\u0404', u'\u00AB', u'\u00AC', u'\u00AD', u'\u00AE', u'\u0407',
    u'\u00B0', u'\u00B1', u'\u0406', u'\u0456', u'\u0491', u'\u00B5', u'\u00B6', u'\u00B7',
    u'\u0451', u'\u2116', u'\u0454', u'\u00BB', u'\u0458', u'\u0405', u'\u0455', u'\u0457'};

void Append_Utf8(std::string& Out, char32_t C)
{
    if (C < 0x80) {
        Out += static_cast<char>(C);
    } else if (C < 0x800) {
        Out += static_cast<char>(0xC0 | (C >> 6));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else {
        Out += static_cast<char>(0xE0 | (C >> 12));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    }
}

}  // namespace

char32_t Cp1251Char(unsigned char Byte)
{
    if (Byte < 0x80)
        return Byte;
    if (Byte >= 0xC0)
        return 0x0410 + (Byte - 0xC0);
    return Upper_Half[Byte - 0x80];
}

std::string Cp1251ToUtf8(std::string_view Bytes)
{
    std::string Out;
    Out.reserve(Bytes.size() * 2);
    for (const char B : Bytes)
        Append_Utf8(Out, Cp1251Char(static_cast<unsigned char>(B)));
    return Out;
}
