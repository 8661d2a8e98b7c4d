// The read confirmation page: the unit line, the folder chooser, the checks of OK in their order,
// the overwrite question, and Cancel.
#include <string>
#include <sys/stat.h>
#include <vector>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "controls/color_button.h"
#include "pages/page_requests.h"
#include "pages/read_do_page.h"
#include "pages/selected_units.h"
#include "tests/support/app_window.h"
#include "tests/support/controls_qt_app.h"

namespace {

using app_test::RecordingHost;
using Request = RecordingHost::Request;

const std::vector<Request> kStart{{kRequestStartReception, 0}};
const MessageRequest kOverwrite{
    QStringLiteral("A file with the designated filename already exists.  \n\nOverwrite?"),
    MessageIcon::Warning, MessageButtons::YesNo, MessageAnswer::No};

class ReadDoPage : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        page_.SetHost(&host_);
        page_.show();
        page_.SetAcceptedDestination(folder_.path(), QStringLiteral("DataK720"));
    }
    void TearDown() override { g_selectedUnitForReading = 0; }

    // The entries as the user leaves them in the fields.
    void Enter(const QString& folder, const QString& fileName) {
        page_.FolderField()->setText(folder);
        page_.FileNameField()->setText(fileName);
    }

    // Fills in the fields and presses OK, with a fresh script of answers.
    void PressOk(const QString& folder, const QString& fileName) {
        dialogs_ = CScriptedDialogs();
        Enter(folder, fileName);
        page_.OkButton()->setFocus();
        page_.OkButton()->click();
    }

    // OK took the pair without a question and asked for the reception; the pair is then reset.
    void ExpectAccepted(const QString& folder, const QString& fileName) {
        EXPECT_TRUE(dialogs_.Calls().empty());
        EXPECT_EQ(host_.Take(), kStart);
        EXPECT_EQ(page_.AcceptedFolder(), folder);
        EXPECT_EQ(page_.AcceptedFileName(), fileName);
        page_.SetAcceptedDestination(folder_.path(), QStringLiteral("DataK720"));
    }

    void ExpectRefused(const char* message, QWidget* focus, MessageIcon icon = MessageIcon::Error) {
        const MessageRequest refusal{QString::fromLatin1(message), icon};
        EXPECT_EQ(dialogs_.Messages(), std::vector<MessageRequest>{refusal});
        EXPECT_EQ(page_.focusWidget(), focus);
        EXPECT_TRUE(host_.Take().empty());
        EXPECT_EQ(page_.AcceptedFolder(), folder_.path());
        EXPECT_EQ(page_.AcceptedFileName(), QStringLiteral("DataK720"));
    }

    QTemporaryDir folder_;
    RecordingHost host_;
    CScriptedDialogs dialogs_;
    DialogsOverride dialogsOverride_ = SetDialogsForTests(dialogs_);
    CPpgReadDo page_;
};

TEST_F(ReadDoPage, NamesTheSelectedUnitShortlyAfterTheActivation) {
    // The unit letters as the instrument's display shows them, in bit order.
    const char letters[] = "AbCdEFGHJLnP";
    std::vector<std::pair<int, QString>> cases; // an empty line: it stays as it was
    for (int i = 0; i < 12; ++i) {
        cases.emplace_back(1 << i, QStringLiteral("This will read unit [ %1 ].").arg(letters[i]));
    }
    cases.emplace_back(0x1000, QStringLiteral("This will read ALL UNITs."));
    for (const int code : {0, 0x3, 0x2000}) {
        cases.emplace_back(code, QString());
    }
    for (const auto& [code, line] : cases) {
        SCOPED_TRACE(code);
        const QString before = QStringLiteral("before");
        page_.UnitLine()->setText(before);
        g_selectedUnitForReading = code;

        SendMessageTo(&page_, WM_PAGE_ACTIVATE);
        QTest::qWait(60);

        EXPECT_EQ(page_.UnitLine()->text(), line.isEmpty() ? before : line);
    }
    EXPECT_TRUE(host_.Take().empty());
}

