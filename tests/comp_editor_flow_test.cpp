// The comparator tables in the main window with the real editor and the simulated instrument:
// a table made, saved, opened again, sent and read back, by keyboard alone; the open dialog of the
// table menu page; and a transmission refused part-way returning to the same table.
#include <csignal>
#include <deque>
#include <functional>
#include <string>
#include <utility>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/termination_requests.h"
#include "comp/table_file.h"
#include "controls/bitmap_button.h"
#include "controls/color_button.h"
#include "pages/comp_choice_page.h"
#include "pages/comp_table_dialog.h"
#include "pages/menu_pages.h"
#include "pages/page_requests.h"
#include "resources/layouts/comp_layouts.h"
#include "resources/layouts/comp_table_layout.h"
#include "resources/layouts/menu_layouts.h"
#include "tests/support/app_window.h"
#include "tests/support/controls_qt_app.h"
#include "tests/support/measure_support.h"
#include "tests/support/scratch_folder.h"

namespace {

namespace ids = comp_table_ids;
using app_test::MainWindowTest;
using measure_test::SimInstrument;

constexpr int kFlowTimeoutMs = 20000;

using EditorStep = std::function<void(CCompTableDlg&)>;

// Runs one queued step in each run of the editor, once it shows. A step ends the run; a run
// that the step leaves open, or that has no step, is closed as a failure so a test never hangs.
class EditorScript : public QObject {
public:
    EditorScript() { qApp->installEventFilter(this); }
    ~EditorScript() override { qApp->removeEventFilter(this); }

    void Then(EditorStep step) { steps_.push_back(std::move(step)); }
    bool Finished() const { return steps_.empty() && running_ == 0; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* editor = qobject_cast<CCompTableDlg*>(watched);
        if (editor == nullptr || event->type() != QEvent::Show) {
            return false;
        }
        EditorStep step;
        if (!steps_.empty()) {
            step = std::move(steps_.front());
            steps_.pop_front();
        }
        ++running_;
        QTimer::singleShot(0, editor, [this, editor, step = std::move(step)] {
            editor->activateWindow();
            QApplication::processEvents();
            if (step) {
                step(*editor);
            } else {
                ADD_FAILURE() << "the editor opened without a step: "
                              << editor->windowTitle().toStdString();
            }
            if (editor->isVisible()) {
                ADD_FAILURE() << "the step left the editor open";
                editor->MarkSaved();
                editor->close();
            }
            --running_;
        });
        return false;
    }

private:
    std::deque<EditorStep> steps_;
    int running_ = 0;
};

// Keys as the user presses them, to whatever has the focus.
void Press(Qt::Key key) {
    QTest::keyClick(QApplication::focusWidget(), key);
}
void Type(const char* text) {
    QTest::keyClicks(QApplication::focusWidget(), QString::fromUtf8(text));
}
// Tab until `target` has the focus.
void TabTo(QWidget* target) {
    for (int i = 0; i < 40 && QApplication::focusWidget() != target; ++i) {
        Press(Qt::Key_Tab);
    }
    ASSERT_EQ(QApplication::focusWidget(), target) << "not reached by Tab";
}

QStringList ListRow(const CCompTableDlg& editor, int index) {
    const auto* list = editor.Control<QTableWidget>(ids::kList);
    QStringList texts;
    for (int column = 1; column < list->columnCount(); ++column) {
        texts << list->item(index, column)->text();
    }
    return texts;
}

QString Title(const char* file) {
    return QStringLiteral("Edit Comparator Table - [%1]").arg(QString::fromUtf8(file));
}

class CompEditorFlow : public MainWindowTest {
protected:
    // A shown, active main window with the real editor, on the comparator table menu.
    CMainDlg& WindowOnCompChoice(SimInstrument& instrument) {
        MainWindowOptions options = Options();
        options.makeEditor = {};
        CMainDlg& window = MakeWindow(std::move(options));
        app_test::UseInstrumentPort(instrument.Port(), instrument.Server().DevicePath());
        window.show();
        window.activateWindow();
        QApplication::processEvents();
        return window;
    }

    QWidget* ChoiceButton(int id) const { return window_->CompChoicePage().Button(id); }

