// Runs one of the project's programs as a child process for end-to-end tests: its arguments, its
// standard output and error, signals, and its exit status.
#pragma once

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

class ChildProcess {
public:
    // Standard input is read from `inputPath`: by default nothing, so that no child waits for a
    // terminal the tests happen to run on.
    ChildProcess(const std::string& program, std::vector<std::string> arguments,
                 const std::string& inputPath = "/dev/null") {
        int outPipe[2];
        int errPipe[2];
        if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, inputPath.c_str(),
                                         O_RDONLY | O_NOCTTY, 0);
        posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
        // The child starts as from an interactive shell, whatever the test runner inherited (a
        // runner started in the background ignores SIGINT, one under nohup SIGHUP): the stop
        // signals have their default actions and no signal is blocked.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t stopSignals;
        sigemptyset(&stopSignals);
        sigaddset(&stopSignals, SIGINT);
        sigaddset(&stopSignals, SIGTERM);
        sigaddset(&stopSignals, SIGHUP);
        posix_spawnattr_setsigdefault(&attributes, &stopSignals);
        sigset_t none;
        sigemptyset(&none);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
        arguments.insert(arguments.begin(), program);
        std::vector<char*> argv;
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, program.c_str(), &actions, &attributes, argv.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
        close(outPipe[1]);
        close(errPipe[1]);
        out_ = outPipe[0];
        err_ = errPipe[0];
    }
    ~ChildProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(out_);
        close(err_);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Standard output up to and including the first line that contains `text`, waiting at most
    // `limit`; "" when it did not come.
    std::string OutputUntil(const std::string& text,
                            std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (out.find(text) == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !ReadSome(out_, out, static_cast<int>(left.count()))) {
                return {};
            }
        }
        return out;
    }

    // Closes the reading end of the child's standard output, as `program | true` does.
    void CloseOutput() {
        close(out_);
        out_ = -1;
    }

    void Signal(int signal) {
        if (pid_ > 0) {
            kill(pid_, signal);
        }
    }

    // Collects the rest of both outputs and returns the exit status (-1 when killed by a signal).
    int Wait() {
        while (ReadSome(out_, out, -1)) {
        }
        while (ReadSome(err_, err, -1)) {
        }
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string out;
    std::string err;

private:
    static bool ReadSome(int fd, std::string& into, int timeoutMs) {
        if (fd < 0) {
            return false;
        }
        pollfd entry{fd, POLLIN, 0};
        if (poll(&entry, 1, timeoutMs) <= 0) {
            return false;
        }
        char chunk[4096];
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n <= 0) {
            return false;
        }
        into.append(chunk, static_cast<std::size_t>(n));
        return true;
    }

    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
};
