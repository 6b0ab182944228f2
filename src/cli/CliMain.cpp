#include "cli/CliMain.h"

#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cmath>
#include <exception>
#include <filesystem>
#include <iostream>
#include <map>
#include <new>
#include <set>
#include <sstream>

#include "analysis/Descriptives.h"
#include "analysis/EffectSizeAnalysis.h"
#include "common/Messages.h"
#include "common/Single.h"
#include "common/UniformGenerator.h"
#include "data/FieldClassifier.h"
#include "data/ImportDataFile.h"
#include "output/OutputFile.h"

namespace corvane::cli {

namespace {

constexpr std::int32_t kMaxTrials = 1000000;
constexpr std::uint32_t kMaxThreads = 1024;

// A usage error: the reason, printed before the usage text.
struct UsageError {
    std::string reason;
};

// The user interrupted the command.
struct Interrupted {};

// A user error: the program's own message, printed alone.
struct UserError {
    std::string message;
};

struct CommandOptions {
    std::set<std::string> valueOptions;
    std::set<std::string> flags;
};

const std::map<std::string, CommandOptions>& Commands() {
    static const std::map<std::string, CommandOptions> commands = {
        {"import", {{"delimiter"}, {"crlf"}}},
        {"effect-size",
         {{"dv", "gv", "group1", "group2", "delimiter", "trials", "level", "variance-of", "seed",
           "format", "threads"},
          {"crlf"}}},
        {"descriptives", {{"vars", "delimiter", "format"}, {"crlf"}}},
    };
    return commands;
}

struct ParsedArgs {
    std::string command;
    std::string file;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
    bool help = false;

