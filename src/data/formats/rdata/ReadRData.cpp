#include "data/formats/rdata/ReadRData.h"

#include <cstdio>
#include <optional>
#include <utility>

#include "data/formats/compressed/StreamUnpack.h"
#include "data/formats/rdata/RByteSource.h"
#include "data/formats/rdata/RDataFrame.h"
#include "data/formats/rdata/RObject.h"

namespace corvane {

namespace {

RDataKind KindOfBytes(std::string_view bytes) {
    using namespace std::string_view_literals;
    if (bytes.starts_with("RDX2\nX\n"sv) || bytes.starts_with("RDX3\nX\n"sv))
        return RDataKind::Workspace;
    if (bytes.size() >= 6 && bytes.starts_with("X\n\0\0\0"sv) && (bytes[5] == 2 || bytes[5] == 3))
        return RDataKind::SingleObject;
    return RDataKind::None;
}

// An object of the file as listed: its name, what it is, and a data frame's shape.
struct Listed {
    std::string name;
    std::string what;
    bool frame = false;
};

// The reading of a file's objects: the chosen data frame kept, the others listed.
struct Choosing {
    const SheetChoice& choice;
    std::vector<Listed> listed;
    std::vector<SheetInfo> frames;
    std::optional<RObject> chosen;
    std::int64_t number = 0;

    RKeep keep(const std::string& name) const {
        if (chosen) return RKeep::Shape;
        if (!choice.name.empty() && !name.empty() && name != choice.name) return RKeep::Shape;
        return RKeep::All;
    }
    std::optional<ImportError> take(RNamedObject&& o) {
        const bool frame = IsDataFrame(o.object);
        listed.push_back({o.name, DescribeRObject(o.object), frame});
        if (!frame) return std::nullopt;
        frames.push_back({o.name, DataFrameRows(o.object) + 1, o.object.length});
        const auto place = std::ssize(frames);
        const bool wanted =
            o.name.empty() ||  // an .rds's one object, whatever the choice
            (!choice.name.empty() ? o.name == choice.name
                                  : place == std::max<std::int64_t>(choice.number, 1));
        if (!chosen && wanted) {
            chosen = std::move(o.object);
            number = place;
        }
        return std::nullopt;
    }
};

Result<bool, ImportError> ReadObjects(const std::string& path, const FileHead& head, Choosing& c) {
    auto source = RByteSource::Open(path, head.bytes, head.size);
    if (!source) return source.error();
    RObjectSink sink{[&](const std::string& name) { return c.keep(name); },
                     [&](RNamedObject&& o) { return c.take(std::move(o)); }};
    return ReadRObjects(*source.value(), sink);
}

std::string Holdings(const std::vector<Listed>& listed) {
    std::string text;
    for (std::size_t i = 0; i < listed.size() && i < 5; ++i)
        text += (i ? ", " : "") + listed[i].name + " (" + listed[i].what + ")";
    if (listed.size() > 5) text += " and " + std::to_string(listed.size() - 5) + " more";
    return text;
}

// Why a workspace has no data frame to read for the choice.
ImportError NoChosenFrame(const Choosing& c) {
    if (c.frames.empty()) {
        if (c.listed.empty()) return ImportError::Unreadable("the R workspace holds no objects");
        return ImportError::Unreadable("the R workspace holds no data frame, only " +
                                       Holdings(c.listed) +
                                       "; save a data frame with save(name, file = ...)");
    }
    if (!c.choice.name.empty()) {
        for (const Listed& l : c.listed)
            if (l.name == c.choice.name)
                return ImportError::Unreadable("\"" + l.name + "\" in the R workspace is " +
                                               l.what + ", not a data frame");
        return ImportError::Unreadable("the R workspace has no data frame named \"" +
                                       c.choice.name + "\"");
    }
    return ImportError::Unreadable("the R workspace has no data frame " +
                                   std::to_string(c.choice.number) + ", only " +
                                   std::to_string(c.frames.size()));
}

}  // namespace

RDataKind SniffRData(std::string_view head) {
    const Packing packing = SniffPacking(head);
    if (packing == Packing::None) return KindOfBytes(head);
    if (packing == Packing::Bzip2) return RDataKind::None;
    std::string copy(head);
    FilePtr file(fmemopen(copy.data(), copy.size(), "rb"));
    if (!file) return RDataKind::None;
    auto unpacker = StreamUnpacker::Open(std::move(file), packing, std::ssize(copy));
    if (!unpacker) return RDataKind::None;
    char bytes[8];
    std::size_t got = 0;
    while (got < sizeof bytes) {
        auto n = unpacker.value()->read(bytes + got, sizeof bytes - got);
        if (!n || n.value() == 0) break;
        got += n.value();
    }
    return KindOfBytes(std::string_view(bytes, got));
}

Result<RDataRead, ImportError> ReadRData(const std::string& path, const FileHead& head,
                                         const SheetChoice& choice) {
    Choosing c{choice, {}, {}, {}, 0};
    auto read = ReadObjects(path, head, c);
    if (!read) return read.error();
    RDataRead out;
    out.workspace = read.value();
    if (!c.chosen) {
        if (out.workspace) return NoChosenFrame(c);
        return ImportError::Unreadable(
            "the R data file holds " + (c.listed.empty() ? "nothing" : c.listed[0].what) +
            ", not a data frame; save a data frame with saveRDS(data.frame(...), file = ...)");
    }
    auto data = DataFrameToDataSet(*c.chosen);
    if (!data) return data.error();
    out.data = std::move(data.value());
    out.name = c.frames[static_cast<std::size_t>(c.number - 1)].name;
    out.number = c.number;
    out.count = std::ssize(c.frames);
    return out;
}

Result<RDataRead, ImportError> ReadRData(const std::string& path, const SheetChoice& choice) {
    auto head = ReadFileHead(path);
    if (!head) return head.error();
    return ReadRData(path, head.value(), choice);
}

Result<std::vector<SheetInfo>, ImportError> ListRDataFrames(const std::string& path) {
    auto head = ReadFileHead(path);
    if (!head) return head.error();
    const SheetChoice none{"\x01", 0};  // a name no object has: every object keeps its shape
    Choosing c{none, {}, {}, {}, 0};
    auto read = ReadObjects(path, head.value(), c);
    if (!read) return read.error();
    if (!read.value()) return std::vector<SheetInfo>{};
    return std::move(c.frames);
}

std::string DescribeRDataRead(const RDataRead& read) {
    if (!read.workspace) return "R data file";
    return "R workspace, data frame \"" + read.name + "\" (" + std::to_string(read.number) +
           " of " + std::to_string(read.count) + ")";
}

}  // namespace corvane
