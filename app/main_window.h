// CMainDlg: the program's main window and page host. Its upper strip shows the logo and the
// program's name; below it exactly one of the twelve pages is visible at a time. Pages never show
// each other: a page posts a page-switch request (page_requests.h) and the main window, which
// holds the whole navigation table, hides one page, shows the next and, for some pages, sends
// them their page-activation notice synchronously. The main window also loads the settings when
// it is built and saves them whenever it closes, runs the start-up check of the USB connection,
// follows serial ports that come and go, and swallows Enter except on a focused page button.
#pragma once

#include <memory>
#include <optional>

#include <QString>
#include <QWidget>

#include "app/settings_file.h"
#include "controls/dialog_layout.h"
#include "pages/comp_table_editor.h"

class CPage;
class CPpgMain;
class CPpgDataReadErase;
class CPpgEraseChoice;
class CPpgEraseDo;
class CPpgReadChoice;
class CPpgReadDo;
class CPpgReadReceive;
class CPpgInitCompDate;
class CPpgDate;
class CPpgCompChoice;
class CPpgCompTransmitDo;
class CPpgCompTransmitSend;
class CUsbCheckDlg;
class PortListMonitor;
class QSocketNotifier;

// The twelve pages, in the order they are created.
enum class PageId {
    Main,
    DataReadErase,
    EraseChoice,
    EraseDo,
    ReadChoice,
    ReadDo,
    ReadReceive,
    InitCompDate,
    Date,
    CompChoice,
    CompTransmitDo,
    CompTransmitSend,
};
inline constexpr int kPageCount = 12;

struct MainWindowOptions {
    // The program's folder: the settings file lives beside the program (or in the user's
    // configuration folder when that folder is not writable), and data files default to it.
    QString programDir;
    // Run the start-up check of the USB connection 100 ms after the window is built.
    bool startupCheck = true;
    // Follow serial ports that come and go.
    bool watchPortChanges = true;
    // Makes the comparator table editor; the placeholder when empty.
    CompTableEditorFactory makeEditor;
};

class CMainDlg : public QWidget {
    Q_OBJECT

public:
    static constexpr char kTitle[] = "K720 Application   Ver1.03";
    // The user's texts, in English; shown through tr() in the user's language.
    static constexpr char kExitQuestion[] = QT_TR_NOOP("This will exit the application.  \n"
                                                       "Do you want to proceed?");
    static constexpr char kAboutMenuText[] = QT_TR_NOOP("About K720Application (&A)...");
    // The logo's tooltip: where the about box is on a desktop without a system menu item.
    static constexpr char kAboutHint[] =
        QT_TR_NOOP("About K720Application: F1, or right-click here");
    static constexpr int kStartupCheckDelayMs = 100;

    explicit CMainDlg(MainWindowOptions options, QWidget* parent = nullptr);
    ~CMainDlg() override;

    CPage* Page(PageId id) const;
    // The page that is shown, if any.
    std::optional<PageId> VisiblePage() const;
    // A control of a page by identifier (the picture buttons of the top menu included).
    QWidget* PageControl(PageId id, int controlId) const;

    CPpgMain& MainPage() const;
    CPpgEraseChoice& EraseChoicePage() const;
    CPpgReadChoice& ReadChoicePage() const;
    CPpgReadDo& ReadDoPage() const;
    CPpgReadReceive& ReadReceivePage() const;
    CPpgCompChoice& CompChoicePage() const;
    CompTableEditor& Editor() const { return *editor_; }

    // False when the top menu's pictures could not be loaded.
    bool PicturesLoaded() const;
    // Where the settings are read from and written to.
    QString SettingsPath() const;
    const DialogLayout& Layout() const { return layout_; }

public slots:
    // The system reports that serial ports came or went: the candidate list is rebuilt, and a
    // scan that is under way gives up.
    void OnPortListChanged();
    void ShowAboutBox();
    // The system asks the program to end: open message boxes and file dialogs are dismissed, an
    // open editor is closed dropping what was not saved, and the window then closes as on the
    // user's close, without asking anything. No page-switch request is handled any more.
    void CloseOnRequestToEnd();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct PageStep;

    void CreatePages();
    void AddAboutEntry();
    void WatchPortChanges();
    void HandlePageSwitch(int code, int argument);
    static const PageStep* FindStep(int code);
    void Perform(const PageStep& step);
    void AskToExit();
    void RunStartupCheck();
    void LoadSettings();
    void SaveSettings() const;

    MainWindowOptions options_;
    DialogLayout layout_;
    CPpgMain* mainPage_ = nullptr;
    CPpgDataReadErase* dataReadErasePage_ = nullptr;
    CPpgEraseChoice* eraseChoicePage_ = nullptr;
    CPpgEraseDo* eraseDoPage_ = nullptr;
    CPpgReadChoice* readChoicePage_ = nullptr;
    CPpgReadDo* readDoPage_ = nullptr;
    CPpgReadReceive* readReceivePage_ = nullptr;
    CPpgInitCompDate* initCompDatePage_ = nullptr;
    CPpgDate* datePage_ = nullptr;
    CPpgCompChoice* compChoicePage_ = nullptr;
    CPpgCompTransmitDo* compTransmitDoPage_ = nullptr;
    CPpgCompTransmitSend* compTransmitSendPage_ = nullptr;
    std::unique_ptr<CompTableEditor> editor_;
    std::unique_ptr<PortListMonitor> portMonitor_;
    QSocketNotifier* portNotifier_ = nullptr;
    // The settings as read at start: strings the user did not change are written back byte for
    // byte, whatever their encoding.
    Settings loadedSettings_;
    // The start-up check window while it is open.
    CUsbCheckDlg* startupCheck_ = nullptr;
    bool closing_ = false;
};
