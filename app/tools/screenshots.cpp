// Renders the main window with each of its pages, the about box and the start-up check window
// off-screen and writes them as PNG files into the folder named on the command line:
//
//   k720-screenshots docs/screenshots
//   k720-screenshots --lang ja docs/screenshots/ja
//
// The pages are reached the way the user reaches them, by page-switch requests. The pages that
// show what the instrument holds (the unit selection, a reception or a deletion under way) talk to
// the simulated instrument with its demonstration memory; no real serial port is listed or opened,
// and no settings file is read from or written to the program's folder. A message box that any page
// raises meanwhile is not shown: it is reported, and the run fails.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "app/main_app.h"
#include "app/main_window.h"
#include "clock/clock_setting.h"
#include "comp/comp_table.h"
#include "comp/table_file.h"
#include "controls/color_button.h"
#include "controls/core_text.h"
#include "controls/dialogs.h"
#include "controls/window_messages.h"
#include "instrument/port_listing.h"
#include "link/port_names.h"
#include "measure/deletion.h"
#include "pages/about_dialog.h"
#include "pages/comp_table_dialog.h"
#include "pages/comp_transmit_do_page.h"
#include "pages/comp_transmit_send_page.h"
#include "pages/date_page.h"
#include "pages/erase_choice_page.h"
#include "pages/erase_do_page.h"
#include "pages/page_requests.h"
#include "pages/read_choice_page.h"
#include "pages/read_do_page.h"
#include "pages/read_receive_page.h"
#include "pages/usb_check_dialog.h"
#include "resources/layouts/comp_table_layout.h"
#include "resources/translations.h"
#include "sim/instrument.h"
#include "sim/pty_server.h"

