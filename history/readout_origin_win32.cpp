#include <ctime>
#include <windows.h>

#include "history/readout_origin.h"

namespace history {

std::string HostName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(name, &size)) {
        return "";
    }
    char utf8[4 * (MAX_COMPUTERNAME_LENGTH + 1)] = {};
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, name, static_cast<int>(size), utf8,
                                          sizeof utf8, nullptr, nullptr);
    return std::string(utf8, bytes > 0 ? static_cast<std::size_t>(bytes) : 0);
}

std::string UtcNowText() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    char text[32] = {};
    if (gmtime_s(&utc, &now) != 0 ||
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc) == 0) {
        return "";
    }
    return text;
}

} // namespace history
