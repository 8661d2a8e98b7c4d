#include "pages/date_page.h"

#include <algorithm>
#include <string>
#include <utility>

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "controls/color_button.h"
#include "controls/core_text.h"
#include "controls/dialogs.h"
#include "controls/exchange_runner.h"
#include "controls/fonts.h"
#include "controls/window_messages.h"
#include "instrument/discovery.h"
#include "pages/page_requests.h"
#include "resources/layouts/date_layout.h"

using instrument_clock::ClockField;
using instrument_clock::ClockOutcome;

namespace {

struct FieldControls {
    ClockField field;
    int edit;
    int spin;
};

constexpr FieldControls kFields[] = {
    {ClockField::Year, date_ids::kYear, date_ids::kYearSpin},
    {ClockField::Month, date_ids::kMonth, date_ids::kMonthSpin},
    {ClockField::Day, date_ids::kDay, date_ids::kDaySpin},
    {ClockField::Hour, date_ids::kHour, date_ids::kHourSpin},
    {ClockField::Minute, date_ids::kMinute, date_ids::kMinuteSpin},
};

const FieldControls& ControlsOf(ClockField field) {
    return *std::find_if(std::begin(kFields), std::end(kFields),
                         [field](const FieldControls& entry) { return entry.field == field; });
}

MessageIcon IconOf(instrument_clock::MessageKind kind) {
    switch (kind) {
    case instrument_clock::MessageKind::Information:
        return MessageIcon::Information;
    case instrument_clock::MessageKind::Warning:
        return MessageIcon::Warning;
    case instrument_clock::MessageKind::Error:
        return MessageIcon::Error;
    case instrument_clock::MessageKind::None:
        break;
    }
    return MessageIcon::None;
}

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

int CSpinButton::Position() const {
    bool isNumber = false;
    const int shown = buddy_.text().toInt(&isNumber);
    return isNumber && shown >= low_ && shown <= high_ ? shown : position_;
}

void CSpinButton::Step(int delta) {
    int next = Position() + (delta > 0 ? 1 : -1);
    if (next > high_) {
        next = low_;
    } else if (next < low_) {
        next = high_;
    }
    if (stepHandler_) {
        stepHandler_(next);
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
    for (const layouts::SpinControl& entry : layouts::kDateSpins) {
        auto* spin = new CSpinButton(*Control<QLineEdit>(entry.buddy), this);
        spin->setObjectName(QStringLiteral("control%1").arg(entry.id));
        spin->setGeometry(Layout().ToPixels(QRect(entry.x, entry.y, entry.w, entry.h)));
    }
    for (const FieldControls& entry : kFields) {
        Control(entry.edit)->setFont(g_font15);
        const instrument_clock::FieldBounds bounds = instrument_clock::BoundsOf(entry.field);
        Spin(entry.spin)->SetRange(bounds.low, bounds.high);
    }
    Spin(date_ids::kYearSpin)->SetStepHandler([this](int next) { OnYearStep(next); });
    Spin(date_ids::kMonthSpin)->SetStepHandler([this](int next) { OnMonthStep(next); });

    connect(BackButton(), &QPushButton::clicked, this,
            [this] { PostRequest(*this, kRequestBackFromSetClock); });
    connect(SetButton(), &QPushButton::clicked, this, &CPpgDate::SetClock);

    fillTimer_.setSingleShot(true);
    fillTimer_.setInterval(kFillDelayMs);
    connect(&fillTimer_, &QTimer::timeout, this, &CPpgDate::Fill);
}

bool CPpgDate::event(QEvent* event) {
    if (event->type() == EventType(WM_PAGE_ACTIVATE)) {
        fillTimer_.start();
        return true;
    }
    return CPage::event(event);
}

void CPpgDate::Fill() {
    fields_ = instrument_clock::PcClockNow();
    Spin(date_ids::kDaySpin)
        ->SetRange(1, instrument_clock::DaysInMonth(fields_.year, fields_.month));
    Spin(date_ids::kYearSpin)->SetPosition(fields_.year);
    Spin(date_ids::kMonthSpin)->SetPosition(fields_.month);
    Spin(date_ids::kDaySpin)->SetPosition(fields_.day);
    Spin(date_ids::kHourSpin)->SetPosition(fields_.hour);
    Spin(date_ids::kMinuteSpin)->SetPosition(fields_.minute);
}

void CPpgDate::SetDay(int day) {
    Spin(date_ids::kDaySpin)->SetPosition(day);
    fields_.day = day;
}

void CPpgDate::OnYearStep(int nextYear) {
    if (Spin(date_ids::kMonthSpin)->Position() != 2) {
        return;
    }
    CSpinButton* const day = Spin(date_ids::kDaySpin);
    if (instrument_clock::IsLeapYear(nextYear)) {
        day->SetRange(1, 29);
    } else if (day->Position() == 29) {
        SetDay(28);
        day->SetRange(1, 28);
    }
    // From a leap year with a February day below 29 the range stays at 29: a 29 chosen later is
    // refused by the day check of "Set".
}

void CPpgDate::OnMonthStep(int nextMonth) {
    CSpinButton* const day = Spin(date_ids::kDaySpin);
    const int shown = day->Position();
    const int longest =
        instrument_clock::DaysInMonth(Spin(date_ids::kYearSpin)->Position(), nextMonth);
    day->SetRange(1, longest);
    if (shown > longest) {
        SetDay(longest);
    }
}

void CPpgDate::SetClock() {
    const auto typed = [this](ClockField field) {
        return instrument_clock::ParseField(Field(field)->text().toStdString());
    };
    const instrument_clock::TypedFields fields{typed(ClockField::Year), typed(ClockField::Month),
                                               typed(ClockField::Day), typed(ClockField::Hour),
                                               typed(ClockField::Minute)};
    if (const auto refusal = instrument_clock::CheckDay(fields)) {
        ShowMessageBox(CoreText(refusal->message), MessageIcon::Warning);
        Field(ClockField::Day)->setFocus(Qt::OtherFocusReason);
        Field(ClockField::Day)->selectAll();
        return;
    }
    const instrument_clock::FieldCheck check = instrument_clock::CheckFields(fields);
    if (check.refusal) {
        ShowMessageBox(CoreText(check.refusal->message), MessageIcon::Warning);
        Field(check.refusal->field)->setFocus(Qt::OtherFocusReason);
        return;
    }
    fields_ = check.setting;

    ShowSetting(true);
    const bool started = InstrumentExchanges().Start(
        *this,
        [setting = fields_](std::stop_token stop) {
            return instrument_clock::SetInstrumentClock(setting, std::move(stop));
        },
        [this](ClockOutcome outcome) { ShowOutcome(outcome); });
    if (!started) {
        // Another exchange is still ending: nothing was sent, and Set can be pressed again.
        ShowSetting(false);
    }
}

void CPpgDate::ShowOutcome(ClockOutcome outcome) {
    const instrument_clock::OutcomeMessage message = instrument_clock::MessageOf(outcome);
    if (message.kind != instrument_clock::MessageKind::None) {
        // A port that may not be opened is named, so the user is sent to the permission rather
        // than to the cable.
        const std::string text =
            outcome == ClockOutcome::ScanFailed ? WithScanAccessHint(message.text) : message.text;
        ShowMessageBox(CoreText(text), IconOf(message.kind));
    }
    ShowSetting(false);
    SetButton()->setFocus(Qt::OtherFocusReason);
}

void CPpgDate::ShowSetting(bool setting) {
    BackButton()->SetFaceColor(setting ? button_colors::kPaleGreen : button_colors::kGreen);
    BackButton()->setEnabled(!setting);
    SetButton()->SetFaceColor(setting ? button_colors::kPaleOrange : button_colors::kOrange);
    SetButton()->setEnabled(!setting);
    for (const FieldControls& entry : kFields) {
        Control(entry.edit)->setEnabled(!setting);
        Spin(entry.spin)->setEnabled(!setting);
    }
}

CColorButton* CPpgDate::BackButton() const {
    return Control<CColorButton>(date_ids::kBack);
}

CColorButton* CPpgDate::SetButton() const {
    return Control<CColorButton>(date_ids::kSet);
}

QLineEdit* CPpgDate::Field(ClockField field) const {
    return Control<QLineEdit>(ControlsOf(field).edit);
}

CSpinButton* CPpgDate::Spin(int id) const {
    return findChild<CSpinButton*>(QStringLiteral("control%1").arg(id), Qt::FindDirectChildrenOnly);
}
