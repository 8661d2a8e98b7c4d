// CPpgCompChoice: the entrance to the comparator tables. "Cancel" (request 22), "New File"
// (request 23), "Edit File" (the open dialog, then request 24) and "Edit K720 data" (a question,
// then request 25). It keeps the table file last opened here or saved by the editor, which the
// main window carries to and from the editor and the settings file.
#pragma once

#include "controls/page.h"
#include "pages/comp_table_editor.h"

class CColorButton;

class CPpgCompChoice : public CPage {
    Q_OBJECT

public:
    explicit CPpgCompChoice(QWidget* parent = nullptr);

    void SetTableFiles(const CompTableFiles& files) { files_ = files; }
    const CompTableFiles& TableFiles() const { return files_; }

    CColorButton* Button(int id) const;

protected:
    // WM_COMP_CHOICE_REOPEN: the editor could not load the file; the open dialog comes again.
    bool event(QEvent* event) override;

private:
    // The open dialog, until the user cancels or a file is read into the table text.
    void OpenTableFile();
    void ReadInstrumentTable();

    CompTableFiles files_;
};
