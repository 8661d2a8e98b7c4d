// The comparator table editor on its own: a run's look by mode, Set's checks and the texts it
// stores, stepping through the entries, the keyboard, Save, Transfer and Close with their
// questions, the names it refuses, and a table text that cannot be loaded.
#include <string>
#include <vector>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "comp/table_file.h"
#include "controls/dialogs.h"
#include "controls/fonts.h"
#include "pages/comp_table_dialog.h"
#include "pages/page_requests.h"
#include "resources/layouts/comp_table_layout.h"
#include "tests/support/controls_qt_app.h"
#include "tests/support/recording_host.h"
#include "tests/support/scratch_folder.h"

namespace {

namespace ids = comp_table_ids;
using app_test::RecordingHost;
using Requests = std::vector<RecordingHost::Request>;

QString Title(const char* file) {
    return QStringLiteral("Edit Comparator Table - [%1]").arg(QString::fromUtf8(file));
}

std::string TextOf(const comp::CompTable& rows) {
    std::string text;
    EXPECT_TRUE(comp::BuildTableText(rows, text).Ok());
    return text;
}

class CompTableDialog : public ::testing::Test {
protected:
    void SetUp() override {
        CreateSharedFonts();
        g_compTableText.clear();
        editor_.SetHost(&host_);
    }
    void TearDown() override {
        editor_.MarkSaved();
        editor_.hide();
        g_compTableText.clear();
    }

    void Open(CompEditorMode mode) {
        ASSERT_TRUE(editor_.Open(mode));
        editor_.show();
        QApplication::setActiveWindow(&editor_);
    }
    // Opens a table file holding `rows`, named `fileName`.
    void OpenFile(const comp::CompTable& rows, const char* fileName = "bench.csv") {
        g_compTableText = TextOf(rows);
        editor_.SetFiles(CompTableFilesOf(QString::fromStdString(folder_.File(fileName))));
        Open(CompEditorMode::TableFile);
    }

    QLineEdit* Edit(int id) const { return editor_.Control<QLineEdit>(id); }
    QPushButton* Button(int id) const { return editor_.Control<QPushButton>(id); }
    QComboBox* Box(int id) const { return editor_.Control<QComboBox>(id); }
    QTableWidget* List() const { return editor_.Control<QTableWidget>(ids::kList); }

    // Fills the fields and presses Set.
    void SetEntry(int number, int rChoice, const char* lim1, const char* lim2, int vChoice = 0,
                  const char* vLim = "0") {
        Edit(ids::kTableNumber)->setText(QString::number(number));
        Box(ids::kResistanceRange)->setCurrentIndex(rChoice);
        Box(ids::kVoltageRange)->setCurrentIndex(vChoice);
        Edit(ids::kResistanceLimit1)->setText(QString::fromLatin1(lim1));
        Edit(ids::kResistanceLimit2)->setText(QString::fromLatin1(lim2));
        Edit(ids::kVoltageLimit)->setText(QString::fromLatin1(vLim));
        Button(ids::kSet)->click();
    }

    QStringList Fields() const {
        return {Edit(ids::kTableNumber)->text(),           Edit(ids::kName)->text(),
                Box(ids::kResistanceRange)->currentText(), Edit(ids::kResistanceLimit1)->text(),
                Edit(ids::kResistanceLimit2)->text(),      Box(ids::kVoltageRange)->currentText(),
                Edit(ids::kVoltageLimit)->text()};
    }
    QStringList ListRow(int index) const {
        QStringList texts;
        for (int column = 0; column < List()->columnCount(); ++column) {
            texts << List()->item(index, column)->text();
        }
        return texts;
    }
    int SelectedRow() const {
        const QModelIndexList rows = List()->selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.front().row() : -1;
    }
    // The one warning shown since the last call, with the focus on the refused field and its
    // text selected.
    void ExpectRefused(const QString& message, int fieldId) {
        const std::vector<MessageRequest> messages = dialogs_.Messages();
        ASSERT_EQ(messages.size(), shownMessages_ + 1);
        EXPECT_EQ(messages.back().text, message);
        EXPECT_EQ(messages.back().icon, MessageIcon::Warning);
        shownMessages_ = messages.size();
        EXPECT_EQ(QApplication::focusWidget(), Edit(fieldId));
        EXPECT_EQ(Edit(fieldId)->selectedText(), Edit(fieldId)->text());
    }