namespace {

using WindowStep = std::function<void(CMainDlg&)>;
using WindowState = std::function<bool(const CMainDlg&)>;

struct Request {
    int code;
    int argument = 0;
    WindowState until = {}; // the next request waits until this holds
};

struct Shot {
    const char* fileName;
    std::vector<Request> path; // the requests that lead from the top menu to the page
    bool instrument = false;   // the simulated instrument is the one port listed
    WindowStep prepare = {};   // before the path
    WindowState settled = {};  // the picture is taken once this holds
    WindowStep finish = {};    // after the picture
    WindowStep act = {};       // after the path, before waiting for the picture's state
};

constexpr int kUnitC = 0x4;
constexpr int kUnitP = 0x800;
// The reception picture is taken while unit P (400 readings) is being read: the instrument stops
// answering after this many readings, so the picture always shows the same count.
constexpr int kReadingsInPicture = 150;
// The comparator table pictures are taken after this many entries, for the same reason.
constexpr int kTableEntriesInPicture = 120;
constexpr int kSettleTimeoutMs = 15000;

// What the confirmation page offers: an example, not a folder of the machine that renders it.
const QString kExampleFolder = QStringLiteral("/data/K720");

bool UnitsChecked(const CUnitChoicePage& page) {
    return page.CancelButton()->isEnabled();
}

CPpgEraseDo& EraseDoPage(const CMainDlg& window) {
    return *static_cast<CPpgEraseDo*>(window.Page(PageId::EraseDo));
}

CPpgCompTransmitDo& TransmitDoPage(const CMainDlg& window) {
    return *static_cast<CPpgCompTransmitDo*>(window.Page(PageId::CompTransmitDo));
}

CPpgCompTransmitSend& TransmitSendPage(const CMainDlg& window) {
    return *static_cast<CPpgCompTransmitSend*>(window.Page(PageId::CompTransmitSend));
}

// The clock pages' fields as on 7 March 2014 at 09:05, whatever day the picture is taken.
void FixPcClock(CMainDlg& /*window*/) {
    instrument_clock::SetPcClockForTests([] {
        return instrument_clock::ClockSetting{2014, 3, 7, 9, 5};
    });
}

const std::vector<Shot> kShots = {
    {"main_window.png", {}},
    {"read_delete_menu.png", {{kRequestReadDeleteMenu}}},
    {"read_choice.png",
     {{kRequestReadDeleteMenu}, {kRequestReadChoice}},
     true,
     {},
     [](const CMainDlg& window) { return UnitsChecked(window.ReadChoicePage()); }},
    {"read_do.png",
     {{kRequestReadDeleteMenu}, {kRequestReadChoice}, {kRequestReadUnitChosen, kUnitC}},
     false,
     [](CMainDlg& window) {
         window.ReadDoPage().SetAcceptedDestination(kExampleFolder, QStringLiteral("DataK720"));
     },
     [](const CMainDlg& window) {
         return window.ReadDoPage().UnitLine()->text() ==
                CPpgReadDo::tr("This will read unit [ %1 ].").arg(QStringLiteral("C"));
     }},
    {"read_receive.png",
     {{kRequestReadDeleteMenu},
      // The memory check finds the instrument's port, and which units hold data.
      {kRequestReadChoice, 0,
       [](const CMainDlg& window) { return UnitsChecked(window.ReadChoicePage()); }},
      {kRequestReadUnitChosen, kUnitP},
      {kRequestStartReception}},
     true,
     {},
     [](const CMainDlg& window) {
         return window.ReadReceivePage().CountLine()->text() ==
                QStringLiteral("%1 / 400").arg(kReadingsInPicture);
     },
     [](CMainDlg& window) { window.ReadReceivePage().StopReception(); }},
    {"erase_choice.png",
     {{kRequestReadDeleteMenu}, {kRequestEraseChoice}},
     true,
     {},
     [](const CMainDlg& window) { return UnitsChecked(window.EraseChoicePage()); }},
    // Mid-deletion: the instrument never answers the clear command, and the window closing
    // after the picture ends the exchange without a message.
    {"erase_do.png",
     {{kRequestReadDeleteMenu},
      {kRequestEraseChoice, 0,
       [](const CMainDlg& window) { return UnitsChecked(window.EraseChoicePage()); }},
      {kRequestEraseUnitChosen, kUnitC,
       [](const CMainDlg& window) {
           return EraseDoPage(window).UnitLine()->text() ==
                      CoreText(measure::DeletionUnitText(kUnitC)) &&
                  EraseDoPage(window).StatusLine()->text() ==
                      CoreText(measure::kProceedQuestionText);
       }}},
     true,
     {},
     [](const CMainDlg& window) {
         return EraseDoPage(window).StatusLine()->text() ==
                CPpgEraseDo::tr("Deleting %1").arg(QStringLiteral("....."));
     },
     [](CMainDlg& window) { window.close(); },
     [](CMainDlg& window) { EraseDoPage(window).OkButton()->click(); }},
    {"comp_clock_menu.png", {{kRequestCompClockMenu}}},
    {"set_clock.png",
     {{kRequestCompClockMenu}, {kRequestSetClock}},
     false,
     FixPcClock,
     [](const CMainDlg& window) {
         const auto& page = *static_cast<const CPpgDate*>(window.Page(PageId::Date));
         return page.Field(instrument_clock::ClockField::Minute)->text() == QStringLiteral("5");
     },
     [](CMainDlg& /*window*/) { instrument_clock::SetPcClockForTests({}); }},
    // While the clock is set: the instrument keeps the page waiting for its answer, and the
    // window is closed after the picture, before the time-out would be reported.
    {"set_clock_setting.png",
     {{kRequestCompClockMenu}, {kRequestSetClock}},
     true,
     FixPcClock,
     [](const CMainDlg& window) {
         const auto& page = *static_cast<const CPpgDate*>(window.Page(PageId::Date));
         return !page.SetButton()->isEnabled() && !page.BackButton()->isEnabled();
     },
     [](CMainDlg& window) {
         instrument_clock::SetPcClockForTests({});
         window.close();
     },
     [](CMainDlg& window) {
         auto& page = *static_cast<CPpgDate*>(window.Page(PageId::Date));
         QTimer::singleShot(300, &page, [&page] { page.SetButton()->click(); });
     }},
    {"comp_choice.png", {{kRequestCompClockMenu}, {kRequestCompChoice}}},
    // Mid-reception: the instrument stops answering after a fixed number of entries, and the
    // transfer is stopped after the picture, before its error would be reported.
    {"comp_receive.png",
     {{kRequestCompClockMenu}, {kRequestCompChoice}, {kRequestReceiveTable}},
     true,
     {},
     [](const CMainDlg& window) {
         return TransmitDoPage(window).Counter()->text() ==
                QStringLiteral("%1 / 200").arg(kTableEntriesInPicture);
     },
     [](CMainDlg& window) { TransmitDoPage(window).StopTransfer(); }},
    // Mid-transmission of the default table: the instrument refuses the entry after the ones in
    // the picture, and the transfer is stopped within the end message's delay.
    {"comp_transmit.png",
     {{kRequestCompClockMenu}, {kRequestCompChoice}, {kRequestTransmitTable}},
     true,
     [](CMainDlg& /*window*/) {
         if (!comp::BuildTableText(comp::CompTable{}).Ok()) {
             std::fprintf(stderr, "k720-screenshots: the default table was refused\n");
         }
     },
     [](const CMainDlg& window) {
         return TransmitSendPage(window).Counter()->text() ==
                QStringLiteral("%1 / 200").arg(kTableEntriesInPicture);
     },
     [](CMainDlg& window) {
         TransmitSendPage(window).StopTransfer();
         g_compTableText.clear();
     }},
};

// The simulated instrument, paced like the real serial line, with its demonstration memory.
class Instrument {
public:
    Instrument() : server_(MakeState(), MakeFaults(), MakeOptions()) {}
    ~Instrument() {
        if (port_ != 0) {
            DetachPortDevice(port_);
        }
        server_.Stop();
    }
    Instrument(const Instrument&) = delete;
    Instrument& operator=(const Instrument&) = delete;

