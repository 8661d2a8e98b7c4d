#include "files/same_file.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "files/file_ops.h"

namespace files {

namespace {

namespace fs = std::filesystem;

// Links followed from one name before giving up, as the system's own limit on a path.
constexpr int kMaxLinksFollowed = 40;

// The folder entry `path` names: its folder resolved (links, ".", "..", the current folder), its
// own name as written. A folder that cannot be resolved is taken by its absolute spelling.
fs::path EntryOf(const fs::path& path) {
    fs::path folder = path.parent_path();
    // "x.csv" lies in the current folder, and "C:x.csv" in the current folder of drive C.
    if (folder.empty() || folder == folder.root_name()) {
        folder += ".";
    }
    std::error_code error;
    const fs::path resolved = fs::canonical(folder, error);
    if (error) {
        return (fs::absolute(folder, error) / path.filename()).lexically_normal();
    }
    return resolved / path.filename();
}

// The entries a writer of `path` could reach: the name itself and, while it is a link, the name
// the link leads to (which need not exist yet).
std::vector<fs::path> EntriesReached(const fs::path& path) {
    std::vector<fs::path> entries{EntryOf(path)};
    for (int i = 0; i < kMaxLinksFollowed; ++i) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(entries.back(), error))) {
            break;
        }
        const fs::path target = fs::read_symlink(entries.back(), error);
        if (error) {
            break;
        }
        entries.push_back(
            EntryOf(target.is_absolute() ? target : entries.back().parent_path() / target));
    }
    return entries;
}

} // namespace

bool NameTheSameFile(const std::string& first, const std::string& second) {
    std::error_code error;
    if (fs::equivalent(first, second, error)) {
        return true;
    }
    const std::vector<fs::path> firstEntries = EntriesReached(first);
    for (const fs::path& entry : EntriesReached(second)) {
        for (const fs::path& other : firstEntries) {
            if (ops::SameEntryName(entry, other)) {
                return true;
            }
        }
    }
    return false;
}

} // namespace files
