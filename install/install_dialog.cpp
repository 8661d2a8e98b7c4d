#include "install/install_dialog.h"

#include <cstdio>

#include <QMetaObject>
#include <QPainter>
#include <QPixmap>

#include "controls/dialogs.h"
#include "controls/fonts.h"
#include "install/install_layout.h"

namespace {

// The window is painted in the colour the explanation pictures are drawn on, so that they sit
// on it without a visible edge.
const QColor kBackground(236, 233, 216);

struct ButtonPictures {
    const char* normal;
    const char* pressed;
    const char* focused;
};

constexpr ButtonPictures kJapanesePictures{":/install/install_japanese_normal.png",
                                           ":/install/install_japanese_pressed.png",
                                           ":/install/install_japanese_focused.png"};
constexpr ButtonPictures kEnglishPictures{":/install/install_english_normal.png",
                                          ":/install/install_english_pressed.png",
                                          ":/install/install_english_focused.png"};
constexpr char kJapaneseNotePicture[] = ":/install/install_japanese_note.png";
constexpr char kEnglishNotePicture[] = ":/install/install_english_note.png";
constexpr char kIcon16[] = ":/install/icon_16.png";
constexpr char kIcon32[] = ":/install/icon_32.png";

void Log(const std::string& text) {
    std::fprintf(stderr, "k720-install: %s\n", text.c_str());
}

bool LoadButton(CBitmapButton& button, const ButtonPictures& pictures, QString* error) {
    if (!button.LoadBitmaps(QString::fromLatin1(pictures.normal),
                            QString::fromLatin1(pictures.pressed),
                            QString::fromLatin1(pictures.focused))) {
        *error = QStringLiteral("cannot load the pictures of %1").arg(button.text());
        return false;
    }
    button.SizeToContent();
    return true;
}

// A picture in a sunken frame takes the size of its picture, as a bitmap static control does.
bool LoadNote(QLabel& note, const char* path, QString* error) {
    const QPixmap picture(QString::fromLatin1(path));
    if (picture.isNull()) {
        *error = QStringLiteral("cannot load the picture %1").arg(QString::fromLatin1(path));
        return false;
    }
    note.setPixmap(picture);
    const int frame = note.frameWidth();
    note.resize(picture.width() + 2 * frame, picture.height() + 2 * frame);
    return true;
}

} // namespace

// Outside any namespace, as the resource system requires.
static void InitInstallImages() {
    Q_INIT_RESOURCE(install_images);
}

CInstallDlg::CInstallDlg(LauncherSystem& system, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      system_(system) {
    layout_ = DialogLayout::Build(*this, layouts::kInstall, DialogFont());
    setWindowTitle(QString::fromLatin1(kTitle));
    cancel_ = layout_.Find<QPushButton>(install_ids::kCancel);
    japanese_ = BecomePictureButton(install_ids::kJapanese);
    english_ = BecomePictureButton(install_ids::kEnglish);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(japanese_, &QPushButton::clicked, this,
            [this] { OnLanguage(SetupLanguage::Japanese); });
    connect(english_, &QPushButton::clicked, this, [this] { OnLanguage(SetupLanguage::English); });
    cancel_->setFocus();
}

bool CInstallDlg::Open(QString* error) {
    InitInstallImages();
    QIcon icon;
    icon.addFile(QString::fromLatin1(kIcon16), QSize(16, 16));
    icon.addFile(QString::fromLatin1(kIcon32), QSize(32, 32));
    setWindowIcon(icon);
    return LoadButton(*japanese_, kJapanesePictures, error) &&
           LoadButton(*english_, kEnglishPictures, error) &&
           LoadNote(*JapaneseNote(), kJapaneseNotePicture, error) &&
           LoadNote(*EnglishNote(), kEnglishNotePicture, error);
}

QLabel* CInstallDlg::JapaneseNote() const {
    return layout_.Find<QLabel>(install_ids::kJapaneseNote);
}

QLabel* CInstallDlg::EnglishNote() const {
    return layout_.Find<QLabel>(install_ids::kEnglishNote);
}

// The table's plain button turns into a picture button in the same place, text and tab position.
CBitmapButton* CInstallDlg::BecomePictureButton(int id) {
    QPushButton* plain = layout_.Find<QPushButton>(id);
    auto* picture = new CBitmapButton(this);
    picture->setObjectName(plain->objectName());
    picture->setText(plain->text());
    picture->setGeometry(plain->geometry());
    picture->setFocusPolicy(plain->focusPolicy());
    // Takes the plain button's place in the tab order.
    QWidget::setTabOrder(plain, picture);
    delete plain;
    return picture;
}

void CInstallDlg::OnLanguage(SetupLanguage language) {
    if (closing_) {
        return;
    }
    const LaunchReport report =
        LaunchSetup(system_, language, static_cast<std::uintptr_t>(winId()));
    if (!report.searchProblem.empty()) {
        Log("the setup's window could not be looked for: " + report.searchProblem);
    }
    switch (report.outcome) {
    case LaunchOutcome::Started:
        break;
    case LaunchOutcome::AlreadyOpened:
        ShowMessageBox(QString::fromLatin1(kAlreadyOpened), MessageIcon::None);
        break;
    case LaunchOutcome::ShellError:
        Log(report.failure);
        ShowMessageBox(QString::fromLatin1(kShellError), MessageIcon::None);
        return;
    }
    // Closed once this click is handled; a click already waiting starts nothing more.
    closing_ = true;
    QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
}

void CInstallDlg::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
}
