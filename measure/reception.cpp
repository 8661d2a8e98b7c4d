#include "measure/reception.h"

#include <bit>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "base/texts.h"
#include "files/path_separator.h"
#include "files/replacement_file.h"
#include "link/comm.h"

namespace measure {

namespace {

// Serial number reply: a 24-byte buffer (23 characters and the terminating NUL).
constexpr std::size_t kSerialBufferSize = kMaxSerialNumberLength + 1;
constexpr std::size_t kSerialFillCheck = 20;
// Temperature unit reply: room for a few more characters than "C", so that a longer reply is
// seen as what it is and never cut down to "C".
constexpr std::size_t kTemperatureBufferSize = 16;

} // namespace

std::string DestinationPath(const std::string& folder, const std::string& fileName) {
    // A root folder ("/", "C:\\") already ends with the separator.
    std::string path = folder;
    if (path.empty() || path.back() != files::kPathSeparator) {
        path += files::kPathSeparator;
    }
    return path + fileName + ".csv";
}

std::string UnitLineText(int selectedUnitCode) {
    const int unit = UnitIndexOfCode(selectedUnitCode);
    if (unit == kAllUnits) {
        return Translate(kMessages, K720_TEXT("Messages", "ALL UNITs"));
    }
    return FillText(kMessages, K720_TEXT("Messages", "Unit [ %1 ]"),
                    {std::string(1, UnitCommandLetter(unit))});
}

std::string ReadingUnitText(int unitIndex) {
    return FillText(kMessages, K720_TEXT("Messages", "Reading unit [ %1 ] ......."),
                    {std::string(1, UnitCommandLetter(unitIndex))});
}

std::string ProgressText(int received, int total) {
    return std::to_string(received) + " / " + std::to_string(total);
}

long long RemainingSeconds(int total, int received, long long elapsedSeconds) {
    if (received < 1) {
        return 0;
    }
    return static_cast<long long>(total - received) * elapsedSeconds / received;
}

std::string TimeRemainingText(long long remainingSeconds) {
    const long long minutes = remainingSeconds / 60;
    const long long seconds = remainingSeconds % 60;
    if (minutes > 0) {
        return FillText(kMessages, K720_TEXT("Messages", "%1 min %2 sec"),
                        {std::to_string(minutes), std::to_string(seconds)});
    }
    return FillText(kMessages, K720_TEXT("Messages", "%1 sec"), {std::to_string(seconds)});
}

std::optional<std::string> TimeRemainingEstimate::Update(int total, int received,
                                                         long long elapsedSeconds) {
    if (received < 1 || elapsedSeconds == lastShownElapsed_) {
        return std::nullopt;
    }
    lastShownElapsed_ = elapsedSeconds;
    return TimeRemainingText(RemainingSeconds(total, received, elapsedSeconds));
}

bool SlotMarked(const SlotMap& map, int slot) {
    if (slot < 1 || slot > kSlotsPerUnit) {
        return false;
    }
    const int bit = slot - 1;
    return ((map[static_cast<std::size_t>(bit / 8)] >> (bit % 8)) & 1U) != 0;
}

int CountReadings(const SlotMap& map) {
    int count = 0;
    for (const std::uint8_t byte : map) {
        count += std::popcount(byte);
    }
    return count;
}

std::string SerialNumberText(const char* buffer, std::size_t size) {
    if (size >= kSerialFillCheck) {
        bool allFilled = true;
        for (std::size_t i = 0; i < kSerialFillCheck; ++i) {
            allFilled = allFilled && static_cast<unsigned char>(buffer[i]) == 0xFF;
        }
        if (allFilled) {
            return "0";
        }
    }
    const std::size_t length = strnlen(buffer, size < kSerialBufferSize ? size : kSerialBufferSize);
    return std::string(buffer, length < kMaxSerialNumberLength ? length : kMaxSerialNumberLength);
}

namespace {

const char* StartMessageInEnglish(StartOutcome outcome) {
    switch (outcome) {
    case StartOutcome::Started:
        return "";
    case StartOutcome::Busy:
        return kBusyMessage;
    case StartOutcome::PathTooLong:
        return kPathTooLongMessage;
    case StartOutcome::NotAFile:
        return kNotAFileMessage;
    case StartOutcome::CannotCreate:
        return kReceptionErrorMessage;
    case StartOutcome::PortNotOpened:
        return kUsbDisconnectedMessage;
    case StartOutcome::CommunicationError:
        return kCommunicationErrorMessage;
    }
    return kCommunicationErrorMessage;
}

const char* EndMessageInEnglish(EndOutcome outcome) {
    switch (outcome) {
    case EndOutcome::Received:
        return kDataReceivedMessage;
    case EndOutcome::Cancelled:
        return kReceiptCancelledMessage;
    case EndOutcome::Error:
        return kReceptionErrorMessage;
    }
    return kReceptionErrorMessage;
}

} // namespace

const char* StartMessage(StartOutcome outcome) {
    return Translate(kMessages, StartMessageInEnglish(outcome));
}

std::string ReceptionEngine::StartMessage(StartOutcome outcome) const {
    if (outcome == StartOutcome::CannotCreate) {
        return files::CannotSaveMessage(destinationPath_, destinationError_);
    }
    return measure::StartMessage(outcome);
}

const char* EndMessage(EndOutcome outcome) {
    return Translate(kMessages, EndMessageInEnglish(outcome));
}

std::string KeptReadingsText(const ReceptionEnd& end) {
    if (end.outcome == EndOutcome::Received) {
        return {};
    }
    const std::string file = files::PathInMessage(end.fileName);
    if (end.kept == 0) {
        return FillText(kMessages,
                        K720_TEXT("Messages", "No reading was kept: %1 was not written."), {file});
    }
    int first = -1;
    int last = -1;
    int count = 0;
    for (int unit = 0; unit < kUnitCount; ++unit) {
        if (UnitHoldsData(end.keptUnitMask, unit)) {
            first = first < 0 ? unit : first;
            last = unit;
            ++count;
        }
    }
    const std::string firstLetter(1, UnitCommandLetter(first));
    const std::string lastLetter(1, UnitCommandLetter(last));
    // Whole sentences by the number of readings and of units, so that each language can word
    // them its own way.
    if (end.kept == 1) {
        if (count == 1) {
            return FillText(kMessages,
                            K720_TEXT("Messages", "1 reading of unit %1 was kept in %2."),
                            {firstLetter, file});
        }
        if (count == 2) {
            return FillText(kMessages,
                            K720_TEXT("Messages", "1 reading of units %1 and %2 was kept in %3."),
                            {firstLetter, lastLetter, file});
        }
        return FillText(kMessages,
                        K720_TEXT("Messages", "1 reading of units %1 to %2 was kept in %3."),
                        {firstLetter, lastLetter, file});
    }
    const std::string kept = std::to_string(end.kept);
    if (count == 1) {
        return FillText(kMessages, K720_TEXT("Messages", "%1 readings of unit %2 were kept in %3."),
                        {kept, firstLetter, file});
    }
    if (count == 2) {
        return FillText(kMessages,
                        K720_TEXT("Messages", "%1 readings of units %2 and %3 were kept in %4."),
                        {kept, firstLetter, lastLetter, file});
    }
    return FillText(kMessages,
                    K720_TEXT("Messages", "%1 readings of units %2 to %3 were kept in %4."),
                    {kept, firstLetter, lastLetter, file});
}

ReceptionEngine::~ReceptionEngine() {
    StopAndJoin();
}

bool ReceptionEngine::UnitRead(int unit) const {
    return selectedUnit_ == kAllUnits ? UnitHoldsData(unitDataMask_, unit) : unit == selectedUnit_;
}

StartOutcome ReceptionEngine::Start(const ReceptionRequest& request) {
    // Reaps the threads of the previous reception and clears the cancel flag.
    const transfer::Workers::StartScope starting(workers_);
    if (!starting.Free()) {
        return StartOutcome::Busy;
    }

    // The unit, the unit line and the destination; the path is checked before anything is sent.
    selectedUnit_ = UnitIndexOfCode(request.selectedUnitCode);
    unitDataMask_ = request.unitDataMask & kUnitMaskBits;
    destinationPath_ = DestinationPath(request.folder, request.fileName);
    destinationName_ = request.fileName + ".csv";
    fileDate_ = request.fileDate;
    total_.store(0);
    received_.store(0);
    unitCounts_.fill(0);
    for (SlotMap& map : slotMaps_) {
        map.fill(0);
    }
    serialNumber_.clear();
    kept_.store(0);
    keptUnitMask_.store(0);
    if (destinationPath_.size() > kMaxDestinationPathLength) {
        return StartOutcome::PathTooLong;
    }
    if (files::KindOfDestination(destinationPath_) == files::DestinationKind::Other) {
        return StartOutcome::NotAFile;
    }
    // The file is created before the instrument is asked anything: a folder that cannot take it
    // is found now, not after the whole transfer.
    destinationError_ = 0;
    if (!file_.Open(destinationPath_)) {
        destinationError_ = file_.Error();
        return StartOutcome::CannotCreate;
    }

    // A start that fails closes the port (closing a closed one is harmless) and removes the file.
    const auto abandon = [this](StartOutcome outcome) {
        CommClose();
        file_.Discard();
        return outcome;
    };
    if (!CommOpen(request.port)) {
        return abandon(StartOutcome::PortNotOpened);
    }
    observer_.OnPortOpened();

    int total = 0;
    for (int unit = 0; unit < kUnitCount; ++unit) {
        if (!UnitRead(unit)) {
            continue;
        }
        if (!ReadSlotMap(unit)) {
            return abandon(StartOutcome::CommunicationError);
        }
        total += unitCounts_[static_cast<std::size_t>(unit)];
    }
    total_.store(total);
    observer_.OnProgress(0, total);
    if (!ReadSerialNumber() || !ReadTemperatureUnit()) {
        return abandon(StartOutcome::CommunicationError);
    }

    receptionError_.store(false);
    fileFailed_.store(false);
    fileError_.store(0);
    queue_.Reset();
    const bool launched = workers_.Launch({
        {[this] { ReceiverMain(); }, {}},
        // Without a writer the receiver already runs: stop it like a writer that failed at once.
        {[this] { WriterMain(); },
         [this](int error) {
             file_.Discard();
             WriterFailed(error);
         }},
    });
    return launched ? StartOutcome::Started : abandon(StartOutcome::CommunicationError);
}

bool ReceptionEngine::ReadSlotMap(int unit) {
    char command[16];
    std::snprintf(command, sizeof command, ":MEM:UNIT? %c", UnitCommandLetter(unit));
    // The map is read by count: bytes waiting before the command would shift it.
    if (CommPurgeStray() != 0 || !CommSendCommand(command)) {
        return false;
    }
    SlotMap& map = slotMaps_[static_cast<std::size_t>(unit)];
    for (std::uint8_t& byte : map) {
        std::uint8_t received = 0;
        if (!CommReadByte(&received)) {
            return false; // the port is closed
        }
        byte = static_cast<std::uint8_t>(~received); // on the wire a 0 bit marks a reading
    }
    unitCounts_[static_cast<std::size_t>(unit)] = CountReadings(map);
    return true;
}

bool ReceptionEngine::ReadSerialNumber() {
    char reply[kSerialBufferSize] = {};
    // Bytes left over from the slot maps (a map sent twice, a stray byte) would be taken for the
    // serial number, and the maps read before may be shifted.
    if (CommPurgeStray() != 0 || !CommSendCommand(":SERIAL?") || !CommReadLine(reply) ||
        CommTimedOut()) {
        return false;
    }
    serialNumber_ = SerialNumberText(reply, sizeof reply);
    return true;
}

bool ReceptionEngine::ReadTemperatureUnit() {
    char reply[kTemperatureBufferSize] = {};
    if (CommPurgeStray() != 0 || !CommSendCommand(":FACT:SYS:UNIT?") || !CommReadLine(reply) ||
        CommTimedOut()) {
        return false;
    }
    if (std::strcmp(reply, "C") == 0) {
        temperatureUnit_ = TemperatureUnit::Celsius;
        return true;
    }
    if (std::strcmp(reply, "F") == 0) {
        temperatureUnit_ = TemperatureUnit::Fahrenheit;
        return true;
    }
    return false;
}

void ReceptionEngine::ReceiverMain() {
    using Clock = std::chrono::steady_clock;
    // Bytes waiting before a command mean the line is out of step with the 13-byte replies (an
    // unexpected reply, a reply longer than a record): the reception ends as an error.
    bool failed = CommPurgeStray() != 0;
    if (!failed) {
        (void)CommSendCommand(":MEM:DATA:START"); // its result is not looked at
    }
    const Clock::time_point start = Clock::now();
    TimeRemainingEstimate estimate;
    const int total = total_.load();
    bool stop = failed;

    // A record goes to the writer only once the line is found quiet after it.
    transfer::RecordsOnHold<QueuedReading> held;
    for (int unit = 0; unit < kUnitCount && !stop; ++unit) {
        const int count = unitCounts_[static_cast<std::size_t>(unit)];
        // A unit without readings (also one the mask flags but whose map is empty) gets no
        // record.
        if (!UnitRead(unit) || count == 0) {
            continue;
        }
        if (workers_.StopRequested()) {
            break;
        }
        observer_.OnUnitStarted(unit);
        const SlotMap& map = slotMaps_[static_cast<std::size_t>(unit)];
        int present = 0;
        for (int slot = 1; slot <= kSlotsPerUnit; ++slot) {
            QueuedReading reading{unit, slot, SlotMarked(map, slot), {}};
            if (reading.marked) {
                // Bytes waiting before the command mean the line is out of step with the 13-byte
                // replies: the record read last may be shifted and is dropped.
                if (CommPurgeStray() != 0) {
                    failed = true;
                    break;
                }
                if (!held.PassOn(queue_)) {
                    stop = true; // the writer gave up (it has set the cancel flag)
                    break;
                }
                if (!ReadReading(unit * kSlotsPerUnit + slot, reading.bytes)) {
                    failed = true;
                    break;
                }
                ++present;
                const int received = received_.fetch_add(1) + 1;
                observer_.OnProgress(received, total);
                const auto elapsed =
                    std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start).count();
                if (auto text = estimate.Update(total, received, elapsed)) {
                    observer_.OnTimeRemaining(*text);
                }
            } else {
                reading.bytes.fill(kEmptySlotMark);
            }
            held.Hold(reading);
            if (present == count) {
                break; // the empty slots after the unit's last reading are not sent
            }
            if (workers_.StopRequested()) {
                stop = true;
                break;
            }
        }
        stop = stop || failed;
    }
    // The last record may have been shifted by bytes that came after it.
    failed = failed || CommPurgeStray() != 0;
    if (!failed) {
        (void)held.PassOn(queue_); // refused only when the writer gave up
    }

