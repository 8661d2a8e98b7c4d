// A setup program for the launcher's tests, on POSIX a shell script: when it runs, it appends
// "<its path>|<its argument count>|<its working folder>" and a line end to `record`.
#pragma once

#include <filesystem>
#include <fstream>

namespace test_support {

inline void WriteRecordingSetup(const std::filesystem::path& program,
                                const std::filesystem::path& record) {
    std::filesystem::create_directories(program.parent_path());
    std::ofstream(program) << "#!/bin/sh\nprintf '%s|%s|%s\\n' \"$0\" \"$#\" \"$(pwd)\" >> '"
                           << record.string() << "'\n";
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
}

} // namespace test_support
