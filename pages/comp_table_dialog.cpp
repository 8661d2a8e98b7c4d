#include "pages/comp_table_dialog.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>

#include "comp/table_file.h"
#include "controls/core_text.h"
#include "controls/dialogs.h"
#include "controls/fonts.h"
#include "controls/window_messages.h"
#include "pages/name_code_page.h"
#include "pages/page_requests.h"
#include "resources/layouts/comp_table_layout.h"

namespace ids = comp_table_ids;

namespace {

// The user's texts, in English; the editor shows them through tr() in the user's language.
constexpr const char* kTableNumberMessage =
    QT_TRANSLATE_NOOP("CCompTableDlg", "Please enter an integer between 1 and 200.  ");
constexpr const char* kTransferQuestion =
    QT_TRANSLATE_NOOP("CCompTableDlg", "Transfer COMP table to K720?  ");
constexpr const char* kSaveQuestion = QT_TRANSLATE_NOOP("CCompTableDlg", "Save data?  ");
constexpr const char* kNameWithComma =
    QT_TRANSLATE_NOOP("CCompTableDlg", "A name cannot contain a comma.  ");
constexpr const char* kNameTooLong = QT_TRANSLATE_NOOP(
    "CCompTableDlg",
    "This name is too long.  \nA name holds at most 40 single-byte or 20 two-byte characters.  ");
constexpr const char* kNameNotStorable = QT_TRANSLATE_NOOP(
    "CCompTableDlg", "This name holds a character that a table file cannot store.  ");
// The name Save As proposes for a table that has no file of its own yet.
constexpr const char* kNewTableFileName = "COMP_TABLE.csv";

constexpr std::array<const char*, 7> kColumnHeadings = {
    "No",           QT_TRANSLATE_NOOP("CCompTableDlg", "Name"),
    "R-Range",      "R-Lim1[mohm]",
    "R-Lim2[mohm]", "V-Range",
    "V-Lim[volt]"};
// Shares of the list's width (its client width less 20 pixels) by column; the Name takes the rest.
constexpr std::array<double, 7> kColumnShares = {0.06, 0.0, 0.12, 0.17, 0.17, 0.12, 0.13};
constexpr int kNameColumn = 1;
constexpr int kListWidthReserve = 20;

// The code page 932 bytes of `text`, or nothing when a character has none (or does not come
// back as itself).
std::optional<std::string> NameBytesOf(const QString& text) {
    std::optional<std::string> bytes = CodePage932Bytes(text);
    if (bytes && CodePage932Text(*bytes) != text) {
        return std::nullopt;
    }
    return bytes;
}

QString TextOf(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QTableWidgetItem* CentredItem() {
    auto* item = new QTableWidgetItem;
    item->setTextAlignment(Qt::AlignCenter);
    return item;
}

bool IsEnter(const QKeyEvent& key) {
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

// The number in a limit field. A decimal comma, as typed where the comma is the decimal
// separator, counts as the point; the row keeps the point either way.
std::optional<comp::Decimal> LimitInField(const QString& text) {
    QString number = text;
    if (number.count(QLatin1Char(',')) == 1 && !number.contains(QLatin1Char('.'))) {
        number.replace(QLatin1Char(','), QLatin1Char('.'));
    }
    return comp::ParseDecimal(number.toStdString());
}

} // namespace

CCompTableDlg::CCompTableDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    layout_ = DialogLayout::Build(*this, layouts::kCompTable, DialogFont());
    setWindowTitle(tr(kWindowTitle));
    setModal(true);

    auto* rRange = Control<QComboBox>(ids::kResistanceRange);
    for (const comp::RangeSpec& range : comp::kResistanceRanges) {
        rRange->addItem(TextOf(range.boxText));
    }
    auto* vRange = Control<QComboBox>(ids::kVoltageRange);
    for (const comp::RangeSpec& range : comp::kVoltageRanges) {
        vRange->addItem(TextOf(range.boxText));
    }
    for (int id : {ids::kName, ids::kResistanceRange, ids::kResistanceLimit1,
                   ids::kResistanceLimit2, ids::kVoltageRange, ids::kVoltageLimit}) {
        layout_.Find(id)->setFont(g_font16);
    }
    Edit(ids::kTableNumber)->setFont(g_font20);
    BuildList();

    for (int id :
         {ids::kPrevious, ids::kNext, ids::kSet, ids::kSave, ids::kTransfer, ids::kCancel}) {
        // Enter acts only on the focused button (eventFilter), never on a default one.
        Button(id)->setAutoDefault(false);
        Button(id)->setDefault(false);
    }
    for (QWidget* child : findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }

    connect(Button(ids::kSet), &QPushButton::clicked, this, &CCompTableDlg::Set);
    connect(Button(ids::kPrevious), &QPushButton::clicked, this, [this] { Step(-1); });
    connect(Button(ids::kNext), &QPushButton::clicked, this, [this] { Step(+1); });
    connect(Button(ids::kSave), &QPushButton::clicked, this, [this] { Save(); });
    connect(Button(ids::kTransfer), &QPushButton::clicked, this, &CCompTableDlg::Transfer);
    connect(Button(ids::kCancel), &QPushButton::clicked, this, &CCompTableDlg::reject);
    connect(List()->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && current.row() != currentRow_) {
                    FollowCurrentRow(current.row());
                }
            });
    connect(rRange, &QComboBox::currentIndexChanged, this, &CCompTableDlg::ResetResistanceLimits);
    connect(vRange, &QComboBox::currentIndexChanged, this, &CCompTableDlg::ResetVoltageLimit);
}

