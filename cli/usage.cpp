// The usage errors and the help option that every k720ctl command shares.
#include <cstdio>
#include <string>
#include <string_view>

#include "cli/commands.h"

int UsageError(const std::string& message) {
    std::fprintf(stderr, "k720ctl: %s\nTry 'k720ctl --help'.\n", message.c_str());
    return kExitUsage;
}

bool IsHelp(std::string_view argument) {
    return argument == "-h" || argument == "--help";
}
