#include "data/formats/ImportDataFile.h"

#include <new>
#include <stdexcept>

#include "data/formats/ReadDelimitedText.h"

namespace corvane {

Result<DataSet, ImportError> ImportDataFile(const std::string& path, char delimiter,
                                            const ImportOptions& options) {
    try {
        return ReadDelimitedText(path, delimiter, options);
    } catch (const std::bad_alloc&) {
        return ImportError::Of(ImportError::Kind::OutOfMemory);
    } catch (const std::length_error&) {
        return ImportError::Of(ImportError::Kind::OutOfMemory);
    }
}

}  // namespace corvane
