#include "pages/read_do_page.h"

#include <filesystem>
#include <string_view>
#include <system_error>

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "controls/color_button.h"
#include "controls/core_text.h"
#include "controls/dialogs.h"
#include "controls/fonts.h"
#include "controls/window_messages.h"
#include "files/replacement_file.h"
#include "measure/reception.h"
#include "measure/units.h"
#include "pages/page_requests.h"
#include "pages/selected_units.h"
#include "resources/layouts/read_do_layout.h"

namespace {

// The line that names what will be read; empty for a code that names nothing.
QString UnitLineFor(int selectedUnitCode) {
    if (!measure::IsUnitCode(selectedUnitCode)) {
        return {};
    }
    const int unit = measure::UnitIndexOfCode(selectedUnitCode);
    if (unit == measure::kAllUnits) {
        return CPpgReadDo::tr("This will read ALL UNITs.");
    }
    return CPpgReadDo::tr("This will read unit [ %1 ].")
        .arg(QString::fromLatin1(measure::UnitDisplayLetter(unit)));
}

bool HoldsForbiddenCharacter(const QString& fileName) {
    for (const char forbidden : std::string_view(CPpgReadDo::kForbiddenCharacters)) {
        if (fileName.contains(QLatin1Char(forbidden))) {
            return true;
        }
    }
    return false;
}

// Anything under the path counts, also a folder or a link that leads nowhere: creating the file
// would replace it or fail.
bool SomethingExistsAt(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

} // namespace

std::string DestinationBytes(const QString& text) {
    return QFile::encodeName(text).toStdString();
}

CPpgReadDo::CPpgReadDo(QWidget* parent) : CPage(layouts::kReadDo, parent) {
    CancelButton()->SetFaceColor(button_colors::kGreen).SetTextColor(button_colors::kCaptionWhite);
    CancelButton()->setFont(g_font16);
    OkButton()->SetFaceColor(button_colors::kBlue).SetTextColor(button_colors::kCaptionWhite);
    OkButton()->setFont(g_font16);
    Control<QLabel>(read_do_ids::kTitle)->setFont(g_font15);
    connect(CancelButton(), &QPushButton::clicked, this, [this] {
        // Changes since the last OK are thrown away.
        ShowAcceptedDestination();
        PostRequest(*this, kRequestBackFromReadDo);
    });
    connect(OkButton(), &QPushButton::clicked, this, &CPpgReadDo::Accept);
    connect(BrowseButton(), &QPushButton::clicked, this, &CPpgReadDo::ChooseFolder);

    activationTimer_.setSingleShot(true);
    activationTimer_.setInterval(kActivationDelayMs);
    connect(&activationTimer_, &QTimer::timeout, this, &CPpgReadDo::ShowSelectedUnit);
}

bool CPpgReadDo::event(QEvent* event) {
    if (event->type() == EventType(WM_PAGE_ACTIVATE)) {
        activationTimer_.start();
        return true;
    }
    return CPage::event(event);
}

void CPpgReadDo::ShowSelectedUnit() {
    // A code that names no unit leaves the line as it was.
    const QString line = UnitLineFor(g_selectedUnitForReading);
    if (!line.isEmpty()) {
        UnitLine()->setText(line);
    }
}

void CPpgReadDo::ChooseFolder() {
    const QString chosen = Dialogs().ChooseFolder(tr(kBrowseTitle), FolderField()->text());
    // A cancelled chooser changes nothing.
    if (!chosen.isEmpty()) {
        FolderField()->setText(chosen);
    }
}

void CPpgReadDo::Accept() {
    const QString folder = FolderField()->text();
    const QString fileName = FileNameField()->text();
    if (folder.isEmpty()) {
        ShowMessageBox(tr(kNoFolderMessage), MessageIcon::Error);
        return;
    }
    if (fileName.isEmpty()) {
        RefuseFileName(kNoFileNameMessage);
        return;
    }
    if (HoldsForbiddenCharacter(fileName)) {
        RefuseFileName(kForbiddenCharactersMessage);
        return;
    }
    // The path the reception will create, built the same way.
    const std::string path =
        measure::DestinationPath(DestinationBytes(folder), DestinationBytes(fileName));
    if (path.size() > measure::kMaxDestinationPathLength) {
        RefuseFileName(CoreText(measure::kPathTooLongMessage));
        return;
    }
    if (files::KindOfDestination(path) == files::DestinationKind::Other) {
        // A folder, a named pipe or a device is never replaced by a reading.
        ShowMessageBox(CoreText(measure::kNotAFileMessage), MessageIcon::Warning);
        FileNameField()->setFocus(Qt::OtherFocusReason);
        return;
    }
    // The reading is never found unsaveable after the whole transfer: a folder that does not take
    // the file (no permission, a name too long for it) is named with the system's reason now.
    if (const int error = files::CreationError(path); error != 0) {
        RefuseFileName(CoreText(files::CannotSaveMessage(path, error)));
        return;
    }
    if (SomethingExistsAt(path) &&
        !AskYesNo(tr(kOverwriteQuestion), MessageIcon::Warning, MessageAnswer::No)) {
        return;
    }
    acceptedFolder_ = folder;
    acceptedFileName_ = fileName;
    PostRequest(*this, kRequestStartReception);
}

void CPpgReadDo::RefuseFileName(const char* message) {
    RefuseFileName(tr(message));
}

void CPpgReadDo::RefuseFileName(const QString& message) {
    ShowMessageBox(message, MessageIcon::Error);
    FileNameField()->setFocus(Qt::OtherFocusReason);
}

void CPpgReadDo::SetAcceptedDestination(const QString& folder, const QString& fileName) {
    acceptedFolder_ = folder;
    acceptedFileName_ = fileName;
    ShowAcceptedDestination();
}

void CPpgReadDo::ShowAcceptedDestination() {
    FolderField()->setText(acceptedFolder_);
    FileNameField()->setText(acceptedFileName_);
}

CColorButton* CPpgReadDo::CancelButton() const {
    return Control<CColorButton>(read_do_ids::kCancel);
}

CColorButton* CPpgReadDo::OkButton() const {
    return Control<CColorButton>(read_do_ids::kOk);
}

QPushButton* CPpgReadDo::BrowseButton() const {
    return Control<QPushButton>(read_do_ids::kBrowse);
}

QLabel* CPpgReadDo::UnitLine() const {
    return Control<QLabel>(read_do_ids::kUnitLine);
}

QLineEdit* CPpgReadDo::FolderField() const {
    return Control<QLineEdit>(read_do_ids::kFolder);
}

QLineEdit* CPpgReadDo::FileNameField() const {
    return Control<QLineEdit>(read_do_ids::kFileName);
}
