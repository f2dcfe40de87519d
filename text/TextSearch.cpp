#include "text/TextSearch.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>

#include "text/NumberText.h"

namespace {

// Sel_Start + Sel_Length, without overflowing, not past Size.
std::size_t Selection_End(std::size_t Sel_Start, std::size_t Sel_Length, std::size_t Size)
{
    const std::size_t Start = std::min(Sel_Start, Size);
    return Start + std::min(Sel_Length, Size - Start);
}

// From this length of the search string on, the scan skips ahead by the
// last unit of each window (Horspool's rule, on the unit's low byte); below
// it a plain scan for the first unit is faster.
constexpr std::size_t Skip_From_Length = 4;

// Finds the occurrences of What in [.., End) of Text from left to right and
// tells Progress each time the scan has gone Search_Progress_Step positions
// further (counted from where it began).
class TScanner {
public:
    TScanner(std::u16string_view Text, std::u16string_view What, std::size_t Start, std::size_t End,
             const TSearch_Progress& Progress)
        : FText(Text), FWhat(What), FEnd(End), FNext_Report(Start + Search_Progress_Step),
          FProgress(Progress), FSkip(What.size() >= Skip_From_Length)
    {
        if (!FSkip)
            return;
        // How far the window may move on when its last unit is C: to the
        // next unit of What (but the last) with C's low byte, else past it.
        const std::size_t L = What.size();
        FShift.fill(L);
        for (std::size_t I = 0; I + 1 < L; ++I)
            FShift[What[I] & 0xFF] = L - 1 - I;
    }

    bool Cancelled() const { return FCancelled; }

    // Start of the first occurrence that starts at or after From and ends at
    // or before the end; npos when there is none or the scan was cancelled.
    std::size_t Next(std::size_t From)
    {
        const std::size_t L = FWhat.size();
        if (L == 0 || FEnd < L)
            return std::u16string_view::npos;
        const std::size_t Last = FEnd - L;  // the last possible start
        while (From <= Last) {
            if (From >= FNext_Report) {
                if (FProgress && !FProgress(From, FEnd)) {
                    FCancelled = true;
                    return std::u16string_view::npos;
                }
                FNext_Report +=
                    ((From - FNext_Report) / Search_Progress_Step + 1) * Search_Progress_Step;
            }
            // Starts up to the next report, or to the last possible one.
            const std::size_t Chunk_Last = std::min(Last, FNext_Report - 1);
            const std::size_t Hit = Find_Start(From, Chunk_Last);
            if (Hit != std::u16string_view::npos)
                return Hit;
            From = Chunk_Last + 1;
        }
        return std::u16string_view::npos;
    }

private:
    // The first occurrence that starts in [From, Last_Start]; npos when none.
    std::size_t Find_Start(std::size_t From, std::size_t Last_Start) const
    {
        const std::size_t L = FWhat.size();
        if (!FSkip) {
            const std::size_t Hit = FText.substr(From, Last_Start - From + L).find(FWhat);
            return Hit == std::u16string_view::npos ? Hit : From + Hit;
        }
        const char16_t* T = FText.data();
        const char16_t* W = FWhat.data();
        const char16_t Final = W[L - 1];
        for (std::size_t P = From; P <= Last_Start;) {
            const char16_t C = T[P + L - 1];
            if (C == Final && std::memcmp(T + P, W, (L - 1) * sizeof(char16_t)) == 0)
                return P;
            P += FShift[C & 0xFF];
        }
        return std::u16string_view::npos;
    }

    std::u16string_view FText;
    std::u16string_view FWhat;
    std::size_t FEnd;
    std::size_t FNext_Report;
    const TSearch_Progress& FProgress;
    bool FCancelled = false;
    bool FSkip;  // skip ahead by FShift (long search strings)
    std::array<std::size_t, 256> FShift{};
};

std::u16string Utf16(const char* Utf8_Ascii)
{
    std::u16string S;
    for (const char* P = Utf8_Ascii; *P; ++P)
        S += static_cast<char16_t>(static_cast<unsigned char>(*P));
    return S;
}

}  // namespace

TSearch_Range Find_Range(std::u16string_view Text, std::u16string_view What, std::size_t Sel_Start,
                         std::size_t Sel_Length)
{
    const std::size_t N = Text.size();
    TSearch_Range R{std::min(Sel_Start, N), N};
    if (Sel_Length > 0) {
        const std::size_t Sel_End = Selection_End(Sel_Start, Sel_Length, N);
        if (Text.substr(R.Start, Sel_End - R.Start) == What)
            R.Start = Sel_End;  // go on after the previous hit
        else
            R.End = Sel_End;
    }
    return R;
}

