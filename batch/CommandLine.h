#pragma once
// The command line of hyd-calc: options and one case file. A single run and a
// series of runs take different options, but read them by the same rules.

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "case/CaseOverrides.h"

// A command line the tool cannot take; the text says why.
struct TUsageError : std::runtime_error {
    using runtime_error::runtime_error;
};

// Text in the quotes of the tool's messages: «Text».
std::string Quoted(std::string_view Text);

enum class TOptionKind {
    Unknown,   // refused
    Flag,      // no value; at most once
    Value,     // with a value; at most once
    Repeated,  // with a value; any number of times
};

// Reads Args. A word that does not begin with "-", a lone "-" and every word
// after "--" name the case file, which is given once; every other word is an
// option, "--name=value" or "--name value", whose kind KindOf tells (it may
// throw TUsageError for an option the command does not take). Take gets the
// options in order, each with its value (empty for a flag). Returns the case
// file, or nothing when none was given. Throws TUsageError.
std::optional<std::string>
ReadCommandLine(const std::vector<std::string>& Args,
                const std::function<TOptionKind(const std::string& Name)>& KindOf,
                const std::function<void(const std::string& Name, const std::string& Value)>& Take);

// The values that several options share; each throws TUsageError with its
// message when Text does not read.
double ReadGravity(std::string_view Text);                         // --gravity
void ReadSvgSize(std::string_view Text, int& Width, int& Height);  // --size
TCaseOverride ReadCaseOverride(std::string_view Text);             // --set
