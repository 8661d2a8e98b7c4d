// The checks of --out that every command writing a file makes before the instrument is touched.
#include <cstdio>
#include <system_error>

#include "base/texts.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "files/replacement_file.h"
#include "files/same_file.h"

int RefuseDestination(const std::string& message) {
    std::fprintf(stderr, "k720ctl: %s\n", message.c_str());
    return kExitUsage;
}

const char* ReportPageName() {
    return Translate(kMessages, K720_TEXT("Messages", "the report page"));
}

std::filesystem::path DestinationFolder(const std::filesystem::path& destination) {
    std::filesystem::path folder = destination.parent_path();
    if (folder.empty() || folder == folder.root_name()) {
        folder += ".";
    }
    return folder.make_preferred();
}

int CheckDestination(const std::string& destination, const char* option) {
    const std::filesystem::path folder = DestinationFolder(destination);
    std::error_code error;
    const std::filesystem::file_type type = std::filesystem::status(folder, error).type();
    if (type == std::filesystem::file_type::not_found) {
        return RefuseDestination(FillText(kMessages,
                                          K720_TEXT("Messages", "%1 names a missing folder: %2"),
                                          {option, files::PathInMessage(folder.string())}));
    }
    if (error) {
        return RefuseDestination(
            FillText(kMessages, K720_TEXT("Messages", "%1 names an unreachable folder: %2: %3"),
                     {option, files::PathInMessage(folder.string()), error.message()}));
    }
    if (type != std::filesystem::file_type::directory) {
        return RefuseDestination(
            FillText(kMessages, K720_TEXT("Messages", "%1 names a file as its folder: %2"),
                     {option, files::PathInMessage(folder.string())}));
    }
    if (files::KindOfDestination(destination) == files::DestinationKind::Other) {
        return RefuseDestination(FillText(
            kMessages,
            K720_TEXT("Messages", "%1 names a folder, a named pipe or a device, not a file: %2"),
            {option, files::PathInMessage(destination)}));
    }
    if (const int created = files::CreationError(destination); created != 0) {
        return RefuseDestination(FillText(
            kMessages, K720_TEXT("Messages", "%1 names a file that cannot be created: %2: %3"),
            {option, files::PathInMessage(destination), SystemErrorText(created)}));
    }
    return kExitOk;
}

int RefuseOverReadings(const std::string& csvPath, const std::string& destination,
                       const char* name) {
    if (files::NameTheSameFile(csvPath, destination)) {
        return RefuseDestination(
            FillText(kMessages, K720_TEXT("Messages", "%1 names the measurement file itself: %2"),
                     {name, files::PathInMessage(destination)}));
    }
    return kExitOk;
}