    bool Start() {
        std::string error;
        if (!server_.Start(&error)) {
            std::fprintf(stderr, "k720-screenshots: the simulated instrument did not start: %s\n",
                         error.c_str());
            return false;
        }
        port_ = AttachPortDevice(server_.DevicePath());
        return port_ != 0;
    }

    // Lists the instrument as the one serial port, or lists none.
    void List(bool listed) const {
        const ListedPort port{"Prolific USB-to-Serial Comm Port (simulated K720)", port_,
                              server_.DevicePath(), true};
        SetPortLister([listed, port] {
            return listed ? std::vector<ListedPort>{port} : std::vector<ListedPort>{};
        });
    }

private:
    static sim::InstrumentState MakeState() { return sim::DemoInstrument(); }
    static sim::Faults MakeFaults() {
        sim::Faults faults;
        faults.readingsBeforeSilence = kReadingsInPicture;
        faults.tableEntriesBeforeSilence = kTableEntriesInPicture;
        faults.badAckEntry = kTableEntriesInPicture + 1;
        faults.wrongReplies.push_back({":MEM:CLEAR*", ""}); // a deletion under way stays so
        faults.wrongReplies.push_back({":TIME *", ""});     // as does the setting of the clock
        return faults;
    }
    static sim::ServerOptions MakeOptions() {
        sim::ServerOptions options;
        options.pace = true;
        return options;
    }

    sim::SimServer server_;
    int port_ = 0;
};

// Runs the event loop until `done` holds or the time is up.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    if (done()) {
        return true;
    }
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) {
            loop.quit();
        }
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    poll.start();
    loop.exec();
    return done();
}

