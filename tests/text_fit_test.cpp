// Every text of every control fits its control in the font it is drawn in: the labels, buttons,
// group box titles, edit fields, the items of the drop-down lists beside their arrow, and the
// headings and cells of the lists, on every page of the main window, in the comparator table
// editor, the start-up check window, the about box, the message boxes and the file dialogs. The
// controls are found by walking the windows, not by a list, so the window is checked in English
// and in Japanese by the same test.
#include <algorithm>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyle>
#include <QStyleOption>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

#include "comp/table_reception.h"
#include "comp/table_transmission.h"
#include "controls/core_text.h"
#include "controls/dialogs.h"
#include "controls/fonts.h"
#include "measure/deletion.h"
#include "measure/memory_check.h"
#include "measure/reception.h"
#include "measure/units.h"
#include "pages/about_dialog.h"
#include "pages/comp_table_dialog.h"
#include "pages/comp_transfer_page.h"
#include "pages/erase_choice_page.h"
#include "pages/erase_do_page.h"
#include "pages/read_choice_page.h"
#include "pages/read_do_page.h"
#include "pages/read_receive_page.h"
#include "pages/unit_choice_page.h"
#include "pages/usb_check_dialog.h"
#include "resources/translations.h"
#include "tests/support/app_window.h"
#include "tests/support/controls_qt_app.h"
#include "tests/support/scratch_folder.h"

namespace {

// A text that does not fit: where, what, and the pixels it needs against those it has.
struct Cut {
    std::string control;
    std::string text;
    QSize need;
    QSize room;
};

std::ostream& operator<<(std::ostream& out, const Cut& cut) {
    return out << cut.control << " \"" << cut.text << "\" needs " << cut.need.width() << "x"
               << cut.need.height() << " px, has " << cut.room.width() << "x" << cut.room.height();
}

std::string NameOf(const QWidget& widget) {
    std::string name = widget.window()->metaObject()->className();
    for (const QWidget* w = &widget; w != nullptr && !w->isWindow(); w = w->parentWidget()) {
        if (w == &widget || w->inherits("CPage")) {
            const QString own = w->objectName().isEmpty()
                                    ? QString::fromLatin1(w->metaObject()->className())
                                    : w->objectName();
            name += "/" + own.toStdString();
        }
    }
    return name;
}

class FitCheck {
public:
    const std::vector<Cut>& Cuts() const { return cuts_; }

    // Every control of `window` and of the windows it holds.
    void Walk(const QWidget& window) {
        for (QWidget* widget : window.findChildren<QWidget*>()) {
            Check(*widget);
        }
    }

    void Control(const QWidget& widget) { Check(widget); }

private:
    void Expect(const QWidget& widget, const QString& text, QSize need, QSize room) {
        if (need.width() > room.width() || need.height() > room.height()) {
            cuts_.push_back({NameOf(widget), text.toStdString(), need, room});
        }
    }

    // A line of text as the styles draw it: '&' marks a mnemonic and takes no room.
    static QSize LineSize(const QFontMetrics& metrics, const QString& text) {
        return metrics.boundingRect(QRect(), Qt::TextShowMnemonic, text).size();
    }

    void Check(const QWidget& widget) {
        if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
            CheckLabel(*label);
        } else if (const auto* button = qobject_cast<const QPushButton*>(&widget)) {
            CheckButton(*button);
        } else if (const auto* group = qobject_cast<const QGroupBox*>(&widget)) {
            const QFontMetrics metrics(group->font());
            // The title stands a character's width in from each side of the frame.
            Expect(*group, group->title(), LineSize(metrics, group->title()),
                   QSize(group->width() - 2 * metrics.averageCharWidth(), group->height()));
        } else if (const auto* combo = qobject_cast<const QComboBox*>(&widget)) {
            CheckComboBox(*combo);
        } else if (const auto* edit = qobject_cast<const QLineEdit*>(&widget)) {
            CheckEdit(*edit);
        } else if (const auto* header = qobject_cast<const QHeaderView*>(&widget)) {
            CheckHeader(*header);
        } else if (const auto* view = qobject_cast<const QAbstractItemView*>(&widget)) {
            CheckCells(*view);
        } else if (const auto* other = qobject_cast<const QAbstractButton*>(&widget)) {
            if (!other->text().isEmpty()) {
                // A kind of control this test has no rule for yet: add one.
                cuts_.push_back({NameOf(widget) + " (no rule for this kind)",
                                 other->text().toStdString(),
                                 {},
                                 {}});
            }
        }
    }