    test_support::ScratchFolder folder_;
    CScriptedDialogs dialogs_;
    DialogsOverride dialogsOverride_ = SetDialogsForTests(dialogs_);
    RecordingHost host_;
    CCompTableDlg editor_;
    std::size_t shownMessages_ = 0;
};

TEST_F(CompTableDialog, NewTableShowsDefaultEntriesWithSaveDisabled) {
    Open(CompEditorMode::NewTable);
    EXPECT_EQ(editor_.windowTitle(), Title("NewFile"));
    EXPECT_FALSE(Button(ids::kSave)->isEnabled());
    EXPECT_EQ(Fields(), QStringList({"1", "No Name", "3mohm", "0.000", "0.000", "6V", "0.000"}));
    EXPECT_EQ(ListRow(0), QStringList({"  1", "No Name", "3m", "0.000", "0.000", "6V", "0.000"}));
    EXPECT_EQ(List()->item(199, 0)->text(), QStringLiteral("200"));
    EXPECT_EQ(SelectedRow(), 0);

    // The columns share the list's width less 20 pixels; the Name takes what the others leave.
    const int width = List()->width() - 2 * List()->frameWidth() - 20;
    int total = 0;
    for (int column = 0; column < List()->columnCount(); ++column) {
        total += List()->columnWidth(column);
    }
    EXPECT_EQ(total, width);
    EXPECT_EQ(List()->columnWidth(3), static_cast<int>(width * 0.17));
}

TEST_F(CompTableDialog, SetChecksLimitsAndStoresCanonicalTexts) {
    Open(CompEditorMode::NewTable);
    const QString bounds30m = QStringLiteral("Please enter a number between 0.00 and 31.00.  ");

    SetEntry(3, 1, "31.01", "31");
    ExpectRefused(bounds30m, ids::kResistanceLimit1);
    SetEntry(3, 1, "1", "31.5");
    ExpectRefused(bounds30m, ids::kResistanceLimit2);
    SetEntry(3, 0, "1", "2", 1, "60.01");
    ExpectRefused(QStringLiteral("Please enter a number between 0.00 and 60.00.  "),
                  ids::kVoltageLimit);
    // A field that holds no number gets its range's message, before any bound is checked.
    SetEntry(3, 0, "5", "abc");
    ExpectRefused(QStringLiteral("Please enter a number between 0.000 and 3.100.  "),
                  ids::kResistanceLimit2);
    SetEntry(3, 0, "1", "2", 0, "");
    ExpectRefused(QStringLiteral("Please enter a number between 0.000 and 6.000.  "),
                  ids::kVoltageLimit);
    // A decimal comma is taken as the point only where it stands alone.
    SetEntry(3, 0, "1,5.2", "2");
    ExpectRefused(QStringLiteral("Please enter a number between 0.000 and 3.100.  "),
                  ids::kResistanceLimit1);
    Edit(ids::kResistanceLimit1)->setText(QStringLiteral("1"));
    Edit(ids::kResistanceLimit2)->setText(QStringLiteral("2"));
    Edit(ids::kVoltageLimit)->setText(QStringLiteral("3"));
    for (const char* number : {"0", "201", "x1"}) {
        Edit(ids::kTableNumber)->setText(QString::fromLatin1(number));
        Button(ids::kSet)->click();
        ExpectRefused(QStringLiteral("Please enter an integer between 1 and 200.  "),
                      ids::kTableNumber);
    }
    // Nothing refused reached a row or the saved state.
    EXPECT_TRUE(editor_.Rows() == comp::CompTable{});
    EXPECT_TRUE(editor_.IsSaved());

    struct Case {
        int number, rChoice;
        const char *lim1, *lim2;
        int vChoice;
        const char* vLim;
        QStringList stored;
    };
    const Case cases[] = {
        {4, 1, "31", "31", 0, "6", {"30m", "31.00", "31.00", "6V", "6.000"}},
        // The first limit is lowered to the second, never the other way.
        {5, 0, "2.5", "1.2", 1, "12.345", {"3m", "1.200", "1.200", "60V", "12.34"}},
        {6, 3, "12.7", "100", 0, "0", {"3", "12", "100", "6V", "0.000"}},
        {7, 0, "1.5", "0", 0, "0", {"3m", "0.000", "0.000", "6V", "0.000"}},
        {200, 2, " 1e2 ", "310", 0, "1", {"300m", "100.0", "310.0", "6V", "1.000"}},
        // A decimal comma: the row and the fields hold the point.
        {8, 0, "1,5", "2,75", 1, "12,5", {"3m", "1.500", "2.750", "60V", "12.50"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        SetEntry(c.number, c.rChoice, c.lim1, c.lim2, c.vChoice, c.vLim);
        EXPECT_EQ(ListRow(c.number - 1).mid(2), c.stored);
        // The fields show the stored texts, the row is selected and the list has the focus.
        EXPECT_EQ(Fields().mid(3, 2), c.stored.mid(1, 2));
        EXPECT_EQ(SelectedRow(), c.number - 1);
        EXPECT_EQ(QApplication::focusWidget(), List());
    }
    EXPECT_EQ(dialogs_.Messages().size(), shownMessages_);
}

TEST_F(CompTableDialog, RangeChangeResetsLimitsUntilSet) {
    Open(CompEditorMode::NewTable);
    SetEntry(1, 0, "1", "2", 0, "3");
    Box(ids::kResistanceRange)->setCurrentIndex(2);
    Box(ids::kVoltageRange)->setCurrentIndex(1);
    EXPECT_EQ(Fields().mid(3), QStringList({"0.0", "0.0", "60V", "0.00"}));
    EXPECT_EQ(ListRow(0).mid(2), QStringList({"3m", "1.000", "2.000", "6V", "3.000"}));
}

TEST_F(CompTableDialog, StepsWrapAndArrowKeysStopAtTheEnds) {
    comp::CompTable rows;
    rows[199].name = "Last";
    rows[1].name = "Second";
    OpenFile(rows);

    Button(ids::kPrevious)->click();
    EXPECT_EQ(Fields().mid(0, 2), QStringList({"200", "Last"}));
    EXPECT_EQ(SelectedRow(), 199);
    Button(ids::kNext)->click();
    EXPECT_EQ(Fields().mid(0, 2), QStringList({"1", "No Name"}));
    // What was typed and not Set is dropped.
    Edit(ids::kName)->setText(QStringLiteral("typed"));
    Button(ids::kNext)->click();
    EXPECT_EQ(Fields().mid(0, 2), QStringList({"2", "Second"}));

    for (const char* number : {"0", "201", "ab"}) {
        Edit(ids::kTableNumber)->setText(QString::fromLatin1(number));
        Button(ids::kNext)->click();
        ExpectRefused(QStringLiteral("Please enter an integer between 1 and 200.  "),
                      ids::kTableNumber);
    }

    List()->setFocus();
    Edit(ids::kTableNumber)->setText(QStringLiteral("2"));
    QTest::keyClick(List(), Qt::Key_Up);
    QTest::keyClick(List(), Qt::Key_Up);
    EXPECT_EQ(Fields()[0], QStringLiteral("1"));
    EXPECT_EQ(SelectedRow(), 0);
    QTest::keyClick(List(), Qt::Key_Down);
    EXPECT_EQ(Fields().mid(0, 2), QStringList({"2", "Second"}));
    Edit(ids::kTableNumber)->setText(QStringLiteral("199"));
    Button(ids::kNext)->click();
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key_Down);
    EXPECT_EQ(Fields()[0], QStringLiteral("200"));
    EXPECT_EQ(SelectedRow(), 199);

    // A click on a row picks its entry.
    const QRect third = List()->visualItemRect(List()->item(List()->rowAt(0) + 2, 2));
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, third.center());
    QApplication::processEvents();
    EXPECT_EQ(Fields()[0], QString::number(List()->rowAt(0) + 3));

    // Every other move of the list's highlight loads its entry too, so Set writes the entry
    // highlighted; Home and End go to the first and the last.
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key_Home);
    EXPECT_EQ(Fields().mid(0, 2), QStringList({"1", "No Name"}));
    EXPECT_EQ(SelectedRow(), 0);
    QTest::keyClick(List(), Qt::Key_PageDown);
    ASSERT_GT(SelectedRow(), 0);
    EXPECT_EQ(Fields()[0], QString::number(SelectedRow() + 1));
    QTest::keyClick(List(), Qt::Key_End);
    EXPECT_EQ(Fields().mid(0, 2), QStringList({"200", "Last"}));
    EXPECT_EQ(SelectedRow(), 199);
    QTest::keyClick(List(), Qt::Key_PageUp);
    ASSERT_LT(SelectedRow(), 199);
    EXPECT_EQ(Fields()[0], QString::number(SelectedRow() + 1));
}

