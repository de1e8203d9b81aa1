#pragma once
// The controls of a dialog template as widgets, placed by dialog units.

#include <QRect>
#include <QSize>
#include <QWidget>

#include "platform/resources.h"

namespace platform::qt {

// Dialog units to pixels at 100 % scale (Qt's device-independent pixels, which follow the screen's
// scale).  The template font makes a dialog unit about 7/4 px across and 14/8 px down; the exact
// ratios are those at which a 223 x 141 unit client area holds a 389 x 246 px picture.
QSize DialogUnitsToPixels(int cx, int cy);
QRect DialogUnitsToPixels(int x, int y, int cx, int cy);

// Makes the widget for `control` as a child of `dialog`, at its place.  Push buttons are
// QPushButtons, edits QLineEdits and statics QLabels.
QWidget* MakeControl(const ControlTemplate& control, const ResourceCatalogue& resources, QWidget& dialog);

bool IsTabStop(const ControlTemplate& control);
bool IsDefaultButton(const ControlTemplate& control);

}  // namespace platform::qt
