#include <array>
#include <memory>
#include <vector>

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QTest>
#include <gtest/gtest.h>

#include "color_button.h"
#include "dialogs.h"
#include "page.h"
#include "support/controls_qt_app.h"
#include "window_messages.h"

namespace {

constexpr int kExitId = 1004;
constexpr int kBrowseId = 1067;
constexpr int kNameId = 1068;
constexpr int kExitRequest = 2;

constexpr std::array kTestPageControls = {
    DialogControl{kExitId, ControlKind::ColorButton, 25, 88, 80, 53, "Exit", kStyleTabStop},
    DialogControl{kBrowseId, ControlKind::PushButton, 174, 50, 30, 14, "Browse", kStyleTabStop},
    DialogControl{kNameId, ControlKind::Edit, 79, 68, 78, 12, "", kStyleBorder | kStyleTabStop},
};
constexpr DialogResource kTestPage{230, 160, kTestPageControls};

// A page with one coloured button that asks for a page switch, an ordinary button and an edit.
class TestPage : public CPage {
public:
    explicit TestPage(QWidget* parent) : CPage(kTestPage, parent) {
        connect(Control<QPushButton>(kExitId), &QPushButton::clicked, this, [this] {
            ++exitClicks;
            posted = PostPageSwitch(kExitRequest, 0x4);
        });
        connect(Control<QPushButton>(kBrowseId), &QPushButton::clicked, this,
                [this] { ++browseClicks; });
    }
    int exitClicks = 0;
    int browseClicks = 0;
    bool posted = false;
};

// Stands in for the main window: records the page-switch requests it receives.
class RecordingHost : public QObject {
public:
    struct Request {
        int code;
        int argument;
    };
    std::vector<Request> requests;

protected:
    bool event(QEvent* event) override {
        if (event->type() == EventType(WM_PAGE_SWITCH)) {
            const auto* request = static_cast<PageSwitchEvent*>(event);
            requests.push_back({request->Code(), request->Argument()});
            return true;
        }
        return QObject::event(event);
    }
};

// Counts the Enter keys that reach the widget it watches.
class EnterCounter : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            count += (key == Qt::Key_Return || key == Qt::Key_Enter) ? 1 : 0;
        }
        return false;
    }
};

enum class HostKind { PlainWindow, Dialog };

class PageOnHost : public ::testing::TestWithParam<HostKind> {
protected:
    void SetUp() override {
        if (GetParam() == HostKind::Dialog) {
            m_window = std::make_unique<QDialog>();
        } else {
            m_window = std::make_unique<QWidget>();
        }
        m_page = new TestPage(m_window.get());
        m_page->SetHost(&m_host);
        m_window->resize(m_page->size());
        m_window->installEventFilter(&m_enterAtWindow);
        m_window->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
        EXPECT_FALSE(m_page->isVisible());
        m_page->show();
    }

    // Gives `id` the focus and presses `key` on whatever has the focus.
    void PressOn(int id, Qt::Key key) {
        m_page->Control(id)->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), m_page->Control(id));
        QTest::keyClick(QApplication::focusWidget(), key);
    }

    std::unique_ptr<QWidget> m_window;
    TestPage* m_page = nullptr;
    RecordingHost m_host;
    EnterCounter m_enterAtWindow;
};

TEST_P(PageOnHost, EnterOnAFocusedPageButtonClicksItOnce) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        SCOPED_TRACE(key);
        m_page->exitClicks = 0;
        m_page->browseClicks = 0;
        PressOn(kExitId, key);
        EXPECT_EQ(m_page->exitClicks, 1);
        PressOn(kBrowseId, key);
        EXPECT_EQ(m_page->browseClicks, 1);
        EXPECT_EQ(m_page->exitClicks, 1);
        // The page consumed the key: the host never saw it.
        EXPECT_EQ(m_enterAtWindow.count, 0);
    }
}

