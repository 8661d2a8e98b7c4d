// Windows asks a window program to end with WM_CLOSE, WM_QUERYENDSESSION and WM_ENDSESSION, which
// Qt delivers as close events of its windows: the main window's own close does the work.
#include <QObject>

#include "app/termination_requests.h"

bool TakeTerminationRequests(QObject& /*context*/, std::function<void()> /*onRequest*/,
                             std::string* /*whyNot*/) {
    return true;
}
