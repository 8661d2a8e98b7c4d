// The measurement data reception engine, without any user interface.
//
// Start() runs on the caller's thread: it opens the instrument port, reads the slot maps of the
// chosen unit (or of every unit in the unit data mask), the serial number and the temperature unit,
// and starts two workers: the receiver, which fetches the readings one by one, and the writer,
// which writes them as the measurement CSV file. They are joined by a queue of at most
// nine records. From then on the workers own the port until the receiver closes it.
//
// The engine reports to its front end through ReceptionObserver, whose callbacks run on the worker
// threads and must not block (a window posts them to its own thread; a console tool prints them).
// OnEnd comes exactly once per started reception, after both workers have finished their work, the
// port is closed and the file is flushed and closed.
//
// Beyond the bare protocol:
// - a unit that the mask flags but whose slot map is empty gets no record;
// - each reading goes to the writer with its unit and slot, so it is filed there whatever its
//   bytes say;
// - bytes found waiting before a command whose reply is read by count mean the line is out of
//   step: the start fails, or the reception ends as an error, and the reading read last is not
//   written (a record goes to the writer only once the line is found quiet after it);
// - the file is written beside the destination and renamed over it at the end, once it holds a
//   reading (in every outcome) or the reception is complete; a reception that ends before its
//   first reading leaves the destination as it was;
// - a destination that cannot be created or written stops the reception through the cancel flag
//   and ends it as an error; one that is not a file (a folder, a named pipe, a device), a path of
//   more than 299 characters, or one where no file can be created (the file is created first) is
//   refused before anything is sent;
// - Stop releases a receiver that waits behind a stuck writer, so the instrument hears
//   ":MEM:DATA:END" and the port is closed within one reply budget;
// - the engine can be stopped and joined at any moment.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "base/texts.h"
#include "measure/measurement_csv.h"
#include "measure/reading_record.h"
#include "measure/units.h"
#include "transfer/record_queue.h"
#include "transfer/workers.h"

