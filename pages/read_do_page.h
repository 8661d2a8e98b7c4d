// CPpgReadDo: names the unit about to be read, and lets the user choose the destination folder
// (Browse) and the file name (without ".csv"). It keeps the accepted pair, the one last confirmed
// with OK, which the main window restores from and saves to the settings file and hands to the
// reception page. Cancel shows the accepted pair again and posts request 13.
//
// OK refuses, in this order, a missing folder, a missing file name, a file name with a character
// that no file name may hold, and a destination path longer than the reception can build; it asks
// before an existing file is replaced, and then posts request 14.
#pragma once

#include <string>

#include <QString>
#include <QTimer>

#include "controls/page.h"

class CColorButton;
class QLabel;
class QLineEdit;
class QPushButton;

// The bytes that the file system gets for a destination folder or file name typed on the pages;
// the confirmation page checks the very path that the reception will create.
std::string DestinationBytes(const QString& text);

class CPpgReadDo : public CPage {
    Q_OBJECT

public:
    // From the activation to the unit line.
    static constexpr int kActivationDelayMs = 10;
    // The user's texts, in English; shown through tr() in the user's language.
    static constexpr char kBrowseTitle[] = QT_TR_NOOP("Select destination folder");
    static constexpr char kNoFolderMessage[] =
        QT_TR_NOOP("Designate a destination folder for saving.  ");
    static constexpr char kNoFileNameMessage[] = QT_TR_NOOP("Enter a filename for saving.  ");
    static constexpr char kForbiddenCharactersMessage[] =
        QT_TR_NOOP("The following character(s) cannot be used in filename.  \n\n"
                   "        \\ / : , ; * ? \" < > |");
    static constexpr char kOverwriteQuestion[] =
        QT_TR_NOOP("A file with the designated filename already exists.  \n\nOverwrite?");
    // The characters no file name may hold.
    static constexpr char kForbiddenCharacters[] = "\\/:,;*?\"<>|";

    explicit CPpgReadDo(QWidget* parent = nullptr);

    // Sets the accepted pair and shows it in the fields.
    void SetAcceptedDestination(const QString& folder, const QString& fileName);
    const QString& AcceptedFolder() const { return acceptedFolder_; }
    const QString& AcceptedFileName() const { return acceptedFileName_; }

    CColorButton* CancelButton() const;
    CColorButton* OkButton() const;
    QPushButton* BrowseButton() const;
    QLabel* UnitLine() const;
    QLineEdit* FolderField() const;
    QLineEdit* FileNameField() const;

protected:
    bool event(QEvent* event) override;

private:
    void ShowAcceptedDestination();
    void ShowSelectedUnit();
    void ChooseFolder();
    void Accept();
    // Shows `message` as an error and puts the focus into the file name field.
    void RefuseFileName(const char* message);
    void RefuseFileName(const QString& message);

    QString acceptedFolder_;
    QString acceptedFileName_;
    QTimer activationTimer_;
};
