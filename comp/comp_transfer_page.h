// The shape shared by the two comparator table transfer pages, which have no buttons: a heading,
// a status line, a counter of the entries done ("%d / 200") and a progress bar over the 200
// entries.
//   CPpgCompTransmitDo    reads the instrument's table (comp_transmit_do_page.h)
//   CPpgCompTransmitSend  sends the edited table to the instrument (comp_transmit_send_page.h)
#pragma once

#include "layouts/comp_layouts.h"
#include "page.h"

class QLabel;
class QProgressBar;

class CCompTransferPage : public CPage {
    Q_OBJECT

public:
    static constexpr int kEntries = 200;

    CCompTransferPage(const DialogResource& resource, const CompTransferIds& ids, QWidget* parent);

    QLabel* StatusLine() const;
    QLabel* Counter() const;
    QProgressBar* ProgressBar() const;

private:
    CompTransferIds ids_;
};
