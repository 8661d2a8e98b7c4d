// CPpgReadDo: names the unit about to be read, and lets the user choose the destination folder
// (Browse) and the file name (without ".csv"). It keeps the accepted pair, the one last confirmed
// with OK, which the main window restores from and saves to the settings file. Cancel shows the
// accepted pair again and posts request 13.
#pragma once

#include <QString>

#include "page.h"

class CColorButton;
class QLineEdit;

class CPpgReadDo : public CPage {
    Q_OBJECT

public:
    explicit CPpgReadDo(QWidget* parent = nullptr);

    // Sets the accepted pair and shows it in the fields.
    void SetAcceptedDestination(const QString& folder, const QString& fileName);
    const QString& AcceptedFolder() const { return acceptedFolder_; }
    const QString& AcceptedFileName() const { return acceptedFileName_; }

    CColorButton* CancelButton() const;
    CColorButton* OkButton() const;
    QLineEdit* FolderField() const;
    QLineEdit* FileNameField() const;

private:
    void ShowAcceptedDestination();

    QString acceptedFolder_;
    QString acceptedFileName_;
};