TEST_P(PageOnHost, EnterElsewhereAndOtherKeysTakeTheNormalPath) {
    auto* edit = m_page->Control<QLineEdit>(kNameId);
    int returnPressed = 0;
    QObject::connect(edit, &QLineEdit::returnPressed, [&] { ++returnPressed; });
    PressOn(kNameId, Qt::Key_Return);
    EXPECT_EQ(returnPressed, 1);
    EXPECT_EQ(m_page->exitClicks + m_page->browseClicks, 0);
    // The edit did not use the key, so it travelled on to the host as usual.
    EXPECT_EQ(m_enterAtWindow.count, 1);

    // Space is the button's own key; the page leaves it alone.
    PressOn(kExitId, Qt::Key_Space);
    EXPECT_EQ(m_page->exitClicks, 1);
}

TEST_P(PageOnHost, EnterReachesThePageButtonBeforeAHostShortcut) {
    int shortcutFired = 0;
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_Return), m_window.get());
    QObject::connect(shortcut, &QShortcut::activated, [&] { ++shortcutFired; });
    PressOn(kExitId, Qt::Key_Return);
    EXPECT_EQ(m_page->exitClicks, 1);
    EXPECT_EQ(shortcutFired, 0);
}

TEST_P(PageOnHost, PageSwitchReachesTheHostAfterTheHandlerReturns) {
    PressOn(kExitId, Qt::Key_Return);
    ASSERT_TRUE(m_page->posted);
    EXPECT_TRUE(m_host.requests.empty());
    QCoreApplication::sendPostedEvents(&m_host);
    ASSERT_EQ(m_host.requests.size(), 1u);
    EXPECT_EQ(m_host.requests[0].code, kExitRequest);
    EXPECT_EQ(m_host.requests[0].argument, 0x4);
}

TEST_P(PageOnHost, BackgroundIsPageGrey) {
    const QImage image = m_page->grab().toImage();
    EXPECT_EQ(image.pixelColor(2, 2), QColor(192, 192, 192));
    EXPECT_EQ(image.pixelColor(image.width() - 3, image.height() - 3), QColor(192, 192, 192));
}

INSTANTIATE_TEST_SUITE_P(Hosts, PageOnHost,
                         ::testing::Values(HostKind::PlainWindow, HostKind::Dialog));

TEST(PageSwitch, WithoutAHostNothingIsPosted) {
    TestPage page(nullptr);
    EXPECT_FALSE(page.PostPageSwitch(0));
    RecordingHost host;
    page.SetHost(&host);
    EXPECT_TRUE(page.PostPageSwitch(12, 0x1000));
    {
        RecordingHost shortLived;
        page.SetHost(&shortLived);
    }
    EXPECT_FALSE(page.PostPageSwitch(3));
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(host.requests.size(), 1u);
    EXPECT_EQ(host.requests[0].code, 12);
    EXPECT_EQ(host.requests[0].argument, 0x1000);
}

TEST(WindowMessages, ValuesKeepTheirOffsetsFromTheFirstUserMessage) {
    const std::pair<WindowMessage, int> offsets[] = {
        {WM_PAGE_SWITCH, 110},       {WM_PAGE_ACTIVATE, 120},      {WM_TRANSFER_PROGRESS, 121},
        {WM_READ_RECEIVER_END, 122}, {WM_READ_WRITER_END, 124},    {WM_COMP_SEND_START, 125},
        {WM_COMP_SEND_DONE, 126},    {WM_COMP_RECEIVE_START, 127}, {WM_COMP_READ_DONE, 128},
        {WM_COMP_RECEIVE_DONE, 129}, {WM_COMP_LOAD_FAILED, 130},   {WM_COMP_CHOICE_REOPEN, 131},
    };
    for (const auto& [message, offset] : offsets) {
        EXPECT_EQ(static_cast<int>(EventType(message)), QEvent::User + offset);
    }
}

