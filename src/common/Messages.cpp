#include "common/Messages.h"

namespace corvane::msg {

namespace {
std::string N(std::int64_t n) { return std::to_string(n); }

// "<What> could not be saved to <path> (<reason>)." and what became of a file already there:
// unchanged, or cut short when a save in place failed part-way, holding only part of <part>.
std::string NotSaved(const char* what, const char* part, const std::string& path,
                     const std::string& reason, bool oldFileLost) {
    return std::string(what) + " could not be saved to " + path + " (" + reason +
           (oldFileLost ? "). The file may hold only part of " + std::string(part) + "."
                        : std::string("). Any file already there is unchanged."));
}
}  // namespace

std::string InvalidEntry(std::int64_t row, std::int64_t column) {
    return "Row " + N(row) + " of Column " + N(column) + " has an invalid entry for analysis.";
}

std::string NumberTooLarge(std::int64_t row, std::int64_t column) {
    return "Row " + N(row) + " of Column " + N(column) + " holds a number too large for analysis.";
}

std::string TooManyFields(std::int64_t row) {
    return "Row " + N(row) +
           " has more than 100000 fields; a data set holds at most 100000 variables.";
}

std::string TooManyLabels(std::int64_t column) {
    return "Column " + N(column) + " holds more than 9999998 different texts.";
}

std::string TooManyLines() {
    return "The file has more lines than the program can hold (2147483647).";
}

std::string FileNotReadable(const std::string& path, const std::string& reason) {
    return "The file could not be read: " + path + " (" + reason + ").";
}

std::string FileChangedWhileReading(const std::string& path) {
    return "The file changed while it was being read: " + path + ". Nothing was imported.";
}

std::string NotEnoughMemory() { return "There is not enough memory to import this file."; }

std::string LooksLikeOtherFormat(const std::string& what) {
    return "The file looks like " + what +
           ": import it with File > Import Data File..., which detects its format.";
}

std::string LooksOtherwiseDelimited(const std::string& layout, const std::string& detectWith) {
    return "The file looks " + layout + ": import it with " + detectWith +
           ", which detects its format.";
}

std::string LooksDelimited(char delimiter) {
    const char* name = delimiter == ',' ? "comma" : delimiter == '\t' ? "tab" : "space";
    const char* option = delimiter == ',' ? "Comma" : delimiter == '\t' ? "Tab" : "Space";
    return std::string("The file looks ") + name + "-delimited: choose " + option +
           " Delimited and import again.";
}

std::string GroupValueNotHeld(int group, const std::string& variable,
                              const std::vector<std::string>& values) {
    std::string out = std::string(group == 1 ? kGroup1CodeInvalid : kGroup2CodeInvalid) + " " +
                      variable + " holds: ";
    for (std::size_t i = 0; i < values.size() && i < kGroupValuesShown; ++i) {
        out += (i == 0 ? "" : ", ") + values[i];
    }
    // The ellipsis (UTF-8) ends the sentence itself.
    return out + (values.size() > kGroupValuesShown ? ", \xE2\x80\xA6" : ".");
}

std::string DependentHoldsText(const std::string& variable, const std::string& text,
                               std::int64_t row) {
    return variable + " holds text (\"" + text + "\" in row " + N(row) +
           "), so it cannot be the dependent variable.";
}

std::string ValuesTooLarge(std::int64_t variable) {
    return "The values of Var " + N(variable) + " are too large for this analysis.";
}

std::string VarianceTooLarge(std::int64_t variable, int group) {
    return "The variance of Var " + N(variable) + " in Group " + N(group) +
           " is too large for this analysis.";
}

std::string WinsorizedVarianceTooLarge(std::int64_t variable, int group) {
    return "The Winsorized variance of Var " + N(variable) + " in Group " + N(group) +
           " is too large for this analysis.";
}

std::string EstimateCannotBeShown(const std::string& estimate, int group, const std::string& spread,
                                  const std::string& centres) {
    return estimate + " cannot be shown: Group " + N(group) + "'s " + spread +
           " is too small against the difference of the " + centres + ".";
}

std::string AnalysisNotEnoughMemory() {
    return "There is not enough memory to complete the analysis.";
}

std::string AnalysisFailed(const std::string& reason) {
    return "The analysis could not be completed: " + reason;
}

std::string CommandNotEnoughMemory() {
    return "There is not enough memory to complete this command.";
}

std::string CommandFailed(const std::string& reason) {
    return "The command could not be completed: " + reason;
}

std::string VariableNotInData(std::int64_t variable, std::int64_t variables) {
    return "Var " + N(variable) + " is not in the data: the file has " + N(variables) +
           (variables == 1 ? " variable." : " variables.");
}

std::string DistributionNotSaved(const std::string& path, const std::string& reason,
                                 bool oldFileLost) {
    return NotSaved("The trial values", "them", path, reason, oldFileLost);
}

std::string CliFailed(const std::string& text) { return "corvane-cli: " + text; }

std::string SaveFailed(const std::string& path, const std::string& reason, bool oldFileLost) {
    return NotSaved("The output", "the output", path, reason, oldFileLost);
}

std::string PictureNotSaved(const std::string& path, const std::string& reason, bool oldFileLost) {
    return NotSaved("The picture", "the picture", path, reason, oldFileLost);
}

std::string OpenFailed(const std::string& path, const std::string& reason) {
    return "The file could not be opened: " + path + " (" + reason + ").";
}

}  // namespace corvane::msg