    if (failed) {
        // Error end: ":MEM:DATA:END" is not sent.
        CommClose();
        receptionError_.store(true);
        workers_.Stop();
    } else {
        (void)CommSendCommand(":MEM:DATA:END");
        CommClose();
    }
    queue_.Close(); // the writer drains what is left
}

bool ReceptionEngine::ReadReading(int number, ReadingRecord& record) {
    char command[24];
    std::snprintf(command, sizeof command, ":MEM:DATA? %d", number);
    if (!CommSendCommand(command)) {
        return false;
    }
    for (std::uint8_t& byte : record) {
        if (!CommReadByte(&byte)) {
            return false; // the port is closed
        }
    }
    return true;
}

void ReceptionEngine::WriterMain() {
    MeasurementCsvWriter& writer = file_;
    const CsvFileInfo info{serialNumber_, fileDate_ ? *fileDate_ : LocalDateToday(),
                           temperatureUnit_};
    int unitsWritten = 0;
    if (writer.WriteHeader(info, unitCounts_)) {
        QueuedReading reading;
        while (queue_.Pop(reading)) {
            if (!writer.Write(reading)) {
                break;
            }
            unitsWritten |= reading.marked ? 1 << reading.unit : 0;
        }
    }
    if (writer.Failed()) {
        WriterFailed(writer.Error());
    }
    // The file replaces the destination once it holds a reading, in every outcome, or when the
    // reception received everything (a unit without readings gives a file with its header). A
    // reception that ended before its first reading leaves the destination as it was.
    const bool complete = !workers_.StopRequested() && !receptionError_.load();
    if (writer.IsOpen() && (writer.ReadingsWritten() > 0 || complete)) {
        if (writer.Commit()) {
            kept_.store(writer.ReadingsWritten());
            keptUnitMask_.store(unitsWritten);
        } else if (!fileFailed_.load()) {
            WriterFailed(writer.Error());
        }
    } else {
        writer.Discard();
    }
}

// The file cannot take the records: stop the receiver through the cancel flag (it still ends the
// exchange with ":MEM:DATA:END") and release it if it waits on a full queue.
void ReceptionEngine::WriterFailed(int error) {
    fileError_.store(error);
    fileFailed_.store(true);
    workers_.Stop();
    queue_.Abort();
}

void ReceptionEngine::End() {
    ReceptionEnd end;
    end.instrumentFailed = receptionError_.load();
    end.fileFailed = fileFailed_.load();
    end.fileError = fileError_.load();
    end.received = received_.load();
    end.total = total_.load();
    end.kept = kept_.load();
    end.keptUnitMask = keptUnitMask_.load();
    end.fileName = destinationName_;
    if (end.instrumentFailed || end.fileFailed) {
        end.outcome = EndOutcome::Error;
    } else if (workers_.StopRequested()) {
        end.outcome = EndOutcome::Cancelled;
    } else {
        end.outcome = EndOutcome::Received;
    }
    observer_.OnEnd(end);
}

} // namespace measure
