// The checks of --out that every command writing a file makes before the instrument is touched.
#include <cstdio>
#include <system_error>

#include "cli/commands.h"
#include "cli/console.h"
#include "files/replacement_file.h"
#include "files/same_file.h"

int RefuseDestination(const std::string& why, const char* option) {
    std::fprintf(stderr, "k720ctl: %s %s\n", option, why.c_str());
    return kExitUsage;
}

int CheckDestination(const std::string& destination, const std::filesystem::path& folder,
                     const char* option) {
    std::error_code error;
    const std::filesystem::file_type type = std::filesystem::status(folder, error).type();
    if (type == std::filesystem::file_type::not_found) {
        return RefuseDestination("names a missing folder: " + folder.string(), option);
    }
    if (error) {
        return RefuseDestination(
            "names an unreachable folder: " + folder.string() + ": " + error.message(), option);
    }
    if (type != std::filesystem::file_type::directory) {
        return RefuseDestination("names a file as its folder: " + folder.string(), option);
    }
    if (files::KindOfDestination(destination) == files::DestinationKind::Other) {
        return RefuseDestination(
            "names a folder, a named pipe or a device, not a file: " + destination, option);
    }
    if (const int created = files::CreationError(destination); created != 0) {
        return RefuseDestination("names a file that cannot be created: " + destination + ": " +
                                     SystemErrorText(created),
                                 option);
    }
    return kExitOk;
}

int RefuseReportOverReadings(const std::string& csvPath, const std::string& htmlPath) {
    if (files::NameTheSameFile(csvPath, htmlPath)) {
        return RefuseDestination("names the measurement file itself: " + htmlPath,
                                 "the report page");
    }
    return kExitOk;
}
