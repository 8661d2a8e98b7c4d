#include "controls/dialog_layout.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QTableWidget>

#include "controls/color_button.h"

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
// A read-only edit's background: the dialog face.
constexpr QColor kReadOnlyEditFace{192, 192, 192};

bool Has(ControlStyle style, ControlStyle flag) {
    return (static_cast<std::uint32_t>(style) & static_cast<std::uint32_t>(flag)) != 0;
}

Qt::Alignment HorizontalAlignment(ControlStyle style) {
    if (Has(style, kStyleCenter)) {
        return Qt::AlignHCenter;
    }
    if (Has(style, kStyleRight)) {
        return Qt::AlignRight;
    }
    return Qt::AlignLeft;
}

// The tables' texts are English, marked for the catalogue under "Dialog"; the user reads them in
// the language of the installed catalogue (the instrument's own letters have no entry).
QString TextOf(const DialogControl& entry) {
    return QCoreApplication::translate("Dialog", entry.text);
}

// A static of dots alone fills the room before the text beside it: it shows the whole dots that
// fit a blank's width clear of its right edge, instead of dots cut at the edge that run into the
// next text.
class FillerLabel final : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        const QFontMetrics metrics(font());
        const int dot = std::max(1, metrics.horizontalAdvance(QLatin1Char('.')));
        const int room = contentsRect().width() - metrics.horizontalAdvance(QLatin1Char(' '));
        const int dots = std::clamp(room / dot, 0, static_cast<int>(text().size()));
        QPainter painter(this);
        painter.setFont(font());
        painter.setPen(palette().color(foregroundRole()));
        painter.drawText(contentsRect(), static_cast<int>(alignment()),
                         QString(dots, QLatin1Char('.')));
    }
};

// A group box drawn as the classic dialogs draw it: an etched frame whose top line runs through
// the middle of the title, so the controls placed just below the title stand clear of the line.
class ClassicGroupBox final : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        const QFontMetrics metrics(font());
        const int top = metrics.height() / 2;
        const int titleLeft = metrics.averageCharWidth();
        const int titleWidth = metrics.horizontalAdvance(title());
        QPainter painter(this);
        const QRect frame(0, top, width() - 2, height() - top - 2);
        painter.setPen(edge_colors::kShadow);
        painter.drawRect(frame);
        painter.setPen(edge_colors::kHighlight);
        painter.drawRect(frame.translated(1, 1));
        if (!title().isEmpty()) {
            const QRect titleRect(titleLeft, 0, titleWidth + 4, metrics.height());
            painter.fillRect(titleRect, palette().color(backgroundRole()));
            painter.setPen(palette().color(foregroundRole()));
            painter.setFont(font());
            painter.drawText(titleRect, Qt::AlignCenter, title());
        }
    }
};

bool IsFiller(const QString& text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c == QLatin1Char('.'); });
}

QWidget* MakeStatic(const DialogControl& entry, QWidget& parent) {
    const QString text = TextOf(entry);
    auto* label = IsFiller(text) ? new FillerLabel(text, &parent) : new QLabel(text, &parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(HorizontalAlignment(entry.style) | Qt::AlignTop);
    return label;
}

QWidget* MakeEdit(const DialogControl& entry, QWidget& parent) {
    auto* edit = new QLineEdit(TextOf(entry), &parent);
    edit->setFrame(Has(entry.style, kStyleBorder));
    edit->setAlignment(HorizontalAlignment(entry.style) | Qt::AlignVCenter);
    if (Has(entry.style, kStyleReadOnly)) {
        // Drawn on the dialog face, not white, so that nobody tries to type into it.
        edit->setReadOnly(true);
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, kReadOnlyEditFace);
        edit->setPalette(palette);
    }
    if (Has(entry.style, kStyleNumber)) {
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    }
    if (entry.limit > 0) {
        edit->setMaxLength(entry.limit);
    }
    return edit;
}

QWidget* MakeProgressBar(QWidget& parent) {
    auto* bar = new QProgressBar(&parent);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    return bar;
}

QWidget* MakeFrame(const DialogControl& entry, QWidget& parent) {
    auto* frame = new QFrame(&parent);
    if (entry.h <= 1) {
        frame->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    } else if (entry.w <= 1) {
        frame->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    } else if (Has(entry.style, kStyleSunken)) {
        frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    } else {
        frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    }
    return frame;
}

