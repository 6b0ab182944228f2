#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace corvane {

// Why an import failed, whichever reader met the failure.
struct ImportError {
    enum class Kind {
        InvalidEntry,    // row, column
        NumberTooLarge,  // row, column
        TooManyFields,   // row
        TooManyLines,
        TooManyLabels,  // column
        Unreadable,     // reason
        FileChanged,
        OutOfMemory,
        // The chosen delimiter splits the lines unevenly where detection reads them alike;
        // `reason` says how the file looks ("semicolon-delimited with decimal commas").
        MisreadDelimiter,
    };
    Kind kind;
    std::int64_t row = 0;  // the line of the file, a names line counted
    std::int64_t column = 0;
    std::string reason;
    char likelyDelimiter = 0;  // for an invalid entry: the delimiter the file seems to use

    static ImportError Of(Kind kind, std::int64_t row = 0, std::int64_t column = 0) {
        return ImportError{kind, row, column, {}};
    }
    // A file that could not be read, for the reason the system gave (an errno value).
    static ImportError Unreadable(int err);
    static ImportError Unreadable(std::string reason) {
        return ImportError{Kind::Unreadable, 0, 0, std::move(reason)};
    }
    // A workbook that opens only with its password.
    static ImportError PasswordProtected() {
        return Unreadable(
            "the workbook is protected by a password; save it without one and import it again");
    }
};

// How the user asks for a file's format to be detected, which a message may point to.
inline constexpr const char* kDetectInWindow = "File > Import Data File...";
inline constexpr const char* kDetectInBatchTool = "--delimiter auto";

// The text the user is shown for an import that failed.
std::string ImportErrorText(const ImportError& e, const std::string& path,
                            const std::string& detectWith = kDetectInWindow);

}  // namespace corvane
