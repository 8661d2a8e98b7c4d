// CCompTableDlg: the comparator table editor, the modal window "Edit Comparator Table" over the
// table menu page. The user steps through the 200 entries (Previous/Next, the list, the arrow
// keys), changes one with Set, saves the table as a file and starts its transfer.
//
// The rows are the table; the list shows them and the fields show the entry of the table number.
// A run opens in one of four modes (a new table, a table file, a table received from the
// instrument, the table sent a moment ago) and ends by Close, Transfer (request 30) or a table
// text that cannot be loaded (request 33). A successful Save posts request 34.
//
// Names are typed as text and kept as code page 932 bytes, the table file's encoding. Set refuses
// a name the file could not give back: a comma, more than 40 bytes, or a character that code
// page cannot hold. A name left as it was loaded keeps its bytes.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>

#include "comp/comp_table.h"
#include "controls/dialog_layout.h"
#include "pages/comp_table_editor.h"

class QLineEdit;
class QPushButton;
class QTableWidget;

class CCompTableDlg : public QDialog, public CompTableEditor {
    Q_OBJECT

public:
    static constexpr const char* kWindowTitle = QT_TR_NOOP("Edit Comparator Table");

    explicit CCompTableDlg(QWidget* parent = nullptr);

    void SetHost(QObject* host) override { host_ = host; }
    void MarkSaved() override { saved_ = true; }
    void SetFiles(const CompTableFiles& files) override { files_ = files; }
    CompTableFiles Files() const override { return files_; }
    // Opens the editor in `mode` and runs it modally until it closes.
    void Run(CompEditorMode mode) override;
    void Dismiss() override;

    // The opening of a run without the modal loop: fills the rows, fields, title and Save from
    // `mode`. False when the table text could not be loaded: the user has been told, request 33
    // is posted, and the editor must not be shown.
    [[nodiscard]] bool Open(CompEditorMode mode);

    const comp::CompTable& Rows() const { return rows_; }
    bool IsSaved() const { return saved_; }

    template <class T>
    T* Control(int id) const {
        return layout_.Find<T>(id);
    }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Cancel, Esc and the close box.
    void reject() override;

private:
    void BuildList();
    void FillListRow(int index);
    void ShowTitle();
    void MarkUnsaved();

    // The entry of `number` into the fields.
    void LoadEntry(int number);
    // `number` becomes the table number: shown, loaded, its row selected and scrolled to.
    void ShowEntry(int number);
    void SelectRow(int index);

    void Set();
    void Step(int delta);
    void PickRow();
    // The list's current row moved (keys, a click): its entry becomes the table number, loaded
    // into the fields as a click on it does.
    void FollowCurrentRow(int index);
    void ResetResistanceLimits(int choice);
    void ResetVoltageLimit(int choice);
    // True when the table is saved afterwards (false: the dialog was cancelled or the file could
    // not be written).
    bool Save();
    void Transfer();

    // The warning `message`, then the focus on `field` with its text selected.
    void Refuse(QWidget* field, const QString& message);
    // The number in the "Table No:" field when it is 1 to 200.
    std::optional<int> TableNumberInField() const;
    // The Name field as the bytes a row keeps, or the warning that refuses it.
    struct NameBytes {
        std::string bytes;
        QString refusal;
    };
    NameBytes NameForSet() const;

    QLineEdit* Edit(int id) const;
    QPushButton* Button(int id) const;
    QTableWidget* List() const;

    QPointer<QObject> host_;
    DialogLayout layout_;
    CompTableFiles files_;
    CompEditorMode mode_ = CompEditorMode::NewTable;
    CompEditorMode modeBeforeTransfer_ = CompEditorMode::NewTable;
    bool saved_ = true;
    bool loadFailed_ = false;
    int currentRow_ = 0;
    int tableNumber_ = 1;
    comp::CompTable rows_;
    // The Name of the entry last loaded, as bytes and as shown: Set keeps the bytes when the
    // field still shows that text.
    std::string loadedName_;
    QString loadedNameText_;
};
