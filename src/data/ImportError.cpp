#include "data/ImportError.h"

#include <cstring>

#include "common/Messages.h"

namespace corvane {

ImportError ImportError::Unreadable(int err) { return Unreadable(std::string(std::strerror(err))); }

std::string ImportErrorText(const ImportError& e, const std::string& path,
                            const std::string& detectWith) {
    switch (e.kind) {
        case ImportError::Kind::InvalidEntry:
            if (e.likelyDelimiter != 0) {
                return msg::InvalidEntry(e.row, e.column) + " " +
                       msg::LooksDelimited(e.likelyDelimiter);
            }
            return msg::InvalidEntry(e.row, e.column);
        case ImportError::Kind::NumberTooLarge:
            return msg::NumberTooLarge(e.row, e.column);
        case ImportError::Kind::TooManyFields:
            return msg::TooManyFields(e.row);
        case ImportError::Kind::TooManyLines:
            return msg::TooManyLines();
        case ImportError::Kind::TooManyLabels:
            return msg::TooManyLabels(e.column);
        case ImportError::Kind::Unreadable:
            return msg::FileNotReadable(path, e.reason);
        case ImportError::Kind::FileChanged:
            return msg::FileChangedWhileReading(path);
        case ImportError::Kind::OutOfMemory:
            return msg::NotEnoughMemory();
        case ImportError::Kind::MisreadDelimiter:
            return msg::LooksOtherwiseDelimited(e.reason, detectWith);
    }
    return msg::FileNotReadable(path, "unknown failure");
}

}  // namespace corvane
