#include "measure/deletion.h"

#include <array>
#include <cstring>
#include <vector>

#include "link/comm.h"
#include "measure/memory_check.h"
#include "measure/reception.h"
#include "measure/units.h"

namespace measure {

namespace {

constexpr std::array<DeletionReport, 6> kReports = {{
    {DeletionOutcome::Deleted, "", DeletionIcon::None, nullptr, DeletionNext::Erased},
    {DeletionOutcome::NoResponse, kNoResponseMessage, DeletionIcon::Warning, kProceedQuestionText,
     DeletionNext::StayOnPage},
    {DeletionOutcome::InvalidResponse, kInvalidResponseMessage, DeletionIcon::Warning,
     kReadyAgainText, DeletionNext::StayOnPage},
    {DeletionOutcome::PortNotOpened, kUsbDisconnectedMessage, DeletionIcon::Error,
     kProceedQuestionText, DeletionNext::StayOnPage},
    {DeletionOutcome::CommunicationFailure, kCommunicationErrorMessage, DeletionIcon::Error,
     nullptr, DeletionNext::Failed},
    // Only reachable when the unit selection was out of date: it checks the memory again.
    {DeletionOutcome::NothingToDelete, "", DeletionIcon::None, nullptr, DeletionNext::Erased},
}};

constexpr bool InOutcomeOrder() {
    for (std::size_t i = 0; i < kReports.size(); ++i) {
        if (kReports[i].outcome != static_cast<DeletionOutcome>(i)) {
            return false;
        }
    }
    return true;
}
static_assert(InOutcomeOrder(), "one report per outcome, in the order of DeletionOutcome");

// The units a request names, in the order they are cleared; empty for an unknown code.
std::vector<int> UnitsToClear(const DeletionRequest& request) {
    std::vector<int> units;
    if (request.selectedUnitCode == kAllUnitsCode) {
        for (int index = 0; index < kUnitCount; ++index) {
            if (UnitHoldsData(request.unitDataMask, index)) {
                units.push_back(index);
            }
        }
    } else if (IsUnitCode(request.selectedUnitCode)) {
        units.push_back(UnitIndexOfCode(request.selectedUnitCode));
    }
    return units;
}

} // namespace

DeletionReport DeletionReportOf(DeletionOutcome outcome) {
    DeletionReport report = kReports.at(static_cast<std::size_t>(outcome));
    report.message = Translate(kMessages, report.message);
    if (report.statusLine != nullptr) {
        report.statusLine = Translate(kMessages, report.statusLine);
    }
    return report;
}

std::string ClearCommand(int index) {
    return std::string(":MEM:CLEAR ") + UnitCommandLetter(index);
}

std::string DeletionUnitText(int selectedUnitCode) {
    if (selectedUnitCode == kAllUnitsCode) {
        return Translate(kMessages, K720_TEXT("Messages", "This will delete ALL UNITs."));
    }
    if (!IsUnitCode(selectedUnitCode)) {
        return {};
    }
    return FillText(kMessages, K720_TEXT("Messages", "This will delete unit [ %1 ]."),
                    {UnitDisplayLetter(UnitIndexOfCode(selectedUnitCode))});
}

DeletionOutcome DeleteUnits(const DeletionRequest& request, std::stop_token stop) {
    const std::vector<int> units = UnitsToClear(request);
    // Decided before the port is touched: nothing would be sent.
    if (units.empty()) {
        return request.selectedUnitCode == kAllUnitsCode ? DeletionOutcome::NothingToDelete
                                                         : DeletionOutcome::CommunicationFailure;
    }
    if (stop.stop_requested()) {
        return DeletionOutcome::CommunicationFailure;
    }
    if (!CommOpen(request.port)) {
        return DeletionOutcome::PortNotOpened;
    }
    char reply[kDeletionReplySize] = {};
    for (const int unit : units) {
        if (stop.stop_requested()) {
            CommClose();
            return DeletionOutcome::CommunicationFailure;
        }
        // A late reply of the previous command would otherwise be taken for this one's answer.
        if (CommPurgeStray() != 0) {
            CommClose();
            return DeletionOutcome::InvalidResponse;
        }
        if (!CommSendCommand(ClearCommand(unit).c_str())) {
            CommClose();
            return DeletionOutcome::CommunicationFailure;
        }
        // A failed read has closed the port already.
        if (!CommReadLine(reply)) {
            return DeletionOutcome::CommunicationFailure;
        }
        // Within the sequence only the text counts (a time-out leaves no "OK" as a rule);
        // whether the read timed out is judged for the last one below.
        if (std::strcmp(reply, kDeletionAcknowledgement) != 0) {
            break;
        }
    }
    CommClose();
    if (CommTimedOut()) {
        return DeletionOutcome::NoResponse;
    }
    return std::strcmp(reply, kDeletionAcknowledgement) == 0 ? DeletionOutcome::Deleted
                                                             : DeletionOutcome::InvalidResponse;
}

} // namespace measure