    // Until the queued steps have run and what they posted has been handled.
    bool RunUntilFinished() {
        const bool finished =
            QTest::qWaitFor([this] { return script_.Finished(); }, kFlowTimeoutMs);
        QApplication::processEvents();
        // The off-screen platform does not give the activation back when a modal window closes.
        window_->activateWindow();
        QApplication::processEvents();
        return finished;
    }

    test_support::ScratchFolder folder_;
    EditorScript script_;
};

// The whole way by keyboard: a new table with entries 1 and 200 set and saved, opened again,
// sent to the instrument and read back, with the same ranges and limits and no names.
TEST_F(CompEditorFlow, TableMadeSavedSentAndReadBackByKeyboard) {
    SimInstrument instrument(sim::EmptyInstrument());
    CMainDlg& window = WindowOnCompChoice(instrument);
    const QString path = QString::fromStdString(folder_.File("bench.csv"));

    TabTo(window.MainPage().CompClockButton());
    Press(Qt::Key_Return);
    QApplication::processEvents();
    TabTo(window.Page(PageId::InitCompDate)->Control(init_comp_date_ids::kCompTable));
    Press(Qt::Key_Return);
    QApplication::processEvents();
    ASSERT_EQ(window.VisiblePage(), PageId::CompChoice);

    script_.Then([&](CCompTableDlg& editor) {
        EXPECT_EQ(editor.windowTitle(), Title("NewFile"));
        // "Previous table No." has the focus: from 1 it goes round to 200.
        Press(Qt::Key_Return);
        TabTo(editor.Control<QLineEdit>(ids::kName));
        Type("Pack 200");
        TabTo(editor.Control<QComboBox>(ids::kResistanceRange));
        Press(Qt::Key_Down);
        TabTo(editor.Control<QLineEdit>(ids::kResistanceLimit1));
        Type("12.5");
        TabTo(editor.Control<QLineEdit>(ids::kResistanceLimit2));
        Type("31");
        TabTo(editor.Control<QComboBox>(ids::kVoltageRange));
        Press(Qt::Key_Down);
        TabTo(editor.Control<QLineEdit>(ids::kVoltageLimit));
        Type("48.5");
        TabTo(editor.Control<QPushButton>(ids::kSet));
        Press(Qt::Key_Return);

        TabTo(editor.Control<QPushButton>(ids::kNext));
        Press(Qt::Key_Return);
        TabTo(editor.Control<QLineEdit>(ids::kName));
        Type("Pack 1");
        TabTo(editor.Control<QLineEdit>(ids::kResistanceLimit1));
        Type("2.5");
        TabTo(editor.Control<QLineEdit>(ids::kResistanceLimit2));
        Type("1.2");
        TabTo(editor.Control<QLineEdit>(ids::kVoltageLimit));
        Type("5.5");
        TabTo(editor.Control<QPushButton>(ids::kSet));
        Press(Qt::Key_Return);
        EXPECT_EQ(ListRow(editor, 199),
                  QStringList({"Pack 200", "30m", "12.50", "31.00", "60V", "48.50"}));
        EXPECT_EQ(ListRow(editor, 0),
                  QStringList({"Pack 1", "3m", "1.200", "1.200", "6V", "5.500"}));
        EXPECT_EQ(editor.windowTitle(), Title("NewFile *"));

        dialogs_.QueuePath(path);
        TabTo(editor.Control<QPushButton>(ids::kSave));
        Press(Qt::Key_Return);
        EXPECT_EQ(editor.windowTitle(), Title("bench.csv"));
        TabTo(editor.Control<QPushButton>(ids::kCancel));
        Press(Qt::Key_Return);
    });
    TabTo(ChoiceButton(comp_choice_ids::kNewFile));
    Press(Qt::Key_Return);
    ASSERT_TRUE(RunUntilFinished());
    ASSERT_EQ(window.CompChoicePage().TableFiles(), CompTableFilesOf(path));
    comp::CompTable saved;

    // Opened again, then sent; the editor comes back on the same table after the transfer.
    dialogs_.QueuePath(path);
    script_.Then([&](CCompTableDlg& editor) {
        EXPECT_EQ(editor.windowTitle(), Title("bench.csv"));
        saved = editor.Rows();
        dialogs_.QueueAnswer(MessageAnswer::Yes);
        TabTo(editor.Control<QPushButton>(ids::kTransfer));
        Press(Qt::Key_Return);
    });
    script_.Then([&](CCompTableDlg& editor) {
        EXPECT_EQ(editor.windowTitle(), Title("bench.csv"));
        EXPECT_TRUE(editor.Rows() == saved);
        TabTo(editor.Control<QPushButton>(ids::kCancel));
        Press(Qt::Key_Return);
    });
    TabTo(ChoiceButton(comp_choice_ids::kEditFile));
    Press(Qt::Key_Return);
    ASSERT_TRUE(RunUntilFinished());
    const FileRequest& opened = dialogs_.Calls().at(1).file;
    EXPECT_EQ(opened.fileName, QStringLiteral("bench.csv"));
    EXPECT_EQ(opened.folder, QString::fromStdString(folder_.Path() + "/"));

    // Read back: the same ranges and limits; the instrument keeps no names.
    dialogs_.QueueAnswer(MessageAnswer::Yes);
    script_.Then([&](CCompTableDlg& editor) {
        EXPECT_EQ(editor.windowTitle(), Title("K720data *"));
        comp::CompTable expected = saved;
        for (comp::CompRow& row : expected) {
            row.name = "No Name";
        }
        EXPECT_TRUE(editor.Rows() == expected);
        EXPECT_EQ(ListRow(editor, 199),
                  QStringList({"No Name", "30m", "12.50", "31.00", "60V", "48.50"}));
        dialogs_.QueueAnswer(MessageAnswer::No);
        TabTo(editor.Control<QPushButton>(ids::kCancel));
        Press(Qt::Key_Return);
    });
    TabTo(ChoiceButton(comp_choice_ids::kEditInstrumentData));
    Press(Qt::Key_Return);
    ASSERT_TRUE(RunUntilFinished());

    QStringList texts;
    for (const MessageRequest& message : dialogs_.Messages()) {
        texts << message.text;
    }
    EXPECT_EQ(texts,
              QStringList({"Transfer COMP table to K720?  ", "Data transferred.  ",
                           "Read COMP table from K720.  ", "Data received.  ", "Save data?  "}));
    EXPECT_EQ(dialogs_.UnusedAnswers(), 0u);
}

// The open dialog starts where the last table file was, proposes "*.csv" when there was none,
// and comes again after a file that cannot be read or loaded; the editor never shows for those.
TEST_F(CompEditorFlow, OpenDialogComesAgainAfterAFileThatCannotBeLoaded) {
    SimInstrument instrument(sim::EmptyInstrument());
    CMainDlg& window = WindowOnCompChoice(instrument);
    Request(kRequestCompClockMenu);
    Request(kRequestCompChoice);
    const CompTableFiles initial = window.CompChoicePage().TableFiles();
    EXPECT_FALSE(initial.folder.isEmpty());

    const std::string wrongFirstLine = folder_.File("wrong.csv");
    measure_test::WriteFileBytes(wrongFirstLine, "Model,K720\r\nUpDate,2020-1-1\r\n");
    dialogs_.QueuePath(QString::fromStdString(wrongFirstLine));
    dialogs_.QueuePath(QString::fromStdString(folder_.File("absent.csv")));
    static_cast<QPushButton*>(ChoiceButton(comp_choice_ids::kEditFile))->click();
    QTest::qWait(50);

    std::vector<DialogCall::Kind> kinds;
    for (const DialogCall& call : dialogs_.Calls()) {
        kinds.push_back(call.kind);
    }
    using Kind = DialogCall::Kind;
    ASSERT_EQ(kinds, (std::vector<Kind>{Kind::OpenFile, Kind::Message, Kind::OpenFile,
                                        Kind::Message, Kind::OpenFile}));
    const std::vector<DialogCall>& calls = dialogs_.Calls();
    EXPECT_EQ(calls[0].file.folder, initial.folder);
    EXPECT_EQ(calls[0].file.fileName, QStringLiteral("*.csv"));
    EXPECT_EQ(calls[0].file.filter, QStringLiteral("csv file (*.csv)|*.csv||"));
    EXPECT_EQ(calls[1].message.text,
              QStringLiteral("Incorrect file format. (1) \nPlease select the correct file.  "));
    EXPECT_EQ(calls[2].file.fileName, QStringLiteral("*.csv"));
    EXPECT_EQ(calls[2].file.folder, QString::fromStdString(folder_.Path() + "/"));
    EXPECT_EQ(calls[3].message.icon, MessageIcon::Error);
    EXPECT_TRUE(calls[3].message.text.contains(QStringLiteral("absent.csv")));
    EXPECT_EQ(window.VisiblePage(), PageId::CompChoice);

    // "Edit K720 data" answered No: nothing happens.
    dialogs_.QueueAnswer(MessageAnswer::No);
    static_cast<QPushButton*>(ChoiceButton(comp_choice_ids::kEditInstrumentData))->click();
    QTest::qWait(50);
    EXPECT_EQ(window.VisiblePage(), PageId::CompChoice);
    EXPECT_TRUE(instrument.SettledCommands().empty());
    EXPECT_TRUE(script_.Finished());
}

// A transmission refused at entry 10 brings the user back to the same unsaved table.
TEST_F(CompEditorFlow, RefusedTransmissionReturnsToTheSameTable) {
    sim::Faults refusing10;
    refusing10.badAckEntry = 10;
    SimInstrument instrument(sim::EmptyInstrument(), refusing10);
    CMainDlg& window = WindowOnCompChoice(instrument);
    Request(kRequestCompClockMenu);
    Request(kRequestCompChoice);

    comp::CompTable edited;
    script_.Then([&](CCompTableDlg& editor) {
        editor.Control<QLineEdit>(ids::kTableNumber)->setText(QStringLiteral("12"));
        editor.Control<QLineEdit>(ids::kResistanceLimit1)->setText(QStringLiteral("3"));
        editor.Control<QLineEdit>(ids::kResistanceLimit2)->setText(QStringLiteral("3.1"));
        editor.Control<QPushButton>(ids::kSet)->click();
        edited = editor.Rows();
        dialogs_.QueueAnswer(MessageAnswer::Yes); // transfer
        dialogs_.QueueAnswer(MessageAnswer::No);  // do not save first
        editor.Control<QPushButton>(ids::kTransfer)->click();
    });
    script_.Then([&](CCompTableDlg& editor) {
        EXPECT_EQ(editor.windowTitle(), Title("NewFile *"));
        EXPECT_TRUE(editor.Rows() == edited);
        EXPECT_EQ(editor.Rows()[11].rLim2, "3.100");
        EXPECT_TRUE(editor.Control<QPushButton>(ids::kSave)->isEnabled());
        editor.MarkSaved();
        editor.Control<QPushButton>(ids::kCancel)->click();
    });
    static_cast<QPushButton*>(ChoiceButton(comp_choice_ids::kNewFile))->click();
    ASSERT_TRUE(RunUntilFinished());
    EXPECT_EQ(dialogs_.Messages().back().text, QStringLiteral("Data transfer error.  "));
    EXPECT_EQ(window.VisiblePage(), PageId::CompChoice);
}

// The system asking the program to end (SIGTERM) closes the editor and the window without any
// question, dropping the editor's unsaved changes, and the settings are written.
TEST_F(CompEditorFlow, RequestToEndClosesEverythingWithoutQuestions) {
    SimInstrument instrument(sim::EmptyInstrument());
    CMainDlg& window = WindowOnCompChoice(instrument);
    std::string whyNot;
    ASSERT_TRUE(TakeTerminationRequests(
        window, [&window] { window.CloseOnRequestToEnd(); }, &whyNot))
        << whyNot;
    Request(kRequestCompClockMenu);
    Request(kRequestCompChoice);

    script_.Then([&](CCompTableDlg& editor) {
        editor.Control<QLineEdit>(ids::kResistanceLimit2)->setText(QStringLiteral("1"));
        editor.Control<QPushButton>(ids::kSet)->click();
        ASSERT_FALSE(editor.IsSaved());
        std::raise(SIGTERM);
        EXPECT_TRUE(QTest::qWaitFor([&editor] { return !editor.isVisible(); }, 2000));
    });
    static_cast<QPushButton*>(ChoiceButton(comp_choice_ids::kNewFile))->click();
    ASSERT_TRUE(RunUntilFinished());
    EXPECT_TRUE(QTest::qWaitFor([&window] { return !window.isVisible(); }, 2000));
    EXPECT_TRUE(dialogs_.Calls().empty());
    EXPECT_TRUE(QFile::exists(window.SettingsPath()));
}

} // namespace
