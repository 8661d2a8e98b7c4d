// The one seam through which the program asks the user something: message boxes, the folder
// chooser and the file open/save dialogs. Users get the Qt implementation; tests install a
// scripted one that records every request and answers from a script.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include <QString>

class QFileDialog;
class QMessageBox;
class QWidget;

enum class MessageIcon { None, Error, Warning, Information, Question };
enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

// A message box: its text exactly as shown ('\n' breaks the line, trailing blanks stay), its
// icon, its buttons and the button that Enter presses.
struct MessageRequest {
    QString text;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    MessageAnswer defaultAnswer = MessageAnswer::Ok;
    bool operator==(const MessageRequest&) const = default;
};

// A file open or save dialog. `filter` is in the classic form "csv file (*.csv)|*.csv||";
// `fileName` is the proposed name (may be empty); `defaultExtension` is added to a name typed
// without one.
struct FileRequest {
    QString title;
    QString folder;
    QString fileName;
    QString filter;
    QString defaultExtension;
    bool operator==(const FileRequest&) const = default;
};

class CDialogs {
public:
    virtual ~CDialogs() = default;

    virtual MessageAnswer ShowMessage(const MessageRequest& request) = 0;
    // The chosen folder's path, or "" when the user cancels.
    virtual QString ChooseFolder(const QString& title, const QString& initialFolder) = 0;
    // The chosen existing file's path, or "" when the user cancels.
    virtual QString ChooseOpenFile(const FileRequest& request) = 0;
    // The chosen path (the user has agreed to replace an existing file), or "" when cancelled.
    virtual QString ChooseSaveFile(const FileRequest& request) = 0;
};

// The window a dialog belongs to: the active modal window or the active window while it is
// shown, else the program's shown main window. A box that follows a window's closing (the
// comparator editor's end) belongs to the window left, not to the hidden one.
QWidget* DialogParent();

// Modal Qt dialogs above the window they belong to (DialogParent), centred on it and carrying its
// icon.
class CQtDialogs : public CDialogs {
public:
    // Title of the message boxes.
    static constexpr const char* kDefaultTitle = "K720 Application";

    explicit CQtDialogs(QString title = QString::fromLatin1(kDefaultTitle));

    MessageAnswer ShowMessage(const MessageRequest& request) override;
    QString ChooseFolder(const QString& title, const QString& initialFolder) override;
    QString ChooseOpenFile(const FileRequest& request) override;
    QString ChooseSaveFile(const FileRequest& request) override;

    // The message box ShowMessage runs, set up but not shown.
    std::unique_ptr<QMessageBox> CreateMessageBox(const MessageRequest& request,
                                                  QWidget* parent) const;
    // The dialog ChooseOpenFile (`save` false) or ChooseSaveFile runs, set up but not shown.
    static std::unique_ptr<QFileDialog> CreateFileDialog(const FileRequest& request, bool save,
                                                         QWidget* parent);

private:
    QString title_;
};

// One recorded request of the scripted dialogs.
struct DialogCall {
    enum class Kind { Message, Folder, OpenFile, SaveFile };
    Kind kind = Kind::Message;
    MessageRequest message; // Kind::Message
    FileRequest file;       // the other kinds; a folder request fills title and folder
};

// Records every request and answers from the script, first queued first used. A message box
// with no scripted answer left is answered with its default button, a path request with ""
// (cancelled); both are counted as unscripted.
class CScriptedDialogs : public CDialogs {
public:
    void QueueAnswer(MessageAnswer answer) { answers_.push_back(answer); }
    void QueuePath(const QString& path) { paths_.push_back(path); }

    // Called with each request as it is made, before it is answered: lets a test look at the
    // program while the dialog would be open.
    void SetObserver(std::function<void(const DialogCall&)> observer) {
        observer_ = std::move(observer);
    }

    const std::vector<DialogCall>& Calls() const { return calls_; }
    // The message box requests alone, in order.
    std::vector<MessageRequest> Messages() const;
    std::size_t UnusedAnswers() const { return answers_.size() + paths_.size(); }
    int UnscriptedCalls() const { return unscripted_; }

    MessageAnswer ShowMessage(const MessageRequest& request) override;
    QString ChooseFolder(const QString& title, const QString& initialFolder) override;
    QString ChooseOpenFile(const FileRequest& request) override;
    QString ChooseSaveFile(const FileRequest& request) override;

private:
    void Record(const DialogCall& call);
    QString NextPath();

    std::vector<DialogCall> calls_;
    std::deque<MessageAnswer> answers_;
    std::deque<QString> paths_;
    std::function<void(const DialogCall&)> observer_;
    int unscripted_ = 0;
};

// The dialogs in use (the Qt ones unless a test has installed others). UI thread only.
CDialogs& Dialogs();

// Installs `dialogs` until the returned guard is destroyed, which restores the previous ones.
class DialogsOverride {
public:
    explicit DialogsOverride(CDialogs& dialogs);
    ~DialogsOverride();
    DialogsOverride(const DialogsOverride&) = delete;
    DialogsOverride& operator=(const DialogsOverride&) = delete;

private:
    CDialogs* previous_;
};

[[nodiscard]] DialogsOverride SetDialogsForTests(CDialogs& dialogs);

// Shorthands for the two kinds of box the pages show.
void ShowMessageBox(const QString& text, MessageIcon icon);
// True when the user answers Yes.
[[nodiscard]] bool AskYesNo(const QString& text, MessageIcon icon, MessageAnswer defaultAnswer);

// The Qt form "csv file (*.csv)" of a classic filter text "csv file (*.csv)|*.csv||":
// description and pattern pairs separated by '|', patterns separated by ';'.
QString QtFileFilter(const QString& classicFilter);
