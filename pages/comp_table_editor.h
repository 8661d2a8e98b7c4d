// What the main window needs of the comparator table editor, the modal window in which a table
// is edited, saved and sent: its host, its three file strings and a modal run in one of four
// modes. The editor posts its own page-switch requests (30 Transfer, 33 load failed, 34 saved) to
// its host.
#pragma once

#include <functional>
#include <memory>

#include <QCoreApplication>
#include <QFileInfo>
#include <QString>

#include "controls/dialogs.h"

class QObject;
class QWidget;

// The comparator table file last opened or saved: the full path, the file name alone and the
// folder (the path without the file name).
struct CompTableFiles {
    QString path;
    QString fileName;
    QString folder;
    bool operator==(const CompTableFiles&) const = default;
};

// The strings of the table file at `path`; the folder keeps the path's own separator at its end.
inline CompTableFiles CompTableFilesOf(const QString& path) {
    const QString fileName = QFileInfo(path).fileName();
    return CompTableFiles{path, fileName, path.left(path.size() - fileName.size())};
}

// The file kind the table file dialogs' filter names (translated where it is shown), and their
// default extension.
inline constexpr const char* kTableFileKind = QT_TRANSLATE_NOOP("CompTableEditor", "csv file");
inline constexpr const char* kTableFileExtension = "csv";
// The name a table file dialog proposes when no file was chosen before.
inline constexpr const char* kAnyTableFile = "*.csv";

// The open or save dialog of a table file, starting in the folder of `files` and proposing its
// file name, or "*.csv" when there is none.
inline FileRequest TableFileRequest(const QString& title, const CompTableFiles& files) {
    FileRequest request;
    request.title = title;
    request.folder = files.folder;
    request.fileName =
        files.fileName.isEmpty() ? QString::fromLatin1(kAnyTableFile) : files.fileName;
    request.filter = QCoreApplication::translate("CompTableEditor", kTableFileKind) +
                     QStringLiteral(" (*.csv)|*.csv||");
    request.defaultExtension = QString::fromLatin1(kTableFileExtension);
    return request;
}

// Where the editor's table comes from when it runs.
enum class CompEditorMode : int {
    NewTable = 0,       // request 23
    TableFile = 1,      // request 24: the file just read into the table text
    FromInstrument = 2, // request 32: the table just received from the instrument
    AfterTransfer = 3,  // requests 28 and 29: back from a transmission
};

class CompTableEditor {
public:
    virtual ~CompTableEditor() = default;

    virtual void SetHost(QObject* host) = 0;
    // Marks the table as saved, so that nothing asks to save before anything was edited.
    virtual void MarkSaved() = 0;
    virtual void SetFiles(const CompTableFiles& files) = 0;
    virtual CompTableFiles Files() const = 0;
    // Runs the editor modally in `mode`; returns when it closes.
    virtual void Run(CompEditorMode mode) = 0;
    // Ends a run at once, without any question: the program is being ended, and what was not
    // saved is dropped. Nothing happens when the editor is not running.
    virtual void Dismiss() = 0;
};

// Makes the editor of a main window; `parent` is the main window.
using CompTableEditorFactory = std::function<std::unique_ptr<CompTableEditor>(QWidget* parent)>;