TEST_F(ReadDoPage, TheFolderIsChosenOnlyThroughTheChooser) {
    EXPECT_TRUE(page_.FolderField()->isReadOnly());
    // It looks read-only: the dialog face inside its frame, where the file name field is white.
    auto inside = [](QLineEdit* field) {
        const QString text = field->text();
        field->clear();
        const QImage image = field->grab().toImage();
        field->setText(text);
        return image.pixelColor(image.width() - 5, image.height() / 2);
    };
    EXPECT_EQ(inside(page_.FolderField()), QColor(192, 192, 192));
    EXPECT_EQ(inside(page_.FileNameField()), QColor(Qt::white));
    page_.FileNameField()->setText(QStringLiteral("typed"));
    dialogs_.QueuePath(QStringLiteral("/chosen/folder"));
    dialogs_.QueuePath(QString()); // cancelled

    page_.BrowseButton()->click();
    page_.BrowseButton()->setFocus();
    QTest::keyClick(page_.BrowseButton(), Qt::Key_Return);

    ASSERT_EQ(dialogs_.Calls().size(), 2u);
    for (const DialogCall& call : dialogs_.Calls()) {
        EXPECT_EQ(call.kind, DialogCall::Kind::Folder);
        EXPECT_EQ(call.file.title, QStringLiteral("Select destination folder"));
    }
    // Each chooser opens on the folder shown at that moment.
    EXPECT_EQ(dialogs_.Calls()[0].file.folder, folder_.path());
    EXPECT_EQ(dialogs_.Calls()[1].file.folder, QStringLiteral("/chosen/folder"));
    EXPECT_EQ(page_.FolderField()->text(), QStringLiteral("/chosen/folder"));
    EXPECT_EQ(page_.FileNameField()->text(), QStringLiteral("typed"));
    // Nothing is accepted before OK.
    EXPECT_EQ(page_.AcceptedFolder(), folder_.path());
    EXPECT_TRUE(host_.Take().empty());
}

