// Runs an exchange with the instrument on a worker thread, so that the window keeps painting and
// taking input while the instrument is slow or silent. The outcome comes back to the page that
// started it as a queued call on the user-interface thread, where the page does what its step
// says (message, texts, colours, request).
//
// The serial link is one port for the whole program, so there is one runner for the whole program
// (InstrumentExchanges) and it runs one exchange at a time. The exchange gets a stop token: a
// window that closes asks it to stop, waits for the exchange in progress (it ends within one reply
// budget) and drops its outcome, so no message box follows.
//
// Every member is used on the user-interface thread only.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <thread>
#include <type_traits>
#include <utility>

#include <QObject>
#include <QPointer>

class ExchangeRunner {
public:
    ExchangeRunner() = default;
    // Abandons an exchange still running.
    ~ExchangeRunner();
    ExchangeRunner(const ExchangeRunner&) = delete;
    ExchangeRunner& operator=(const ExchangeRunner&) = delete;

    // Runs `exchange(std::stop_token)` on a worker thread, then `done(result)` on the
    // user-interface thread, unless `receiver` has gone or the exchange was abandoned. Returns
    // false, and runs nothing, while another exchange is running.
    template <typename Exchange, typename Done>
    [[nodiscard]] bool Start(QObject& receiver, Exchange exchange, Done done) {
        using Result = std::invoke_result_t<Exchange&, std::stop_token>;
        // Written by the worker before it ends; read here after it has been joined.
        auto result = std::make_shared<std::optional<Result>>();
        return Launch(
            receiver,
            [exchange = std::move(exchange), result](std::stop_token stop) mutable {
                result->emplace(exchange(std::move(stop)));
            },
            [done = std::move(done), result]() mutable { done(std::move(**result)); });
    }

    // From a successful Start until the outcome has been delivered or abandoned.
    bool Running() const { return running_; }

    // Asks the running exchange to stop, waits until it has returned and drops its outcome.
    // Returns at once when nothing runs.
    void Abandon();
    // The same, only when the running exchange reports to `receiver` (a page going away).
    void Abandon(const QObject& receiver);

private:
    [[nodiscard]] bool Launch(QObject& receiver, std::function<void(std::stop_token)> work,
                              std::function<void()> deliver);
    void Finished(unsigned generation);

    std::jthread worker_;
    bool running_ = false;
    // Tells the delivery of the exchange in progress from that of an abandoned one.
    unsigned generation_ = 0;
    QPointer<QObject> receiver_;
    std::function<void()> deliver_;
};

// The program's one runner.
ExchangeRunner& InstrumentExchanges();
