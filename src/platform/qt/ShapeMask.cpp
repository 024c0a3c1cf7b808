// The painted outline as a device-pixel shape of the native window.
#include "platform/qt/ShapeMask.h"

#include <QImage>
#include <QPainter>
#include <QWidget>
#include <cmath>
#include <vector>

#include "platform/qt/X11Window.h"

namespace corvanta::platform {
namespace {

// Coverage at or above this (of 255) keeps a pixel.
constexpr int kHalfCoverage = 128;

using Runs = std::vector<std::pair<int, int>>;  // [begin, end) columns

Runs rowRuns(const uchar* row, int width) {
    Runs runs;
    int x = 0;
    while (x < width) {
        while (x < width && row[x] < kHalfCoverage) ++x;
        const int begin = x;
        while (x < width && row[x] >= kHalfCoverage) ++x;
        if (x > begin)
            runs.emplace_back(begin, x);
    }
    return runs;
}

}  // namespace

QRegion shapeMaskRegion(const QPainterPath& outline, QSize logicalSize, double devicePixelRatio) {
    const double ratio = devicePixelRatio > 0 ? devicePixelRatio : 1;
    const QSize device(static_cast<int>(std::ceil(logicalSize.width() * ratio)),
                       static_cast<int>(std::ceil(logicalSize.height() * ratio)));
    if (device.isEmpty() || outline.isEmpty())
        return {};
    // The same antialiased fill the content paints, so the coverage of each
    // pixel is the one the window shows.
    QImage coverage(device, QImage::Format_Alpha8);
    coverage.fill(0);
    {
        QPainter painter(&coverage);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(ratio, ratio);
        painter.fillPath(outline, Qt::black);
    }

    // Equal rows make one band, which keeps the region small: a rounded
    // rectangle is a few bands per corner row plus one for the straight part.
    std::vector<QRect> rects;
    Runs band;
    int bandTop = 0;
    auto closeBand = [&](int bottom) {
        for (const auto& [begin, end] : band)
            rects.emplace_back(begin, bandTop, end - begin, bottom - bandTop);
    };
    for (int y = 0; y < device.height(); ++y) {
        Runs runs = rowRuns(coverage.constScanLine(y), device.width());
        if (y > 0 && runs == band)
            continue;
        closeBand(y);
        band = std::move(runs);
        bandTop = y;
    }
    closeBand(device.height());

    QRegion region;
    if (!rects.empty())
        region.setRects(rects.data(), static_cast<int>(rects.size()));
    return region;
}

void setShapeMask(QWidget* window, const QPainterPath& outline) {
    if (!window)
        return;
    if (x11::isX11()) {
        // A Qt mask would replace this shape the next time Qt applies it.
        if (!window->mask().isEmpty())
            window->clearMask();
        const double ratio = window->devicePixelRatioF();
        x11::setBoundingShape(window, shapeMaskRegion(outline, window->size(), ratio));
        return;
    }
    window->setMask(shapeMaskRegion(outline, window->size(), 1));
}

void clearShapeMask(QWidget* window) {
    if (!window)
        return;
    window->clearMask();
    if (x11::isX11())
        x11::clearBoundingShape(window);
}

}  // namespace corvanta::platform