void CCompTableDlg::BuildList() {
    QTableWidget* list = List();
    list->setColumnCount(static_cast<int>(kColumnHeadings.size()));
    QStringList headings;
    for (const char* heading : kColumnHeadings) {
        headings << tr(heading);
    }
    list->setHorizontalHeaderLabels(headings);
    list->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    list->horizontalHeader()->setHighlightSections(false);
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 4);

    const int width = list->width() - 2 * list->frameWidth() - kListWidthReserve;
    int nameWidth = width;
    for (int column = 0; column < list->columnCount(); ++column) {
        if (column == kNameColumn) {
            continue;
        }
        const int columnWidth = static_cast<int>(width * kColumnShares[column]);
        list->setColumnWidth(column, columnWidth);
        nameWidth -= columnWidth;
    }
    list->setColumnWidth(kNameColumn, nameWidth);

    // The selected row stays marked while another control has the focus.
    QPalette palette = list->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    }
    list->setPalette(palette);

    list->setRowCount(comp::kEntryCount);
    for (int row = 0; row < comp::kEntryCount; ++row) {
        for (int column = 0; column < list->columnCount(); ++column) {
            list->setItem(row, column, CentredItem());
        }
        list->item(row, 0)->setText(QString::asprintf("%3d", row + 1));
    }
}

void CCompTableDlg::FillListRow(int index) {
    const comp::CompRow& row = rows_[static_cast<std::size_t>(index)];
    QTableWidget* list = List();
    list->item(index, 1)->setText(CodePage932Text(row.name));
    const std::array<const std::string*, 5> texts = {&row.rRange, &row.rLim1, &row.rLim2,
                                                     &row.vRange, &row.vLim};
    for (std::size_t i = 0; i < texts.size(); ++i) {
        list->item(index, static_cast<int>(i) + 2)->setText(TextOf(*texts[i]));
    }
}

void CCompTableDlg::Run(CompEditorMode mode) {
    if (Open(mode)) {
        exec();
    }
}

void CCompTableDlg::Dismiss() {
    saved_ = true;
    if (isVisible()) {
        QDialog::reject();
    }
}

bool CCompTableDlg::Open(CompEditorMode mode) {
    loadFailed_ = false;
    mode_ = mode;
    if (mode == CompEditorMode::NewTable) {
        rows_ = comp::CompTable{};
    } else {
        comp::ParsedTable parsed = comp::ParseTableText();
        if (parsed.Ok()) {
            rows_ = parsed.rows;
        } else {
            ShowMessageBox(CoreText(parsed.message), MessageIcon::Warning);
            SendMessageTo(this, WM_COMP_LOAD_FAILED);
        }
    }
    switch (mode) {
    case CompEditorMode::NewTable:
    case CompEditorMode::TableFile:
        saved_ = true;
        break;
    case CompEditorMode::FromInstrument:
        // A received table is not saved anywhere yet.
        saved_ = false;
        break;
    case CompEditorMode::AfterTransfer:
        // Back to the table as it was when Transfer was chosen, saved or not.
        mode_ = modeBeforeTransfer_;
        break;
    }
    for (int index = 0; index < comp::kEntryCount; ++index) {
        FillListRow(index);
    }
    ShowTitle();
    currentRow_ = 0;
    ShowEntry(1);
    Button(ids::kSave)->setEnabled(!saved_);
    Button(ids::kPrevious)->setFocus(Qt::OtherFocusReason);
    return !loadFailed_;
}

