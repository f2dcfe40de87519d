#include "text/FloatFormat.h"

#include "text/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <locale.h>
#include <vector>

bool Float_Format_Valid(std::string_view Format)
{
    const std::string_view Flags = "-+ #0";
    const std::string_view Conversions = "eEfFgGaA";
    int Count = 0;
    for (std::size_t i = 0; i < Format.size(); ++i) {
        if (Format[i] == '\0')
            return false;
        if (Format[i] != '%')
            continue;
        ++i;
        if (i < Format.size() && Format[i] == '%')
            continue;
        while (i < Format.size() && Format[i] != '\0' &&
               Flags.find(Format[i]) != std::string_view::npos)
            ++i;
        int Digits = 0;
        while (i < Format.size() && Format[i] >= '0' && Format[i] <= '9') {
            ++i;
            ++Digits;
        }
        if (Digits > 3)
            return false;
        if (i < Format.size() && Format[i] == '.') {
            ++i;
            Digits = 0;
            while (i < Format.size() && Format[i] >= '0' && Format[i] <= '9') {
                ++i;
                ++Digits;
            }
            if (Digits > 3)
                return false;
        }
        if (i >= Format.size() || Format[i] == '\0' ||
            Conversions.find(Format[i]) == std::string_view::npos)
            return false;
        ++Count;
    }
    return Count == 1;
}

namespace {
// Formats with the "C" numeric conventions for the duration of one call.
class TC_Numeric {
public:
    TC_Numeric()
    {
        static locale_t C_Locale = newlocale(LC_NUMERIC_MASK, "C", locale_t(0));
        if (C_Locale)
            FOld = uselocale(C_Locale);
    }
    ~TC_Numeric()
    {
        if (FOld)
            uselocale(FOld);
    }
    TC_Numeric(const TC_Numeric&) = delete;
    TC_Numeric& operator=(const TC_Numeric&) = delete;

private:
    locale_t FOld = locale_t(0);
};
}  // namespace

std::optional<std::string> Format_Float(std::string_view Format, double X)
{
    if (!Float_Format_Valid(Format))
        return std::nullopt;
    const std::string F(Format);
    TC_Numeric Numeric;
    const int Length = std::snprintf(nullptr, 0, F.c_str(), X);
    if (Length < 0)
        return std::nullopt;
    std::vector<char> Buffer(static_cast<std::size_t>(Length) + 1);
    std::snprintf(Buffer.data(), Buffer.size(), F.c_str(), X);
    return std::string(Buffer.data(), static_cast<std::size_t>(Length));
}

bool Text_To_Double(std::string_view Text, double& Value)
{
    if (Text.empty())
        return false;
    double V = 0.0;
    const char* Last = Text.data() + Text.size();
    const auto [End, Error] = std::from_chars(Text.data(), Last, V);
    if (Error != std::errc() || End != Last || !std::isfinite(V))
        return false;
    Value = V;
    return true;
}

bool Text_Shows_Only_Zeros(std::string_view Text)
{
    std::size_t i = Text.find_first_not_of(" +-");
    if (i == std::string_view::npos)
        return false;
    for (; i < Text.size(); ++i)
        if (Text[i] != '0' && Text[i] != Decimal_Separator)
            return false;
    return true;
}