TEST_F(CompTableDialog, EnterActsOnlyOnTheFocusedButton) {
    Open(CompEditorMode::NewTable);
    Edit(ids::kResistanceLimit2)->setText(QStringLiteral("1"));
    Edit(ids::kResistanceLimit1)->setText(QStringLiteral("1"));
    Edit(ids::kName)->setFocus();
    QTest::keyClick(Edit(ids::kName), Qt::Key_Return);
    EXPECT_TRUE(editor_.IsSaved());
    EXPECT_TRUE(editor_.isVisible());
    Button(ids::kSet)->setFocus();
    QTest::keyClick(Button(ids::kSet), Qt::Key_Enter);
    EXPECT_EQ(ListRow(0)[3], QStringLiteral("1.000"));
    EXPECT_FALSE(editor_.IsSaved());
}

TEST_F(CompTableDialog, SaveWritesTheFileAndMarksTheTableSaved) {
    OpenFile(comp::CompTable{});
    EXPECT_EQ(editor_.windowTitle(), Title("bench.csv"));
    SetEntry(9, 2, "10", "20");
    EXPECT_EQ(editor_.windowTitle(), Title("bench.csv *"));
    EXPECT_TRUE(Button(ids::kSave)->isEnabled());

    // A file that cannot be written leaves the table unsaved.
    dialogs_.QueuePath(QString::fromStdString(folder_.File("missing/x.csv")));
    Button(ids::kSave)->click();
    ASSERT_EQ(dialogs_.Messages().size(), 1u);
    EXPECT_EQ(dialogs_.Messages()[0].icon, MessageIcon::Error);
    EXPECT_EQ(editor_.windowTitle(), Title("bench.csv *"));
    EXPECT_TRUE(Button(ids::kSave)->isEnabled());
    EXPECT_EQ(host_.Take(), Requests{});

    const QString path = QString::fromStdString(folder_.File("other.csv"));
    dialogs_.QueuePath(path);
    Button(ids::kSave)->click();
    const FileRequest& asked = dialogs_.Calls().back().file;
    EXPECT_EQ(asked.folder, QDir::toNativeSeparators(QString::fromStdString(folder_.Path() + "/")));
    EXPECT_EQ(asked.fileName, QStringLiteral("bench.csv"));
    EXPECT_EQ(asked.filter, QStringLiteral("csv file (*.csv)|*.csv||"));
    EXPECT_EQ(asked.defaultExtension, QStringLiteral("csv"));
    EXPECT_EQ(editor_.windowTitle(), Title("other.csv"));
    EXPECT_FALSE(Button(ids::kSave)->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), Button(ids::kTransfer));
    EXPECT_EQ(editor_.Files(), CompTableFilesOf(path));
    EXPECT_EQ(host_.Take(), Requests({{kRequestTableSaved, 0}}));

    ASSERT_TRUE(comp::LoadTableFile(folder_.File("other.csv")).Ok());
    const comp::ParsedTable reloaded = comp::ParseTableText();
    ASSERT_TRUE(reloaded.Ok());
    EXPECT_TRUE(reloaded.rows == editor_.Rows());
    EXPECT_EQ(reloaded.rows[8].rLim2, "20.0");
}

