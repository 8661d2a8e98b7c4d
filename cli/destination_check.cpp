// The checks of --out that every command writing a file makes before the instrument is touched.
#include <cstdio>
#include <system_error>

#include "commands.h"
#include "console.h"
#include "replacement_file.h"

int RefuseDestination(const std::string& why) {
    std::fprintf(stderr, "k720ctl: --out %s\n", why.c_str());
    return kExitUsage;
}

int CheckDestination(const std::string& destination, const std::filesystem::path& folder) {
    std::error_code error;
    const std::filesystem::file_type type = std::filesystem::status(folder, error).type();
    if (type == std::filesystem::file_type::not_found) {
        return RefuseDestination("names a missing folder: " + folder.string());
    }
    if (error) {
        return RefuseDestination("names an unreachable folder: " + folder.string() + ": " +
                                 error.message());
    }
    if (type != std::filesystem::file_type::directory) {
        return RefuseDestination("names a file as its folder: " + folder.string());
    }
    if (files::KindOfDestination(destination) == files::DestinationKind::Other) {
        return RefuseDestination("names a folder, a named pipe or a device, not a file: " +
                                 destination);
    }
    if (const int created = files::CreationError(destination); created != 0) {
        return RefuseDestination("names a file that cannot be created: " + destination + ": " +
                                 SystemErrorText(created));
    }
    return kExitOk;
}
