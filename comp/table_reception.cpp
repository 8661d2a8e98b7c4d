#include "comp/table_reception.h"

#include <system_error>

#include "comp/table_file.h"
#include "instrument/discovery.h"
#include "link/comm.h"

namespace comp {

namespace {

// The engine whose worker runs on this thread (none on other threads).
thread_local const TableReceptionEngine* t_workerOf = nullptr;

} // namespace

std::string EntryCounterText(int entries) {
    return std::to_string(entries) + " / " + std::to_string(kEntryCount);
}

std::string EntryQuery(int number) {
    return ":COMP:TABLE? " + std::to_string(number);
}

const char* EndMessage(ReceptionOutcome outcome) {
    switch (outcome) {
    case ReceptionOutcome::Received:
        return kTableReceivedMessage;
    case ReceptionOutcome::Error:
        return kTableReceptionErrorMessage;
    case ReceptionOutcome::Stopped:
        return "";
    }
    return kTableReceptionErrorMessage;
}

TableReceptionEngine::~TableReceptionEngine() {
    StopAndJoin();
}

void TableReceptionEngine::Stop() {
    stopRequested_.store(true);
    // A reader waiting for room stops waiting; the decoder drains what is queued.
    queue_.StopWaitingForRoom();
}

void TableReceptionEngine::Join() {
    // From an observer callback (a worker thread) a join could wait on itself.
    if (t_workerOf == this) {
        return;
    }
    { const std::lock_guard waitForStart(startLock_); }
    JoinWorkers();
}

void TableReceptionEngine::JoinWorkers() {
    std::thread reader;
    std::thread decoder;
    {
        const std::lock_guard lock(threadsLock_);
        reader = std::move(reader_);
        decoder = std::move(decoder_);
    }
    if (reader.joinable()) {
        reader.join();
    }
    if (decoder.joinable()) {
        decoder.join();
    }
}

void TableReceptionEngine::StopAndJoin() {
    Stop();
    Join();
}

ReceptionStart TableReceptionEngine::Start(std::stop_token stop) {
    return Begin(0, true, std::move(stop));
}

ReceptionStart TableReceptionEngine::StartOnPort(int port, std::stop_token stop) {
    return Begin(port, false, std::move(stop));
}

ReceptionStart TableReceptionEngine::Begin(int port, bool scan, std::stop_token stop) {
    const std::lock_guard starting(startLock_);
    if (running_.load()) {
        return {ReceptionStartOutcome::Busy, ""};
    }
    JoinWorkers(); // the threads of the previous reception have done their work; reap them
    stopRequested_.store(false);
    failed_.store(false);
    stopped_.store(false);
    received_.store(0);

    if (scan) {
        if (PortScan(stop) != 0) {
            if (stop.stop_requested()) {
                return {ReceptionStartOutcome::Stopped, ""};
            }
            return {ReceptionStartOutcome::ScanFailed, kReceptionScanFailedMessage};
        }
        port = g_instrumentPort;
    }
    if (stop.stop_requested() || stopRequested_.load()) {
        return {ReceptionStartOutcome::Stopped, ""};
    }
    // A port that does not open makes the first query fail: the reception ends as an error.
    (void)CommOpen(port);

    queue_.Reset();
    text_.clear();
    lines_ = 0;
    workersLeft_.store(2);
    running_.store(true);
    bool readerStarted = false;
    {
        const std::lock_guard lock(threadsLock_);
        try {
            decoder_ = std::thread([this] { DecoderMain(); });
        } catch (const std::system_error&) {
            CommClose();
            running_.store(false);
            return {ReceptionStartOutcome::Failed, kTableReceptionErrorMessage};
        }
        try {
            reader_ = std::thread([this] { ReaderMain(); });
            readerStarted = true;
        } catch (const std::system_error&) {
            // Ended below, outside the lock: the end may be reported from here.
        }
    }
    if (!readerStarted) {
        // The decoder already runs: end it as after a reader that failed at once.
        CommClose();
        failed_.store(true);
        queue_.Close();
        Finish();
    }
    return {ReceptionStartOutcome::Started, ""};
}

void TableReceptionEngine::ReaderMain() {
    t_workerOf = this;
    const bool stoppedBeforeStart = stopRequested_.load();
    bool failed = false;
    bool stopped = stoppedBeforeStart;
    if (!stopped) {
        (void)CommSendCommand(":COMP:TABLE:START"); // no reply; its result is not looked at
    }
    // A record goes to the decoder only once the line is found quiet after it.
    measure::RecordsOnHold<EntryRecord> held;
    for (int number = 1; number <= kEntryCount && !stopped; ++number) {
        if (stopRequested_.load()) {
            stopped = true;
            break;
        }
        // The records have no framing: bytes waiting before the query would shift this one, and
        // the one read last may already have been shifted.
        if (CommPurgeStray() != 0) {
            failed = true;
            break;
        }
        if (!held.PassOn(queue_)) {
            stopped = true; // stopped while the queue was full: the record is dropped
            break;
        }
        EntryRecord record{};
        if (!ReadRecord(number, record)) {
            failed = true;
            break;
        }
        held.Hold(record);
        received_.store(number);
        observer_.OnProgress(number);
    }
    // Bytes after the last record mean it may already have been shifted.
    if (!failed && CommPurgeStray() != 0) {
        failed = true;
    }
    if (!failed && !held.PassOn(queue_)) {
        stopped = true;
    }
    if (failed) {
        // The failure end: ":COMP:TABLE:END" is not sent.
        CommClose();
        failed_.store(true);
    } else {
        if (!stoppedBeforeStart) {
            (void)CommSendCommand(":COMP:TABLE:END");
        }
        CommClose();
        stopped_.store(stopped);
    }
    queue_.Close(); // the decoder drains what is left
    Finish();
}

bool TableReceptionEngine::ReadRecord(int number, EntryRecord& record) {
    if (!CommSendCommand(EntryQuery(number).c_str())) {
        return false;
    }
    for (std::uint8_t& byte : record) {
        if (!CommReadByte(&byte)) {
            return false; // the serial module has closed the port
        }
    }
    return true;
}

void TableReceptionEngine::DecoderMain() {
    t_workerOf = this;
    std::string text = BuiltTableHeader();
    int lines = 0;
    EntryRecord record{};
    while (queue_.Pop(record)) {
        ++lines;
        text += EntryLine(lines, RowOfEntry(UnpackEntry(record)));
        text += kTableLineEnd;
    }
    text_ = std::move(text);
    lines_ = lines;
    Finish();
}

void TableReceptionEngine::Finish() {
    if (workersLeft_.fetch_sub(1) != 1) {
        return;
    }
    TableReceptionEnd end;
    if (failed_.load()) {
        end.outcome = ReceptionOutcome::Error;
    } else if (stopped_.load()) {
        end.outcome = ReceptionOutcome::Stopped;
    } else {
        end.outcome = ReceptionOutcome::Received;
    }
    end.received = lines_;
    end.text = std::move(text_);
    running_.store(false);
    observer_.OnEnd(std::move(end));
}

} // namespace comp
