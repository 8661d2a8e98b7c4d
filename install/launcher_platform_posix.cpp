// The launcher's platform operations on Linux (the window search is in window_search_x11.cpp).
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

#include "install/launcher_platform.h"
#include "install/setup_launch.h"

extern char** environ;

namespace {

// A file descriptor closed when it goes out of scope.
class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const { return fd_; }
    void Reset() {
        if (fd_ >= 0) {
            close(fd_);
        }
        fd_ = -1;
    }

private:
    int fd_;
};

std::string SystemError(const char* what, int error) {
    return std::string(what) + ": " + std::strerror(error);
}

// Runs in the grandchild, between fork and exec: only async-signal-safe calls. The setup gets a
// session of its own (it is not tied to a terminal the launcher may have been started from), no
// standard input, and the signal handling a freshly started program expects.
[[noreturn]] void ExecSetup(const char* path, int errorPipe) {
    setsid();
    const int nothing = open("/dev/null", O_RDONLY);
    if (nothing >= 0 && nothing != STDIN_FILENO) {
        dup2(nothing, STDIN_FILENO);
        close(nothing);
    }
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal) {
        sigaction(signal, &standard, nullptr);
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);

    char* const argv[] = {const_cast<char*>(path), nullptr};
    execve(path, argv, environ);
    const int error = errno;
    [[maybe_unused]] const ssize_t written = write(errorPipe, &error, sizeof error);
    _exit(127);
}

} // namespace

ProgramPath OwnProgramPath() {
    // The kernel's link to the running program: independent of the working folder and argv[0].
    char buffer[4096];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length < 0) {
        return {false, {}, SystemError("/proc/self/exe", errno)};
    }
    if (static_cast<std::size_t>(length) >= sizeof buffer) {
        return {false, {}, "/proc/self/exe: the path is too long"};
    }
    return {true, std::string(buffer, static_cast<std::size_t>(length)), {}};
}

StartResult StartSetupProgram(const std::string& path, std::uintptr_t /*ownerWindow*/) {
    // The setup is started through an intermediate child that exits at once, so it is adopted by
    // the system and never left unreaped, whether or not the launcher lives on. Exec failures
    // come back through a pipe that a successful exec closes.
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        return {false, SystemError("pipe", errno)};
    }
    UniqueFd readEnd(ends[0]);
    UniqueFd writeEnd(ends[1]);

    const pid_t middle = fork();
    if (middle < 0) {
        return {false, SystemError("fork", errno)};
    }
    if (middle == 0) {
        close(readEnd.Get());
        const pid_t setup = fork();
        if (setup == 0) {
            ExecSetup(path.c_str(), writeEnd.Get());
        }
        if (setup < 0) {
            const int error = errno;
            [[maybe_unused]] const ssize_t written = write(writeEnd.Get(), &error, sizeof error);
        }
        _exit(0);
    }
    writeEnd.Reset();
    int status = 0;
    while (waitpid(middle, &status, 0) < 0 && errno == EINTR) {
    }

    int error = 0;
    ssize_t got = 0;
    do {
        got = read(readEnd.Get(), &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        return {false, SystemError("reading the start's outcome", errno)};
    }
    if (got == 0) {
        return {true, {}};
    }
    if (got != static_cast<ssize_t>(sizeof error)) {
        return {false, "the start's outcome was cut short"};
    }
    return {false, SystemError("cannot start", error)};
}

const SetupLayout& NativeSetupLayout() {
    return kPosixSetupLayout;
}

const char* LauncherProgramName() {
    return "k720-install";
}