bool CCompTableDlg::event(QEvent* event) {
    if (event->type() == EventType(WM_COMP_LOAD_FAILED)) {
        // The user has been told what is wrong with the table; the menu page offers its open
        // dialog again.
        loadFailed_ = true;
        if (!PostPageSwitch(host_.data(), kRequestTableLoadFailed)) {
            qWarning("the comparator table editor has no host; request %d was dropped",
                     kRequestTableLoadFailed);
        }
        if (isVisible()) {
            QDialog::reject();
        }
        return true;
    }
    return QDialog::event(event);
}

void CCompTableDlg::ShowTitle() {
    QString file;
    switch (mode_) {
    case CompEditorMode::TableFile:
    case CompEditorMode::AfterTransfer:
        file = files_.fileName;
        break;
    case CompEditorMode::NewTable:
        file = QStringLiteral("NewFile");
        break;
    case CompEditorMode::FromInstrument:
        file = QStringLiteral("K720data");
        break;
    }
    setWindowTitle(QStringLiteral("%1 - [%2%3]")
                       .arg(tr(kWindowTitle), file, saved_ ? QString() : QStringLiteral(" *")));
}

void CCompTableDlg::MarkUnsaved() {
    saved_ = false;
    Button(ids::kSave)->setEnabled(true);
    ShowTitle();
}

void CCompTableDlg::LoadEntry(int number) {
    const comp::CompRow& row = rows_[static_cast<std::size_t>(number - 1)];
    loadedName_ = row.name;
    loadedNameText_ = CodePage932Text(row.name);
    Edit(ids::kName)->setText(loadedNameText_);
    {
        // Loading is not a change of range: the limits are the row's, not reset.
        const QSignalBlocker blockR(Control<QComboBox>(ids::kResistanceRange));
        const QSignalBlocker blockV(Control<QComboBox>(ids::kVoltageRange));
        Control<QComboBox>(ids::kResistanceRange)
            ->setCurrentIndex(comp::ResistanceCodeOf(row.rRange));
        Control<QComboBox>(ids::kVoltageRange)->setCurrentIndex(comp::VoltageCodeOf(row.vRange));
    }
    Edit(ids::kResistanceLimit1)->setText(TextOf(row.rLim1));
    Edit(ids::kResistanceLimit2)->setText(TextOf(row.rLim2));
    Edit(ids::kVoltageLimit)->setText(TextOf(row.vLim));
}

void CCompTableDlg::ShowEntry(int number) {
    tableNumber_ = number;
    Edit(ids::kTableNumber)->setText(QString::number(number));
    LoadEntry(number);
    SelectRow(number - 1);
}

