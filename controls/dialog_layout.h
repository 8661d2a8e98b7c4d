// Dialog resources as tables of controls in dialog units, and the one builder that turns a table
// into child widgets. Dialog units scale with the dialog font as on the classic platform: a
// horizontal unit is a quarter of the font's average character width, a vertical unit an eighth
// of its height.
#pragma once

#include <cstdint>
#include <span>
#include <unordered_map>

#include <QFont>
#include <QPointer>
#include <QRect>
#include <QWidget>

// The kinds of control a dialog table can hold. Add a kind here and in the builder when a
// window needs one.
enum class ControlKind {
    PushButton,   // ordinary push button
    ColorButton,  // owner-drawn push button, drawn by CColorButton
    Static,       // text; aligned by the style's alignment flag
    Edit,         // one-line edit field
    ProgressBar,  // range 0 to 100 until the window sets another
    GroupBox,     // titled frame drawn around other controls
    Frame,        // plain frame; one unit high or wide it is a separator line
    Picture,      // an image the window sets; text is ignored
    DropDownList, // combo box whose list only offers its items; h is the dropped-down height
    ReportList,   // table of rows and columns with headings
};

// Style flags; combine with |.
enum ControlStyle : std::uint32_t {
    kStyleNone = 0,
    kStyleTabStop = 1u << 0,   // reached with the Tab key
    kStyleCenter = 1u << 1,    // statics and edits: text centred
    kStyleRight = 1u << 2,     // statics and edits: text right-aligned
    kStyleBorder = 1u << 3,    // edits: bordered
    kStyleReadOnly = 1u << 4,  // edits: the user cannot change the text
    kStyleNumber = 1u << 5,    // edits: digits only
    kStyleSunken = 1u << 6,    // frames and pictures: sunken border
    kStyleGridLines = 1u << 7, // report lists: grid lines between cells
    kStyleDisabled = 1u << 8,  // created disabled
    kStyleHidden = 1u << 9,    // created hidden
};

constexpr ControlStyle operator|(ControlStyle a, ControlStyle b) {
    return static_cast<ControlStyle>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}

// Controls without an identifier of their own (labels, separators) use this one.
inline constexpr int kNoControlId = -1;

// One control of a dialog table, in dialog units. `text` is UTF-8. `limit` is the most
// characters an edit accepts (0: no limit).
struct DialogControl {
    int id = kNoControlId;
    ControlKind kind = ControlKind::Static;
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    const char* text = "";
    ControlStyle style = kStyleNone;
    int limit = 0;
};

// A dialog resource: its size in dialog units and its controls in dialog order (which is also
// the Tab order).
struct DialogResource {
    int width = 0;
    int height = 0;
    std::span<const DialogControl> controls;
};

// Pixels per 4 horizontal and per 8 vertical dialog units.
struct DialogBaseUnits {
    int x = 0;
    int y = 0;
    bool operator==(const DialogBaseUnits&) const = default;
};

namespace dialog_units {
// number * numerator / denominator, rounded half away from zero, with a 64-bit intermediate;
// -1 when the denominator is 0. The system's function of that name, in a namespace of its own so
// that it never meets the one of <windows.h>.
int MulDiv(int number, int numerator, int denominator);
} // namespace dialog_units

// Base units from the width of "A".."Z""a".."z" and the font's height in pixels: the average
// character width rounded to the nearest pixel, and the height.
DialogBaseUnits BaseUnitsFromMetrics(int alphabetWidth, int fontHeight);

// Base units of `font`.
DialogBaseUnits BaseUnitsOf(const QFont& font);

// Pixel rectangle of a rectangle in dialog units; each of x, y, width and height is scaled on
// its own.
QRect DialogToPixels(const QRect& dialogRect, DialogBaseUnits base);

// The controls built from one dialog resource, found by identifier. The widgets belong to the
// parent they were built into; this map only points at them.
class DialogLayout {
public:
    DialogLayout() = default;

    // Builds every control of `resource` as a child of `parent` in dialog order, sets `parent`'s
    // font to `font` and fixes its size to the dialog's. Later controls with an identifier that
    // is already taken are built but cannot be found by it.
    static DialogLayout Build(QWidget& parent, const DialogResource& resource, const QFont& font);

    QWidget* Find(int id) const;

    template <class T>
    T* Find(int id) const {
        return qobject_cast<T*>(Find(id));
    }

    DialogBaseUnits BaseUnits() const { return base_; }
    QRect ToPixels(const QRect& dialogRect) const { return DialogToPixels(dialogRect, base_); }

private:
    DialogBaseUnits base_;
    std::unordered_map<int, QPointer<QWidget>> controls_;
};
