#include "analysis/render/DescriptivesReport.h"

#include "common/NumberText.h"
#include "data/DataMatrix.h"

namespace corvane {

namespace {

constexpr std::size_t kColumn = 10;
constexpr std::size_t kCellText = 9;

std::string Left(const std::string& s) {
    const std::string t = s.substr(0, kCellText);
    return t + std::string(kColumn - t.size(), ' ');
}

// A name cut to its first 9 characters (not bytes, so a UTF-8 character is never split) and
// padded to the column.
std::string LeftName(const std::string& s) {
    std::size_t end = 0, characters = 0;
    while (end < s.size() && characters < kCellText) {
        ++end;
        while (end < s.size() && (static_cast<unsigned char>(s[end]) & 0xc0u) == 0x80u) ++end;
        ++characters;
    }
    return s.substr(0, end) + std::string(kColumn - characters, ' ');
}

std::string Right(const std::string& s) {
    const std::string t = s.substr(0, kCellText);
    return std::string(kColumn - t.size(), ' ') + t;
}

std::string Cell(const std::optional<double>& x) {
    return x ? FitNumberText(FormatDouble(*x), *x, kCellText) : ".";
}

std::string Cell(const std::optional<float>& x) {
    return x ? FitNumberText(FormatSingle(*x), *x, kCellText) : ".";
}

}  // namespace

std::string BuildDescriptivesReport(const std::vector<DescriptiveRow>& rows,
                                    const std::vector<std::string>& names) {
    const std::string rule = std::string(60, '-') + "\r\n";
    std::string out = "DESCRIPTIVES\r\n" + rule;
    out += Left("Name") + Right("Mean") + Right("SD") + Right("Min") + Right("Max") + Right("N") +
           "\r\n";
    out += rule;
    for (const DescriptiveRow& r : rows) {
        const std::string& name = VariableName(names, r.variable);
        out += name.empty() ? Left("Var " + FormatInt(r.variable)) : LeftName(name);
        out += r.text ? std::string(4 * kColumn, ' ')
                      : Right(Cell(r.mean)) + Right(Cell(r.sd)) + Right(Cell(r.min)) +
                            Right(Cell(r.max));
        out += Right(FitNumberText(FormatInt(r.n), r.n, kCellText)) + "\r\n";
    }
    out += std::string(60, '-') + "\r\n\r\n\r\n\r\n";
    return out;
}

}  // namespace corvane
