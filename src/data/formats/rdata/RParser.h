#pragma once

// The reader of R's serialization, shared by RObject.cpp (vectors, lists, attributes) and
// RObjectForms.cpp (compiled code, ALTREP vectors, the file's header).
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "common/Utf8Text.h"
#include "data/DataMatrix.h"
#include "data/formats/rdata/RObject.h"

namespace corvane {

namespace rparse {

// The serialization's own codes beside the object types.
enum : int {
    kBcRepRef = 243,
    kBcRepDef = 244,
    kAttrListSxp = 239,
    kAttrLangSxp = 240,
    kAltRepSxp = 238,
    kBaseEnvSxp = 241,
    kEmptyEnvSxp = 242,
    kGenericRefSxp = 245,
    kClassRefSxp = 246,
    kPersistSxp = 247,
    kPackageSxp = 248,
    kNamespaceSxp = 249,
    kBaseNamespaceSxp = 250,
    kMissingArgSxp = 251,
    kUnboundValueSxp = 252,
    kGlobalEnvSxp = 253,
    kNilValueSxp = 254,
    kRefSxp = 255,
};

inline constexpr int kLatin1Mask = 1 << 2;
// Elements a list keeps: a data frame of more columns is refused anyway.
inline constexpr std::int64_t kMaxKeptItems = DataMatrix::kMaxVariables + 1;
// A compact sequence (1:n) is written as three numbers: the values a file's sequences are made
// whole to are at most this many, as the bytes read bound everything else.
inline constexpr std::int64_t kMaxSequence = std::int64_t{1} << 25;

struct Failure {
    ImportError error;
};

[[noreturn]] inline void Fail(std::string reason) {
    throw Failure{ImportError::Unreadable(std::move(reason))};
}
[[noreturn]] inline void Damaged() {
    Fail("the R data file is damaged: its objects do not fit together");
}

struct Flags {
    std::int32_t raw;
    int type;
    int levels;
    bool attributes;
    bool tag;
    explicit Flags(std::int32_t f)
        : raw(f), type(f & 0xFF), levels(f >> 12), attributes(f & (1 << 9)), tag(f & (1 << 10)) {}
};

inline bool IsPairList(int type) {
    return type == kRPairList || type == kRLanguage || type == kRClosure || type == kRPromise ||
           type == kRDots;
}

inline RKeep Inner(RKeep keep) { return keep == RKeep::All ? RKeep::All : RKeep::Kind; }

inline std::string Latin1ToUtf8(const std::string& s) {
    std::string out;
    for (char c : s) AppendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

class Parser {
  public:
    explicit Parser(RByteSource& source) : m_source(source) {}

    std::int32_t integer() {
        unsigned char b[4];
        bytes(reinterpret_cast<char*>(b), 4);
        return static_cast<std::int32_t>((std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) |
                                         (std::uint32_t{b[2]} << 8) | std::uint32_t{b[3]});
    }
    void bytes(char* out, std::size_t n) {
        if (auto e = m_source.read(out, n)) throw Failure{std::move(*e)};
    }
    RObject item(RKeep keep) { return itemOf(Flags(integer()), keep); }
    RObject itemOf(Flags flags, RKeep keep);
    void vectorOf(RObject& o, Flags flags, RKeep keep);
    void attributesInto(RObject& o, RKeep keep) { attributesFrom(Flags(integer()), o, keep); }
    void attributesFrom(Flags first, RObject& o, RKeep keep);
    std::string chars(Flags flags, bool keep, bool& missing);

  private:
    struct Deeper {
        explicit Deeper(Parser& p) : parser(p) {
            if (++parser.m_depth > kMaxRDepth)
                Fail("its objects are nested deeper than " + std::to_string(kMaxRDepth) +
                     " levels, as no data frame is");
        }
        ~Deeper() { --parser.m_depth; }
        Parser& parser;
    };

    std::int64_t length();
    RObject reference(Flags flags);
    void numbers(RObject& o, int type, RKeep keep);
    void strings(RObject& o, RKeep keep);
    void list(RObject& o, RKeep keep);
    void pairList(RObject& o, Flags flags, RKeep keep);
    void byteCode();
    void byteCodeLanguage(int type);
    RObject altRep(RKeep keep);
    std::string stringVectorOfNames();

    RByteSource& m_source;
    std::vector<RObject> m_references;  // symbols by name, environments and the like by kind
    int m_depth = 0;
    std::int64_t m_sequenceLeft = kMaxSequence;
};

}  // namespace rparse

}  // namespace corvane
