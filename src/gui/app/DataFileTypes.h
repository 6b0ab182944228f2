#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>
#include <vector>

#include "data/formats/FileTypeList.h"

// The entries of the file-type list as the window shows them, from the format registry: the two
// the program always offered, every data file it reads, then one per family.
inline std::vector<corvane::FileType> DataFileTypes() { return corvane::FileTypeList(); }
// The entry the file dialog starts on.
inline constexpr std::size_t kAllDataFiles = corvane::kAllDataFilesEntry;

// "All data files (*.txt *.dat ...)", as the list and the file dialog show it.
inline QString DataFileTypeText(const corvane::FileType& type) {
    return QString::fromStdString(type.text());
}

// The file list's pattern: "*.txt;*.dat;...".
inline QString DataFileTypePattern(const corvane::FileType& type) {
    QStringList patterns;
    for (const std::string& p : type.patterns) patterns << QString::fromStdString(p);
    return patterns.join(QLatin1Char(';'));
}

// Every entry for the file dialog, the one it starts on first.
inline QString DataFileDialogFilter() {
    return QString::fromStdString(corvane::FileDialogFilter());
}
