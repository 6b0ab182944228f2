#include "data/formats/rdata/RObject.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "data/DataMatrix.h"
#include "data/OutOfMemory.h"
#include "data/formats/rdata/RParser.h"

namespace corvane {

const RObject* RObject::attribute(const std::string& name) const {
    for (std::size_t i = 0; i < attributeNames.size(); ++i)
        if (attributeNames[i] == name) return &attributes[i];
    return nullptr;
}

bool RObject::inherits(const std::string& cls) const {
    const RObject* c = attribute("class");
    return c && std::find(c->strings.begin(), c->strings.end(), cls) != c->strings.end();
}

namespace rparse {

std::int64_t Parser::length() {
    const std::int32_t n = integer();
    if (n >= 0) return n;
    if (n != -1) Damaged();
    const auto high = static_cast<std::uint32_t>(integer());
    const auto low = static_cast<std::uint32_t>(integer());
    const std::uint64_t total = (std::uint64_t{high} << 32) | low;
    if (total > (std::uint64_t{1} << 52)) Damaged();
    return static_cast<std::int64_t>(total);
}

std::string Parser::chars(Flags flags, bool keep, bool& missing) {
    if (flags.type != kRChars) Damaged();
    const std::int32_t n = integer();
    missing = n == -1;
    if (n < -1) Damaged();
    std::string s;
    char piece[4096];
    for (std::int64_t left = std::max(n, 0); left > 0;) {
        const auto step = static_cast<std::size_t>(std::min<std::int64_t>(left, sizeof piece));
        bytes(keep ? piece : nullptr, step);
        if (keep) s.append(piece, step);
        left -= static_cast<std::int64_t>(step);
    }
    if (keep && (flags.levels & kLatin1Mask)) s = Latin1ToUtf8(s);
    return s;
}

// Logical, integer and real vectors: kept in pieces as they arrive, R's NA as NaN.
void Parser::numbers(RObject& o, int type, RKeep keep) {
    o.length = length();
    const bool store = keep == RKeep::All || o.length <= 2;
    const std::size_t size = type == kRReal ? 8 : type == kRComplex ? 16 : type == kRRaw ? 1 : 4;
    unsigned char piece[8192];
    for (std::int64_t left = o.length; left > 0;) {
        const std::int64_t count = std::min<std::int64_t>(left, sizeof piece / size);
        const auto n = static_cast<std::size_t>(count) * size;
        bytes(store ? reinterpret_cast<char*>(piece) : nullptr, n);
        left -= count;
        if (!store || size == 16 || size == 1) continue;
        for (std::size_t at = 0; at < n; at += size) {
            std::uint64_t bits = 0;
            for (std::size_t b = 0; b < size; ++b) bits = (bits << 8) | piece[at + b];
            if (size == 8) {
                double d;
                std::memcpy(&d, &bits, sizeof d);
                o.numbers.push_back(d);
            } else {
                const auto i = static_cast<std::int32_t>(static_cast<std::uint32_t>(bits));
                o.numbers.push_back(i == std::numeric_limits<std::int32_t>::min()
                                        ? std::numeric_limits<double>::quiet_NaN()
                                        : static_cast<double>(i));
            }
        }
    }
}

void Parser::strings(RObject& o, RKeep keep) {
    o.length = length();
    const bool store = keep == RKeep::All || o.length <= 2;
    for (std::int64_t i = 0; i < o.length; ++i) {
        bool missing = false;
        std::string s = chars(Flags(integer()), store, missing);
        if (!store) continue;
        o.strings.push_back(std::move(s));
        o.missing.push_back(missing ? 1 : 0);
    }
}

void Parser::list(RObject& o, RKeep keep) {
    o.length = length();
    for (std::int64_t i = 0; i < o.length; ++i) {
        const bool store = keep != RKeep::Kind && i < kMaxKeptItems;
        RObject element = item(store ? Inner(keep) : RKeep::Kind);
        if (store) o.items.push_back(std::move(element));
    }
}

// A pairlist, call, function, promise or dots: its cells read one after another, not nested.
void Parser::pairList(RObject& o, Flags flags, RKeep keep) {
    for (bool first = true;; first = false) {
        if (flags.attributes) {
            RObject attributes;
            attributesInto(first ? o : attributes, keep);
        }
        if (flags.tag) item(RKeep::Kind);
        RObject car = item(Inner(keep));
        if (keep != RKeep::Kind && o.length < kMaxKeptItems) o.items.push_back(std::move(car));
        ++o.length;
        flags = Flags(integer());
        if (!IsPairList(flags.type)) break;
    }
    itemOf(flags, RKeep::Kind);  // the last cell's tail, nil but for a dotted pair
}

// An object's attributes: a pairlist whose tags name them. The class and dim are kept whole.
void Parser::attributesFrom(Flags flags, RObject& o, RKeep keep) {
    Deeper deeper(*this);
    for (; flags.type != kNilValueSxp; flags = Flags(integer())) {
        if (flags.type != kRPairList) Damaged();
        if (flags.attributes) item(RKeep::Kind);
        std::string name;
        if (flags.tag) name = item(RKeep::All).symbol;
        const bool whole = keep == RKeep::All || name == "class" || name == "dim";
        o.attributes.push_back(item(whole ? RKeep::All : RKeep::Kind));
        o.attributeNames.push_back(std::move(name));
    }
}

// A reference to a symbol or an environment read before: by its place, from 1.
RObject Parser::reference(Flags flags) {
    std::int64_t index = static_cast<std::uint32_t>(flags.raw) >> 8;
    if (index == 0) index = integer();
    if (index < 1 || index > std::ssize(m_references)) Damaged();
    return m_references[static_cast<std::size_t>(index - 1)];
}

// The names a persistent, package or namespace reference is written with.
std::string Parser::stringVectorOfNames() {
    if (integer() != 0) Damaged();
    const std::int32_t n = integer();
    if (n < 0) Damaged();
    std::string names;
    for (std::int32_t i = 0; i < n; ++i) {
        bool missing = false;
        names += chars(Flags(integer()), true, missing) + " ";
    }
    return names;
}
RObject Parser::itemOf(Flags flags, RKeep keep) {
    Deeper deeper(*this);
    RObject o;
    o.type = flags.type;
    switch (flags.type) {
        case kNilValueSxp:
            o.type = kRNull;
            return o;
        case kEmptyEnvSxp:
        case kBaseEnvSxp:
        case kGlobalEnvSxp:
        case kBaseNamespaceSxp:
            o.type = kREnvironment;
            return o;
        case kUnboundValueSxp:
        case kMissingArgSxp:
            o.type = kRSymbol;
            return o;
        case kRefSxp:
            return reference(flags);
        case kPersistSxp:
        case kPackageSxp:
        case kNamespaceSxp:
            stringVectorOfNames();
            o.type = kREnvironment;
            m_references.push_back(o);
            return o;
        case kRSymbol: {
            bool missing = false;
            o.symbol = chars(Flags(integer()), true, missing);
            m_references.push_back(o);
            return o;
        }
        case kREnvironment: {
            integer();  // locked
            m_references.push_back(o);
            RObject attributes;
            for (int part = 0; part < 3; ++part) item(RKeep::Kind);  // enclosure, frame, table
            attributesInto(attributes, RKeep::Kind);
            return o;
        }
        case kAltRepSxp:
            return altRep(keep);
        case kClassRefSxp:
        case kGenericRefSxp:
            Damaged();
        default:
            break;
    }
    if (IsPairList(flags.type)) {
        pairList(o, flags, keep);
        return o;
    }
    vectorOf(o, flags, keep);
    return o;
}

// The objects written as their contents and then their attributes: vectors and the like.
void Parser::vectorOf(RObject& o, Flags flags, RKeep keep) {
    switch (flags.type) {
        case kRExternalPointer:
            m_references.push_back(o);
            item(RKeep::Kind);
            item(RKeep::Kind);
            break;
        case kRWeakReference:
            m_references.push_back(o);
            break;
        case kRSpecial:
        case kRBuiltin: {
            const std::int32_t n = integer();
            if (n < 0) Damaged();
            for (std::int32_t left = n; left > 0; left -= std::min(left, 4096))
                bytes(nullptr, std::min(left, 4096));
            break;
        }
        case kRChars: {
            bool missing = false;
            o.strings.push_back(chars(flags, keep == RKeep::All, missing));
            return;
        }
        case kRLogical:
        case kRInteger:
        case kRReal:
        case kRComplex:
        case kRRaw:
            numbers(o, flags.type, keep);
            break;
        case kRString:
            strings(o, keep);
            break;
        case kRList:
        case kRExpression:
            list(o, keep);
            break;
        case kRByteCode:
            if (integer() < 0) Damaged();  // the count of repeated calls
            byteCode();
            break;
        case kRS4:
            break;
        default:
            Fail("it holds an R object of a kind Corvane does not know (" +
                 std::to_string(flags.type) + "); the file may be damaged");
    }
    if (flags.attributes) attributesInto(o, keep);
}

}  // namespace rparse

}  // namespace corvane
