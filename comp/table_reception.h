// The comparator table reception engine, without any user interface: reads the instrument's
// comparator table, all 200 entries, and builds its table text.
//
// Start() runs on the caller's thread (an exchange worker, never the window's thread): it finds the
// instrument with a port scan, opens its port and starts two workers. The reader sends
// ":COMP:TABLE:START", then ":COMP:TABLE? n" for n = 1 to 200, each answered by the entry's five
// bytes, and ":COMP:TABLE:END"; the decoder turns each record into a line of the table text
// ("No Name", canonical limit texts, numbered by arrival). They are joined by a queue of at most
// nine records. Counts beyond the table's bounds are not refused here: the parse of the text
// reports them.
//
// The engine reports to its front end through TableReceptionObserver, whose callbacks run on the
// worker threads and must not block. OnEnd comes exactly once per started reception, after both
// workers have done their work and the port is closed, and hands over the table text: the engine
// never touches g_compTableText, so its owner sets it on its own thread.
//
// Beyond the bare protocol:
// - bytes found waiting before a query (or after the last record) mean the records are out of
//   step: the reception ends as an error, without ":COMP:TABLE:END";
// - Stop() ends the reception after the record in progress (at most one reply budget per byte),
//   tells the instrument the reading ended with ":COMP:TABLE:END" and closes the port;
// - the engine can be stopped and joined at any moment; its destructor does both.
#pragma once

#include <atomic>
#include <stop_token>
#include <string>

#include "base/texts.h"
#include "comp/entry_record.h"
#include "transfer/record_queue.h"
#include "transfer/workers.h"

namespace comp {

// Texts of the reception page (English; shown through Translate); "\n" is a line break.
inline constexpr const char* kPreparingToReceiveText =
    K720_TEXT("Messages", "Preparing to receive .......");
inline constexpr const char* kReceivingText = K720_TEXT("Messages", "Receiving .......");
// No blank before the line break on this page.
inline constexpr const char* kReceptionScanFailedMessage =
    K720_TEXT("Messages", "Communication Error.\nIs the USB cable connected?  ");
inline constexpr const char* kTableReceivedMessage = K720_TEXT("Messages", "Data received.  ");
inline constexpr const char* kTableReceptionErrorMessage =
    K720_TEXT("Messages", "Data reception error.  ");

// The counter of both transfer pages: "%d / 200" with the entries received or sent so far.
std::string EntryCounterText(int entries);

// The query of entry `number` (1 to 200): ":COMP:TABLE? %d".
std::string EntryQuery(int number);

enum class ReceptionStartOutcome {
    Started, // the workers run; OnEnd will follow
    Busy,    // the previous reception is still running: nothing sent
    // The scan found no instrument: kReceptionScanFailedMessage (error icon), the port is not
    // opened.
    ScanFailed,
    Stopped, // a stop was asked for before anything was sent: no message
    Failed,  // no worker could be started: kTableReceptionErrorMessage, port closed
};

struct [[nodiscard]] ReceptionStart {
    ReceptionStartOutcome outcome = ReceptionStartOutcome::Failed;
    const char* message = ""; // what the user is told; "" for Started and Stopped
    bool Started() const { return outcome == ReceptionStartOutcome::Started; }
};

enum class ReceptionOutcome {
    Received, // all 200 records: kTableReceivedMessage (information icon)
    Error,    // a query not written, a byte missing, stray bytes: kTableReceptionErrorMessage
    Stopped,  // Stop() during the reception: no message
};

// "Data received.  ", "Data reception error.  ", or "" for Stopped.
const char* EndMessage(ReceptionOutcome outcome);

struct TableReceptionEnd {
    ReceptionOutcome outcome = ReceptionOutcome::Error;
    int received = 0; // records received and turned into lines
    // The five header lines of a built table text and one line per record received, each with its
    // CR LF; after an error or a stop only the lines of the records received so far.
    std::string text;
};

class TableReceptionObserver {
public:
    virtual ~TableReceptionObserver() = default;
    // After each record received: `received` is 1 after the first, 200 after the last.
    virtual void OnProgress(int /*received*/) {}
    // Once per started reception, after both workers have done their work and the port is closed.
    // The engine's threads may still be returning: Join() (or the next Start) on the owning thread
    // reaps them; called from here, Join does not wait.
    virtual void OnEnd(TableReceptionEnd end) = 0;
};

class TableReceptionEngine {
public:
    // The observer must outlive the engine's receptions.
    explicit TableReceptionEngine(TableReceptionObserver& observer) : observer_(observer) {}
    // Stops and joins a running reception.
    ~TableReceptionEngine();
    TableReceptionEngine(const TableReceptionEngine&) = delete;
    TableReceptionEngine& operator=(const TableReceptionEngine&) = delete;

    // PortScan(stop), then the reception on g_instrumentPort. Blocks for the scan only. Reaps the
    // threads of a finished reception first. A stop request (through `stop` or Stop()) before the
    // workers send anything ends it as Stopped.
    ReceptionStart Start(std::stop_token stop = {});
    // The same on `port`, without a scan (the instrument is known to be there).
    ReceptionStart StartOnPort(int port, std::stop_token stop = {});

    // Asks the reception to end after the record in progress. Returns at once. A Stop during Start
    // is kept.
    void Stop() { workers_.Stop(); }
    // Waits until Start has returned on any other thread and the workers of the last reception
    // have returned. Does nothing when called from an observer callback.
    void Join() { workers_.Join(); }
    // Stop, then Join: afterwards no thread of the engine runs and the port is closed. Returns
    // within one reply budget of the exchange in progress once Start has returned; call it from
    // the owning thread, not from an observer callback.
    void StopAndJoin() { workers_.StopAndJoin(); }

    // True from a successful Start until OnEnd is delivered.
    bool Running() const { return workers_.Running(); }
    // Records received so far, readable from any thread.
    int Received() const { return received_.load(); }

private:
    ReceptionStart Begin(int port, bool scan, std::stop_token stop);
    void ReaderMain();
    // The stray-byte check, the query and its five bytes. False on a failure (the port is then
    // closed, or closes right after).
    bool ReadRecord(int number, EntryRecord& record);
    void DecoderMain();
    void End();

    TableReceptionObserver& observer_;
    transfer::BoundedQueue<EntryRecord> queue_;

    // Written by the decoder before it finishes, read by the end.
    std::string text_;
    int lines_ = 0;

    // Shared between the threads.
    std::atomic<bool> failed_{false};
    std::atomic<bool> stopped_{false};
    std::atomic<int> received_{0};

    // The reader and the decoder; a stop frees a reader that waits for room in the queue.
    transfer::Workers workers_{[this] { End(); }};
};

} // namespace comp
