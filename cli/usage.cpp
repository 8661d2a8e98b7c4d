// The usage errors and the help option that every k720ctl command shares.
#include <cstdio>
#include <string>
#include <string_view>

#include "base/texts.h"
#include "cli/commands.h"

int UsageError(const std::string& message) {
    std::fprintf(stderr, "k720ctl: %s\n%s\n", message.c_str(),
                 Translate(kMessages, K720_TEXT("Messages", "Try 'k720ctl --help'.")));
    return kExitUsage;
}

std::string NoArgumentText(std::string_view command, std::string_view argument) {
    return FillText(kMessages, K720_TEXT("Messages", "%1 takes no argument '%2'"),
                    {command, argument});
}

std::string NeedsValueText(std::string_view option) {
    return FillText(kMessages, K720_TEXT("Messages", "%1 needs a value"), {option});
}

std::string NeedsFileText(std::string_view option) {
    return FillText(kMessages, K720_TEXT("Messages", "%1 needs a file"), {option});
}

std::string UnknownUnitText(std::string_view name) {
    return FillText(kMessages,
                    K720_TEXT("Messages", "unknown unit '%1' (A b C d E F G H J L n P or all)"),
                    {name});
}

bool IsHelp(std::string_view argument) {
    return argument == "-h" || argument == "--help";
}
