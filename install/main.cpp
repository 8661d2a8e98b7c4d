// k720-install (install.exe on Windows): the install launcher. It lies in a folder beside the
// sub-folders Japanese and English, each holding one setup program of the K720 companion; its
// window lets the user pick the language and starts that setup program.
#include <cstdio>
#include <cstring>

#include <QApplication>

#include "dialogs.h"
#include "display_check.h"
#include "install_dialog.h"
#include "setup_launch.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kWindowFailed = 1;
constexpr int kUsageError = 2;
constexpr int kNoDisplay = 3;

constexpr const char* kUsage =
    "usage: k720-install [--help]\n"
    "Shows the install launcher of the K720 companion: choose the Japanese or the English setup\n"
    "program, which lies beside this program as Japanese/ApplicationK720v1.03J_setup or\n"
    "English/ApplicationK720v1.03E_setup. It is started, and the launcher closes. While the\n"
    "window of a running setup is open, the launcher refuses to start a second one.\n"
    "  --help   show this help\n";

// The application object: runs the launcher window and ends the program when it closes.
class CInstallApp : public QApplication {
public:
    CInstallApp(int& argc, char** argv) : QApplication(argc, argv) {}

    int Run() {
        // The message boxes carry the launcher's title.
        CQtDialogs dialogs(QString::fromLatin1(CInstallDlg::kTitle));
        const DialogsOverride useDialogs(dialogs);
        NativeLauncherSystem system;
        CInstallDlg window(system);
        QString error;
        if (!window.Open(&error)) {
            std::fprintf(stderr, "k720-install: %s\n", qPrintable(error));
            return kWindowFailed;
        }
        // The value of the modal run is not looked at.
        window.exec();
        return kExitOk;
    }
};

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const bool help = std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0;
        if (!help) {
            std::fputs(kUsage, stderr);
            return kUsageError;
        }
    }
    if (argc > 1) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (const std::string reason = MissingDisplayReason(); !reason.empty()) {
        std::fprintf(stderr, "k720-install: %s; it needs a graphical session (X11 or Wayland).\n",
                     reason.c_str());
        return kNoDisplay;
    }
    CInstallApp app(argc, argv);
    return app.Run();
}
