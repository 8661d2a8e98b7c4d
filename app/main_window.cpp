#include "app/main_window.h"

#include <array>
#include <string>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTimer>

#include "app/port_watch.h"
#include "app/system_menu.h"
#include "controls/bitmap_button.h"
#include "controls/dialogs.h"
#include "controls/exchange_runner.h"
#include "controls/fonts.h"
#include "controls/window_messages.h"
#include "instrument/discovery.h"
#include "instrument/port_listing.h"
#include "pages/about_dialog.h"
#include "pages/comp_choice_page.h"
#include "pages/comp_table_dialog.h"
#include "pages/comp_transmit_do_page.h"
#include "pages/comp_transmit_send_page.h"
#include "pages/date_page.h"
#include "pages/erase_choice_page.h"
#include "pages/erase_do_page.h"
#include "pages/menu_pages.h"
#include "pages/page_requests.h"
#include "pages/read_choice_page.h"
#include "pages/read_do_page.h"
#include "pages/read_receive_page.h"
#include "pages/selected_units.h"
#include "pages/usb_check_dialog.h"
#include "resources/images.h"
#include "resources/layouts/comp_layouts.h"
#include "resources/layouts/date_layout.h"
#include "resources/layouts/erase_do_layout.h"
#include "resources/layouts/main_window_layout.h"
#include "resources/layouts/menu_layouts.h"
#include "resources/layouts/read_do_layout.h"
#include "resources/layouts/read_receive_layout.h"
#include "resources/layouts/unit_choice_layouts.h"

