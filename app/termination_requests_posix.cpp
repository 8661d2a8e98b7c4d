// The signals reach the user-interface thread through a pipe: the handler, which may run on any
// thread, only writes one byte (all it may safely do), and a socket notifier reads it.
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

#include <QObject>
#include <QSocketNotifier>

#include "app/termination_requests.h"

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The pipe's write end, for the handler; -1 while no requests are taken.
volatile std::sig_atomic_t g_wakeWrite = -1;

extern "C" void OnTerminationSignal(int /*signal*/) {
    const int savedErrno = errno;
    const char byte = 1;
    // A full pipe already holds a request; nothing is lost by dropping this one.
    [[maybe_unused]] const ssize_t written = write(g_wakeWrite, &byte, 1);
    errno = savedErrno;
}

// Owns the pipe and the handlers: destroyed with its context, it gives the signals back their
// default action before it closes the pipe.
class TerminationPipe : public QObject {
public:
    TerminationPipe(QObject& context, int readEnd, int writeEnd, std::function<void()> onRequest)
        : QObject(&context), readEnd_(readEnd), writeEnd_(writeEnd),
          onRequest_(std::move(onRequest)) {
        auto* notifier = new QSocketNotifier(readEnd_, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, &TerminationPipe::Take);
    }
    ~TerminationPipe() override {
        for (int signal : kSignals) {
            std::signal(signal, SIG_DFL);
        }
        g_wakeWrite = -1;
        close(readEnd_);
        close(writeEnd_);
    }
    TerminationPipe(const TerminationPipe&) = delete;
    TerminationPipe& operator=(const TerminationPipe&) = delete;

private:
    void Take() {
        char bytes[16];
        bool requested = false;
        while (read(readEnd_, bytes, sizeof bytes) > 0) {
            requested = true;
        }
        if (requested) {
            onRequest_();
        }
    }

    int readEnd_;
    int writeEnd_;
    std::function<void()> onRequest_;
};

} // namespace

bool TakeTerminationRequests(QObject& context, std::function<void()> onRequest,
                             std::string* whyNot) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        *whyNot = std::string("no pipe: ") + std::strerror(errno);
        return false;
    }
    new TerminationPipe(context, ends[0], ends[1], std::move(onRequest));
    g_wakeWrite = ends[1];
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals) {
        if (sigaction(signal, &action, nullptr) != 0) {
            *whyNot = std::string("no signal handler: ") + std::strerror(errno);
            return false;
        }
    }
    return true;
}
