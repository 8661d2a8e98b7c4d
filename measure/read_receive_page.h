// CPpgReadReceive: receives the chosen unit's readings into the measurement file, with the count,
// a progress bar and the time remaining. The main window hands it the destination folder and file
// name (without ".csv") that the read confirmation page accepted.
#pragma once

#include <QString>

#include "page.h"

class CColorButton;

class CPpgReadReceive : public CPage {
    Q_OBJECT

public:
    explicit CPpgReadReceive(QWidget* parent = nullptr);

    void SetDestination(const QString& folder, const QString& fileName);
    const QString& DestinationFolder() const { return destinationFolder_; }
    const QString& DestinationFileName() const { return destinationFileName_; }

    CColorButton* CancelButton() const;

private:
    QString destinationFolder_;
    QString destinationFileName_;
};
