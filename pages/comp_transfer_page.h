// The shape shared by the two comparator table transfer pages, which have no buttons: a heading,
// a status line, a counter of the entries done ("%d / 200") and a progress bar over the 200
// entries.
//   CPpgCompTransmitDo    reads the instrument's table (comp_transmit_do_page.h)
//   CPpgCompTransmitSend  sends the edited table to the instrument (comp_transmit_send_page.h)
//
// Both start their engine 10 ms after their start notice, through the exchange runner (the start
// scans the ports and opens the transfer), take the engine's reports as queued calls
// (QueuedObserver), and show the end message 100 ms after the engine's end report.
#pragma once

#include <QTimer>

#include "controls/page.h"
#include "resources/layouts/comp_layouts.h"

class QLabel;
class QProgressBar;

class CCompTransferPage : public CPage {
    Q_OBJECT

public:
    static constexpr int kEntries = 200;
    // From the start notice to the engine's start.
    static constexpr int kStartDelayMs = 10;
    // From the engine's end report to the end message.
    static constexpr int kEndDelayMs = 100;

    CCompTransferPage(const DialogResource& resource, const CompTransferIds& ids,
                      const char* restText, QWidget* parent);

    // From the start notice until the page has posted its last request.
    bool TransferRunning() const { return active_; }

    QLabel* StatusLine() const;
    QLabel* Counter() const;
    QProgressBar* ProgressBar() const;

protected:
    // The counter and the bar after `entries` entries received or sent.
    void ShowEntries(int entries);
    // The status line at rest, the counter empty, the bar at 0.
    void ShowAtRest();
    // Drops the start still waiting and the end message still due; the page drops its queued
    // reports with them.
    void DropPendingSteps();

    QTimer startTimer_;
    QTimer endTimer_;
    bool active_ = false;

private:
    CompTransferIds ids_;
    const char* restText_;
};
