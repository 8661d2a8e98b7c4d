#include "pages/comp_transfer_page.h"

#include <algorithm>

#include <QLabel>
#include <QProgressBar>

#include "comp/table_reception.h"
#include "controls/core_text.h"
#include "controls/fonts.h"

CCompTransferPage::CCompTransferPage(const DialogResource& resource, const CompTransferIds& ids,
                                     const char* restText, QWidget* parent)
    : CPage(resource, parent), ids_(ids), restText_(restText) {
    Control<QLabel>(ids_.title)->setFont(g_font15);
    ProgressBar()->setRange(0, kEntries);
    ShowAtRest();
    startTimer_.setSingleShot(true);
    startTimer_.setInterval(kStartDelayMs);
    endTimer_.setSingleShot(true);
    endTimer_.setInterval(kEndDelayMs);
}

void CCompTransferPage::ShowEntries(int entries) {
    Counter()->setText(CoreText(comp::EntryCounterText(entries)));
    ProgressBar()->setValue(std::clamp(entries, 0, kEntries));
}

void CCompTransferPage::ShowAtRest() {
    StatusLine()->setText(CoreText(restText_));
    Counter()->clear();
    ProgressBar()->setValue(0);
}

void CCompTransferPage::DropPendingSteps() {
    startTimer_.stop();
    endTimer_.stop();
    active_ = false;
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
