#include <cmath>
#include <cstdio>

#include "data/OutOfMemory.h"
#include "data/formats/rdata/RParser.h"

namespace corvane {

namespace rparse {

// Compiled code: its instructions and constants, read to be passed over.
void Parser::byteCode() {
    Deeper deeper(*this);
    item(RKeep::Kind);  // the instructions
    const std::int32_t n = integer();
    if (n < 0) Damaged();
    for (std::int32_t i = 0; i < n; ++i) {
        const std::int32_t type = integer();
        switch (type) {
            case kRByteCode:
                byteCode();
                break;
            case kRLanguage:
            case kRPairList:
            case kBcRepDef:
            case kBcRepRef:
            case kAttrLangSxp:
            case kAttrListSxp:
                byteCodeLanguage(type);
                break;
            default:
                item(RKeep::Kind);
        }
    }
}

// A call among compiled code's constants, its cells read one after another.
void Parser::byteCodeLanguage(int type) {
    Deeper deeper(*this);
    for (;;) {
        switch (type) {
            case kBcRepRef:
                integer();
                return;
            case kBcRepDef:
            case kRLanguage:
            case kRPairList:
            case kAttrLangSxp:
            case kAttrListSxp:
                if (type == kBcRepDef) {
                    integer();
                    type = integer();
                }
                if (type == kAttrLangSxp || type == kAttrListSxp) item(RKeep::Kind);
                item(RKeep::Kind);            // the tag
                byteCodeLanguage(integer());  // the head
                type = integer();             // the tail
                break;
            default:
                item(RKeep::Kind);
                return;
        }
    }
}

// A vector R keeps in another form (1:n as its ends, a number vector seen as text): made the plain
// vector it stands for.
RObject Parser::altRep(RKeep keep) {
    RObject info = item(RKeep::All);
    const std::string cls = info.items.empty() ? std::string() : info.items[0].symbol;
    // A compact sequence's state is its three numbers, needed for its length whatever is kept.
    const bool compact = cls == "compact_intseq" || cls == "compact_realseq";
    RObject state = item(compact ? RKeep::All : keep == RKeep::Kind ? RKeep::Shape : keep);
    RObject o;
    if (compact) {
        if (state.type != kRReal || state.numbers.size() != 3) Damaged();
        const double n = state.numbers[0], first = state.numbers[1], step = state.numbers[2];
        if (!(n >= 0 && n <= 4503599627370496.0)) Damaged();
        o.type = cls == "compact_intseq" ? kRInteger : kRReal;
        o.length = static_cast<std::int64_t>(n);
        const bool whole = keep == RKeep::All || o.length <= 2;
        if (whole && (m_sequenceLeft -= o.length) < 0)
            Fail("it holds sequences of more values than Corvane reads (" +
                 std::to_string(kMaxSequence) + ")");
        if (whole)
            for (std::int64_t i = 0; i < o.length; ++i)
                o.numbers.push_back(first + static_cast<double>(i) * step);
    } else if (cls.starts_with("wrap_")) {
        if (state.type != kRList || state.items.empty()) Damaged();
        o = std::move(state.items[0]);
        o.attributes.clear();
        o.attributeNames.clear();
    } else if (cls == "deferred_string") {
        if (state.items.empty()) Damaged();
        const RObject& from = state.items[0];
        if (from.type != kRInteger && from.type != kRReal) Damaged();
        o.type = kRString;
        o.length = from.length;
        for (double d : from.numbers) {
            char text[32];
            std::snprintf(text, sizeof text, from.type == kRInteger ? "%.0f" : "%.15g", d);
            o.strings.emplace_back(std::isnan(d) ? "" : text);
            o.missing.push_back(std::isnan(d) ? 1 : 0);
        }
    } else {
        o.type = -1;
        o.symbol = cls;
    }
    const Flags flags(integer());
    if (flags.type == kRPairList || flags.type == kNilValueSxp)
        attributesFrom(flags, o, keep);
    else
        itemOf(flags, RKeep::Kind);
    return o;
}

// "X\n" then the version: 2 or 3, the writer's and reader's R versions, and for 3 the strings'
// encoding. A workspace starts with "RDX2\n" or "RDX3\n" before it.
bool Header(Parser& p) {
    char head[5];
    p.bytes(head, 2);
    bool workspace = false;
    if (head[0] == 'R' && head[1] == 'D') {
        p.bytes(head + 2, 3);
        if (head[4] != '\n') Fail("it is not an R data file");
        if (head[2] == 'A' || head[2] == 'B')
            Fail(
                "the R workspace was saved in R's ASCII or native form; save it again with "
                "save() as R does by default");
        if (head[2] != 'X') Fail("it is not an R data file");
        workspace = true;
        p.bytes(head, 2);
    }
    if ((head[0] == 'A' || head[0] == 'B') && head[1] == '\n')
        Fail(
            "the R data file was saved in R's ASCII or native form; save it again with "
            "saveRDS() as R does by default");
    if (head[0] != 'X' || head[1] != '\n') Fail("it is not an R data file");
    const std::int32_t version = p.integer();
    if (version != 2 && version != 3)
        Fail("it is an R data file of serialization version " + std::to_string(version) +
             ", which Corvane does not read (it reads versions 2 and 3)");
    p.integer();
    p.integer();
    if (version == 3) {
        const std::int32_t n = p.integer();
        if (n < 0 || n > 64) Damaged();
        p.bytes(nullptr, static_cast<std::size_t>(n));
    }
    return workspace;
}

Result<bool, ImportError> Read(RByteSource& source, const RObjectSink& sink) {
    Parser p(source);
    const bool workspace = Header(p);
    auto take = [&](std::string name, RObject o) {
        if (auto e = sink.take(RNamedObject{std::move(name), std::move(o)})) throw Failure{*e};
    };
    if (!workspace) {
        take({}, p.item(sink.keep({})));
        return false;
    }
    Flags flags(p.integer());
    for (; flags.type == kRPairList; flags = Flags(p.integer())) {
        if (flags.attributes) p.item(RKeep::Kind);
        std::string name;
        if (flags.tag) name = p.item(RKeep::All).symbol;
        take(name, p.item(sink.keep(name)));
    }
    if (flags.type != kNilValueSxp) Damaged();
    return true;
}

}  // namespace rparse

Result<bool, ImportError> ReadRObjects(RByteSource& source, const RObjectSink& sink) {
    return CatchingOutOfMemory([&]() -> Result<bool, ImportError> {
        try {
            return rparse::Read(source, sink);
        } catch (rparse::Failure& f) {
            return std::move(f.error);
        }
    });
}

}  // namespace corvane
