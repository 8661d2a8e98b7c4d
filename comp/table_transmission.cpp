#include "comp/table_transmission.h"

#include <cstring>

#include "comp/table_file.h"
#include "instrument/discovery.h"
#include "link/comm.h"

namespace comp {

const char* EndMessage(TransmissionOutcome outcome) {
    switch (outcome) {
    case TransmissionOutcome::Transferred:
        return Translate(kMessages, kTableTransferredMessage);
    case TransmissionOutcome::Error:
        return Translate(kMessages, kTableTransferErrorMessage);
    case TransmissionOutcome::Stopped:
        return "";
    }
    return Translate(kMessages, kTableTransferErrorMessage);
}

PackedTable PackTableText(std::string_view text) {
    PackedTable packed;
    const ParsedTable parsed = ParseTableText(text);
    if (!parsed.Ok()) {
        packed.message = parsed.message;
        return packed;
    }
    for (std::size_t i = 0; i < packed.records.size(); ++i) {
        const std::optional<EntryRecord> record = PackEntry(parsed.rows[i]);
        if (!record) {
            // The parse leaves only canonical limits within their bounds, which always fit.
            packed.message = Translate(kMessages, kTableTransferErrorMessage);
            return packed;
        }
        packed.records[i] = *record;
    }
    return packed;
}

TableTransmissionEngine::~TableTransmissionEngine() {
    StopAndJoin();
}

TransmissionStart TableTransmissionEngine::Start(std::string tableText, std::stop_token stop) {
    return Begin(0, true, std::move(tableText), std::move(stop));
}

TransmissionStart TableTransmissionEngine::StartOnPort(int port, std::string tableText,
                                                       std::stop_token stop) {
    return Begin(port, false, std::move(tableText), std::move(stop));
}

TransmissionStart TableTransmissionEngine::Begin(int port, bool scan, std::string tableText,
                                                 std::stop_token stop) {
    using Outcome = TransmissionStartOutcome;
    // Reaps the sender of the previous transfer and clears the stop request.
    const transfer::Workers::StartScope starting(workers_);
    if (!starting.Free()) {
        return {Outcome::Busy, ""};
    }
    acknowledged_.store(0);

    // Everything to be sent is known before the instrument is touched.
    PackedTable packed = PackTableText(tableText);
    if (!packed.Ok()) {
        return {Outcome::TableRefused, std::move(packed.message)};
    }
    if (scan) {
        if (PortScan(stop) != 0) {
            if (stop.stop_requested()) {
                return {Outcome::Stopped, ""};
            }
            return {Outcome::ScanFailed, Translate(kMessages, kTransmissionScanFailedMessage)};
        }
        port = g_instrumentPort;
    }
    if (stop.stop_requested() || workers_.StopRequested()) {
        return {Outcome::Stopped, ""};
    }

    // A port that did not open leaves the reply empty: an invalid response.
    (void)CommOpen(port);
    // A reply read with the transfer's would be taken for its answer.
    if (CommPurgeStray() != 0) {
        CommClose();
        return {Outcome::InvalidResponse, Translate(kMessages, kTableInvalidResponseMessage)};
    }
    (void)CommSendCommand(":COMP:TABLE"); // a command not written leaves no reply to read
    char reply[kTableReplySize] = {};
    // A port that failed leaves the reply untouched, and so empty.
    (void)CommReadLine(reply);
    if (CommTimedOut()) {
        CommClose();
        return {Outcome::NoResponse, Translate(kMessages, kTableNoResponseMessage)};
    }
    if (std::strcmp(reply, kTableTransferAccepted) != 0) {
        CommClose();
        return {Outcome::InvalidResponse, Translate(kMessages, kTableInvalidResponseMessage)};
    }
    if (stop.stop_requested() || workers_.StopRequested()) {
        CommClose(); // the instrument abandons the transfer after a quiet while
        return {Outcome::Stopped, ""};
    }

    records_ = packed.records;
    if (!workers_.Launch({{[this] { SenderMain(); }, {}}})) {
        CommClose();
        return {Outcome::Failed, Translate(kMessages, kTableTransferErrorMessage)};
    }
    return {Outcome::Started, ""};
}

void TableTransmissionEngine::SenderMain() {
    TableTransmissionEnd& end = end_;
    end = {};
    end.outcome = TransmissionOutcome::Transferred;
    for (int number = 1; number <= kEntryCount; ++number) {
        if (workers_.StopRequested()) {
            end.outcome = TransmissionOutcome::Stopped;
            break;
        }
        const EntryRecord& record = records_[static_cast<std::size_t>(number - 1)];
        // The acknowledgement is read by count: a byte already waiting would be taken for it.
        if (CommPurgeStray() != 0 || !CommSendBytes(record.data(), record.size())) {
            end.outcome = TransmissionOutcome::Error;
            break;
        }
        std::uint8_t acknowledgement = 0;
        if (!CommReadByte(&acknowledgement) || acknowledgement != kEntryAcknowledgement) {
            end.outcome = TransmissionOutcome::Error; // a missing byte has closed the port already
            break;
        }
        acknowledged_.store(number);
        end.acknowledged = number;
        observer_.OnProgress(number);
    }
    // A byte after the 200th acknowledgement (one acknowledgement sent twice, a late reply) means
    // an acknowledgement was taken for another record's: the transfer is not known to be whole.
    if (end.outcome == TransmissionOutcome::Transferred &&
        CommPurgeStrayFor(kQuietAfterLastAcknowledgementMs) != 0) {
        end.outcome = TransmissionOutcome::Error;
    }
    CommClose();
}

} // namespace comp