TEST(WindowMessages, SentMessageRunsNowPostedOneLater) {
    struct Receiver : QObject {
        std::vector<std::pair<WindowMessage, qintptr>> seen;
        bool event(QEvent* event) override {
            if (const MessageEvent* message = MessageEvent::From(event)) {
                seen.emplace_back(message->Message(), message->WParam());
                return true;
            }
            return QObject::event(event);
        }
    } receiver;
    ASSERT_TRUE(PostMessageTo(&receiver, WM_TRANSFER_PROGRESS, 17));
    EXPECT_TRUE(SendMessageTo(&receiver, WM_PAGE_ACTIVATE));
    ASSERT_EQ(receiver.seen.size(), 1u);
    EXPECT_EQ(receiver.seen[0].first, WM_PAGE_ACTIVATE);
    QCoreApplication::sendPostedEvents(&receiver);
    ASSERT_EQ(receiver.seen.size(), 2u);
    EXPECT_EQ(receiver.seen[1], std::make_pair(WM_TRANSFER_PROGRESS, qintptr{17}));
    EXPECT_FALSE(SendMessageTo(nullptr, WM_PAGE_ACTIVATE));
}

// Pages ask the user through the dialog seam; tests script the answers.

TEST(ScriptedDialogs, RecordEveryRequestAndAnswerFromTheScriptInOrder) {
    CScriptedDialogs scripted;
    const auto guard = SetDialogsForTests(scripted);
    scripted.QueueAnswer(MessageAnswer::Yes);
    scripted.QueueAnswer(MessageAnswer::No);
    scripted.QueuePath(QStringLiteral("/data/out"));

    const QString exitQuestion =
        QStringLiteral("This will exit the application.  \nDo you want to proceed?");
    EXPECT_TRUE(AskYesNo(exitQuestion, MessageIcon::Information, MessageAnswer::No));
    EXPECT_FALSE(
        AskYesNo(QStringLiteral("Save data?  "), MessageIcon::Information, MessageAnswer::Yes));
    ShowMessageBox(QStringLiteral("Data received.  "), MessageIcon::Information);
    EXPECT_EQ(Dialogs().ChooseFolder(QStringLiteral("Select destination folder"),
                                     QStringLiteral("/data")),
              QStringLiteral("/data/out"));
    EXPECT_EQ(Dialogs().ChooseOpenFile(FileRequest{}), QString());

    const std::vector<MessageRequest> expected = {
        {exitQuestion, MessageIcon::Information, MessageButtons::YesNo, MessageAnswer::No},
        {QStringLiteral("Save data?  "), MessageIcon::Information, MessageButtons::YesNo,
         MessageAnswer::Yes},
        {QStringLiteral("Data received.  "), MessageIcon::Information, MessageButtons::Ok,
         MessageAnswer::Ok},
    };
    EXPECT_EQ(scripted.Messages(), expected);
    ASSERT_EQ(scripted.Calls().size(), 5u);
    EXPECT_EQ(scripted.Calls()[3].kind, DialogCall::Kind::Folder);
    EXPECT_EQ(scripted.Calls()[3].file.title, QStringLiteral("Select destination folder"));
    EXPECT_EQ(scripted.Calls()[3].file.folder, QStringLiteral("/data"));
    EXPECT_EQ(scripted.Calls()[4].kind, DialogCall::Kind::OpenFile);
    // The OK box and the open dialog had no scripted answer.
    EXPECT_EQ(scripted.UnscriptedCalls(), 2);
    EXPECT_EQ(scripted.UnusedAnswers(), 0u);
}

TEST(ScriptedDialogs, UnscriptedQuestionTakesItsDefaultButton) {
    CScriptedDialogs scripted;
    const auto guard = SetDialogsForTests(scripted);
    EXPECT_FALSE(AskYesNo(QStringLiteral("Overwrite?"), MessageIcon::Warning, MessageAnswer::No));
    EXPECT_TRUE(AskYesNo(QStringLiteral("Proceed?"), MessageIcon::Question, MessageAnswer::Yes));
    EXPECT_EQ(scripted.UnscriptedCalls(), 2);
}

