#pragma once

namespace corvane {

// The records the .xls reader's helper program sends its caller through its standard output,
// after ChildSender's own (kError, kEnd).
enum XlsRecord : char {
    kXlsNumber = 'N',  // row, column, value
    kXlsText = 'T',    // row, column, text
    kXlsDate = 'D',    // row, column, ISO text
    kXlsSheet = 'S',   // name, rows, columns: one sheet of the list
    kXlsRead = 'R',    // name, number, count: the sheet read
};

}  // namespace corvane
