// Setup programs for the launcher's tests that record each run, and waiting for that record.
// Writing one is per system (support/posix/, support/win32/, chosen by the build):
//   WriteRecordingSetup(program, record)  makes `program`, which appends
//                                         "<its path>|<its argument count>|<its working folder>"
//                                         and a line end to `record` each time it runs.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "recording_setup_system.h"

namespace test_support {

// The file's text once it has some, waiting at most five seconds (the setup runs detached).
inline std::string WaitForText(const std::filesystem::path& file) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        std::ifstream in(file);
        std::stringstream text;
        text << in.rdbuf();
        if (!text.str().empty()) {
            return text.str();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return {};
}

} // namespace test_support
