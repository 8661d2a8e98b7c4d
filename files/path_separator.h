// The separator between a folder and a name in the system's own paths: "\" on Windows, "/"
// elsewhere, as the standard library of the system the program is built for names it.
#pragma once

#include <filesystem>

namespace files {

inline constexpr char kPathSeparator =
    static_cast<char>(std::filesystem::path::preferred_separator);

} // namespace files
