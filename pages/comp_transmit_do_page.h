// CPpgCompTransmitDo: reads the instrument's comparator table, all 200 entries; started by
// WM_COMP_RECEIVE_START, ends with request 31 (failed) or 32 (received). On a received table the
// page puts the engine's table text into g_compTableText before posting 32, so the text is only
// ever written on this thread.
#pragma once

#include <memory>
#include <string>

#include "comp/table_reception.h"
#include "pages/comp_transfer_page.h"

class CPpgCompTransmitDo : public CCompTransferPage {
    Q_OBJECT

public:
    explicit CPpgCompTransmitDo(QWidget* parent = nullptr);
    // Stops a running reception first.
    ~CPpgCompTransmitDo() override;

    // For the main window closing: waits for a start in progress, stops a running reception and
    // joins its workers (the port is closed), then drops every report still queued, so no message
    // follows. Returns within one exchange with the instrument; at once when nothing runs.
    void StopTransfer();

protected:
    bool event(QEvent* event) override;

private:
    class EngineReports;

    void StartReception();
    void StartEnded(const comp::ReceptionStart& start);
    // The workers' reports.
    void ShowReceived(int received);
    void WorkersEnded(comp::TableReceptionEnd end);
    void EndReception();

    // The reports outlive the engine that makes them.
    std::unique_ptr<EngineReports> reports_;
    comp::TableReceptionEngine engine_;
    comp::TableReceptionEnd end_;
};