    const std::string* value(const std::string& name) const {
        const auto it = values.find(name);
        return it == values.end() ? nullptr : &it->second;
    }
    const std::string& required(const std::string& name) const {
        const std::string* v = value(name);
        if (v == nullptr) throw UsageError{"missing --" + name};
        return *v;
    }
};

bool IsHelp(const std::string& arg) { return arg == "--help" || arg == "-h"; }

ParsedArgs ParseArgs(const std::vector<std::string>& args) {
    ParsedArgs parsed;
    if (args.empty()) throw UsageError{"no command given"};
    if (IsHelp(args[0]) || args[0] == "help") {
        parsed.help = true;
        return parsed;
    }
    const auto command = Commands().find(args[0]);
    if (command == Commands().end()) throw UsageError{"unknown command '" + args[0] + "'"};
    parsed.command = args[0];

    std::vector<std::string> positionals;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            positionals.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (IsHelp(arg)) {
            parsed.help = true;
            return parsed;
        }
        if (arg.compare(0, 2, "--") != 0) throw UsageError{"unknown option '" + arg + "'"};
        const std::size_t eq = arg.find('=');
        const std::string name =
            arg.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
        if (command->second.flags.count(name) != 0) {
            if (eq != std::string::npos) throw UsageError{"--" + name + " takes no value"};
            if (!parsed.flags.insert(name).second) throw UsageError{"--" + name + " given twice"};
            continue;
        }
        if (command->second.valueOptions.count(name) == 0) {
            throw UsageError{"unknown option '--" + name + "' for " + parsed.command};
        }
        std::string value;
        if (eq != std::string::npos) {
            value = arg.substr(eq + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];  // taken as it is, so a code such as -1 is a value
        } else {
            throw UsageError{"--" + name + " needs a value"};
        }
        if (!parsed.values.emplace(name, value).second) {
            throw UsageError{"--" + name + " given twice"};
        }
    }
    if (positionals.empty()) throw UsageError{"no data file given"};
    if (positionals.size() > 1) throw UsageError{"more than one data file given"};
    if (positionals[0].empty()) throw UsageError{"the data file name is empty"};
    parsed.file = positionals[0];
    return parsed;
}

template <class T>
std::optional<T> ParseUnsigned(const std::string& text) {
    T value{};
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

std::int32_t ParseVariableOption(const ParsedArgs& a, const std::string& name) {
    const auto v = ParseUnsigned<std::uint32_t>(a.required(name));
    if (!v || *v < 1 || *v > static_cast<std::uint32_t>(DataMatrix::kMaxVariables)) {
        throw UsageError{"--" + name + " takes a variable number from 1 to 1000"};
    }
    return static_cast<std::int32_t>(*v);
}

char ParseDelimiter(const ParsedArgs& a) {
    const std::string* v = a.value("delimiter");
    if (v == nullptr || *v == "space") return ' ';
    if (*v == "comma") return ',';
    if (*v == "tab") return '\t';
    throw UsageError{"--delimiter takes space, comma or tab"};
}

bool ParseJsonFormat(const ParsedArgs& a) {
    const std::string* v = a.value("format");
    if (v == nullptr || *v == "text") return false;
    if (*v == "json") return true;
    throw UsageError{"--format takes text or json"};
}

// The file's name as the desktop program shows it: a full path.
std::string DisplayPath(const std::string& file) {
    try {
        return std::filesystem::absolute(file).lexically_normal().string();
    } catch (const std::exception&) {
        return file;
    }
}

DataSet Import(const std::string& file, const std::string& shownPath, char delimiter) {
    auto imported = ImportDataFile(file, delimiter);
    if (!imported) throw UserError{ImportErrorText(imported.error(), shownPath)};
    return std::move(imported).value();
}

// Text for standard output: LF line ends unless CR LF were asked for.
std::string WithLineEnds(const std::string& text, bool crlf) {
    std::string out;
    out.reserve(text.size() + (crlf ? text.size() / 16 : 0));
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (c == '\n' && crlf) out += '\r';
        out += c;
    }
    return out;
}

// ---- JSON ----------------------------------------------------------------------------------

std::string JsonString(const std::string& raw) {
    const std::string text = IsValidUtf8(raw) ? raw : Windows1252ToUtf8(raw);
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    static const char* hex = "0123456789abcdef";
                    out += "\\u00";
                    out += hex[(c >> 4) & 0xF];
                    out += hex[c & 0xF];
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

// The shortest decimal text that reads back as exactly the same value.
template <class T>
std::string JsonNumber(T x) {
    if (!std::isfinite(x)) return "null";
    char buffer[64];
    const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, x);
    if (ec != std::errc()) return "null";
    return std::string(buffer, ptr);
}

std::string JsonEffect(float x) { return IsMissing(x) ? "null" : JsonNumber(x); }

class JsonObject {
  public:
    explicit JsonObject(int indent) : m_indent(indent) {}
    JsonObject& add(const std::string& key, const std::string& jsonValue) {
        m_fields.emplace_back(key, jsonValue);
        return *this;
    }
    std::string str() const {
        if (m_fields.empty()) return "{}";
        const std::string inner(static_cast<std::size_t>(m_indent + 2), ' ');
        std::string out = "{\n";
        for (std::size_t i = 0; i < m_fields.size(); ++i) {
            out += inner + JsonString(m_fields[i].first) + ": " + m_fields[i].second;
            out += i + 1 < m_fields.size() ? ",\n" : "\n";
        }
        return out + std::string(static_cast<std::size_t>(m_indent), ' ') + "}";
    }

  private:
    int m_indent;
    std::vector<std::pair<std::string, std::string>> m_fields;
};

std::string JsonGroup(const GroupStats& g) {
    return JsonObject(2)
        .add("n", std::to_string(g.n))
        .add("mean", JsonNumber(g.mean))
        .add("trimmed_mean", JsonNumber(g.trimmedMean))
        .add("variance", JsonNumber(g.variance))
        .add("winsorized_variance", JsonNumber(g.winsorizedVariance))
        .str();
}

std::string JsonInterval(const Interval& interval, std::int32_t kept) {
    if (kept == 0) return "null";  // no trial gave a value: there is no interval
    return JsonObject(2)
        .add("lower", JsonNumber(interval.lower))
        .add("upper", JsonNumber(interval.upper))
        .str();
}

// ---- progress ------------------------------------------------------------------------------

class ProgressBar {
  public:
    ProgressBar(std::ostream& err, bool enabled, double delaySeconds, std::int32_t total)
        : m_err(err),
          m_enabled(enabled),
          m_delay(delaySeconds),
          m_total(total),
          m_start(Clock::now()) {}
    ~ProgressBar() { finish(); }