    void CheckLabel(const QLabel& label) {
        const QString text = label.text();
        // A filler of dots shows the dots that fit; a picture has no text.
        if (text.isEmpty() || text.count(QLatin1Char('.')) == text.size()) {
            return;
        }
        const QRect room = label.contentsRect().adjusted(label.margin(), label.margin(),
                                                         -label.margin(), -label.margin());
        const int flags = static_cast<int>(label.alignment()) |
                          (label.wordWrap() ? Qt::TextWordWrap : 0) |
                          (label.textFormat() == Qt::PlainText ? 0 : Qt::TextShowMnemonic);
        const QSize need =
            label.fontMetrics().boundingRect(QRect(QPoint(0, 0), room.size()), flags, text).size();
        Expect(label, text, need, room.size());
    }

    void CheckButton(const QPushButton& button) {
        if (button.text().isEmpty()) {
            return;
        }
        QStyleOptionButton option;
        option.initFrom(&button);
        option.text = button.text();
        option.features =
            button.autoDefault() ? QStyleOptionButton::AutoDefaultButton : QStyleOptionButton::None;
        const QRect room =
            button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
        QSize need = LineSize(button.fontMetrics(), button.text());
        if (!button.icon().isNull()) {
            need.rwidth() += button.iconSize().width() + 4;
        }
        Expect(button, button.text(), need, room.size());
    }

    void CheckComboBox(const QComboBox& combo) {
        QStyleOptionComboBox option;
        option.initFrom(&combo);
        option.editable = combo.isEditable();
        option.frame = combo.hasFrame();
        option.subControls = QStyle::SC_All;
        // The label is drawn a pixel in from each side of the field beside the arrow.
        const QRect room =
            combo.style()
                ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &combo)
                .adjusted(1, 0, -1, 0);
        for (int i = 0; i < combo.count(); ++i) {
            Expect(combo, combo.itemText(i), LineSize(combo.fontMetrics(), combo.itemText(i)),
                   room.size());
        }
    }

    void CheckEdit(const QLineEdit& edit) {
        // The internal fields of spin boxes and combo boxes are checked with their control.
        if (edit.text().isEmpty() || qobject_cast<const QComboBox*>(edit.parentWidget())) {
            return;
        }
        QStyleOptionFrame option;
        option.initFrom(&edit);
        option.lineWidth =
            edit.hasFrame() ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
        const QMargins margins = edit.textMargins();
        // The line edit keeps two pixels clear on each side of its text.
        const QRect room = edit.style()
                               ->subElementRect(QStyle::SE_LineEditContents, &option, &edit)
                               .marginsRemoved(margins)
                               .adjusted(2, 0, -2, 0);
        Expect(edit, edit.displayText(), LineSize(edit.fontMetrics(), edit.displayText()),
               room.size());
    }

    void CheckHeader(const QHeaderView& header) {
        if (header.isHidden() || header.model() == nullptr) {
            return;
        }
        const int margin = header.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &header);
        for (int section = 0; section < header.count(); ++section) {
            if (header.isSectionHidden(section)) {
                continue;
            }
            const QString text =
                header.model()->headerData(section, header.orientation()).toString();
            // What shows of the section: a column beyond the list's edge is cut too.
            const int start = header.sectionViewportPosition(section);
            const int end = start + header.sectionSize(section);
            const int extent =
                header.orientation() == Qt::Horizontal ? header.width() : header.height();
            const int size = std::min(end, extent) - std::max(start, 0);
            const QSize room = header.orientation() == Qt::Horizontal
                                   ? QSize(size - 2 * margin, header.height())
                                   : QSize(header.width() - 2 * margin, size);
            Expect(header, text, LineSize(header.fontMetrics(), text), room);
        }
    }

    void CheckCells(const QAbstractItemView& view) {
        const QAbstractItemModel* model = view.model();
        if (model == nullptr) {
            return;
        }
        // The item delegate keeps this many pixels clear on each side of a cell's text.
        const int margin =
            view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1;
        for (int row = 0; row < model->rowCount(view.rootIndex()); ++row) {
            for (int column = 0; column < model->columnCount(view.rootIndex()); ++column) {
                const QModelIndex index = model->index(row, column, view.rootIndex());
                const QString text = index.data().toString();
                const QRect cell = view.visualRect(index);
                if (text.isEmpty() || cell.isEmpty()) {
                    continue;
                }
                const QVariant font = index.data(Qt::FontRole);
                const QFontMetrics metrics(font.isValid() ? font.value<QFont>() : view.font());
                Expect(view, text, LineSize(metrics, text),
                       QSize(cell.width() - 2 * margin, cell.height()));
            }
        }
    }

    std::vector<Cut> cuts_;
};

