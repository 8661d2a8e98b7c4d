#include <array>
#include <memory>
#include <set>
#include <vector>

#include <QApplication>
#include <QDialog>
#include <QIcon>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>
#include <QTest>
#include <gtest/gtest.h>

#include "controls/color_button.h"
#include "controls/dialogs.h"
#include "controls/page.h"
#include "controls/window_messages.h"
#include "tests/support/controls_qt_app.h"
#include "tests/support/recording_host.h"

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

using app_test::RecordingHost;
using Request = RecordingHost::Request;

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

// The page consumes Enter on its focused button, before the host and its shortcuts see it, and
// the page switch that the button asks for reaches the host only after the handler returns.
TEST_P(PageOnHost, EnterOnAFocusedPageButtonClicksItOnce) {
    int shortcutFired = 0;
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_Return), m_window.get());
    QObject::connect(shortcut, &QShortcut::activated, [&] { ++shortcutFired; });
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        SCOPED_TRACE(key);
        m_page->exitClicks = 0;
        m_page->browseClicks = 0;
        PressOn(kExitId, key);
        EXPECT_EQ(m_page->exitClicks, 1);
        ASSERT_TRUE(m_page->posted);
        EXPECT_EQ(m_host.Arrived(), 0u);
        EXPECT_EQ(m_host.Take(), (std::vector<Request>{{kExitRequest, 0x4}}));
        PressOn(kBrowseId, key);
        EXPECT_EQ(m_page->browseClicks, 1);
        EXPECT_EQ(m_page->exitClicks, 1);
        EXPECT_EQ(m_enterAtWindow.count, 0);
    }
    EXPECT_EQ(shortcutFired, 0);
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
    EXPECT_EQ(host.Take(), (std::vector<Request>{{12, 0x1000}}));
}

// Each message is an event type of its own among Qt's user types.
TEST(WindowMessages, AreDistinctUserEventTypes) {
    std::set<int> types;
    for (const WindowMessage message :
         {WM_PAGE_SWITCH, WM_PAGE_ACTIVATE, WM_TRANSFER_PROGRESS, WM_READ_RECEIVER_END,
          WM_READ_WRITER_END, WM_COMP_SEND_START, WM_COMP_SEND_DONE, WM_COMP_RECEIVE_START,
          WM_COMP_READ_DONE, WM_COMP_RECEIVE_DONE, WM_COMP_LOAD_FAILED, WM_COMP_CHOICE_REOPEN}) {
        const int type = static_cast<int>(EventType(message));
        EXPECT_GT(type, QEvent::User);
        types.insert(type);
    }
    EXPECT_EQ(types.size(), 12u);
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
    // Questions beyond the script take their default button.
    EXPECT_FALSE(AskYesNo(QStringLiteral("Overwrite?"), MessageIcon::Warning, MessageAnswer::No));
    EXPECT_TRUE(AskYesNo(QStringLiteral("Proceed?"), MessageIcon::Question, MessageAnswer::Yes));

    const std::vector<MessageRequest> expected = {
        {exitQuestion, MessageIcon::Information, MessageButtons::YesNo, MessageAnswer::No},
        {QStringLiteral("Save data?  "), MessageIcon::Information, MessageButtons::YesNo,
         MessageAnswer::Yes},
        {QStringLiteral("Data received.  "), MessageIcon::Information, MessageButtons::Ok,
         MessageAnswer::Ok},
        {QStringLiteral("Overwrite?"), MessageIcon::Warning, MessageButtons::YesNo,
         MessageAnswer::No},
        {QStringLiteral("Proceed?"), MessageIcon::Question, MessageButtons::YesNo,
         MessageAnswer::Yes},
    };
    EXPECT_EQ(scripted.Messages(), expected);
    ASSERT_EQ(scripted.Calls().size(), 7u);
    EXPECT_EQ(scripted.Calls()[3].kind, DialogCall::Kind::Folder);
    EXPECT_EQ(scripted.Calls()[3].file.title, QStringLiteral("Select destination folder"));
    EXPECT_EQ(scripted.Calls()[3].file.folder, QStringLiteral("/data"));
    EXPECT_EQ(scripted.Calls()[4].kind, DialogCall::Kind::OpenFile);
    // The OK box, the open dialog and the last two questions had no scripted answer.
    EXPECT_EQ(scripted.UnscriptedCalls(), 4);
    EXPECT_EQ(scripted.UnusedAnswers(), 0u);
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
        // However short the text, the box is wider than its title.
        QFont bold = box->font();
        bold.setBold(true);
        EXPECT_GT(box->sizeHint().width(),
                  QFontMetrics(bold).horizontalAdvance(box->windowTitle()) + 100);
    }
}

// A box belongs to the shown window: not to one that has just been hidden (the editor after a
// transfer), whose old place it would open at without the program's icon.
TEST(QtDialogs, BoxesBelongToTheWindowLeftShown) {
    QWidget main(nullptr, Qt::Window);
    QPixmap icon(16, 16);
    icon.fill(Qt::red);
    main.setWindowIcon(QIcon(icon));
    main.show();
    QDialog editor(&main);
    editor.show();
    QApplication::setActiveWindow(&editor);
    EXPECT_EQ(DialogParent(), &editor);
    editor.hide();
    EXPECT_EQ(DialogParent(), &main);

    const std::unique_ptr<QMessageBox> box = CQtDialogs().CreateMessageBox(
        {QStringLiteral("Data transferred.  "), MessageIcon::Information}, DialogParent());
    EXPECT_EQ(box->parentWidget(), &main);
    EXPECT_EQ(box->windowIcon().cacheKey(), main.windowIcon().cacheKey());
    main.hide();
    EXPECT_EQ(DialogParent(), nullptr);
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
