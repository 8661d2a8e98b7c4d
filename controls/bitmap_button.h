// A push button that shows one of three pictures: its normal picture, its pressed picture while
// it is held down, and its focused picture while it has the keyboard focus. It has no picture of
// its own for the disabled state and keeps showing the normal one then.
#pragma once

#include <QPixmap>
#include <QPushButton>
#include <QString>

class CBitmapButton : public QPushButton {
    Q_OBJECT

public:
    enum class Look { Normal, Pressed, Focused };

    explicit CBitmapButton(QWidget* parent = nullptr);

    // Loads the three pictures from files or resource paths. On failure returns false and the
    // button keeps the pictures it had.
    [[nodiscard]] bool LoadBitmaps(const QString& normal, const QString& pressed,
                                   const QString& focused);

    // Resizes the button to its normal picture; its position stays.
    void SizeToContent();

    // The look the button has in its present state.
    Look CurrentLook() const;
    const QPixmap& Picture(Look look) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap normal_;
    QPixmap pressed_;
    QPixmap focused_;
};
