#include "pages/menu_pages.h"

#include <QPushButton>

#include "controls/bitmap_button.h"
#include "controls/color_button.h"
#include "controls/fonts.h"
#include "pages/page_requests.h"
#include "resources/images.h"
#include "resources/layouts/menu_layouts.h"
#include "translations/text_language.h"

namespace {

// White caption and the button font of the pages.
void StyleButton(CColorButton& button, const QColor& face) {
    button.SetFaceColor(face).SetTextColor(button_colors::kCaptionWhite);
    button.setFont(g_font16);
}

constexpr std::array<MenuButton, 3> kDataReadEraseButtons = {{
    {data_read_erase_ids::kBack, button_colors::kGreen, kRequestBackFromReadDeleteMenu},
    {data_read_erase_ids::kRead, button_colors::kBlue, kRequestReadChoice},
    {data_read_erase_ids::kDelete, button_colors::kRed, kRequestEraseChoice},
}};

constexpr std::array<MenuButton, 3> kInitCompDateButtons = {{
    {init_comp_date_ids::kBack, button_colors::kGreen, kRequestBackFromCompClockMenu},
    {init_comp_date_ids::kCompTable, button_colors::kOrange, kRequestCompChoice},
    {init_comp_date_ids::kSetClock, button_colors::kOrange, kRequestSetClock},
}};

} // namespace

CMenuPage::CMenuPage(const DialogResource& resource, const std::array<MenuButton, 3>& buttons,
                     QWidget* parent)
    : CPage(resource, parent) {
    for (const MenuButton& entry : buttons) {
        CColorButton* button = Button(entry.id);
        StyleButton(*button, entry.face);
        const int request = entry.request;
        connect(button, &QPushButton::clicked, this,
                [this, request] { PostRequest(*this, request); });
    }
}

CColorButton* CMenuPage::Button(int id) const {
    return Control<CColorButton>(id);
}

CPpgDataReadErase::CPpgDataReadErase(QWidget* parent)
    : CMenuPage(layouts::kDataReadErase, kDataReadEraseButtons, parent) {}

CPpgInitCompDate::CPpgInitCompDate(QWidget* parent)
    : CMenuPage(layouts::kInitCompDate, kInitCompDateButtons, parent) {}

CPpgMain::CPpgMain(QWidget* parent) : CPage(layouts::kMainMenu, parent) {
    readDelete_ = ReplaceWithPictureButton(main_menu_ids::kReadDelete);
    compClock_ = ReplaceWithPictureButton(main_menu_ids::kCompClock);
    // The pictures carry drawn captions: the Japanese edition's are drawn in Japanese.
    const bool ja = TextLanguage() == Language::Japanese;
    picturesLoaded_ =
        readDelete_->LoadBitmaps(ja ? images::kReadDeleteNormalJa : images::kReadDeleteNormal,
                                 ja ? images::kReadDeletePressedJa : images::kReadDeletePressed,
                                 ja ? images::kReadDeleteFocusedJa : images::kReadDeleteFocused) &&
        compClock_->LoadBitmaps(ja ? images::kCompClockNormalJa : images::kCompClockNormal,
                                ja ? images::kCompClockPressedJa : images::kCompClockPressed,
                                ja ? images::kCompClockFocusedJa : images::kCompClockFocused);
    readDelete_->SizeToContent();
    compClock_->SizeToContent();

    CColorButton* exit = ExitButton();
    StyleButton(*exit, button_colors::kGreen);
    // "Exit" spans both picture buttons and the gap between them.
    exit->resize(compClock_->geometry().right() + 1 - readDelete_->x(), exit->height());

    connect(readDelete_, &QPushButton::clicked, this,
            [this] { PostRequest(*this, kRequestReadDeleteMenu); });
    connect(compClock_, &QPushButton::clicked, this,
            [this] { PostRequest(*this, kRequestCompClockMenu); });
    connect(exit, &QPushButton::clicked, this, [this] { PostRequest(*this, kRequestExit); });
}

CBitmapButton* CPpgMain::ReplaceWithPictureButton(int id) {
    // The table holds a plain button at the picture button's place; the picture button takes
    // over its place and its position in the Tab order.
    QWidget* placeholder = Control(id);
    auto* button = new CBitmapButton(this);
    button->setObjectName(placeholder->objectName());
    button->move(placeholder->pos());
    button->resize(placeholder->size());
    QWidget::setTabOrder(placeholder, button);
    delete placeholder;
    return button;
}

CColorButton* CPpgMain::ExitButton() const {
    return Control<CColorButton>(main_menu_ids::kExit);
}

QWidget* CPpgMain::Button(int id) const {
    switch (id) {
    case main_menu_ids::kReadDelete:
        return readDelete_;
    case main_menu_ids::kCompClock:
        return compClock_;
    case main_menu_ids::kExit:
        return ExitButton();
    default:
        return nullptr;
    }
}
