// Renders the main window with each of its pages, the about box and the start-up check window
// off-screen and writes them as PNG files into the folder named on the command line:
//
//   k720-screenshots docs/screenshots
//
// The pages are reached the way the user reaches them, by page-switch requests; nothing talks to
// an instrument and no settings file is read or written.
#include <cstdio>
#include <utility>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "about_dialog.h"
#include "main_app.h"
#include "main_window.h"
#include "page_requests.h"
#include "usb_check_dialog.h"
#include "window_messages.h"

namespace {

struct Request {
    int code;
    int argument = 0;
};

struct Shot {
    const char* fileName;
    std::vector<Request> path; // the requests that lead from the top menu to the page
};

constexpr int kUnitC = 0x4;

const std::vector<Shot> kShots = {
    {"main_window.png", {}},
    {"read_delete_menu.png", {{kRequestReadDeleteMenu}}},
    {"read_choice.png", {{kRequestReadDeleteMenu}, {kRequestReadChoice}}},
    {"read_do.png",
     {{kRequestReadDeleteMenu}, {kRequestReadChoice}, {kRequestReadUnitChosen, kUnitC}}},
    {"read_receive.png",
     {{kRequestReadDeleteMenu},
      {kRequestReadChoice},
      {kRequestReadUnitChosen, kUnitC},
      {kRequestStartReception}}},
    {"erase_choice.png", {{kRequestReadDeleteMenu}, {kRequestEraseChoice}}},
    {"erase_do.png",
     {{kRequestReadDeleteMenu}, {kRequestEraseChoice}, {kRequestEraseUnitChosen, kUnitC}}},
    {"comp_clock_menu.png", {{kRequestCompClockMenu}}},
    {"set_clock.png", {{kRequestCompClockMenu}, {kRequestSetClock}}},
    {"comp_choice.png", {{kRequestCompClockMenu}, {kRequestCompChoice}}},
    {"comp_receive.png", {{kRequestCompClockMenu}, {kRequestCompChoice}, {kRequestReceiveTable}}},
    {"comp_transmit.png", {{kRequestCompClockMenu}, {kRequestCompChoice}, {kRequestTransmitTable}}},
};

bool Save(QWidget& widget, const QDir& folder, const char* fileName) {
    const QString path = folder.filePath(QString::fromLatin1(fileName));
    if (!widget.grab().save(path, "PNG")) {
        std::fprintf(stderr, "k720-screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

bool ShootMainWindow(const Shot& shot, const QString& programDir, const QDir& folder) {
    MainWindowOptions options;
    options.programDir = programDir;
    options.startupCheck = false;
    options.watchPortChanges = false;
    CMainDlg window(std::move(options));
    window.show();
    // Active, as in use: the focused button shows its focus look.
    window.activateWindow();
    QApplication::processEvents();
    for (const Request& request : shot.path) {
        PageSwitchEvent event(request.code, request.argument);
        QCoreApplication::sendEvent(&window, &event);
    }
    QApplication::processEvents();
    return Save(window, folder, shot.fileName);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: k720-screenshots <output folder>\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    }
    QApplication app(argc, argv);
    ApplyDialogLook(app);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "k720-screenshots: cannot create %s\n", argv[1]);
        return 1;
    }
    // The windows read no settings from, and write none to, the program's real folder.
    QTemporaryDir programDir;
    if (!programDir.isValid()) {
        std::fprintf(stderr, "k720-screenshots: no temporary folder\n");
        return 1;
    }

    bool allSaved = true;
    for (const Shot& shot : kShots) {
        allSaved = ShootMainWindow(shot, programDir.path(), folder) && allSaved;
    }
    CAboutDlg about;
    allSaved = Save(about, folder, "about_box.png") && allSaved;
    // Not shown, so it never starts its scan.
    CUsbCheckDlg check;
    allSaved = Save(check, folder, "usb_check.png") && allSaved;
    return allSaved ? 0 : 1;
}
