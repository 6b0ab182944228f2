#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/Result.h"
#include "data/ImportError.h"
#include "data/formats/rdata/RByteSource.h"

namespace corvane {

// The kinds of R object the reader tells apart, numbered as R numbers them.
enum RType : int {
    kRNull = 0,
    kRSymbol = 1,
    kRPairList = 2,
    kRClosure = 3,
    kREnvironment = 4,
    kRPromise = 5,
    kRLanguage = 6,
    kRSpecial = 7,
    kRBuiltin = 8,
    kRChars = 9,
    kRLogical = 10,
    kRInteger = 13,
    kRReal = 14,
    kRComplex = 15,
    kRString = 16,
    kRDots = 17,
    kRList = 19,
    kRExpression = 20,
    kRByteCode = 21,
    kRExternalPointer = 22,
    kRWeakReference = 23,
    kRRaw = 24,
    kRS4 = 25,
};

// How much of an object the reader keeps: everything, or its kind, length and the attributes
// that describe it (class, dim, short ones), its elements' likewise one level down.
enum class RKeep { All, Shape, Kind };

// One R object as far as the reader kept it.
struct RObject {
    int type = kRNull;
    std::int64_t length = 0;
    std::vector<double> numbers;              // logical, integer, real (kept): NA and NaN as NaN
    std::vector<std::string> strings;         // character (kept)
    std::vector<char> missing;                // character (kept): 1 for NA
    std::vector<RObject> items;               // a list's elements
    std::vector<std::string> attributeNames;  // the attributes, by name
    std::vector<RObject> attributes;
    std::string symbol;  // a symbol's name

    const RObject* attribute(const std::string& name) const;
    // Whether the class attribute names `cls`.
    bool inherits(const std::string& cls) const;
};

// One object of an R data file: the object of an .rds (no name), or a workspace's named one.
struct RNamedObject {
    std::string name;
    RObject object;
};

// What the reader is told of and asked while reading a file's objects: how much of each to keep
// (asked with its name before it is read), and each object once read.
struct RObjectSink {
    std::function<RKeep(const std::string& name)> keep;
    std::function<std::optional<ImportError>(RNamedObject&& object)> take;
};

// Reads the serialized R objects of `source`, saveRDS's or save's format (version 2 or 3, XDR
// binary), handing each to `sink`; true for a workspace (save's format). Memory grows with the
// bytes read, never with a length the file claims; nesting deeper than kMaxRDepth is refused.
inline constexpr int kMaxRDepth = 500;
Result<bool, ImportError> ReadRObjects(RByteSource& source, const RObjectSink& sink);

}  // namespace corvane