TEST(ScriptedDialogs, ObserverSeesTheRequestWhileItIsOpen) {
    CScriptedDialogs scripted;
    const auto guard = SetDialogsForTests(scripted);
    std::vector<QString> seen;
    scripted.SetObserver([&](const DialogCall& call) {
        // The answer has not been handed out yet.
        EXPECT_EQ(scripted.UnusedAnswers(), 1u);
        seen.push_back(call.message.text);
    });
    scripted.QueueAnswer(MessageAnswer::Ok);
    ShowMessageBox(QStringLiteral("Communication Error. \nIs the USB cable connected?  "),
                   MessageIcon::Error);
    EXPECT_EQ(seen, std::vector<QString>{
                        QStringLiteral("Communication Error. \nIs the USB cable connected?  ")});
}

TEST(ScriptedDialogs, GuardRestoresThePreviousDialogs) {
    CDialogs* const original = &Dialogs();
    CScriptedDialogs outer;
    {
        const auto outerGuard = SetDialogsForTests(outer);
        CScriptedDialogs inner;
        {
            const auto innerGuard = SetDialogsForTests(inner);
            EXPECT_EQ(&Dialogs(), &inner);
        }
        EXPECT_EQ(&Dialogs(), &outer);
    }
    EXPECT_EQ(&Dialogs(), original);
    EXPECT_NE(dynamic_cast<CQtDialogs*>(original), nullptr);
}

TEST(QtDialogs, MessageBoxShowsTheTextVerbatimWithTitleIconAndButtons) {
    struct Case {
        MessageRequest request;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton;
    };
    const Case cases[] = {
        {{QStringLiteral("A file with the designated filename already exists.  \n\nOverwrite?"),
          MessageIcon::Warning, MessageButtons::YesNo, MessageAnswer::No},
         QMessageBox::Warning,
         QMessageBox::Yes | QMessageBox::No,
         QMessageBox::No},
        {{QStringLiteral("Read COMP table from K720.  "), MessageIcon::Information,
          MessageButtons::YesNo, MessageAnswer::Yes},
         QMessageBox::Information,
         QMessageBox::Yes | QMessageBox::No,
         QMessageBox::Yes},
        {{QStringLiteral("Data reception error.  "), MessageIcon::Error, MessageButtons::Ok,
          MessageAnswer::Ok},
         QMessageBox::Critical,
         QMessageBox::Ok,
         QMessageBox::Ok},
        // Markup-like text stays text.
        {{QStringLiteral("<b>shell error</b>  "), MessageIcon::None, MessageButtons::Ok,
          MessageAnswer::Ok},
         QMessageBox::NoIcon,
         QMessageBox::Ok,
         QMessageBox::Ok},
    };
    CQtDialogs dialogs;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request.text.toStdString());
        const std::unique_ptr<QMessageBox> box = dialogs.CreateMessageBox(c.request, nullptr);
        EXPECT_EQ(box->text(), c.request.text);
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("K720 Application"));
        EXPECT_EQ(box->icon(), c.icon);
        EXPECT_EQ(box->standardButtons(), c.buttons);
        ASSERT_NE(box->defaultButton(), nullptr);
        EXPECT_EQ(box->standardButton(box->defaultButton()), c.defaultButton);
    }
}

TEST(QtDialogs, ClassicFilterBecomesQtFilter) {
    const std::pair<const char*, const char*> cases[] = {
        {"csv file (*.csv)|*.csv||", "csv file (*.csv)"},
        {"Tables|*.csv;*.txt||", "Tables (*.csv *.txt)"},
        {"csv file (*.csv)|*.csv|All files|*.*||", "csv file (*.csv);;All files (*.*)"},
        {"", ""},
    };
    for (const auto& [classic, qt] : cases) {
        EXPECT_EQ(QtFileFilter(QString::fromLatin1(classic)), QString::fromLatin1(qt)) << classic;
    }
}

} // namespace