TEST_F(ReadDoPage, RefusesMissingEntriesInTheirOrder) {
    const char* const noFolder = "Designate a destination folder for saving.  ";
    struct Case {
        QString folder;
        QString fileName;
        const char* message;
        QWidget* focus;
    };
    // With both fields empty only the folder is reported, and the focus stays where it was.
    const Case cases[] = {
        {QString(), QString(), noFolder, page_.OkButton()},
        {QString(), QStringLiteral("name"), noFolder, page_.OkButton()},
        {folder_.path(), QString(), "Enter a filename for saving.  ", page_.FileNameField()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        PressOk(c.folder, c.fileName);
        ExpectRefused(c.message, c.focus);
    }
}

TEST_F(ReadDoPage, RefusesEveryCharacterThatNoFileNameMayHold) {
    const std::string forbidden = "\\/:,;*?\"<>|";
    for (const char character : forbidden) {
        SCOPED_TRACE(std::string(1, character));
        PressOk(folder_.path(),
                QStringLiteral("run") + QLatin1Char(character) + QStringLiteral("1"));
        ExpectRefused("The following character(s) cannot be used in filename.  \n\n"
                      "        \\ / : , ; * ? \" < > |",
                      page_.FileNameField());
    }

    // Blanks, dots and every other character are fine.
    const QString fine = QStringLiteral(" run 1.2 (a)-b_c+d=e&f#'%~") + QChar(0x00E9);
    PressOk(folder_.path(), fine);
    ExpectAccepted(folder_.path(), fine);
}

// A folder or a named pipe of that name is never written to; nothing asks to replace it.
TEST_F(ReadDoPage, RefusesADestinationThatIsNotAFile) {
    const QString pipe = folder_.filePath(QStringLiteral("pipe.csv"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    ASSERT_TRUE(QDir(folder_.path()).mkdir(QStringLiteral("folder.csv")));
    for (const char* name : {"pipe", "folder"}) {
        SCOPED_TRACE(name);
        PressOk(folder_.path(), QString::fromLatin1(name));
        ExpectRefused("The destination is not a file.  \nChoose another file name. ",
                      page_.FileNameField(), MessageIcon::Warning);
        dialogs_ = CScriptedDialogs();
    }
}

TEST_F(ReadDoPage, TheFileNameFieldTakesFiftyCharacters) {
    page_.FileNameField()->clear();
    QTest::keyClicks(page_.FileNameField(), QString(51, QLatin1Char('n')));
    EXPECT_EQ(page_.FileNameField()->text(), QString(50, QLatin1Char('n')));

    page_.OkButton()->click();

    ExpectAccepted(folder_.path(), QString(50, QLatin1Char('n')));
}

// folder + "/" + name + ".csv" may have 299 characters; a folder that ends with the separator (a
// root folder) adds none.
TEST_F(ReadDoPage, RefusesAPathLongerThanTheReceptionCanBuild) {
    // A folder of `length` characters, made.
    const auto folderOf = [this](qsizetype length) {
        const QString parent = folder_.filePath(QString(200, QLatin1Char('d')));
        const QString folder =
            parent + QLatin1Char('/') + QString(length - parent.size() - 1, QLatin1Char('e'));
        EXPECT_TRUE(QDir().mkpath(folder));
        return folder;
    };
    const QString name(40, QLatin1Char('f')); // 44 characters with ".csv"
    const struct {
        const char* name;
        QString folder;
        bool accepted;
    } cases[] = {
        {"299 characters", folderOf(254), true},
        {"300 characters", folderOf(255), false},
        {"299 characters, the folder ending with the separator", folderOf(254) + QLatin1Char('/'),
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PressOk(c.folder, name);
        if (c.accepted) {
            ExpectAccepted(c.folder, name);
        } else {
            ExpectRefused("The destination path is too long.  \n"
                          "A path may have at most 299 characters. ",
                          page_.FileNameField());
        }
        EXPECT_TRUE(QDir(c.folder).isEmpty()) << "nothing is left in the folder";
    }
}

// A folder that takes no file is found before anything is sent, with the system's reason.
TEST_F(ReadDoPage, RefusesAFolderThatTakesNoFile) {
    const QString gone = folder_.filePath(QStringLiteral("gone"));
    PressOk(gone, QStringLiteral("DataK720"));
    const std::string message = "Can not save \"" + QFile::encodeName(gone).toStdString() +
                                "/DataK720.csv\".  \n" + "No such file or directory";
    ExpectRefused(message.c_str(), page_.FileNameField());
}

TEST_F(ReadDoPage, AsksBeforeAnythingThatExistsIsReplaced) {
    QFile existing(QDir(folder_.path()).filePath(QStringLiteral("old.csv")));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("kept");
    existing.close();
    const QString name = QStringLiteral("old");
    for (const QString& folder : {folder_.path(), folder_.path() + QLatin1Char('/')}) {
        // No: the page stays as the user left it.
        dialogs_ = CScriptedDialogs();
        dialogs_.QueueAnswer(MessageAnswer::No);
        Enter(folder, name);
        page_.OkButton()->click();
        EXPECT_EQ(dialogs_.Messages(), std::vector<MessageRequest>{kOverwrite});
        EXPECT_TRUE(host_.Take().empty());
        EXPECT_EQ(page_.FileNameField()->text(), name);
        EXPECT_EQ(page_.AcceptedFileName(), QStringLiteral("DataK720"));

        // Yes: accepted and on to the reception, which will replace it.
        dialogs_.QueueAnswer(MessageAnswer::Yes);
        page_.OkButton()->click();
        EXPECT_EQ(dialogs_.Messages().size(), 2u);
        EXPECT_EQ(host_.Take(), kStart);
        EXPECT_EQ(page_.AcceptedFolder(), folder);
        EXPECT_EQ(page_.AcceptedFileName(), name);
        page_.SetAcceptedDestination(folder_.path(), QStringLiteral("DataK720"));
    }
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), QByteArray("kept"));
}

TEST_F(ReadDoPage, OkOnEnterKeepsThePairForTheSettingsAndCancelRestoresIt) {
    Enter(folder_.path(), QStringLiteral("first"));
    page_.OkButton()->setFocus();
    QTest::keyClick(page_.OkButton(), Qt::Key_Return);
    EXPECT_EQ(host_.Take(), kStart);
    EXPECT_EQ(page_.AcceptedFileName(), QStringLiteral("first"));

    // Changed, then given up: the fields show the accepted pair again.
    dialogs_.QueuePath(QStringLiteral("/somewhere/else"));
    page_.BrowseButton()->click();
    page_.FileNameField()->setText(QStringLiteral("second"));
    page_.CancelButton()->setFocus();
    QTest::keyClick(page_.CancelButton(), Qt::Key_Enter);

    EXPECT_EQ(host_.Take(), (std::vector<Request>{{kRequestBackFromReadDo, 0}}));
    EXPECT_EQ(page_.FolderField()->text(), folder_.path());
    EXPECT_EQ(page_.FileNameField()->text(), QStringLiteral("first"));
    EXPECT_EQ(page_.AcceptedFolder(), folder_.path());
    EXPECT_EQ(page_.AcceptedFileName(), QStringLiteral("first"));
    EXPECT_EQ(dialogs_.Messages().size(), 0u);
}

} // namespace