QWidget* MakePicture(const DialogControl& entry, QWidget& parent) {
    auto* picture = new QLabel(&parent);
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (Has(entry.style, kStyleSunken)) {
        picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    return picture;
}

QWidget* MakeReportList(const DialogControl& entry, QWidget& parent) {
    auto* list = new QTableWidget(&parent);
    list->setShowGrid(Has(entry.style, kStyleGridLines));
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the list for the next control instead of moving between its cells.
    list->setTabKeyNavigation(false);
    list->verticalHeader()->hide();
    return list;
}

QWidget* MakeControl(const DialogControl& entry, QWidget& parent) {
    switch (entry.kind) {
    case ControlKind::PushButton:
        return new QPushButton(TextOf(entry), &parent);
    case ControlKind::ColorButton:
        return new CColorButton(TextOf(entry), &parent);
    case ControlKind::Static:
        return MakeStatic(entry, parent);
    case ControlKind::Edit:
        return MakeEdit(entry, parent);
    case ControlKind::ProgressBar:
        return MakeProgressBar(parent);
    case ControlKind::GroupBox:
        return new ClassicGroupBox(TextOf(entry), &parent);
    case ControlKind::Frame:
        return MakeFrame(entry, parent);
    case ControlKind::Picture:
        return MakePicture(entry, parent);
    case ControlKind::DropDownList:
        return new QComboBox(&parent);
    case ControlKind::ReportList:
        return MakeReportList(entry, parent);
    }
    return nullptr;
}

bool TakesKeyboardFocus(ControlKind kind) {
    switch (kind) {
    case ControlKind::PushButton:
    case ControlKind::ColorButton:
    case ControlKind::Edit:
    case ControlKind::DropDownList:
    case ControlKind::ReportList:
        return true;
    default:
        return false;
    }
}

} // namespace

int dialog_units::MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) {
        return -1;
    }
    std::int64_t n = number;
    std::int64_t d = denominator;
    if (d < 0) {
        n = -n;
        d = -d;
    }
    const std::int64_t product = n * numerator;
    const std::int64_t result = product >= 0 ? (product + d / 2) / d : (product - d / 2) / d;
    if (result > std::numeric_limits<int>::max() || result < -std::numeric_limits<int>::max()) {
        return -1;
    }
    return static_cast<int>(result);
}

DialogBaseUnits BaseUnitsFromMetrics(int alphabetWidth, int fontHeight) {
    return DialogBaseUnits{(alphabetWidth / 26 + 1) / 2, fontHeight};
}

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    return BaseUnitsFromMetrics(metrics.horizontalAdvance(QString::fromLatin1(kAlphabet)),
                                metrics.height());
}

QRect DialogToPixels(const QRect& dialogRect, DialogBaseUnits base) {
    using dialog_units::MulDiv;
    return QRect(MulDiv(dialogRect.x(), base.x, 4), MulDiv(dialogRect.y(), base.y, 8),
                 MulDiv(dialogRect.width(), base.x, 4), MulDiv(dialogRect.height(), base.y, 8));
}

DialogLayout DialogLayout::Build(QWidget& parent, const DialogResource& resource,
                                 const QFont& font) {
    DialogLayout layout;
    parent.setFont(font);
    layout.base_ = BaseUnitsOf(font);
    parent.setFixedSize(layout.ToPixels(QRect(0, 0, resource.width, resource.height)).size());

    for (const DialogControl& entry : resource.controls) {
        QWidget* control = MakeControl(entry, parent);
        if (control == nullptr) {
            continue;
        }
        QRect geometry = layout.ToPixels(QRect(entry.x, entry.y, entry.w, entry.h));
        if (entry.kind == ControlKind::DropDownList) {
            // The table gives the dropped-down height; the closed box is one line high.
            geometry.setHeight(control->sizeHint().height());
        }
        control->setGeometry(geometry);
        if (TakesKeyboardFocus(entry.kind)) {
            control->setFocusPolicy(Has(entry.style, kStyleTabStop) ? Qt::StrongFocus
                                                                    : Qt::ClickFocus);
        }
        if (Has(entry.style, kStyleDisabled)) {
            control->setEnabled(false);
        }
        if (Has(entry.style, kStyleHidden)) {
            control->hide();
        }
        if (entry.id != kNoControlId) {
            control->setObjectName(QStringLiteral("control%1").arg(entry.id));
            layout.controls_.try_emplace(entry.id, control);
        }
    }
    return layout;
}

QWidget* DialogLayout::Find(int id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : found->second.data();
}