TEST_F(CompTableDialog, SaveAsProposesTheTablesOwnFileName) {
    // The file last opened holds another table: a new or received one is never proposed its name.
    editor_.SetFiles(CompTableFilesOf(QString::fromStdString(folder_.File("bench.csv"))));
    g_compTableText = TextOf(comp::CompTable{});
    const struct {
        CompEditorMode mode;
        const char* proposed;
    } cases[] = {{CompEditorMode::NewTable, "COMP_TABLE.csv"},
                 {CompEditorMode::FromInstrument, "COMP_TABLE.csv"},
                 {CompEditorMode::TableFile, "bench.csv"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.proposed);
        Open(c.mode);
        SetEntry(1, 0, "1", "1");
        Button(ids::kSave)->click(); // cancelled: nothing scripted
        ASSERT_EQ(dialogs_.Calls().back().kind, DialogCall::Kind::SaveFile);
        EXPECT_EQ(dialogs_.Calls().back().file.fileName, QString::fromLatin1(c.proposed));
        editor_.MarkSaved();
    }
}

TEST_F(CompTableDialog, TransferReturnsToTheSameUnsavedTable) {
    g_compTableText = TextOf(comp::CompTable{});
    Open(CompEditorMode::FromInstrument);
    EXPECT_EQ(editor_.windowTitle(), Title("K720data *"));
    EXPECT_TRUE(Button(ids::kSave)->isEnabled());
    SetEntry(57, 3, "5", "3100");

    // No to the transfer: nothing happens.
    dialogs_.QueueAnswer(MessageAnswer::No);
    Button(ids::kTransfer)->click();
    EXPECT_TRUE(editor_.isVisible());
    // Yes, then No to saving: the table text is built and request 30 posted.
    dialogs_.QueueAnswer(MessageAnswer::Yes);
    dialogs_.QueueAnswer(MessageAnswer::No);
    Button(ids::kTransfer)->click();
    EXPECT_FALSE(editor_.isVisible());
    EXPECT_EQ(dialogs_.Messages().at(1).text, QStringLiteral("Transfer COMP table to K720?  "));
    EXPECT_EQ(dialogs_.Messages().at(2).text, QStringLiteral("Save data?  "));
    EXPECT_EQ(host_.Take(), Requests({{kRequestTransmitTable, 0}}));
    const comp::CompTable sent = editor_.Rows();

    Open(CompEditorMode::AfterTransfer);
    EXPECT_TRUE(editor_.Rows() == sent);
    EXPECT_EQ(editor_.Rows()[56].rLim2, "3100");
    EXPECT_EQ(editor_.windowTitle(), Title("K720data *"));
    EXPECT_TRUE(Button(ids::kSave)->isEnabled());
}

