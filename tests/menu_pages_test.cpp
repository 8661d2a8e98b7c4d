#include <array>
#include <memory>
#include <vector>

#include <QImage>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "controls/bitmap_button.h"
#include "controls/color_button.h"
#include "controls/fonts.h"
#include "controls/window_messages.h"
#include "pages/menu_pages.h"
#include "pages/page_requests.h"
#include "resources/images.h"
#include "resources/layouts/menu_layouts.h"
#include "tests/support/controls_qt_app.h"
#include "translations/text_language.h"

namespace {

// Stands in for the main window: records the page-switch requests it receives.
class RecordingHost : public QObject {
public:
    std::vector<int> codes;
    std::vector<int> arguments;

protected:
    bool event(QEvent* event) override {
        if (event->type() == EventType(WM_PAGE_SWITCH)) {
            const auto* request = static_cast<PageSwitchEvent*>(event);
            codes.push_back(request->Code());
            arguments.push_back(request->Argument());
            return true;
        }
        return QObject::event(event);
    }
};

class MenuPages : public ::testing::Test {
protected:
    void SetUp() override {
        InitImageResources();
        CreateSharedFonts();
        main_ = std::make_unique<CPpgMain>();
        readErase_ = std::make_unique<CPpgDataReadErase>();
        compDate_ = std::make_unique<CPpgInitCompDate>();
        for (CPage* page : Pages()) {
            page->SetHost(&host_);
        }
    }

    std::array<CPage*, 3> Pages() const { return {main_.get(), readErase_.get(), compDate_.get()}; }

    // Handles the requests the pages have posted so far.
    std::vector<int> TakeRequests() {
        QCoreApplication::sendPostedEvents(&host_, EventType(WM_PAGE_SWITCH));
        std::vector<int> codes = std::move(host_.codes);
        host_.codes.clear();
        return codes;
    }

    RecordingHost host_;
    std::unique_ptr<CPpgMain> main_;
    std::unique_ptr<CPpgDataReadErase> readErase_;
    std::unique_ptr<CPpgInitCompDate> compDate_;
};

struct ColouredButton {
    int page; // index into Pages()
    int id;
    const char* caption;
    QColor face;
    int request;
};

const ColouredButton kColouredButtons[] = {
    {0, main_menu_ids::kExit, "Exit", button_colors::kGreen, 2},
    {1, data_read_erase_ids::kBack, "Back", button_colors::kGreen, 3},
    {1, data_read_erase_ids::kRead, "Read Data", button_colors::kBlue, 4},
    {1, data_read_erase_ids::kDelete, "Delete Data", button_colors::kRed, 5},
    {2, init_comp_date_ids::kBack, "Back", button_colors::kGreen, 18},
    {2, init_comp_date_ids::kCompTable, "COMP Table", button_colors::kOrange, 19},
    {2, init_comp_date_ids::kSetClock, "Set Clock", button_colors::kOrange, 20},
};

TEST_F(MenuPages, EachColouredButtonLooksAsItShouldAndAsksForItsPage) {
    for (const ColouredButton& entry : kColouredButtons) {
        SCOPED_TRACE(entry.caption);
        auto* button = Pages()[entry.page]->Control<CColorButton>(entry.id);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), QString::fromLatin1(entry.caption));
        EXPECT_EQ(button->FaceColor(), entry.face);
        EXPECT_EQ(button->TextColor(), button_colors::kCaptionWhite);
        EXPECT_EQ(button->font(), g_font16);
        EXPECT_EQ(button->focusPolicy(), Qt::StrongFocus);

        button->click();
        QTest::keyClick(button, Qt::Key_Return);
        EXPECT_EQ(TakeRequests(), (std::vector<int>{entry.request, entry.request}));
        EXPECT_EQ(host_.arguments, (std::vector<int>{0, 0}));
        host_.arguments.clear();
    }
}

TEST_F(MenuPages, ThePictureButtonsAskForTheirMenus) {
    main_->ReadDeleteButton()->click();
    QTest::keyClick(main_->ReadDeleteButton(), Qt::Key_Enter);
    main_->CompClockButton()->click();
    QTest::keyClick(main_->CompClockButton(), Qt::Key_Return);
    EXPECT_EQ(TakeRequests(), (std::vector<int>{0, 0, 1, 1}));
}

