#include "pages/comp_choice_page.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>

#include "comp/table_file.h"
#include "controls/color_button.h"
#include "controls/core_text.h"
#include "controls/dialogs.h"
#include "controls/fonts.h"
#include "controls/window_messages.h"
#include "pages/page_requests.h"
#include "resources/layouts/comp_layouts.h"

namespace {

constexpr const char* kReadQuestion =
    QT_TRANSLATE_NOOP("CPpgCompChoice", "Read COMP table from K720.  ");

} // namespace

CPpgCompChoice::CPpgCompChoice(QWidget* parent) : CPage(layouts::kCompChoice, parent) {
    Control<QLabel>(comp_choice_ids::kTitle)->setFont(g_font15);
    const struct {
        int id;
        QColor face;
    } looks[] = {
        {comp_choice_ids::kCancel, button_colors::kGreen},
        {comp_choice_ids::kNewFile, button_colors::kOrange},
        {comp_choice_ids::kEditFile, button_colors::kOrange},
        {comp_choice_ids::kEditInstrumentData, button_colors::kOrange},
    };
    for (const auto& look : looks) {
        Button(look.id)->SetFaceColor(look.face).SetTextColor(button_colors::kCaptionWhite);
        Button(look.id)->setFont(g_font16);
    }
    connect(Button(comp_choice_ids::kCancel), &QPushButton::clicked, this,
            [this] { PostRequest(*this, kRequestBackFromCompChoice); });
    connect(Button(comp_choice_ids::kNewFile), &QPushButton::clicked, this,
            [this] { PostRequest(*this, kRequestNewTable); });
    connect(Button(comp_choice_ids::kEditFile), &QPushButton::clicked, this,
            &CPpgCompChoice::OpenTableFile);
    connect(Button(comp_choice_ids::kEditInstrumentData), &QPushButton::clicked, this,
            &CPpgCompChoice::ReadInstrumentTable);
}

bool CPpgCompChoice::event(QEvent* event) {
    if (event->type() == EventType(WM_COMP_CHOICE_REOPEN)) {
        OpenTableFile();
        return true;
    }
    return CPage::event(event);
}

void CPpgCompChoice::OpenTableFile() {
    for (;;) {
        const QString path = Dialogs().ChooseOpenFile(TableFileRequest(tr("Open"), files_));
        if (path.isEmpty()) {
            return;
        }
        const comp::TableOutcome loaded =
            comp::LoadTableFile(QFile::encodeName(path).toStdString());
        if (loaded.Ok()) {
            files_ = CompTableFilesOf(path);
            PostRequest(*this, kRequestEditTableFile);
            return;
        }
        // Nothing was read: the user chooses again, or cancels.
        ShowMessageBox(CoreText(loaded.message), MessageIcon::Error);
    }
}

void CPpgCompChoice::ReadInstrumentTable() {
    if (AskYesNo(tr(kReadQuestion), MessageIcon::Information, MessageAnswer::Yes)) {
        PostRequest(*this, kRequestReceiveTable);
    }
}

CColorButton* CPpgCompChoice::Button(int id) const {
    return Control<CColorButton>(id);
}