TEST_F(CompTableDialog, CloseAsksBeforeDroppingChanges) {
    Open(CompEditorMode::NewTable);
    SetEntry(2, 0, "1", "1");
    dialogs_.QueueAnswer(MessageAnswer::Cancel);
    Button(ids::kCancel)->click();
    EXPECT_TRUE(editor_.isVisible());
    EXPECT_EQ(dialogs_.Messages().back().buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(dialogs_.Messages().back().defaultAnswer, MessageAnswer::Cancel);
    EXPECT_EQ(ListRow(1)[3], QStringLiteral("1.000"));
    EXPECT_FALSE(editor_.IsSaved());

    // Yes with the save dialog cancelled returns to the editor with the table unsaved.
    dialogs_.QueueAnswer(MessageAnswer::Yes);
    QTest::keyClick(&editor_, Qt::Key_Escape);
    EXPECT_TRUE(editor_.isVisible());
    EXPECT_EQ(dialogs_.Calls().back().kind, DialogCall::Kind::SaveFile);
    EXPECT_FALSE(editor_.IsSaved());
    EXPECT_EQ(ListRow(1)[3], QStringLiteral("1.000"));
    EXPECT_EQ(host_.Take(), Requests{});

    // Yes and a save: the file is written and the editor closes.
    const std::string path = folder_.File("kept.csv");
    dialogs_.QueueAnswer(MessageAnswer::Yes);
    dialogs_.QueuePath(QString::fromStdString(path));
    QTest::keyClick(&editor_, Qt::Key_Escape);
    EXPECT_FALSE(editor_.isVisible());
    EXPECT_TRUE(comp::LoadTableFile(path).Ok());
    EXPECT_EQ(host_.Take(), Requests({{kRequestTableSaved, 0}}));
}

TEST_F(CompTableDialog, NamesAreRefusedUnlessTheFileGivesThemBack) {
    comp::CompTable rows;
    // Bytes that are not text of the code page, as a file written elsewhere may hold them.
    rows[0].name = "\x81\x7f\xfd";
    OpenFile(rows);
    const QString twoByte = QString::fromUtf8("\xe8\xa9\xa6"); // 試, two bytes in the code page

    struct Case {
        QString name;
        const char* refusal;
    };
    const Case refused[] = {
        {twoByte.repeated(21), "This name is too long.  \nA name holds at most 40 single-byte or "
                               "20 two-byte characters.  "},
        {QStringLiteral("Cell 1, rack 2"), "A name cannot contain a comma.  "},
        {QString::fromUtf8("Cell \xf0\x9f\x94\x8b"), // a battery emoji
         "This name holds a character that a table file cannot store.  "},
    };
    for (const Case& c : refused) {
        Edit(ids::kName)->setText(c.name);
        Button(ids::kSet)->click();
        ExpectRefused(QString::fromUtf8(c.refusal), ids::kName);
    }
    EXPECT_TRUE(editor_.Rows() == rows);

    // A name left as loaded keeps its bytes; a typed one is stored in the code page.
    SetEntry(1, 0, "0", "0");
    EXPECT_EQ(editor_.Rows()[0].name, rows[0].name);
    Edit(ids::kName)->setText(twoByte.repeated(20));
    Button(ids::kSet)->click();
    std::string stored;
    for (int i = 0; i < 20; ++i) {
        stored += "\x8e\x8e";
    }
    EXPECT_EQ(editor_.Rows()[0].name, stored);

    // Saved, the file holds the code page's bytes; loaded back, they are the typed text again.
    dialogs_.QueuePath(QString::fromStdString(folder_.File("names.csv")));
    Button(ids::kSave)->click();
    ASSERT_TRUE(comp::LoadTableFile(folder_.File("names.csv")).Ok());
    EXPECT_NE(g_compTableText.find("," + stored + ","), std::string::npos);
    editor_.MarkSaved();
    Open(CompEditorMode::TableFile);
    EXPECT_EQ(List()->item(0, 1)->text(), twoByte.repeated(20));
}

TEST_F(CompTableDialog, TableThatCannotBeLoadedClosesTheEditor) {
    g_compTableText = "Model,K720 BATTERY\r\n";
    EXPECT_FALSE(editor_.Open(CompEditorMode::TableFile));
    ASSERT_EQ(dialogs_.Messages().size(), 1u);
    EXPECT_EQ(dialogs_.Messages()[0].text,
              QStringLiteral("Incorrect file format. (1) \nPlease select the correct file.  "));
    EXPECT_EQ(dialogs_.Messages()[0].icon, MessageIcon::Warning);
    EXPECT_EQ(host_.Take(), Requests({{kRequestTableLoadFailed, 0}}));
}

} // namespace
