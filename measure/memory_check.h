// The memory check: which of the twelve memory units hold data, asked with
// ":MEM:CHECK?" after a port scan. The unit selection pages (and the command-line tool) map the
// outcome to their looks and messages.
#pragma once

#include <cstddef>
#include <stop_token>
#include <string_view>

#include "base/texts.h"

// Bit i set when memory unit i holds data (A = bit 0 ... P = bit 11). Written only by a memory
// check that got a reply (it is cleared first); a failed check leaves it as it was. Read by the
// reception and the deletion for "ALL UNITs". Used on the user-interface thread.
extern int g_unitDataMask;

namespace measure {

inline constexpr const char* kMemoryCheckCommand = ":MEM:CHECK?";
// The reply buffer: twelve flags and the terminating NUL; a longer reply is cut.
inline constexpr std::size_t kMemoryCheckReplySize = 13;

// Texts of the unit selection pages (English; shown through Translate); "\n" is a line break.
inline constexpr const char* kNoInstrumentMessage =
    K720_TEXT("Messages", "Communication Error. \nIs the USB cable connected?  ");
inline constexpr const char* kNoResponseMessage =
    K720_TEXT("Messages", "Communication Error.  \nNo response. ");
inline constexpr const char* kCheckingUnitsText = K720_TEXT("Messages", "Checking data .......");
inline constexpr const char* kSelectUnitToReadText = K720_TEXT("Messages", "Select UNIT to read.");
inline constexpr const char* kSelectUnitToDeleteText =
    K720_TEXT("Messages", "Select UNIT to delete.");
inline constexpr const char* kNoDataText = K720_TEXT("Messages", "No Data.");

enum class MemoryCheckStatus {
    NoInstrument, // the port scan found no instrument
    NoResponse,   // the port did not open, the command did not go out, or no reply came in time
    Checked,      // the reply was read; unitDataMask holds its flags
};

struct MemoryCheckOutcome {
    MemoryCheckStatus status = MemoryCheckStatus::NoResponse;
    int unitDataMask = 0; // meaningful for Checked
};

// The unit data mask of a reply: character i ("1" means data) of the first twelve; any other
// character, or a position beyond the end of the reply, means no data.
int UnitDataMaskOfReply(std::string_view reply);

// Runs PortScan(), then on g_instrumentPort: open, ":MEM:CHECK?", read the reply, close. Sets
// g_unitDataMask only when the outcome is Checked. Blocks for at most the scan and one reply
// budget. A stop request ends it after the exchange in progress, as NoInstrument during the scan
// and as NoResponse after it, with nothing more sent.
[[nodiscard]] MemoryCheckOutcome CheckMemory(std::stop_token stop = {});

// The message of a failed check, in the language in use ("" for Checked).
const char* MemoryCheckMessage(MemoryCheckStatus status);

} // namespace measure
