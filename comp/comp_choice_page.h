// CPpgCompChoice: the entrance to the comparator tables. "Cancel" (request 22), "New File"
// (request 23), "Edit File" and "Edit K720 data". It keeps the table file last opened here or
// saved by the editor, which the main window carries to and from the editor and the settings file.
#pragma once

#include "comp_table_editor.h"
#include "page.h"

class CColorButton;

class CPpgCompChoice : public CPage {
    Q_OBJECT

public:
    explicit CPpgCompChoice(QWidget* parent = nullptr);

    void SetTableFiles(const CompTableFiles& files) { files_ = files; }
    const CompTableFiles& TableFiles() const { return files_; }

    CColorButton* Button(int id) const;

private:
    CompTableFiles files_;
};
