#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Every text the program shows in a message box or on the batch tool's standard error.
namespace corvane::msg {

// Titles
inline constexpr const char* kTitleDataEditor = "Data Editor";
inline constexpr const char* kTitleAnalysisError = "Analysis Error";
inline constexpr const char* kTitleSaveOutput = "Save Output";
inline constexpr const char* kTitleOpenOutput = "Open Output";
inline constexpr const char* kTitleProgram = "Corvane";

// Import
std::string InvalidEntry(std::int64_t row, std::int64_t column);
std::string NumberTooLarge(std::int64_t row, std::int64_t column);
std::string TooManyFields(std::int64_t row);
std::string TooManyLines();
std::string TooManyLabels(std::int64_t column);
std::string FileNotReadable(const std::string& path, const std::string& reason);
std::string FileChangedWhileReading(const std::string& path);
std::string NotEnoughMemory();  // the import itself
// The second sentence of an invalid entry when another delimiter splits the file well.
std::string LooksDelimited(char delimiter);
// For a file the chosen delimiter cannot read that detection would: "The file looks like an
// SPSS data file: import it with File > Import Data File..., which detects its format."
std::string LooksLikeOtherFormat(const std::string& what);
// A file the chosen delimiter would misread: "The file looks semicolon-delimited with decimal
// commas: import it with <detectWith>, which detects its format."
std::string LooksOtherwiseDelimited(const std::string& layout, const std::string& detectWith);

// Effect-size analysis
inline constexpr const char* kNoDependentVariable = "A dependent variable must be selected.";
inline constexpr const char* kNoGroupingVariable = "A grouping variable must be selected.";
inline constexpr const char* kGroup1CodeInvalid = "The value provided for Group 1 is not valid.";
inline constexpr const char* kGroup2CodeInvalid = "The value provided for Group 2 is not valid.";
// The group's "not valid" text and the values of a grouping variable with labels, such as
// "Var 2 (group) holds: control, treatment.": at most kGroupValuesShown, then "…".
inline constexpr std::size_t kGroupValuesShown = 10;
std::string GroupValueNotHeld(int group, const std::string& variable,
                              const std::vector<std::string>& values);
// `variable` holds text, first `text` in file row `row`.
std::string DependentHoldsText(const std::string& variable, const std::string& text,
                               std::int64_t row);
inline constexpr const char* kGroup1TooSmall =
    "There is an insufficient number of observations for Group 1.";
inline constexpr const char* kGroup2TooSmall =
    "There is an insufficient number of observations for Group 2.";
inline constexpr const char* kGroup1ZeroVariance = "Group 1 has a zero variance.";
inline constexpr const char* kGroup2ZeroVariance = "Group 2 has a zero variance.";
inline constexpr const char* kSeedInvalid =
    "The seed must be empty or a whole number from 0 to 18446744073709551615.";

// Descriptives
inline constexpr const char* kNothingTicked = "At least one item must be selected.";

// Both analyses
std::string ValuesTooLarge(std::int64_t variable);

// A result of the effect-size analysis beyond the single-precision range
std::string VarianceTooLarge(std::int64_t variable, int group);
std::string WinsorizedVarianceTooLarge(std::int64_t variable, int group);
// "Cohen's D cannot be shown: Group 1's variance is too small against the difference of the
// means.", the estimate's name and words from its description.
std::string EstimateCannotBeShown(const std::string& estimate, int group, const std::string& spread,
                                  const std::string& centres);
inline constexpr const char* kAnalysisCancelled = "The analysis was stopped.";

// Failures the program did not foresee, in either analysis or any other command
// The box of a command's failure carries the command's name as its title.
std::string AnalysisNotEnoughMemory();
std::string AnalysisFailed(const std::string& reason);
std::string CommandNotEnoughMemory();
std::string CommandFailed(const std::string& reason);

// Batch tool
std::string VariableNotInData(std::int64_t variable, std::int64_t variables);
inline constexpr const char* kOutputNotWritten = "the output could not be written.";
inline constexpr const char* kCommandNotEnoughMemory =
    "there is not enough memory for this command.";
// --distribution: the trial values could not be written to `path`.
std::string DistributionNotSaved(const std::string& path, const std::string& reason,
                                 bool oldFileLost = false);
// A line of the batch tool's own, naming the tool: "corvane-cli: <text>".
std::string CliFailed(const std::string& text);

// Output files
inline constexpr const char* kNoFileName = "A file name has not been provided.";
inline constexpr const char* kNoFileSelected = "A file has not been selected.";
// oldFileLost: the file was being written in place and holds part of the text at most.
std::string SaveFailed(const std::string& path, const std::string& reason,
                       bool oldFileLost = false);
std::string OpenFailed(const std::string& path, const std::string& reason);

// Bootstrap distribution pictures
inline constexpr const char* kPictureNameNeedsExtension =
    "A picture is saved as PNG or SVG: the file name must end in .png or .svg.";
std::string PictureNotSaved(const std::string& path, const std::string& reason,
                            bool oldFileLost = false);

// Exit
inline constexpr const char* kConfirmExit = "Do you want to exit Corvane?";
inline constexpr const char* kConfirmSave = "Do you want to save the contents of the output?";

}  // namespace corvane::msg