namespace measure {

// The destination path is built in a buffer of 300 bytes.
inline constexpr std::size_t kMaxDestinationPathLength = 299;
// The serial number text holds at most 23 characters; a longer reply is cut.
inline constexpr std::size_t kMaxSerialNumberLength = 23;
inline constexpr std::size_t kSlotMapSize = kSlotsPerUnit / 8;

// Texts of the reception page (English; shown through Translate); "\n" is a line break.
inline constexpr const char* kCheckingDataText =
    K720_TEXT("Messages", "Checking data ..............");
inline constexpr const char* kUsbDisconnectedMessage =
    K720_TEXT("Messages", "Communication Error.  \nUSB disconnected. ");
inline constexpr const char* kCommunicationErrorMessage =
    K720_TEXT("Messages", "Communication Error.  ");
inline constexpr const char* kPathTooLongMessage = K720_TEXT(
    "Messages", "The destination path is too long.  \nA path may have at most 299 characters. ");
inline constexpr const char* kNotAFileMessage =
    K720_TEXT("Messages", "The destination is not a file.  \nChoose another file name. ");
inline constexpr const char* kBusyMessage =
    K720_TEXT("Messages", "A reception is already running.  ");
inline constexpr const char* kDataReceivedMessage = K720_TEXT("Messages", "Data received.  ");
inline constexpr const char* kReceiptCancelledMessage =
    K720_TEXT("Messages", "Data receipt cancelled.  ");
inline constexpr const char* kReceptionErrorMessage =
    K720_TEXT("Messages", "Data reception error.  ");

// folder + separator ("\" on Windows, "/" elsewhere) + file name + ".csv", as the confirmation page
// builds it.
std::string DestinationPath(const std::string& folder, const std::string& fileName);

// Line 1074: "Unit [ C ]" for one unit, "ALL UNITs" for all, in the language in use.
std::string UnitLineText(int selectedUnitCode);
// The status line while a unit is read: "Reading unit [ C ] .......", in the language in use.
std::string ReadingUnitText(int unitIndex);
// Line 1073: "%d / %d".
std::string ProgressText(int received, int total);

// The time-remaining estimate: (total - received) * elapsed / received in integer arithmetic
// (received at least 1; 0 otherwise).
long long RemainingSeconds(int total, int received, long long elapsedSeconds);
// "%d min %d sec" when the minutes are above 0, else "%d sec", in the language in use.
std::string TimeRemainingText(long long remainingSeconds);

// The estimate as the page shows it: a new text only when the elapsed whole seconds differ from
// those of the last text shown (so nothing during the first second, and at most one change per
// elapsed second).
class TimeRemainingEstimate {
public:
    void Reset() { lastShownElapsed_ = 0; }
    std::optional<std::string> Update(int total, int received, long long elapsedSeconds);

private:
    long long lastShownElapsed_ = 0;
};

// Slot maps after the inversion on arrival: bit k of byte j set when slot 8j + k + 1 holds a
// reading.
using SlotMap = std::array<std::uint8_t, kSlotMapSize>;
bool SlotMarked(const SlotMap& map, int slot); // slot 1 to 400
int CountReadings(const SlotMap& map);

// The serial number text of a reply line buffer: "0" when its first 20 bytes are all 0xFF, else
// the text as received, at most 23 characters.
std::string SerialNumberText(const char* buffer, std::size_t size);

enum class StartOutcome {
    Started,            // the workers run; OnEnd will follow
    Busy,               // the previous reception is still running
    PathTooLong,        // more than 299 characters: nothing sent, no file
    NotAFile,           // a folder, a named pipe or a device at the destination: nothing sent
    CannotCreate,       // no file can be created there (DestinationError()): nothing sent
    PortNotOpened,      // "Communication Error.  \nUSB disconnected. "
    CommunicationError, // counting, serial number or temperature unit failed: port closed, no file
};
// The message of a start that failed, in the language in use ("" for Started); for CannotCreate,
// ReceptionEngine's StartMessage names the file and the reason.
const char* StartMessage(StartOutcome outcome);

enum class EndOutcome { Received, Cancelled, Error };

struct ReceptionEnd {
    EndOutcome outcome = EndOutcome::Received;
    bool instrumentFailed = false; // a reading could not be requested or read
    bool fileFailed = false;       // the file could not be created or written
    int fileError = 0;             // the system's error number of the file failure
    int received = 0;
    int total = 0;
    // The readings the file put at the destination holds (0 when none was put there), and their
    // units (bit i for unit i).
    int kept = 0;
    int keptUnitMask = 0;
    std::string fileName; // the destination's name without its folder: "x.csv"
};
// "Data received.  ", "Data receipt cancelled.  " or "Data reception error.  ", in the language
// in use.
const char* EndMessage(EndOutcome outcome);
// The line below the message of a reception cancelled or failed, which may leave a file that looks
// whole (cut between two units): how many readings were kept and where. "733 readings of units A
// to C were kept in pulled_all.csv.", "1 reading of unit A was kept in x.csv.", or, when the
// destination was left as it was, "No reading was kept: x.csv was not written.", in the language
// in use. "" after a complete reception.
std::string KeptReadingsText(const ReceptionEnd& end);

class ReceptionObserver {
public:
    virtual ~ReceptionObserver() = default;
    // Start has opened the port and begins counting (status line kCheckingDataText).
    virtual void OnPortOpened() {}
    // The receiver begins unit `unitIndex` (status line ReadingUnitText).
    virtual void OnUnitStarted(int /*unitIndex*/) {}
    // Once the readings are counted (0 of the total), then after each reading received.
    virtual void OnProgress(int /*received*/, int /*total*/) {}
    // A new time-remaining text, at most once per elapsed second.
    virtual void OnTimeRemaining(const std::string& /*text*/) {}
    // Once per started reception, after both workers have done their work, the port is closed and
    // the file is flushed and closed. The engine's threads may still be returning: Join() (or the
    // next Start) on the owning thread reaps them; called from here, Join does not wait.
    virtual void OnEnd(const ReceptionEnd& end) = 0;
};

struct ReceptionRequest {
    int selectedUnitCode = 1; // 1, 2, 4, ..., 2048, or 4096 for all units
    int unitDataMask = 0;     // for all units: which units hold data (g_unitDataMask)
    int port = 0;             // the instrument port (g_instrumentPort)
    std::string folder;
    std::string fileName; // without ".csv"
    // The date of the file's "Date," line; the PC's local date when the file is created if unset.
    std::optional<CsvDate> fileDate;
};

// The queue between the receiver and the writer.
using RecordQueue = transfer::BoundedQueue<QueuedReading>;

class ReceptionEngine {
public:
    // The observer must outlive the engine's receptions.
    explicit ReceptionEngine(ReceptionObserver& observer) : observer_(observer) {}
    // Stops and joins a running reception.
    ~ReceptionEngine();
    ReceptionEngine(const ReceptionEngine&) = delete;
    ReceptionEngine& operator=(const ReceptionEngine&) = delete;

