#pragma once

// The descriptives table of three variables, one each with three, one and no present values, as
// the report prints it: the reference every layer checks its table against.
namespace corvane::test {

// The cases as a space-delimited file.
inline constexpr const char* kThreeVariableFile = "1 2.5 .\n2 . .\n. . .\n3 . .\n";

inline constexpr const char* kThreeVariableReport =
    "DESCRIPTIVES\r\n"
    "------------------------------------------------------------\r\n"
    "Name            Mean        SD       Min       Max         N\r\n"
    "------------------------------------------------------------\r\n"
    "Var 1              2         1         1         3         3\r\n"
    "Var 2            2.5         .       2.5       2.5         1\r\n"
    "Var 3              .         .         .         .         0\r\n"
    "------------------------------------------------------------\r\n"
    "\r\n\r\n\r\n";

}  // namespace corvane::test
