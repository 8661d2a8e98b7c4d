#include "date_page.h"

#include <algorithm>

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "color_button.h"
#include "fonts.h"
#include "layouts/date_layout.h"
#include "page_requests.h"

namespace {

struct FieldBounds {
    int spinId;
    int low;
    int high;
};

constexpr FieldBounds kFieldBounds[] = {
    {date_ids::kYearSpin, 2006, 2037}, {date_ids::kMonthSpin, 1, 12},  {date_ids::kDaySpin, 1, 31},
    {date_ids::kHourSpin, 0, 23},      {date_ids::kMinuteSpin, 0, 59},
};

constexpr int kFieldIds[] = {date_ids::kYear, date_ids::kMonth, date_ids::kDay, date_ids::kHour,
                             date_ids::kMinute};

QToolButton* MakeArrow(Qt::ArrowType arrow, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRepeat(true);
    return button;
}

} // namespace

CSpinButton::CSpinButton(QLineEdit& buddy, QWidget* parent)
    : QWidget(parent), buddy_(buddy), up_(MakeArrow(Qt::UpArrow, this)),
      down_(MakeArrow(Qt::DownArrow, this)) {
    connect(up_, &QToolButton::clicked, this, [this] { Step(+1); });
    connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
    buddy_.installEventFilter(this);
}

void CSpinButton::SetRange(int low, int high) {
    low_ = std::min(low, high);
    high_ = std::max(low, high);
    position_ = std::clamp(position_, low_, high_);
}

void CSpinButton::SetPosition(int value) {
    position_ = std::clamp(value, low_, high_);
    buddy_.setText(QString::number(position_));
}

void CSpinButton::Step(int delta) {
    bool isNumber = false;
    const int typed = buddy_.text().toInt(&isNumber);
    const int from = isNumber && typed >= low_ && typed <= high_ ? typed : position_;
    int next = from + (delta > 0 ? 1 : -1);
    if (next > high_) {
        next = low_;
    } else if (next < low_) {
        next = high_;
    }
    SetPosition(next);
}

bool CSpinButton::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &buddy_ && event->type() == QEvent::KeyPress && isEnabled()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CSpinButton::resizeEvent(QResizeEvent* /*event*/) {
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

CPpgDate::CPpgDate(QWidget* parent) : CPage(layouts::kDate, parent) {
    BackButton()->SetFaceColor(button_colors::kGreen).SetTextColor(button_colors::kCaptionWhite);
    BackButton()->setFont(g_font16);
    SetButton()->SetFaceColor(button_colors::kOrange).SetTextColor(button_colors::kCaptionWhite);
    SetButton()->setFont(g_font16);
    Control<QLabel>(date_ids::kTitle)->setFont(g_font15);
    for (const int id : kFieldIds) {
        Control(id)->setFont(g_font15);
    }
    for (const layouts::SpinControl& entry : layouts::kDateSpins) {
        auto* spin = new CSpinButton(*Control<QLineEdit>(entry.buddy), this);
        spin->setObjectName(QStringLiteral("control%1").arg(entry.id));
        spin->setGeometry(Layout().ToPixels(QRect(entry.x, entry.y, entry.w, entry.h)));
    }
    for (const FieldBounds& bounds : kFieldBounds) {
        Spin(bounds.spinId)->SetRange(bounds.low, bounds.high);
    }
    connect(BackButton(), &QPushButton::clicked, this,
            [this] { PostRequest(*this, kRequestBackFromSetClock); });
}

CColorButton* CPpgDate::BackButton() const {
    return Control<CColorButton>(date_ids::kBack);
}

CColorButton* CPpgDate::SetButton() const {
    return Control<CColorButton>(date_ids::kSet);
}

CSpinButton* CPpgDate::Spin(int id) const {
    return findChild<CSpinButton*>(QStringLiteral("control%1").arg(id), Qt::FindDirectChildrenOnly);
}
