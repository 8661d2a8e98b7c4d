// The files a user's session writes are the same bytes in the Japanese edition as in the English
// one: a unit read into a measurement file, a table made and saved in the editor, and K720.ini
// when the window closes.
#include <array>
#include <string>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "app/settings_file.h"
#include "controls/color_button.h"
#include "pages/comp_table_dialog.h"
#include "pages/page_requests.h"
#include "pages/read_choice_page.h"
#include "pages/read_do_page.h"
#include "resources/layouts/comp_table_layout.h"
#include "resources/translations.h"
#include "sim/reading_encoder.h"
#include "tests/support/app_window.h"
#include "tests/support/controls_qt_app.h"
#include "tests/support/measure_support.h"
#include "tests/support/recording_host.h"

namespace {

namespace ids = comp_table_ids;

// Unit b with a reading of each result, in both temperature and range forms.
sim::InstrumentState Readings() {
    sim::InstrumentState state = sim::EmptyInstrument();
    for (int result = 0; result < 4; ++result) {
        ReadingCodes codes;
        codes.minute = 10 + result;
        codes.resistance = 100 * (result + 1);
        codes.resistanceRange = result;
        codes.voltageRange = result % 2;
        codes.result = result;
        state.units[1].Store(result + 1, EncodeReading(codes));
    }
    return state;
}

class EditionFiles : public app_test::MainWindowTest {
protected:
    void TearDown() override {
        MainWindowTest::TearDown();
        InstallTranslations(*QCoreApplication::instance(), Language::English);
    }

    // The measurement file, the table file and K720.ini of one session in `language`.
    std::array<std::string, 3> Session(Language language) {
        EXPECT_TRUE(InstallTranslations(*QCoreApplication::instance(), language));
        measure_test::SimInstrument sim(Readings());
        CMainDlg& window = MakeWindow();
        app_test::UseInstrumentPort(sim.Port(), sim.Server().DevicePath());
        window.ReadDoPage().SetAcceptedDestination(folder_.path(), QStringLiteral("data"));
        Request(kRequestReadDeleteMenu);
        Request(kRequestReadChoice);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return window.ReadChoicePage().CancelButton()->isEnabled(); }, 5000));
        Request(kRequestReadUnitChosen, 0x2);
        Request(kRequestStartReception);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return window.VisiblePage() == PageId::ReadChoice; }, 20000));

        app_test::RecordingHost host;
        CCompTableDlg editor;
        editor.SetHost(&host);
        EXPECT_TRUE(editor.Open(CompEditorMode::NewTable));
        editor.Control<QLineEdit>(ids::kTableNumber)->setText(QStringLiteral("7"));
        editor.Control<QLineEdit>(ids::kName)->setText(QStringLiteral("Pack 7"));
        editor.Control<QComboBox>(ids::kResistanceRange)->setCurrentIndex(1);
        editor.Control<QLineEdit>(ids::kResistanceLimit1)->setText(QStringLiteral("12.5"));
        editor.Control<QLineEdit>(ids::kResistanceLimit2)->setText(QStringLiteral("20"));
        editor.Control<QPushButton>(ids::kSet)->click();
        const QString table = QDir(folder_.path()).filePath(QStringLiteral("table.csv"));
        dialogs_.QueuePath(table);
        editor.Control<QPushButton>(ids::kSave)->click();

        window.close();
        std::array<std::string, 3> files;
        const QString paths[] = {QDir(folder_.path()).filePath(QStringLiteral("data.csv")), table,
                                 QDir(programDir_.path()).filePath(kSettingsFileName)};
        for (std::size_t i = 0; i < files.size(); ++i) {
            files[i] = measure_test::ReadFileBytes(paths[i].toStdString());
            QFile::remove(paths[i]);
        }
        return files;
    }

    // One destination for both sessions: K720.ini stores it.
    QTemporaryDir folder_;
};

TEST_F(EditionFiles, JapaneseSessionWritesTheEnglishBytes) {
    const std::array<std::string, 3> english = Session(Language::English);
    window_.reset();
    const std::array<std::string, 3> japanese = Session(Language::Japanese);
    for (std::size_t i = 0; i < english.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_GT(english[i].size(), 20u);
        EXPECT_EQ(japanese[i], english[i]);
    }
    // The second session did speak Japanese.
    EXPECT_NE(window_->ReadChoicePage().CancelButton()->text(), QStringLiteral("Cancel"));
}

} // namespace
