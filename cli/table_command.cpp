// k720ctl table: comparator table files from a script, on the editor's core and with its texts.
// Each subcommand parses its own arguments; those that speak to the instrument take the common
// options (--port, -v) like the other commands.
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#include "commands.h"
#include "table_file.h"

namespace {

using Arguments = std::span<const std::string_view>;

constexpr const char* kTableUsage = R"(usage: k720ctl table SUBCOMMAND [options]

Comparator table files: 200 entries, each with a name, a resistance range with two limits and a
voltage range with one limit, kept as CSV files in code page 932.

Subcommands:
  new --out FILE.csv   write a table of 200 default entries
  check FILE.csv       check a table file as the editor does when it opens one

'k720ctl table SUBCOMMAND --help' explains a subcommand.
Exit status: 0 success, 1 the table or the file failed, 2 usage error.
)";

constexpr const char* kNewUsage = R"(usage: k720ctl table new --out FILE.csv

Writes a comparator table of 200 default entries ("No Name", 3m, 0.000, 0.000, 6V, 0.000), dated
today, as the editor saves a new table. An existing file is replaced only once the new one is
written whole; a folder, named pipe or device at FILE.csv is refused. Prints nothing on success,
else why the file could not be written.
Exit status 0 when the file was written, 1 when not.
)";

constexpr const char* kCheckUsage = R"(usage: k720ctl table check FILE.csv

Loads FILE.csv and checks it as the editor does when it opens a table file: the model line, the
file line, then entries 1 to 200 field by field. Prints nothing for a sound table; otherwise the
editor's message for the first fault, byte for byte, or why the file could not be read.
Exit status 0 when the table is sound, 1 when not.
)";

// Prints a message of the core as it stands (its bytes are code page 932 where it quotes a file).
void PrintMessage(const std::string& message) {
    std::fwrite(message.data(), 1, message.size(), stdout);
    std::fputc('\n', stdout);
}

int RunNew(const CommonOptions& /*options*/, Arguments arguments) {
    std::string output;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] != "--out") {
            return UsageError("table new takes no argument '" + std::string(arguments[i]) + "'");
        }
        if (++i == arguments.size()) {
            return UsageError("--out needs a file");
        }
        output = std::string(arguments[i]);
    }
    if (output.empty()) {
        return UsageError("table new needs --out FILE.csv");
    }
    if (const comp::TableOutcome written = comp::WriteTableFile(output, comp::CompTable{});
        !written.Ok()) {
        PrintMessage(written.message);
        return kExitFailed;
    }
    return kExitOk;
}

int RunCheckFile(const CommonOptions& /*options*/, Arguments arguments) {
    if (arguments.size() != 1) {
        return UsageError("table check needs one file");
    }
    const std::string path(arguments[0]);
    if (const comp::TableOutcome loaded = comp::LoadTableFile(path); !loaded.Ok()) {
        PrintMessage(loaded.message);
        return kExitFailed;
    }
    if (const comp::ParsedTable parsed = comp::ParseTableText(); !parsed.Ok()) {
        PrintMessage(parsed.message);
        return kExitFailed;
    }
    return kExitOk;
}

struct Subcommand {
    std::string_view name;
    const char* usage;
    int (*run)(const CommonOptions& options, Arguments arguments);
};

constexpr Subcommand kSubcommands[] = {
    {"new", kNewUsage, RunNew},
    {"check", kCheckUsage, RunCheckFile},
};

} // namespace

int RunTable(const CommonOptions& options, Arguments arguments) {
    if (arguments.empty()) {
        return UsageError("table needs a subcommand (new or check)");
    }
    if (IsHelp(arguments[0])) {
        std::fputs(kTableUsage, stdout);
        return kExitOk;
    }
    for (const Subcommand& subcommand : kSubcommands) {
        if (arguments[0] != subcommand.name) {
            continue;
        }
        const Arguments rest = arguments.subspan(1);
        for (const std::string_view argument : rest) {
            if (IsHelp(argument)) {
                std::fputs(subcommand.usage, stdout);
                return kExitOk;
            }
        }
        return subcommand.run(options, rest);
    }
    return UsageError("unknown table subcommand '" + std::string(arguments[0]) + "'");
}
