// k720ctl check and delete: the memory check of the unit selection pages, and the deletion page's
// exchange after it, on the same core and with the same texts.
#include <cstdio>
#include <string>

#include "base/texts.h"
#include "cli/commands.h"
#include "cli/stop_signals.h"
#include "instrument/discovery.h"
#include "measure/deletion.h"
#include "measure/memory_check.h"
#include "measure/units.h"

namespace {

// Answers longer than this are not "y" or "yes" anyway; the rest of the line is read and dropped.
constexpr std::size_t kLongestAnswer = 8;

enum class Answer { Yes, No, Interrupted };

// Asks on the terminal whether to go on; a stop request while waiting ends the command.
Answer AskToProceed(const std::string& question, StopSignals& signals) {
    // The answers stay y and yes in every language: the prompt says so.
    std::fputs(
        FillText(kMessages, K720_TEXT("Messages", "%1  Proceed? [y/N] "), {question}).c_str(),
        stderr);
    std::fflush(stderr);
    std::string answer;
    for (;;) {
        char c = 0;
        const StopSignals::Input input = signals.ReadInputByte(c);
        if (input == StopSignals::Input::Stopped) {
            std::fputc('\n', stderr);
            return Answer::Interrupted;
        }
        if (input == StopSignals::Input::End || c == '\n') {
            break; // the end of the input answers no
        }
        // A Windows console ends the line with CR LF.
        if (c != '\r' && answer.size() <= kLongestAnswer) {
            answer += c;
        }
    }
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes" || answer == "YES"
               ? Answer::Yes
               : Answer::No;
}

} // namespace

int RunCheck(const CommonOptions& options) {
    StopSignals signals;
    if (const int status = signals.Check(); status != kExitOk) {
        return status;
    }
    int mask = 0;
    if (const int status = CheckUnits(options, signals, mask); status != kExitOk) {
        return status;
    }
    std::string units;
    for (int index = 0; index < measure::kUnitCount; ++index) {
        if (measure::UnitHoldsData(mask, index)) {
            units += (units.empty() ? "" : " ") + std::string(measure::UnitDisplayLetter(index));
        }
    }
    std::printf("%s\n", units.empty() ? Translate(kMessages, measure::kNoDataText) : units.c_str());
    return kExitOk;
}

int RunDelete(const CommonOptions& options, const DeleteOptions& deletion) {
    StopSignals signals;
    if (const int status = signals.Check(); status != kExitOk) {
        return status;
    }
    int mask = 0;
    if (const int status = CheckUnits(options, signals, mask); status != kExitOk) {
        return status;
    }
    if (const int status = RefuseUnitWithoutData(deletion.unitCode, mask); status != kExitOk) {
        return status;
    }
    if (!deletion.yes) {
        // The port is closed while the user decides: no program is kept off it meanwhile.
        switch (AskToProceed(measure::DeletionUnitText(deletion.unitCode), signals)) {
        case Answer::Yes:
            break;
        case Answer::No:
            std::printf("%s\n", Translate(kMessages, K720_TEXT("Messages", "Nothing deleted.")));
            return kExitFailed;
        case Answer::Interrupted:
            return kExitInterrupted;
        }
        // The port was free while the user decided: units may have been emptied meanwhile, or
        // the instrument may be gone.
        if (const int status = CheckUnitsAgain(options, signals, mask); status != kExitOk) {
            return status;
        }
        if (const int status = RefuseUnitWithoutData(deletion.unitCode, mask); status != kExitOk) {
            return status;
        }
    }

    const measure::DeletionRequest request{deletion.unitCode, mask, g_instrumentPort};
    measure::DeletionOutcome outcome = measure::DeletionOutcome::CommunicationFailure;
    const int status = signals.Run(
        [&](std::stop_token stop) { outcome = measure::DeleteUnits(request, std::move(stop)); });
    if (status == kExitFailed) {
        return kExitFailed;
    }
    // A signal during the last reply stops nothing: the deletion has ended as it ended.
    if (outcome == measure::DeletionOutcome::Deleted) {
        std::printf("%s\n", Translate(kMessages, K720_TEXT("Messages", "Deleted.")));
        return kExitOk;
    }
    if (status == kExitInterrupted) {
        std::printf("%s\n", Translate(kMessages, K720_TEXT("Messages", "Deletion interrupted.")));
        return kExitInterrupted;
    }
    const measure::DeletionReport& report = measure::DeletionReportOf(outcome);
    std::printf("%s\n", Translate(kMessages, report.message[0] != '\0' ? report.message
                                                                       : measure::kNoDataText));
    return kExitFailed;
}
