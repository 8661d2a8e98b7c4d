#include "measure/memory_check.h"

#include "instrument/discovery.h"
#include "link/comm.h"
#include "measure/units.h"

int g_unitDataMask = 0;

namespace measure {

int UnitDataMaskOfReply(std::string_view reply) {
    int mask = 0;
    for (int unit = 0; unit < kUnitCount && static_cast<std::size_t>(unit) < reply.size(); ++unit) {
        if (reply[static_cast<std::size_t>(unit)] == '1') {
            mask |= UnitCode(unit);
        }
    }
    return mask;
}

MemoryCheckOutcome CheckMemory(std::stop_token stop) {
    if (PortScan(stop) != 0) {
        return {MemoryCheckStatus::NoInstrument, 0};
    }
    if (stop.stop_requested() || !CommOpen(g_instrumentPort)) {
        return {MemoryCheckStatus::NoResponse, 0};
    }
    char reply[kMemoryCheckReplySize] = {};
    // A command that did not go out, or a reply that could not be read at all (the port is then
    // already closed), counts like a missing reply.
    const bool answered = CommSendCommand(kMemoryCheckCommand) != 0 && CommReadLine(reply) != 0 &&
                          CommTimedOut() == 0;
    CommClose();
    if (!answered) {
        return {MemoryCheckStatus::NoResponse, 0};
    }
    const int mask = UnitDataMaskOfReply(reply);
    g_unitDataMask = mask;
    return {MemoryCheckStatus::Checked, mask};
}

const char* MemoryCheckMessage(MemoryCheckStatus status) {
    switch (status) {
    case MemoryCheckStatus::NoInstrument:
        return Translate(kMessages, kNoInstrumentMessage);
    case MemoryCheckStatus::NoResponse:
        return Translate(kMessages, kNoResponseMessage);
    case MemoryCheckStatus::Checked:
        return "";
    }
    return Translate(kMessages, kNoResponseMessage);
}

} // namespace measure
