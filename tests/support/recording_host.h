// Stands in for the main window of a page tested on its own: records the page-switch requests
// (code, argument) it receives.
#pragma once

#include <cstddef>
#include <ostream>
#include <utility>
#include <vector>

#include <QCoreApplication>

#include "controls/page.h"
#include "controls/window_messages.h"

namespace app_test {

class RecordingHost : public QObject {
public:
    struct Request {
        int code;
        int argument;
        bool operator==(const Request&) const = default;
    };

    // The requests posted so far, once they have been delivered; the list is emptied.
    std::vector<Request> Take() {
        QCoreApplication::sendPostedEvents(this, EventType(WM_PAGE_SWITCH));
        return std::exchange(requests_, {});
    }
    // How many requests have arrived without delivering the posted ones.
    std::size_t Arrived() const { return requests_.size(); }

protected:
    bool event(QEvent* event) override {
        if (event->type() == EventType(WM_PAGE_SWITCH)) {
            const auto* request = static_cast<const PageSwitchEvent*>(event);
            requests_.push_back({request->Code(), request->Argument()});
            return true;
        }
        return QObject::event(event);
    }

private:
    std::vector<Request> requests_;
};

inline std::ostream& operator<<(std::ostream& out, const RecordingHost::Request& request) {
    return out << "request " << request.code << " (" << request.argument << ")";
}

} // namespace app_test
