#include "comp_transfer_page.h"

#include <QLabel>
#include <QProgressBar>

#include "fonts.h"

CCompTransferPage::CCompTransferPage(const DialogResource& resource, const CompTransferIds& ids,
                                     QWidget* parent)
    : CPage(resource, parent), ids_(ids) {
    Control<QLabel>(ids_.title)->setFont(g_font15);
    ProgressBar()->setRange(0, kEntries);
    ProgressBar()->setValue(0);
}

QLabel* CCompTransferPage::StatusLine() const {
    return Control<QLabel>(ids_.status);
}

QLabel* CCompTransferPage::Counter() const {
    return Control<QLabel>(ids_.counter);
}

QProgressBar* CCompTransferPage::ProgressBar() const {
    return Control<QProgressBar>(ids_.progress);
}
