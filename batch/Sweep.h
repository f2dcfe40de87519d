#pragma once
// hyd-calc's series of runs: one case file with keys set (--set) and swept
// (--sweep), the variants run on several threads (--jobs) or only a share of
// them (--part), one summary row per variant (--summary) and each variant's
// report, CSV and chart in a folder (--outputs).

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "case/CaseOverrides.h"

// The variants' upper limit.
inline constexpr std::uint64_t SweepMaxVariants = 1000000;

// One swept key and its values, as number texts in sweep order.
struct TSweepAxis {
    TCaseKey Key;
    std::vector<std::string> Values;
};

// Reads "SECTION.KEY=FROM:TO:COUNT" (COUNT evenly spaced values, both ends
// included) or "SECTION.KEY=V1,V2,...". On a fault returns nothing and sets
// Error to a Russian text naming it.
std::optional<TSweepAxis> ParseSweepAxis(std::string_view Text, std::string& Error);

// The number of variants of Axes (their product; 1 without axes), at most
// SweepMaxVariants + 1.
std::uint64_t SweepVariantCount(const std::vector<TSweepAxis>& Axes);

// The value index of each axis in variant Index (0-based): the first axis
// changes slowest, the last fastest.
std::vector<std::size_t> SweepVariantAt(const std::vector<TSweepAxis>& Axes, std::uint64_t Index);

// Whether Args ask for a series of runs (--sweep, --summary, --outputs,
// --jobs or --part); a plain run with --set is not.
bool IsSweepCommand(const std::vector<std::string>& Args);

// Runs the series: as RunBatch (batch/BatchTool.h), whose exit statuses it
// shares: 2 before any run for bad input, otherwise the highest status of the
// variants run, or 2 when the summary cannot be written.
int RunSweep(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err);
