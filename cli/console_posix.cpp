#include <cerrno>
#include <cstring>
#include <unistd.h>

#include "cli/console.h"

bool InputIsTerminal() {
    return isatty(STDIN_FILENO) != 0;
}

bool ShowsProgress(std::FILE* stream) {
    return isatty(fileno(stream)) != 0;
}

std::string OpenFailureReason(int error) {
    switch (error) {
    case ENOENT:
        return "no such device";
    case EBUSY:
        return "busy, another program has it open";
    case ENOTTY:
        return "not a terminal, so not a serial port";
    case EACCES:
    case EPERM:
        return "no permission";
    default:
        return std::strerror(error);
    }
}

std::string SystemErrorText(int error) {
    return std::strerror(error);
}