void CCompTableDlg::SelectRow(int index) {
    QTableWidget* list = List();
    currentRow_ = index; // before the move, which then follows nothing
    list->scrollToItem(list->item(index, 0));
    list->setCurrentCell(index, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

std::optional<int> CCompTableDlg::TableNumberInField() const {
    bool isNumber = false;
    const int number = Edit(ids::kTableNumber)->text().trimmed().toInt(&isNumber);
    if (!isNumber || number < 1 || number > comp::kEntryCount) {
        return std::nullopt;
    }
    return number;
}

CCompTableDlg::NameBytes CCompTableDlg::NameForSet() const {
    const QString text = Edit(ids::kName)->text();
    if (text == loadedNameText_) {
        return {loadedName_, {}};
    }
    if (text.contains(QLatin1Char(','))) {
        return {{}, tr(kNameWithComma)};
    }
    const std::optional<std::string> bytes = NameBytesOf(text);
    if (!bytes) {
        return {{}, tr(kNameNotStorable)};
    }
    if (bytes->size() > comp::kNameMaxBytes) {
        return {{}, tr(kNameTooLong)};
    }
    if (!comp::IsAcceptableName(*bytes)) {
        return {{}, tr(kNameNotStorable)};
    }
    return {*bytes, {}};
}

void CCompTableDlg::Refuse(QWidget* field, const QString& message) {
    ShowMessageBox(message, MessageIcon::Warning);
    field->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(field)) {
        edit->selectAll();
    }
}

void CCompTableDlg::Set() {
    const std::optional<int> number = TableNumberInField();
    if (!number) {
        Refuse(Edit(ids::kTableNumber), tr(kTableNumberMessage));
        return;
    }
    const NameBytes name = NameForSet();
    if (!name.refusal.isEmpty()) {
        Refuse(Edit(ids::kName), name.refusal);
        return;
    }
    const comp::RangeSpec& rRange =
        comp::ResistanceRange(Control<QComboBox>(ids::kResistanceRange)->currentIndex());
    const comp::RangeSpec& vRange =
        comp::VoltageRange(Control<QComboBox>(ids::kVoltageRange)->currentIndex());
    const struct {
        int id;
        const comp::RangeSpec& range;
    } limits[] = {{ids::kResistanceLimit1, rRange},
                  {ids::kResistanceLimit2, rRange},
                  {ids::kVoltageLimit, vRange}};
    // A field that holds no number is refused before any bound is checked, as with the
    // field-by-field transfer of the classic dialogs.
    std::array<comp::Decimal, 3> values;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::optional<comp::Decimal> value = LimitInField(Edit(limits[i].id)->text());
        if (!value) {
            Refuse(Edit(limits[i].id), CoreText(limits[i].range.boundsMessage.data()));
            return;
        }
        values[i] = *value;
    }
    std::array<int, 3> counts{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::optional<int> count = comp::CountWithinRange(values[i], limits[i].range);
        if (!count) {
            Refuse(Edit(limits[i].id), CoreText(limits[i].range.boundsMessage.data()));
            return;
        }
        counts[i] = *count;
    }
    if (saved_) {
        MarkUnsaved();
    }
    // The first limit never exceeds the second: it is lowered to it.
    counts[0] = std::min(counts[0], counts[1]);

    comp::CompRow& row = rows_[static_cast<std::size_t>(*number - 1)];
    row.name = name.bytes;
    row.rRange = std::string(rRange.tableText);
    row.rLim1 = comp::FormatLimit(counts[0], rRange.decimals);
    row.rLim2 = comp::FormatLimit(counts[1], rRange.decimals);
    row.vRange = std::string(vRange.tableText);
    row.vLim = comp::FormatLimit(counts[2], vRange.decimals);
    FillListRow(*number - 1);

    ShowEntry(*number);
    List()->setFocus(Qt::OtherFocusReason);
}

void CCompTableDlg::Step(int delta) {
    const std::optional<int> number = TableNumberInField();
    if (!number) {
        Refuse(Edit(ids::kTableNumber), tr(kTableNumberMessage));
        return;
    }
    // 200 is followed by 1, and 1 preceded by 200.
    const int next = (*number - 1 + delta + comp::kEntryCount) % comp::kEntryCount + 1;
    ShowEntry(next);
}

