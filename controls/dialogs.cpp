#include "controls/dialogs.h"

#include <utility>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QStringList>
#include <QTreeView>

namespace {

CDialogs* g_installedDialogs = nullptr;

// Room beside the title in a title bar: the window icon and up to three title-bar buttons, with
// their margins.
constexpr int kTitleBarExtraPx = 160;

// A message box is as narrow as its text; a short text would cut the title ("K72...tion"). A
// spacer across the box's grid keeps it at least as wide as the title in a bold font.
void KeepTitleWhole(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) {
        return;
    }
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int width =
        QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + kTitleBarExtraPx;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

QMessageBox::Icon QtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton QtButton(MessageAnswer answer) {
    switch (answer) {
    case MessageAnswer::Yes:
        return QMessageBox::Yes;
    case MessageAnswer::No:
        return QMessageBox::No;
    case MessageAnswer::Cancel:
        return QMessageBox::Cancel;
    case MessageAnswer::Ok:
        break;
    }
    return QMessageBox::Ok;
}

// The file list's size, type and date columns are made for short texts ("mp3Folder",
// "10/29/81 02:02PM") and cut the system's longer ones ("CSV document", "8 Dec 2026 07:22:58").
// They take the width of their texts as the folder is read, and the name column the room left.
void ShowWholeColumns(QFileDialog& dialog) {
    auto* list = dialog.findChild<QTreeView*>();
    if (list == nullptr) {
        return; // a dialog of the system's own
    }
    QHeaderView* header = list->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
}

QString RunFileDialog(const FileRequest& request, bool save) {
    const std::unique_ptr<QFileDialog> dialog =
        CQtDialogs::CreateFileDialog(request, save, DialogParent());
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
        return QString();
    }
    return QDir::toNativeSeparators(dialog->selectedFiles().constFirst());
}

} // namespace

QWidget* DialogParent() {
    for (QWidget* active : {QApplication::activeModalWidget(), QApplication::activeWindow()}) {
        if (active != nullptr && active->isVisible()) {
            return active;
        }
    }
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->windowType() == Qt::Window) {
            return window;
        }
    }
    return nullptr;
}

CQtDialogs::CQtDialogs(QString title) : title_(std::move(title)) {}

