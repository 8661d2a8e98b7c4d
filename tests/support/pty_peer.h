// The far end of a pseudo-terminal for serial-link tests: the test writes exactly the bytes (and
// at exactly the moments) it wants the link to receive, and reads what the link sent.
#pragma once

#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <stdlib.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "link/port_names.h"

class PtyPeer {
public:
    PtyPeer() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        char name[128];
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0 ||
            ptsname_r(master_, name, sizeof name) != 0) {
            throw std::runtime_error("cannot create a pseudo-terminal");
        }
        path_ = name;
        // Held open so that the master side never sees a hang-up between the link's opens.
        slave_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios tio{};
        tcgetattr(slave_, &tio);
        cfmakeraw(&tio);
        tcsetattr(slave_, TCSANOW, &tio);
        port_ = AttachPortDevice(path_);
    }
    ~PtyPeer() {
        Vanish();
        DetachPortDevice(port_);
    }
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    int Port() const { return port_; }
    const std::string& Path() const { return path_; }
    int SlaveFd() const { return slave_; }

    void Write(const std::string& bytes) {
        if (write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
            throw std::runtime_error("short write to the pseudo-terminal");
        }
    }

    // Everything the link has sent, collected until `quiet` passes without a new byte.
    std::string ReadSent(std::chrono::milliseconds quiet = std::chrono::milliseconds(200)) {
        std::string bytes;
        char chunk[256];
        pollfd entry{master_, POLLIN, 0};
        while (poll(&entry, 1, static_cast<int>(quiet.count())) > 0 && (entry.revents & POLLIN)) {
            const ssize_t n = read(master_, chunk, sizeof chunk);
            if (n <= 0) {
                break;
            }
            bytes.append(chunk, static_cast<std::size_t>(n));
        }
        return bytes;
    }

    // The device disappears, as when the cable is pulled.
    void Vanish() {
        if (master_ >= 0) {
            close(master_);
            master_ = -1;
        }
        if (slave_ >= 0) {
            close(slave_);
            slave_ = -1;
        }
    }

private:
    int master_ = -1;
    int slave_ = -1;
    int port_ = 0;
    std::string path_;
};

// Runs `action` on a helper thread after `delay`; joined when it goes out of scope.
class Later {
public:
    template <typename Action>
    Later(std::chrono::milliseconds delay, Action action)
        : thread_([delay, action] {
              std::this_thread::sleep_for(delay);
              action();
          }) {}
    ~Later() { thread_.join(); }
    Later(const Later&) = delete;
    Later& operator=(const Later&) = delete;

private:
    std::thread thread_;
};
