// A setup program for the launcher's tests, on Windows a copy of the stand-in program
// (setup_standin_win32.cpp, built beside the tests as K720_SETUP_STANDIN): when it runs, it
// appends "<its path>|<its argument count>|<its working folder>" and a line end to `record`,
// which it learns from the file "<its path>.record".
#pragma once

#include <filesystem>
#include <fstream>

namespace test_support {

inline void WriteRecordingSetup(const std::filesystem::path& program,
                                const std::filesystem::path& record) {
    std::filesystem::create_directories(program.parent_path());
    std::filesystem::copy_file(K720_SETUP_STANDIN, program,
                               std::filesystem::copy_options::overwrite_existing);
    std::ofstream(program.string() + ".record") << record.string() << "\n";
}

} // namespace test_support