std::unique_ptr<QMessageBox> CQtDialogs::CreateMessageBox(const MessageRequest& request,
                                                          QWidget* parent) const {
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    if (request.buttons == MessageButtons::YesNo) {
        buttons = QMessageBox::Yes | QMessageBox::No;
    } else if (request.buttons == MessageButtons::YesNoCancel) {
        buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    auto box =
        std::make_unique<QMessageBox>(QtIcon(request.icon), title_, QString(), buttons, parent);
    // Plain text: the texts are shown as written, whatever characters they hold.
    box->setTextFormat(Qt::PlainText);
    box->setText(request.text);
    const MessageAnswer defaultAnswer =
        request.buttons == MessageButtons::Ok ? MessageAnswer::Ok : request.defaultAnswer;
    box->setDefaultButton(QtButton(defaultAnswer));
    KeepTitleWhole(*box);
    return box;
}

std::unique_ptr<QFileDialog> CQtDialogs::CreateFileDialog(const FileRequest& request, bool save,
                                                          QWidget* parent) {
    auto dialog = std::make_unique<QFileDialog>(parent, request.title, request.folder,
                                                QtFileFilter(request.filter));
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog->setDefaultSuffix(request.defaultExtension);
    if (!request.fileName.isEmpty()) {
        dialog->selectFile(request.fileName);
    }
    ShowWholeColumns(*dialog);
    return dialog;
}

MessageAnswer CQtDialogs::ShowMessage(const MessageRequest& request) {
    const std::unique_ptr<QMessageBox> box = CreateMessageBox(request, DialogParent());
    const int result = box->exec();
    if (request.buttons == MessageButtons::Ok) {
        return MessageAnswer::Ok;
    }
    if (result == QMessageBox::Yes) {
        return MessageAnswer::Yes;
    }
    // Closing the box without choosing counts as its most cautious answer: Cancel where there
    // is one, else No.
    if (request.buttons == MessageButtons::YesNoCancel && result != QMessageBox::No) {
        return MessageAnswer::Cancel;
    }
    return MessageAnswer::No;
}

QString CQtDialogs::ChooseFolder(const QString& title, const QString& initialFolder) {
    const QString folder = QFileDialog::getExistingDirectory(DialogParent(), title, initialFolder,
                                                             QFileDialog::ShowDirsOnly);
    return QDir::toNativeSeparators(folder);
}

QString CQtDialogs::ChooseOpenFile(const FileRequest& request) {
    return RunFileDialog(request, false);
}

QString CQtDialogs::ChooseSaveFile(const FileRequest& request) {
    return RunFileDialog(request, true);
}

std::vector<MessageRequest> CScriptedDialogs::Messages() const {
    std::vector<MessageRequest> messages;
    for (const DialogCall& call : calls_) {
        if (call.kind == DialogCall::Kind::Message) {
            messages.push_back(call.message);
        }
    }
    return messages;
}

void CScriptedDialogs::Record(const DialogCall& call) {
    calls_.push_back(call);
    if (observer_) {
        observer_(call);
    }
}

QString CScriptedDialogs::NextPath() {
    if (paths_.empty()) {
        ++unscripted_;
        return QString();
    }
    QString path = std::move(paths_.front());
    paths_.pop_front();
    return path;
}

MessageAnswer CScriptedDialogs::ShowMessage(const MessageRequest& request) {
    Record(DialogCall{DialogCall::Kind::Message, request, {}});
    if (answers_.empty()) {
        ++unscripted_;
        return request.buttons == MessageButtons::Ok ? MessageAnswer::Ok : request.defaultAnswer;
    }
    const MessageAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

QString CScriptedDialogs::ChooseFolder(const QString& title, const QString& initialFolder) {
    FileRequest request;
    request.title = title;
    request.folder = initialFolder;
    Record(DialogCall{DialogCall::Kind::Folder, {}, request});
    return NextPath();
}

QString CScriptedDialogs::ChooseOpenFile(const FileRequest& request) {
    Record(DialogCall{DialogCall::Kind::OpenFile, {}, request});
    return NextPath();
}

QString CScriptedDialogs::ChooseSaveFile(const FileRequest& request) {
    Record(DialogCall{DialogCall::Kind::SaveFile, {}, request});
    return NextPath();
}

CDialogs& Dialogs() {
    if (g_installedDialogs != nullptr) {
        return *g_installedDialogs;
    }
    static CQtDialogs qtDialogs;
    return qtDialogs;
}

DialogsOverride::DialogsOverride(CDialogs& dialogs) : previous_(g_installedDialogs) {
    g_installedDialogs = &dialogs;
}

DialogsOverride::~DialogsOverride() {
    g_installedDialogs = previous_;
}

DialogsOverride SetDialogsForTests(CDialogs& dialogs) {
    return DialogsOverride(dialogs);
}

void ShowMessageBox(const QString& text, MessageIcon icon) {
    Dialogs().ShowMessage(MessageRequest{text, icon, MessageButtons::Ok, MessageAnswer::Ok});
}

bool AskYesNo(const QString& text, MessageIcon icon, MessageAnswer defaultAnswer) {
    return Dialogs().ShowMessage(MessageRequest{text, icon, MessageButtons::YesNo,
                                                defaultAnswer}) == MessageAnswer::Yes;
}

QString QtFileFilter(const QString& classicFilter) {
    const QStringList parts = classicFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        if (description.isEmpty()) {
            break; // the "||" that ends the list
        }
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'))) {
            if (!pattern.trimmed().isEmpty()) {
                patterns << pattern.trimmed();
            }
        }
        const QString suffix = QStringLiteral("(%1)").arg(patterns.join(QLatin1Char(' ')));
        filters << (description.endsWith(suffix)
                        ? description
                        : QStringLiteral("%1 %2").arg(description, suffix));
    }
    return filters.join(QStringLiteral(";;"));
}