TFind_Result Find_In(std::u16string_view Text, std::u16string_view What, TSearch_Range Range,
                     const TSearch_Progress& Progress)
{
    if (What.empty())
        return {TFind_Status::Nothing_To_Find};
    const std::size_t End = std::min(Range.End, Text.size());
    TScanner Scanner(Text, What, Range.Start, End, Progress);
    const std::size_t Hit = Scanner.Next(Range.Start);
    if (Scanner.Cancelled())
        return {TFind_Status::Cancelled};
    if (Hit == std::u16string_view::npos)
        return {TFind_Status::Not_Found};
    return {TFind_Status::Found, Hit};
}

TFind_Result Find_Next(std::u16string_view Text, std::u16string_view What, std::size_t Sel_Start,
                       std::size_t Sel_Length, const TSearch_Progress& Progress)
{
    TFind_Result R = Find_In(Text, What, Find_Range(Text, What, Sel_Start, Sel_Length), Progress);
    // The search kept to the selection unless the selection was What itself.
    const std::size_t Start = std::min(Sel_Start, Text.size());
    const std::size_t End = Selection_End(Sel_Start, Sel_Length, Text.size());
    R.In_Selection = Sel_Length > 0 && Text.substr(Start, End - Start) != What;
    return R;
}

TReplace_Result Replace_All(std::u16string_view Text, std::u16string_view What,
                            std::u16string_view With, std::size_t Sel_Start, std::size_t Sel_Length,
                            const TSearch_Progress& Progress)
{
    const std::size_t N = Text.size();
    const std::size_t Caret = std::min(Sel_Start, N);
    const std::size_t Start = Sel_Length > 0 ? Caret : 0;
    const std::size_t End = Sel_Length > 0 ? Selection_End(Sel_Start, Sel_Length, N) : N;

    TReplace_Result R;
    R.Caret = Caret;
    if (What.empty()) {
        R.Text = Text;
        return R;
    }

    std::u16string Out;
    Out.reserve(N);
    TScanner Scanner(Text, What, Start, End, Progress);
    const std::size_t L = What.size();
    std::size_t Copied = 0;  // Text before this is in Out
    std::size_t New_Caret = Caret;
    bool Caret_Placed = false;  // the caret stood inside a replaced occurrence
    for (std::size_t At = Scanner.Next(Start); At != std::u16string_view::npos;
         At = Scanner.Next(At + L)) {
        if (R.Count == 0)
            R.First = At;
        Out.append(Text.substr(Copied, At - Copied));
        if (!Caret_Placed && At < Caret) {
            if (At + L <= Caret) {
                New_Caret = New_Caret - L + With.size();
            } else {
                // Inside the occurrence: as far into the replacement, at most its end.
                New_Caret = Out.size() + std::min(Caret - At, With.size());
                Caret_Placed = true;
            }
        }
        Out.append(With);
        Copied = At + L;
        R.Old_End = Copied;
        R.New_End = Out.size();
        ++R.Count;
    }
    if (Scanner.Cancelled()) {
        R = TReplace_Result{};
        R.Text = Text;
        R.Caret = Caret;
        R.Cancelled = true;
        return R;
    }
    Out.append(Text.substr(Copied));
    R.Text = std::move(Out);
    R.Caret = New_Caret;
    if (What == With)
        R.First = R.Old_End = R.New_End = 0;  // the text is as it was
    return R;
}

std::u16string Nothing_To_Find_Text()
{
    return u"Поиск невозможен — неизвестно, что искать";
}

std::u16string Not_Found_Text(std::u16string_view What, bool In_Selection)
{
    std::u16string S = In_Selection ? u"В выделенном блоке текст «" : u"Текст «";
    S += What;
    S += u"» не найден";
    return S;
}

std::u16string Find_Caption(std::u16string_view What)
{
    std::u16string S = u"Поиск «";
    S += What;
    S += u"»";
    return S;
}

std::u16string Replace_Caption(std::u16string_view What, std::u16string_view With)
{
    std::u16string S = u"Замена «";
    S += What;
    S += u"» на «";
    S += With;
    S += u"»";
    return S;
}

std::u16string Replace_Status_Text(std::size_t Count)
{
    if (Count == 0)
        return u"Замены не найдены. ";
    const auto Clamped = static_cast<std::int64_t>(
        std::min<std::size_t>(Count, std::numeric_limits<std::int64_t>::max()));
    return u"Выполнено замен: " + Utf16(IntToGrouped(Clamped).c_str()) + u". ";
}

void Move_To_Top(std::vector<std::u16string>& History, const std::u16string& Text)
{
    const auto Found = std::find(History.begin(), History.end(), Text);
    if (Found == History.end())
        History.insert(History.begin(), Text);
    else
        std::rotate(History.begin(), Found, Found + 1);
}

void TSearch_Memory::Remember_Search(const std::u16string& What)
{
    Last_Search = What;
    Move_To_Top(Search_History, What);
}

void TSearch_Memory::Remember_Replace(const std::u16string& What, const std::u16string& With)
{
    Remember_Search(What);
    Last_Replace = With;
    Move_To_Top(Replace_History, With);
}

TSearch_Memory& Search_Memory()
{
    static TSearch_Memory Memory;
    return Memory;
}
