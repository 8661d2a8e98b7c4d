// The file operations of ReplacementFile over POSIX descriptors.
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "files/file_ops.h"

namespace files::ops {

int NameTooLong(const std::string& path) {
    const std::filesystem::path whole(path);
    const std::filesystem::path folder = whole.has_parent_path() ? whole.parent_path() : ".";
    const long limit = pathconf(folder.c_str(), _PC_NAME_MAX);
    const std::size_t length = whole.filename().native().size();
    return limit > 0 && length > static_cast<std::size_t>(limit) ? ENAMETOOLONG : 0;
}

int CreateNew(const std::string& path, int* fd) {
    *fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    return *fd < 0 ? errno : 0;
}

int WriteAll(int fd, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = write(fd, bytes, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (written == 0) {
            return ENOSPC;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return 0;
}

int Truncate(int fd, std::uint64_t size) {
    return ftruncate(fd, static_cast<off_t>(size)) == 0 ? 0 : errno;
}

int TakeOverAttributes(int fd, const std::string& destination) {
    struct stat old {};
    if (lstat(destination.c_str(), &old) != 0 || !S_ISREG(old.st_mode)) {
        return 0;
    }
    // The owner first: a change of owner may clear the set-id bits, which the mode then restores.
    // Only a privileged program may give a file away; others keep their own.
    if (fchown(fd, old.st_uid, old.st_gid) != 0 && errno != EPERM) {
        return errno;
    }
    return fchmod(fd, old.st_mode & 07777) == 0 ? 0 : errno;
}

int Sync(int fd) {
    return fsync(fd) == 0 ? 0 : errno;
}

int Close(int fd) {
    return close(fd) == 0 ? 0 : errno;
}

int Rename(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

void Remove(const std::string& path) {
    unlink(path.c_str());
}

DestinationKind KindOf(const std::string& path) {
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0) {
        return DestinationKind::Missing;
    }
    if (S_ISREG(status.st_mode)) {
        return DestinationKind::RegularFile;
    }
    if (S_ISLNK(status.st_mode)) {
        // A link to a folder, a named pipe or a device would be replaced by a file of ours (as
        // root, /dev/stdout too): only a link to a file, or to nothing, is a destination.
        struct stat target {};
        const bool elsewhere = stat(path.c_str(), &target) == 0 && !S_ISREG(target.st_mode);
        return elsewhere ? DestinationKind::Other : DestinationKind::Link;
    }
    return DestinationKind::Other;
}

bool SameEntryName(const std::filesystem::path& first, const std::filesystem::path& second) {
    return first == second;
}

std::string PathAsUtf8(const std::string& path) {
    return path;
}

} // namespace files::ops
