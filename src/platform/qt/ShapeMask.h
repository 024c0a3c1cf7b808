// Cuts a translucent top-level window to the shape its content paints, for X11
// desktops without a compositor: there the window system ignores alpha, so
// every transparent pixel would show as black. The cut follows the painted
// edge at device-pixel resolution, whatever the scale factor.
#pragma once

#include <QPainterPath>
#include <QRegion>
#include <QSize>

class QWidget;

namespace corvanta::platform {

// The device pixels that an antialiased fill of `outline` (logical
// coordinates) covers at least half, on a surface of `logicalSize` logical
// pixels at `devicePixelRatio`. The result is in device pixels. So a partly
// covered edge pixel stays when the paint would show it mostly lit and goes
// when it would show mostly black.
QRegion shapeMaskRegion(const QPainterPath& outline, QSize logicalSize, double devicePixelRatio);

// Limits the top-level `window` to `outline` (in its logical coordinates),
// for drawing and for the mouse alike. On X11 the shape is set in device
// pixels on the native window, which is created if needed; elsewhere it
// falls back to QWidget::setMask at logical resolution. Call again after
// every resize and after the native window is made anew.
void setShapeMask(QWidget* window, const QPainterPath& outline);
// Gives the whole rectangle back.
void clearShapeMask(QWidget* window);

}  // namespace corvanta::platform
