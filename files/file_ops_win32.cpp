// The file operations of ReplacementFile over the C runtime's descriptors on Windows.
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>

#include "files/file_ops.h"

namespace files::ops {

int NameTooLong(const std::string& path) {
    // A name takes at most 255 characters of UTF-16 on the system's file systems.
    constexpr int kNameMax = 255;
    const std::string name = std::filesystem::path(path).filename().string();
    const int characters =
        MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
    return characters > kNameMax ? ENAMETOOLONG : 0;
}

int CreateNew(const std::string& path, int* fd) {
    *fd = -1;
    return _sopen_s(fd, path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _SH_DENYNO,
                    _S_IREAD | _S_IWRITE);
}

int WriteAll(int fd, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const unsigned chunk = size > 0x40000000u ? 0x40000000u : static_cast<unsigned>(size);
        const int written = _write(fd, bytes, chunk);
        if (written < 0) {
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
    return _chsize_s(fd, static_cast<long long>(size));
}

int TakeOverAttributes(int, const std::string&) {
    return 0; // a new file takes its folder's access rights, as the old one did
}

int Sync(int fd) {
    return _commit(fd) == 0 ? 0 : errno;
}

int Close(int fd) {
    return _close(fd) == 0 ? 0 : errno;
}

int Rename(const std::string& from, const std::string& to) {
    // Unlike the C runtime's rename, this replaces an existing destination.
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return 0;
    }
    return GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
}

void Remove(const std::string& path) {
    DeleteFileA(path.c_str());
}

DestinationKind KindOf(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return DestinationKind::Missing;
    }
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        return DestinationKind::Link;
    }
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) {
        return DestinationKind::Other;
    }
    return DestinationKind::RegularFile;
}

bool SameEntryName(const std::filesystem::path& first, const std::filesystem::path& second) {
    const std::wstring a = first.wstring();
    const std::wstring b = second.wstring();
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::string PathAsUtf8(const std::string& path) {
    const int size = static_cast<int>(path.size());
    const int characters = MultiByteToWideChar(CP_ACP, 0, path.data(), size, nullptr, 0);
    if (characters <= 0) {
        return path;
    }
    std::wstring wide(static_cast<std::size_t>(characters), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.data(), size, wide.data(), characters);
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), characters, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        return path;
    }
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), characters, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

} // namespace files::ops