TEST_F(MenuPages, PictureButtonsTakeTheSizeOfTheirPicturesAndExitSpansThemBoth) {
    ASSERT_TRUE(main_->PicturesLoaded());
    const QRect readDelete = main_->ReadDeleteButton()->geometry();
    const QRect compClock = main_->CompClockButton()->geometry();
    const QRect exit = main_->ExitButton()->geometry();
    EXPECT_EQ(readDelete.size(), QSize(140, 80));
    EXPECT_EQ(compClock.size(), QSize(140, 80));
    EXPECT_EQ(readDelete.topLeft(), main_->Layout().ToPixels(QRect(25, 16, 80, 53)).topLeft());
    EXPECT_EQ(compClock.topLeft(), main_->Layout().ToPixels(QRect(121, 16, 80, 53)).topLeft());

    EXPECT_EQ(exit.left(), readDelete.left());
    EXPECT_EQ(exit.right(), compClock.right());
    const QRect exitInTable = main_->Layout().ToPixels(QRect(25, 88, 80, 53));
    EXPECT_EQ(exit.topLeft(), exitInTable.topLeft());
    EXPECT_EQ(exit.height(), exitInTable.height());
}

TEST_F(MenuPages, TabGoesRoundTheThreeButtonsOfAPage) {
    const std::vector<QWidget*> expected = {main_->ReadDeleteButton(), main_->CompClockButton(),
                                            main_->ExitButton()};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        QWidget* next = expected[i]->nextInFocusChain();
        while (next != nullptr && next->focusPolicy() != Qt::StrongFocus) {
            next = next->nextInFocusChain();
        }
        EXPECT_EQ(next, expected[(i + 1) % expected.size()]) << "after button " << i;
    }
}

QImage Rendered(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage Picture(const char* path) {
    return QImage(QString::fromLatin1(path)).convertToFormat(QImage::Format_RGB32);
}

TEST(PictureButtons, ShowTheLookOfTheirState) {
    InitImageResources();
    QWidget window;
    auto* page = new CPpgMain(&window);
    page->show();
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    CBitmapButton& readDelete = *page->ReadDeleteButton();
    CBitmapButton& compClock = *page->CompClockButton();

    page->ExitButton()->setFocus();
    EXPECT_EQ(Rendered(readDelete), Picture(images::kReadDeleteNormal));
    EXPECT_EQ(Rendered(compClock), Picture(images::kCompClockNormal));

    readDelete.setFocus();
    EXPECT_EQ(Rendered(readDelete), Picture(images::kReadDeleteFocused));
    EXPECT_EQ(Rendered(compClock), Picture(images::kCompClockNormal));

    readDelete.setDown(true);
    EXPECT_EQ(Rendered(readDelete), Picture(images::kReadDeletePressed));
    readDelete.setDown(false);

    compClock.setFocus();
    EXPECT_EQ(Rendered(compClock), Picture(images::kCompClockFocused));
    compClock.setEnabled(false);
    EXPECT_EQ(Rendered(compClock), Picture(images::kCompClockNormal));
}

// The Japanese edition's pictures carry Japanese captions, in every look, at the English size.
TEST(PictureButtons, JapaneseEditionShowsTheJapanesePictures) {
    InitImageResources();
    struct English {
        ~English() { UseTextLanguage(Language::English); }
    } restore;
    UseTextLanguage(Language::Japanese);
    CPpgMain page;
    ASSERT_TRUE(page.PicturesLoaded());
    using Look = CBitmapButton::Look;
    const std::array<std::array<const char*, 3>, 2> expected = {{
        {images::kReadDeleteNormalJa, images::kReadDeletePressedJa, images::kReadDeleteFocusedJa},
        {images::kCompClockNormalJa, images::kCompClockPressedJa, images::kCompClockFocusedJa},
    }};
    const std::array<CBitmapButton*, 2> buttons = {page.ReadDeleteButton(), page.CompClockButton()};
    for (std::size_t b = 0; b < buttons.size(); ++b) {
        const std::array<Look, 3> looks = {Look::Normal, Look::Pressed, Look::Focused};
        for (std::size_t l = 0; l < looks.size(); ++l) {
            const QImage shown =
                buttons[b]->Picture(looks[l]).toImage().convertToFormat(QImage::Format_RGB32);
            EXPECT_EQ(shown, Picture(expected[b][l])) << expected[b][l];
        }
        EXPECT_EQ(buttons[b]->size(), QSize(140, 80));
    }
}

TEST(BitmapButton, KeepsItsPicturesWhenOneCannotBeLoaded) {
    InitImageResources();
    CBitmapButton button;
    ASSERT_TRUE(button.LoadBitmaps(images::kReadDeleteNormal, images::kReadDeletePressed,
                                   images::kReadDeleteFocused));
    EXPECT_FALSE(button.LoadBitmaps(images::kCompClockNormal, ":/images/missing.png",
                                    images::kCompClockFocused));
    EXPECT_EQ(button.Picture(CBitmapButton::Look::Normal).toImage(),
              QImage(QString::fromLatin1(images::kReadDeleteNormal))
                  .convertToFormat(button.Picture(CBitmapButton::Look::Normal).toImage().format()));
}

} // namespace
