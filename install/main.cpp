// k720-install (install.exe on Windows): the install launcher. It lies in a folder beside the
// sub-folders Japanese and English, each holding one setup program of the K720 companion; its
// window lets the user pick the language and starts that setup program.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include <QApplication>

#include "controls/dialogs.h"
#include "controls/display_check.h"
#include "controls/program_console.h"
#include "install/install_dialog.h"
#include "install/launcher_platform.h"
#include "install/setup_launch.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kWindowFailed = 1;
constexpr int kUsageError = 2;
constexpr int kNoDisplay = 3;

// The usage text, with the setup programs' places as this system writes them.
std::string Usage() {
    const SetupLayout& layout = NativeSetupLayout();
    auto relative = [](std::string_view path) { return std::string(path.substr(1)); };
    return "usage: " + std::string(LauncherProgramName()) +
           " [--help]\n"
           "Shows the install launcher of the K720 companion: choose the Japanese or the English "
           "setup\nprogram, which lies beside this program as " +
           relative(layout.japanese) + " or\n" + relative(layout.english) +
           ". It is started, and the launcher closes. While the\n"
           "window of a running setup is open, the launcher refuses to start a second one.\n"
           "  --help   show this help\n";
}

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
            std::fprintf(stderr, "%s: %s\n", LauncherProgramName(), qPrintable(error));
            return kWindowFailed;
        }
        // The value of the modal run is not looked at.
        window.exec();
        return kExitOk;
    }
};

} // namespace

int main(int argc, char** argv) {
    AttachStartingConsole();
    for (int i = 1; i < argc; ++i) {
        const bool help = std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0;
        if (!help) {
            std::fputs(Usage().c_str(), stderr);
            return kUsageError;
        }
    }
    if (argc > 1) {
        std::fputs(Usage().c_str(), stdout);
        return kExitOk;
    }
    if (const std::string reason = MissingDisplayReason(); !reason.empty()) {
        std::fprintf(stderr, "%s: %s; it needs a graphical session.\n", LauncherProgramName(),
                     reason.c_str());
        return kNoDisplay;
    }
    CInstallApp app(argc, argv);
    return app.Run();
}
