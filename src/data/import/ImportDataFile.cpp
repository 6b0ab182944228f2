#include "data/import/ImportDataFile.h"

#include <utility>

#include "data/OpenDataFile.h"
#include "data/OutOfMemory.h"
#include "data/formats/text/ReadDelimitedText.h"

namespace corvane {

namespace {

Result<DataSet, ImportError> Detected(const std::string& path, const ImportOptions& options,
                                      const SheetChoice& sheet, const FormatRegistry& formats) {
    auto head = ReadFileHead(path);
    if (!head) return head.error();
    const FormatRow& row = formats.detect(head.value().bytes, FormatRegistry::LowerExtension(path));
    auto read = row.read(FormatInput{path, head.value(), options, sheet, &formats});
    if (!read) return read.error();
    return read.value().data.describedAs(std::move(read.value().readAs),
                                         read.value().source.value_or(row.source));
}

}  // namespace

const FormatRow& DetectDataFile(const std::string& path, const FormatRegistry& formats) {
    auto head = ReadFileHead(path);
    return formats.detect(head ? head.value().bytes : std::string(),
                          FormatRegistry::LowerExtension(path));
}

Result<DataSet, ImportError> ImportDataFile(const std::string& path, char delimiter,
                                            const ImportOptions& options, const SheetChoice& sheet,
                                            const FormatRegistry& formats) {
    return CatchingOutOfMemory([&]() -> Result<DataSet, ImportError> {
        if (delimiter == kDetectFormat) return Detected(path, options, sheet, formats);
        return ReadDelimitedText(path, delimiter, options);
    });
}

}  // namespace corvane
