// What the history records of where a read-out came from: this PC's name and the time, per
// system.
#pragma once

#include <string>

#include "history/store.h"

namespace history {

// The PC's host name; "" when the system gives none.
std::string HostName();
// The time now in UTC, "2026-12-08T09:05:00Z".
std::string UtcNowText();

// The origin of a read-out of `fileName` made now by this program on this PC.
ReadoutOrigin OriginNow(const std::string& fileName, const std::string& program);

} // namespace history
