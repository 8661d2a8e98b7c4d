// CPpgCompTransmitSend: sends the edited comparator table to the instrument, all 200 entries;
// started by WM_COMP_SEND_START, ends with request 28 (could not start) or 29 (ended). The table
// text is read from g_compTableText on this thread before the start and handed to the engine by
// value.
#pragma once

#include <memory>

#include "comp/table_transmission.h"
#include "pages/comp_transfer_page.h"

class CPpgCompTransmitSend : public CCompTransferPage {
    Q_OBJECT

public:
    explicit CPpgCompTransmitSend(QWidget* parent = nullptr);
    // Stops a running transfer first.
    ~CPpgCompTransmitSend() override;

    // For the main window closing: waits for a start in progress, stops a running transfer and
    // joins its sender (the port is closed), then drops every report still queued, so no message
    // follows. Returns within one exchange with the instrument; at once when nothing runs.
    void StopTransfer();

protected:
    bool event(QEvent* event) override;

private:
    class EngineReports;

    void StartTransfer();
    void StartEnded(const comp::TransmissionStart& start);
    // The sender's reports.
    void ShowSent(int acknowledged);
    void SenderEnded(comp::TransmissionOutcome outcome);
    void EndTransfer();

    // The reports outlive the engine that makes them.
    std::unique_ptr<EngineReports> reports_;
    comp::TableTransmissionEngine engine_;
    comp::TransmissionOutcome outcome_ = comp::TransmissionOutcome::Error;
};