void CCompTableDlg::PickRow() {
    const QModelIndexList selected = List()->selectionModel()->selectedRows();
    if (!selected.isEmpty()) {
        const auto first = std::min_element(
            selected.begin(), selected.end(),
            [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
        FollowCurrentRow(first->row());
        return;
    }
    Edit(ids::kTableNumber)->setText(QString::number(tableNumber_));
    LoadEntry(tableNumber_);
}

void CCompTableDlg::FollowCurrentRow(int index) {
    currentRow_ = index;
    tableNumber_ = index + 1;
    Edit(ids::kTableNumber)->setText(QString::number(tableNumber_));
    LoadEntry(tableNumber_);
}

void CCompTableDlg::ResetResistanceLimits(int choice) {
    const QString zero = TextOf(comp::FormatLimit(0, comp::ResistanceRange(choice).decimals));
    Edit(ids::kResistanceLimit1)->setText(zero);
    Edit(ids::kResistanceLimit2)->setText(zero);
}

void CCompTableDlg::ResetVoltageLimit(int choice) {
    Edit(ids::kVoltageLimit)
        ->setText(TextOf(comp::FormatLimit(0, comp::VoltageRange(choice).decimals)));
}

bool CCompTableDlg::Save() {
    if (saved_) {
        return true;
    }
    FileRequest request = TableFileRequest(tr("Save As"), files_);
    // The table's own file, else a name of its own: never the pattern "*.csv", and never the
    // name of the file last opened, which holds another table.
    request.fileName = mode_ == CompEditorMode::TableFile && !files_.fileName.isEmpty()
                           ? files_.fileName
                           : QString::fromLatin1(kNewTableFileName);
    const QString path = Dialogs().ChooseSaveFile(request);
    if (path.isEmpty()) {
        return false;
    }
    const comp::TableOutcome written =
        comp::WriteTableFile(QFile::encodeName(path).toStdString(), rows_);
    if (!written.Ok()) {
        // The table stays unsaved, so that nothing suggests it is on disk.
        ShowMessageBox(CoreText(written.message), MessageIcon::Error);
        return false;
    }
    files_ = CompTableFilesOf(path);
    saved_ = true;
    Button(ids::kTransfer)->setFocus(Qt::OtherFocusReason);
    Button(ids::kSave)->setEnabled(false);
    mode_ = CompEditorMode::TableFile;
    ShowTitle();
    if (!PostPageSwitch(host_.data(), kRequestTableSaved)) {
        qWarning("the comparator table editor has no host; request %d was dropped",
                 kRequestTableSaved);
    }
    return true;
}

void CCompTableDlg::Transfer() {
    if (!AskYesNo(tr(kTransferQuestion), MessageIcon::Information, MessageAnswer::Yes)) {
        return;
    }
    if (!saved_ && AskYesNo(tr(kSaveQuestion), MessageIcon::Information, MessageAnswer::Yes)) {
        // A cancelled or failed save does not stop the transfer.
        (void)Save();
    }
    const comp::TableOutcome built = comp::BuildTableText(rows_);
    if (!built.Ok()) {
        ShowMessageBox(CoreText(built.message), MessageIcon::Error);
        return;
    }
    modeBeforeTransfer_ = mode_;
    if (!PostPageSwitch(host_.data(), kRequestTransmitTable)) {
        qWarning("the comparator table editor has no host; request %d was dropped",
                 kRequestTransmitTable);
    }
    QDialog::accept();
}

void CCompTableDlg::reject() {
    if (!saved_) {
        MessageRequest question;
        question.text = tr(kSaveQuestion);
        question.icon = MessageIcon::Information;
        question.buttons = MessageButtons::YesNoCancel;
        question.defaultAnswer = MessageAnswer::Cancel;
        const MessageAnswer answer = Dialogs().ShowMessage(question);
        if (answer == MessageAnswer::Cancel) {
            return;
        }
        if (answer == MessageAnswer::Yes && !Save()) {
            // A cancelled or failed save keeps the editor open with the table unsaved: closing
            // would drop the edits the user asked to keep.
            return;
        }
    }
    saved_ = true;
    QDialog::reject();
}

bool CCompTableDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        // The range boxes' drop-down lists are windows of their own: Enter picks an item there.
        if (IsEnter(key) && static_cast<QWidget*>(watched)->window() == this) {
            // Enter is a click on the focused button, and nothing anywhere else.
            for (int id : {ids::kPrevious, ids::kNext, ids::kSet, ids::kSave, ids::kTransfer,
                           ids::kCancel}) {
                if (watched == Button(id) && Button(id)->isEnabled()) {
                    Button(id)->click();
                }
            }
            return true;
        }
        if (watched == List() && (key.key() == Qt::Key_Home || key.key() == Qt::Key_End)) {
            ShowEntry(key.key() == Qt::Key_Home ? 1 : comp::kEntryCount);
            return true;
        }
        if (watched == List() && (key.key() == Qt::Key_Up || key.key() == Qt::Key_Down)) {
            // One entry up or down, without wrapping.
            const int next = std::clamp(tableNumber_ + (key.key() == Qt::Key_Up ? -1 : +1), 1,
                                        comp::kEntryCount);
            ShowEntry(next);
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonRelease && watched == List()->viewport()) {
        // After the list has handled the press, so the clicked row is the selected one.
        QMetaObject::invokeMethod(this, &CCompTableDlg::PickRow, Qt::QueuedConnection);
    }
    return QDialog::eventFilter(watched, event);
}

QLineEdit* CCompTableDlg::Edit(int id) const {
    return Control<QLineEdit>(id);
}

QPushButton* CCompTableDlg::Button(int id) const {
    return Control<QPushButton>(id);
}

QTableWidget* CCompTableDlg::List() const {
    return Control<QTableWidget>(ids::kList);
}
