// The base of every page: a child window of the main window that is built from a dialog
// resource, keeps the main window (its host) to post page-switch requests to, paints its own
// grey background, and turns Enter on one of its push buttons into a click of that button.
#pragma once

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include "controls/dialog_layout.h"

class QPushButton;

class CPage : public QWidget {
    Q_OBJECT

public:
    static constexpr QColor kBackground{192, 192, 192};

    // Builds the page's controls from `resource` in the dialog font. The page starts hidden;
    // the host shows it.
    explicit CPage(const DialogResource& resource, QWidget* parent = nullptr);

    void SetHost(QObject* host);
    QObject* Host() const { return host_.data(); }

    // Posts the page-switch request to the host; it is handled after the current handler
    // returns. False when the page has no host.
    [[nodiscard]] bool PostPageSwitch(int code, int argument = 0) const;

    // The page's control with identifier `id`, or nullptr when there is none of type T.
    QWidget* Control(int id) const { return layout_.Find(id); }
    template <class T>
    T* Control(int id) const {
        return layout_.Find<T>(id);
    }

    const DialogLayout& Layout() const { return layout_; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    static void KeepFromBeingDefault(QPushButton& button);
    bool IsPageButton(const QObject* object) const;

    QPointer<QObject> host_;
    DialogLayout layout_;
};
