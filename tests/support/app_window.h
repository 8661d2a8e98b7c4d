// Fixtures for the tests of the main window: a main window built in a temporary program folder
// (so its settings file lands there), with scripted message boxes, no real serial ports, no
// start-up check, and (unless a test asks for the real one) an editor that records how it was run.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "comp/table_file.h"
#include "controls/dialogs.h"
#include "controls/page.h"
#include "controls/window_messages.h"
#include "instrument/discovery.h"
#include "instrument/port_listing.h"
#include "pages/comp_table_editor.h"
#include "pages/selected_units.h"
#include "tests/support/recording_host.h"

namespace app_test {

// Makes the instrument on `port` the one candidate of discovery and the port it found last, as
// after a start-up check that found it.
inline void UseInstrumentPort(int port, const std::string& devicePath) {
    g_candidatePorts = {
        PortCandidate{"Prolific USB-to-Serial Comm Port (simulated)", port, devicePath}};
    g_instrumentPort = port;
}

// Records each run of the editor, with the page that was visible meanwhile.
class RecordingEditor : public CompTableEditor {
public:
    struct RunRecord {
        CompEditorMode mode;
        std::optional<PageId> visiblePage;
    };

    void SetHost(QObject* host) override { host_ = host; }
    void MarkSaved() override { ++savedMarks_; }
    void SetFiles(const CompTableFiles& files) override { files_ = files; }
    CompTableFiles Files() const override { return files_; }
    void Run(CompEditorMode mode) override {
        runs_.push_back({mode, window_ != nullptr ? window_->VisiblePage() : std::nullopt});
    }
    void Dismiss() override {}

    void Watch(const CMainDlg* window) { window_ = window; }
    QObject* Host() const { return host_; }
    int SavedMarks() const { return savedMarks_; }
    const std::vector<RunRecord>& Runs() const { return runs_; }

private:
    QObject* host_ = nullptr;
    const CMainDlg* window_ = nullptr;
    int savedMarks_ = 0;
    CompTableFiles files_;
    std::vector<RunRecord> runs_;
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        QGuiApplication::setQuitOnLastWindowClosed(false);
        ASSERT_TRUE(programDir_.isValid());
        SetPortLister([] { return std::vector<ListedPort>{}; });
        g_instrumentPort = NO_INSTRUMENT_PORT;
        g_selectedUnitForDeletion = 0;
        g_selectedUnitForReading = 0;
        g_compTableText.clear();
    }

    void TearDown() override {
        window_.reset();
        SetPortLister({});
        g_candidatePorts.clear();
        g_compTableText.clear();
    }

    MainWindowOptions Options() {
        MainWindowOptions options;
        // As the system writes it (backslashes on Windows), as ProgramFolder() gives it.
        options.programDir = QDir::toNativeSeparators(programDir_.path());
        options.startupCheck = false;
        options.watchPortChanges = false;
        options.makeEditor = [this](QWidget* /*parent*/) {
            auto editor = std::make_unique<RecordingEditor>();
            editor_ = editor.get();
            return editor;
        };
        return options;
    }

    CMainDlg& MakeWindow(MainWindowOptions options) {
        window_ = std::make_unique<CMainDlg>(std::move(options));
        if (editor_ != nullptr) {
            editor_->Watch(window_.get());
        }
        return *window_;
    }
    CMainDlg& MakeWindow() { return MakeWindow(Options()); }

    // Posts a request as a page does and lets the main window handle it (and nothing else).
    void Request(int code, int argument = 0) {
        ASSERT_TRUE(PostPageSwitch(window_.get(), code, argument));
        QCoreApplication::sendPostedEvents(window_.get(), EventType(WM_PAGE_SWITCH));
    }

    int VisiblePageCount() const {
        int count = 0;
        for (int i = 0; i < kPageCount; ++i) {
            count += window_->Page(static_cast<PageId>(i))->isHidden() ? 0 : 1;
        }
        return count;
    }

    QTemporaryDir programDir_;
    CScriptedDialogs dialogs_;
    DialogsOverride dialogsOverride_ = SetDialogsForTests(dialogs_);
    RecordingEditor* editor_ = nullptr;
    std::unique_ptr<CMainDlg> window_;
};

} // namespace app_test
