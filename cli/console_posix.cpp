#include <cerrno>
#include <cstring>
#include <unistd.h>

#include "base/texts.h"
#include "cli/console.h"

Utf8Console::Utf8Console() = default;
Utf8Console::~Utf8Console() = default;

bool InputIsTerminal() {
    return isatty(STDIN_FILENO) != 0;
}

bool ShowsProgress(std::FILE* stream) {
    return isatty(fileno(stream)) != 0;
}

std::string OpenFailureReason(int error) {
    switch (error) {
    case ENOENT:
        return Translate(kMessages, K720_TEXT("Messages", "no such device"));
    case EBUSY:
        return Translate(kMessages, K720_TEXT("Messages", "busy, another program has it open"));
    case ENOTTY:
        return Translate(kMessages, K720_TEXT("Messages", "not a terminal, so not a serial port"));
    case EACCES:
    case EPERM:
        return Translate(kMessages, K720_TEXT("Messages", "no permission"));
    default:
        return std::strerror(error);
    }
}

std::string SystemErrorText(int error) {
    return std::strerror(error);
}
