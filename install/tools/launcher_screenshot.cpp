// Renders the launcher window off-screen into a PNG file for the documentation:
//
//   k720-install-screenshot docs/screenshots/install_launcher.png
//
// Nothing is started: the window is drawn as it opens, with CANCEL focused.
#include <cstdio>

#include <QApplication>

#include "install/install_dialog.h"
#include "install/setup_launch.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const QString usage = QStringLiteral("usage: k720-install-screenshot <file.png>\n");
    if (argc == 2 && (QString::fromLocal8Bit(argv[1]) == QStringLiteral("--help") ||
                      QString::fromLocal8Bit(argv[1]) == QStringLiteral("-h"))) {
        std::fputs(qPrintable(usage), stdout);
        return 0;
    }
    if (argc != 2) {
        std::fputs(qPrintable(usage), stderr);
        return 2;
    }
    NativeLauncherSystem system;
    CInstallDlg window(system);
    QString error;
    if (!window.Open(&error)) {
        std::fprintf(stderr, "k720-install-screenshot: %s\n", qPrintable(error));
        return 1;
    }
    window.show();
    window.activateWindow();
    QApplication::processEvents();
    if (!window.grab().save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "k720-install-screenshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
