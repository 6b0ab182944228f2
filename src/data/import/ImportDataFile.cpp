#include "data/import/ImportDataFile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <new>
#include <stdexcept>

#include "data/formats/OpenDataFile.h"
#include "data/formats/ReadDelimitedText.h"
#include "data/formats/TextDialect.h"
#include "data/formats/stats/ReadStatisticsFile.h"
#include "data/formats/stats/StatFileKind.h"

namespace corvane {

namespace {

std::string LowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

// The first bytes of the file, as many as the sniffers look at; empty when it cannot be read
// (the reader chosen then meets the failure and names it).
std::string FirstBytes(const std::string& path) {
    auto file = OpenDataFile(path);
    if (!file) return {};
    std::string bytes(kStatSniffBytes, '\0');
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.value().get()));
    return bytes;
}

// The delimiter a single-column file is read with, from its name.
char DelimiterByName(const std::string& extension) {
    if (extension == ".csv") return ',';
    if (extension == ".tsv" || extension == ".tab") return '\t';
    return ' ';
}

std::string WorkbookName(WorkbookKind kind) {
    switch (kind) {
        case WorkbookKind::Ods:
            return "OpenDocument spreadsheet";
        case WorkbookKind::Xls:
            return "Excel 97-2003 workbook";
        default:
            return "Excel workbook";
    }
}

// "Excel workbook, sheet "trial" (1 of 2)", named after the reader that read it.
std::string DescribeWorkbook(const WorkbookRead& read) {
    std::string out = WorkbookName(read.kind);
    if (read.count == 0) return out;
    return out + ", sheet \"" + read.sheet + "\" (" + std::to_string(read.number) + " of " +
           std::to_string(read.count) + ")";
}

// The family of a file from its first bytes and its lower-case extension.
DataFileFamily FamilyOf(std::string_view first, const std::string& extension) {
    if (SniffWorkbook(first) != WorkbookKind::None) return DataFileFamily::Workbook;
    if (SniffStatisticsFile(first, extension) != StatFileKind::None)
        return DataFileFamily::StatisticsFile;
    for (const char* workbook : {".xlsx", ".xlsm", ".xls", ".ods"}) {
        if (extension == workbook) return DataFileFamily::Workbook;
    }
    return DataFileFamily::DelimitedText;
}

Result<DataSet, ImportError> Detected(const std::string& path, const ImportOptions& options,
                                      const SheetChoice& sheet) {
    const std::string first = FirstBytes(path);
    const std::string extension = LowerExtension(path);
    switch (FamilyOf(first, extension)) {
        case DataFileFamily::Workbook: {
            auto read = ReadWorkbookSheet(path, sheet);
            if (!read) return read.error();
            return read.value().data.describedAs(DescribeWorkbook(read.value()),
                                                 DataSource::Workbook);
        }
        case DataFileFamily::StatisticsFile: {
            const StatFileKind kind = SniffStatisticsFile(first, extension);
            auto read = ReadStatisticsFile(path, kind);
            if (!read) return read.error();
            return read.value().describedAs(DescribeStatisticsFile(kind, read.value()),
                                            DataSource::StatisticsFile);
        }
        case DataFileFamily::DelimitedText:
            break;
    }
    auto sample = SampleTextFile(path);
    if (!sample) return sample.error();
    if (sample.value().binary)
        return ImportError::Unreadable("it is neither a text file nor a data format Corvane reads");
    const TextDialect dialect = SniffTextDialect(sample.value(), DelimiterByName(extension));
    auto read = ReadDelimitedText(path, dialect, options);
    if (!read) return read.error();
    return read.value().describedAs(DescribeTextDialect(dialect));
}

}  // namespace

DataFileFamily DetectDataFile(const std::string& path) {
    return FamilyOf(FirstBytes(path), LowerExtension(path));
}

Result<DataSet, ImportError> ImportDataFile(const std::string& path, char delimiter,
                                            const ImportOptions& options,
                                            const SheetChoice& sheet) {
    try {
        if (delimiter == kDetectFormat) return Detected(path, options, sheet);
        return ReadDelimitedText(path, delimiter, options);
    } catch (const std::bad_alloc&) {
        return ImportError::Of(ImportError::Kind::OutOfMemory);
    } catch (const std::length_error&) {
        return ImportError::Of(ImportError::Kind::OutOfMemory);
    }
}

}  // namespace corvane
