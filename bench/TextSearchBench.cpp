// Speed of the editor's Find and Replace on the text of a one-million-row
// report (about 114 MB as UTF-8), each beside what it is measured against:
//
//   Find of the report's last row (one occurrence, at the very end):
//     Find_Next          the editor's scan, progress every 4096 positions
//     WholeView          one std::u16string_view::find over the text, no progress
//     QStringIndexOf     QString::indexOf (with Qt)
//   Replace of "." by "," (several times on every row):
//     Replace_All        the editor's replace: a new text built in one pass
//     QStringReplace     QString::replace on a copy (with Qt)
//     InPlace/N          deleting and inserting in the text itself at each hit,
//                        on the first N rows only (it grows with the square of
//                        the size: the whole report would take hours)

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "engine/Calc.h"
#include "engine/RunGlobals.h"
#include "engine/UserLink.h"
#include "text/TextSearch.h"

#ifdef HYD_BENCH_QSTRING
#include <QString>
#endif

namespace {

class TSilentLink final : public TUserLink {
public:
    std::unique_ptr<TProgress> Percent_Open(const std::string&) override
    {
        return SilentProgress();
    }
    void Dialog_Error(const std::string&) override {}
    void Dialog_Warning(const std::string&) override {}
};

// UTF-8 (well-formed) to UTF-16.
std::u16string Utf16(const std::string& S)
{
    std::u16string Out;
    Out.reserve(S.size());
    for (std::size_t I = 0; I < S.size();) {
        const auto B = static_cast<unsigned char>(S[I]);
        const int N = B < 0x80 ? 1 : B < 0xE0 ? 2 : B < 0xF0 ? 3 : 4;
        char32_t C = N == 1 ? B : N == 2 ? B & 0x1F : N == 3 ? B & 0x0F : B & 0x07;
        for (int K = 1; K < N; ++K)
            C = (C << 6) | (static_cast<unsigned char>(S[I + K]) & 0x3F);
        I += N;
        if (C >= 0x10000) {
            C -= 0x10000;
            Out += static_cast<char16_t>(0xD800 + (C >> 10));
            Out += static_cast<char16_t>(0xDC00 + (C & 0x3FF));
        } else {
            Out += static_cast<char16_t>(C);
        }
    }
    return Out;
}

// The report of a constant-pressure run of one million steps, made once.
const std::u16string& Report()
{
    static const std::u16string Text = [] {
        constexpr int Rows = 1000000;
        TSilentLink Link;
        SetUserLink(&Link);
        BlowCalc = nullptr;
        TCalc Calc;
        Calc.Pressure = 20000;
        Calc.Density = 998;
        Calc.Viscous = 0.001;
        Calc.Condens = 4.6e-10;
        Calc.Diameter = 0.05;
        Calc.Walls = 0.004;
        Calc.Young = 2e11;
        Calc.Rough = 1e-5;
        Calc.Length = 500;
        Calc.InitialFill = 0.1;
        Calc.InitialSpeed = 0.2;
        std::vector<TCalcStep> Records(Rows);
        for (int i = 0; i < Rows; ++i) {
            const double t = (i + 1) * 1e-4;
            const double v = 6.3 * (1 - std::exp(-t * 3));
            Records[static_cast<std::size_t>(i)] = {t,
                                                    0.1 + v * t,
                                                    v,
                                                    18.9 * std::exp(-t * 3),
                                                    v * v * 120 * t,
                                                    v * 0.05 * 998 / 0.001};
        }
        Calc.Records = Records.data();
        Calc.Capacity = Calc.Count = Rows;
        Calc.ReMax = Records.back().Re;
        std::string Utf8;
        Calc.MakeReport(Utf8);
        Calc.Records = nullptr;
        Calc.Capacity = Calc.Count = 0;
        SetUserLink(nullptr);
        return Utf16(Utf8);
    }();
    return Text;
}

// The report's last row with its row number: found only at its end.
std::u16string Tail()
{
    const std::u16string& T = Report();
    const std::size_t Row_End = T.find_last_not_of(u"\r\n");
    return T.substr(T.rfind(u'\n', Row_End) + 1);
}

void Counters(benchmark::State& State, std::size_t Units)
{
    State.counters["MB/s"] = benchmark::Counter(static_cast<double>(Units) * 2 *
                                                    static_cast<double>(State.iterations()) / 1e6,
                                                benchmark::Counter::kIsRate);
    State.counters["MB"] = static_cast<double>(Units) * 2 / 1e6;
}

void BM_Find_Find_Next(benchmark::State& State)
{
    const std::u16string& T = Report();
    const std::u16string What = Tail();
    std::size_t Reports = 0;
    const TSearch_Progress Progress = [&](std::size_t, std::size_t) { return ++Reports, true; };
    for (auto _ : State) {
        const TFind_Result R = Find_Next(T, What, 0, 0, Progress);
        if (R.Position != T.size() - What.size())
            State.SkipWithError("not at the end");
        benchmark::DoNotOptimize(R);
    }
    Counters(State, T.size());
}

void BM_Find_WholeView(benchmark::State& State)
{
    const std::u16string_view T = Report();
    const std::u16string What = Tail();
    for (auto _ : State) {
        const std::size_t At = T.find(What);
        if (At != T.size() - What.size())
            State.SkipWithError("not at the end");
        benchmark::DoNotOptimize(At);
    }
    Counters(State, T.size());
}

void BM_Replace_Replace_All(benchmark::State& State)
{
    const std::u16string& T = Report();
    std::size_t Count = 0;
    const TSearch_Progress Progress = [](std::size_t, std::size_t) { return true; };
    for (auto _ : State) {
        const TReplace_Result R = Replace_All(T, u".", u",", 0, 0, Progress);
        Count = R.Count;
        benchmark::DoNotOptimize(R.Text.data());
    }
    State.counters["replacements"] = static_cast<double>(Count);
    Counters(State, T.size());
}

// The first Rows rows of the report (and its head).
std::u16string First_Rows(std::size_t Rows)
{
    const std::u16string& T = Report();
    std::size_t End = 0;
    for (std::size_t R = 0; R < Rows + 20 && End != std::u16string::npos; ++R)
        End = T.find(u'\n', End + 1);
    return T.substr(0, End);
}

void BM_Replace_InPlace(benchmark::State& State)
{
    const std::u16string Part = First_Rows(static_cast<std::size_t>(State.range(0)));
    std::size_t Count = 0;
    for (auto _ : State) {
        std::u16string W = Part;
        Count = 0;
        for (std::size_t At = W.find(u'.'); At != std::u16string::npos; At = W.find(u'.', At + 1)) {
            W.erase(At, 1);
            W.insert(W.begin() + static_cast<std::ptrdiff_t>(At), u',');
            ++Count;
        }
        benchmark::DoNotOptimize(W.data());
    }
    State.counters["replacements"] = static_cast<double>(Count);
    Counters(State, Part.size());
}

void BM_Replace_All_Part(benchmark::State& State)
{
    const std::u16string Part = First_Rows(static_cast<std::size_t>(State.range(0)));
    for (auto _ : State) {
        const TReplace_Result R = Replace_All(Part, u".", u",", 0, 0);
        benchmark::DoNotOptimize(R.Text.data());
    }
    Counters(State, Part.size());
}

#ifdef HYD_BENCH_QSTRING
QString Q_Report()
{
    const std::u16string& T = Report();
    return QString::fromStdU16String(T);
}

void BM_Find_QStringIndexOf(benchmark::State& State)
{
    const QString T = Q_Report();
    const QString What = QString::fromStdU16String(Tail());
    for (auto _ : State) {
        const qsizetype At = T.indexOf(What);
        if (At != T.size() - What.size())
            State.SkipWithError("not at the end");
        benchmark::DoNotOptimize(At);
    }
    Counters(State, static_cast<std::size_t>(T.size()));
}

void BM_Replace_QStringReplace(benchmark::State& State)
{
    const QString T = Q_Report();
    for (auto _ : State) {
        QString W = T;
        W.replace(QStringLiteral("."), QStringLiteral(","));
        benchmark::DoNotOptimize(W.data());
    }
    Counters(State, static_cast<std::size_t>(T.size()));
}
#endif

}  // namespace

BENCHMARK(BM_Find_Find_Next)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(BM_Find_WholeView)->Unit(benchmark::kMillisecond)->MinTime(1);
#ifdef HYD_BENCH_QSTRING
BENCHMARK(BM_Find_QStringIndexOf)->Unit(benchmark::kMillisecond)->MinTime(1);
#endif
BENCHMARK(BM_Replace_Replace_All)->Unit(benchmark::kMillisecond)->Iterations(5);
#ifdef HYD_BENCH_QSTRING
BENCHMARK(BM_Replace_QStringReplace)->Unit(benchmark::kMillisecond)->Iterations(5);
#endif
BENCHMARK(BM_Replace_InPlace)->Arg(1000)->Arg(3000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Replace_All_Part)->Arg(1000)->Arg(3000)->Arg(10000)->Unit(benchmark::kMillisecond);
