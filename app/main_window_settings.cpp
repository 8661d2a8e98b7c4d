// The main window's part of the settings: what it restores when it is built and saves whenever it
// closes. The bytes of the file are the settings core's (settings_file.h).
#include <string>

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include "app/main_window.h"
#include "app/window_placement.h"
#include "instrument/discovery.h"
#include "pages/comp_choice_page.h"
#include "pages/read_do_page.h"

namespace {

QString FromStored(const std::string& bytes) {
    return QString::fromLocal8Bit(bytes);
}

// The bytes to store for `current`: the bytes read at start when the text is unchanged, so that
// a text in another encoding survives the run untouched.
std::string ToStored(const QString& current, const std::string& loaded) {
    if (FromStored(loaded) == current) {
        return loaded;
    }
    return current.toLocal8Bit().toStdString();
}

std::string NativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// Where windows may go on each screen present: without the task bars and docks.
QList<QRect> ScreenAreas() {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) {
        areas.append(screen->availableGeometry());
    }
    return areas;
}

QRect PrimaryArea() {
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary != nullptr ? primary->availableGeometry() : QRect();
}

} // namespace

QString CMainDlg::SettingsPath() const {
    return QFile::decodeName(SettingsFilePath(NativePath(options_.programDir)).c_str());
}

void CMainDlg::LoadSettings() {
    const std::string programDir = NativePath(options_.programDir);
    const std::optional<Settings> saved = ReadSettingsFile(SettingsFileToLoad(programDir));
    // Before the window is first shown the system has not said how large its frame is.
    const QWindow* native = windowHandle();
    const QMargins known = native != nullptr ? native->frameMargins() : QMargins();
    const QMargins frame = known.isNull() ? kAssumedWindowFrame : known;
    const QSize frameSize = size().grownBy(frame);
    if (saved) {
        loadedSettings_ = *saved;
        move(RestoredPlace(saved->rect, frameSize, frame.top(), ScreenAreas(), PrimaryArea())
                 .topLeft());
    } else {
        loadedSettings_ = DefaultSettings(DefaultDataFolder(programDir));
        move(FirstRunPlace(frameSize, PrimaryArea()).topLeft());
    }
    g_instrumentPort = loadedSettings_.instrumentPort;

    readDoPage_->SetAcceptedDestination(FromStored(loadedSettings_.measurementFolder),
                                        FromStored(loadedSettings_.measurementFileName));
    const CompTableFiles tableFiles{FromStored(loadedSettings_.compTablePath),
                                    FromStored(loadedSettings_.compTableFileName),
                                    FromStored(loadedSettings_.compTableFolder)};
    compChoicePage_->SetTableFiles(tableFiles);
    // The editor starts with the folder and file name; its full path comes with request 24.
    CompTableFiles editorFiles = editor_->Files();
    editorFiles.fileName = tableFiles.fileName;
    editorFiles.folder = tableFiles.folder;
    editor_->SetFiles(editorFiles);
}

void CMainDlg::SaveSettings() const {
    Settings settings;
    settings.rect = ToSettingsRect(frameGeometry());
    settings.instrumentPort = g_instrumentPort;
    settings.measurementFolder =
        ToStored(readDoPage_->AcceptedFolder(), loadedSettings_.measurementFolder);
    settings.measurementFileName =
        ToStored(readDoPage_->AcceptedFileName(), loadedSettings_.measurementFileName);
    const CompTableFiles& tableFiles = compChoicePage_->TableFiles();
    settings.compTablePath = ToStored(tableFiles.path, loadedSettings_.compTablePath);
    settings.compTableFileName = ToStored(tableFiles.fileName, loadedSettings_.compTableFileName);
    settings.compTableFolder = ToStored(tableFiles.folder, loadedSettings_.compTableFolder);
    const std::string path = SettingsFilePath(NativePath(options_.programDir));
    if (!WriteSettingsFile(path, settings)) {
        // The window closes all the same; this run's settings are lost.
        qWarning("the settings could not be written to %s", path.c_str());
    }
}
