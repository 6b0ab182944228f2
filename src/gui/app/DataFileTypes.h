#pragma once

#include <QString>
#include <QStringList>
#include <array>

// The entries of the file-type list: the two the program always offered, every data file it
// reads, then one per family.
struct DataFileType {
    const char* caption;
    const char* patterns;  // separated by spaces
};

inline constexpr std::array<DataFileType, 9> kDataFileTypes{{
    {"Text", "*.txt"},
    {"Data", "*.dat"},
    {"All data files",
     "*.txt *.dat *.csv *.tsv *.xlsx *.xlsm *.xls *.ods *.sav *.zsav *.por *.dta *.sas7bdat *.xpt"},
    {"Delimited text", "*.txt *.dat *.csv *.tsv"},
    {"Excel workbooks", "*.xlsx *.xlsm *.xls"},
    {"OpenDocument spreadsheets", "*.ods"},
    {"SPSS data files", "*.sav *.zsav *.por"},
    {"Stata data files", "*.dta"},
    {"SAS data files", "*.sas7bdat *.xpt"},
}};
// The entry the file dialog starts on.
inline constexpr std::size_t kAllDataFiles = 2;

// "All data files (*.txt *.dat ...)", as the list and the file dialog show it.
inline QString DataFileTypeText(const DataFileType& type) {
    return QStringLiteral("%1 (%2)").arg(QLatin1String(type.caption), QLatin1String(type.patterns));
}

// The file list's pattern: "*.txt;*.dat;...".
inline QString DataFileTypePattern(const DataFileType& type) {
    return QString::fromLatin1(type.patterns).split(QLatin1Char(' ')).join(QLatin1Char(';'));
}

// Every entry for the file dialog, the one it starts on first.
inline QString DataFileDialogFilter() {
    QStringList entries{DataFileTypeText(kDataFileTypes[kAllDataFiles])};
    for (std::size_t i = 0; i < kDataFileTypes.size(); ++i) {
        if (i != kAllDataFiles) entries << DataFileTypeText(kDataFileTypes[i]);
    }
    return entries.join(QStringLiteral(";;"));
}