std::string Report(const std::vector<Cut>& cuts) {
    std::string report;
    for (const Cut& cut : cuts) {
        std::ostringstream line;
        line << cut << "\n";
        report += line.str();
    }
    return report;
}

class TextFit : public app_test::MainWindowTest, public ::testing::WithParamInterface<Language> {
protected:
    void SetUp() override {
        ASSERT_TRUE(InstallTranslations(*QCoreApplication::instance(), GetParam()));
        // The file dialog keeps its state (the widths of its columns among it) in the test's own
        // settings, not the user's, and starts from none.
        QStandardPaths::setTestModeEnabled(true);
        QFile::remove(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                      QStringLiteral("/QtProject.conf"));
        MainWindowTest::SetUp();
        CreateSharedFonts();
    }

    void TearDown() override {
        MainWindowTest::TearDown();
        InstallTranslations(*QCoreApplication::instance(), Language::English);
    }

    FitCheck check_;
};

TEST_P(TextFit, EveryControlOfEveryWindowShowsItsWholeText) {
    // The pages hidden as well as the one shown.
    CMainDlg& window = MakeWindow();
    window.show();
    check_.Walk(window);

    CCompTableDlg editor;
    ASSERT_TRUE(editor.Open(CompEditorMode::NewTable));
    editor.show();
    check_.Walk(editor);
    editor.hide();

    CUsbCheckDlg check;
    check_.Walk(check);
    CAboutDlg about;
    check_.Walk(about);

    // A message box of each set of buttons, with a text of two lines.
    CQtDialogs dialogs;
    for (MessageButtons buttons :
         {MessageButtons::Ok, MessageButtons::YesNo, MessageButtons::YesNoCancel}) {
        const std::unique_ptr<QMessageBox> box = dialogs.CreateMessageBox(
            {QCoreApplication::translate("CCompTableDlg", "Transfer COMP table to K720?  ") +
                 QStringLiteral("\n") +
                 QCoreApplication::translate("CCompTableDlg",
                                             "This name is too long.  \nA name holds at most 40 "
                                             "single-byte or 20 two-byte characters.  "),
             MessageIcon::Warning, buttons, MessageAnswer::No},
            &window);
        box->show();
        check_.Walk(*box);
    }

    // The save dialog of a table file, in a folder with a table and a subfolder. The folder is
    // read in the background: the columns are checked once every cell is filled in.
    test_support::ScratchFolder folder;
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder.File("tables"))));
    QFile table(QString::fromStdString(folder.File("COMP_TABLE.csv")));
    ASSERT_TRUE(table.open(QIODevice::WriteOnly));
    table.close();
    const std::unique_ptr<QFileDialog> save = CQtDialogs::CreateFileDialog(
        TableFileRequest(QCoreApplication::translate("CCompTableDlg", "Save As"),
                         CompTableFilesOf(QString::fromStdString(folder.File("x.csv")))),
        true, &window);
    save->show();
    const auto fits = [&save] {
        FitCheck dialogCheck;
        dialogCheck.Walk(*save);
        return dialogCheck.Cuts().empty();
    };
    auto* list = save->findChild<QTreeView*>();
    ASSERT_NE(list, nullptr);
    const auto filled = [list] {
        const QModelIndex root = list->rootIndex();
        return list->model()->rowCount(root) == 2 &&
               !list->model()->index(1, 3, root).data().toString().isEmpty();
    };
    ASSERT_TRUE(QTest::qWaitFor(filled));
    (void)QTest::qWaitFor(fits);
    check_.Walk(*save);

    EXPECT_TRUE(check_.Cuts().empty()) << Report(check_.Cuts());
}