    void update(std::int32_t trial) {
        if (!m_enabled) return;
        const auto now = Clock::now();
        if (!m_drawn && std::chrono::duration<double>(now - m_start).count() < m_delay) return;
        const int percent = static_cast<int>(static_cast<std::int64_t>(trial) * 100 / m_total);
        if (m_drawn && percent == m_percent && trial != m_total &&
            now - m_lastDraw < std::chrono::milliseconds(100)) {
            return;
        }
        constexpr int kWidth = 30;
        const int filled = percent * kWidth / 100;
        std::string line = "\rBootstrap [" + std::string(static_cast<std::size_t>(filled), '#') +
                           std::string(static_cast<std::size_t>(kWidth - filled), '.') + "] " +
                           std::to_string(percent) + "% (" + std::to_string(trial) + "/" +
                           std::to_string(m_total) + ")";
        m_width = std::max(m_width, line.size() - 1);
        m_err << line << std::flush;
        m_drawn = true;
        m_percent = percent;
        m_lastDraw = now;
    }

    // Clears the bar so the line is free for what follows.
    void finish() {
        if (!m_drawn) return;
        m_err << '\r' << std::string(m_width, ' ') << '\r' << std::flush;
        m_drawn = false;
    }

  private:
    using Clock = std::chrono::steady_clock;
    std::ostream& m_err;
    bool m_enabled;
    double m_delay;
    std::int32_t m_total;
    Clock::time_point m_start;
    Clock::time_point m_lastDraw{};
    bool m_drawn = false;
    int m_percent = -1;
    std::size_t m_width = 0;
};

// ---- commands ------------------------------------------------------------------------------

std::string RunImport(const ParsedArgs& a) {
    const char delimiter = ParseDelimiter(a);
    const std::string shown = DisplayPath(a.file);
    const DataSet data = Import(a.file, shown, delimiter);
    return WithLineEnds(ImportSummary(shown, data.cases, data.variables), a.flags.count("crlf"));
}

std::string RunEffectSize(const ParsedArgs& a, std::ostream& err, const CliEnvironment& env) {
    EffectSizeRequest request;
    request.dependent = ParseVariableOption(a, "dv");
    request.grouping = ParseVariableOption(a, "gv");
    request.code1Text = a.required("group1");
    request.code2Text = a.required("group2");
    const char delimiter = ParseDelimiter(a);
    if (const std::string* t = a.value("trials")) {
        const auto trials = ParseUnsigned<std::uint32_t>(*t);
        if (!trials || *trials < 1 || *trials > static_cast<std::uint32_t>(kMaxTrials)) {
            throw UsageError{"--trials takes a whole number from 1 to 1000000"};
        }
        request.settings.trials = static_cast<std::int32_t>(*trials);
    }
    int levelPercent = 95;
    if (const std::string* l = a.value("level")) {
        if (*l == "90") {
            levelPercent = 90;
        } else if (*l == "95") {
            levelPercent = 95;
        } else if (*l == "99") {
            levelPercent = 99;
        } else {
            throw UsageError{"--level takes 90, 95 or 99"};
        }
    }
    request.settings.level = levelPercent == 90 ? 0.9f : levelPercent == 99 ? 0.99f : 0.95f;
    if (const std::string* g = a.value("variance-of")) {
        if (*g != "1" && *g != "2") throw UsageError{"--variance-of takes 1 or 2"};
        request.settings.chosenGroup = *g == "1" ? 1 : 2;
    }
    std::uint64_t seed = 0;
    if (const std::string* s = a.value("seed")) {
        const auto parsed = ParseUnsigned<std::uint64_t>(*s);
        if (!parsed) throw UsageError{"--seed takes a whole number from 0 to 18446744073709551615"};
        seed = *parsed;
    } else {
        // Kept below 2^53 so that any JSON reader holds the reported seed exactly.
        seed = UniformGenerator::ClockSeed() & ((std::uint64_t{1} << 53) - 1);
    }
    const bool json = ParseJsonFormat(a);
    RunOptions options;
    options.cancel = env.cancel;
    if (const std::string* t = a.value("threads")) {
        const auto threads = ParseUnsigned<std::uint32_t>(*t);
        if (!threads || *threads < 1 || *threads > kMaxThreads) {
            throw UsageError{"--threads takes a whole number from 1 to 1024"};
        }
        options.threads = *threads;
    }

    const std::string shown = DisplayPath(a.file);
    const DataSet data = Import(a.file, shown, delimiter);
    for (const std::int32_t v : {request.dependent, request.grouping}) {
        if (v > data.variables) throw UserError{msg::VariableNotInData(v, data.variables)};
    }

    UniformGenerator rng(seed);
    ProgressBar bar(err, env.errIsTerminal, env.progressDelaySeconds, request.settings.trials);
    auto outcome = RunEffectSizeAnalysis(
        data.matrix, data.cases, request, rng, [&bar](std::int32_t t) { bar.update(t); }, options);
    bar.finish();
    if (!outcome && outcome.error().cancelled) throw Interrupted{};
    if (!outcome) throw UserError{outcome.error().message};

    const bool crlf = a.flags.count("crlf") != 0;
    if (!json) return WithLineEnds(outcome->report, crlf);

    const BootstrapResult& r = outcome->result;
    const std::string doc =
        JsonObject(0)
            .add("command", JsonString("effect-size"))
            .add("file", JsonString(shown))
            .add("dependent", std::to_string(request.dependent))
            .add("grouping", std::to_string(request.grouping))
            .add("group1_code", JsonNumber(static_cast<float>(*ParseGroupCode(request.code1Text))))
            .add("group2_code", JsonNumber(static_cast<float>(*ParseGroupCode(request.code2Text))))
            .add("trials", std::to_string(r.trials))
            .add("level", std::to_string(levelPercent))
            .add("variance_of", std::to_string(request.settings.chosenGroup))
            .add("seed", std::to_string(seed))
            .add("group1", JsonGroup(r.group1))
            .add("group2", JsonGroup(r.group2))
            .add("pooled_variance", JsonNumber(r.observed.pooledVariance))
            .add("pooled_winsorized_variance", JsonNumber(r.observed.pooledWinsorizedVariance))
            .add("d", JsonEffect(r.observed.d))
            .add("robust_d", JsonEffect(r.observed.robustD))
            .add("d_interval", JsonInterval(r.dInterval, r.validD))
            .add("robust_d_interval", JsonInterval(r.robustDInterval, r.validRobustD))
            .add("valid_d_trials", std::to_string(r.validD))
            .add("valid_robust_d_trials", std::to_string(r.validRobustD))
            .str() +
        "\n";
    return WithLineEnds(doc, crlf);
}

std::string RunDescriptives(const ParsedArgs& a) {
    const auto variables = ParseVariableList(a.required("vars"));
    if (!variables) {
        throw UsageError{"--vars takes variable numbers from 1 to 1000, such as 1,3-5"};
    }
    const char delimiter = ParseDelimiter(a);
    const bool json = ParseJsonFormat(a);

    const std::string shown = DisplayPath(a.file);
    const DataSet data = Import(a.file, shown, delimiter);
    for (const std::int32_t v : *variables) {
        if (v > data.variables) throw UserError{msg::VariableNotInData(v, data.variables)};
    }
    auto rows = ComputeDescriptives(data.matrix, data.cases, *variables);
    if (!rows) throw UserError{rows.error().message};

    const bool crlf = a.flags.count("crlf") != 0;
    if (!json) return WithLineEnds(BuildDescriptivesReport(rows.value()), crlf);

    auto optional = [](const auto& x) { return x ? JsonNumber(*x) : std::string("null"); };
    std::string list = "[";
    for (std::size_t i = 0; i < rows->size(); ++i) {
        const DescriptiveRow& row = rows.value()[i];
        list += i == 0 ? "\n    " : ",\n    ";
        list += JsonObject(4)
                    .add("variable", std::to_string(row.variable))
                    .add("n", std::to_string(row.n))
                    .add("mean", optional(row.mean))
                    .add("sd", optional(row.sd))
                    .add("min", optional(row.min))
                    .add("max", optional(row.max))
                    .str();
    }
    list += "\n  ]";
    const std::string doc = JsonObject(0)
                                .add("command", JsonString("descriptives"))
                                .add("file", JsonString(shown))
                                .add("cases", std::to_string(data.cases))
                                .add("variables", list)
                                .str() +
                            "\n";
    return WithLineEnds(doc, crlf);
}

}  // namespace