    // The start of the reception, on the caller's thread (any thread). Reaps the threads of a
    // finished reception first. A Stop during the start is kept: the reception then ends as
    // cancelled before its first reading.
    [[nodiscard]] StartOutcome Start(const ReceptionRequest& request);

    // Asks the receiver to stop after the current record (the Cancel button). Returns at once.
    void Stop() { workers_.Stop(); }
    // Waits until both workers of the last reception have returned (and, should Start still be
    // returning on another thread, until it has). Does nothing when called from an observer
    // callback.
    void Join() { workers_.Join(); }
    // Stop, then Join: afterwards no thread of the engine runs and the port is closed. Returns
    // within one exchange with the instrument (at most its 2-second reply budget) once Start has
    // returned. Call it from the thread that owns the engine (the window closing), not from an
    // observer callback.
    void StopAndJoin() { workers_.StopAndJoin(); }

    // True from a successful Start until OnEnd is delivered.
    bool Running() const { return workers_.Running(); }
    bool StopRequested() const { return workers_.StopRequested(); }

    // The reception's figures, readable from any thread.
    int Total() const { return total_.load(); }
    int Received() const { return received_.load(); }

    // What Start found; stable while the reception runs.
    const UnitCounts& Counts() const { return unitCounts_; }
    const std::string& SerialNumber() const { return serialNumber_; }
    TemperatureUnit Temperature() const { return temperatureUnit_; }
    const std::string& Destination() const { return destinationPath_; }
    // The system's error number of a CannotCreate start.
    int DestinationError() const { return destinationError_; }
    // The message of a start that failed, with the file and the reason for CannotCreate.
    std::string StartMessage(StartOutcome outcome) const;

private:
    bool ReadSlotMap(int unit);
    bool ReadSerialNumber();
    bool ReadTemperatureUnit();
    void ReceiverMain();
    // ":MEM:DATA? number" and its 13 bytes.
    bool ReadReading(int number, ReadingRecord& record);
    void WriterMain();
    void WriterFailed(int error);
    void End();
    bool UnitRead(int unit) const;

    ReceptionObserver& observer_;
    RecordQueue queue_;

    // Set by Start before the workers begin, read-only while they run.
    int selectedUnit_ = 0; // 0..11 or kAllUnits
    int unitDataMask_ = 0;
    std::array<SlotMap, kUnitCount> slotMaps_{};
    UnitCounts unitCounts_{};
    TemperatureUnit temperatureUnit_ = TemperatureUnit::Celsius;
    std::string serialNumber_;
    std::string destinationPath_;
    std::string destinationName_;
    std::optional<CsvDate> fileDate_;
    int destinationError_ = 0;
    // Created by Start before anything is sent, written by the writer worker.
    MeasurementCsvWriter file_;

    // Shared between the threads.
    std::atomic<int> total_{0};
    std::atomic<int> received_{0};
    std::atomic<bool> receptionError_{false};
    std::atomic<bool> fileFailed_{false};
    std::atomic<int> fileError_{0};
    // Set by the writer once its file is in place (or discarded).
    std::atomic<int> kept_{0};
    std::atomic<int> keptUnitMask_{0};

    // The receiver and the writer. Their stop request is the cancel flag, also set when either
    // fails; a stop frees a receiver that waits for room in the queue.
    transfer::Workers workers_{[this] { End(); }};
};

} // namespace measure
