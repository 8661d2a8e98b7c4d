// CPpgReadReceive: receives the chosen unit's readings into the measurement file, with the count,
// a progress bar and the time remaining. The main window hands it the destination folder and file
// name (without ".csv") that the read confirmation page accepted, then activates it.
//
// 10 ms after the activation the reception engine starts on the exchange runner (it opens the
// port, counts the readings and reads the serial number and temperature unit); a start that fails
// is reported when it has ended. The engine reports through queued calls, so it never waits for
// this thread. 100 ms after the workers have ended, the page reports success, cancellation or
// error (after the last two, how many readings the file kept, and which file), clears its lines
// and posts request 17. Cancel only asks the receiver to stop.
#pragma once

#include <memory>

#include <QString>
#include <QTimer>

#include "controls/page.h"
#include "measure/reception.h"

class CColorButton;
class QLabel;
class QProgressBar;

class CPpgReadReceive : public CPage {
    Q_OBJECT

public:
    // From the activation to the start of the reception.
    static constexpr int kStartDelayMs = 10;
    // From the workers' end to the end message.
    static constexpr int kEndDelayMs = 100;

    explicit CPpgReadReceive(QWidget* parent = nullptr);
    // Stops a running reception first.
    ~CPpgReadReceive() override;

    void SetDestination(const QString& folder, const QString& fileName);
    const QString& DestinationFolder() const { return destinationFolder_; }
    const QString& DestinationFileName() const { return destinationFileName_; }

    // For the main window closing: waits for a start in progress, stops a running reception and
    // waits until both workers have ended (the instrument has been told ":MEM:DATA:END" unless it
    // had failed, the file is closed), then drops every report still queued, so no message follows.
    // Returns within one exchange with the instrument; at once when nothing runs.
    void StopReception();
    // From a successful start until the end has been reported and the page has gone back.
    bool ReceptionRunning() const;

    // The lines while the reception runs; the engine's reports arrive here.
    void ShowCounting();
    void ShowUnitStarted(int unitIndex);
    void ShowProgress(int received, int total);
    void ShowTimeRemaining(const QString& text);

    CColorButton* CancelButton() const;
    QLabel* UnitLine() const;
    QLabel* StatusLine() const;
    QLabel* CountLine() const;
    QLabel* TimeRemainingLine() const;
    QProgressBar* ProgressBar() const;

protected:
    bool event(QEvent* event) override;

private:
    class EngineReports;

    void StartReception();
    void StartEnded(measure::StartOutcome outcome);
    void WorkersEnded(measure::EndOutcome outcome, int fileError, const QString& keptText);
    void EndReception();

    QString destinationFolder_;
    QString destinationFileName_;
    // The reports outlive the engine that makes them.
    std::unique_ptr<EngineReports> reports_;
    measure::ReceptionEngine engine_;
    measure::EndOutcome endOutcome_ = measure::EndOutcome::Received;
    QString endKeptText_; // KeptReadingsText of the end

    bool active_ = false;        // see ReceptionRunning
    bool cancelPressed_ = false; // since the last start
    QTimer startTimer_;
    QTimer endTimer_;
};
