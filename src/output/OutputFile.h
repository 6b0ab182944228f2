#pragma once

#include <string>

#include "common/PathJoin.h"
#include "common/Result.h"
#include "common/Utf8Text.h"

namespace corvane {

struct FileError {
    std::string reason;        // what the system said, for the message
    bool oldFileLost = false;  // a save in place failed after the file was truncated
};

// The file a name typed into an output dialog stands for: an absolute path as it stands; one
// starting with "~" in the home folder (`home` for "~" and "~/...", the named user's for
// "~user/..."); any other name inside `directory`. Without a `home`, or for a user the system
// does not know, "~" is an ordinary first character.
std::string TypedPath(const std::string& directory, const std::string& name,
                      const std::string& home = {});

// The file a save writes: the typed path, with ".txt" added unless the name ends in ".txt"
// (case-sensitive).
std::string SaveTargetPath(const std::string& directory, const std::string& name,
                           const std::string& home = {});

// Writes text followed by one CR LF, unless it already ends in CR LF, so that a file read back
// and saved again keeps its bytes; UTF-8 without a byte-order mark. The bytes go to a
// temporary file beside the target that is renamed over it once complete, so a failed save
// leaves any file already there intact; the new file takes the old one's mode, and its owner
// and group where the user may set them. A file with other hard links, or one in a folder
// where no temporary file can be made, is truncated and written in place instead, keeping
// its inode. Pipes, devices and files the user may not write are refused.
Result<bool, FileError> SaveOutputFile(const std::string& path, const std::string& text);

// The same safe save for any file the program writes: `text` followed by `ending`.
Result<bool, FileError> SaveFileSafely(const std::string& path, const std::string& text,
                                       const std::string& ending = {});

// Reads a whole output file and returns the pane's new text: every line followed by CR LF
// (a line ends at CR LF, a lone CR or a lone LF). Text that is not valid UTF-8 is read as
// Windows-1252. Nothing is returned until the whole file was read.
Result<std::string, FileError> ReadOutputFile(const std::string& path);

}  // namespace corvane
