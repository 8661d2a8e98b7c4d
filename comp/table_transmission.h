// The comparator table transmission engine, without any user interface: sends a table text, all
// 200 entries, to the instrument.
//
// Start() runs on the caller's thread (an exchange worker, never the window's thread). It parses
// the text first (the editor's parse: nothing is sent for a text that fails it) and packs the 200
// entry records, then finds the instrument with a port scan, opens its port and opens the transfer
// with ":COMP:TABLE", whose reply must be exactly "OK". Then a worker, the sender, writes each
// entry's five bytes and reads the instrument's one-byte acknowledgement, which must be 0xAA.
// There is no closing command. The Names stay on the PC.
//
// The engine reports to its front end through TableTransmissionObserver, whose callbacks run on
// the sender thread and must not block. OnEnd comes exactly once per started transfer, after the
// port is closed. The text is taken by value before anything is sent: the engine never reads
// g_compTableText.
//
// Beyond the bare protocol:
// - bytes found waiting before ":COMP:TABLE" or before a record mean the line is out of step
//   with the replies: an invalid response before the transfer, an error during it; so does a
//   byte that arrives within kQuietAfterLastAcknowledgementMs of the 200th acknowledgement;
// - Stop() ends the transfer after the acknowledgement in progress (at most one reply budget) and
//   closes the port. The instrument keeps the entries acknowledged so far and abandons the
//   half-done transfer once the line has been quiet for a while;
// - the engine can be stopped and joined at any moment; its destructor does both. Every end
//   leaves the port closed.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <stop_token>
#include <string>
#include <string_view>

#include "base/texts.h"
#include "comp/comp_table.h"
#include "comp/entry_record.h"
#include "transfer/workers.h"

namespace comp {

// Texts of the transmission page (English; shown through Translate); "\n" is a line break.
inline constexpr const char* kCheckingTableText = K720_TEXT("Messages", "Checking data .......");
inline constexpr const char* kTransferringText = K720_TEXT("Messages", "Transferring .......");
// One blank before the line break on this page.
inline constexpr const char* kTransmissionScanFailedMessage =
    K720_TEXT("Messages", "Communication Error. \nIs the USB cable connected?  ");
inline constexpr const char* kTableNoResponseMessage =
    K720_TEXT("Messages", "Communication Error.  \nNo response. ");
inline constexpr const char* kTableInvalidResponseMessage =
    K720_TEXT("Messages", "Communication Error.  \nInvalid response. ");
inline constexpr const char* kTableTransferredMessage =
    K720_TEXT("Messages", "Data transferred.  ");
inline constexpr const char* kTableTransferErrorMessage =
    K720_TEXT("Messages", "Data transfer error.  ");

// The reply that opens a transfer, and the acknowledgement of each record.
inline constexpr const char* kTableTransferAccepted = "OK";
inline constexpr std::uint8_t kEntryAcknowledgement = 0xAA;
// The reply buffer handed to CommReadLine: a longer line is cut, so it is an invalid response.
inline constexpr std::size_t kTableReplySize = 20;
// How long the line must stay quiet after the 200th acknowledgement: many byte times at the line
// speed, and more than a USB serial adapter holds a byte back.
inline constexpr int kQuietAfterLastAcknowledgementMs = 50;

enum class TransmissionStartOutcome {
    Started,      // the sender runs; OnEnd will follow
    Busy,         // the previous transfer is still running: nothing sent
    TableRefused, // the text fails the parse: its message; nothing sent, the port not opened
    // The scan found no instrument: kTransmissionScanFailedMessage, the port is not opened.
    ScanFailed,
    NoResponse,      // no reply line within the budget: kTableNoResponseMessage, port closed
    InvalidResponse, // any other reply than "OK", or stray bytes: kTableInvalidResponseMessage
    Stopped,         // a stop was asked for before the first record: no message, port closed
    Failed,          // the sender could not be started: kTableTransferErrorMessage, port closed
};

struct [[nodiscard]] TransmissionStart {
    TransmissionStartOutcome outcome = TransmissionStartOutcome::Failed;
    // What the user is told (error icon); "" for Started and Stopped.
    std::string message;
    bool Started() const { return outcome == TransmissionStartOutcome::Started; }
};

enum class TransmissionOutcome {
    Transferred, // 200 records acknowledged: kTableTransferredMessage (information icon)
    // A record not written, an acknowledgement missing or not 0xAA, stray bytes:
    // kTableTransferErrorMessage (error icon)
    Error,
    Stopped, // Stop() during the transfer: no message
};

// "Data transferred.  ", "Data transfer error.  ", or "" for Stopped.
const char* EndMessage(TransmissionOutcome outcome);

struct TableTransmissionEnd {
    TransmissionOutcome outcome = TransmissionOutcome::Error;
    int acknowledged = 0; // records the instrument acknowledged with 0xAA
};

class TableTransmissionObserver {
public:
    virtual ~TableTransmissionObserver() = default;
    // After each acknowledged record: 1 after the first, 200 after the last.
    virtual void OnProgress(int /*acknowledged*/) {}
    // Once per started transfer, after the port is closed. The sender may still be returning:
    // Join() (or the next Start) on the owning thread reaps it; called from here, Join does not
    // wait.
    virtual void OnEnd(const TableTransmissionEnd& end) = 0;
};

using EntryRecords = std::array<EntryRecord, kEntryCount>;

// The records of a table text: the editor's parse, then PackEntry of each row. On a fault the
// message says what the user is told, and nothing is to be sent.
struct [[nodiscard]] PackedTable {
    EntryRecords records{};
    std::string message;
    bool Ok() const { return message.empty(); }
};
PackedTable PackTableText(std::string_view text);

class TableTransmissionEngine {
public:
    // The observer must outlive the engine's transfers.
    explicit TableTransmissionEngine(TableTransmissionObserver& observer) : observer_(observer) {}
    // Stops and joins a running transfer.
    ~TableTransmissionEngine();
    TableTransmissionEngine(const TableTransmissionEngine&) = delete;
    TableTransmissionEngine& operator=(const TableTransmissionEngine&) = delete;

    // Parses and packs `tableText`, runs PortScan(stop), then opens the transfer on
    // g_instrumentPort and starts the sender. Blocks for the scan and one reply budget. Reaps the
    // thread of a finished transfer first.
    TransmissionStart Start(std::string tableText, std::stop_token stop = {});
    // The same on `port`, without a scan.
    TransmissionStart StartOnPort(int port, std::string tableText, std::stop_token stop = {});

    // Asks the transfer to end after the acknowledgement in progress. Returns at once. A Stop
    // during Start is kept.
    void Stop() { workers_.Stop(); }
    // Waits until Start has returned on any other thread and the sender has returned. Does
    // nothing when called from an observer callback.
    void Join() { workers_.Join(); }
    // Stop, then Join: afterwards no thread of the engine runs and the port is closed.
    void StopAndJoin() { workers_.StopAndJoin(); }

    // True from a successful Start until OnEnd is delivered.
    bool Running() const { return workers_.Running(); }
    // Records acknowledged so far, readable from any thread.
    int Acknowledged() const { return acknowledged_.load(); }

private:
    TransmissionStart Begin(int port, bool scan, std::string tableText, std::stop_token stop);
    void SenderMain();

    TableTransmissionObserver& observer_;
    EntryRecords records_{};   // set by Start before the sender begins, read-only while it runs
    TableTransmissionEnd end_; // written by the sender, read by the end on its thread

    std::atomic<int> acknowledged_{0};

    // The sender.
    transfer::Workers workers_{[this] { observer_.OnEnd(end_); }};
};

} // namespace comp
