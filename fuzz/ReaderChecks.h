#pragma once

#include "data/ImportError.h"

// The failures a reader of a whole file may end in: any but a file changed while it was read
// and a refused delimiter, which only the text reader meets.
inline bool IsReaderFailure(corvane::ImportError::Kind k) {
    using Kind = corvane::ImportError::Kind;
    return k == Kind::Unreadable || k == Kind::NumberTooLarge || k == Kind::TooManyLines ||
           k == Kind::TooManyFields || k == Kind::OutOfMemory || k == Kind::TooManyLabels ||
           k == Kind::InvalidEntry;
}