namespace {

const QColor kBackground(192, 192, 192);
constexpr int kNoFocus = 0;

bool IsEnterKey(const QEvent* event) {
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// A push button of a page: the page itself turns Enter on it into a click.
bool IsPageButton(const QObject* object) {
    return qobject_cast<const QPushButton*>(object) != nullptr &&
           qobject_cast<const CPage*>(object->parent()) != nullptr;
}

// The editor run that follows a request, if any.
std::optional<CompEditorMode> EditorRunFor(int code) {
    switch (code) {
    case kRequestNewTable:
        return CompEditorMode::NewTable;
    case kRequestEditTableFile:
        return CompEditorMode::TableFile;
    case kRequestTransmitOpenFailed:
    case kRequestTransmitEnded:
        return CompEditorMode::AfterTransfer;
    case kRequestTableReceived:
        return CompEditorMode::FromInstrument;
    default:
        return std::nullopt;
    }
}

} // namespace

// One switch of the navigation table: the page to show (every other page is hidden), the notice
// it gets (if any) and its control that gets the keyboard focus (if any).
struct CMainDlg::PageStep {
    int code;
    PageId show;
    std::optional<WindowMessage> notice;
    int focus;
};

const CMainDlg::PageStep* CMainDlg::FindStep(int code) {
    static constexpr std::array<PageStep, 26> kSteps = {{
        // code, page shown, notice, focus
        {kRequestReadDeleteMenu, PageId::DataReadErase, {}, data_read_erase_ids::kBack},
        {kRequestCompClockMenu, PageId::InitCompDate, {}, init_comp_date_ids::kBack},
        {kRequestBackFromReadDeleteMenu, PageId::Main, {}, main_menu_ids::kReadDelete},
        {kRequestReadChoice, PageId::ReadChoice, WM_PAGE_ACTIVATE, kNoFocus},
        {kRequestEraseChoice, PageId::EraseChoice, WM_PAGE_ACTIVATE, kNoFocus},
        {kRequestBackFromEraseChoice, PageId::DataReadErase, {}, data_read_erase_ids::kDelete},
        {kRequestEraseUnitChosen, PageId::EraseDo, WM_PAGE_ACTIVATE, erase_do_ids::kCancel},
        {kRequestBackFromEraseDo, PageId::EraseChoice, {}, kEraseChoiceIds.cancel},
        {kRequestErased, PageId::EraseChoice, WM_PAGE_ACTIVATE, kNoFocus},
        {kRequestEraseFailed, PageId::DataReadErase, {}, kNoFocus},
        {kRequestBackFromReadChoice, PageId::DataReadErase, {}, data_read_erase_ids::kRead},
        {kRequestReadUnitChosen, PageId::ReadDo, WM_PAGE_ACTIVATE, read_do_ids::kCancel},
        {kRequestBackFromReadDo, PageId::ReadChoice, {}, kReadChoiceIds.cancel},
        {kRequestStartReception, PageId::ReadReceive, WM_PAGE_ACTIVATE, read_receive_ids::kCancel},
        {kRequestReceptionEnded, PageId::ReadChoice, {}, kReadChoiceIds.cancel},
        {kRequestBackFromCompClockMenu, PageId::Main, {}, main_menu_ids::kCompClock},
        {kRequestCompChoice, PageId::CompChoice, {}, comp_choice_ids::kCancel},
        {kRequestSetClock, PageId::Date, WM_PAGE_ACTIVATE, date_ids::kBack},
        {kRequestBackFromSetClock, PageId::InitCompDate, {}, init_comp_date_ids::kSetClock},
        {kRequestBackFromCompChoice, PageId::InitCompDate, {}, init_comp_date_ids::kCompTable},
        {kRequestReceiveTable, PageId::CompTransmitDo, WM_COMP_RECEIVE_START, kNoFocus},
        {kRequestTransmitOpenFailed, PageId::CompChoice, {}, kNoFocus},
        {kRequestTransmitEnded, PageId::CompChoice, {}, kNoFocus},
        {kRequestTransmitTable, PageId::CompTransmitSend, WM_COMP_SEND_START, kNoFocus},
        {kRequestTableReceiveFailed, PageId::CompChoice, {}, kNoFocus},
        {kRequestTableReceived, PageId::CompChoice, {}, kNoFocus},
    }};
    for (const PageStep& step : kSteps) {
        if (step.code == code) {
            return &step;
        }
    }
    return nullptr;
}

CMainDlg::CMainDlg(MainWindowOptions options, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      options_(std::move(options)) {
    InitImageResources();
    layout_ = DialogLayout::Build(*this, layouts::kMainWindow, DialogFont());
    setWindowIcon(ProgramIcon());
    setWindowTitle(QString::fromLatin1(kTitle));
    layout_.Find<QLabel>(main_window_ids::kLogo)->setPixmap(QPixmap(images::kLogo));
    AddAboutEntry();

    g_portListChanged.store(1);
    EnumerateCandidatePorts();
    CreateSharedFonts();
    CreatePages();
    editor_ =
        options_.makeEditor ? options_.makeEditor(this) : std::make_unique<CCompTableDlg>(this);
    editor_->SetHost(this);
    editor_->MarkSaved();
    LoadSettings();

    mainPage_->show();
    mainPage_->ReadDeleteButton()->setFocus(Qt::OtherFocusReason);

    // Enter is swallowed before any widget of this window sees it (see eventFilter).
    qApp->installEventFilter(this);
    if (options_.watchPortChanges) {
        WatchPortChanges();
    }
    if (options_.startupCheck) {
        QTimer::singleShot(kStartupCheckDelayMs, this, &CMainDlg::RunStartupCheck);
    }
}

CMainDlg::~CMainDlg() {
    // Destroyed without being closed (a test, a failed start): no exchange may outlive it.
    InstrumentExchanges().Abandon();
    qApp->removeEventFilter(this);
    // The notifier watches the monitor's descriptor: it goes first.
    delete portNotifier_;
}

void CMainDlg::CreatePages() {
    mainPage_ = new CPpgMain(this);
    dataReadErasePage_ = new CPpgDataReadErase(this);
    eraseChoicePage_ = new CPpgEraseChoice(this);
    eraseDoPage_ = new CPpgEraseDo(this);
    readChoicePage_ = new CPpgReadChoice(this);
    readDoPage_ = new CPpgReadDo(this);
    readReceivePage_ = new CPpgReadReceive(this);
    initCompDatePage_ = new CPpgInitCompDate(this);
    datePage_ = new CPpgDate(this);
    compChoicePage_ = new CPpgCompChoice(this);
    compTransmitDoPage_ = new CPpgCompTransmitDo(this);
    compTransmitSendPage_ = new CPpgCompTransmitSend(this);

    const QRect frame = layout_.Find(main_window_ids::kPageFrame)->geometry();
    for (int i = 0; i < kPageCount; ++i) {
        CPage* page = Page(static_cast<PageId>(i));
        page->move(frame.topLeft());
        page->SetHost(this);
    }
}

void CMainDlg::AddAboutEntry() {
    // The system menu carries it where the system has one (Windows); F1 and the logo's context
    // menu carry it everywhere, since not every platform shows a system menu.
    AppendSystemMenuEntry(this, tr(kAboutMenuText), [this] { ShowAboutBox(); });
    auto* about = new QAction(tr(kAboutMenuText), this);
    about->setShortcut(QKeySequence(Qt::Key_F1));
    about->setShortcutContext(Qt::WindowShortcut);
    connect(about, &QAction::triggered, this, &CMainDlg::ShowAboutBox);
    addAction(about);
    QWidget* logo = layout_.Find(main_window_ids::kLogo);
    logo->addAction(about);
    logo->setContextMenuPolicy(Qt::ActionsContextMenu);
    logo->setToolTip(tr(kAboutHint));
}

void CMainDlg::WatchPortChanges() {
    if (WatchDeviceChangeMessages(this, [this] { OnPortListChanged(); })) {
        return; // Windows: WM_DEVICECHANGE
    }
    portMonitor_ = std::make_unique<PortListMonitor>();
    std::string whyNot;
    if (!portMonitor_->Start(&whyNot)) {
        // Plugging the instrument in then needs a restart; scans still find a port that was
        // present at start.
        qWarning("serial ports are not watched: %s", whyNot.c_str());
        portMonitor_.reset();
        return;
    }
    portNotifier_ =
        new QSocketNotifier(portMonitor_->FileDescriptor(), QSocketNotifier::Read, this);
    connect(portNotifier_, &QSocketNotifier::activated, this, [this] {
        if (portMonitor_->TakeChanges()) {
            OnPortListChanged();
        }
    });
}

void CMainDlg::OnPortListChanged() {
    g_portListChanged.store(1);
    EnumerateCandidatePorts();
}

void CMainDlg::ShowAboutBox() {
    CAboutDlg about(this);
    about.exec();
}

void CMainDlg::RunStartupCheck() {
    CUsbCheckDlg check(this);
    startupCheck_ = &check;
    check.exec();
    startupCheck_ = nullptr;
    // The check window is gone before its message appears; a window that is closing says nothing.
    if (check.ScanFailed() && !closing_) {
        ShowMessageBox(check.FailureMessage(), check.FailureIcon());
    }
}

CPage* CMainDlg::Page(PageId id) const {
    switch (id) {
    case PageId::Main:
        return mainPage_;
    case PageId::DataReadErase:
        return dataReadErasePage_;
    case PageId::EraseChoice:
        return eraseChoicePage_;
    case PageId::EraseDo:
        return eraseDoPage_;
    case PageId::ReadChoice:
        return readChoicePage_;
    case PageId::ReadDo:
        return readDoPage_;
    case PageId::ReadReceive:
        return readReceivePage_;
    case PageId::InitCompDate:
        return initCompDatePage_;
    case PageId::Date:
        return datePage_;
    case PageId::CompChoice:
        return compChoicePage_;
    case PageId::CompTransmitDo:
        return compTransmitDoPage_;
    case PageId::CompTransmitSend:
        return compTransmitSendPage_;
    }
    return nullptr;
}

std::optional<PageId> CMainDlg::VisiblePage() const {
    for (int i = 0; i < kPageCount; ++i) {
        const auto id = static_cast<PageId>(i);
        if (!Page(id)->isHidden()) {
            return id;
        }
    }
    return std::nullopt;
}

QWidget* CMainDlg::PageControl(PageId id, int controlId) const {
    if (id == PageId::Main) {
        return mainPage_->Button(controlId);
    }
    return Page(id)->Control(controlId);
}

CPpgMain& CMainDlg::MainPage() const {
    return *mainPage_;
}

CPpgEraseChoice& CMainDlg::EraseChoicePage() const {
    return *eraseChoicePage_;
}

CPpgReadChoice& CMainDlg::ReadChoicePage() const {
    return *readChoicePage_;
}

CPpgReadDo& CMainDlg::ReadDoPage() const {
    return *readDoPage_;
}

CPpgReadReceive& CMainDlg::ReadReceivePage() const {
    return *readReceivePage_;
}

CPpgCompChoice& CMainDlg::CompChoicePage() const {
    return *compChoicePage_;
}

bool CMainDlg::PicturesLoaded() const {
    return mainPage_->PicturesLoaded();
}

bool CMainDlg::event(QEvent* event) {
    if (event->type() == EventType(WM_PAGE_SWITCH)) {
        if (const MessageEvent* request = MessageEvent::From(event)) {
            HandlePageSwitch(static_cast<int>(request->WParam()),
                             static_cast<int>(request->LParam()));
        }
        return true;
    }
    return QWidget::event(event);
}

void CMainDlg::HandlePageSwitch(int code, int argument) {
    if (closing_) {
        // A page that finished while the window closes must not start the next step.
        return;
    }
    switch (code) {
    case kRequestExit:
        AskToExit();
        return;
    case kRequestEraseUnitChosen:
        g_selectedUnitForDeletion = argument;
        break;
    case kRequestReadUnitChosen:
        g_selectedUnitForReading = argument;
        break;
    case kRequestErased: // the units it showed are no longer what the instrument holds
    case kRequestEraseFailed:
        eraseChoicePage_->ResetToCheckingState();
        break;
    case kRequestStartReception:
        readReceivePage_->SetDestination(readDoPage_->AcceptedFolder(),
                                         readDoPage_->AcceptedFileName());
        break;
    case kRequestEditTableFile:
        editor_->SetFiles(compChoicePage_->TableFiles());
        break;
    case kRequestTableLoadFailed: {
        CompTableFiles choiceFiles = compChoicePage_->TableFiles();
        choiceFiles.fileName.clear();
        compChoicePage_->SetTableFiles(choiceFiles);
        CompTableFiles editorFiles = editor_->Files();
        editorFiles.fileName.clear();
        editor_->SetFiles(editorFiles);
        SendMessageTo(compChoicePage_, WM_COMP_CHOICE_REOPEN);
        return;
    }
    case kRequestTableSaved:
        compChoicePage_->SetTableFiles(editor_->Files());
        return;
    default:
        break;
    }
    if (const PageStep* step = FindStep(code)) {
        Perform(*step);
    }
    if (const std::optional<CompEditorMode> mode = EditorRunFor(code)) {
        editor_->Run(*mode);
    }
}

void CMainDlg::Perform(const PageStep& step) {
    // Exactly one page is visible: a request that arrives late (after another switch) must not
    // leave two pages on top of each other.
    for (int i = 0; i < kPageCount; ++i) {
        const auto id = static_cast<PageId>(i);
        if (id != step.show) {
            Page(id)->hide();
        }
    }
    CPage* shown = Page(step.show);
    shown->show();
    if (step.notice) {
        SendMessageTo(shown, *step.notice);
    }
    if (step.focus != kNoFocus) {
        PageControl(step.show, step.focus)->setFocus(Qt::OtherFocusReason);
    }
}

void CMainDlg::AskToExit() {
    if (AskYesNo(tr(kExitQuestion), MessageIcon::Information, MessageAnswer::No)) {
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

bool CMainDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && IsEnterKey(event) && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this && !IsPageButton(watched)) {
        // No default button, no closing by Enter: only a focused page button acts on it.
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CMainDlg::CloseOnRequestToEnd() {
    closing_ = true;
    // From the top of the modal stack down; each dismissed window ends its own run when the
    // call that opened it returns.
    for (int guard = 0; guard < 16; ++guard) {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            break;
        }
        if (dynamic_cast<CompTableEditor*>(modal) == editor_.get()) {
            editor_->Dismiss();
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        } else {
            modal->hide();
        }
    }
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void CMainDlg::closeEvent(QCloseEvent* event) {
    // No exchange outlives the window: the one in progress ends within its reply budget and its
    // outcome is dropped; a reception or table transfer still running is stopped and its workers
    // have ended. Only then are the settings (the instrument's port among them) written.
    closing_ = true;
    InstrumentExchanges().Abandon();
    if (startupCheck_ != nullptr) {
        startupCheck_->reject();
    }
    readReceivePage_->StopReception();
    compTransmitDoPage_->StopTransfer();
    compTransmitSendPage_->StopTransfer();
    SaveSettings();
    QWidget::closeEvent(event);
}

void CMainDlg::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
}