// The lines whose texts the pages set as they go (a unit, a count, a time left, a status) hold
// the longest of those texts, for every unit.
TEST_P(TextFit, EveryTextALineShowsFitsThatLine) {
    CMainDlg& window = MakeWindow();
    window.show();
    const auto fits = [this](QLabel* line, const std::vector<QString>& texts) {
        ASSERT_NE(line, nullptr);
        for (const QString& text : texts) {
            line->setText(text);
            check_.Control(*line);
        }
    };
    std::vector<QString> unitLines;
    std::vector<QString> readingLines;
    std::vector<QString> deletionLines;
    std::vector<QString> confirmationLines;
    for (int unit = 0; unit < measure::kUnitCount; ++unit) {
        const int code = 1 << unit;
        unitLines.push_back(CoreText(measure::UnitLineText(code)));
        readingLines.push_back(CoreText(measure::ReadingUnitText(unit)));
        deletionLines.push_back(CoreText(measure::DeletionUnitText(code)));
        confirmationLines.push_back(
            CPpgReadDo::tr("This will read unit [ %1 ].")
                .arg(QString::fromLatin1(measure::UnitDisplayLetter(unit))));
    }
    unitLines.push_back(CoreText(measure::UnitLineText(measure::kAllUnitsCode)));
    deletionLines.push_back(CoreText(measure::DeletionUnitText(measure::kAllUnitsCode)));
    confirmationLines.push_back(CPpgReadDo::tr("This will read ALL UNITs."));
    readingLines.push_back(CoreText(measure::kCheckingDataText));

    for (CUnitChoicePage* choice : {static_cast<CUnitChoicePage*>(&window.ReadChoicePage()),
                                    static_cast<CUnitChoicePage*>(&window.EraseChoicePage())}) {
        fits(choice->StatusLine(),
             {CoreText(measure::kCheckingUnitsText), CoreText(measure::kSelectUnitToReadText),
              CoreText(measure::kSelectUnitToDeleteText), CoreText(measure::kNoDataText)});
    }
    fits(window.ReadDoPage().UnitLine(), confirmationLines);
    CPpgReadReceive& reception = window.ReadReceivePage();
    fits(reception.UnitLine(), unitLines);
    fits(reception.StatusLine(), readingLines);
    fits(reception.CountLine(), {CoreText(measure::ProgressText(4800, 4800))});
    fits(reception.TimeRemainingLine(), {CoreText(measure::TimeRemainingText(59 * 60 + 59)),
                                         CoreText(measure::TimeRemainingText(59))});
    auto* deletion = dynamic_cast<CPpgEraseDo*>(window.Page(PageId::EraseDo));
    ASSERT_NE(deletion, nullptr);
    fits(deletion->UnitLine(), deletionLines);
    fits(deletion->StatusLine(),
         {CoreText(measure::kProceedQuestionText), CoreText(measure::kDeletingText),
          CPpgEraseDo::tr("Deleting %1").arg(QString(9, QLatin1Char('.'))),
          CoreText(measure::kReadyAgainText)});
    for (PageId id : {PageId::CompTransmitDo, PageId::CompTransmitSend}) {
        auto* transfer = dynamic_cast<CCompTransferPage*>(window.Page(id));
        ASSERT_NE(transfer, nullptr);
        fits(transfer->StatusLine(),
             {CoreText(comp::kPreparingToReceiveText), CoreText(comp::kReceivingText),
              CoreText(comp::kCheckingTableText), CoreText(comp::kTransferringText)});
        fits(transfer->Counter(), {CoreText(comp::EntryCounterText(200))});
    }
    EXPECT_TRUE(check_.Cuts().empty()) << Report(check_.Cuts());
}

INSTANTIATE_TEST_SUITE_P(Languages, TextFit,
                         ::testing::Values(Language::English, Language::Japanese),
                         [](const ::testing::TestParamInfo<Language>& param) {
                             return param.param == Language::Japanese ? "Japanese" : "English";
                         });

} // namespace
