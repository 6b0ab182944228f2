#include "cli/CliMain.h"

#include <unistd.h>

#include <exception>
#include <iostream>
#include <new>

#include "cli/CliArguments.h"
#include "cli/Commands.h"
#include "cli/UsageText.h"
#include "common/Messages.h"

namespace corvane::cli {

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const CliEnvironment& environment) {
    try {
        const ParsedArgs parsed = ParseArgs(args, Commands());
        if (parsed.help) {
            out << UsageText(Commands()) << std::flush;
            return kExitOk;
        }
        const std::string text = parsed.command->run(parsed, err, environment);
        if (environment.cancel != nullptr && environment.cancel->cancelled()) {
            return kExitInterrupted;
        }
        out << text << std::flush;
        if (!out) {
            err << msg::CliFailed(msg::kOutputNotWritten) << "\n";
            return kExitUserError;
        }
        return kExitOk;
    } catch (const Interrupted&) {
        return kExitInterrupted;
    } catch (const UsageError& e) {
        err << msg::CliFailed(e.reason) << "\n\n" << UsageText(Commands());
        return kExitUsage;
    } catch (const UserError& e) {
        err << e.message << "\n";
        return kExitUserError;
    } catch (const std::bad_alloc&) {
        err << msg::CliFailed(msg::kCommandNotEnoughMemory) << "\n";
        return kExitUserError;
    } catch (const std::exception& e) {
        err << msg::CliFailed(e.what()) << "\n";
        return kExitUserError;
    }
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CliEnvironment environment;
    environment.errIsTerminal = &err == &std::cerr && ::isatty(STDERR_FILENO) == 1;
    return RunCli(args, out, err, environment);
}

}  // namespace corvane::cli