bool Save(QWidget& widget, const QDir& folder, const char* fileName) {
    const QString path = folder.filePath(QString::fromLatin1(fileName));
    if (!widget.grab().save(path, "PNG")) {
        std::fprintf(stderr, "k720-screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

bool ReportMessages(const CScriptedDialogs& dialogs, const char* fileName) {
    for (const MessageRequest& message : dialogs.Messages()) {
        std::fprintf(stderr, "k720-screenshots: %s: a message box came up: %s\n", fileName,
                     qPrintable(message.text));
    }
    return dialogs.Messages().empty();
}

// A table as the instrument gives it (no names), with entries of every range.
comp::CompTable ReceivedExampleTable() {
    comp::CompTable rows;
    for (int index = 0; index < comp::kEntryCount; ++index) {
        const comp::RangeSpec& rRange = comp::ResistanceRange(index % 4);
        const comp::RangeSpec& vRange = comp::VoltageRange((index / 4) % 2);
        const int upper = 400 + (index * 37) % 2600;
        const int lower = std::max(0, upper - 100 - (index * 13) % 300);
        comp::CompRow& row = rows[static_cast<std::size_t>(index)];
        row.rRange = std::string(rRange.tableText);
        row.rLim1 = comp::FormatLimit(lower, rRange.decimals);
        row.rLim2 = comp::FormatLimit(upper, rRange.decimals);
        row.vRange = std::string(vRange.tableText);
        row.vLim = comp::FormatLimit(1000 + (index * 71) % 4000, vRange.decimals);
    }
    return rows;
}

// The editor in `mode`, showing entry `number`.
bool ShootEditor(const QDir& folder, CompEditorMode mode, int number, const char* fileName) {
    CScriptedDialogs dialogs;
    const DialogsOverride dialogsOverride = SetDialogsForTests(dialogs);
    CCompTableDlg editor;
    bool good = editor.Open(mode);
    if (number > 1) {
        editor.Control<QLineEdit>(comp_table_ids::kTableNumber)
            ->setText(QString::number(number - 1));
        editor.Control<QPushButton>(comp_table_ids::kNext)->click();
    }
    editor.show();
    editor.activateWindow();
    QApplication::processEvents();
    good = Save(editor, folder, fileName) && good;
    editor.MarkSaved();
    editor.hide();
    return ReportMessages(dialogs, fileName) && good;
}

// A main window as the pictures show it: no start-up check, no watch on the port list, its files
// in `programDir`.
MainWindowOptions ShotWindowOptions(const QString& programDir) {
    MainWindowOptions options;
    options.programDir = programDir;
    options.startupCheck = false;
    options.watchPortChanges = false;
    return options;
}

bool ShootMainWindow(const Shot& shot, const QString& programDir, const QDir& folder,
                     const Instrument& instrument) {
    CScriptedDialogs dialogs;
    const DialogsOverride dialogsOverride = SetDialogsForTests(dialogs);
    instrument.List(shot.instrument);
    CMainDlg window(ShotWindowOptions(programDir));
    window.show();
    // Active, as in use: the focused button shows its focus look.
    window.activateWindow();
    QApplication::processEvents();
    // Whatever a page writes stays in the temporary folder.
    window.ReadDoPage().SetAcceptedDestination(programDir, QStringLiteral("DataK720"));
    if (shot.prepare) {
        shot.prepare(window);
    }
    bool good = true;
    for (const Request& request : shot.path) {
        PageSwitchEvent event(request.code, request.argument);
        QCoreApplication::sendEvent(&window, &event);
        if (request.until && !WaitUntil([&] { return request.until(window); }, kSettleTimeoutMs)) {
            std::fprintf(stderr, "k720-screenshots: %s: no page after request %d\n", shot.fileName,
                         request.code);
            good = false;
        }
    }
    QApplication::processEvents();
    if (shot.act) {
        shot.act(window);
    }
    if (shot.settled && !WaitUntil([&] { return shot.settled(window); }, kSettleTimeoutMs)) {
        std::fprintf(stderr, "k720-screenshots: %s: the page did not reach its state\n",
                     shot.fileName);
        good = false;
    }
    good = Save(window, folder, shot.fileName) && good;
    if (shot.finish) {
        shot.finish(window);
    }
    return ReportMessages(dialogs, shot.fileName) && good;
}

// A focused button of each face, enlarged three times so that the focus mark's dots show.
struct FocusShot {
    const char* fileName;
    int request;         // the menu page that holds the button
    const char* caption; // the button that has the focus
};

const FocusShot kFocusShots[] = {
    {"focus_mark_orange.png", kRequestCompClockMenu, "COMP Table"},
    {"focus_mark_blue.png", kRequestReadDeleteMenu, "Read Data"},
    {"focus_mark_green.png", kRequestCompClockMenu, "Back"},
};

constexpr int kFocusShotMargin = 6;
constexpr int kFocusShotScale = 3;

bool ShootFocusMark(const FocusShot& shot, const QString& programDir, const QDir& folder) {
    CScriptedDialogs dialogs;
    const DialogsOverride dialogsOverride = SetDialogsForTests(dialogs);
    CMainDlg window(ShotWindowOptions(programDir));
    window.show();
    window.activateWindow();
    PageSwitchEvent event(shot.request, 0);
    QCoreApplication::sendEvent(&window, &event);
    CColorButton* button = nullptr;
    for (CColorButton* candidate : window.findChildren<CColorButton*>()) {
        if (candidate->isVisible() &&
            candidate->text() == QCoreApplication::translate("Dialog", shot.caption)) {
            button = candidate;
        }
    }
    if (button == nullptr) {
        std::fprintf(stderr, "k720-screenshots: %s: no button \"%s\"\n", shot.fileName,
                     shot.caption);
        return false;
    }
    button->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
    const QRect area(button->mapTo(&window, QPoint(-kFocusShotMargin, -kFocusShotMargin)),
                     button->size().grownBy(QMargins(kFocusShotMargin, kFocusShotMargin,
                                                     kFocusShotMargin, kFocusShotMargin)));
    const QPixmap picture = window.grab(area);
    const QString path = folder.filePath(QString::fromLatin1(shot.fileName));
    if (!picture
             .scaled(picture.size() * kFocusShotScale, Qt::IgnoreAspectRatio,
                     Qt::FastTransformation)
             .save(path, "PNG")) {
        std::fprintf(stderr, "k720-screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return ReportMessages(dialogs, shot.fileName);
}

} // namespace

int main(int argc, char** argv) {
    const bool japanese = argc == 4 && std::string_view(argv[1]) == "--lang" &&
                          ParseLanguage(argv[2]) == Language::Japanese;
    const bool english = argc == 2 || (argc == 4 && std::string_view(argv[1]) == "--lang" &&
                                       ParseLanguage(argv[2]) == Language::English);
    if (!japanese && !english) {
        std::fprintf(stderr, "usage: k720-screenshots [--lang ja|en] <output folder>\n");
        return 2;
    }
    const char* output = argv[argc - 1];
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    }
    QApplication app(argc, argv);
    ApplyDialogLook(app);
    if (!InstallTranslations(app, japanese ? Language::Japanese : Language::English)) {
        std::fprintf(stderr, "k720-screenshots: the Japanese texts could not be loaded\n");
        return 1;
    }
    const QDir folder(QString::fromLocal8Bit(output));
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "k720-screenshots: cannot create %s\n", output);
        return 1;
    }
    // The windows read no settings from, and write none to, the program's real folder.
    QTemporaryDir programDir;
    if (!programDir.isValid()) {
        std::fprintf(stderr, "k720-screenshots: no temporary folder\n");
        return 1;
    }

    Instrument instrument;
    if (!instrument.Start()) {
        return 1;
    }

    bool allSaved = true;
    for (const Shot& shot : kShots) {
        allSaved = ShootMainWindow(shot, programDir.path(), folder, instrument) && allSaved;
    }
    SetPortLister({});
    for (const FocusShot& shot : kFocusShots) {
        allSaved = ShootFocusMark(shot, programDir.path(), folder) && allSaved;
    }
    allSaved = ShootEditor(folder, CompEditorMode::NewTable, 1, "comp_editor_new.png") && allSaved;
    if (!comp::BuildTableText(ReceivedExampleTable()).Ok()) {
        std::fprintf(stderr, "k720-screenshots: the example table was refused\n");
        allSaved = false;
    }
    allSaved =
        ShootEditor(folder, CompEditorMode::FromInstrument, 87, "comp_editor_received.png") &&
        allSaved;
    g_compTableText.clear();
    CAboutDlg about;
    allSaved = Save(about, folder, "about_box.png") && allSaved;
    // Not shown, so it never starts its scan.
    CUsbCheckDlg check;
    allSaved = Save(check, folder, "usb_check.png") && allSaved;
    return allSaved ? 0 : 1;
}
