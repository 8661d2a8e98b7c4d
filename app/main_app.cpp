#include "app/main_app.h"

#include <string>

#include <QPalette>

#include "app/termination_requests.h"

namespace {

const QColor kDialogFace(192, 192, 192);
const QColor kDialogText(0, 0, 0);
// Text and arrows of disabled controls, as the classic dialogs grey them.
const QColor kDisabledText(128, 128, 128);

} // namespace

CMainApp::CMainApp(int& argc, char** argv) : QApplication(argc, argv) {
    ApplyDialogLook(*this);
}

int CMainApp::Run(MainWindowOptions options) {
    CMainDlg mainWindow(std::move(options));
    if (!mainWindow.PicturesLoaded()) {
        qCritical("the pictures of the top menu are missing from the program");
        return 1;
    }
    // Every window of the program carries its icon, also one shown without a parent.
    setWindowIcon(mainWindow.windowIcon());
    std::string whyNot;
    if (!TakeTerminationRequests(
            mainWindow, [&mainWindow] { mainWindow.CloseOnRequestToEnd(); }, &whyNot)) {
        qWarning("a request of the system to end the program ends it at once: %s", whyNot.c_str());
    }
    mainWindow.show();
    return exec();
}

void ApplyDialogLook(QApplication& application) {
    QPalette palette = application.palette();
    palette.setColor(QPalette::Window, kDialogFace);
    palette.setColor(QPalette::WindowText, kDialogText);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, kDisabledText);
    application.setPalette(palette);
}
