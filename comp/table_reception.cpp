#include "comp/table_reception.h"

#include "comp/table_file.h"
#include "instrument/discovery.h"
#include "link/comm.h"

namespace comp {

std::string EntryCounterText(int entries) {
    return std::to_string(entries) + " / " + std::to_string(kEntryCount);
}

std::string EntryQuery(int number) {
    return ":COMP:TABLE? " + std::to_string(number);
}

const char* EndMessage(ReceptionOutcome outcome) {
    switch (outcome) {
    case ReceptionOutcome::Received:
        return Translate(kMessages, kTableReceivedMessage);
    case ReceptionOutcome::Error:
        return Translate(kMessages, kTableReceptionErrorMessage);
    case ReceptionOutcome::Stopped:
        return "";
    }
    return Translate(kMessages, kTableReceptionErrorMessage);
}

TableReceptionEngine::~TableReceptionEngine() {
    StopAndJoin();
}

ReceptionStart TableReceptionEngine::Start(std::stop_token stop) {
    return Begin(0, true, std::move(stop));
}

ReceptionStart TableReceptionEngine::StartOnPort(int port, std::stop_token stop) {
    return Begin(port, false, std::move(stop));
}

ReceptionStart TableReceptionEngine::Begin(int port, bool scan, std::stop_token stop) {
    // Reaps the threads of the previous reception and clears the stop request.
    const transfer::Workers::StartScope starting(workers_);
    if (!starting.Free()) {
        return {ReceptionStartOutcome::Busy, ""};
    }
    failed_.store(false);
    stopped_.store(false);
    received_.store(0);

    if (scan) {
        if (PortScan(stop) != 0) {
            if (stop.stop_requested()) {
                return {ReceptionStartOutcome::Stopped, ""};
            }
            return {ReceptionStartOutcome::ScanFailed,
                    Translate(kMessages, kReceptionScanFailedMessage)};
        }
        port = g_instrumentPort;
    }
    if (stop.stop_requested() || workers_.StopRequested()) {
        return {ReceptionStartOutcome::Stopped, ""};
    }
    // A port that does not open makes the first query fail: the reception ends as an error.
    (void)CommOpen(port);

    queue_.Reset();
    text_.clear();
    lines_ = 0;
    const bool launched = workers_.Launch({
        {[this] { DecoderMain(); }, {}},
        // Without a reader the decoder already runs: end it as after a reader that failed at once.
        {[this] { ReaderMain(); },
         [this](int) {
             CommClose();
             failed_.store(true);
             queue_.Close();
         }},
    });
    if (!launched) {
        CommClose();
        return {ReceptionStartOutcome::Failed, Translate(kMessages, kTableReceptionErrorMessage)};
    }
    return {ReceptionStartOutcome::Started, ""};
}

void TableReceptionEngine::ReaderMain() {
    const bool stoppedBeforeStart = workers_.StopRequested();
    bool failed = false;
    bool stopped = stoppedBeforeStart;
    if (!stopped) {
        (void)CommSendCommand(":COMP:TABLE:START"); // no reply; its result is not looked at
    }
    // A record goes to the decoder only once the line is found quiet after it.
    transfer::RecordsOnHold<EntryRecord> held;
    for (int number = 1; number <= kEntryCount && !stopped; ++number) {
        if (workers_.StopRequested()) {
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
            stopped = true; // the queue was closed: nothing more can be kept
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
}

void TableReceptionEngine::End() {
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
    observer_.OnEnd(std::move(end));
}

} // namespace comp