std::string UsageText() {
    return "Usage:\n"
           "  corvane-cli import FILE [--delimiter space|comma|tab] [--crlf]\n"
           "  corvane-cli effect-size FILE --dv N --gv N --group1 CODE --group2 CODE\n"
           "       [--delimiter space|comma|tab] [--trials T] [--level 90|95|99]\n"
           "       [--variance-of 1|2] [--seed S] [--threads N] [--format text|json] [--crlf]\n"
           "  corvane-cli descriptives FILE --vars LIST [--delimiter space|comma|tab]\n"
           "       [--format text|json] [--crlf]\n"
           "  corvane-cli --help\n"
           "\n"
           "Defaults: --delimiter space, --trials 600 (1 to 1000000), --level 95,\n"
           "--variance-of 1, --format text, --seed from the clock, --threads one per core.\n"
           "LIST is such as 1,3-5.\n"
           "Exit status: 0 done, 1 the program's message on standard error, 2 usage error,\n"
           "130 interrupted (Ctrl-C) with nothing printed.\n";
}

std::optional<std::vector<std::int32_t>> ParseVariableList(const std::string& text) {
    std::set<std::int32_t> chosen;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        const std::string item =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const std::size_t dash = item.find('-');
        const auto first = ParseUnsigned<std::uint32_t>(item.substr(0, dash));
        const auto last =
            dash == std::string::npos ? first : ParseUnsigned<std::uint32_t>(item.substr(dash + 1));
        if (!first || !last || *first < 1 || *last < *first ||
            *last > static_cast<std::uint32_t>(DataMatrix::kMaxVariables)) {
            return std::nullopt;
        }
        for (std::uint32_t v = *first; v <= *last; ++v) chosen.insert(static_cast<std::int32_t>(v));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return std::vector<std::int32_t>(chosen.begin(), chosen.end());
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const CliEnvironment& environment) {
    try {
        const ParsedArgs parsed = ParseArgs(args);
        if (parsed.help) {
            out << UsageText() << std::flush;
            return kExitOk;
        }
        std::string text;
        if (parsed.command == "import") {
            text = RunImport(parsed);
        } else if (parsed.command == "effect-size") {
            text = RunEffectSize(parsed, err, environment);
        } else {
            text = RunDescriptives(parsed);
        }
        if (environment.cancel != nullptr && environment.cancel->cancelled()) {
            return kExitInterrupted;
        }
        out << text << std::flush;
        if (!out) {
            err << "corvane-cli: the output could not be written.\n";
            return kExitUserError;
        }
        return kExitOk;
    } catch (const Interrupted&) {
        return kExitInterrupted;
    } catch (const UsageError& e) {
        err << "corvane-cli: " << e.reason << "\n\n" << UsageText();
        return kExitUsage;
    } catch (const UserError& e) {
        err << e.message << "\n";
        return kExitUserError;
    } catch (const std::bad_alloc&) {
        err << "corvane-cli: there is not enough memory for this command.\n";
        return kExitUserError;
    } catch (const std::exception& e) {
        err << "corvane-cli: " << e.what() << "\n";
        return kExitUserError;
    }
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CliEnvironment environment;
    environment.errIsTerminal = &err == &std::cerr && ::isatty(STDERR_FILENO) == 1;
    return RunCli(args, out, err, environment);
}

}  // namespace corvane::cli
