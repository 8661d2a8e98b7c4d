#include "controls/exchange_runner.h"

#include <system_error>

#include <QCoreApplication>

ExchangeRunner::~ExchangeRunner() {
    Abandon();
}

bool ExchangeRunner::Launch(QObject& receiver, std::function<void(std::stop_token)> work,
                            std::function<void()> deliver) {
    if (running_) {
        return false;
    }
    running_ = true;
    const unsigned generation = ++generation_;
    receiver_ = &receiver;
    deliver_ = std::move(deliver);
    // The application object lives on the user-interface thread for the whole run: the posted
    // call lands there even when the receiver has gone meanwhile.
    QObject* const application = QCoreApplication::instance();
    auto task = std::make_shared<std::function<void(std::stop_token)>>(std::move(work));
    auto finish = [this, generation, application] {
        QMetaObject::invokeMethod(
            application, [this, generation] { Finished(generation); }, Qt::QueuedConnection);
    };
    try {
        worker_ = std::jthread([task, finish](std::stop_token stop) {
            (*task)(std::move(stop));
            finish();
        });
    } catch (const std::system_error&) {
        // No thread to be had: the exchange still runs, on this thread, and its outcome is
        // delivered like any other.
        (*task)(std::stop_token{});
        finish();
    }
    return true;
}

void ExchangeRunner::Finished(unsigned generation) {
    if (generation != generation_ || !running_) {
        return; // abandoned
    }
    if (worker_.joinable()) {
        worker_.join(); // it has posted this call and returns at once
    }
    running_ = false;
    const QPointer<QObject> receiver = std::exchange(receiver_, nullptr);
    const std::function<void()> deliver = std::exchange(deliver_, {});
    if (receiver) {
        deliver();
    }
}

void ExchangeRunner::Abandon() {
    if (!running_) {
        return;
    }
    if (worker_.joinable()) {
        worker_.request_stop();
        worker_.join();
    }
    running_ = false;
    ++generation_; // the outcome already posted is dropped on arrival
    receiver_ = nullptr;
    deliver_ = {};
}

void ExchangeRunner::Abandon(const QObject& receiver) {
    if (running_ && receiver_.data() == &receiver) {
        Abandon();
    }
}

ExchangeRunner& InstrumentExchanges() {
    static ExchangeRunner runner;
    return runner;
}
