#include "install/setup_launch.h"

std::optional<std::string> SetupProgramPath(std::string_view launcherPath, SetupLanguage language,
                                            const SetupLayout& layout) {
    const std::size_t cut = launcherPath.rfind(layout.separator);
    if (cut == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view folder = launcherPath.substr(0, cut);
    const std::string_view relative =
        language == SetupLanguage::Japanese ? layout.japanese : layout.english;
    // Room for the terminating zero as well.
    if (folder.size() + relative.size() >= kSetupPathBytes) {
        return std::nullopt;
    }
    std::string path(folder);
    path += relative;
    return path;
}

LaunchReport LaunchSetup(LauncherSystem& system, SetupLanguage language,
                         std::uintptr_t ownerWindow) {
    LaunchReport report;
    const ProgramPath own = system.OwnProgramPath();
    std::optional<std::string> setupPath;
    std::string pathError;
    if (!own.ok) {
        pathError = "the launcher's own path is not known: " + own.error;
    } else if (setupPath = SetupProgramPath(own.path, language, system.Layout()); !setupPath) {
        pathError = "the setup program's path beside " + own.path + " does not fit " +
                    std::to_string(kSetupPathBytes - 1) + " bytes";
    } else {
        report.setupPath = *setupPath;
    }

    // A setup already open wins over every other outcome: nothing is started twice.
    const WindowSearchResult search = system.FindTopLevelWindow(kWizardTitle);
    if (search.outcome == WindowSearch::Found) {
        report.outcome = LaunchOutcome::AlreadyOpened;
        return report;
    }
    if (search.outcome == WindowSearch::Unavailable) {
        report.searchProblem = search.error;
    }

    if (!setupPath) {
        report.outcome = LaunchOutcome::ShellError;
        report.failure = pathError;
        return report;
    }
    const StartResult start = system.StartSetupProgram(*setupPath, ownerWindow);
    if (!start.started) {
        report.outcome = LaunchOutcome::ShellError;
        report.failure = *setupPath + ": " + start.error;
        return report;
    }
    report.outcome = LaunchOutcome::Started;
    return report;
}
