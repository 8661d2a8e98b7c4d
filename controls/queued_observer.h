// The window's side of a threaded transfer: an engine's observer whose every report reaches the
// page as a call queued to the page's thread. The worker never waits for the page; the reports
// arrive in the order they were made, each after whatever the page is doing. Those still queued
// when the page drops them (its transfer stopped and joined) or when the observer goes never
// arrive.
//
// A page derives its observer from QueuedObserver<EngineObserver, Page> and overrides each report
// with Deliver([...](Page& page) { ... }); the observer must outlive the engine that reports to it.
#pragma once

#include <utility>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

template <class Observer, class Page>
class QueuedObserver : public Observer {
public:
    // Made on the page's thread, where the reports then run.
    explicit QueuedObserver(Page& page) : page_(page) {}

    // Drops every report still queued. On the page's thread, once the workers have been joined.
    void DropQueued() { QCoreApplication::removePostedEvents(&mailbox_, QEvent::MetaCall); }

protected:
    // Queues `report(page)` to the page's thread. Safe from any thread; returns at once.
    template <class Report>
    void Deliver(Report report) {
        QMetaObject::invokeMethod(
            &mailbox_, [page = &page_, report = std::move(report)]() mutable { report(*page); },
            Qt::QueuedConnection);
    }

private:
    Page& page_;
    // Lives on the page's thread: the calls queued to it run there, and go with it.
    QObject mailbox_;
};
