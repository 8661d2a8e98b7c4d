// The deletion of measurement data in the instrument: ":MEM:CLEAR X" for one unit, or for every
// unit that holds data, each acknowledged with "OK". The deletion page and k720ctl run the same
// exchange and map its outcome through the same table to their message, status line and next
// step.
#pragma once

#include <cstddef>
#include <stop_token>
#include <string>

#include "base/texts.h"

namespace measure {

// The reply buffer handed to CommReadLine: a longer line is cut, so it is an invalid response.
inline constexpr std::size_t kDeletionReplySize = 20;
inline constexpr const char* kDeletionAcknowledgement = "OK";

// Status line texts of the deletion page (English; shown through Translate).
inline constexpr const char* kProceedQuestionText =
    K720_TEXT("Messages", "Do you want to proceed?");
inline constexpr const char* kDeletingText = K720_TEXT("Messages", "Deleting ...");
inline constexpr const char* kReadyAgainText = K720_TEXT("Messages", "Ready?");
inline constexpr const char* kInvalidResponseMessage =
    K720_TEXT("Messages", "Communication Error.  \nInvalid response. ");

enum class DeletionOutcome {
    Deleted,              // every command was answered exactly "OK"
    NoResponse,           // the last reply did not come within the reply budget
    InvalidResponse,      // a reply other than exactly "OK", or stray bytes before a command
    PortNotOpened,        // the instrument's port could not be opened: nothing sent
    CommunicationFailure, // a command did not go out, the port failed, an unknown unit code, or
                          // stopped on request
    NothingToDelete,      // all units, but the unit data mask names none: nothing sent
};

enum class DeletionIcon { None, Warning, Error };

// Where the deletion page goes once the message is closed.
enum class DeletionNext {
    Erased,     // on, as after a deletion (the unit selection checks the memory again)
    Failed,     // back to the unit selection, which checks the memory again
    StayOnPage, // the page offers OK again
};

// What a front end does with an outcome: the message box (none when `message` is empty), the
// status line afterwards (unchanged when nullptr) and where the page goes next.
struct DeletionReport {
    DeletionOutcome outcome;
    const char* message;
    DeletionIcon icon;
    const char* statusLine;
    DeletionNext next;
};

// The outcome's report, its texts in the language in use.
DeletionReport DeletionReportOf(DeletionOutcome outcome);

struct DeletionRequest {
    int selectedUnitCode = 1; // 1, 2, 4, ..., 2048, or 4096 for all units
    int unitDataMask = 0;     // for all units: the units that hold data (g_unitDataMask)
    int port = 0;             // the instrument port (g_instrumentPort); no scan is run
};

// Opens the port, sends the unit's ":MEM:CLEAR X" (for all units, one command per unit of the
// mask in bit order, stopping at the first reply that is not exactly "OK"), closes the port and
// judges the last reply. Before each command, bytes still waiting from an earlier reply mean the
// line is out of step: the deletion ends there as an invalid response. A stop request lets the
// reply in progress come in (at most one reply budget), sends nothing more and ends as a
// communication failure. The port is closed whatever the outcome.
[[nodiscard]] DeletionOutcome DeleteUnits(const DeletionRequest& request,
                                          std::stop_token stop = {});

// The command that clears unit `index` (0 to 11): ":MEM:CLEAR A" ... ":MEM:CLEAR P".
std::string ClearCommand(int index);

// What the deletion page names on line 1025: "This will delete unit [ b ]." or "This will delete
// ALL UNITs." (in the language in use); "" for a code that names no unit.
std::string DeletionUnitText(int selectedUnitCode);

} // namespace measure
