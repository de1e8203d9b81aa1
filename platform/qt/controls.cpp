#include "platform/qt/controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

#include "platform/qt/images.h"
#include "platform/qt/qt_text.h"

namespace platform::qt {
namespace {

// See DialogUnitsToPixels.
constexpr double kPixelsPerUnitX = 389.0 / 223.0;
constexpr double kPixelsPerUnitY = 246.0 / 141.0;

// The button type in a button's style (BS_PUSHBUTTON, BS_DEFPUSHBUTTON, ...).
constexpr std::uint32_t kButtonTypeMask = 0x0000000Fu;

int ToPixels(int units, double pixelsPerUnit) { return static_cast<int>(std::lround(units * pixelsPerUnit)); }

bool HasStyle(const ControlTemplate& control, std::uint32_t bits) { return (control.style & bits) != 0; }

QWidget* MakeButton(const ControlTemplate& control, QWidget& dialog) {
    auto* button = new QPushButton(FromUtf8(control.text), &dialog);
    button->setDefault(IsDefaultButton(control));
    return button;
}

QWidget* MakeEdit(const ControlTemplate& control, QWidget& dialog) {
    // A line edit scrolls its text sideways as the user types (ES_AUTOHSCROLL) by nature.
    auto* edit = new QLineEdit(FromUtf8(control.text), &dialog);
    edit->setEchoMode(HasStyle(control, style::EditPassword) ? QLineEdit::Password : QLineEdit::Normal);
    edit->setFrame(HasStyle(control, style::Border));
    return edit;
}

QWidget* MakeStatic(const ControlTemplate& control, const ResourceCatalogue& resources, QWidget& dialog) {
    auto* label = new QLabel(&dialog);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const std::uint32_t type = control.style & style::StaticTypeMask;
    if (type == style::StaticBitmap || type == style::StaticIcon) {
        label->setPixmap(ImagePixmap(resources, control.imageId));
    } else {
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setText(FromUtf8(control.text));
    }
    return label;
}

QWidget* MakeWidget(const ControlTemplate& control, const ResourceCatalogue& resources, QWidget& dialog) {
    switch (control.controlClass) {
    case ControlClass::Button: return MakeButton(control, dialog);
    case ControlClass::Edit: return MakeEdit(control, dialog);
    case ControlClass::Static: return MakeStatic(control, resources, dialog);
    }
    return nullptr;
}

// An image static takes its image's own size, as a picture control does; other controls their
// template rectangle.
QRect PlaceOf(const ControlTemplate& control, const QWidget& widget) {
    const QRect rect = DialogUnitsToPixels(control.x, control.y, control.cx, control.cy);
    const auto* label = qobject_cast<const QLabel*>(&widget);
    const QPixmap pixmap = label != nullptr ? label->pixmap() : QPixmap();
    return pixmap.isNull() ? rect : QRect(rect.topLeft(), pixmap.deviceIndependentSize().toSize());
}

Qt::FocusPolicy FocusPolicyOf(const ControlTemplate& control) {
    if (control.controlClass == ControlClass::Static) return Qt::NoFocus;
    return IsTabStop(control) ? Qt::StrongFocus : Qt::ClickFocus;
}

}  // namespace

QSize DialogUnitsToPixels(int cx, int cy) {
    return {ToPixels(cx, kPixelsPerUnitX), ToPixels(cy, kPixelsPerUnitY)};
}

QRect DialogUnitsToPixels(int x, int y, int cx, int cy) {
    // Both edges are converted, so that controls that touch in units touch in pixels.
    const QPoint topLeft(ToPixels(x, kPixelsPerUnitX), ToPixels(y, kPixelsPerUnitY));
    const QPoint bottomRight(ToPixels(x + cx, kPixelsPerUnitX), ToPixels(y + cy, kPixelsPerUnitY));
    return {topLeft, QSize(bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y())};
}

QWidget* MakeControl(const ControlTemplate& control, const ResourceCatalogue& resources, QWidget& dialog) {
    QWidget* widget = MakeWidget(control, resources, dialog);
    widget->setGeometry(PlaceOf(control, *widget));
    widget->setFocusPolicy(FocusPolicyOf(control));
    if (!HasStyle(control, style::Visible)) widget->hide();
    return widget;
}

bool IsTabStop(const ControlTemplate& control) { return HasStyle(control, style::TabStop); }

bool IsDefaultButton(const ControlTemplate& control) {
    return control.controlClass == ControlClass::Button &&
           (control.style & kButtonTypeMask) == style::DefPushButton;
}

}  // namespace platform::qt
