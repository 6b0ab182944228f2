// Writes the manual page corvane-cli(1) from the commands' declarations; the build runs it, so
// the page says what the tool takes.
//
//   corvane-cli-manpage OUTPUT VERSION DATE
#include <fstream>
#include <iostream>

#include "cli/Commands.h"
#include "cli/ManPage.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: corvane-cli-manpage OUTPUT VERSION DATE\n";
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << corvane::cli::ManPage(corvane::cli::Commands(), argv[2], argv[3]);
    out.close();
    if (!out) {
        std::cerr << "corvane-cli-manpage: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
