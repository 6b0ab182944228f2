#pragma once

#include <charconv>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "data/formats/sheets/Workbook.h"
#include "data/import/ImportDataFile.h"

// The command line: its shape, and each option's value checked and read.
namespace corvane::cli {

// A usage error: the reason, printed before the usage text.
struct UsageError {
    std::string reason;
};

// The user interrupted the command: nothing is printed.
struct Interrupted {};

// A user error: the program's own message, printed alone.
struct UserError {
    std::string message;
};

// One command line, checked against the options its command takes.
struct ParsedArgs {
    const CliCommand* command = nullptr;  // none when only help was asked for
    std::string file;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
    bool help = false;

    const std::string* value(const std::string& name) const;
    // The option's value; a UsageError when it was not given.
    const std::string& required(const std::string& name) const;
    bool flag(const std::string& name) const { return flags.count(name) != 0; }
};

// Finds the command among `commands` and reads its options; throws UsageError when the line is
// not a command the tool knows.
ParsedArgs ParseArgs(const std::vector<std::string>& args, const std::vector<CliCommand>& commands);

// The usage text printed for --help and after a usage error.
std::string UsageText();

// A whole decimal number with nothing around it.
template <class T>
std::optional<T> ParseUnsigned(const std::string& text) {
    T value{};
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

// Each option's value, or a UsageError naming what the option takes. Options that were not
// given read as their default: nothing where the caller keeps its own.

// --delimiter as the character the import splits on; kDetectFormat for auto or when not given.
char ParseDelimiter(const ParsedArgs& a);
// --sheet: a workbook's sheet by name, or by number from 1; the first when not given.
SheetChoice ParseSheet(const ParsedArgs& a);
// --format: true for json, false for text (the default).
bool ParseJsonFormat(const ParsedArgs& a);
// --format of an effect size: the report, JSON or one sentence for a manuscript.
enum class EffectSizeFormat { Text, Json, Sentence };
EffectSizeFormat ParseEffectSizeFormat(const ParsedArgs& a);
// --trials, 1 to 1000000.
std::optional<std::int32_t> ParseTrials(const ParsedArgs& a);
// --level in percent, one of kLevelPercents; 95 when not given.
int ParseLevelPercent(const ParsedArgs& a);
// --variance-of: the group whose variance scales d, 1 or 2.
std::optional<int> ParseVarianceOf(const ParsedArgs& a);
// --seed; when not given, one from the clock below 2^53 so that any JSON reader holds the
// reported seed exactly.
std::uint64_t ParseSeed(const ParsedArgs& a);
// --threads, 1 to 1024.
std::optional<unsigned> ParseThreads(const ParsedArgs& a);
// --distribution: the CSV's name, never empty nor the data file itself; null when not given.
const std::string* ParseDistribution(const ParsedArgs& a);

// The texts of the variable options (such as dv and gv), each required. One given as a number
// out of 1..100000 is refused now, before the file is read; a name once its first line is known.
std::vector<std::string> VariableOptions(const ParsedArgs& a,
                                         const std::vector<std::string>& options);
// A variable given by number (1..100000), or by a name of the file's first line once the file is
// read; a usage error otherwise. `option` names the option in the message.
std::int32_t ResolveVariable(const std::string& text, const std::vector<std::string>& names,
                             const std::string& option);
// --vars once the file's names are known: numbers and ranges, or names where the file has them.
std::vector<std::int32_t> ResolveVariableList(const std::string& text,
                                              const std::vector<std::string>& names);

// Variable numbers and ranges such as 1,3-5 (every number 1..100000), ascending, each once; with
// the names of the file's first line an item may also be a name. Nothing when the text is not such
// a list.
std::optional<std::vector<std::int32_t>> ParseVariableList(
    const std::string& text, const std::vector<std::string>& names = {});

// The variable (from 1) of that name; 0 when none has it, -1 when more than one has.
std::int32_t VariableByName(const std::string& name, const std::vector<std::string>& names);

}  // namespace corvane::cli
